#pragma once
// A position mark ("Vertex"): one point of the station, shown as a cross, and
// its site coordinates.
//
// Points: the raw point is given in the scan frame and internal unit; the
// world point is the raw point after the station's registration (rotation,
// then translation), equal to the raw point until SetTransform; the view
// point is the raw point in the renderer's frame (up-direction rule). The
// display coordinates are the world point in the display unit, and the label
// is "X Y Z unit" with each coordinate formatted to the station's accuracy.

#include <array>

#include "measure/SX_Mark.h"

class SX_VertexMark : public SX_Mark {
  public:
    SX_VertexMark(double x, double y, double z, int upDirection, StraleLib::SX_OpenGLCamera* camera,
                  const StationInfo& station, const measure::MeasureDefaults& defaults);

    void Draw() override;
    void Update() override;
    double GetX() const override { return display_[0]; }
    double GetY() const override { return display_[1]; }
    double GetZ() const override { return display_[2]; }
    double GetValue() const override { return 0.0; }
    std::u16string GetTypeName() const override { return u"Vertex"; }
    bool GetDirection(double& altitude, double& azimuth) const override;
    // Stores the registration, recomputes the world point, then Update.
    void SetTransform(const Transform& transform) override;

    const std::array<double, 3>& RawPoint() const { return raw_; }
    const std::array<double, 3>& WorldPoint() const { return worldPoint_; }
    const std::array<double, 3>& ViewPoint() const { return view_; }
    int UpDirection() const { return upDirection_; }

  private:
    std::array<double, 3> raw_;
    std::array<double, 3> worldPoint_;
    std::array<double, 3> view_;
    std::array<double, 3> display_{0.0, 0.0, 0.0};
    int upDirection_ = 0;
};
