#include "markup2d/SX_DrawingBase.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "host/Resources.h"
#include "markup2d/DrawingHost.h"
#include "markup2d/SX_Defaults.h"
#include "platform/Text.h"

std::atomic<std::uint32_t> SX_DrawingBase::nextId_{100};

namespace {

// round(v) where only a fraction above one half rounds up.
int RoundHalfDown(double v) {
    const double f = std::floor(v);
    return static_cast<int>(v - f > 0.5 ? f + 1.0 : f);
}

std::uint32_t WithAlpha(std::uint32_t argb, std::uint32_t alpha) {
    return (argb & 0x00FFFFFFu) | ((alpha & 0xFFu) << 24);
}

std::uint32_t AlphaFromTransparency(double transparency) {
    return static_cast<std::uint32_t>(static_cast<int>((1.0 - transparency) * 255.0)) & 0xFFu;
}

double TransparencyOf(std::uint32_t argb) {
    return static_cast<double>(255u - (argb >> 24)) / 255.0;
}

}  // namespace

SX_DrawingBase::SX_DrawingBase(int classCode, const SX_Defaults& defaults, int displayUnit)
    : unit_(displayUnit),
      internalUnit_(defaults.text.internalUnit),
      classCode_(classCode),
      id_(nextId_.fetch_add(1)) {
    TakeLook(defaults);
}

SX_DrawingBase::~SX_DrawingBase() {
    if (tooltipShown_ && host_ != nullptr) {
        host_->HideTooltip();
    }
}

int SX_DrawingBase::TypeCode() const {
    switch (classCode_) {
        case kTextClass:
            return kTextType;
        case kPositionClass:
            return kPositionType;
        case kDistanceClass:
            return kDistanceType;
        default:
            return kRectangleType;
    }
}

std::uint32_t SX_DrawingBase::PeekNextId() {
    return nextId_.load();
}

void SX_DrawingBase::TakeLook(const SX_Defaults& d) {
    pen_ = {d.penColor, d.penWidth, 0};
    brush_ = d.brushColor;
    bboxPen_ = {d.bboxPenColor, d.bboxPenWidth, 0};
    handlePen_ = {d.handlePenColor, d.handlePenWidth, 0};
    selHandlePen_ = {d.penColor, d.selHandlePenWidth, 0};
    handleBrush_ = d.handleBrushColor;
}

void SX_DrawingBase::SetPenColor(std::uint32_t argb) {
    pen_.argb = argb;
    selHandlePen_.argb = argb;
}

bool SX_DrawingBase::SetPenColorText(std::u16string_view text) {
    const auto c = SX_Defaults::ParseHexColor(text);
    if (!c) {
        return false;
    }
    SetPenColor(*c);
    return true;
}

void SX_DrawingBase::SetFillColor(std::uint32_t argb) {
    brush_ = argb;
}

bool SX_DrawingBase::SetFillColorText(std::u16string_view text) {
    const auto c = SX_Defaults::ParseHexColor(text);
    if (!c) {
        return false;
    }
    brush_ = WithAlpha(*c, brush_ >> 24);
    return true;
}

void SX_DrawingBase::SetFillOpacity(double percent) {
    brush_ = WithAlpha(brush_, static_cast<std::uint32_t>(RoundHalfDown(percent / 100.0 * 255.0)));
}

void SX_DrawingBase::SetPenWidth(double width) {
    pen_.width = width;
}

bool SX_DrawingBase::SetPosition(double, double) {
    return false;
}
bool SX_DrawingBase::SetSize(double, double) {
    return false;
}
bool SX_DrawingBase::SetText(std::u16string_view) {
    return false;
}
bool SX_DrawingBase::SetFontSize(double) {
    return false;
}

void SX_DrawingBase::SetUserName(std::u16string_view name) {
    userName_ = std::u16string(name);
}

void SX_DrawingBase::SetTime(std::u16string_view time) {
    time_ = std::u16string(time);
}

std::u16string SX_DrawingBase::GetPenColorText() const {
    return SX_Defaults::HexColor(pen_.argb);
}
std::uint32_t SX_DrawingBase::GetPenColor() const {
    return pen_.argb;
}
std::u16string SX_DrawingBase::GetFillColorText() const {
    return SX_Defaults::HexColor(brush_);
}
std::uint32_t SX_DrawingBase::GetFillColor() const {
    return brush_;
}
std::u16string SX_DrawingBase::GetUserName() const {
    return userName_;
}
std::u16string SX_DrawingBase::GetTime() const {
    return time_;
}
int SX_DrawingBase::GetFillOpacity() const {
    return RoundHalfDown(static_cast<double>(brush_ >> 24) / 255.0 * 100.0);
}
double SX_DrawingBase::GetPenWidth() const {
    return pen_.width;
}
double SX_DrawingBase::GetPositionX() const {
    return -1.0;
}
double SX_DrawingBase::GetPositionY() const {
    return -1.0;
}
double SX_DrawingBase::GetWidth() const {
    return -1.0;
}
double SX_DrawingBase::GetHeight() const {
    return -1.0;
}
double SX_DrawingBase::GetFontSize() const {
    return -1.0;
}
bool SX_DrawingBase::Reserved() {
    return false;
}

void SX_DrawingBase::SetPropertiesAsDefault(SX_Defaults& d) const {
    d.penColor = pen_.argb;
    d.penWidth = static_cast<float>(pen_.width);
    d.brushColor = brush_;
    d.bboxPenColor = bboxPen_.argb;
    d.bboxPenWidth = static_cast<float>(bboxPen_.width);
    d.handlePenColor = handlePen_.argb;
    d.handlePenWidth = static_cast<float>(handlePen_.width);
    d.selHandlePenWidth = static_cast<float>(selHandlePen_.width);
    d.handleBrushColor = handleBrush_;
}

bool SX_DrawingBase::EndEdit() {
    return true;
}
bool SX_DrawingBase::OnChar(char16_t) {
    return false;
}
bool SX_DrawingBase::OnKeyDown(int) {
    return false;
}
int SX_DrawingBase::GetUnit() const {
    return unit_;
}
void SX_DrawingBase::SetUnit(int code) {
    unit_ = code;
}
void SX_DrawingBase::SetInternalUnit(int) {}
void SX_DrawingBase::GetPrompt() {}

bool SX_DrawingBase::SetPen(std::u16string_view colorText, double transparency, double width,
                            int dash) {
    const auto c = SX_Defaults::ParseHexColor(colorText);
    if (!c) {
        return false;
    }
    SetPenColor(WithAlpha(*c, AlphaFromTransparency(transparency)));
    pen_.width = width;
    pen_.dash = dash;
    return true;
}

bool SX_DrawingBase::SetBrush(std::u16string_view colorText, double transparency) {
    const auto c = SX_Defaults::ParseHexColor(colorText);
    if (!c) {
        return false;
    }
    brush_ = WithAlpha(*c, AlphaFromTransparency(transparency));
    return true;
}

void SX_DrawingBase::Place() {
    visible_ = true;
    active_ = false;
    hot_ = false;
}

double SX_DrawingBase::MapX(double x) const {
    if (refWidth_ <= 0 || refHeight_ <= 0 || host_ == nullptr) {
        return x;
    }
    const double w = host_->ClientWidth();
    const double h = host_->ClientHeight();
    return (h / refHeight_) * (x - refWidth_ / 2.0) + w / 2.0;
}

double SX_DrawingBase::MapY(double y) const {
    if (refWidth_ <= 0 || refHeight_ <= 0 || host_ == nullptr) {
        return y;
    }
    return host_->ClientHeight() * y / refHeight_;
}

double SX_DrawingBase::UnmapX(double x) const {
    if (refWidth_ <= 0 || refHeight_ <= 0 || host_ == nullptr || host_->ClientHeight() == 0) {
        return x;
    }
    const double w = host_->ClientWidth();
    const double h = host_->ClientHeight();
    return (x - w / 2.0) * refHeight_ / h + refWidth_ / 2.0;
}

double SX_DrawingBase::UnmapY(double y) const {
    if (refWidth_ <= 0 || refHeight_ <= 0 || host_ == nullptr || host_->ClientHeight() == 0) {
        return y;
    }
    return y * refHeight_ / host_->ClientHeight();
}

void SX_DrawingBase::Normalize() {
    if (host_ == nullptr) {
        return;
    }
    NormalizePoints();
    refWidth_ = static_cast<float>(host_->ClientWidth());
    refHeight_ = static_cast<float>(host_->ClientHeight());
}

void SX_DrawingBase::WriteCommonXml(StraleLib::SL_XMLWriter& writer) const {
    WriteTextElement(writer, u"sx:Created", time_);
    WriteTextElement(writer, u"sx:User", userName_);
    writer.StartElement(u"sx:Pen");
    writer.AddAttribute(u"Color", SX_Defaults::HexColor(pen_.argb));
    writer.AddAttribute(u"Transparency", TransparencyOf(pen_.argb));
    writer.AddAttribute(u"Width", pen_.width);
    writer.AddAttribute(u"Dash", static_cast<double>(pen_.dash));
    writer.EndElement();
    writer.StartElement(u"sx:Brush");
    writer.AddAttribute(u"Color", SX_Defaults::HexColor(brush_));
    writer.AddAttribute(u"Transparency", TransparencyOf(brush_));
    writer.EndElement();
    if (!href_.empty()) {
        WriteTextElement(writer, u"sx:HREF", href_);
    }
}

void SX_DrawingBase::ReadCommonXml(const platform::XmlNode& element) {
    if (auto n = element.SelectSingleNode(u"sx:Created")) {
        time_ = n.Text();
    }
    if (auto n = element.SelectSingleNode(u"sx:User")) {
        userName_ = n.Text();
    }
    if (auto n = element.SelectSingleNode(u"sx:HREF")) {
        href_ = n.Text();
    }
    auto scanFloat = [](const std::optional<std::u16string>& text, float& out) {
        return text && platform::ScanInCLocale(platform::ToUtf8(*text).c_str(), "%f", &out) == 1;
    };
    if (auto pen = element.SelectSingleNode(u"sx:Pen")) {
        const auto color = SX_Defaults::ParseHexColor(pen.Attribute(u"Color").value_or(u""));
        float t = 0.0f;
        const std::uint32_t alpha = scanFloat(pen.Attribute(u"Transparency"), t)
                                        ? AlphaFromTransparency(t)
                                        : pen_.argb >> 24;
        SetPenColor(WithAlpha(color.value_or(pen_.argb), alpha));
        float w = 0.0f;
        if (scanFloat(pen.Attribute(u"Width"), w)) {
            pen_.width = w;
        }
        int dash = 0;
        if (auto d = pen.Attribute(u"Dash");
            d && platform::ScanInCLocale(platform::ToUtf8(*d).c_str(), "%d", &dash) == 1) {
            pen_.dash = dash;
        }
    }
    if (auto brush = element.SelectSingleNode(u"sx:Brush")) {
        const auto color = SX_Defaults::ParseHexColor(brush.Attribute(u"Color").value_or(u""));
        float t = 0.0f;
        const std::uint32_t alpha = scanFloat(brush.Attribute(u"Transparency"), t)
                                        ? AlphaFromTransparency(t)
                                        : brush_ >> 24;
        brush_ = WithAlpha(color.value_or(brush_), alpha);
    }
}

void SX_DrawingBase::DrawSelection(platform::Canvas& canvas, double x, double y, double w, double h,
                                   const std::vector<std::pair<double, double>>& handles) const {
    canvas.StrokeRect(x, y, w, h, bboxPen_);
    for (const auto& [hx, hy] : handles) {
        canvas.FillCircle(hx, hy, kHandleDiameter, handleBrush_);
        canvas.StrokeCircle(hx, hy, kHandleDiameter, handlePen_);
    }
}

std::u16string SX_DrawingBase::Message(std::u16string_view key, int id) const {
    static const host::Resources builtIn;
    const host::Resources& strings = host_ != nullptr ? host_->Strings() : builtIn;
    return key.empty() ? strings.LoadStringWithFallback(id) : strings.Text(key, id);
}

SX_DrawingBase::FadeGuard::FadeGuard(SX_DrawingBase& drawing, double factor)
    : drawing_(drawing), pen_(drawing.pen_.argb), brush_(drawing.brush_) {
    auto scale = [factor](std::uint32_t argb) {
        const double a = static_cast<double>(argb >> 24) * std::clamp(factor, 0.0, 1.0);
        return WithAlpha(argb, static_cast<std::uint32_t>(a));
    };
    drawing_.pen_.argb = scale(pen_);
    drawing_.brush_ = scale(brush_);
}

SX_DrawingBase::FadeGuard::~FadeGuard() {
    drawing_.pen_.argb = pen_;
    drawing_.brush_ = brush_;
}

void SX_DrawingBase::WriteTextElement(StraleLib::SL_XMLWriter& writer, std::u16string_view name,
                                      std::u16string_view text) {
    writer.StartElement(name);
    writer.SetText(text);
    writer.EndElement();
}

std::u16string SX_DrawingBase::PointText(double x, double y) {
    char buf[128];
    platform::FormatInCLocale(buf, sizeof buf, "%5.4f %5.4f", x, y);
    return platform::FromUtf8(buf);
}

bool SX_DrawingBase::ReadPoint(const platform::XmlNode& element, std::u16string_view name,
                               double& x, double& y) {
    const platform::XmlNode node = element.SelectSingleNode(name);
    if (!node) {
        return false;
    }
    return platform::ScanInCLocale(platform::ToUtf8(node.Text()).c_str(), "%lf %lf", &x, &y) == 2;
}
