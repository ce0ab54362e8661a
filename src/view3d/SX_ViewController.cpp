#include "view3d/SX_ViewController.h"

#include <GL/gl.h>

#include <cmath>

#include "glcore/SX_OpenGLCamera.h"
#include "host/HostUi.h"
#include "host/SX_EventIds.h"
#include "view3d/SX_GraphicWindow.h"
#include "view3d/ViewTargets.h"

using StraleLib::SX_OpenGLCamera;

namespace {

constexpr std::array<std::int32_t, 20> kDefaultTable = {
    // button none, by modifier none, Ctrl, Shift, Alt
    -1, -1, -1, -1,
    // left
    7, 1, 0, -1,
    // middle
    1, -1, -1, -1,
    // right
    3, -1, -1, -1,
    // wheel
    1, -1, -1, -1};

}  // namespace

SX_ViewController::SX_ViewController(view3d::ViewHost& host, SX_GraphicWindow& view)
    : SX_EventController(host), viewHost_(host), view_(view), table_(kDefaultTable) {}

bool SX_ViewController::SetAction(std::int32_t modifier, std::int32_t button, std::int32_t action) {
    if (static_cast<std::uint32_t>(modifier) > 3 || static_cast<std::uint32_t>(button) > 4) {
        return false;
    }
    table_[modifier + 4 * button] = action;
    return true;
}

std::int32_t SX_ViewController::Action(std::int32_t modifier, std::int32_t button) const {
    if (static_cast<std::uint32_t>(modifier) > 3 || static_cast<std::uint32_t>(button) > 4) {
        return kNoAction;
    }
    return table_[modifier + 4 * button];
}

std::int32_t SX_ViewController::LookUp(const SX_MouseStatus& status) {
    currentX_ = status.X();
    currentY_ = status.Y();
    view3d::ViewTargets& targets = view_.Targets();
    if (status.CurrentButton() == SX_MouseStatus::kLeftButton &&
        targets.HotlinkAt(currentX_, currentY_)) {
        action_ = kHotlinkClick;
    } else if (status.CurrentButton() == SX_MouseStatus::kLeftButton &&
               targets.NeighborAt(currentX_, currentY_)) {
        action_ = kNeighborClick;
    } else {
        action_ = Action(status.CurrentKey(), status.CurrentButton());
    }
    return action_;
}

// ---------------------------------------------------------------------------
// Events and timer

void SX_ViewController::CameraChanged() {
    if (viewHost_.RaiseCameraEvents()) {
        viewHost_.FireEvent(SX_ControlEvents::kCameraChanged);
    }
}

void SX_ViewController::FireMouseEvent(std::int32_t type, const SX_MouseStatus& status) {
    viewHost_.FireEvent(SX_ControlEvents::kMouseEvent,
                        {platform::Variant(type), platform::Variant(std::int32_t{status.X()}),
                         platform::Variant(std::int32_t{status.Y()})});
}

void SX_ViewController::FireMenuEvent(std::int32_t mode) {
    viewHost_.FireEvent(SX_ControlEvents::kMenuEvent, {platform::Variant(mode)});
}

void SX_ViewController::StartRotation(const SX_MouseStatus& status) {
    pressX_ = status.X();
    pressY_ = status.Y();
    viewHost_.StartViewTimer(kRotationDelayMs);
    FireMenuEvent(2);
}

void SX_ViewController::StopRotation() {
    StopTimer();
    CameraChanged();
}

// ---------------------------------------------------------------------------
// Camera arithmetic

void SX_ViewController::Look(const SX_MouseStatus& status) {
    SX_OpenGLCamera* camera = Camera();
    const double w = viewHost_.Width();
    const double h = viewHost_.Height();
    if (camera != nullptr && w > 0 && h > 0) {
        const double scale = camera->FieldOfView() / 90.0;
        camera->AddAltitude((status.Y() - previousY_) / (w / 100.0) * scale);
        camera->AddAzimuth((previousX_ - status.X()) / (h / 100.0) * scale);
    }
    viewHost_.Ui().SetCursor(HostUi::Cursor::kHand);
}

void SX_ViewController::ZoomByDrag(const SX_MouseStatus& status) {
    SX_OpenGLCamera* camera = Camera();
    const double h = viewHost_.Height();
    if (camera != nullptr && h > 0) {
        const double f = camera->FieldOfView();
        camera->SetFieldOfView(f + (previousY_ - status.Y()) / (h / 100.0) * (f / 90.0));
    }
    viewHost_.Ui().SetCursor(HostUi::Cursor::kSizeNS);
}

bool SX_ViewController::Rotate() {
    SX_OpenGLCamera* camera = Camera();
    const double w = viewHost_.Width();
    const double h = viewHost_.Height();
    if (camera == nullptr || w <= 0 || h <= 0) {
        return false;
    }
    const double scale = camera->FieldOfView() / 90.0;
    camera->AddAzimuth((currentX_ - pressX_) * 0.15 / (h / 100.0) * scale);
    camera->AddAltitude((currentY_ - pressY_) * -0.15 / (w / 100.0) * scale);
    viewHost_.FireEvent(SX_ControlEvents::kAzimuthChanged);
    return true;
}

// ---------------------------------------------------------------------------
// Handlers

bool SX_ViewController::LeftButtonDown(const SX_MouseStatus& status) {
    // The previous point starts at the press as well, so that a drag counts
    // from where the button went down even without a move there first.
    pressX_ = previousX_ = status.X();
    pressY_ = previousY_ = status.Y();
    switch (LookUp(status)) {
        case kLook:
        case kZoom:
            FireMenuEvent(2);
            return false;
        case kHostMouse:
            FireMouseEvent(2, status);
            return false;
        case kRotate:
            StartRotation(status);
            return true;
        default:
            StopTimer();
            return false;
    }
}

bool SX_ViewController::MouseMove(const SX_MouseStatus& status, bool hover) {
    bool redraw = false;
    switch (LookUp(status)) {
        case kLook:
            Look(status);
            redraw = true;
            break;
        case kZoom:
            ZoomByDrag(status);
            redraw = true;
            break;
        case kHostMouse:
            FireMouseEvent(1, status);
            break;
        case kRotate:
            viewHost_.Ui().SetCursor(HostUi::Cursor::kHidden);
            break;
        default:
            if (hover) {
                view3d::ViewTargets& targets = view_.Targets();
                if (targets.NeighborAt(status.X(), status.Y())) {
                    viewHost_.Ui().SetCursor(HostUi::Cursor::kHand);
                } else {
                    const bool hotlink = targets.HotlinkAt(status.X(), status.Y());
                    viewHost_.Ui().SetCursor(hotlink ? HostUi::Cursor::kHand
                                                     : HostUi::Cursor::kArrow);
                    view_.SetMenuItemGrayed(SX_GraphicWindow::kCommandDeleteHotlink, !hotlink);
                    view_.SetMenuItemGrayed(SX_GraphicWindow::kCommandEditHotlink, !hotlink);
                }
            }
            break;
    }
    previousX_ = status.X();
    previousY_ = status.Y();
    return redraw;
}

bool SX_ViewController::LeftButtonUp(const SX_MouseStatus& status) {
    bool redraw = false;
    switch (action_) {
        case kLook:
            CameraChanged();
            viewHost_.FireEvent(SX_ControlEvents::kAzimuthChanged);
            redraw = true;
            break;
        case kZoom:
            CameraChanged();
            redraw = true;
            break;
        case kHostMouse:
            FireMouseEvent(3, status);
            break;
        case kRotate:
            StopRotation();
            redraw = true;
            break;
        case kHotlinkClick:
            redraw = view_.Targets().HotlinkClick(status.X(), status.Y());
            break;
        case kNeighborClick:
            redraw = view_.Targets().NeighborClick(status.X(), status.Y());
            break;
        default:
            break;
    }
    LookUp(status);
    return redraw;
}

bool SX_ViewController::MiddleButtonDown(const SX_MouseStatus& status) {
    StopTimer();
    previousX_ = status.X();
    previousY_ = status.Y();
    switch (LookUp(status)) {
        case kZoom:
            return true;
        case kHostMouse:
            FireMouseEvent(4, status);
            return false;
        default:
            return false;
    }
}

bool SX_ViewController::MiddleButtonUp(const SX_MouseStatus& status) {
    switch (action_) {
        case kZoom:
            CameraChanged();
            return true;
        case kHostMouse:
            FireMouseEvent(5, status);
            LookUp(status);
            return false;
        case kLook:
        case kRotate:
            return true;
        default:
            return false;
    }
}

bool SX_ViewController::RightButtonDown(const SX_MouseStatus& status) {
    StopTimer();
    if (action_ == kHostMouse) {
        FireMouseEvent(6, status);
    }
    return false;
}

void SX_ViewController::ShowMenu(const SX_MouseStatus& status) {
    lastCommand_ = viewHost_.Ui().PopupMenu(view_.MenuItems(), windowLeft_ + status.X(),
                                            windowTop_ + status.Y());
    switch (lastCommand_) {
        case SX_GraphicWindow::kCommandDeselect:
            FireMenuEvent(21);
            break;
        case SX_GraphicWindow::kCommandPrint:
            FireMenuEvent(20);
            break;
        case SX_GraphicWindow::kCommandDeleteHotlink:
            view_.Targets().DeleteHotlink(status.X(), status.Y());
            break;
        case SX_GraphicWindow::kCommandEditHotlink:
            view_.Targets().EditHotlink(status.X(), status.Y());
            break;
        default:
            break;
    }
}

bool SX_ViewController::RightButtonUp(const SX_MouseStatus& status) {
    view3d::ViewTargets& targets = view_.Targets();
    if (targets.HotlinkAt(status.X(), status.Y()) &&
        targets.HotlinkRightClick(status.X(), status.Y())) {
        return true;
    }
    ShowMenu(status);
    switch (action_) {
        case kLook:
        case kZoom:
        case kRotate:
            return true;
        case kHostMouse:
            FireMouseEvent(7, status);
            return false;
        default:
            return false;
    }
}

bool SX_ViewController::LeftDoubleClick(const SX_MouseStatus& status) {
    view3d::ViewTargets& targets = view_.Targets();
    if (targets.HotlinkAt(status.X(), status.Y())) {
        targets.HotlinkDoubleClick(status.X(), status.Y());
    }
    return false;
}

bool SX_ViewController::Wheel(const SX_MouseStatus& status) {
    switch (LookUp(status)) {
        case kZoom:
            if (SX_OpenGLCamera* camera = Camera()) {
                const double f = camera->FieldOfView();
                camera->SetFieldOfView(f + status.WheelSteps() * 2.0 * (f / 90.0));
            }
            return true;
        case kHostMouse:
            FireMouseEvent(8, status);
            return false;
        default:
            return true;
    }
}

bool SX_ViewController::Cancel() {
    action_ = kNoAction;
    return SX_EventController::Cancel();
}

bool SX_ViewController::TimerTick(const SX_MouseStatus&) {
    return action_ == kRotate && Rotate();
}

// ---------------------------------------------------------------------------
// The rotation arrow, in the overlay projection: from the press point P to
// the pointer Q, a line fading in towards P and a triangle whose tip is Q.

void SX_ViewController::DrawOverlay() {
    if (action_ != kRotate || (currentX_ == pressX_ && currentY_ == pressY_)) {
        return;
    }
    const double height = view_.World().Height();
    const double px = pressX_;
    const double py = height - pressY_;
    const double qx = currentX_;
    const double qy = height - currentY_;
    const double length = std::hypot(px - qx, py - qy);
    const double dx = (px - qx) / length;
    const double dy = (py - qy) / length;
    const double bx = qx + 12.0 * dx;
    const double by = qy + 12.0 * dy;
    const double nx = -dy;
    const double ny = dx;

    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_LINE_BIT | GL_POINT_BIT | GL_POLYGON_BIT |
                 GL_CURRENT_BIT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_LINE_SMOOTH);
    glEnable(GL_POINT_SMOOTH);
    glEnable(GL_POLYGON_SMOOTH);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);

    glColor4d(1.0, 0.2, 0.2, 0.8);
    glBegin(GL_TRIANGLES);
    glVertex2d(bx + 8.0 * nx, by + 8.0 * ny);
    glVertex2d(qx, qy);
    glVertex2d(bx - 8.0 * nx, by - 8.0 * ny);
    glEnd();

    glLineWidth(4.0f);
    glBegin(GL_LINES);
    glColor4d(1.0, 0.2, 0.2, 0.0);
    glVertex2d(px, py);
    glColor4d(1.0, 0.2, 0.2, 0.8);
    glVertex2d(bx, by);
    glEnd();

    glPointSize(8.0f);
    glBegin(GL_POINTS);
    glColor4d(0.3, 0.0, 0.0, 0.5);
    glVertex2d(px, py);
    glEnd();
    glPointSize(6.0f);
    glBegin(GL_POINTS);
    glColor4d(1.0, 1.0, 1.0, 1.0);
    glVertex2d(px, py);
    glEnd();

    glPopAttrib();
}
