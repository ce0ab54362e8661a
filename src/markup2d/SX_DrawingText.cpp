#include "markup2d/SX_DrawingText.h"

#include <cstdio>

#include "markup2d/DrawingHost.h"
#include "markup2d/SX_Defaults.h"
#include "platform/Text.h"

SX_DrawingText::SX_DrawingText(const SX_Defaults& defaults, int displayUnit)
    : SX_DrawingBase(kTextClass, defaults, displayUnit),
      text_(Message({}, kPlaceholderString)),
      fontName_(defaults.fontName),
      fontSize_(defaults.fontSize),
      textBrush_(defaults.textBrushColor),
      shadowBrush_(defaults.textShadowBrushColor) {
    active_ = true;
}

bool SX_DrawingText::SetPosition(double x, double y) {
    x_ = static_cast<float>(x);
    y_ = static_cast<float>(y);
    return true;
}

bool SX_DrawingText::SetText(std::u16string_view text) {
    text_ = std::u16string(text);
    placeholder_ = false;
    return true;
}

bool SX_DrawingText::SetFontSize(double size) {
    fontSize_ = size;
    return true;
}

void SX_DrawingText::StartEditing() {
    text_.clear();
    editing_ = true;
    active_ = true;
    visible_ = true;
}

void SX_DrawingText::TextChanged() {
    placeholder_ = false;
    if (host_ != nullptr) {
        host_->FireUpdateText(text_);
    }
}

bool SX_DrawingText::HitTest(double x, double y) const {
    const double left = MapX(x_), top = MapY(y_);
    return x >= left && x <= left + width_ && y >= top && y <= top + height_;
}

bool SX_DrawingText::HitTestOutline(const platform::Canvas&, double x, double y, bool) {
    return HitTest(x, y);
}

bool SX_DrawingText::OnLeftDown(const SX_MouseStatus& mouse) {
    const double px = mouse.X(), py = mouse.Y();
    lastX_ = px;
    lastY_ = py;
    if (active_ && placeholder_) {
        StartEditing();
        return true;
    }
    if (hot_ && HitTest(px, py)) {
        active_ = true;
        editing_ = false;
        return true;
    }
    return false;
}

bool SX_DrawingText::OnMouseMove(const SX_MouseStatus& mouse) {
    const double px = mouse.X(), py = mouse.Y();
    bool changed = false;
    if (active_ && !editing_) {
        if (placeholder_) {
            x_ = static_cast<float>(UnmapX(px));
            y_ = static_cast<float>(UnmapY(py));
        } else {
            x_ += static_cast<float>(UnmapX(px) - UnmapX(lastX_));
            y_ += static_cast<float>(UnmapY(py) - UnmapY(lastY_));
        }
        changed = true;
    }
    lastX_ = px;
    lastY_ = py;
    return changed;
}

bool SX_DrawingText::OnLeftUp(const SX_MouseStatus& mouse) {
    if (!active_) {
        if (!hot_) {
            return false;
        }
        if (HitTest(mouse.X(), mouse.Y())) {
            active_ = true;
            editing_ = true;
        } else {
            hot_ = false;
        }
    } else if (placeholder_) {
        StartEditing();
    } else {
        active_ = false;
        editing_ = false;
        visible_ = true;
        hot_ = true;
    }
    Normalize();
    return true;
}

bool SX_DrawingText::EndEdit() {
    if (!active_) {
        return true;
    }
    if (placeholder_) {
        StartEditing();
    } else {
        Place();
        editing_ = false;
    }
    return true;
}

bool SX_DrawingText::OnChar(char16_t code) {
    if (!editing_) {
        return false;
    }
    if (code == 22) {
        const std::u16string clip = host_ != nullptr ? host_->ClipboardText() : std::u16string();
        if (clip.empty()) {
            return false;
        }
        text_ += clip;
    } else if (code >= 32) {
        text_ += code;
    } else {
        return false;
    }
    TextChanged();
    return true;
}

bool SX_DrawingText::OnKeyDown(int key) {
    if (!active_ || !editing_) {
        return false;
    }
    switch (key) {
        case 8:
            if (text_.empty()) {
                return false;
            }
            text_.pop_back();
            TextChanged();
            return true;
        case 13:
            text_ += u'\n';
            TextChanged();
            return true;
        case 27:
            active_ = false;
            editing_ = false;
            visible_ = true;
            hot_ = true;
            return true;
        default:
            return false;
    }
}

void SX_DrawingText::NormalizePoints() {
    const double x = MapX(x_), y = MapY(y_);
    x_ = static_cast<float>(x);
    y_ = static_cast<float>(y);
}

void SX_DrawingText::Draw(platform::Canvas& canvas) {
    const double x = MapX(x_), y = MapY(y_);
    std::u16string shown = text_;
    if (active_ && editing_) {
        shown += u'|';
    }
    const platform::TextBox box =
        canvas.MeasureText(shown.empty() ? std::u16string_view(u" ") : shown, fontName_, fontSize_);
    width_ = box.width;
    height_ = box.height;
    canvas.FillRect(x, y, width_, height_, brush_);
    if (active_ || hot_) {
        DrawSelection(canvas, x, y, width_, height_,
                      {{x, y}, {x + width_, y}, {x + width_, y + height_}, {x, y + height_}});
    }
    textBrush_ = pen_.argb;
    caretBrush_ = (pen_.argb & 0xFF00FFFFu) | ((255u - ((pen_.argb >> 16) & 0xFFu)) << 16);
    canvas.DrawText(x + 1, y + 1, text_, fontName_, fontSize_, shadowBrush_);
    canvas.DrawText(x + 2, y + 2, text_, fontName_, fontSize_, shadowBrush_);
    canvas.DrawText(x, y, shown, fontName_, fontSize_, caretBrush_);
    canvas.DrawText(x, y, text_, fontName_, fontSize_, textBrush_);
}

void SX_DrawingText::DrawFaded(platform::Canvas& canvas, double factor) {
    FadeGuard fade(*this, factor);
    Draw(canvas);
}

std::u16string SX_DrawingText::GetTypeName() const {
    return u"Text  (" + text_.substr(0, kTypeNameChars) + u"...)";
}

void SX_DrawingText::ResetProperties(const SX_Defaults& defaults) {
    TakeLook(defaults);
}

void SX_DrawingText::WriteXml(StraleLib::SL_XMLWriter& writer) {
    writer.StartElement(u"sx:TextMark", kSxNamespace);
    writer.AddAttribute(u"FontSize", fontSize_);
    writer.AddAttribute(u"FontName", fontName_);
    WriteCommonXml(writer);
    WriteTextElement(writer, u"sx:Position", PointText(MapX(x_), MapY(y_)));
    WriteTextElement(writer, u"sx:Text", text_);
    writer.EndElement();
    Normalize();
}

bool SX_DrawingText::ReadXml(const platform::XmlNode& element) {
    double x = 0, y = 0;
    if (!ReadPoint(element, u"sx:Position", x, y) && !ReadPoint(element, u"sx:Poisition", x, y)) {
        return false;
    }
    if (const auto size = element.Attribute(u"FontSize")) {
        double v = 0;
        if (platform::ScanInCLocale(platform::ToUtf8(*size).c_str(), "%lf", &v) == 1) {
            fontSize_ = v;
        }
    }
    if (const auto name = element.Attribute(u"FontName")) {
        fontName_ = *name;
    }
    ReadCommonXml(element);
    const platform::XmlNode text = element.SelectSingleNode(u"sx:Text");
    text_ = text ? text.Text() : std::u16string();
    placeholder_ = false;
    editing_ = false;
    x_ = static_cast<float>(x);
    y_ = static_cast<float>(y);
    Place();
    return true;
}
