// The graphic window's input: the context menu, mouse routing by mode, the
// rotation timer and the controller's overlay.

#include "glcore/SX_OpenGLCamera.h"
#include "host/Resources.h"
#include "host/SX_EventIds.h"
#include "resources/StringTable.h"
#include "station/SX_CubeMap.h"
#include "station/SX_PanoramaDataSet.h"
#include "view3d/SX_GraphicWindow.h"
#include "view3d/SX_ViewController.h"
#include "view3d/ViewTargets.h"

namespace {

// Mode 2 turns the view by the spin step on each tick.
constexpr std::int32_t kModeNavigate = 0;
constexpr std::int32_t kModeMeasure = 1;
constexpr std::int32_t kModeSpin = 2;
constexpr std::int32_t kModeMeasureDirection = 4;
// The cube map's interaction state while a drag moves the camera.
constexpr int kInteractionDragging = 1;

view3d::ViewTargets& NoTargets() {
    static view3d::ViewTargets none;
    return none;
}

}  // namespace

view3d::ViewTargets& SX_GraphicWindow::Targets() const {
    return targets_ != nullptr ? *targets_ : NoTargets();
}

void SX_GraphicWindow::BuildMenu() {
    menu_.clear();
    if (host_ == nullptr) {
        return;
    }
    const host::Resources& text = host_->Resources();
    auto item = [&](int command, int label, bool grayed) {
        HostUi::MenuItem entry;
        entry.command = command;
        entry.label = text.LoadStringWithFallback(label);
        entry.grayed = grayed;
        menu_.push_back(std::move(entry));
    };
    auto separator = [&] {
        HostUi::MenuItem entry;
        entry.separator = true;
        menu_.push_back(std::move(entry));
    };
    item(kCommandDeselect, resources::IDS_DESELECT, true);
    separator();
    item(kCommandDeleteHotlink, resources::IDS_DELETE_HOTLINK, true);
    item(kCommandEditHotlink, resources::IDS_EDIT_HOTLINK, true);
    separator();
    item(kCommandPrint, resources::IDS_PRINT, false);
}

void SX_GraphicWindow::SetMenuItemGrayed(int command, bool grayed) {
    for (HostUi::MenuItem& entry : menu_) {
        if (!entry.separator && entry.command == command) {
            entry.grayed = grayed;
        }
    }
}

bool SX_GraphicWindow::IsMenuItemGrayed(int command) const {
    for (const HostUi::MenuItem& entry : menu_) {
        if (!entry.separator && entry.command == command) {
            return entry.grayed;
        }
    }
    return true;
}

std::int32_t SX_GraphicWindow::Mode() const {
    return host_ != nullptr ? host_->ViewMode() : kModeNavigate;
}

bool SX_GraphicWindow::Measuring() const {
    const std::int32_t mode = Mode();
    return mode == kModeMeasure || mode == kModeMeasureDirection;
}

void SX_GraphicWindow::Capture(bool capture) {
    platform::MessageLoop* loop = Loop();
    if (loop == nullptr) {
        return;
    }
    if (capture) {
        loop->SetCapture(Id());
    } else if (loop->Capture() == Id()) {
        loop->ReleaseCapture();
    }
    host_->Ui().CaptureMouse(capture);
}

// ---------------------------------------------------------------------------
// Mouse messages

void SX_GraphicWindow::OnLeftDown(const platform::Message& m) {
    if (!viewController_) {
        return;
    }
    if (Targets().NavigationPress(m.x, m.y, width_, height_, false)) {
        Render();
        return;
    }
    status_.LeftDown(m.x, m.y);
    status_.RefreshModifiers(m.keyState);
    Capture(true);
    bool redraw = false;
    if (Mode() == kModeNavigate) {
        redraw = viewController_->LeftButtonDown(status_);
    } else if (Measuring()) {
        leftHeldMeasuring_ = true;
        redraw =
            measureController_->LeftButtonDown(status_) || viewController_->LeftButtonDown(status_);
    }
    if (redraw) {
        Render();
    }
}

void SX_GraphicWindow::OnLeftUp(const platform::Message& m) {
    if (!viewController_) {
        return;
    }
    if (Targets().NavigationPress(m.x, m.y, width_, height_, true)) {
        Render();
        return;
    }
    status_.LeftUp(m.x, m.y);
    Capture(false);
    bool redraw = false;
    const std::int32_t mode = Mode();
    if (mode == kModeNavigate) {
        redraw = viewController_->LeftButtonUp(status_);
    } else if (mode == kModeSpin) {
        host_->SetSpin(0.0);
    } else if (Measuring()) {
        leftHeldMeasuring_ = false;
        if (measureController_->LeftButtonUp(status_)) {
            // A click: the drag the view controller started at the press
            // ends without moving the camera.
            viewController_->Cancel();
            redraw = true;
        } else {
            redraw = viewController_->LeftButtonUp(status_);
        }
    }
    if (redraw) {
        Render();
    }
}

void SX_GraphicWindow::OnLeftDoubleClick(const platform::Message& m) {
    if (!viewController_) {
        return;
    }
    status_.LeftDown(m.x, m.y);
    status_.LeftUp(m.x, m.y);
    if (Mode() == kModeNavigate && viewController_->LeftDoubleClick(status_)) {
        Render();
    }
}

void SX_GraphicWindow::OnMouseMove(const platform::Message& m) {
    if (!viewController_) {
        return;
    }
    status_.Move(m.x, m.y);
    if (status_.Buttons() == 0 && Targets().NavigationHover(m.x, m.y)) {
        Render();
        return;
    }
    status_.RefreshModifiers(m.keyState);
    if (Mode() == kModeNavigate) {
        if (viewController_->MouseMove(status_, true) &&
            viewController_->CurrentAction() != SX_ViewController::kRotate) {
            if (SX_CubeMap* cube = dataSet_.CubeMap()) {
                cube->SetInteractionState(kInteractionDragging);
            }
            Render();
        }
    } else if (Measuring()) {
        if (measureController_->MouseMove(status_, true) ||
            viewController_->MouseMove(status_, false)) {
            Render();
        }
    }
}

void SX_GraphicWindow::OnMiddle(const platform::Message& m, bool down) {
    if (!viewController_) {
        return;
    }
    if (down) {
        status_.MiddleDown(m.x, m.y);
    } else {
        status_.MiddleUp(m.x, m.y);
    }
    Capture(down);
    const std::int32_t mode = Mode();
    if (mode != kModeNavigate && !Measuring()) {
        return;
    }
    bool redraw = false;
    if (Measuring()) {
        redraw = down ? measureController_->MiddleButtonDown(status_)
                      : measureController_->MiddleButtonUp(status_);
    }
    if (!redraw) {
        redraw = down ? viewController_->MiddleButtonDown(status_)
                      : viewController_->MiddleButtonUp(status_);
    }
    if (redraw) {
        Render();
    }
}

void SX_GraphicWindow::OnRightDown(const platform::Message& m) {
    if (!viewController_) {
        return;
    }
    status_.RightDown(m.x, m.y);
    if (Mode() != kModeNavigate && !Measuring()) {
        return;
    }
    if ((Measuring() && measureController_->RightButtonDown(status_)) ||
        viewController_->RightButtonDown(status_)) {
        Render();
    }
}

void SX_GraphicWindow::OnRightUp(const platform::Message& m) {
    if (!viewController_) {
        return;
    }
    status_.RightUp(m.x, m.y);
    viewController_->SetWindowOrigin(x_, y_);
    measureController_->SetWindowOrigin(x_, y_);
    if (Mode() != kModeNavigate && !Measuring()) {
        return;
    }
    bool redraw = false;
    if (Measuring()) {
        leftHeldMeasuring_ = false;
        redraw = measureController_->RightButtonUp(status_);
    }
    if (!redraw) {
        redraw = viewController_->RightButtonUp(status_);
    }
    if (redraw) {
        Render();
    }
}

void SX_GraphicWindow::OnWheel(const platform::Message& m) {
    if (!viewController_) {
        return;
    }
    // One notch (120) is 2 steps; truncated towards zero.
    status_.Wheel(m.wheelDelta / 50);
    bool redraw = false;
    if (Mode() == kModeNavigate || Measuring()) {
        if (Measuring()) {
            redraw = measureController_->Wheel(status_);
        }
        if (!redraw) {
            redraw = viewController_->Wheel(status_);
        }
    }
    status_.ResetButton();
    if (redraw) {
        Render();
    }
}

// ---------------------------------------------------------------------------
// Timer 1002 and the overlay

bool SX_GraphicWindow::OnViewTimer() {
    if (!viewController_) {
        return false;
    }
    const std::int32_t mode = Mode();
    if (mode == kModeSpin) {
        StraleLib::SX_OpenGLCamera* camera = dataSet_.Camera();
        if (camera == nullptr) {
            return false;
        }
        camera->AddAzimuth(host_->SpinStep());
        host_->FireEvent(SX_ControlEvents::kAzimuthChanged);
        return true;
    }
    if (mode == kModeNavigate || (Measuring() && leftHeldMeasuring_)) {
        return viewController_->TimerTick(status_);
    }
    return false;
}

void SX_GraphicWindow::DrawOverlay() {
    if (viewController_) {
        viewController_->DrawOverlay();
    }
}
