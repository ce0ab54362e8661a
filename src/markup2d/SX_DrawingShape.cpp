#include "markup2d/SX_DrawingShape.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "markup2d/DrawingHost.h"
#include "markup2d/SX_Defaults.h"

namespace {

constexpr std::array<int, 8> kHandleOrder = {0, 3, 2, 1, 5, 7, 6, 4};

}  // namespace

SX_DrawingShape::SX_DrawingShape(int kind, const SX_Defaults& defaults, int displayUnit)
    : SX_DrawingBase(kShapeClass, defaults, displayUnit), kind_(kind) {}

int SX_DrawingShape::TypeCode() const {
    switch (kind_) {
        case kLine:
            return kLineType;
        case kCircle:
            return kCircleType;
        default:
            return kRectangleType;
    }
}

int SX_DrawingShape::CurrentHandle() const {
    if (handle_ >= 0 && handle_ <= 7) {
        return handle_;
    }
    if (hot_ && hoverHandle_ >= 0 && hoverHandle_ <= 7) {
        return hoverHandle_;
    }
    return kNoHandle;
}

void SX_DrawingShape::SetPoints(float x1, float y1, float x2, float y2) {
    x1_ = x1;
    y1_ = y1;
    x2_ = x2;
    y2_ = y2;
}

bool SX_DrawingShape::SetPosition(double x, double y) {
    x1_ = static_cast<float>(x);
    y1_ = static_cast<float>(y);
    return true;
}

bool SX_DrawingShape::SetSize(double w, double h) {
    x2_ = static_cast<float>(x1_ + w);
    y2_ = static_cast<float>(y1_ + h);
    return true;
}

SX_DrawingShape::Box SX_DrawingShape::MappedBox() const {
    const double ax = MapX(x1_), ay = MapY(y1_), bx = MapX(x2_), by = MapY(y2_);
    return {std::min(ax, bx), std::min(ay, by), std::fabs(bx - ax), std::fabs(by - ay)};
}

std::pair<double, double> SX_DrawingShape::HandlePosition(int handle) const {
    const double ax = MapX(x1_), ay = MapY(y1_), bx = MapX(x2_), by = MapY(y2_);
    const double mx = (ax + bx) / 2, my = (ay + by) / 2;
    switch (handle) {
        case 0:
            return {ax, ay};
        case 1:
            return {bx, ay};
        case 2:
            return {bx, by};
        case 3:
            return {ax, by};
        case 4:
            return {bx, my};
        case 5:
            return {mx, ay};
        case 6:
            return {ax, my};
        default:
            return {mx, by};
    }
}

int SX_DrawingShape::HandleAt(double x, double y) const {
    for (int h : kHandleOrder) {
        if (kind_ == kLine && h != 0 && h != 2) {
            continue;
        }
        const auto [hx, hy] = HandlePosition(h);
        if (std::fabs(x - hx) <= kHandleTolerance && std::fabs(y - hy) <= kHandleTolerance) {
            return h;
        }
    }
    return kNoHandle;
}

bool SX_DrawingShape::HitTest(double x, double y) const {
    const Box b = MappedBox();
    return x >= b.x && x <= b.x + b.w && y >= b.y && y <= b.y + b.h;
}

bool SX_DrawingShape::OutlineContains(const platform::Canvas& canvas, double x, double y) const {
    const Box b = MappedBox();
    const double tol = std::max(pen_.width, 1.0) + kOutlineTolerance;
    bool hit = false;
    switch (kind_) {
        case kLine:
            hit = canvas.HitLine(MapX(x1_), MapY(y1_), MapX(x2_), MapY(y2_), x, y, tol);
            break;
        case kCircle:
            hit = canvas.HitEllipseOutline(b.x, b.y, b.w, b.h, x, y, tol);
            break;
        default:
            hit = canvas.HitRectOutline(b.x, b.y, b.w, b.h, x, y, tol);
            break;
    }
    if (!hit && hot_) {
        hit = canvas.HitRectOutline(b.x, b.y, b.w, b.h, x, y, tol);
    }
    return hit;
}

bool SX_DrawingShape::HitTestOutline(const platform::Canvas& canvas, double x, double y,
                                     bool withInterior) {
    if (!HitTest(x, y)) {
        return false;
    }
    if (withInterior && kind_ != kLine) {
        if (kind_ == kRectangle) {
            return true;
        }
        const Box b = MappedBox();
        const double rx = b.w / 2, ry = b.h / 2;
        if (rx > 0 && ry > 0) {
            const double dx = (x - b.x - rx) / rx, dy = (y - b.y - ry) / ry;
            if (dx * dx + dy * dy <= 1.0) {
                return true;
            }
        }
    }
    const double d = kNeighbourDistance;
    return OutlineContains(canvas, x, y) || OutlineContains(canvas, x - d, y) ||
           OutlineContains(canvas, x + d, y) || OutlineContains(canvas, x, y - d) ||
           OutlineContains(canvas, x, y + d);
}

bool SX_DrawingShape::OnLeftDown(const SX_MouseStatus& mouse) {
    const double px = mouse.X(), py = mouse.Y();
    lastX_ = px;
    lastY_ = py;
    if (!visible_) {
        x1_ = x2_ = static_cast<float>(UnmapX(px));
        y1_ = y2_ = static_cast<float>(UnmapY(py));
        handle_ = 2;
        visible_ = true;
        active_ = true;
        return true;
    }
    const int h = hot_ ? HandleAt(px, py) : kNoHandle;
    if (h != kNoHandle) {
        handle_ = h;
    } else if (HitTest(px, py)) {
        handle_ = kMoveHandle;
    } else {
        return false;
    }
    active_ = true;
    hot_ = false;
    return true;
}

bool SX_DrawingShape::OnMouseMove(const SX_MouseStatus& mouse) {
    const double px = mouse.X(), py = mouse.Y();
    bool changed = false;
    if (active_ && handle_ != kNoHandle) {
        const auto ux = static_cast<float>(UnmapX(px));
        const auto uy = static_cast<float>(UnmapY(py));
        switch (handle_) {
            case 0:
                x1_ = ux;
                y1_ = uy;
                break;
            case 1:
                x2_ = ux;
                y1_ = uy;
                break;
            case 2:
                x2_ = ux;
                y2_ = uy;
                break;
            case 3:
                x1_ = ux;
                y2_ = uy;
                break;
            case 4:
                x2_ = ux;
                break;
            case 5:
                y1_ = uy;
                break;
            case 6:
                x1_ = ux;
                break;
            case 7:
                y2_ = uy;
                break;
            case kMoveHandle: {
                const auto dx = static_cast<float>(ux - UnmapX(lastX_));
                const auto dy = static_cast<float>(uy - UnmapY(lastY_));
                x1_ += dx;
                x2_ += dx;
                y1_ += dy;
                y2_ += dy;
                break;
            }
            default:
                break;
        }
        changed = true;
    } else if (hot_) {
        const int h = HandleAt(px, py);
        changed = h != hoverHandle_;
        hoverHandle_ = h;
    }
    lastX_ = px;
    lastY_ = py;
    return changed;
}

bool SX_DrawingShape::OnLeftUp(const SX_MouseStatus& mouse) {
    if (active_ && handle_ != kNoHandle) {
        handle_ = kNoHandle;
        active_ = false;
        hot_ = true;
        hoverHandle_ = HandleAt(mouse.X(), mouse.Y());
        Normalize();
        return true;
    }
    if (hot_ && HandleAt(mouse.X(), mouse.Y()) == kNoHandle) {
        hot_ = false;
        hoverHandle_ = kNoHandle;
        return true;
    }
    return false;
}

void SX_DrawingShape::NormalizePoints() {
    const double ax = MapX(x1_), ay = MapY(y1_), bx = MapX(x2_), by = MapY(y2_);
    SetPoints(static_cast<float>(ax), static_cast<float>(ay), static_cast<float>(bx),
              static_cast<float>(by));
}

void SX_DrawingShape::Draw(platform::Canvas& canvas) {
    const Box b = MappedBox();
    if (visible_) {
        if (kind_ == kLine) {
            const double ax = MapX(x1_), ay = MapY(y1_), bx = MapX(x2_), by = MapY(y2_);
            canvas.Line(ax, ay, bx, by, pen_);
            // Line caps are sized in pen widths.
            const double size = std::max(kArrowSize, pen_.width) * std::max(pen_.width, 1.0);
            canvas.FilledArrowHead(ax, ay, bx, by, size, size, pen_.argb);
        } else {
            if (kind_ == kCircle) {
                canvas.FillEllipse(b.x, b.y, b.w, b.h, brush_);
                canvas.StrokeEllipse(b.x, b.y, b.w, b.h, pen_);
            } else {
                canvas.FillRect(b.x, b.y, b.w, b.h, brush_);
                canvas.StrokeRect(b.x, b.y, b.w, b.h, pen_);
            }
            if (!active_ && !tooltipShown_ && host_ != nullptr) {
                host_->ShowTooltip(Message({}, kTooltipString), {b.x, b.y, b.w, b.h});
                tooltipShown_ = true;
            }
        }
    }
    if (active_ || hot_) {
        std::vector<std::pair<double, double>> handles;
        for (int h = 0; h < 8; ++h) {
            if (kind_ != kLine || h == 0 || h == 2) {
                handles.push_back(HandlePosition(h));
            }
        }
        DrawSelection(canvas, b.x, b.y, b.w, b.h, handles);
        const int current = CurrentHandle();
        if (current != kNoHandle && (kind_ != kLine || current == 0 || current == 2)) {
            const auto [hx, hy] = HandlePosition(current);
            canvas.StrokeCircle(hx, hy, kCurrentHandleDiameter, selHandlePen_);
        }
    }
}

void SX_DrawingShape::DrawFaded(platform::Canvas& canvas, double factor) {
    FadeGuard fade(*this, factor);
    Draw(canvas);
}

std::u16string SX_DrawingShape::GetTypeName() const {
    switch (kind_) {
        case kLine:
            return u"Line";
        case kCircle:
            return u"Circle";
        default:
            return u"Rectangle";
    }
}

void SX_DrawingShape::ResetProperties(const SX_Defaults& defaults) {
    TakeLook(defaults);
}

void SX_DrawingShape::WriteXml(StraleLib::SL_XMLWriter& writer) {
    writer.StartElement(u"sx:ShapeMark", kSxNamespace);
    writer.AddAttribute(u"Type", kind_ == kLine     ? u"Line"
                                 : kind_ == kCircle ? u"Ellipse"
                                                    : u"Rectangle");
    WriteCommonXml(writer);
    WriteTextElement(writer, u"sx:StartPosition", PointText(MapX(x1_), MapY(y1_)));
    WriteTextElement(writer, u"sx:EndPosition", PointText(MapX(x2_), MapY(y2_)));
    writer.EndElement();
    Normalize();
}

bool SX_DrawingShape::ReadXml(const platform::XmlNode& element) {
    double ax = 0, ay = 0, bx = 0, by = 0;
    if (!(ReadPoint(element, u"sx:StartPosition", ax, ay) &&
          ReadPoint(element, u"sx:EndPosition", bx, by)) &&
        !(ReadPoint(element, u"sx:StartPoisition", ax, ay) &&
          ReadPoint(element, u"sx:EndPoisition", bx, by))) {
        return false;
    }
    if (const auto type = element.Attribute(u"Type")) {
        if (*type == u"Rectangle") {
            kind_ = kRectangle;
        } else if (*type == u"Ellipse") {
            kind_ = kCircle;
        } else if (*type == u"Line") {
            kind_ = kLine;
        }
    }
    ReadCommonXml(element);
    SetPoints(static_cast<float>(ax), static_cast<float>(ay), static_cast<float>(bx),
              static_cast<float>(by));
    Place();
    return true;
}
