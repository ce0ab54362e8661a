#include "sitegen/StationPose.h"

namespace sitegen {

Vec3 StationPose::ScanToSite(const Vec3& scan) const {
    return Add(RotateZ(scan, -azimuthDeg), centre);
}

Vec3 StationPose::SiteToScan(const Vec3& site) const {
    return RotateZ(Sub(site, centre), azimuthDeg);
}

Vec3 StationPose::ViewToSiteDirection(const Vec3& view) const {
    return RotateZ(cubeface::ViewToScan(upDirection, view), -azimuthDeg);
}

Vec3 StationPose::SiteToViewDirection(const Vec3& site) const {
    return cubeface::ScanToView(upDirection, RotateZ(site, azimuthDeg));
}

Vec3 StationPose::PixelRay(int face, int col, int row, int size) const {
    return ViewToSiteDirection(cubeface::PixelDirection(face, col, row, size));
}

Vec3 StationPose::SiteToNeighborOffset(const Vec3& site) const {
    return SiteToViewDirection(Sub(site, centre));
}

}  // namespace sitegen
