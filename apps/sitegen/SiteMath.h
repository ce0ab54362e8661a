#pragma once
// Small vector helpers shared by the station generator. Vectors are the
// cube-face module's three doubles.

#include <cmath>
#include <cstdint>

#include "cubeface/CubeFaceGeometry.h"

namespace sitegen {

using Vec3 = cubeface::Vec3;

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    bool operator==(const Rgb&) const = default;
};

inline Vec3 Add(const Vec3& a, const Vec3& b) {
    return {a[0] + b[0], a[1] + b[1], a[2] + b[2]};
}
inline Vec3 Sub(const Vec3& a, const Vec3& b) {
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}
inline Vec3 Scale(const Vec3& a, double s) {
    return {a[0] * s, a[1] * s, a[2] * s};
}
inline double Dot(const Vec3& a, const Vec3& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
inline double Length(const Vec3& a) {
    return std::sqrt(Dot(a, a));
}
inline Vec3 Normalised(const Vec3& a) {
    const double n = Length(a);
    return n > 0.0 ? Scale(a, 1.0 / n) : a;
}

// Counter-clockwise rotation about +z by degrees (seen from above). A station
// turns millions of rays by the same angle and its negative, so the cosine
// and sine of the last magnitude are kept per thread.
inline Vec3 RotateZ(const Vec3& a, double degrees) {
    thread_local double lastMagnitude = -1.0, c = 1.0, s = 0.0;
    const double magnitude = std::fabs(degrees);
    if (magnitude != lastMagnitude) {
        const double r = magnitude * 3.14159265358979323846 / 180.0;
        c = std::cos(r);
        s = std::sin(r);
        lastMagnitude = magnitude;
    }
    const double sn = degrees < 0 ? -s : s;
    return {c * a[0] - sn * a[1], sn * a[0] + c * a[1], a[2]};
}

}  // namespace sitegen
