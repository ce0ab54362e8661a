#pragma once
// A vector of three doubles. Also the vector part of a Quaternion and, in
// SetFromEulerAngles, the three half-angles about x, y and z.

#include <cmath>

class Vec3Dbl {
  public:
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;

    Vec3Dbl() = default;
    Vec3Dbl(double x_, double y_, double z_) : x(x_), y(y_), z(z_) {}
    Vec3Dbl(const Vec3Dbl&) = default;
    Vec3Dbl& operator=(const Vec3Dbl&) = default;
    ~Vec3Dbl() = default;

    Vec3Dbl operator+(const Vec3Dbl& o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vec3Dbl operator-(const Vec3Dbl& o) const { return {x - o.x, y - o.y, z - o.z}; }
    Vec3Dbl operator*(double s) const { return {x * s, y * s, z * s}; }
    bool operator==(const Vec3Dbl&) const = default;

    double Dot(const Vec3Dbl& o) const { return x * o.x + y * o.y + z * o.z; }
    Vec3Dbl Cross(const Vec3Dbl& o) const {
        return {y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x};
    }
    double Length() const { return std::sqrt(Dot(*this)); }
};
