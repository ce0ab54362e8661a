#include "measure/SX_DistanceMark.h"

#include <GL/gl.h>

#include <cmath>

#include "glcore/SX_OpenGLCamera.h"
#include "glcore/SX_OpenGLText.h"
#include "glcore/SX_OpenGLWorld.h"
#include "host/SX_Format.h"

SX_DistanceMark::SX_DistanceMark(double x1, double y1, double z1, double x2, double y2, double z2,
                                 int upDirection, StraleLib::SX_OpenGLCamera* camera,
                                 const StationInfo& station,
                                 const measure::MeasureDefaults& defaults)
    : SX_Mark(camera, station, defaults),
      first_(ScanToViewFrame(upDirection, x1, y1, z1)),
      second_(ScanToViewFrame(upDirection, x2, y2, z2)),
      upDirection_(upDirection) {
    const std::array<double, 3> mid = Midpoint();
    MutableLabel().SetPosition(mid[0], mid[1], mid[2]);
    Update();
}

std::array<double, 3> SX_DistanceMark::Midpoint() const {
    return {(first_[0] + second_[0]) / 2.0, (first_[1] + second_[1]) / 2.0,
            (first_[2] + second_[2]) / 2.0};
}

void SX_DistanceMark::Update() {
    // Differences along the scan axes, in internal units.
    double d[3] = {first_[0] - second_[0], first_[1] - second_[1], first_[2] - second_[2]};
    if (upDirection_ == 0) {
        // view (x, y, z) is scan (x, -z, y)
        d[1] = second_[2] - first_[2];
        d[2] = first_[1] - second_[1];
    }
    const double k = Factor();
    for (int i = 0; i < 3; ++i) {
        delta_[i] = d[i] * k;
    }
    distance_ = std::sqrt(delta_[0] * delta_[0] + delta_[1] * delta_[1] + delta_[2] * delta_[2]);
    const double internal = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    MutableLabel().SetText(SX_Format(u"%s %s", {FormatInternal(internal), UnitText()}));
}

bool SX_DistanceMark::GetDirection(double& altitude, double& azimuth) const {
    const std::array<double, 3> mid = Midpoint();
    return StraleLib::SX_OpenGLCamera::DirectionAngles(mid[0], mid[1], mid[2], altitude, azimuth);
}

void SX_DistanceMark::Draw() {
    DrawCross(first_);
    DrawCross(second_);
    if (!(distance_ > 0.0)) {
        return;
    }
    DrawLine();
    DrawArrowhead(first_, second_);
    DrawArrowhead(second_, first_);
}

void SX_DistanceMark::DrawLine() const {
    glPushAttrib(GL_ENABLE_BIT | GL_LINE_BIT | GL_COLOR_BUFFER_BIT | GL_CURRENT_BIT);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_LINE_SMOOTH);
    const auto line = [this] {
        glBegin(GL_LINES);
        glVertex3d(first_[0], first_[1], first_[2]);
        glVertex3d(second_[0], second_[1], second_[2]);
        glEnd();
    };
    glLineWidth(IsSelected() ? 5.0f : 3.0f);
    glColor4d(colour_[0] / 3.0, colour_[1] / 3.0, colour_[2] / 3.0, 0.5);
    line();
    glLineWidth(LineWidth());
    glColor4d(colour_[0], colour_[1], colour_[2], 1.0);
    line();
    glPopAttrib();
}

void SX_DistanceMark::DrawArrowhead(const std::array<double, 3>& p,
                                    const std::array<double, 3>& q) const {
    const std::array<double, 3> towards = {p[0] + (q[0] - p[0]) / 5.0, p[1] + (q[1] - p[1]) / 5.0,
                                           p[2] + (q[2] - p[2]) / 5.0};
    double px = 0.0;
    double py = 0.0;
    double tx = 0.0;
    double ty = 0.0;
    if (world_ == nullptr || !ProjectPoint(p, px, py) || !ProjectPoint(towards, tx, ty)) {
        return;
    }
    const double length = std::hypot(tx - px, ty - py);
    if (!(length > 0.0)) {
        return;  // the line runs along the view: no direction on screen
    }
    const double ux = (tx - px) / length;
    const double uy = (ty - py) / length;
    const double cx = px + kArrowLength * ux;
    const double cy = py + kArrowLength * uy;
    const auto triangle = [&](GLenum mode) {
        glBegin(mode);
        glVertex2d(px, py);
        glVertex2d(cx - kArrowHalfBase * uy, cy + kArrowHalfBase * ux);
        glVertex2d(cx + kArrowHalfBase * uy, cy - kArrowHalfBase * ux);
        glEnd();
    };
    world_->BeginOverlay();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_LINE_SMOOTH);
    glColor4d(colour_[0], colour_[1], colour_[2], 1.0);
    triangle(GL_TRIANGLES);
    glLineWidth(LineWidth());
    glColor4d(colour_[0] / 3.0, colour_[1] / 3.0, colour_[2] / 3.0, 1.0);
    triangle(GL_LINE_LOOP);
    glDisable(GL_BLEND);
    world_->EndOverlay();
}
