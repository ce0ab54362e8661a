// The control's frames: the camera it lends, a frame drawn now, animated
// transitions and the spin timer.
#include <GL/gl.h>

#include <algorithm>

#include "control/HotlinkController.h"
#include "control/SX_Control.h"
#include "control/SX_ControlEvents.h"
#include "glcore/SX_OpenGLCamera.h"
#include "station/SX_CubeMap.h"
#include "station/SX_PanoramaDataSet.h"
#include "view3d/NavigationControls.h"
#include "view3d/NeighborView.h"
#include "view3d/SX_GraphicWindow.h"

namespace {

// The cube map's interaction state after a timer tick turned the camera.
constexpr int kInteractionTimerRotation = 2;

}  // namespace

StraleLib::SX_OpenGLCamera* SX_Control::Camera() const {
    return readyState_ == 4 ? dataSet_->Camera() : nullptr;
}

bool SX_Control::CanDrawFrames() const {
    return graphicWindow_ && graphicWindow_->HasOpenGL() && dataSet_->Camera() != nullptr;
}

bool SX_Control::RenderFrame() {
    StraleLib::SX_OpenGLCamera* camera = dataSet_->Camera();
    if (!CanDrawFrames()) {
        return false;  // nothing to draw into: no frame
    }
    StraleLib::SX_OpenGLContext& context = *graphicWindow_->Context();
    if (!context.TryAcquire()) {
        return false;
    }
    // The framebuffer follows the view's size (a resize while the loader held
    // the context shows in the first frame after).
    const int width = std::max(1, graphicWindow_->Width());
    const int height = std::max(1, graphicWindow_->Height());
    if (context.Width() != width || context.Height() != height) {
        context.Resize(width, height);
    }
    graphicWindow_->World().BeginFrame();
    camera->Draw();
    if (SX_CubeMap* cube = dataSet_->CubeMap()) {
        const bool dragging = cube->InteractionState() < 2;
        cube->Draw();
        if (!dragging) {
            dataSet_->Marks().DrawAll();
        }
        cube->SetInteractionState(SX_CubeMap::kIdle);
    }
    graphicWindow_->World().BeginOverlay();
    graphicWindow_->DrawOverlay();
    graphicWindow_->World().EndOverlay();
    neighbors_->Draw(graphicWindow_->World(), camera, viewMode_);
    hotlinks_->Draw(graphicWindow_->World(), camera);
    navigation_->Draw(graphicWindow_->World());
    glFinish();
    if (SX_CubeMap* cube = dataSet_->CubeMap()) {
        cube->NoteFrameShown();
    }
    graphicWindow_->ReadFrame();
    context.Release();
    return true;
}

void SX_Control::CameraTransition(double altitude, double azimuth) {
    StraleLib::SX_OpenGLCamera* camera = dataSet_->Camera();
    if (camera == nullptr) {
        return;
    }
    raiseCameraEvents_ = false;
    camera->Transition(altitude, azimuth, animateTransitions_, [this](bool last) {
        // Intermediate frames leave the capture buffer alone (a pending
        // request waits); the frame at the target is captured.
        if (graphicWindow_) {
            if (last) {
                graphicWindow_->RequestCapture();
            } else {
                graphicWindow_->DropCaptureRequest();
            }
        }
        // Only a busy context is waited for; a view without OpenGL or camera
        // draws nothing, so the turn happens without frames.
        while (!RenderFrame() && CanDrawFrames()) {
            loader_.Sleep(100);
        }
    });
    raiseCameraEvents_ = true;
}

void SX_Control::SetSpin(double value) {
    if (!graphicWindow_ || !IsAlive() || lockedForDrawing_) {
        return;
    }
    if (value > 0.01) {
        spinStep_ = value;
        viewMode_ = 2;
        SetTimer(kTimerSpin, 0);
    } else {
        spinStep_ = 0.0;
        viewMode_ = 0;
        KillTimer(kTimerSpin);
    }
}

bool SX_Control::ViewUsable() const {
    return systemFit_ && !dataSet_->HasError() && !loadFailed_.load() && !lockedForDrawing_;
}

void SX_Control::SpinTick() {
    if (!ViewUsable() || dataSet_->Camera() == nullptr || !graphicWindow_) {
        KillTimer(kTimerSpin);
        return;
    }
    if (graphicWindow_->OnViewTimer()) {
        if (SX_CubeMap* cube = dataSet_->CubeMap()) {
            cube->SetInteractionState(kInteractionTimerRotation);
        }
        RenderFrame();
        if (raiseCameraEvents_) {
            FireEvent(SX_ControlEvents::kCameraChanged);
        }
    }
    // A handler above may have stopped the timer.
    if (loop_.HasTimer(Id(), kTimerSpin)) {
        SetTimer(kTimerSpin, spinInterval_);
    }
}
