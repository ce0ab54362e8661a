#include "measure/SX_MeasureController.h"

#include "control/SX_Control.h"
#include "control/SX_ControlEvents.h"
#include "host/HostUi.h"
#include "view3d/SX_GraphicWindow.h"

SX_MeasureController::SX_MeasureController(SX_Control& control, SX_GraphicWindow& view)
    : SX_EventController(control, view) {}

bool SX_MeasureController::LeftButtonDown(const SX_MouseStatus& status) {
    pressX_ = lastX_ = status.X();
    pressY_ = lastY_ = status.Y();
    return false;
}

bool SX_MeasureController::MouseMove(const SX_MouseStatus& status, bool) {
    if (Camera() == nullptr) {
        return false;
    }
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    const bool point = view_.PickPoint(status.X(), status.Y(), x, y, z);
    control_.Ui().SetCursor(point ? HostUi::Cursor::kCross : HostUi::Cursor::kHand);
    return false;
}

bool SX_MeasureController::LeftButtonUp(const SX_MouseStatus& status) {
    lastX_ = status.X();
    lastY_ = status.Y();
    if (Camera() == nullptr) {
        return false;
    }
    const bool click = pressX_ - 1 <= lastX_ && lastX_ <= pressX_ + 1 && pressY_ - 1 <= lastY_ &&
                       lastY_ <= pressY_ + 1;
    if (!click) {
        return false;
    }
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    if (view_.PickPoint(lastX_, lastY_, x, y, z)) {
        control_.FireEvent(SX_ControlEvents::kPointPicked,
                           {platform::Variant(x), platform::Variant(y), platform::Variant(z)});
    }
    return true;
}
