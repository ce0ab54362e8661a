#include "cubeface/CubeFaceGeometry.h"

#include <cmath>

namespace cubeface {

Vec3 FaceDirection(int face, double u, double v) {
    const double a = 2.0 * u - 1.0;  // -1 .. 1 along the columns
    const double b = 1.0 - 2.0 * v;  // 1 .. -1 down the rows
    switch (face) {
        case 0:  // left: looking along -x, +z to the left
            return {-1.0, b, -a};
        case 1:  // front: looking along -z, +x to the right
            return {a, b, -1.0};
        case 2:  // right: looking along +x, +z to the right
            return {1.0, b, a};
        case 3:  // back: looking along +z, -x to the right
            return {-a, b, 1.0};
        case 4:  // top: looking up from the front, +z at the top of the image
            return {a, 1.0, b};
        case 5:  // bottom: looking down from the front, -z at the top of the image
            return {a, -1.0, -b};
        default:
            return {a, b, -1.0};
    }
}

Vec3 PixelDirection(int face, int col, int row, int size) {
    return FaceDirection(face, (col + 0.5) / size, (row + 0.5) / size);
}

FaceHit FaceOfDirection(double dx, double dy, double dz) {
    const double ax = std::fabs(dx), ay = std::fabs(dy), az = std::fabs(dz);
    FaceHit hit;
    if (ax == 0.0 && ay == 0.0 && az == 0.0) {
        return hit;
    }
    if (az >= ax && az >= ay) {
        const double m = az;
        hit.v = 1.0 - (m + dy) / (2.0 * m);
        if (dz < 0) {
            hit.face = 1;
            hit.u = (m + dx) / (2.0 * m);
        } else {
            hit.face = 3;
            hit.u = 1.0 - (m + dx) / (2.0 * m);
        }
    } else if (ax >= ay) {
        const double m = ax;
        hit.v = 1.0 - (m + dy) / (2.0 * m);
        if (dx > 0) {
            hit.face = 2;
            hit.u = (m + dz) / (2.0 * m);
        } else {
            hit.face = 0;
            hit.u = 1.0 - (m + dz) / (2.0 * m);
        }
    } else {
        const double m = ay;
        hit.u = (m + dx) / (2.0 * m);
        if (dy > 0) {
            hit.face = 4;
            hit.v = 1.0 - (m + dz) / (2.0 * m);
        } else {
            hit.face = 5;
            hit.v = (m + dz) / (2.0 * m);
        }
    }
    return hit;
}

Vec3 ViewToScan(int upDirection, const Vec3& view) {
    if (upDirection != 0) {
        return view;
    }
    return {view[0], -view[2], view[1]};
}

Vec3 ScanToView(int upDirection, const Vec3& scan) {
    if (upDirection != 0) {
        return scan;
    }
    return {scan[0], scan[2], -scan[1]};
}

}  // namespace cubeface
