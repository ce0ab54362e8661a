// `panora info FILE`: reads a station description file the way the control
// does (SX_PanoramaDataSet through a loading context, so a web address is
// downloaded into the cache like a page's station) and prints what the
// station holds: format, version, coordinate system, view defaults, levels,
// neighbours nearest first, the visible ones, identifiers and the maximum
// point error. A file the reader refuses prints its error list (exit 1).

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "host/Resources.h"
#include "panora/Commands.h"
#include "platform/IniFile.h"
#include "platform/Path.h"
#include "platform/Text.h"
#include "platform/XmlDocument.h"
#include "sitegen/DescriptionWriter.h"
#include "station/SX_CubeMap.h"
#include "station/SX_LoadingContext.h"
#include "station/SX_PanoramaDataSet.h"

namespace {

using platform::ToUtf8;
using sitegen::FormatDouble;

constexpr double kHalfAnglePerDegree = 1.5707963267948966 / 180.0;

const char* UnitName(int unit) {
    switch (unit) {
        case 0:
            return "meters";
        case 1:
            return "centimeters";
        case 2:
            return "millimeters";
        case 10:
            return "feet";
        case 20:
            return "inches";
        case 30:
            return "US survey feet";
        case 40:
            return "US survey inches";
        case 50:
            return "yards";
        default:
            return "unknown";
    }
}

const char* YesNo(bool value) {
    return value ? "yes" : "no";
}

// "Build" of section "Panora Information" in the Version.ini beside the file.
std::string ReadBuild(const SX_LoadingContext& context, const std::u16string& name) {
    const auto sub = context.MakeSubContext(name);
    const std::u16string path = sub->Resolve(u"Version.ini");
    platform::IniFile ini;
    if (path.empty() || !ini.Load(path)) {
        return "none (no Version.ini; 1.0.48.0 assumed)";
    }
    const auto build = ini.Find(u"Panora Information", u"Build");
    return build ? ToUtf8(*build) : "none in Version.ini (1.0.48.0 assumed)";
}

void PrintMetadata(const SX_PanoramaDataSet& station, bool viewAnglesInRadians) {
    // The reader keeps angles as half-angles in radians unless the file gave
    // radians already.
    const double toDegrees = viewAnglesInRadians ? 1.0 : 1.0 / kHalfAnglePerDegree;
    const char* angleUnit = viewAnglesInRadians ? "radians" : "degrees";
    std::printf("format: cube-map metadata (Qvscan:CubeMap)\n");
    std::printf("data set version: %s\n", ToUtf8(station.DataSetVersion()).c_str());
    std::printf("unique id: %s\n", ToUtf8(station.UniqueId()).c_str());
    std::printf("scan name: %s\n", ToUtf8(station.GetScanWorldName()).c_str());
    std::printf("coordinate system: up direction %d, azimuth %s %s, centre %s %s %s, %s\n",
                station.UpDirection(), FormatDouble(-station.RotationAngle() * toDegrees).c_str(),
                angleUnit, FormatDouble(station.CenterX()).c_str(),
                FormatDouble(station.CenterY()).c_str(), FormatDouble(station.CenterZ()).c_str(),
                station.IsNorthEastFrame() ? "north-east frame" : "scanner frame");
    std::printf(
        "internal unit: %s, angles %s, point data %s\n", UnitName(station.InternalDistanceUnit()),
        station.MetadataAnglesInDegrees() ? "degrees" : "radians", YesNo(station.HasPointData()));
    std::printf("view defaults: field of view %s, azimuth %s %s, elevation %s, distance unit %s\n",
                FormatDouble(station.FieldOfView()).c_str(),
                FormatDouble(station.DefaultAzimuth() * toDegrees).c_str(), angleUnit,
                FormatDouble(station.DefaultElevation()).c_str(),
                UnitName(station.DefaultDistanceUnit()));
    std::printf("max point error: %s\n", FormatDouble(station.MaxPointError()).c_str());

    const SX_CubeMap* cube = station.CubeMap();
    std::vector<std::pair<int, int>> levels;
    for (int level = 0; level <= cube->HighestLevel(); ++level) {
        if (const auto size = cube->LevelSize(level)) {
            levels.emplace_back(level, *size);
        }
    }
    std::printf("levels: %zu\n", levels.size());
    for (const auto& [level, size] : levels) {
        std::printf("  level %d: face size %d\n", level, size);
    }

    const auto& neighbours = station.Neighbors();
    std::printf("neighbours: %zu, nearest first (labels %s, icon radius %d)\n", neighbours.size(),
                YesNo(station.ShowNeighborLabels()), station.StationIconRadius());
    for (const auto& n : neighbours) {
        std::printf("  %s  %s  X %s Y %s Z %s  distance %.3f\n", ToUtf8(n.name).c_str(),
                    ToUtf8(n.url).c_str(), FormatDouble(n.x).c_str(), FormatDouble(n.y).c_str(),
                    FormatDouble(n.z).c_str(), std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z));
    }
    std::string visible;
    for (int index : station.VisibleNeighbors()) {
        visible += (visible.empty() ? ": " : ", ") + ToUtf8(neighbours[index].name);
    }
    std::printf("visible neighbours: %zu%s\n", station.VisibleNeighbors().size(), visible.c_str());
}

void PrintDataset(const SX_PanoramaDataSet& station) {
    std::printf("format: data set (sx:Dataset)\n");
    std::printf("data set version: %s\n", ToUtf8(station.DataSetVersion()).c_str());
    const SX_CubeMap* cube = station.CubeMap();
    std::vector<int> loaded;
    for (int level = 0; level < SX_CubeMap::kMaxLevels; ++level) {
        for (int face = 0; face < 6; ++face) {
            if (cube->HasImage(face, level) || cube->HasPoints(face, level)) {
                loaded.push_back(level);
                break;
            }
        }
    }
    std::printf("levels: %zu\n", loaded.size());
    for (int level : loaded) {
        int images = 0;
        int points = 0;
        int size = 0;
        for (int face = 0; face < 6; ++face) {
            images += cube->HasImage(face, level) ? 1 : 0;
            points += cube->HasPoints(face, level) ? 1 : 0;
            if (const auto image = cube->Image(face, level); image && size == 0) {
                size = image->colour.width;
            }
        }
        std::printf("  level %d: face size %d, %d images, %d point files\n", level, size, images,
                    points);
    }
}

}  // namespace

int RunInfo(int argc, char** argv) {
    std::vector<std::string> files;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::printf(
                "Usage: panora info FILE\n\nPrints what a station description file "
                "(Qvscan:CubeMap or sx:Dataset, a path or a URL) holds.\n");
            return 0;
        }
        if (arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "panora info: unknown option '%s'\n", arg.c_str());
            return 2;
        }
        files.push_back(arg);
    }
    if (files.size() != 1) {
        std::fprintf(stderr, "panora info: give one description file (see 'panora info --help')\n");
        return 2;
    }
    const std::string& file = files[0];
    std::u16string location = platform::FromUtf8(file);
    if (!platform::IsUrl(location)) {
        std::error_code ec;
        const std::filesystem::path path(file);
        if (!std::filesystem::is_regular_file(path, ec)) {
            std::fprintf(stderr, "panora info: file not found: %s\n", file.c_str());
            return 1;
        }
        location = platform::FromUtf8(std::filesystem::absolute(path, ec).string());
    }

    SX_LoadingContext context(location);
    // The format, told by the root element; the reader itself loads any other
    // root as an empty station.
    platform::XmlDocument document;
    const std::u16string localPath = context.Resolve(location);
    if (!localPath.empty() && document.Load(localPath)) {
        const std::u16string root = document.DocumentElement().Name();
        if (root != u"Qvscan:CubeMap" && root != u"sx:Dataset") {
            std::fprintf(stderr,
                         "panora info: %s is not a station description (root element '%s', "
                         "expected Qvscan:CubeMap or sx:Dataset)\n",
                         file.c_str(), ToUtf8(root).c_str());
            return 1;
        }
    }
    const bool dataSetFormat = static_cast<bool>(document.SelectSingleNode(u"sx:Dataset"));
    const auto angular =
        document.SelectSingleNode(u"Qvscan:CubeMap/Qvscan:ViewDefaults/Qvscan:angularUnit");
    const bool viewRadians = angular && angular.Text() == u"radians";

    host::Resources resources;
    SX_PanoramaDataSet station(resources);
    station.Initialise();
    // Every cube of a data set file is read, not only the coarsest.
    station.CubeMap()->SetWantedLevel(0);
    bool versionCheckDone = false;
    if (!station.LoadPhase1(context, location, versionCheckDone)) {
        for (const auto& message : station.Messages()) {
            std::fprintf(stderr, "panora info: %s: %s\n", file.c_str(), ToUtf8(message).c_str());
        }
        return 1;
    }
    std::printf("file: %s\n", file.c_str());
    std::printf("build (Version.ini): %s\n", ReadBuild(context, location).c_str());
    if (dataSetFormat) {
        PrintDataset(station);
    } else {
        PrintMetadata(station, viewRadians);
    }
    return 0;
}
