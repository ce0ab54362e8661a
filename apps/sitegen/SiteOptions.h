#pragma once
// What `panora mkstation` and the tests ask the station generator for, and
// the command-line parser that fills it.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sitegen/LengthUnit.h"
#include "sitegen/SiteMath.h"

namespace sitegen {

enum class DescriptionFormat { Metadata, Dataset };

struct SiteOptions {
    std::string outputDir;
    int stations = 3;
    std::vector<int> sizes = {256, 512, 1024};  // face sizes, any order
    DescriptionFormat format = DescriptionFormat::Metadata;
    std::string version = "2.0";  // "1.0" names tiles Rgb_/Point_, others Img_/Pnt_
    double azimuthDeg = 0.0;      // of the first station; the others are turned further
    std::optional<Vec3> centre;   // of the first station, site and internal unit
    LengthUnit unit = {0, "meters", 1.0};
    int upDirection = 0;
    int quality = 90;  // JPEG quality 1..100
    std::uint32_t seed = 1;
    int threads = 2;  // at most 2 are used
    // Besides the stations, the scene as seen by a scanner at each station:
    // one structured scan per station in one PTX file (empty: none).
    std::string ptxPath;
    int ptxColumns = 400;  // columns (around) and rows (up) of each scan's grid
    int ptxRows = 200;
    bool ptxIntensityOnly = false;  // points without r g b
};

constexpr int kMaxStations = 24;
constexpr int kMaxFaceSize = 8192;
constexpr int kMaxLevels = 20;

// Parses the arguments after "mkstation". False with a one-line reason in
// *error for a mistyped or out-of-range option. `--help` sets *help and
// succeeds without needing a folder.
bool ParseSiteOptions(const std::vector<std::string>& args, SiteOptions& options,
                      std::string* error, bool* help);

// The option list printed by `panora mkstation --help`.
std::string SiteOptionsUsage();

// The options as one canonical text (folder excluded), for unique ids.
std::string CanonicalOptionText(const SiteOptions& options);

}  // namespace sitegen
