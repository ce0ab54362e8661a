#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "linalg/Quaternion.h"

namespace {

constexpr double kTol = 1e-12;

void ExpectNear(const Pnt3Dbl& a, const Pnt3Dbl& b, double tol = kTol) {
    EXPECT_NEAR(a.x, b.x, tol);
    EXPECT_NEAR(a.y, b.y, tol);
    EXPECT_NEAR(a.z, b.z, tol);
}

// The rotation a station description with the given azimuth (degrees) sets.
Quaternion StationRotation(double azimuthDegrees) {
    Vec3Dbl angles(0.0, 0.0, -azimuthDegrees * 1.5707963267948966 / 180.0);
    Quaternion q;
    q.SetFromEulerAngles(angles);
    return q;
}

}  // namespace

TEST(Quaternion, EulerAnglesAreHalfAnglesAndAzimuthTurnsClockwise) {
    // Azimuth 90: minus 90 degrees about the up axis.
    ExpectNear(StationRotation(90).RotatePoint({1, 0, 0}), {0, -1, 0});
    ExpectNear(StationRotation(90).RotatePoint({0, 0, 2}), {0, 0, 2});
    ExpectNear(StationRotation(-45).RotatePoint({1, 0, 0}), {std::sqrt(0.5), std::sqrt(0.5), 0});

    // The x and y half-angles: +90 degrees about +x takes y to z; about +y
    // takes z to x. Order: x first, then y, then z.
    const double h = std::numbers::pi / 4;
    Vec3Dbl ax(h, 0, 0), ay(0, h, 0), all(h, h, h);
    ExpectNear(Quaternion().SetFromEulerAngles(ax).RotatePoint({0, 1, 0}), {0, 0, 1});
    ExpectNear(Quaternion().SetFromEulerAngles(ay).RotatePoint({0, 0, 1}), {1, 0, 0});
    // (0,1,0) -x-> (0,0,1) -y-> (1,0,0) -z-> (0,1,0)
    ExpectNear(Quaternion().SetFromEulerAngles(all).RotatePoint({0, 1, 0}), {0, 1, 0});
    ExpectNear(Quaternion().SetFromEulerAngles(all).RotatePoint({1, 0, 0}), {0, 0, -1});
}

TEST(Quaternion, CompositionConjugateAndLength) {
    const Quaternion a = StationRotation(33.0);
    Vec3Dbl tilt(0.2, -0.4, 0.1);
    const Quaternion b = Quaternion().SetFromEulerAngles(tilt);
    const Pnt3Dbl p(0.7, -1.9, 2.4);
    const double len = std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z);

    // (a * b) rotates by b first.
    ExpectNear((a * b).RotatePoint(p), a.RotatePoint(b.RotatePoint(p)));
    ExpectNear(b.Conjugate().RotatePoint(b.RotatePoint(p)), p);
    const Pnt3Dbl r = (a * b).RotatePoint(p);
    EXPECT_NEAR(std::sqrt(r.x * r.x + r.y * r.y + r.z * r.z), len, kTol);

    // A scaled quaternion rotates the same; zero does not crash or move.
    const Quaternion big(b.v * 3.0, b.w * 3.0);
    ExpectNear(big.RotatePoint(p), b.RotatePoint(p));
    EXPECT_NEAR(big.Normalized().Norm(), 1.0, kTol);
    Quaternion zero(0, 0, 0, 0);
    EXPECT_EQ(zero.RotatePoint(p), p);
    EXPECT_EQ(zero.Normalize(), Quaternion());
}
