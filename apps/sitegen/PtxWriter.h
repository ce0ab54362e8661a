#pragma once
// Writes the generated scene as structured scans in the PTX text format: one
// scan per station of a plan, all in one file, each registered by its
// station's pose, so that tests of the publisher have scans whose geometry is
// known exactly.
//
// Each scan's grid has `ptxColumns` columns around the vertical and
// `ptxRows` rows from the nadir to the zenith: point (column c, row r) looks
// along the scanner-frame direction of azimuth 360 (c + 0.5) / columns degrees
// counter-clockwise from +x and elevation -90 + 180 (r + 0.5) / rows degrees.
// Columns follow one another, each from its lowest row up. Rays that see sky
// are written as "0 0 0 ...", the scanner's "no return".

#include <string>

#include "sitegen/SiteGenerator.h"

namespace sitegen {

bool WriteSitePtx(const SitePlan& plan, const std::string& path, std::string* error);

}  // namespace sitegen
