#include "station/SX_PanoramaDataSet.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <new>

#include "glcore/SX_OpenGLCamera.h"
#include "host/Resources.h"
#include "host/SX_Format.h"
#include "measure/SX_DistanceMark.h"
#include "measure/SX_VertexMark.h"
#include "measure/Units.h"
#include "platform/Folders.h"
#include "platform/Text.h"
#include "resources/StringTable.h"
#include "station/LoadControl.h"
#include "station/SX_CubeMap.h"
#include "station/SX_LoadingContext.h"
#include "station/StationLimits.h"

using platform::XmlNode;
using StraleLib::AutoCriticalLock;

namespace {

constexpr double kFaceProgress = 0.16666;

// Built-in texts of the limits (station/StationLimits.h).
constexpr const char16_t* kDescriptionTooLarge =
    u"The description file %s has %d bytes, more than the %d bytes a station description may "
    u"have.";
constexpr const char16_t* kTooManyLevels =
    u"The description declares %d levels of detail; at most %d are read.";
constexpr const char16_t* kLevelOutside =
    u"A level %d lies outside the levels 0 to %d and is ignored.";
constexpr const char16_t* kFaceSizeOutside =
    u"Level %d declares a face size of %d pixels; a face has 1 to %d pixels a side. The level is "
    u"ignored.";
constexpr const char16_t* kTooManyNeighbors =
    u"The description lists %d neighbour stations; only the first %d are read.";

// The size of a regular file, -1 for anything else (a missing file is left to
// the parser's message).
std::int64_t FileSize(const std::u16string& path) {
    std::error_code error;
    const std::filesystem::path p(platform::ToUtf8(path));
    if (!std::filesystem::is_regular_file(p, error)) {
        return -1;
    }
    const std::uintmax_t size = std::filesystem::file_size(p, error);
    return error ? -1 : static_cast<std::int64_t>(size);
}

bool ValidFaceSize(int size) {
    return size >= 1 && size <= station::kMaxFaceSize;
}

bool ReadInt(const XmlNode& node, int& value) {
    if (!node) {
        return false;
    }
    int read = 0;
    if (platform::ScanInCLocale(platform::ToUtf8(node.Text()).c_str(), "%d", &read) != 1) {
        return false;
    }
    value = read;
    return true;
}

bool ReadDouble(const XmlNode& node, double& value) {
    if (!node) {
        return false;
    }
    double read = 0.0;
    if (platform::ScanInCLocale(platform::ToUtf8(node.Text()).c_str(), "%lf", &read) != 1) {
        return false;
    }
    value = read;
    return true;
}

bool ReadIntAttribute(const XmlNode& node, std::u16string_view name, int& value) {
    const auto text = node.Attribute(name);
    int read = 0;
    if (!text || platform::ScanInCLocale(platform::ToUtf8(*text).c_str(), "%d", &read) != 1) {
        return false;
    }
    value = read;
    return true;
}

bool ReadDoubleAttribute(const XmlNode& node, std::u16string_view name, double& value) {
    const auto text = node.Attribute(name);
    double read = 0.0;
    if (!text || platform::ScanInCLocale(platform::ToUtf8(*text).c_str(), "%lf", &read) != 1) {
        return false;
    }
    value = read;
    return true;
}

// Face elements of the data set format in their loading order, with the face
// number each names.
struct FaceElements {
    int face;
    const char16_t* image;
    const char16_t* points;
};
constexpr FaceElements kFaceOrder[] = {
    {1, u"sx:Front", u"sx:DepthFront"}, {3, u"sx:Back", u"sx:DepthBack"},
    {0, u"sx:Left", u"sx:DepthLeft"},   {2, u"sx:Right", u"sx:DepthRight"},
    {4, u"sx:Top", u"sx:DepthTop"},     {5, u"sx:Bottom", u"sx:DepthBottom"},
};

}  // namespace

SX_PanoramaDataSet::SX_PanoramaDataSet(const host::Resources& resources, HostUi* ui)
    : resources_(resources), ui_(ui), document_(std::make_unique<platform::XmlDocument>()) {}

SX_PanoramaDataSet::~SX_PanoramaDataSet() = default;

void SX_PanoramaDataSet::Initialise(StraleLib::SX_OpenGLWorld* world) {
    marks_.Clear();  // they project with the camera being replaced
    camera_ = std::make_unique<StraleLib::SX_OpenGLCamera>(world);
    cubeMap_ = std::make_unique<SX_CubeMap>(world, camera_.get());
    cubeMap_->SetLoadControl(loadControl_);
    initialised_ = true;
}

void SX_PanoramaDataSet::SetLoadControl(LoadControl* control) {
    loadControl_ = control;
    if (cubeMap_) {
        cubeMap_->SetLoadControl(control);
    }
}

bool SX_PanoramaDataSet::StopRequested() const {
    return loadControl_ != nullptr && loadControl_->IsStopRequested();
}

bool SX_PanoramaDataSet::WaitWhilePaused() {
    if (loadControl_ == nullptr) {
        return true;
    }
    while (!loadControl_->IsStopRequested() && loadControl_->IsPaused()) {
        loadControl_->Sleep(LoadControl::kPollMilliseconds);
    }
    return !loadControl_->IsStopRequested();
}

std::u16string SX_PanoramaDataSet::MissingMessage(std::u16string_view itemKey,
                                                  std::u16string_view tag,
                                                  std::u16string_view builtIn) const {
    std::u16string item;
    if (!resources_.GetMessage(itemKey, item)) {
        return std::u16string(builtIn);
    }
    std::u16string format;
    if (!resources_.GetMessage(u"sx:Resource/sx:Missing", format)) {
        format = u"%s %s";
    }
    return SX_Format(format, {item, tag});
}

bool SX_PanoramaDataSet::LoadPhase1(SX_LoadingContext& context, std::u16string_view name,
                                    bool& versionCheckDone) {
    if (!initialised_) {
        AddMessage(resources_.Text(u"sx:Resource/sx:DataSetNotInitialized",
                                   resources::IDS_DATASET_NOT_INITIALIZED));
        return false;
    }
    ClearMessages();
    const std::u16string path = context.Resolve(name);
    if (path.empty()) {
        const std::u16string tooLarge = context.TooLargeMessage(name, resources_);
        AddMessage(tooLarge.empty() ? SX_Format(u"File not found: %s", {name}) : tooLarge);
        return false;
    }
    const std::int64_t bytes = FileSize(path);
    if (bytes > station::kMaxDescriptionBytes) {
        AddMessage(
            SX_Format(resources_.Text(u"sx:Resource/sx:DescriptionTooLarge", kDescriptionTooLarge),
                      {name, static_cast<long long>(bytes),
                       static_cast<long long>(station::kMaxDescriptionBytes)}));
        return false;
    }
    if (!document_->Load(path)) {
        const platform::XmlParseError& error = document_->ParseError();
        AddMessage(SX_Format(
            resources_.Text(u"sx:Resource/sx:XMLError", u"XML Error: %X - Line[%d] Pos[%d] - %s"),
            {static_cast<unsigned>(error.code), error.line, error.position, error.reason}));
        return false;
    }
    if (document_->SelectSingleNode(u"sx:Dataset")) {
        if (!ReadDataSet(context, name)) {
            return false;
        }
    } else if (document_->SelectSingleNode(u"Qvscan:CubeMap")) {
        ReadCoordinateSystem();
        // The station's links (neighbours) are joined against the load's own
        // context: the page's folder under a container, else the file's.
        ReadMetadata(context, versionCheckDone);
    }
    ClearErrorFlag();
    return true;
}

bool SX_PanoramaDataSet::LoadPhase2(SX_LoadingContext& context, std::u16string_view name) {
    if (!initialised_) {
        return false;
    }
    if (!document_->SelectSingleNode(u"Qvscan:CubeMap")) {
        return true;
    }
    // Tile names are relative to the description file's folder (a context
    // of its own, as for the data set format), so that a page can load
    // stations that lie in folders below its own.
    const auto sub = context.MakeSubContext(name);
    return cubeMap_->LoadPyramid(*sub, *this);
}

bool SX_PanoramaDataSet::ReadDataSet(SX_LoadingContext& context, std::u16string_view name) {
    if (!document_->SelectSingleNode(u"sx:Dataset/sx:Camera")) {
        AddMessage(MissingMessage(u"sx:Resource/sx:Camera", u"<sx:Camera>",
                                  u"Missing Camera information <sx:Camera>"));
        return false;
    }
    const bool version10 = DataSetVersion() == u"1.0";
    const XmlNode cubemaps = document_->SelectSingleNode(version10 ? u"sx:Dataset/sx:Cubemaps"
                                                                   : u"sx:Dataset/sx:Cubemaps2");
    if (!cubemaps) {
        AddMessage(version10 ? MissingMessage(u"sx:Resource/sx:CubeMaps", u"<sx:Cubemaps>",
                                              resources_.LoadStringWithFallback(
                                                  resources::IDS_MISSING_CUBEMAPS))
                             : MissingMessage(u"sx:Resource/sx:CubeMaps", u"<sx:Cubemaps2>",
                                              u"Missing CubeMaps information <sx:Cubemaps2>"));
        return false;
    }
    const std::vector<XmlNode> all = cubemaps.Children(u"sx:Cube");
    if (all.empty()) {
        AddMessage(MissingMessage(u"sx:Resource/sx:CubeLevel", u"<sx:Cube>",
                                  u"Missing Cube Level information <sx:Cube>"));
        return false;
    }
    // The cubes declare the level table up front, so that the coarsest level
    // is known and every level's face images are cut to the OpenGL limit. A
    // cube outside the levels, or with a face size no face can have, is
    // left out; so are the cubes beyond the number of levels.
    std::vector<XmlNode> cubes;
    for (const XmlNode& cube : all) {
        int level = 0;
        int resolution = 0;
        ReadIntAttribute(cube, u"level", level);
        const bool sized = ReadIntAttribute(cube, u"resolution", resolution);
        if (level < 0 || level >= SX_CubeMap::kMaxLevels) {
            AddMessage(SX_Format(resources_.Text(u"sx:Resource/sx:LevelOutside", kLevelOutside),
                                 {level, SX_CubeMap::kMaxLevels - 1}));
            continue;
        }
        if (sized && !ValidFaceSize(resolution)) {
            AddMessage(SX_Format(resources_.Text(u"sx:Resource/sx:FaceSize", kFaceSizeOutside),
                                 {level, resolution, station::kMaxFaceSize}));
            continue;
        }
        if (static_cast<int>(cubes.size()) == SX_CubeMap::kMaxLevels) {
            AddMessage(SX_Format(resources_.Text(u"sx:Resource/sx:TooManyLevels", kTooManyLevels),
                                 {static_cast<int>(all.size()), SX_CubeMap::kMaxLevels}));
            break;
        }
        cubeMap_->SetLevel(level, resolution, true, maxTextureSize_);
        cubes.push_back(cube);
    }
    if (cubes.empty()) {
        return false;
    }
    const auto sub = context.MakeSubContext(name);
    return ReadCubes(*sub, cubes);
}

bool SX_PanoramaDataSet::ReadCubes(SX_LoadingContext& context, const std::vector<XmlNode>& cubes) {
    bool result = true;
    const double step = kFaceProgress / static_cast<double>(cubes.size());
    for (std::size_t i = 0; i < cubes.size(); ++i) {
        int level = 0;
        int resolution = 0;
        ReadIntAttribute(cubes[i], u"level", level);
        ReadIntAttribute(cubes[i], u"resolution", resolution);
        // Finer cubes wait until the renderer wants their level.
        if (i > 0) {
            while (level < cubeMap_->WantedLevel()) {
                if (StopRequested() || loadControl_ == nullptr) {
                    return result;
                }
                loadControl_->SleepUntilWoken(LoadControl::kPollMilliseconds);
            }
        }
        if (!WaitWhilePaused()) {
            return result;
        }
        for (const FaceElements& f : kFaceOrder) {
            if (const XmlNode image = cubes[i].SelectSingleNode(f.image)) {
                int border = 0;
                ReadIntAttribute(image, u"border", border);
                const std::u16string colourName = image.Text();
                const std::u16string colourPath = context.Resolve(colourName);
                std::u16string maskPath;
                if (colourPath.size() >= 3) {
                    maskPath = colourPath.substr(0, colourPath.size() - 3) + u"PNG";
                }
                if (!cubeMap_->LoadFaceImage(context, f.face, colourPath, maskPath, colourName,
                                             level, *this, border)) {
                    AddMessage(cubeMap_->LastMessage());
                    result = false;
                }
            }
            if (const XmlNode points = cubes[i].SelectSingleNode(f.points)) {
                const std::u16string pointName = points.Text();
                if (!cubeMap_->LoadFacePoints(context, f.face, context.Resolve(pointName),
                                              pointName, level, *this)) {
                    AddMessage(cubeMap_->LastMessage());
                    result = false;
                }
            }
            cubeMap_->NoteFaceTried(level);
            AddProgress(step);
            if (!WaitWhilePaused()) {
                cubeMap_->FreeUploadedPixels();
                return result;
            }
        }
        cubeMap_->FreeUploadedPixels();
    }
    return result;
}

void SX_PanoramaDataSet::ReadCoordinateSystem() {
    const XmlNode cs = document_->SelectSingleNode(u"Qvscan:CubeMap/Qvscan:CoordinateSystem");
    if (cs) {
        int up = 0;
        if (ReadInt(cs.SelectSingleNode(u"Qvscan:UpDirection"), up)) {
            upDirection_.store(up);
        }
        double azimuth = 0.0;
        ReadDouble(cs.SelectSingleNode(u"Qvscan:azimuth"), azimuth);
        rotationAngle_ = -azimuth;
        ReadDouble(cs.SelectSingleNode(u"Qvscan:centerPointX"), centerX_);
        ReadDouble(cs.SelectSingleNode(u"Qvscan:centerPointY"), centerY_);
        ReadDouble(cs.SelectSingleNode(u"Qvscan:centerPointZ"), centerZ_);
        if (const XmlNode type = cs.SelectSingleNode(u"Qvscan:coordSysType")) {
            northEast_ = type.Text() == u"NEEI";
        }
    }
    const XmlNode vd = document_->SelectSingleNode(u"Qvscan:CubeMap/Qvscan:ViewDefaults");
    if (vd) {
        ReadDouble(vd.SelectSingleNode(u"Qvscan:fieldOfView"), fieldOfView_);
        ReadDouble(vd.SelectSingleNode(u"Qvscan:azimuth"), defaultAzimuth_);
        ReadDouble(vd.SelectSingleNode(u"Qvscan:elevation"), defaultElevation_);
        if (const XmlNode unit = vd.SelectSingleNode(u"Qvscan:distanceUnit")) {
            ParseUnitName(unit.Text(), defaultUnit_);
        }
        if (const XmlNode angular = vd.SelectSingleNode(u"Qvscan:angularUnit")) {
            viewDegrees_ = angular.Text() != u"radians";
        }
    }
    // Angles in degrees become radians by pi/360: the linear-algebra module
    // takes half-angles. The flag stays on radians for later files.
    if (viewDegrees_) {
        defaultAzimuth_ = defaultAzimuth_ * 1.5707963267948966 / 180.0;
        rotationAngle_ = rotationAngle_ * 1.5707963267948966 / 180.0;
        viewDegrees_ = false;
    }
    rotation_.SetFromEulerAngles(Vec3Dbl(0.0, 0.0, rotationAngle_));
}

void SX_PanoramaDataSet::ReadMetadata(SX_LoadingContext& context, bool& versionCheckDone) {
    const XmlNode root = document_->SelectSingleNode(u"Qvscan:CubeMap");
    {
        AutoCriticalLock lock(dataLock_);
        if (const XmlNode uid = root.SelectSingleNode(u"Qvscan:Uid")) {
            uniqueId_ = uid.Text();
        }
        if (const XmlNode scan = root.SelectSingleNode(u"Qvscan:ScanMeta/Qvscan:scanName")) {
            scanName_ = scan.Text();
        }
    }
    // The version-check record of the station's local markup file.
    const std::u16string markup = platform::PerUserPath(u"\\Panora\\" + UniqueId() + u".xml");
    if (!markup.empty()) {
        platform::XmlDocument local;
        if (local.Load(markup) && local.SelectSingleNode(u"sx:Markup/sx:VersionCheck")) {
            versionCheckDone = true;
        }
    }
    if (const XmlNode meta = root.SelectSingleNode(u"Qvscan:PanoramaMeta")) {
        if (const XmlNode version = meta.SelectSingleNode(u"Qvscan:version")) {
            AutoCriticalLock lock(dataLock_);
            dataSetVersion_ = version.Text();
        }
        if (const XmlNode unit = meta.SelectSingleNode(u"Qvscan:distanceUnit")) {
            ParseUnitName(unit.Text(), internalUnit_);
        }
        if (const XmlNode angular = meta.SelectSingleNode(u"Qvscan:angularUnit")) {
            metaDegrees_ = angular.Text() != u"radians";
        }
        if (const XmlNode points = meta.SelectSingleNode(u"Qvscan:hasPointData")) {
            const std::u16string text = points.Text();
            hasPointData_ = text == u"TRUE" || text == u"true" || text == u"True";
            measureEnabled_ = hasPointData_;
        }
        const XmlNode lods =
            meta.SelectSingleNode(DataSetVersion() == u"1.0" ? u"Qvscan:lods" : u"Qvscan:lods2");
        if (lods) {
            const std::vector<XmlNode> list = lods.Children(u"Qvscan:lod");
            const int n = static_cast<int>(list.size());
            // The first lods of a longer list would be levels 20 and above:
            // the level table refuses them.
            if (n > SX_CubeMap::kMaxLevels) {
                AddMessage(
                    SX_Format(resources_.Text(u"sx:Resource/sx:TooManyLevels", kTooManyLevels),
                              {n, SX_CubeMap::kMaxLevels}));
            }
            for (int k = 0; k < n; ++k) {
                int size = 0;
                const int level = n - 1 - k;
                if (level < SX_CubeMap::kMaxLevels &&
                    ReadInt(list[k].SelectSingleNode(u"Qvscan:size"), size)) {
                    if (ValidFaceSize(size)) {
                        cubeMap_->SetLevel(level, size, hasPointData_, maxTextureSize_);
                    } else {
                        AddMessage(
                            SX_Format(resources_.Text(u"sx:Resource/sx:FaceSize", kFaceSizeOutside),
                                      {level, size, station::kMaxFaceSize}));
                    }
                }
                ReadDouble(list[k].SelectSingleNode(u"Qvscan:maxPointError"), maxPointError_);
            }
        }
    }
    if (const XmlNode siteMap = root.SelectSingleNode(u"Qvscan:SiteMap")) {
        if (const auto url = siteMap.Attribute(u"URL")) {
            AutoCriticalLock lock(dataLock_);  // the window thread reads it
            siteMap_ = *url;
        }
    }
    int maxVisible = 6;
    ReadInt(root.SelectSingleNode(u"Qvscan:MaxVisibleNeighbors"), maxVisible);
    if (const XmlNode labels = root.SelectSingleNode(u"Qvscan:ShowNeighborLabels")) {
        showNeighborLabels_ = labels.Text() == u"YES";
    }
    ReadInt(root.SelectSingleNode(u"Qvscan:StationIconRadius"), stationIconRadius_);

    const XmlNode list = root.SelectSingleNode(u"Qvscan:Neighbors");
    if (!list) {
        return;
    }
    std::vector<XmlNode> elements = list.Children(u"Qvscan:Neighbor");
    if (elements.size() > static_cast<std::size_t>(station::kMaxNeighbors)) {
        AddMessage(SX_Format(resources_.Text(u"sx:Resource/sx:TooManyNeighbors", kTooManyNeighbors),
                             {static_cast<int>(std::min<std::size_t>(elements.size(), 2147483647u)),
                              station::kMaxNeighbors}));
        elements.resize(static_cast<std::size_t>(station::kMaxNeighbors));
    }
    for (std::size_t i = 0; i < elements.size(); ++i) {
        Neighbor n;
        n.index = static_cast<int>(i);
        n.name = elements[i].Attribute(u"Name").value_or(u"");
        n.url = elements[i].Attribute(u"URL").value_or(u"");
        ReadDoubleAttribute(elements[i], u"X", n.x);
        ReadDoubleAttribute(elements[i], u"Y", n.y);
        ReadDoubleAttribute(elements[i], u"Z", n.z);
        std::u16string joined;
        if (!n.url.empty() && context.ResolveLink(n.url, joined, 4096, ui_, resources_)) {
            n.resolvedUrl = joined;
        }
        InsertNeighbor(std::move(n));
    }
    ComputeRanges();
    SetMaxVisibleNeighbors(maxVisible < 0 ? static_cast<int>(elements.size()) : maxVisible);
}

void SX_PanoramaDataSet::InsertNeighbor(Neighbor neighbor) {
    const auto squared = [](const Neighbor& n) { return n.x * n.x + n.y * n.y + n.z * n.z; };
    const double d = squared(neighbor);
    auto it = neighbors_.begin();
    while (it != neighbors_.end() && squared(*it) < d) {
        ++it;
    }
    neighbors_.insert(it, std::move(neighbor));
}

void SX_PanoramaDataSet::ComputeRanges() {
    bool first = true;
    for (const Neighbor& n : neighbors_) {
        const double r = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
        if (!(r > 0.0)) {
            continue;
        }
        const double values[3] = {r, std::asin(n.y / r) * 180.0 / M_PI,
                                  std::atan2(n.z / r, n.x / r) * 180.0 / M_PI + 90.0};
        for (int k = 0; k < 3; ++k) {
            if (first) {
                ranges_[k] = {values[k], values[k]};
            } else {
                ranges_[k].min = std::min(ranges_[k].min, values[k]);
                ranges_[k].max = std::max(ranges_[k].max, values[k]);
            }
        }
        first = false;
    }
}

void SX_PanoramaDataSet::SetMaxVisibleNeighbors(int n) {
    visible_.clear();
    const int count = std::min(std::max(n, 0), static_cast<int>(neighbors_.size()));
    for (int i = 0; i < count; ++i) {
        visible_.push_back(i);
    }
}

std::u16string SX_PanoramaDataSet::SiteMap(const SX_LoadingContext& context) const {
    std::u16string siteMap;
    {
        AutoCriticalLock lock(dataLock_);
        siteMap = siteMap_;
    }
    if (siteMap.empty()) {
        return {};
    }
    std::u16string joined;
    if (!context.ResolveLink(siteMap, joined, 4096, ui_, resources_)) {
        return {};
    }
    return joined;
}

void SX_PanoramaDataSet::Clear() {
    ClearMessages();
    marks_.Clear();
    neighbors_.clear();
    visible_.clear();
    if (cubeMap_) {
        cubeMap_->Clear();
    }
    SetProgress(0.0);
    document_ = std::make_unique<platform::XmlDocument>();
}

void SX_PanoramaDataSet::AddProgress(double delta) {
    AutoCriticalLock lock(progressLock_);
    progress_ += delta;
}

double SX_PanoramaDataSet::GetProgress() const {
    AutoCriticalLock lock(progressLock_);
    return progress_;
}

void SX_PanoramaDataSet::SetProgress(double value) {
    AutoCriticalLock lock(progressLock_);
    progress_ = value;
}

std::u16string SX_PanoramaDataSet::DataSetVersion() const {
    AutoCriticalLock lock(dataLock_);
    return dataSetVersion_;
}

std::u16string SX_PanoramaDataSet::RequiredDataVersion() const {
    AutoCriticalLock lock(dataLock_);
    return requiredDataVersion_;
}

void SX_PanoramaDataSet::SetRequiredDataVersion(std::u16string version) {
    AutoCriticalLock lock(dataLock_);
    requiredDataVersion_ = std::move(version);
}

std::u16string SX_PanoramaDataSet::UniqueId() const {
    AutoCriticalLock lock(dataLock_);
    return uniqueId_;
}

std::u16string SX_PanoramaDataSet::GetScanWorldName() const {
    AutoCriticalLock lock(dataLock_);
    return scanName_;
}

bool SX_PanoramaDataSet::ParseUnitName(std::u16string_view name, int& unit) {
    return measure::Units::FromMetadataName(name, unit);
}

SX_Mark::Transform SX_PanoramaDataSet::RegistrationTransform() const {
    SX_Mark::Transform t;
    t.translation = {centerX_, centerY_, centerZ_};
    t.rotation = rotation_;
    return t;
}

SX_Mark::StationInfo SX_PanoramaDataSet::MarkStationInfo() const {
    return {&Resources(), MaxPointError()};
}

std::int32_t SX_PanoramaDataSet::AddVertexMark(double x, double y, double z, int unit,
                                               const std::u16string& colour,
                                               const measure::MeasureDefaults& defaults) {
    if (!initialised_) {
        return -1;
    }
    // A mark that cannot be allocated is not added: -1, as for no station.
    try {
        auto mark = std::make_unique<SX_VertexMark>(x, y, z, upDirection_.load(), camera_.get(),
                                                    MarkStationInfo(), defaults);
        mark->SetTransform(RegistrationTransform());
        mark->SetInternalUnit(internalUnit_);
        mark->SetUnit(unit);
        mark->SetColorText(colour);
        return static_cast<std::int32_t>(marks_.Add(std::move(mark)));
    } catch (const std::bad_alloc&) {
        return -1;
    }
}

std::int32_t SX_PanoramaDataSet::AddDistanceMark(double x1, double y1, double z1, double x2,
                                                 double y2, double z2, int unit,
                                                 const std::u16string& colour,
                                                 const measure::MeasureDefaults& defaults) {
    if (!initialised_) {
        return -1;
    }
    try {
        auto mark = std::make_unique<SX_DistanceMark>(x1, y1, z1, x2, y2, z2, upDirection_.load(),
                                                      camera_.get(), MarkStationInfo(), defaults);
        mark->SetInternalUnit(internalUnit_);
        mark->SetUnit(unit);
        mark->SetColorText(colour);
        return static_cast<std::int32_t>(marks_.Add(std::move(mark)));
    } catch (const std::bad_alloc&) {
        return -1;
    }
}
