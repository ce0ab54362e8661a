#include "markup2d/SX_DistanceDrw.h"

#include <cmath>

#include "markup2d/DrawingHost.h"
#include "markup2d/SX_Defaults.h"

SX_DistanceDrw::SX_DistanceDrw(const SX_Defaults& defaults, int displayUnit)
    : SX_MeasureDrw(kDistanceClass, defaults, displayUnit) {}

double SX_DistanceDrw::Distance() const {
    const double dx = second3_[0] - first3_[0];
    const double dy = second3_[1] - first3_[1];
    const double dz = second3_[2] - first3_[2];
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

void SX_DistanceDrw::SetFirstPoint2D(double x, double y) {
    x1_ = x;
    y1_ = y;
}

void SX_DistanceDrw::SetSecondPoint2D(double x, double y) {
    x2_ = x;
    y2_ = y;
}

void SX_DistanceDrw::SetLabelPosition(double x, double y) {
    SX_MeasureDrw::SetLabelPosition(x, y);
}

void SX_DistanceDrw::SetFirstPoint3D(double x, double y, double z) {
    first3_ = {x, y, z};
    valid_ = true;
}

void SX_DistanceDrw::SetSecondPoint3D(double x, double y, double z) {
    second3_ = {x, y, z};
}

bool SX_DistanceDrw::PickBoth() {
    std::array<double, 3> a{}, b{};
    if (!PickAt(MapX(x1_), MapY(y1_), a) || !PickAt(MapX(x2_), MapY(y2_), b)) {
        return false;
    }
    first3_ = a;
    second3_ = b;
    valid_ = true;
    return true;
}

void SX_DistanceDrw::UpdateCaption() {
    if (!valid_ || step_ == 1 || step_ == 2) {
        return;
    }
    caption_ = FormatValue(Distance()) + u" " + unitLabel_;
}

void SX_DistanceDrw::GetPrompt() {
    caption_ = Message(u"sx:Resource/sx:PickFirstPnt", kFirstPromptString);
}

std::u16string SX_DistanceDrw::GetTypeName() const {
    return u"Distance (" + caption_.substr(0, kTypeNameChars) + u")";
}

void SX_DistanceDrw::EndEditAtOnce() {
    SetCursorHidden(false);
    step_ = 0;
    active_ = false;
    hot_ = true;
    UpdateCaption();
}

bool SX_DistanceDrw::OnMouseMove(const SX_MouseStatus& mouse) {
    const double px = mouse.X(), py = mouse.Y();
    bool changed = true;
    switch (step_) {
        case 1:
            x1_ = x2_ = UnmapX(px);
            y1_ = y2_ = UnmapY(py);
            SetCursorHidden(true);
            break;
        case 2:
            x2_ = UnmapX(px);
            y2_ = UnmapY(py);
            SetCursorHidden(true);
            break;
        case 3:
            labelX_ += UnmapX(px) - UnmapX(lastX_);
            labelY_ += UnmapY(py) - UnmapY(lastY_);
            break;
        default:
            changed = false;
            break;
    }
    lastX_ = px;
    lastY_ = py;
    return changed;
}

bool SX_DistanceDrw::OnLeftUp(const SX_MouseStatus& mouse) {
    const double px = mouse.X(), py = mouse.Y();
    bool changed = true;
    std::array<double, 3> p{};
    switch (step_) {
        case 1:
            if (visible_) {
                EndEditAtOnce();
            } else if (PickAt(px, py, p)) {
                first3_ = p;
                valid_ = true;
                step_ = 2;
                caption_ = Message({}, kSecondPromptString);
            } else {
                changed = false;
            }
            break;
        case 2:
            if (visible_) {
                EndEditAtOnce();
            } else if (PickAt(px, py, p) && p[0] != first3_[0] && p[1] != first3_[1] &&
                       p[2] != first3_[2]) {
                second3_ = p;
                step_ = 3;
                SetCursorHidden(false);
                labelX_ = UnmapX(px);
                labelY_ = UnmapY(py);
                UpdateCaption();
            } else {
                changed = false;
            }
            break;
        case 3:
            step_ = 0;
            visible_ = true;
            active_ = false;
            hot_ = true;
            break;
        default:
            if (active_) {
                active_ = false;
            } else if (hot_ && !HitTest(px, py)) {
                hot_ = false;
            } else {
                changed = false;
            }
            break;
    }
    Normalize();
    return changed;
}

void SX_DistanceDrw::NormalizePoints() {
    const double ax = MapX(x1_), ay = MapY(y1_), bx = MapX(x2_), by = MapY(y2_);
    const double lx = MapX(labelX_), ly = MapY(labelY_);
    x1_ = ax;
    y1_ = ay;
    x2_ = bx;
    y2_ = by;
    labelX_ = lx;
    labelY_ = ly;
}

void SX_DistanceDrw::Draw(platform::Canvas& canvas) {
    const double ax = MapX(x1_), ay = MapY(y1_), bx = MapX(x2_), by = MapY(y2_);
    const bool picking = step_ == 1 || step_ == 2;
    const double cx = step_ == 1 ? ax : bx, cy = step_ == 1 ? ay : by;
    if (picking) {
        DrawLabel(canvas, cx + kPickBoxOffsetX, cy + kPickBoxOffsetY, false);
    } else {
        DrawLabel(canvas, MapX(labelX_), MapY(labelY_), hot_ || active_ || step_ == 3);
    }
    DrawCross(canvas, ax, ay);
    if (step_ != 1) {
        DrawCross(canvas, bx, by);
        canvas.Line(ax, ay, bx, by, pen_);
        const double size = ArrowSize();
        canvas.FilledArrowHead(ax, ay, bx, by, size, size, pen_.argb);
        canvas.FilledArrowHead(bx, by, ax, ay, size, size, pen_.argb);
    }
    if (picking) {
        DrawLeader(canvas, cx, cy);
    } else {
        DrawLeader(canvas, (ax + bx) / 2, (ay + by) / 2);
    }
}

void SX_DistanceDrw::WriteXml(StraleLib::SL_XMLWriter& writer) {
    writer.StartElement(u"sx:DistanceMark", kSxNamespace);
    WriteMeasureAttributes(writer);
    WriteCommonXml(writer);
    WriteTextElement(writer, u"sx:LabelPosition", PointText(MapX(labelX_), MapY(labelY_)));
    WriteTextElement(writer, u"sx:FirstPosition2D", PointText(MapX(x1_), MapY(y1_)));
    WriteTextElement(writer, u"sx:SecondPosition2D", PointText(MapX(x2_), MapY(y2_)));
    WriteTextElement(writer, u"sx:FirstPosition3D", Point3Text(first3_));
    WriteTextElement(writer, u"sx:SecondPosition3D", Point3Text(second3_));
    writer.EndElement();
    Normalize();
}

bool SX_DistanceDrw::ReadXml(const platform::XmlNode& element) {
    double ax = 0, ay = 0, bx = 0, by = 0;
    std::array<double, 3> a{}, b{};
    if (!ReadPoint(element, u"sx:FirstPosition2D", ax, ay) ||
        !ReadPoint(element, u"sx:SecondPosition2D", bx, by) ||
        !ReadPoint3(element, u"sx:FirstPosition3D", a) ||
        !ReadPoint3(element, u"sx:SecondPosition3D", b)) {
        return false;
    }
    double lx = ax, ly = ay;
    ReadPoint(element, u"sx:LabelPosition", lx, ly);
    ReadMeasureAttributes(element);
    x1_ = ax;
    y1_ = ay;
    x2_ = bx;
    y2_ = by;
    labelX_ = lx;
    labelY_ = ly;
    first3_ = a;
    second3_ = b;
    valid_ = true;
    Place();
    UpdateCaption();
    return true;
}
