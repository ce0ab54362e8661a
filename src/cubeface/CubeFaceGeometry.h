#pragma once
// Geometry shared by the point files, the station generator and picking:
// which direction a face pixel looks along, and how the renderer's frame (the
// "view frame": y up, the eye at the origin looking along -z at azimuth 0,
// cube faces at +-1 here) relates to a station's scan frame.
//
// Faces: 0 left (-x), 1 front (-z), 2 right (+x), 3 back (+z), 4 top (+y),
// 5 bottom (-y). u runs along a face image's columns, v along its rows (top
// row v = 0); both are 0..1 across the face. FaceOfDirection picks the face of
// the largest absolute component, z before x before y on ties.

#include <array>

namespace cubeface {

using Vec3 = std::array<double, 3>;

// Direction (not normalised; its dominant component is +-1) through (u, v)
// of a face.
Vec3 FaceDirection(int face, double u, double v);

// Direction through the centre of pixel (col, row) of a face of size x size
// pixels.
Vec3 PixelDirection(int face, int col, int row, int size);

struct FaceHit {
    int face = 1;
    double u = 0.5;
    double v = 0.5;
};

// The face a direction meets and where on it. A zero direction gives the
// centre of the front face.
FaceHit FaceOfDirection(double dx, double dy, double dz);

// Up direction 0: the scan frame is z-up, and a view-frame point (a, b, c)
// is the scan point (a, -c, b). Any other up direction: the frames coincide.
Vec3 ViewToScan(int upDirection, const Vec3& view);
Vec3 ScanToView(int upDirection, const Vec3& scan);

}  // namespace cubeface
