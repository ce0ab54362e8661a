#pragma once
// The cube the station's faces are drawn on: edge 100 centred on the eye.
// Per face the four corners with texture coordinates (0,0), (1,0), (0,1),
// (1,1), and the plane selector of tiled drawing (0: constant x, 1: constant
// y, 2: constant z). Face 1 is straight ahead at azimuth 0, face 2 at 90,
// face 3 at 180, face 0 at -90, face 4 overhead and face 5 underfoot.

namespace StraleLib {

struct CubeFaceCorners {
    double tc00[3];
    double tc10[3];
    double tc01[3];
    double tc11[3];
    int plane;
};

inline constexpr CubeFaceCorners kCubeFaces[6] = {
    {{-50, 50, 50}, {-50, 50, -50}, {-50, -50, 50}, {-50, -50, -50}, 0},
    {{-50, 50, -50}, {50, 50, -50}, {-50, -50, -50}, {50, -50, -50}, 2},
    {{50, 50, -50}, {50, 50, 50}, {50, -50, -50}, {50, -50, 50}, 0},
    {{50, 50, 50}, {-50, 50, 50}, {50, -50, 50}, {-50, -50, 50}, 2},
    {{-50, 50, 50}, {50, 50, 50}, {-50, 50, -50}, {50, 50, -50}, 1},
    {{-50, -50, -50}, {50, -50, -50}, {-50, -50, 50}, {50, -50, 50}, 1},
};

// The order faces are drawn in.
inline constexpr int kCubeFaceDrawOrder[6] = {1, 3, 0, 2, 4, 5};

}  // namespace StraleLib
