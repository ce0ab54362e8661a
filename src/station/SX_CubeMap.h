#pragma once
// The imagery of one station: per cube face (0 left, 1 front, 2 right, 3 back,
// 4 top, 5 bottom) and level of detail (0 finest) one colour image with its
// optional mask and one point reader.
//
// The level table comes from the station's description (SetLevel): a size per
// level, the highest declared level being the coarsest. Wanted-level
// hand-shake: the renderer lowers the wanted level when the loaded levels are
// too coarse for the view; the loader waits for it (no lock: it is woken
// through its load control whenever the level changes, and looks again after
// 140 ms at the latest) and fetches the next finer level once it is wanted.
// 100 means nothing wanted yet. The first finer level also waits (one poll
// at most) until a frame begun after the coarsest level was in has been
// shown (NoteFrameShown), so that first frame does not share the cores with
// the finer level's decoding.
//
// The tile lock guards the per-face maps; it is held only to insert or remove
// entries, never while decoding or reading files.
//
// Loading (loader thread): LoadPyramid goes from the coarsest level down to 0.
// Each finer level waits until the wanted level reaches it; a stop ends the
// load with the result so far, a pause holds it. Within a level (LoadLevel)
// two workers decode the face images straight into the B, G, R, A layout of
// their textures and read the point files, while the loader thread takes the
// faces in order 0..5 and uploads each while it holds the OpenGL context
// (blocking acquire); a texture that could not be uploaded is still stored.
// Once uploaded, a texture keeps no pixels: OpenGL holds the only copy. The
// pixel buffers are handed back for the next faces of the level, so that a
// level allocates about three whatever its face count.
//
// Progress counts every face image stored and every face tried; hosts that
// draw only on change wait on it (WaitForProgress).
//
// Drawing (window thread, context held): per face ChooseLevel picks the first
// loaded level, coarsest first, whose texel density on screen exceeds the
// threshold of the interaction state; when none does it draws the finest
// loaded one and asks for the next finer level. Levels above 10 are never
// drawn. The level drawn is recorded as the face's drawn level.

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "cubeface/ImpCubeFaceReader.h"
#include "glcore/AutoCriticalSection.h"
#include "glcore/SX_OpenGLDrawable.h"
#include "glcore/SX_OpenGLTexture.h"
#include "platform/Image.h"

class LoadControl;
class SX_LoadingContext;
class SX_PanoramaDataSet;
namespace StraleLib {
class SX_OpenGLCamera;
class SX_OpenGLContext;
}  // namespace StraleLib

class SX_CubeMap : public StraleLib::SX_OpenGLDrawable {
  public:
    static constexpr int kFaceCount = 6;
    static constexpr int kMaxLevels = 20;
    static constexpr int kNoWantedLevel = 100;
    static constexpr int kMaxDrawnLevel = 10;
    static constexpr int kIdle = 3;

    // A face image whose texture is not uploaded yet (pixels still held).
    struct FaceImage {
        platform::RgbImage colour;
        platform::Mask mask;
        bool hasMask = false;
        int border = 0;
    };

    // world and camera: the view the faces are drawn into (either may be null
    // for a cube map that only loads).
    explicit SX_CubeMap(StraleLib::SX_OpenGLWorld* world = nullptr,
                        StraleLib::SX_OpenGLCamera* camera = nullptr);
    ~SX_CubeMap() override;
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
    // A change wakes the load control given, when one is.
    void SetWantedLevel(int level);
    // Whom a change of the wanted level wakes (null: nobody); the data set
    // passes its load control.
    void SetLoadControl(LoadControl* control) { loadControl_.store(control); }

    // Loads the pyramid of a metadata-format station, coarsest level first;
    // false when any file failed (its message is in the data set's list).
    bool LoadPyramid(SX_LoadingContext& context, SX_PanoramaDataSet& dataSet);

    // Loads the six faces of one level as described above, messages into the
    // data set's list; ok is set false when any file failed. False when a
    // stop ended it before every face was tried.
    bool LoadLevel(SX_LoadingContext& context, int level, SX_PanoramaDataSet& dataSet, bool& ok);

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

    // Frees the pixels of the texture uploaded last, which are kept until the
    // next texture is made (its storage then takes their memory); a loader
    // calls it after its last face.
    void FreeUploadedPixels();

    // Reloads every level's colour images and masks from a local folder
    // (points are kept as they are); no messages.
    void ReloadImages(const std::u16string& directory, StraleLib::SX_OpenGLContext* context,
                      const SX_PanoramaDataSet& dataSet);
    // Deletes every texture and point reader (context current); the level
    // table and the wanted level stay.
    void DropContent();

    // Draws faces 1, 3, 0, 2, 4, 5 (nothing while an OpenGL error is pending),
    // then the interaction state is idle again.
    void Draw() override;
    // The host has finished the frame last drawn (after glFinish): when that
    // frame began with the coarsest level in, the loader may go on.
    void NoteFrameShown();
    // The level to draw for a face (-1: none, drawn untextured); lowers the
    // wanted level as described above.
    int ChooseLevel(int face);
    int DrawnLevel(int face) const;
    // The measured point of the pixel at (u, v) (0..1 across the face image)
    // of the level last drawn on the face, in the scan frame and internal
    // units. The pixel is (trunc(w u), trunc(h v)) of that level's colour
    // image of w x h pixels, u = 1 and v = 1 giving the last column and row.
    // False, outputs untouched, without point data, before the face is drawn,
    // without a point file for the drawn level or for an unmeasured pixel.
    bool PointAt(int face, double u, double v, double& x, double& y, double& z) const;
    // 3 idle, 2 spinning, 1 dragging, 0 any other.
    int InteractionState() const { return interactionState_.load(); }
    void SetInteractionState(int state) { interactionState_.store(state); }
    bool AlphaMode() const { return alphaMode_; }
    void SetAlphaMode(bool on) { alphaMode_ = on; }
    StraleLib::SX_OpenGLCamera* Camera() const { return camera_; }

    // Grows with every face image stored and every face tried.
    std::uint64_t Progress() const { return progress_.load(); }
    // Waits up to `milliseconds` for Progress() to differ from `seen`; true
    // when it does.
    bool WaitForProgress(std::uint64_t seen, int milliseconds) const;

    // How many faces of a level the loader has tried (loaded or failed).
    int FacesTried(int level) const;
    void NoteFaceTried(int level);

    // Largest level loaded for the face (-1 when none).
    int LoadedLevel(int face) const;
    bool HasImage(int face, int level) const;
    bool HasPoints(int face, int level) const;
    // The image of a face and level while its texture still holds its pixels
    // (not uploaded), if any.
    std::optional<FaceImage> Image(int face, int level) const;

    // Faces emptied (loaded and drawn levels -1), wanted level 100, level
    // table freed: no highest level, point data on again, so the next
    // station loads as the first did.
    void Clear();

  private:
    struct Face {
        int loadedLevel = -1;
        int drawnLevel = -1;
        std::map<int, std::unique_ptr<StraleLib::SX_OpenGLTexture>> textures;
        std::map<int, std::unique_ptr<ImpCubeFaceReader>> points;
    };

    struct FaceJob;

    void SetLastMessage(std::u16string text);
    // The largest width and height a face image of the level may declare:
    // the level's face size (the largest face size when the level has none)
    // plus the border on both sides.
    int ImageSideLimit(int level, int border) const;
    // Whether the size an image file declares fits the limit (true for a file
    // that is no image of a known kind: decoding refuses it). width and
    // height get the declared size.
    static bool FitsFace(const std::u16string& path, int limit, std::int64_t& width,
                         std::int64_t& height);
    // The face size a point file of the face and level must have, 0 when
    // unknown.
    int ExpectedPointSize(int face, int level) const;
    // Decodes, builds and uploads one face texture and stores it, removing
    // the old texture of that face and level first when replace is set.
    bool MakeFaceTexture(StraleLib::SX_OpenGLContext* context, int face, int level,
                         const std::u16string& colourPath, const std::u16string& maskPath,
                         int border, bool replace);
    // Decodes a face image and its mask (when useMask) into a texture not
    // yet uploaded; null when the image does not decode. Any thread.
    std::unique_ptr<StraleLib::SX_OpenGLTexture> DecodeFaceTexture(const std::u16string& colourPath,
                                                                   const std::u16string& maskPath,
                                                                   bool useMask, int border);
    // Uploads the texture (context held) and stores it; `old`, the texture it
    // replaces, is deleted while the context is held.
    void StoreFaceTexture(StraleLib::SX_OpenGLContext* context, int face, int level,
                          std::unique_ptr<StraleLib::SX_OpenGLTexture> texture,
                          std::unique_ptr<StraleLib::SX_OpenGLTexture> old);
    std::unique_ptr<StraleLib::SX_OpenGLTexture> TakeTexture(int face, int level);
    // Why a point file could not be read (exists: it is there but rejected).
    std::u16string PointFileMessage(const SX_LoadingContext& context,
                                    const SX_PanoramaDataSet& dataSet, bool exists,
                                    const std::u16string& pointPath,
                                    const std::u16string& pointName, float version) const;
    void NoteProgress();
    void DrawFace(int face);
    double Threshold() const;
    // Before the first finer level: until the frame after the coarsest level
    // was shown, one poll at most (a host that stopped drawing costs that).
    void WaitForCoarsestShown(LoadControl* control) const;

    bool hasPointData_ = true;
    int highestLevel_ = -1;
    std::array<std::optional<int>, kMaxLevels> levelSizes_;
    int maxTextureSize_ = 1024;
    std::atomic<int> wantedLevel_{kNoWantedLevel};
    std::atomic<LoadControl*> loadControl_{nullptr};
    std::atomic<std::uint64_t> progress_{0};
    mutable std::mutex progressLock_;
    mutable std::condition_variable progressChanged_;
    // The pixels of the texture uploaded last, freed right before the next
    // texture's storage is made and when the level ends.
    std::mutex uploadedLock_;
    std::vector<std::uint8_t> uploadedPixels_;
    std::array<std::atomic<int>, kMaxLevels> facesTried_{};
    std::atomic<int> interactionState_{kIdle};
    // The coarsest level of the load (-1 before one); the frame being drawn
    // began with it tried on every face; a frame that did was shown.
    std::atomic<int> coarsestLevel_{-1};
    std::atomic<bool> frameAfterCoarsest_{false};
    std::atomic<bool> coarsestShown_{false};
    bool alphaMode_ = false;
    StraleLib::SX_OpenGLCamera* camera_ = nullptr;
    std::array<Face, kFaceCount> faces_;
    mutable StraleLib::AutoCriticalSection tileLock_;
    mutable StraleLib::AutoCriticalSection messageLock_;
    std::u16string lastMessage_;
};
