#pragma once
// Writes the tiles of one station: every face of every level, from a scan
// read point by point or from a photo, the levels from the finest down.

#include <functional>
#include <string>
#include <vector>

#include "publish/CubeSampler.h"
#include "publish/PtxReader.h"
#include "sitegen/SiteGenerator.h"

namespace publish {

// Where a scan stands in the site, from its registration matrix.
struct ScanPose {
    Vec3 centre{};
    double azimuthDeg = 0.0;  // 0 .. 360, the station's azimuth
    double tiltDeg = 0.0;     // angle of the scanner's z axis from the vertical
    // Scanner frame -> the station's levelled scan frame (z up), whose turn
    // about the vertical is the azimuth: site = Rz(-azimuth) level + centre.
    double level[3][3] = {};
};

ScanPose PoseFromMatrix(const std::array<std::array<double, 4>, 4>& m);

// The face sizes of the levels, the finest first: the given ones, or from
// the finest that matches an angular step (a face pixel at the face's centre
// 1.5 steps wide, at its corners 0.7) halving down to 256.
std::vector<int> LevelSizes(const std::vector<int>& given, double stepRadians);

struct LevelJob {
    std::string dir;  // the station's folder
    int quality = 90;
    int threads = 1;
    bool withPoints = true;
};

// Encodes the six faces of a level on `threads` threads and writes them into
// the folder: colour images, masks where a pixel has no point, point files.
// Fills lf (size, paths, masks, maxPointError). False with a reason.
bool WriteLevel(const SampledCube& cube, const LevelJob& job, sitegen::LevelFiles& lf,
                std::string* error);

// Called now and then while a scan is read: the reader (for its position)
// and the number of points read.
using ScanProgress = std::function<void(const PtxReader&, long long)>;

// Reads the points of the scan whose header was just read, resamples them,
// and writes all levels into job.dir. False with "NAME:LINE: message".
bool WriteScanStation(PtxReader& reader, const PtxScanHeader& header, const ScanPose& pose,
                      const std::vector<int>& sizes, const LevelJob& job,
                      sitegen::StationFiles& station, const ScanProgress& progress,
                      std::string* error);

// Resamples a photo and writes all levels into job.dir.
bool WritePhotoStation(const platform::RgbImage& photo, const std::vector<int>& sizes,
                       const LevelJob& job, sitegen::StationFiles& station, std::string* error);

}  // namespace publish
