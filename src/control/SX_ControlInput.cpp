// The control's side of the view's input: the mode and mouse-binding
// members, the alpha mode, keys and the rotation timer.

#include "control/SX_Control.h"
#include "control/SX_ControlEvents.h"
#include "host/HostUi.h"
#include "markup2d/SX_2DDrawingWindow.h"
#include "station/SX_CubeMap.h"
#include "station/SX_PanoramaDataSet.h"
#include "view3d/SX_GraphicWindow.h"
#include "view3d/SX_ViewController.h"

using platform::HRESULT;
using platform::S_OK;
using platform::VARIANT_BOOL;

namespace {

constexpr std::uint32_t kLastForwardedKey = 47;

}  // namespace

void SX_Control::StartViewTimer(std::uint32_t ms) {
    if (IsAlive()) {
        SetTimer(kTimerSpin, ms);
    }
}

void SX_Control::StopViewTimer() {
    if (IsAlive()) {
        KillTimer(kTimerSpin);
    }
}

bool SX_Control::PickPoint(int x, int y, double& X, double& Y, double& Z) {
    return graphicWindow_ != nullptr && graphicWindow_->PickPoint(x, y, X, Y, Z);
}

HRESULT SX_Control::SetMode(std::int32_t mode, VARIANT_BOOL* res) {
    if (res == nullptr) {
        return platform::E_POINTER;
    }
    if (mode < 0 || !graphicWindow_) {
        *res = platform::VARIANT_FALSE;
        return S_OK;
    }
    if (viewMode_ != 4) {
        graphicWindow_->SetMenuItemGrayed(SX_GraphicWindow::kCommandDeselect, true);
    }
    viewMode_ = mode;
    if (mode == 4) {
        graphicWindow_->SetMenuItemGrayed(SX_GraphicWindow::kCommandDeselect, false);
    }
    if (mode == 1 || mode == 4) {
        graphicWindow_->SetLeftHeldMeasuring(false);
        if (viewShown_ || lockedForDrawing_) {
            LeaveViewMode();
        }
    } else {
        ui_.SetCursor(HostUi::Cursor::kHidden);
    }
    *res = platform::VARIANT_TRUE;
    Repaint();
    return S_OK;
}

HRESULT SX_Control::SetMouseAction(std::int32_t ctrlKey, std::int32_t mouseKey,
                                   std::int32_t actionType, VARIANT_BOOL* res) {
    if (res == nullptr) {
        return platform::E_POINTER;
    }
    SX_ViewController* controller = graphicWindow_ ? graphicWindow_->ViewController() : nullptr;
    const bool set = controller != nullptr && controller->SetAction(ctrlKey, mouseKey, actionType);
    *res = platform::ToVariantBool(set);
    return S_OK;
}

HRESULT SX_Control::SetAlphaMode(VARIANT_BOOL value, VARIANT_BOOL* res) {
    if (res == nullptr) {
        return platform::E_POINTER;
    }
    if (SX_CubeMap* cube = dataSet_->CubeMap(); cube != nullptr && graphicWindow_) {
        cube->SetAlphaMode(platform::IsVariantTrue(value));
        Repaint();
    }
    *res = platform::VARIANT_FALSE;
    return S_OK;
}

void SX_Control::OnKeyDown(std::uint32_t key) {
    if (key > kLastForwardedKey) {
        return;
    }
    if (lockedForDrawing_ && drawingWindow_ && drawingWindow_->IsAlive()) {
        platform::Message forwarded = platform::Message::Key(platform::kMsgKeyDown, key);
        drawingWindow_->Send(forwarded);
        return;
    }
    if (key == platform::kVkEscape && viewMode_ == 1) {
        FireEvent(SX_ControlEvents::kStopMeasure);
    }
}
