#include "measure/SX_MeasureController.h"

#include "host/HostUi.h"
#include "host/SX_EventIds.h"

SX_MeasureController::SX_MeasureController(measure::ControllerHost& host)
    : SX_EventController(host) {}

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
    const bool point = host_.PickPoint(status.X(), status.Y(), x, y, z);
    host_.Ui().SetCursor(point ? HostUi::Cursor::kCross : HostUi::Cursor::kHand);
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
    if (host_.PickPoint(lastX_, lastY_, x, y, z)) {
        host_.FireEvent(SX_ControlEvents::kPointPicked,
                        {platform::Variant(x), platform::Variant(y), platform::Variant(z)});
    }
    return true;
}
