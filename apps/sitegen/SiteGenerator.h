#pragma once
// The station generator behind `panora mkstation`: plans a site (where each
// station stands, how it is turned, which files it gets) and writes it.
//
// For each station stN (N from 1) it writes into DIR/stN/: the colour image of
// every face at every level, a 1-bit mask beside the faces where some pixel
// has no point, one point file per face and level, the description file
// stN.xml and "Version.ini". docs/station-files.md describes the output.

#include <array>
#include <string>
#include <vector>

#include "sitegen/SiteOptions.h"
#include "sitegen/SiteScene.h"
#include "sitegen/StationPose.h"

namespace sitegen {

enum class TileKind { Colour, Mask, Points };

// The file name of a tile: "Img_%d_%d.JPG", "Img_%d_%d.PNG", "Pnt_%d_%d.DAT",
// or with "Rgb_"/"Point_" for data set version "1.0"; face, then face size.
std::string TileName(TileKind kind, const std::string& version, int face, int size);

struct LevelFiles {
    int level = 0;                      // 0 is the finest
    int size = 0;                       // face size in pixels
    std::array<std::string, 6> image;   // paths, by face number
    std::array<std::string, 6> mask;    // paths a mask has (or would have)
    std::array<std::string, 6> points;  // paths
    std::array<bool, 6> masked{};       // the mask file was written
    double maxPointError = -1.0;        // written as is; negative: the nominal value
};

struct StationFiles {
    StationPose pose;
    std::string uid;
    std::string dir;
    std::string description;  // DIR/stN/stN.xml
    std::string versionIni;
    std::vector<LevelFiles> levels;  // indexed by level, 0 (finest) first
    bool hasPointData = true;        // false: no point files are listed
};

struct SitePlan {
    SiteOptions options;
    SiteScene scene{{0, 0, 0}, 1.0, 1};
    std::vector<StationFiles> stations;
};

// Where each station stands (room frame, metres) for a site of `count`
// stations: fixed places first, then a grid, the later ones shifted a little
// by the seed. The first station always stands at (4, 3.5, 1.6).
std::vector<Vec3> StationRoomPositions(int count, std::uint32_t seed);

// The site the options describe, without touching the disk.
SitePlan PlanSite(const SiteOptions& options);

// Plans and writes the site. False with a one-line reason in *error when the
// options are inconsistent or a file cannot be written. *plan (when given)
// receives the plan with the masks that were written.
bool GenerateSite(const SiteOptions& options, SitePlan* plan = nullptr,
                  std::string* error = nullptr);

}  // namespace sitegen
