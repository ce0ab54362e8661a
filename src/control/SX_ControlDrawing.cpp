// The control as the owner of 2D drawings and of the overlay's drawing
// controller: picking through the 3D view, the station's point error, unit
// and registration, texts, the clipboard, tooltips, cursors, links and the
// UpdateText event.
#include <cmath>

#include "control/HostContainer.h"
#include "control/SX_Control.h"
#include "control/SX_ControlEvents.h"
#include "host/HostUi.h"
#include "markup2d/SX_2DDrawingWindow.h"
#include "persist/SxView.h"
#include "platform/Desktop.h"
#include "station/SX_PanoramaDataSet.h"
#include "view3d/SX_GraphicWindow.h"
#include "view3d/ViewTargets.h"

void SX_Control::CreateDrawingController() {
    if (drawingWindow_) {
        drawingWindow_->SetController(std::make_unique<SX_DrawingController>(
            static_cast<view3d::ViewHost&>(*this), static_cast<markup2d::OverlayHost&>(*this),
            *drawingWindow_));
    }
}

markup2d::DrawingHost* SX_Control::DrawingHost() const {
    return static_cast<markup2d::OverlayHost*>(const_cast<SX_Control*>(this));
}

bool SX_Control::PickPoint(double x, double y, std::array<double, 3>& scanPoint) {
    if (!graphicWindow_) {
        return false;
    }
    // The overlay fills the client area; the 3D window, hidden behind it,
    // still holds the camera of the still image.
    const int vx = static_cast<int>(std::lround(x)) - graphicWindow_->X();
    const int vy = static_cast<int>(std::lround(y)) - graphicWindow_->Y();
    double X = 0.0, Y = 0.0, Z = 0.0;
    if (!PickPoint(vx, vy, X, Y, Z)) {
        return false;
    }
    scanPoint = {X, Y, Z};
    return true;
}

double SX_Control::MaxPointError() const {
    return dataSet_->MaxPointError();
}

int SX_Control::InternalUnit() const {
    return dataSet_->InternalDistanceUnit();
}

SX_Mark::Transform SX_Control::RegistrationTransform() const {
    return dataSet_->RegistrationTransform();
}

std::u16string SX_Control::ClipboardText() {
    return ui_.ClipboardText();
}

void SX_Control::ShowTooltip(std::u16string_view text, const platform::TextBox& box) {
    ui_.ShowTooltip(std::u16string(text),
                    {static_cast<int>(box.x), static_cast<int>(box.y), static_cast<int>(box.width),
                     static_cast<int>(box.height)});
}

void SX_Control::HideTooltip() {
    ui_.HideTooltip();
}

void SX_Control::SetCursorHidden(bool hidden) {
    if (drawingWindow_ && drawingWindow_->Controller()) {
        drawingWindow_->Controller()->SetCursorHidden(hidden);
    } else {
        ui_.SetCursor(hidden ? HostUi::Cursor::kHidden : HostUi::Cursor::kArrow);
    }
}

void SX_Control::FireUpdateText(std::u16string_view text) {
    FireEvent(SX_ControlEvents::kUpdateText, {platform::Variant(std::u16string(text))});
}

bool SX_Control::OpenLinkIn(const std::u16string& url, const std::u16string& target) {
    if (hostContainer_) {
        return hostContainer_->OpenLink(url, target);
    }
    return options_.openBrowser ? options_.openBrowser(url) : platform::OpenWithDesktop(url);
}

void SX_Control::OpenLink(const std::u16string& href) {
    // A drawing's link opens beside the page, which keeps the viewer.
    OpenLinkIn(href, u"_blank");
}

bool SX_Control::EditShownView() {
    platform::ComPtr<SxView> view = ViewGetCurrent();
    return view && ViewApply(view.Get(), true);
}

void SX_Control::StopShapeAdd() {
    if (drawingWindow_ && drawingWindow_->Controller() &&
        drawingWindow_->Controller()->CancelAdd()) {
        drawingWindow_->Controller()->Redraw();
    }
    FireEvent(SX_ControlEvents::kStop2DAdd);
}

bool SX_Control::NavigationOverOverlay(const platform::Message& m) {
    if (!graphicWindow_ || lockedForDrawing_ ||
        (m.id != platform::kMsgLButtonDown && m.id != platform::kMsgLButtonUp)) {
        return false;
    }
    const bool release = m.id == platform::kMsgLButtonUp;
    if (!graphicWindow_->Targets().NavigationPress(
            m.x - graphicWindow_->X(), m.y - graphicWindow_->Y(), graphicWindow_->Width(),
            graphicWindow_->Height(), release)) {
        return false;
    }
    if (release) {
        RefreshOverlay();
    }
    return true;
}
