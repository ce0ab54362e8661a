// The control as the host of the overlay's drawing controller: the
// controller itself, links of drawings, unlocking and editing the shown
// view, StopShapeAdd and the navigation buttons over a shown view. What
// the drawings themselves ask of the control is in SX_ControlDrawingHost.cpp.

#include "control/HostContainer.h"
#include "control/SX_Control.h"
#include "control/SX_ControlEvents.h"
#include "host/HostUi.h"
#include "markup2d/SX_2DDrawingWindow.h"
#include "persist/SxView.h"
#include "platform/Desktop.h"
#include "view3d/SX_GraphicWindow.h"
#include "view3d/ViewTargets.h"

void SX_Control::CreateDrawingController() {
    if (drawingWindow_) {
        drawingWindow_->SetController(std::make_unique<SX_DrawingController>(
            static_cast<view3d::ViewHost&>(*this), static_cast<markup2d::OverlayHost&>(*this),
            *drawingWindow_));
    }
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
