#include "linalg/Quaternion.h"

#include <cmath>

Quaternion& Quaternion::SetFromEulerAngles(const Vec3Dbl& halfAngles) {
    const Quaternion qx(std::sin(halfAngles.x), 0.0, 0.0, std::cos(halfAngles.x));
    const Quaternion qy(0.0, std::sin(halfAngles.y), 0.0, std::cos(halfAngles.y));
    const Quaternion qz(0.0, 0.0, std::sin(halfAngles.z), std::cos(halfAngles.z));
    *this = qz * qy * qx;
    return *this;
}

Pnt3Dbl Quaternion::RotatePoint(const Pnt3Dbl& p) const {
    const double n2 = v.Dot(v) + w * w;
    if (!(n2 > 0.0) || !std::isfinite(n2)) {
        return p;
    }
    // q p q* = (w^2 - |v|^2) p + 2 (v.p) v + 2 w (v x p), divided by |q|^2.
    const Vec3Dbl pv(p.x, p.y, p.z);
    const Vec3Dbl r = pv * (w * w - v.Dot(v)) + v * (2.0 * v.Dot(pv)) + v.Cross(pv) * (2.0 * w);
    return {r.x / n2, r.y / n2, r.z / n2};
}

Quaternion Quaternion::operator*(const Quaternion& o) const {
    return {v.Cross(o.v) + o.v * w + v * o.w, w * o.w - v.Dot(o.v)};
}

double Quaternion::Norm() const {
    return std::sqrt(v.Dot(v) + w * w);
}

Quaternion Quaternion::Normalized() const {
    const double n = Norm();
    if (!(n > 0.0) || !std::isfinite(n)) {
        return {};
    }
    return {v * (1.0 / n), w / n};
}
