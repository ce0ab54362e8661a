#pragma once
// Where a generated station stands in the site and how it is turned.
//
// Frames: the site frame is z-up, in the station's internal length unit. The
// scan frame is the frame of the point files; site = Rz(-azimuth) * scan +
// centre, Rz rotating counter-clockwise about +z, so the scan's +y axis points
// along the compass bearing `azimuthDeg` (clockwise from site +y). The view
// frame (the renderer's: y up, front face along -z) relates to the scan frame
// through cubeface::ViewToScan with the station's up direction.

#include <string>

#include "sitegen/SiteMath.h"

namespace sitegen {

struct StationPose {
    std::string name;         // "st1", ...
    Vec3 centre{};            // site coordinates, internal unit
    double azimuthDeg = 0.0;  // written as the coordinate system's azimuth
    int upDirection = 0;

    Vec3 ScanToSite(const Vec3& scan) const;
    Vec3 SiteToScan(const Vec3& site) const;
    // Directions (no translation).
    Vec3 ViewToSiteDirection(const Vec3& view) const;
    Vec3 SiteToViewDirection(const Vec3& site) const;
    // The site direction of the ray through the centre of a face pixel.
    Vec3 PixelRay(int face, int col, int row, int size) const;
    // A site point as the neighbour list of this station gives it: relative
    // to the centre, in this station's view frame.
    Vec3 SiteToNeighborOffset(const Vec3& site) const;
};

}  // namespace sitegen
