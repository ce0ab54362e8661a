#include "measure/SX_Mark.h"

#include <GL/gl.h>

#include <atomic>
#include <cstdio>

#include "glcore/SX_OpenGLCamera.h"
#include "glcore/SX_OpenGLText.h"
#include "glcore/SX_OpenGLWorld.h"
#include "measure/Units.h"
#include "platform/Text.h"

namespace {

std::atomic<std::uint32_t> nextMarkId{100};

double Clamp01(double v) {
    return v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v);
}

}  // namespace

std::array<double, 3> ScanToViewFrame(int upDirection, double x, double y, double z) {
    if (upDirection != 0) {
        return {x, y, z};
    }
    return {x, z, -y};
}

SX_Mark::SX_Mark(StraleLib::SX_OpenGLCamera* camera, const StationInfo& station,
                 const measure::MeasureDefaults& defaults)
    : SX_OpenGLDrawable(camera != nullptr ? camera->World() : nullptr),
      station_(station),
      id_(nextMarkId.fetch_add(1)),
      unitText_(defaults.unitText),
      unit_(defaults.unit),
      internalUnit_(defaults.internalUnit),
      camera_(camera),
      label_(std::make_unique<StraleLib::SX_OpenGLText>(world_)) {
    char name[32];
    std::snprintf(name, sizeof name, "Mark3D#%03u", static_cast<unsigned>(id_));
    name_ = platform::FromUtf8(name);
}

SX_Mark::~SX_Mark() = default;

std::uint32_t SX_Mark::PeekNextId() {
    return nextMarkId.load();
}

std::u16string SX_Mark::GetLabelText() const {
    return label_->Text();
}

void SX_Mark::SetTransform(const Transform&) {}

bool SX_Mark::SetName(const std::u16string& name) {
    if (name.empty() || name.size() > kMaxNameLength) {
        return false;
    }
    name_ = name;
    return true;
}

void SX_Mark::GetColor(double& r, double& g, double& b) const {
    r = colour_[0];
    g = colour_[1];
    b = colour_[2];
}

void SX_Mark::SetColor(double r, double g, double b) {
    colour_[0] = Clamp01(r);
    colour_[1] = Clamp01(g);
    colour_[2] = Clamp01(b);
}

std::u16string SX_Mark::ColorText() const {
    char text[16];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", static_cast<int>(colour_[0] * 255) & 0xff,
                  static_cast<int>(colour_[1] * 255) & 0xff,
                  static_cast<int>(colour_[2] * 255) & 0xff);
    return platform::FromUtf8(text);
}

bool SX_Mark::SetColorText(const std::u16string& text) {
    unsigned r = 0;
    unsigned g = 0;
    unsigned b = 0;
    if (std::sscanf(platform::ToUtf8(text).c_str(), "#%02x%02x%02x ", &r, &g, &b) != 3) {
        return false;
    }
    SetColor(r / 255.0, g / 255.0, b / 255.0);
    return true;
}

void SX_Mark::SetUnit(int unit) {
    unit_ = unit;
    measure::Units::UnitLabel(unit, unitText_, station_.resources);
    Update();
}

void SX_Mark::SetInternalUnit(int unit) {
    internalUnit_ = unit;
    Update();
}

void SX_Mark::SetSelected(bool selected) {
    selected_ = selected;
    lineWidth_ = selected ? kSelectedLineWidth : kNormalLineWidth;
}

double SX_Mark::Factor() const {
    return measure::Units::UnitToMeters(internalUnit_) * measure::Units::MetersToUnit(unit_);
}

double SX_Mark::Resolution() const {
    return measure::Units::Resolution(station_.maxPointError);
}

std::u16string SX_Mark::FormatInternal(double internalLength) const {
    return measure::Units::FormatLength(
        internalLength * measure::Units::UnitToMeters(internalUnit_), Resolution(), unit_);
}

bool SX_Mark::ProjectPoint(const std::array<double, 3>& p, double& x, double& y) const {
    int column = 0;
    int row = 0;
    if (camera_ == nullptr || !camera_->Project(p[0], p[1], p[2], false, column, row)) {
        return false;
    }
    x = column;
    y = row;
    return true;
}

void SX_Mark::DrawCross(const std::array<double, 3>& p) const {
    double x = 0.0;
    double y = 0.0;
    if (world_ == nullptr || !ProjectPoint(p, x, y)) {
        return;
    }
    world_->BeginOverlay();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_LINE_SMOOTH);
    glLineWidth(lineWidth_);
    const auto cross = [x, y](double a) {
        glBegin(GL_LINES);
        glVertex2d(x - a, y - a);
        glVertex2d(x + a, y + a);
        glVertex2d(x + a, y - a);
        glVertex2d(x - a, y + a);
        glEnd();
    };
    glColor4d(colour_[0] / 3.0, colour_[1] / 3.0, colour_[2] / 3.0, 0.5);
    cross(selected_ ? 10.0 : 6.0);
    glColor4d(colour_[0], colour_[1], colour_[2], 1.0);
    cross(selected_ ? 8.0 : 4.0);
    glDisable(GL_BLEND);
    world_->EndOverlay();
}
