#pragma once
// A rotation quaternion: the vector part v (x, y, z) followed by the scalar
// w, four doubles in this order. The identity is (0, 0, 0, 1).
//
// Euler angles: SetFromEulerAngles takes HALF-angles. The vector (ax, ay, az)
// gives q = qz * qy * qx with qx = (sin ax, 0, 0, cos ax), qy = (0, sin ay,
// 0, cos ay), qz = (0, 0, sin az, cos az): a right-handed rotation by 2ax
// about +x, then 2ay about +y, then 2az about +z. So (0, 0, t) is the
// rotation by 2t about +z. A station's description hands over minus its
// azimuth in degrees times pi/360, which makes that rotation minus the
// azimuth: a station with azimuth 90 maps scan (1, 0, 0) to (0, -1, 0).
//
// RotatePoint works for any non-zero quaternion (it divides by the squared
// norm); the zero quaternion leaves points unchanged.

#include "linalg/Pnt3Dbl.h"
#include "linalg/Vec3Dbl.h"

class Quaternion {
  public:
    Vec3Dbl v;
    double w = 1.0;

    Quaternion() = default;
    Quaternion(const Vec3Dbl& v_, double w_) : v(v_), w(w_) {}
    Quaternion(double x, double y, double z, double w_) : v(x, y, z), w(w_) {}
    Quaternion(const Quaternion&) = default;
    Quaternion& operator=(const Quaternion&) = default;
    ~Quaternion() = default;

    bool operator==(const Quaternion&) const = default;

    // Sets this quaternion from half-angles about x, y, z (see above).
    Quaternion& SetFromEulerAngles(const Vec3Dbl& halfAngles);

    // The point rotated by this quaternion (q p q^-1).
    Pnt3Dbl RotatePoint(const Pnt3Dbl& p) const;

    // Hamilton product: (a * b) rotates by b first, then by a.
    Quaternion operator*(const Quaternion& o) const;
    Quaternion Conjugate() const { return {Vec3Dbl(-v.x, -v.y, -v.z), w}; }
    double Norm() const;
    // This quaternion scaled to unit length; the identity when it is zero.
    Quaternion Normalized() const;
    Quaternion& Normalize() { return *this = Normalized(); }
};

static_assert(sizeof(Quaternion) == 4 * sizeof(double));
