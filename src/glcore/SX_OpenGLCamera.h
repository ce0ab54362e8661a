#pragma once
// The camera of a station's view. The eye sits at the origin of the scene
// frame (y up, faces of the cube at +-50) and only turns: azimuth about y
// (0 looks along -z, 90 along +x), altitude above the horizon, and the
// vertical field of view as the zoom. Every writer keeps the invariants:
//   azimuth        wrapped once into [-180, 180] (600 becomes 240);
//   altitude       clamped to [-89.9, 89.9];
//   field of view  clamped to [3, 120].
//
// Draw loads the projection (gluPerspective) and the modelview (altitude
// about -x, then azimuth about y, no translation) and keeps copies of both;
// Project and Unproject use those copies with the current viewport, so they
// answer for the last frame drawn. All OpenGL work needs the view's context
// current on the calling (window) thread.

#include <functional>

#include "glcore/SX_OpenGLDrawable.h"

namespace StraleLib {

class SX_OpenGLCamera : public SX_OpenGLDrawable {
  public:
    static constexpr double kMinAltitude = -89.9;
    static constexpr double kMaxAltitude = 89.9;
    static constexpr double kMinFieldOfView = 3.0;
    static constexpr double kMaxFieldOfView = 120.0;
    static constexpr double kInitialFieldOfView = 80.0;
    static constexpr double kNearPlane = 0.1;
    static constexpr double kFarPlane = 1000.0;

    explicit SX_OpenGLCamera(SX_OpenGLWorld* world = nullptr);

    // Nothing without a world; a world without area keeps the last matrices.
    void Draw() override;

    // A scene point to a window pixel (column, row), rows counted from the
    // bottom, or from the top with flip. False when gluProject fails or the
    // projected depth is 1.0 or more (behind the eye or beyond the far plane);
    // the outputs are then untouched.
    bool Project(double x, double y, double z, bool flip, int& column, int& row) const;
    // A window pixel (row counted from the top) to a point on the ray from the
    // eye through it (window depth 0.5). False, outputs untouched, on failure.
    bool Unproject(int column, int row, double& x, double& y, double& z) const;
    // Width over height of the world; 1 without a world or with no height.
    double Aspect() const;

    double Azimuth() const { return azimuth_; }
    double Altitude() const { return altitude_; }
    double FieldOfView() const { return fieldOfView_; }
    void SetAzimuth(double degrees) { azimuth_ = WrapAzimuth(degrees); }
    void SetAltitude(double degrees) { altitude_ = ClampAltitude(degrees); }
    void SetFieldOfView(double degrees) { fieldOfView_ = ClampFieldOfView(degrees); }
    void AddAzimuth(double degrees) { SetAzimuth(azimuth_ + degrees); }
    void AddAltitude(double degrees) { SetAltitude(altitude_ + degrees); }

    // The unit viewing direction in the scene frame.
    void Direction(double& x, double& y, double& z) const;

    // Column-major copies taken by the last Draw (identity before).
    const double* ModelviewMatrix() const { return modelview_; }
    const double* ProjectionMatrix() const { return projection_; }

    static double WrapAzimuth(double degrees);
    static double ClampAltitude(double degrees);
    static double ClampFieldOfView(double degrees);
    // The altitude and azimuth looking along (x, y, z); false, outputs
    // untouched, for a vector of no length.
    static bool DirectionAngles(double x, double y, double z, double& altitude, double& azimuth);

    // Turns to (altitude, azimuth) the shorter way round, calling
    // frame(last) after each step to render it (last: the frame at the
    // target). Animated, a turn whose larger angle change D exceeds 2 degrees
    // takes N = max(8, trunc(D)) steps eased with 0.5 - 0.5 cos(pi t): N - 1
    // intermediate frames and the final one; otherwise a single frame at the
    // target.
    void Transition(double altitude, double azimuth, bool animate,
                    const std::function<void(bool last)>& frame);

  private:
    double fieldOfView_ = kInitialFieldOfView;
    double nearPlane_ = kNearPlane;
    double farPlane_ = kFarPlane;
    double modelview_[16];
    double projection_[16];
    double azimuth_ = 0.0;
    double altitude_ = 0.0;
};

}  // namespace StraleLib
