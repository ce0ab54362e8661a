#include "station/SX_CubeMap.h"

#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cmath>

#include "glcore/CubeGeometry.h"
#include "glcore/SX_OpenGLCamera.h"
#include "glcore/SX_OpenGLContext.h"
#include "glcore/SX_OpenGLWorld.h"
#include "host/Resources.h"
#include "host/SX_Format.h"
#include "platform/ImageProbe.h"
#include "platform/Path.h"
#include "platform/Text.h"
#include "resources/StringTable.h"
#include "station/LoadControl.h"
#include "station/OrderedPool.h"
#include "station/SX_LoadingContext.h"
#include "station/SX_PanoramaDataSet.h"
#include "station/StationLimits.h"

using StraleLib::AutoCriticalLock;

namespace {

// Shown when a point file is rejected and the message file has no text for it:
// name, the file's format version, then two line feeds placed like the
// resource text places them.
constexpr const char16_t* kDataFileWrong =
    u"The point file %s (format version %2.1f) cannot be read.%sIt may be damaged or written "
    u"by a newer publisher.%s";

// Face images of a level are decoded on this many workers, at most this many
// jobs (an image and a point file per face) past the face being uploaded.
// Decoding ahead costs little memory: each buffer is freed as the next
// texture's storage is made, which then takes its memory, so a level's peak
// stays near its textures and one buffer.
constexpr int kDecodeWorkers = 2;
constexpr int kDecodeAhead = 2 * kDecodeWorkers + 1;

// Built-in texts of the limits (station/StationLimits.h).
constexpr const char16_t* kImageTooLarge =
    u"The image %s declares %d x %d pixels; a face of this level has at most %d x %d.";
constexpr const char16_t* kPointsDisagree =
    u"The point file %s holds face %d of %d pixels a side; it was named for face %d of %d pixels "
    u"a side.";

bool ValidFace(int face) {
    return face >= 0 && face < SX_CubeMap::kFaceCount;
}

struct TileNames {
    std::u16string colour;
    std::u16string mask;
    std::u16string points;
};

// The file names of one face and level (by its size in pixels); version "1.0"
// names them Rgb_/Point_, any other Img_/Pnt_. The version is cut to 254
// characters like every text read under the data lock.
TileNames MakeTileNames(std::u16string version, int face, int size) {
    if (version.size() > 254) {
        version.resize(254);
    }
    const bool v10 = version == u"1.0";
    const std::u16string suffix =
        platform::FromUtf8("_" + std::to_string(face) + "_" + std::to_string(size) + ".");
    const std::u16string image = v10 ? u"Rgb" : u"Img";
    return {image + suffix + u"JPG", image + suffix + u"PNG",
            (v10 ? u"Point" : u"Pnt") + suffix + u"DAT"};
}

// Deletes a texture while holding the OpenGL context (its name belongs there);
// without a context it is simply freed.
void DeleteHoldingContext(StraleLib::SX_OpenGLContext* context,
                          std::unique_ptr<StraleLib::SX_OpenGLTexture> texture) {
    if (!texture) {
        return;
    }
    if (texture->TextureName() != 0 && context != nullptr && context->Acquire()) {
        texture.reset();
        context->Release();
    }
}

}  // namespace

SX_CubeMap::SX_CubeMap(StraleLib::SX_OpenGLWorld* world, StraleLib::SX_OpenGLCamera* camera)
    : SX_OpenGLDrawable(world), camera_(camera) {}

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

void SX_CubeMap::SetWantedLevel(int level) {
    if (wantedLevel_.exchange(level, std::memory_order_relaxed) != level) {
        if (LoadControl* control = loadControl_.load()) {
            control->Wake();
        }
    }
}

bool SX_CubeMap::LoadPyramid(SX_LoadingContext& context, SX_PanoramaDataSet& dataSet) {
    LoadControl* control = dataSet.GetLoadControl();
    const int highest = highestLevel_;
    coarsestLevel_ = highest;
    bool result = true;
    for (int level = highest; level >= 0; --level) {
        if (level < highest && level < WantedLevel()) {
            while (WantedLevel() > level) {
                if (control == nullptr || control->IsStopRequested()) {
                    return result;
                }
                control->SleepUntilWoken(LoadControl::kPollMilliseconds);
            }
        }
        if (level == highest - 1) {
            WaitForCoarsestShown(control);
        }
        if (!LoadLevel(context, level, dataSet, result)) {
            return result;
        }
    }
    return result;
}

void SX_CubeMap::WaitForCoarsestShown(LoadControl* control) const {
    using Clock = std::chrono::steady_clock;
    const auto until = Clock::now() + std::chrono::milliseconds(LoadControl::kPollMilliseconds);
    // A wake left over from the change of the wanted level ends the first
    // sleep early; a control on a virtual clock returns at once, hence the
    // bounded count.
    for (int sleeps = 0; sleeps < 3 && control != nullptr && !coarsestShown_; ++sleeps) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
        if (left <= 0 || control->IsStopRequested()) {
            return;
        }
        control->SleepUntilWoken(static_cast<int>(left));
    }
}

// One face of a level as the workers leave it for the loader thread.
struct SX_CubeMap::FaceJob {
    TileNames names;
    std::u16string colourPath;
    std::u16string maskPath;
    std::u16string pointPath;
    bool colourFound = false;
    bool maskFound = false;
    bool pointsFound = false;
    std::unique_ptr<StraleLib::SX_OpenGLTexture> texture;
    std::unique_ptr<ImpCubeFaceReader> points;
    bool pointsRead = false;
    // What the size checks before decoding found (sizes of the refused file).
    bool imageTooLarge = false;
    bool maskTooLarge = false;
    std::int64_t refusedWidth = 0;
    std::int64_t refusedHeight = 0;
    bool pointsDisagree = false;
    int pointFileFace = 0;
    int pointFileSize = 0;
};

bool SX_CubeMap::LoadLevel(SX_LoadingContext& context, int level, SX_PanoramaDataSet& dataSet,
                           bool& ok) {
    LoadControl* control = dataSet.GetLoadControl();
    const auto holdWhilePaused = [control] {
        while (control != nullptr && !control->IsStopRequested() && control->IsPaused()) {
            control->Sleep(LoadControl::kPollMilliseconds);
        }
        return control == nullptr || !control->IsStopRequested();
    };
    if (!holdWhilePaused()) {
        return false;
    }
    const std::optional<int> size = LevelSize(level);
    if (!size) {
        return true;
    }
    const std::u16string version = dataSet.DataSetVersion();
    const bool points = hasPointData_;
    std::array<FaceJob, kFaceCount> jobs;
    for (int face = 0; face < kFaceCount; ++face) {
        jobs[face].names = MakeTileNames(version, face, *size);
    }
    // Job 2f is face f's image, job 2f + 1 its point file. The files are
    // looked up in that order (a web station fetches them so); decoding and
    // reading run alongside. A point file yields to the images in the pool's
    // window: a worker decodes the next image rather than read a point file
    // first, and reads the point files while no image may start.
    const auto inTurn = [&](int index) {
        FaceJob& job = jobs[index / 2];
        if (index % 2 == 0) {
            job.colourPath = context.Resolve(job.names.colour);
            job.maskPath = context.Resolve(job.names.mask);
            job.colourFound = platform::FileExists(job.colourPath);
            job.maskFound = job.colourFound && platform::FileExists(job.maskPath);
        } else if (points) {
            job.pointPath = context.Resolve(job.names.points);
            job.pointsFound = platform::FileExists(job.pointPath);
        }
    };
    // The sizes the files declare are checked before they are decoded or
    // read; an oversized mask is left out (the face is then opaque).
    const int sideLimit = ImageSideLimit(level, 0);
    const auto alongside = [&](int index) {
        FaceJob& job = jobs[index / 2];
        if (index % 2 == 0) {
            if (!job.colourFound) {
                return;
            }
            if (!FitsFace(job.colourPath, sideLimit, job.refusedWidth, job.refusedHeight)) {
                job.imageTooLarge = true;
                return;
            }
            std::int64_t maskWidth = 0;
            std::int64_t maskHeight = 0;
            if (job.maskFound && !FitsFace(job.maskPath, sideLimit, maskWidth, maskHeight)) {
                job.maskTooLarge = true;
                job.maskFound = false;
                job.refusedWidth = maskWidth;
                job.refusedHeight = maskHeight;
            }
            job.texture = DecodeFaceTexture(job.colourPath, job.maskPath, job.maskFound, 0);
        } else if (job.pointsFound) {
            const std::string path = platform::ToUtf8(job.pointPath);
            if (ImpCubeFaceReader::ReadHeader(path.c_str(), job.pointFileFace, job.pointFileSize) &&
                (job.pointFileFace != index / 2 || job.pointFileSize != *size)) {
                job.pointsDisagree = true;
                return;
            }
            job.points = std::make_unique<ImpCubeFaceReader>();
            job.pointsRead = job.points->Read(path.c_str());
        }
    };
    const auto tooLarge = [&](const std::u16string& name, const FaceJob& job) {
        return SX_Format(dataSet.Resources().Text(u"sx:Resource/sx:ImageTooLarge", kImageTooLarge),
                         {name, static_cast<long long>(job.refusedWidth),
                          static_cast<long long>(job.refusedHeight), sideLimit, sideLimit});
    };
    const auto fail = [&](std::u16string message) {
        SetLastMessage(message);
        dataSet.AddMessage(message);
        ok = false;
    };
    const host::Resources& res = dataSet.Resources();
    StraleLib::SX_OpenGLContext* gl = context.GetOpenGLContext();
    bool complete = true;
    {
        station::OrderedPool pool(kDecodeWorkers, kFaceCount * 2, kDecodeAhead, inTurn, alongside,
                                  [](int index) { return index % 2 == 1; });
        for (int face = 0; face < kFaceCount; ++face) {
            FaceJob& job = jobs[face];
            pool.Take(face * 2);
            if (job.maskTooLarge) {
                dataSet.AddMessage(tooLarge(job.maskPath, job));
            }
            if (job.imageTooLarge) {
                DeleteHoldingContext(gl, TakeTexture(face, level));
                fail(tooLarge(job.names.colour, job));
            } else if (!job.colourFound) {
                std::u16string message = context.TooLargeMessage(job.names.colour, res);
                fail(!message.empty() ? std::move(message)
                                      : SX_Format(res.Text(u"sx:Resource/sx:FileNotFound",
                                                           resources::IDS_FILE_NOT_FOUND),
                                                  {job.names.colour}));
            } else if (!job.texture) {
                DeleteHoldingContext(gl, TakeTexture(face, level));
                fail(SX_Format(res.LoadStringWithFallback(resources::IDS_FAIL_TO_LOAD),
                               {job.names.colour}));
            } else {
                StoreFaceTexture(gl, face, level, std::move(job.texture), TakeTexture(face, level));
            }
            pool.Take(face * 2 + 1);
            if (points) {
                if (job.pointsFound) {
                    AutoCriticalLock lock(tileLock_);
                    faces_[face].points.erase(level);
                    if (job.pointsRead) {
                        faces_[face].points[level] = std::move(job.points);
                    }
                }
                if (job.pointsDisagree) {
                    fail(SX_Format(
                        res.Text(u"sx:Resource/sx:PointsDisagree", kPointsDisagree),
                        {job.names.points, job.pointFileFace, job.pointFileSize, face, *size}));
                } else if (!job.pointsRead) {
                    fail(PointFileMessage(context, dataSet, job.pointsFound, job.pointPath,
                                          job.names.points,
                                          job.points ? job.points->GetVersion() : 0.0f));
                }
            }
            NoteFaceTried(level);
            dataSet.AddProgress(0.16666 / static_cast<double>(highestLevel_ + 1));
            if (!holdWhilePaused()) {
                complete = false;
                break;
            }
        }
    }
    FreeUploadedPixels();
    return complete;
}

void SX_CubeMap::SetLastMessage(std::u16string text) {
    AutoCriticalLock lock(messageLock_);
    lastMessage_ = std::move(text);
}

std::u16string SX_CubeMap::LastMessage() const {
    AutoCriticalLock lock(messageLock_);
    return lastMessage_;
}

bool SX_CubeMap::LoadFaceImage(SX_LoadingContext& context, int face,
                               const std::u16string& colourPath, const std::u16string& maskPath,
                               const std::u16string& colourName, int level,
                               SX_PanoramaDataSet& dataSet, int border) {
    const host::Resources& res = dataSet.Resources();
    if (!platform::FileExists(colourPath)) {
        std::u16string message = context.TooLargeMessage(colourName, res);
        if (message.empty()) {
            message =
                SX_Format(res.Text(u"sx:Resource/sx:FileNotFound", resources::IDS_FILE_NOT_FOUND),
                          {colourName});
        }
        SetLastMessage(std::move(message));
        return false;
    }
    if (!ValidFace(face)) {
        return false;
    }
    // The sizes the images declare are checked before they are decoded; an
    // oversized mask is left out (the face is then opaque).
    const int limit = ImageSideLimit(level, border);
    std::int64_t width = 0;
    std::int64_t height = 0;
    if (!FitsFace(colourPath, limit, width, height)) {
        SetLastMessage(SX_Format(res.Text(u"sx:Resource/sx:ImageTooLarge", kImageTooLarge),
                                 {colourName, static_cast<long long>(width),
                                  static_cast<long long>(height), limit, limit}));
        return false;
    }
    std::u16string usedMask = maskPath;
    if (platform::FileExists(maskPath) && !FitsFace(maskPath, limit, width, height)) {
        dataSet.AddMessage(SX_Format(res.Text(u"sx:Resource/sx:ImageTooLarge", kImageTooLarge),
                                     {maskPath, static_cast<long long>(width),
                                      static_cast<long long>(height), limit, limit}));
        usedMask.clear();
    }
    if (!MakeFaceTexture(context.GetOpenGLContext(), face, level, colourPath, usedMask, border,
                         true)) {
        SetLastMessage(
            SX_Format(res.LoadStringWithFallback(resources::IDS_FAIL_TO_LOAD), {colourName}));
        return false;
    }
    return true;
}

bool SX_CubeMap::MakeFaceTexture(StraleLib::SX_OpenGLContext* context, int face, int level,
                                 const std::u16string& colourPath, const std::u16string& maskPath,
                                 int border, bool replace) {
    const bool useMask = platform::FileExists(maskPath);
    // The replaced texture is deleted only while the context is held.
    std::unique_ptr<StraleLib::SX_OpenGLTexture> old;
    if (replace) {
        old = TakeTexture(face, level);
    }
    auto texture = DecodeFaceTexture(colourPath, maskPath, useMask, border);
    if (!texture) {
        DeleteHoldingContext(context, std::move(old));
        return false;
    }
    StoreFaceTexture(context, face, level, std::move(texture), std::move(old));
    return true;
}

std::unique_ptr<StraleLib::SX_OpenGLTexture> SX_CubeMap::TakeTexture(int face, int level) {
    AutoCriticalLock lock(tileLock_);
    auto& textures = faces_[face].textures;
    std::unique_ptr<StraleLib::SX_OpenGLTexture> texture;
    if (auto it = textures.find(level); it != textures.end()) {
        texture = std::move(it->second);
        textures.erase(it);
    }
    return texture;
}

std::unique_ptr<StraleLib::SX_OpenGLTexture> SX_CubeMap::DecodeFaceTexture(
    const std::u16string& colourPath, const std::u16string& maskPath, bool useMask, int border) {
    platform::BgraImage colour;
    if (!platform::DecodeImageFileBgra(platform::ToUtf8(colourPath), colour)) {
        return nullptr;
    }
    // A mask that does not decode is left out: the face is then opaque.
    platform::Mask mask;
    const bool hasMask = useMask && platform::DecodeMaskFile(platform::ToUtf8(maskPath), mask);
    if (hasMask) {
        StraleLib::SX_OpenGLTexture::ApplyMask(colour.bgra, colour.width, colour.height, mask);
    }
    auto texture = std::make_unique<StraleLib::SX_OpenGLTexture>(
        world_, static_cast<std::uint32_t>(std::max(maxTextureSize_, 0)));
    if (!texture->LoadBgra(colour.bgra, static_cast<std::uint32_t>(colour.width),
                           static_cast<std::uint32_t>(colour.height), hasMask,
                           static_cast<std::uint32_t>(border))) {
        return nullptr;
    }
    return texture;
}

void SX_CubeMap::StoreFaceTexture(StraleLib::SX_OpenGLContext* context, int face, int level,
                                  std::unique_ptr<StraleLib::SX_OpenGLTexture> texture,
                                  std::unique_ptr<StraleLib::SX_OpenGLTexture> old) {
    std::vector<std::uint8_t> uploaded;
    if (context != nullptr && context->Acquire()) {
        old.reset();
        // The pixels of the face uploaded before are freed only now, just
        // before this texture's storage is made, so that the driver's storage
        // takes their memory, which is mapped already: a software renderer
        // otherwise faults in every page of a fresh texture here, on the
        // thread every upload waits for (with the heap set up as
        // platform::TuneHeapForPixelBuffers does).
        FreeUploadedPixels();
        texture->Upload(&uploaded);
        context->Release();
    }
    DeleteHoldingContext(context, std::move(old));
    {
        std::lock_guard lock(uploadedLock_);
        uploadedPixels_ = std::move(uploaded);
    }
    {
        AutoCriticalLock lock(tileLock_);
        Face& record = faces_[face];
        record.textures[level] = std::move(texture);
        record.loadedLevel = std::max(record.loadedLevel, level);
    }
    NoteProgress();
}

void SX_CubeMap::FreeUploadedPixels() {
    std::vector<std::uint8_t> pixels;
    {
        std::lock_guard lock(uploadedLock_);
        pixels.swap(uploadedPixels_);
    }
}

void SX_CubeMap::NoteProgress() {
    {
        std::lock_guard lock(progressLock_);
        ++progress_;
    }
    progressChanged_.notify_all();
}

bool SX_CubeMap::WaitForProgress(std::uint64_t seen, int milliseconds) const {
    std::unique_lock lock(progressLock_);
    return progressChanged_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                                     [&] { return progress_.load() != seen; });
}

bool SX_CubeMap::LoadFacePoints(SX_LoadingContext& context, int face,
                                const std::u16string& pointPath, const std::u16string& pointName,
                                int level, SX_PanoramaDataSet& dataSet) {
    const host::Resources& res = dataSet.Resources();
    if (platform::FileExists(pointPath)) {
        if (!ValidFace(face)) {
            return false;
        }
        {
            AutoCriticalLock lock(tileLock_);
            faces_[face].points.erase(level);
        }
        // A file made for another face or level is refused before it is read.
        int fileFace = 0;
        int fileSize = 0;
        const int expected = ExpectedPointSize(face, level);
        if (ImpCubeFaceReader::ReadHeader(platform::ToUtf8(pointPath).c_str(), fileFace,
                                          fileSize) &&
            (fileFace != face || (expected > 0 && fileSize != expected))) {
            SetLastMessage(SX_Format(
                res.Text(u"sx:Resource/sx:PointsDisagree", kPointsDisagree),
                {pointName, fileFace, fileSize, face, expected > 0 ? expected : fileSize}));
            return false;
        }
        auto reader = std::make_unique<ImpCubeFaceReader>();
        if (reader->Read(platform::ToUtf8(pointPath).c_str())) {
            AutoCriticalLock lock(tileLock_);
            faces_[face].points[level] = std::move(reader);
            return true;
        }
        SetLastMessage(
            PointFileMessage(context, dataSet, true, pointPath, pointName, reader->GetVersion()));
        return false;
    }
    SetLastMessage(PointFileMessage(context, dataSet, false, pointPath, pointName, 0.0f));
    return false;
}

std::u16string SX_CubeMap::PointFileMessage(const SX_LoadingContext& context,
                                            const SX_PanoramaDataSet& dataSet, bool exists,
                                            const std::u16string& pointPath,
                                            const std::u16string& pointName, float version) const {
    const host::Resources& res = dataSet.Resources();
    if (exists) {
        return SX_Format(res.Text(u"sx:Resource/sx:DataFileWrong", kDataFileWrong),
                         {pointName, static_cast<double>(version), u"\n", u"\n"});
    }
    if (std::u16string tooLarge = context.TooLargeMessage(pointName, res); !tooLarge.empty()) {
        return tooLarge;
    }
    if (context.IsWeb() && pointPath.empty()) {
        return SX_Format(
            res.Text(u"sx:Resource/sx:FailToDownload", resources::IDS_FAIL_TO_DOWNLOAD),
            {pointName});
    }
    return SX_Format(res.Text(u"sx:Resource/sx:FileNotFound", resources::IDS_FILE_NOT_FOUND),
                     {pointPath});
}

int SX_CubeMap::ImageSideLimit(int level, int border) const {
    const std::optional<int> size = LevelSize(level);
    const int side =
        size && *size >= 1 && *size <= station::kMaxFaceSize ? *size : station::kMaxFaceSize;
    return side + 2 * std::clamp(border, 0, station::kMaxFaceBorder);
}

bool SX_CubeMap::FitsFace(const std::u16string& path, int limit, std::int64_t& width,
                          std::int64_t& height) {
    platform::ImageInfo info;
    if (!platform::ProbeImageFile(platform::ToUtf8(path), info)) {
        return true;  // not an image of a known kind: the decoder refuses it
    }
    width = info.width;
    height = info.height;
    return width <= limit && height <= limit;
}

int SX_CubeMap::ExpectedPointSize(int face, int level) const {
    if (const std::optional<int> size = LevelSize(level); size && *size > 0) {
        return *size;
    }
    // A data set cube without a resolution: the face's image of the level,
    // whose pixel grid the point file shares (see PointAt).
    AutoCriticalLock lock(tileLock_);
    const auto it = faces_[face].textures.find(level);
    return it != faces_[face].textures.end() ? static_cast<int>(it->second->Width()) : 0;
}

int SX_CubeMap::FacesTried(int level) const {
    return level >= 0 && level < kMaxLevels ? facesTried_[level].load() : 0;
}

void SX_CubeMap::NoteFaceTried(int level) {
    if (level >= 0 && level < kMaxLevels) {
        ++facesTried_[level];
    }
    NoteProgress();
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
    return faces_[face].textures.count(level) != 0;
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
    const auto it = faces_[face].textures.find(level);
    if (it == faces_[face].textures.end() || it->second->Pixels().empty()) {
        return std::nullopt;
    }
    const StraleLib::SX_OpenGLTexture& texture = *it->second;
    FaceImage image;
    image.border = static_cast<int>(texture.Border());
    image.hasMask = texture.HasAlpha();
    const int w = static_cast<int>(texture.Width());
    const int h = static_cast<int>(texture.Height());
    const std::size_t count = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
    image.colour = {w, h, std::vector<std::uint8_t>(count * 3)};
    if (image.hasMask) {
        image.mask = {w, h, std::vector<std::uint8_t>(count)};
    }
    const std::uint8_t* bgra = texture.Pixels().data();
    for (std::size_t i = 0; i < count; ++i, bgra += 4) {
        image.colour.rgb[i * 3] = bgra[2];
        image.colour.rgb[i * 3 + 1] = bgra[1];
        image.colour.rgb[i * 3 + 2] = bgra[0];
        if (image.hasMask) {
            image.mask.opaque[i] = bgra[3] == StraleLib::SX_OpenGLTexture::kOpaqueAlpha ? 1 : 0;
        }
    }
    return image;
}

int SX_CubeMap::DrawnLevel(int face) const {
    if (!ValidFace(face)) {
        return -1;
    }
    AutoCriticalLock lock(tileLock_);
    return faces_[face].drawnLevel;
}

void SX_CubeMap::ReloadImages(const std::u16string& directory, StraleLib::SX_OpenGLContext* context,
                              const SX_PanoramaDataSet& dataSet) {
    for (int level = highestLevel_; level >= 0; --level) {
        const std::optional<int> size = LevelSize(level);
        if (!size) {
            continue;
        }
        for (int face = 0; face < kFaceCount; ++face) {
            const TileNames names = MakeTileNames(dataSet.DataSetVersion(), face, *size);
            const std::u16string colourPath = directory + u"/" + names.colour;
            if (platform::FileExists(colourPath)) {
                MakeFaceTexture(context, face, level, colourPath, directory + u"/" + names.mask, 0,
                                false);
            }
        }
    }
    FreeUploadedPixels();
}

void SX_CubeMap::DropContent() {
    FreeUploadedPixels();
    AutoCriticalLock lock(tileLock_);
    for (Face& face : faces_) {
        face.textures.clear();
        face.points.clear();
    }
}

void SX_CubeMap::Clear() {
    FreeUploadedPixels();
    {
        AutoCriticalLock lock(tileLock_);
        for (Face& face : faces_) {
            face.loadedLevel = -1;
            face.drawnLevel = -1;
            face.textures.clear();
            face.points.clear();
        }
    }
    interactionState_ = kIdle;
    wantedLevel_ = kNoWantedLevel;
    coarsestLevel_ = -1;
    frameAfterCoarsest_ = false;
    coarsestShown_ = false;
    for (auto& tried : facesTried_) {
        tried = 0;
    }
    levelSizes_.fill(std::nullopt);
    // The next station declares its own levels and point data.
    highestLevel_ = -1;
    hasPointData_ = true;
}
