#include "markup2d/SX_MeasureDrw.h"

#include <algorithm>
#include <cmath>

#include "host/Resources.h"
#include "markup2d/DrawingHost.h"
#include "markup2d/SX_Defaults.h"
#include "measure/Units.h"
#include "platform/Text.h"

using measure::Units;

SX_MeasureDrw::SX_MeasureDrw(int classCode, const SX_Defaults& defaults, int displayUnit)
    : SX_DrawingBase(classCode, defaults, displayUnit),
      decimals_(defaults.text.frmtDec),
      unitLabel_(defaults.text.frmtUnit),
      fontName_(defaults.fontName),
      fontSize_(defaults.fontSize),
      textBrush_(defaults.textBrushColor),
      shadowBrush_(defaults.textShadowBrushColor) {
    active_ = true;
}

SX_MeasureDrw::~SX_MeasureDrw() {
    if (cursorHidden_) {
        SetCursorHidden(false);
    }
}

void SX_MeasureDrw::SetLabelPosition(double x, double y) {
    labelX_ = x;
    labelY_ = y;
}

bool SX_MeasureDrw::SetFontSize(double size) {
    fontSize_ = size;
    return true;
}

const host::Resources* SX_MeasureDrw::StringSource() const {
    return host_ != nullptr ? &host_->Strings() : nullptr;
}

void SX_MeasureDrw::SetUnit(int code) {
    unit_ = code;
    unitLabel_ = Units::UnitLabel(code, StringSource());
    UpdateCaption();
}

void SX_MeasureDrw::SetInternalUnit(int code) {
    internalUnit_ = code;
}

void SX_MeasureDrw::SetPropertiesAsDefault(SX_Defaults& d) const {
    SX_DrawingBase::SetPropertiesAsDefault(d);
    d.fontName = fontName_;
    d.fontSize = fontSize_;
    d.textBrushColor = textBrush_;
    d.textShadowBrushColor = shadowBrush_;
    d.text.frmtDec = decimals_;
    d.text.frmtUnit = unitLabel_;
    d.text.internalUnit = internalUnit_;
    d.text.unit = unit_;
}

void SX_MeasureDrw::ResetProperties(const SX_Defaults& d) {
    TakeLook(d);
    fontName_ = d.fontName;
    fontSize_ = d.fontSize;
    textBrush_ = d.textBrushColor;
    shadowBrush_ = d.textShadowBrushColor;
    decimals_ = d.text.frmtDec;
    unitLabel_ = d.text.frmtUnit;
    internalUnit_ = d.text.internalUnit;
    SetUnit(d.text.unit);
}

bool SX_MeasureDrw::HitTest(double x, double y) const {
    const platform::TextBox& b = labelBox_;
    return x >= b.x && x <= b.x + b.width && y >= b.y && y <= b.y + b.height;
}

bool SX_MeasureDrw::HitTestOutline(const platform::Canvas&, double x, double y, bool) {
    return HitTest(x, y);
}

bool SX_MeasureDrw::OnLeftDown(const SX_MouseStatus& mouse) {
    lastX_ = mouse.X();
    lastY_ = mouse.Y();
    if (step_ == 0 && hot_ && HitTest(mouse.X(), mouse.Y())) {
        active_ = true;
        step_ = LabelStep();
        return true;
    }
    return false;
}

void SX_MeasureDrw::Place() {
    SX_DrawingBase::Place();
    step_ = 0;
    UpdateCaption();
}

void SX_MeasureDrw::DrawFaded(platform::Canvas& canvas, double factor) {
    FadeGuard fade(*this, factor);
    Draw(canvas);
}

std::u16string SX_MeasureDrw::FormatValue(double internalValue) const {
    const double maxError = host_ != nullptr ? host_->MaxPointError() : 0.0;
    return Units::FormatLength(internalValue * Units::UnitToMeters(internalUnit_),
                               Units::Resolution(maxError), unit_);
}

bool SX_MeasureDrw::PickAt(double x, double y, std::array<double, 3>& point) const {
    return host_ != nullptr && host_->PickPoint(x, y, point);
}

void SX_MeasureDrw::SetCursorHidden(bool hidden) {
    if (host_ != nullptr && hidden != cursorHidden_) {
        host_->SetCursorHidden(hidden);
        cursorHidden_ = hidden;
    }
}

double SX_MeasureDrw::ArrowSize() const {
    return std::max(kMinArrow, pen_.width);
}

void SX_MeasureDrw::DrawLabel(platform::Canvas& canvas, double x, double y, bool selected) {
    const platform::TextBox m = canvas.MeasureText(caption_, fontName_, fontSize_);
    labelBox_ = {x, y, m.width, m.height};
    canvas.FillRect(x, y, m.width, m.height, brush_);
    if (selected) {
        DrawSelection(canvas, x, y, m.width, m.height,
                      {{x, y}, {x + m.width, y}, {x + m.width, y + m.height}, {x, y + m.height}});
    }
    canvas.DrawText(x + 1, y + 1, caption_, fontName_, fontSize_, shadowBrush_);
    canvas.DrawText(x, y, caption_, fontName_, fontSize_, pen_.argb);
}

void SX_MeasureDrw::DrawLeader(platform::Canvas& canvas, double tx, double ty) {
    const platform::TextBox& b = labelBox_;
    const double sx = std::clamp(tx, b.x, b.x + b.width);
    const double sy = std::clamp(ty, b.y, b.y + b.height);
    platform::CanvasPen half = pen_;
    half.width = pen_.width / 2;
    canvas.Line(sx, sy, tx, ty, half);
    const double size = ArrowSize();
    canvas.FilledArrowHead(tx, ty, sx, sy, size, size, pen_.argb);
}

void SX_MeasureDrw::DrawCross(platform::Canvas& canvas, double x, double y) const {
    canvas.Line(x - kCrossHalf, y, x + kCrossHalf, y, selHandlePen_);
    canvas.Line(x, y - kCrossHalf, x, y + kCrossHalf, selHandlePen_);
}

void SX_MeasureDrw::WriteMeasureAttributes(StraleLib::SL_XMLWriter& writer) const {
    writer.AddAttribute(u"FontSize", fontSize_);
    writer.AddAttribute(u"FontName", fontName_);
    const std::u16string_view name = Units::LongName(unit_);
    if (!name.empty()) {
        writer.AddAttribute(u"Unit", name);
    }
}

void SX_MeasureDrw::ReadMeasureAttributes(const platform::XmlNode& element) {
    if (const auto size = element.Attribute(u"FontSize")) {
        double v = 0;
        if (platform::ScanInCLocale(platform::ToUtf8(*size).c_str(), "%lf", &v) == 1) {
            fontSize_ = v;
        }
    }
    if (const auto name = element.Attribute(u"FontName")) {
        fontName_ = *name;
    }
    if (const auto unit = element.Attribute(u"Unit")) {
        Units::FromLongName(*unit, unit_, unitLabel_, StringSource());
    }
    ReadCommonXml(element);
}

std::u16string SX_MeasureDrw::Point3Text(const std::array<double, 3>& p) {
    char buf[256];
    platform::FormatInCLocale(buf, sizeof buf, "%f %f %f", p[0], p[1], p[2]);
    return platform::FromUtf8(buf);
}

bool SX_MeasureDrw::ReadPoint3(const platform::XmlNode& element, std::u16string_view name,
                               std::array<double, 3>& p) {
    const platform::XmlNode node = element.SelectSingleNode(name);
    return node && platform::ScanInCLocale(platform::ToUtf8(node.Text()).c_str(), "%lf %lf %lf",
                                           &p[0], &p[1], &p[2]) == 3;
}
