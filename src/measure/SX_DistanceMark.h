#pragma once
// A distance mark ("Distance"): two points of the station joined by a line
// with an arrowhead at each end, and the distance between them.
//
// The points are given in the scan frame and internal unit and kept in the
// renderer's view frame (up-direction rule). The differences dX, dY, dZ are
// first minus second along the scan axes, in the display unit; the station's
// registration is not applied (a rotation does not change a length). The
// label is "distance unit", anchored at the midpoint. Two coincident points
// have distance 0 and draw only their crosses.

#include <array>

#include "measure/SX_Mark.h"

class SX_DistanceMark : public SX_Mark {
  public:
    // Pixels of an arrowhead: its length along the line and half its base.
    static constexpr double kArrowLength = 12.0;
    static constexpr double kArrowHalfBase = 4.0;

    SX_DistanceMark(double x1, double y1, double z1, double x2, double y2, double z2,
                    int upDirection, StraleLib::SX_OpenGLCamera* camera, const StationInfo& station,
                    const measure::MeasureDefaults& defaults);

    void Draw() override;
    void Update() override;
    double GetX() const override { return delta_[0]; }
    double GetY() const override { return delta_[1]; }
    double GetZ() const override { return delta_[2]; }
    double GetValue() const override { return distance_; }
    std::u16string GetTypeName() const override { return u"Distance"; }
    // The direction of the midpoint.
    bool GetDirection(double& altitude, double& azimuth) const override;

    const std::array<double, 3>& FirstPoint() const { return first_; }
    const std::array<double, 3>& SecondPoint() const { return second_; }
    std::array<double, 3> Midpoint() const;
    int UpDirection() const { return upDirection_; }

  private:
    void DrawLine() const;
    void DrawArrowhead(const std::array<double, 3>& p, const std::array<double, 3>& q) const;

    std::array<double, 3> first_;
    std::array<double, 3> second_;
    std::array<double, 3> delta_{0.0, 0.0, 0.0};
    double distance_ = 0.0;
    int upDirection_ = 0;
};
