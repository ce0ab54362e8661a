#include "markup2d/SX_PositionDrw.h"

#include "linalg/Pnt3Dbl.h"
#include "markup2d/DrawingHost.h"
#include "markup2d/SX_Defaults.h"

SX_PositionDrw::SX_PositionDrw(const SX_Defaults& defaults, int displayUnit)
    : SX_MeasureDrw(kPositionClass, defaults, displayUnit) {}

void SX_PositionDrw::SetTransform(const SX_Mark::Transform& transform) {
    transform_ = transform;
}

void SX_PositionDrw::SetMarkPoint2D(double x, double y) {
    markX_ = x;
    markY_ = y;
}

void SX_PositionDrw::SetLabelPosition(double x, double y) {
    SX_MeasureDrw::SetLabelPosition(x, y);
}

void SX_PositionDrw::SetMarkPoint3D(double x, double y, double z) {
    point3_ = {x, y, z};
    valid_ = true;
}

bool SX_PositionDrw::PickMark() {
    std::array<double, 3> scan{};
    if (!PickAt(MapX(markX_), MapY(markY_), scan)) {
        return false;
    }
    const Pnt3Dbl r = transform_.rotation.RotatePoint(Pnt3Dbl(scan[0], scan[1], scan[2]));
    point3_ = {r.x + transform_.translation[0], r.y + transform_.translation[1],
               r.z + transform_.translation[2]};
    valid_ = true;
    UpdateCaption();
    return true;
}

void SX_PositionDrw::UpdateCaption() {
    if (!valid_) {
        return;
    }
    caption_ = FormatValue(point3_[0]) + u" " + FormatValue(point3_[1]) + u" " +
               FormatValue(point3_[2]) + u" " + unitLabel_;
}

void SX_PositionDrw::GetPrompt() {
    caption_ = Message(u"sx:Resource/sx:PickPoint", kPromptString);
}

std::u16string SX_PositionDrw::GetTypeName() const {
    return u"Position (" + caption_ + u")";
}

bool SX_PositionDrw::OnMouseMove(const SX_MouseStatus& mouse) {
    const double px = mouse.X(), py = mouse.Y();
    bool changed = true;
    if (step_ == 1) {
        markX_ = UnmapX(px);
        markY_ = UnmapY(py);
        SetCursorHidden(true);
    } else if (step_ == 2) {
        labelX_ += UnmapX(px) - UnmapX(lastX_);
        labelY_ += UnmapY(py) - UnmapY(lastY_);
    } else {
        changed = false;
    }
    lastX_ = px;
    lastY_ = py;
    return changed;
}

bool SX_PositionDrw::OnLeftUp(const SX_MouseStatus& mouse) {
    const double px = mouse.X(), py = mouse.Y();
    bool changed = true;
    if (step_ == 1) {
        if (visible_) {
            SetCursorHidden(false);
            step_ = 0;
            active_ = false;
            hot_ = true;
            UpdateCaption();
        } else if (PickMark()) {
            SetCursorHidden(false);
            step_ = 2;
            labelX_ = markX_;
            labelY_ = markY_;
        } else {
            changed = false;
        }
    } else if (step_ == 2) {
        step_ = 0;
        visible_ = true;
        active_ = false;
        hot_ = true;
    } else if (active_) {
        active_ = false;
    } else if (hot_ && !HitTest(px, py)) {
        hot_ = false;
    } else {
        changed = false;
    }
    Normalize();
    return changed;
}

void SX_PositionDrw::NormalizePoints() {
    const double mx = MapX(markX_), my = MapY(markY_), lx = MapX(labelX_), ly = MapY(labelY_);
    markX_ = mx;
    markY_ = my;
    labelX_ = lx;
    labelY_ = ly;
}

void SX_PositionDrw::Draw(platform::Canvas& canvas) {
    const double mx = MapX(markX_), my = MapY(markY_);
    if (step_ == 1) {
        const platform::TextBox m = canvas.MeasureText(caption_, fontName_, fontSize_);
        DrawLabel(canvas, mx + kPickBoxLeft, my + kPickBoxBottom - m.height, false);
    } else {
        DrawLabel(canvas, MapX(labelX_), MapY(labelY_), hot_ || active_ || step_ == 2);
    }
    DrawCross(canvas, mx, my);
    DrawLeader(canvas, mx, my);
}

void SX_PositionDrw::WriteXml(StraleLib::SL_XMLWriter& writer) {
    writer.StartElement(u"sx:PositionMark", kSxNamespace);
    WriteMeasureAttributes(writer);
    WriteCommonXml(writer);
    WriteTextElement(writer, u"sx:LabelPosition", PointText(MapX(labelX_), MapY(labelY_)));
    WriteTextElement(writer, u"sx:MarkPosition2D", PointText(MapX(markX_), MapY(markY_)));
    WriteTextElement(writer, u"sx:MarkPosition3D", Point3Text(point3_));
    writer.EndElement();
    Normalize();
}

bool SX_PositionDrw::ReadXml(const platform::XmlNode& element) {
    double mx = 0, my = 0;
    std::array<double, 3> p{};
    if (!ReadPoint(element, u"sx:MarkPosition2D", mx, my) ||
        !ReadPoint3(element, u"sx:MarkPosition3D", p)) {
        return false;
    }
    double lx = mx, ly = my;
    ReadPoint(element, u"sx:LabelPosition", lx, ly);
    ReadMeasureAttributes(element);
    markX_ = mx;
    markY_ = my;
    labelX_ = lx;
    labelY_ = ly;
    point3_ = p;
    valid_ = true;
    Place();
    UpdateCaption();
    return true;
}
