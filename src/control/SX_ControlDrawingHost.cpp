// The control as the owner of the views' drawings: the overlay's client
// size (the control's), picking under an overlay pixel through the 3D view
// (the camera stands where the shown view put it), the station's
// measurement settings, message texts, clipboard, tooltip, cursor and the
// UpdateText event.
#include <cmath>

#include "control/SX_Control.h"
#include "control/SX_ControlEvents.h"
#include "host/HostUi.h"
#include "station/SX_PanoramaDataSet.h"
#include "view3d/SX_GraphicWindow.h"

markup2d::DrawingHost* SX_Control::DrawingOwner() const {
    const markup2d::DrawingHost& owner = *this;
    return const_cast<markup2d::DrawingHost*>(&owner);
}

bool SX_Control::PickPoint(double x, double y, std::array<double, 3>& scanPoint) {
    double X = 0.0;
    double Y = 0.0;
    double Z = 0.0;
    if (!graphicWindow_ || !graphicWindow_->PickPoint(static_cast<int>(std::lround(x)),
                                                      static_cast<int>(std::lround(y)), X, Y, Z)) {
        return false;
    }
    scanPoint = {X, Y, Z};
    return true;
}

double SX_Control::MaxPointError() const {
    return dataSet_->MaxPointError();
}

SX_Mark::Transform SX_Control::RegistrationTransform() const {
    return dataSet_->RegistrationTransform();
}

std::u16string SX_Control::ClipboardText() {
    return ui_.ClipboardText();
}

void SX_Control::ShowTooltip(std::u16string_view text, const platform::TextBox& box) {
    HostUi::Rect rect;
    rect.x = static_cast<int>(box.x);
    rect.y = static_cast<int>(box.y);
    rect.width = static_cast<int>(std::ceil(box.width));
    rect.height = static_cast<int>(std::ceil(box.height));
    ui_.ShowTooltip(std::u16string(text), rect);
}

void SX_Control::HideTooltip() {
    ui_.HideTooltip();
}

void SX_Control::SetCursorHidden(bool hidden) {
    ui_.SetCursor(hidden ? HostUi::Cursor::kHidden : HostUi::Cursor::kCross);
}

void SX_Control::FireUpdateText(std::u16string_view text) {
    FireEvent(SX_ControlEvents::kUpdateText, {platform::Variant(text)});
}
