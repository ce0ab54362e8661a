#pragma once
// One station: what its description file says, its error list, its progress
// and its cube map. Two description formats, told apart by the root element:
//
//   sx:Dataset       names every face image and point file of every level
//                    itself; reading it loads all of them, cube by cube
//                    (finer cubes only once the renderer wants their level);
//   Qvscan:CubeMap   coordinate system, view defaults, levels, neighbours;
//                    the tiles follow a fixed naming pattern and are loaded
//                    by LoadPhase2.
//
// A root of neither kind loads as an empty station. Fields read from a file
// stay until the next file overwrites them (Clear does not reset them).
//
// Threads: LoadPhase1/2 run on the loader thread. The metadata strings are
// guarded by the data lock, progress by the progress lock; the neighbour lists
// and coordinate-system fields are written during loading without a lock.
// Long waits poll the LoadControl every 140 ms.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "glcore/AutoCriticalSection.h"
#include "linalg/Quaternion.h"
#include "measure/Mark3DList.h"
#include "platform/XmlDocument.h"
#include "station/SX_ErrorLogger.h"

class HostUi;
class LoadControl;
class SX_CubeMap;
class SX_LoadingContext;
namespace host {
class Resources;
}  // namespace host
namespace StraleLib {
class SX_OpenGLCamera;
class SX_OpenGLWorld;
}  // namespace StraleLib

class SX_PanoramaDataSet : public SX_ErrorLogger {
  public:
    struct Neighbor {
        int index = 0;  // position in file order, from 0
        double x = 0.0, y = 0.0, z = 0.0;
        std::u16string name;
        std::u16string url;
        int visible = 1;
        std::u16string resolvedUrl;  // empty unless the joined target exists
        int screenX = 2147483647;
        int screenY = 2147483647;
    };
    struct Range {
        double min = 0.0;
        double max = 0.0;
    };

    explicit SX_PanoramaDataSet(const host::Resources& resources, HostUi* ui = nullptr);
    ~SX_PanoramaDataSet() override;

    const host::Resources& Resources() const { return resources_; }
    // The cube map wakes it when the wanted level changes.
    void SetLoadControl(LoadControl* control);
    LoadControl* GetLoadControl() const { return loadControl_; }

    // Makes a new camera (drawing into the graphic window's world, which may
    // be null) and a new cube map, replacing earlier ones.
    void Initialise(StraleLib::SX_OpenGLWorld* world = nullptr);
    bool IsInitialised() const { return initialised_; }
    SX_CubeMap* CubeMap() const { return cubeMap_.get(); }
    StraleLib::SX_OpenGLCamera* Camera() const { return camera_.get(); }

    // Reads the description file; versionCheckDone becomes true when the
    // station's local markup file holds the version-check record.
    bool LoadPhase1(SX_LoadingContext& context, std::u16string_view name, bool& versionCheckDone);
    // Loads the tile pyramid of a metadata-format station.
    bool LoadPhase2(SX_LoadingContext& context, std::u16string_view name);
    void Clear();

    void AddProgress(double delta);
    double GetProgress() const;
    void SetProgress(double value);

    void SetMaxVisibleNeighbors(int n);
    int GetMaxVisibleNeighbors() const { return static_cast<int>(visible_.size()); }
    bool HasNeighborPanoras() const { return !neighbors_.empty(); }
    const std::vector<Neighbor>& Neighbors() const { return neighbors_; }
    // Indexes (into Neighbors()) of the visible neighbours.
    const std::vector<int>& VisibleNeighbors() const { return visible_; }
    Range DistanceRange() const { return ranges_[0]; }
    Range AltitudeRange() const { return ranges_[1]; }
    Range AzimuthRange() const { return ranges_[2]; }

    // The site map joined with the context's base, or "" when its target
    // does not exist.
    std::u16string SiteMap(const SX_LoadingContext& context) const;

    // Metadata strings (read and written under the data lock).
    std::u16string DataSetVersion() const;
    std::u16string RequiredDataVersion() const;
    void SetRequiredDataVersion(std::u16string version);
    std::u16string UniqueId() const;
    std::u16string GetScanWorldName() const;

    // Coordinate system and view defaults.
    double CenterX() const { return centerX_; }
    double CenterY() const { return centerY_; }
    double CenterZ() const { return centerZ_; }
    double RotationAngle() const { return rotationAngle_; }
    const Quaternion& Rotation() const { return rotation_; }
    bool IsNorthEastFrame() const { return northEast_; }
    int UpDirection() const { return upDirection_.load(); }
    int DefaultDistanceUnit() const { return defaultUnit_; }
    bool ViewAnglesInDegrees() const { return viewDegrees_; }
    double FieldOfView() const { return fieldOfView_; }
    double DefaultAzimuth() const { return defaultAzimuth_; }
    double DefaultElevation() const { return defaultElevation_; }
    bool HasPointData() const { return hasPointData_; }
    bool MeasureEnabled() const { return measureEnabled_; }
    int InternalDistanceUnit() const { return internalUnit_; }
    bool MetadataAnglesInDegrees() const { return metaDegrees_; }
    bool ShowNeighborLabels() const { return showNeighborLabels_; }
    int StationIconRadius() const { return stationIconRadius_; }
    double MaxPointError() const { return maxPointError_; }
    int MaxTextureSize() const { return maxTextureSize_; }
    void SetMaxTextureSize(int size) { maxTextureSize_ = size; }

    // The station's 3D marks. Adding fails (-1) before Initialise; a new
    // mark takes the registration, the internal unit, the display unit
    // `unit` (a code, not -1) and the colour text, and becomes the selected
    // one. Clear and Initialise destroy every mark.
    measure::Mark3DList& Marks() { return marks_; }
    const measure::Mark3DList& Marks() const { return marks_; }
    std::int32_t AddVertexMark(double x, double y, double z, int unit, const std::u16string& colour,
                               const measure::MeasureDefaults& defaults);
    std::int32_t AddDistanceMark(double x1, double y1, double z1, double x2, double y2, double z2,
                                 int unit, const std::u16string& colour,
                                 const measure::MeasureDefaults& defaults);
    // Site = Rotation() applied to a scan point, plus the centre point.
    SX_Mark::Transform RegistrationTransform() const;
    // What a new mark takes from the station: message texts and the
    // maximum point error.
    SX_Mark::StationInfo MarkStationInfo() const;

    // A unit name of the description files ("m", "feet(US-Survey)", ...) as
    // a unit code; false (unit unchanged) for any other text.
    static bool ParseUnitName(std::u16string_view name, int& unit);

  private:
    bool ReadDataSet(SX_LoadingContext& context, std::u16string_view name);
    bool ReadCubes(SX_LoadingContext& context, const std::vector<platform::XmlNode>& cubes);
    void ReadCoordinateSystem();
    void ReadMetadata(SX_LoadingContext& context, bool& versionCheckDone);
    void InsertNeighbor(Neighbor neighbor);
    void ComputeRanges();
    std::u16string MissingMessage(std::u16string_view itemKey, std::u16string_view tag,
                                  std::u16string_view builtIn) const;
    // Holds while paused; false when a stop is requested.
    bool WaitWhilePaused();
    bool StopRequested() const;

    const host::Resources& resources_;
    HostUi* ui_ = nullptr;
    LoadControl* loadControl_ = nullptr;

    double centerX_ = 0.0, centerY_ = 0.0, centerZ_ = 0.0;
    double rotationAngle_ = 0.0;
    Quaternion rotation_;
    bool northEast_ = false;
    // Written by the loader, read by every frame (hotlink icons).
    std::atomic<int> upDirection_{0};
    int defaultUnit_ = 0;
    bool viewDegrees_ = true;
    double fieldOfView_ = 80.0;
    double defaultAzimuth_ = 0.0;
    double defaultElevation_ = 0.0;
    std::u16string dataSetVersion_ = u"1.0";
    std::u16string requiredDataVersion_ = u"1.0.48.0";
    bool hasPointData_ = true;
    bool measureEnabled_ = true;
    int internalUnit_ = 0;
    bool metaDegrees_ = true;
    std::u16string uniqueId_;
    std::u16string scanName_;
    bool initialised_ = false;
    std::unique_ptr<SX_CubeMap> cubeMap_;
    std::unique_ptr<StraleLib::SX_OpenGLCamera> camera_;
    mutable StraleLib::AutoCriticalSection dataLock_;
    mutable StraleLib::AutoCriticalSection progressLock_;
    double progress_ = 0.0;
    int maxTextureSize_ = 1024;
    std::vector<Neighbor> neighbors_;
    std::vector<int> visible_;
    std::u16string siteMap_;
    Range ranges_[3];
    bool showNeighborLabels_ = false;
    int stationIconRadius_ = 0;
    double maxPointError_ = 0.0;
    std::unique_ptr<platform::XmlDocument> document_;
    measure::Mark3DList marks_;
};
