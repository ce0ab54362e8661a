// The control's side of saved views: the collection, the view state and its
// transitions (enter and leave view mode, lock for drawing), the view
// members of the automation interface and the frame the host shows.
#include "control/SX_Control.h"
#include "control/SX_ControlEvents.h"
#include "glcore/SX_OpenGLCamera.h"
#include "markup2d/SX_2DDrawingWindow.h"
#include "persist/SxView.h"
#include "persist/SxViews.h"
#include "station/SX_CubeMap.h"
#include "station/SX_PanoramaDataSet.h"
#include "view3d/NeighborView.h"
#include "view3d/SX_GraphicWindow.h"

using platform::ComPtr;

void SX_Control::CreateViews() {
    viewsLink_ = std::make_shared<persist::ViewsHostLink>();
    viewsLink_->host = this;
    views_ = platform::MakeRef<SxViews>(viewsLink_);
    drawingWindow_->SetCapturer([this](platform::RgbImage& image) { return CaptureView(image); });
    drawingWindow_->SetHandOver(
        [this](const platform::Message& press, const platform::Message& move) {
            HandOverToLiveView(press, move);
        });
}

platform::HRESULT SX_Control::get_Views(ComPtr<SxViews>* views) const {
    if (views == nullptr) {
        return platform::E_INVALIDARG;
    }
    if (readyState_ != 4 || !views_) {
        return platform::E_PENDING;
    }
    *views = views_;
    return platform::S_OK;
}

bool SX_Control::ViewsReady() const {
    if (readyState_ != 4 || dataSet_->Camera() == nullptr) {
        return false;
    }
    const SX_CubeMap* cube = dataSet_->CubeMap();
    for (int f = 0; cube != nullptr && f < SX_CubeMap::kFaceCount; ++f) {
        if (cube->LoadedLevel(f) >= 0) {
            return true;
        }
    }
    return false;
}

int SX_Control::StationInternalUnit() const {
    return dataSet_->InternalDistanceUnit();
}

void SX_Control::HideAllNeighbors() {
    neighbors_->HideAll();
}

bool SX_Control::RenderView(bool capture) {
    if (graphicWindow_) {
        if (capture) {
            graphicWindow_->RequestCapture();
        } else {
            graphicWindow_->DropCaptureRequest();
        }
    }
    return RenderFrame();
}

void SX_Control::SleepMs(int milliseconds) {
    loader_.Sleep(milliseconds);
}

void SX_Control::ShowOverlay() {
    if (graphicWindow_) {
        graphicWindow_->Show(false);
    }
    // Sized before it shows: the still image was just taken at this size.
    drawingWindow_->Move(0, 0, width_, height_);
    drawingWindow_->Show(true);
}

bool SX_Control::LeaveViewMode() {
    const bool wasShown = viewShown_;
    shownViewId_ = -1;
    viewShown_ = false;
    lockedForDrawing_ = false;
    if (drawingWindow_) {
        drawingWindow_->ReleaseDrawings();
        drawingWindow_->SetMarkupMode(false);
        drawingWindow_->Show(false);
    }
    if (graphicWindow_) {
        graphicWindow_->Show(true);
        LayoutChildren();
        graphicWindow_->DropCaptureRequest();
        RenderFrame();
    }
    Repaint();
    return wasShown;
}

void SX_Control::EnterViewMode(bool fading) {
    if (!drawingWindow_) {
        return;
    }
    const bool wasLocked = lockedForDrawing_;
    lockedForDrawing_ = false;
    viewShown_ = true;
    drawingWindow_->CaptureBackground();
    ShowOverlay();
    drawingWindow_->SetMarkupMode(false);
    if (!wasLocked && fading) {
        drawingWindow_->FadeIn();
    }
    drawingWindow_->Paint();
    Repaint();
}

void SX_Control::LockForDrawing() {
    if (!drawingWindow_) {
        return;
    }
    const bool wasShown = viewShown_;
    lockedForDrawing_ = true;
    drawingWindow_->CaptureBackground();
    ShowOverlay();
    drawingWindow_->SetMarkupMode(true);
    if (!wasShown) {
        drawingWindow_->FadeIn();
    }
    drawingWindow_->Paint();
    Repaint();
    FireEvent(SX_ControlEvents::kViewLockChanged, {platform::Variant(true)});
}

void SX_Control::HandOverToLiveView(const platform::Message& press, const platform::Message& move) {
    LeaveViewMode();
    if (!graphicWindow_ || !graphicWindow_->IsAlive()) {
        return;
    }
    platform::Message down = press;
    platform::Message drag = move;
    down.x -= graphicWindow_->X();
    down.y -= graphicWindow_->Y();
    drag.x -= graphicWindow_->X();
    drag.y -= graphicWindow_->Y();
    graphicWindow_->Send(down);
    graphicWindow_->Send(drag);
}

void SX_Control::RefreshOverlay() {
    if ((viewShown_ || lockedForDrawing_) && drawingWindow_) {
        drawingWindow_->CaptureBackground();
        drawingWindow_->Paint();
    }
}

ComPtr<SxView> SX_Control::ViewCapture() {
    if (!ViewsReady() || !views_) {
        return nullptr;
    }
    ComPtr<SxView> view = platform::MakeRef<SxView>();
    view->Bind(viewsLink_);
    return view->Capture() ? view : nullptr;
}

ComPtr<SxView> SX_Control::ViewNew(double longitude, double latitude, double angle) {
    if (!ViewsReady() || !views_) {
        return nullptr;
    }
    ComPtr<SxView> view = platform::MakeRef<SxView>();
    view->Bind(viewsLink_);
    view->SetOrientation(longitude, latitude, angle);
    return view;
}

bool SX_Control::ViewApply(SxView* view, bool lockForDrawing) {
    if (view == nullptr) {
        return false;
    }
    const bool applied = view->Apply(lockForDrawing);
    Redraw();
    return applied;
}

void SX_Control::ViewUnlock(bool raiseEvent) {
    if (!ViewsReady()) {
        return;
    }
    const bool wasLocked = lockedForDrawing_;
    LeaveViewMode();
    if (wasLocked && raiseEvent) {
        FireEvent(SX_ControlEvents::kViewLockChanged, {platform::Variant(false)});
    }
}

ComPtr<SxView> SX_Control::ViewGetCurrent() {
    if ((!viewShown_ && !lockedForDrawing_) || shownViewId_ < 100 || !views_) {
        return nullptr;
    }
    for (const ComPtr<SxView>& view : views_->Views()) {
        if (view->Id() == shownViewId_) {
            return view;
        }
    }
    return nullptr;
}

bool SX_Control::HostFrame(platform::RgbImage& image) {
    if (readyState_ != 4) {
        image = platform::RgbImage();
        return false;
    }
    return ExportImage(true, image);
}

bool SX_Control::ExportImage(bool panZoom, platform::RgbImage& image) {
    if (panZoom && (viewShown_ || lockedForDrawing_) && drawingWindow_ &&
        drawingWindow_->Painted()) {
        image = drawingWindow_->Image();
        return image.width > 0;
    }
    return CaptureView(image);
}
