#pragma once
// Writes the description file of a generated station, in the cube-map
// metadata format (root Qvscan:CubeMap) or the data set format (root
// sx:Dataset), and its "Version.ini".

#include <string>

#include "sitegen/SiteGenerator.h"

namespace sitegen {

// The point error written for the finest level, in meters; each coarser level
// gets it scaled by the finest face size over its own. The traced points
// themselves are exact, and the point files keep them to within about 0.01 mm.
constexpr double kMaxPointErrorMeters = 0.001;

bool WriteStationDescription(const SitePlan& plan, int station, std::string* error);

// "[Panora Information]" with "Build" = the library's version.
bool WriteVersionIni(const std::string& path, std::string* error);

// A GUID-like text that depends on the station's name and every option.
std::string StationUid(const SiteOptions& options, const std::string& stationName);

// A GUID-like text hashed from any text.
std::string UidFromKey(const std::string& key);

// The shortest text that reads back as the same double.
std::string FormatDouble(double value);

}  // namespace sitegen
