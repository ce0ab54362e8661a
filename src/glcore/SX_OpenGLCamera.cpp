#include "glcore/SX_OpenGLCamera.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>

#include "glcore/SX_OpenGLWorld.h"

namespace StraleLib {

namespace {

constexpr double kDegrees = 180.0 / std::numbers::pi;

void LoadIdentity(double (&m)[16]) {
    std::fill(std::begin(m), std::end(m), 0.0);
    m[0] = m[5] = m[10] = m[15] = 1.0;
}

// Truncated towards zero, held inside the int range (a point far off to the
// side projects to a huge window coordinate).
int ToPixel(double value) {
    return static_cast<int>(
        std::clamp(std::trunc(value), static_cast<double>(INT_MIN), static_cast<double>(INT_MAX)));
}

}  // namespace

SX_OpenGLCamera::SX_OpenGLCamera(SX_OpenGLWorld* world) : SX_OpenGLDrawable(world) {
    LoadIdentity(modelview_);
    LoadIdentity(projection_);
}

double SX_OpenGLCamera::WrapAzimuth(double degrees) {
    // Once each way, never repeated: 600 becomes 240.
    if (degrees > 180.0) {
        degrees -= 360.0;
    }
    if (degrees < -180.0) {
        degrees += 360.0;
    }
    return degrees;
}

double SX_OpenGLCamera::ClampAltitude(double degrees) {
    return std::clamp(degrees, kMinAltitude, kMaxAltitude);
}

double SX_OpenGLCamera::ClampFieldOfView(double degrees) {
    return std::clamp(degrees, kMinFieldOfView, kMaxFieldOfView);
}

double SX_OpenGLCamera::Aspect() const {
    if (world_ == nullptr || world_->Height() == 0) {
        return 1.0;
    }
    return static_cast<double>(world_->Width()) / static_cast<double>(world_->Height());
}

void SX_OpenGLCamera::Draw() {
    if (world_ == nullptr || world_->Width() <= 0 || world_->Height() <= 0) {
        return;
    }
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fieldOfView_, Aspect(), nearPlane_, farPlane_);
    glGetDoublev(GL_PROJECTION_MATRIX, projection_);

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotated(altitude_, -1.0, 0.0, 0.0);
    glRotated(azimuth_, 0.0, 1.0, 0.0);
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview_);
}

bool SX_OpenGLCamera::Project(double x, double y, double z, bool flip, int& column,
                              int& row) const {
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    GLdouble wx = 0.0, wy = 0.0, wz = 0.0;
    if (gluProject(x, y, z, modelview_, projection_, viewport, &wx, &wy, &wz) != GL_TRUE) {
        return false;
    }
    if (flip) {
        wy = viewport[3] - wy - 1.0;
    }
    if (!(wz < 1.0)) {
        return false;
    }
    column = ToPixel(wx);
    row = ToPixel(wy);
    return true;
}

bool SX_OpenGLCamera::Unproject(int column, int row, double& x, double& y, double& z) const {
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    const double windowRow = static_cast<double>(viewport[3]) - row - 1.0;
    GLdouble ox = 0.0, oy = 0.0, oz = 0.0;
    if (gluUnProject(column, windowRow, 0.5, modelview_, projection_, viewport, &ox, &oy, &oz) !=
        GL_TRUE) {
        return false;
    }
    x = ox;
    y = oy;
    z = oz;
    return true;
}

void SX_OpenGLCamera::Direction(double& x, double& y, double& z) const {
    const double a = altitude_ / kDegrees;
    const double h = azimuth_ / kDegrees;
    x = std::cos(a) * std::sin(h);
    y = std::sin(a);
    z = -std::cos(a) * std::cos(h);
}

bool SX_OpenGLCamera::DirectionAngles(double x, double y, double z, double& altitude,
                                      double& azimuth) {
    const double r = std::sqrt(x * x + y * y + z * z);
    if (!(r > 0.0)) {
        return false;
    }
    altitude = std::asin(std::clamp(y / r, -1.0, 1.0)) * kDegrees;
    azimuth = std::atan2(z / r, x / r) * kDegrees + 90.0;
    return true;
}

void SX_OpenGLCamera::Transition(double altitude, double azimuth, bool animate,
                                 const std::function<void(bool last)>& frame) {
    if (animate) {
        const double a0 = altitude_;
        const double z0 = azimuth_;
        const double d = z0 - azimuth;
        if (d > 180.0) {
            azimuth += 360.0;
        } else if (d < -180.0) {
            azimuth -= 360.0;
        }
        const double largest = std::max(std::fabs(a0 - altitude), std::fabs(z0 - azimuth));
        if (largest > 2.0) {
            const double step = 1.0 / std::max(8.0, std::trunc(largest));
            for (double t = step; t <= 0.999999999999999; t += step) {
                const double w = t < 1e-15 ? 0.0 : 0.5 - 0.5 * std::cos(std::numbers::pi * t);
                if (w >= 1.0) {
                    break;
                }
                SetAltitude((1.0 - w) * a0 + w * altitude);
                SetAzimuth((1.0 - w) * z0 + w * azimuth);
                if (frame) {
                    frame(false);
                }
            }
        }
    }
    SetAltitude(altitude);
    SetAzimuth(azimuth);
    if (frame) {
        frame(true);
    }
}

}  // namespace StraleLib
