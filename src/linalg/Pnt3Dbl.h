#pragma once
// A point of three doubles, as the quaternion rotates it.

class Pnt3Dbl {
  public:
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;

    Pnt3Dbl() = default;
    Pnt3Dbl(double x_, double y_, double z_) : x(x_), y(y_), z(z_) {}
    Pnt3Dbl(const Pnt3Dbl&) = default;
    Pnt3Dbl& operator=(const Pnt3Dbl&) = default;
    ~Pnt3Dbl() = default;

    bool operator==(const Pnt3Dbl&) const = default;
};
