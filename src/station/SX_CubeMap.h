#pragma once
// The imagery of one station: per cube face (0 left, 1 front, 2 right, 3 back,
// 4 top, 5 bottom) and level of detail (0 finest) one colour image with its
// optional mask and one point reader.
//
// The level table comes from the station's description (SetLevel): a size per
// level, the highest declared level being the coarsest. Wanted-level
// hand-shake: the renderer lowers the wanted level when the loaded levels are
// too coarse for the view; the loader polls it (no lock, 140 ms steps) and
// fetches the next finer level once it is wanted. 100 means nothing wanted yet.
//
// The tile lock guards the per-face maps; it is held only to insert or remove
// entries, never while decoding or reading files.

#include <array>
#include <atomic>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "cubeface/ImpCubeFaceReader.h"
#include "glcore/AutoCriticalSection.h"
#include "platform/Image.h"

class SX_LoadingContext;
class SX_PanoramaDataSet;

class SX_CubeMap {
  public:
    static constexpr int kFaceCount = 6;
    static constexpr int kMaxLevels = 20;
    static constexpr int kNoWantedLevel = 100;

    // A decoded face image waiting for its texture upload.
    struct FaceImage {
        platform::RgbImage colour;
        platform::Mask mask;
        bool hasMask = false;
        int border = 0;
    };

    SX_CubeMap();
    virtual ~SX_CubeMap();
    SX_CubeMap(const SX_CubeMap&) = delete;
    SX_CubeMap& operator=(const SX_CubeMap&) = delete;

    // Declares a level; false for levels outside 0..19. Point data, once
    // declared missing for a level, stays off.
    bool SetLevel(int level, int size, bool hasPointData, int maxTextureSize);
    int HighestLevel() const { return highestLevel_; }
    std::optional<int> LevelSize(int level) const;
    bool HasPointData() const { return hasPointData_; }
    int MaxTextureSize() const { return maxTextureSize_; }

    int WantedLevel() const { return wantedLevel_.load(std::memory_order_relaxed); }
    void SetWantedLevel(int level) { wantedLevel_.store(level, std::memory_order_relaxed); }

    // Loads the pyramid of a metadata-format station (not done here yet:
    // texture upload arrives with the renderer; succeeds without loading).
    bool LoadPyramid(SX_LoadingContext& context, SX_PanoramaDataSet& dataSet);

    // Loads one colour image (and its mask when that file exists) for a face
    // and level. On failure LastMessage() tells why.
    bool LoadFaceImage(SX_LoadingContext& context, int face, const std::u16string& colourPath,
                       const std::u16string& maskPath, const std::u16string& colourName, int level,
                       SX_PanoramaDataSet& dataSet, int border);
    // Reads one point file for a face and level. On failure LastMessage()
    // tells why.
    bool LoadFacePoints(SX_LoadingContext& context, int face, const std::u16string& pointPath,
                        const std::u16string& pointName, int level, SX_PanoramaDataSet& dataSet);

    std::u16string LastMessage() const;

    // Largest level loaded for the face (-1 when none).
    int LoadedLevel(int face) const;
    bool HasImage(int face, int level) const;
    bool HasPoints(int face, int level) const;
    // The decoded image of a face and level (a copy), if any.
    std::optional<FaceImage> Image(int face, int level) const;

    // Faces emptied (loaded and drawn levels -1), wanted level 100, level
    // table freed.
    void Clear();

  private:
    struct Face {
        int loadedLevel = -1;
        int drawnLevel = -1;
        std::map<int, std::unique_ptr<FaceImage>> images;
        std::map<int, std::unique_ptr<ImpCubeFaceReader>> points;
    };

    void SetLastMessage(std::u16string text);

    bool hasPointData_ = true;
    int highestLevel_ = -1;
    std::array<std::optional<int>, kMaxLevels> levelSizes_;
    int maxTextureSize_ = 1024;
    std::atomic<int> wantedLevel_{kNoWantedLevel};
    int interactionState_ = 3;
    std::array<Face, kFaceCount> faces_;
    mutable StraleLib::AutoCriticalSection tileLock_;
    mutable StraleLib::AutoCriticalSection messageLock_;
    std::u16string lastMessage_;
};
