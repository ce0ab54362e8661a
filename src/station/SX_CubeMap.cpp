#include "station/SX_CubeMap.h"

#include "host/SX_Format.h"
#include "host/SX_Resources.h"
#include "platform/Path.h"
#include "platform/Text.h"
#include "resources/StringTable.h"
#include "station/SX_LoadingContext.h"
#include "station/SX_PanoramaDataSet.h"

using StraleLib::AutoCriticalLock;

namespace {

// Shown when a point file is rejected and the message file has no text for it:
// name, the file's format version, then two line feeds placed like the
// resource text places them.
constexpr const char16_t* kDataFileWrong =
    u"The point file %s (format version %2.1f) cannot be read.%sIt may be damaged or written "
    u"by a newer publisher.%s";

bool ValidFace(int face) {
    return face >= 0 && face < SX_CubeMap::kFaceCount;
}

}  // namespace

SX_CubeMap::SX_CubeMap() = default;
SX_CubeMap::~SX_CubeMap() = default;

bool SX_CubeMap::SetLevel(int level, int size, bool hasPointData, int maxTextureSize) {
    if (level < 0 || level >= kMaxLevels) {
        return false;
    }
    highestLevel_ = std::max(highestLevel_, level);
    levelSizes_[level] = size;
    if (!hasPointData) {
        hasPointData_ = false;
    }
    maxTextureSize_ = maxTextureSize;
    return true;
}

std::optional<int> SX_CubeMap::LevelSize(int level) const {
    if (level < 0 || level >= kMaxLevels) {
        return std::nullopt;
    }
    return levelSizes_[level];
}

bool SX_CubeMap::LoadPyramid(SX_LoadingContext& /*context*/, SX_PanoramaDataSet& /*dataSet*/) {
    // Loading the pyramid level by level comes with the texture upload of the
    // renderer; until then a metadata-format station declares its levels only.
    return true;
}

void SX_CubeMap::SetLastMessage(std::u16string text) {
    AutoCriticalLock lock(messageLock_);
    lastMessage_ = std::move(text);
}

std::u16string SX_CubeMap::LastMessage() const {
    AutoCriticalLock lock(messageLock_);
    return lastMessage_;
}

bool SX_CubeMap::LoadFaceImage(SX_LoadingContext& /*context*/, int face,
                               const std::u16string& colourPath, const std::u16string& maskPath,
                               const std::u16string& colourName, int level,
                               SX_PanoramaDataSet& dataSet, int border) {
    const SX_Resources& res = dataSet.Resources();
    if (!platform::FileExists(colourPath)) {
        SetLastMessage(SX_Format(
            res.Text(u"sx:Resource/sx:FileNotFound", resources::IDS_FILE_NOT_FOUND), {colourName}));
        return false;
    }
    if (!ValidFace(face)) {
        return false;
    }
    const bool useMask = platform::FileExists(maskPath);
    {
        AutoCriticalLock lock(tileLock_);
        faces_[face].images.erase(level);
    }
    auto image = std::make_unique<FaceImage>();
    image->border = border;
    if (!platform::DecodeImageFile(platform::ToUtf8(colourPath), image->colour)) {
        SetLastMessage(
            SX_Format(res.LoadStringWithFallback(resources::IDS_FAIL_TO_LOAD), {colourName}));
        return false;
    }
    // A mask that does not decode is left out: the face is then opaque.
    image->hasMask = useMask && platform::DecodeMaskFile(platform::ToUtf8(maskPath), image->mask);
    {
        AutoCriticalLock lock(tileLock_);
        Face& record = faces_[face];
        record.images[level] = std::move(image);
        record.loadedLevel = std::max(record.loadedLevel, level);
    }
    return true;
}

bool SX_CubeMap::LoadFacePoints(SX_LoadingContext& context, int face,
                                const std::u16string& pointPath, const std::u16string& pointName,
                                int level, SX_PanoramaDataSet& dataSet) {
    const SX_Resources& res = dataSet.Resources();
    if (platform::FileExists(pointPath)) {
        if (!ValidFace(face)) {
            return false;
        }
        {
            AutoCriticalLock lock(tileLock_);
            faces_[face].points.erase(level);
        }
        auto reader = std::make_unique<ImpCubeFaceReader>();
        if (reader->Read(platform::ToUtf8(pointPath).c_str())) {
            AutoCriticalLock lock(tileLock_);
            faces_[face].points[level] = std::move(reader);
            return true;
        }
        SetLastMessage(
            SX_Format(res.Text(u"sx:Resource/sx:DataFileWrong", kDataFileWrong),
                      {pointName, static_cast<double>(reader->GetVersion()), u"\n", u"\n"}));
        return false;
    }
    if (context.IsWeb() && pointPath.empty()) {
        SetLastMessage(
            SX_Format(res.Text(u"sx:Resource/sx:FailToDownload", resources::IDS_FAIL_TO_DOWNLOAD),
                      {pointName}));
        return false;
    }
    SetLastMessage(SX_Format(
        res.Text(u"sx:Resource/sx:FileNotFound", resources::IDS_FILE_NOT_FOUND), {pointPath}));
    return false;
}

int SX_CubeMap::LoadedLevel(int face) const {
    if (!ValidFace(face)) {
        return -1;
    }
    AutoCriticalLock lock(tileLock_);
    return faces_[face].loadedLevel;
}

bool SX_CubeMap::HasImage(int face, int level) const {
    if (!ValidFace(face)) {
        return false;
    }
    AutoCriticalLock lock(tileLock_);
    return faces_[face].images.count(level) != 0;
}

bool SX_CubeMap::HasPoints(int face, int level) const {
    if (!ValidFace(face)) {
        return false;
    }
    AutoCriticalLock lock(tileLock_);
    return faces_[face].points.count(level) != 0;
}

std::optional<SX_CubeMap::FaceImage> SX_CubeMap::Image(int face, int level) const {
    if (!ValidFace(face)) {
        return std::nullopt;
    }
    AutoCriticalLock lock(tileLock_);
    const auto it = faces_[face].images.find(level);
    if (it == faces_[face].images.end()) {
        return std::nullopt;
    }
    return *it->second;
}

void SX_CubeMap::Clear() {
    {
        AutoCriticalLock lock(tileLock_);
        for (Face& face : faces_) {
            face.loadedLevel = -1;
            face.drawnLevel = -1;
            face.images.clear();
            face.points.clear();
        }
    }
    interactionState_ = 3;
    wantedLevel_ = kNoWantedLevel;
    levelSizes_.fill(std::nullopt);
}
