#pragma once
// What saved views (SxView, SxViews) need from the object that hosts them
// (the control): the camera, frames of the 3D window with or without a
// capture, the view state and its transitions (enter and leave view mode,
// lock for drawing), the drawing overlay, the client size, events and
// redraws. The control implements it; nothing in this folder includes the
// control.
//
// A view reaches its host through a ViewsHostLink that the host owns and
// clears when it goes, so a view the page still holds afterwards is unbound
// and declines its work.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/ComStatus.h"
#include "platform/ComVariant.h"
#include "platform/DispatchTable.h"

class SX_2DDrawingWindow;
class SX_Defaults;
namespace markup2d {
class DrawingHost;
}
namespace StraleLib {
class SX_OpenGLCamera;
}

namespace persist {

class ViewsHost {
  public:
    // The station's camera; null until the host is complete (ready state 4).
    virtual StraleLib::SX_OpenGLCamera* Camera() const = 0;
    // Complete with a station loaded: views may be made and captured.
    virtual bool ViewsReady() const = 0;
    // The control's AnimateTransitions.
    virtual bool AnimateTransitions() const = 0;
    // The control's RaiseCameraEvents.
    virtual void SetRaiseCameraEvents(bool raise) = 0;
    // Hides every neighbour-station icon.
    virtual void HideAllNeighbors() = 0;
    // Draws one frame of the 3D window, its capture-requested flag set to
    // `capture` first; false when it cannot draw now (the loader holds the
    // context). CanRenderView is false when no frame can ever be drawn (no
    // OpenGL view), which ends a wait for one.
    virtual bool RenderView(bool capture) = 0;
    virtual bool CanRenderView() const = 0;
    // Waits between two tries of a frame.
    virtual void SleepMs(int milliseconds) = 0;

    // The view state: the ID of the view on show (-1 none) and whether it is
    // locked for drawing.
    virtual std::int32_t ShownViewId() const = 0;
    virtual void SetShownViewId(std::int32_t id) = 0;
    virtual bool LockedForDrawing() const = 0;
    // Back to the live 3D view; true when a view had been shown.
    virtual bool LeaveViewMode() = 0;
    // The overlay shows its still image and drawings in place of the 3D
    // window, faded in when `fading` and the view was not locked.
    virtual void EnterViewMode(bool fading) = 0;
    // Markup mode on; fires ViewLockChanged(true).
    virtual void LockForDrawing() = 0;

    // The drawing overlay (null before the host has its windows).
    virtual SX_2DDrawingWindow* Overlay() const = 0;
    // The owner the view's drawings are given (null until there is one).
    virtual markup2d::DrawingHost* DrawingOwner() const = 0;
    // What new drawings are made with: the drawing defaults, the display
    // unit, and the station's internal distance unit (the measurement
    // drawings' setting).
    virtual const SX_Defaults& DrawingDefaults() const = 0;
    virtual int DrawingUnit() = 0;
    virtual int StationInternalUnit() const = 0;
    // The control's client size in pixels.
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual platform::HRESULT FireEvent(platform::DISPID id,
                                        const std::vector<platform::Variant>& args = {}) = 0;
    // Repaints the control's window.
    virtual void RedrawControl() = 0;

  protected:
    ~ViewsHost() = default;
};

struct ViewsHostLink {
    ViewsHost* host = nullptr;
};
using ViewsHostRef = std::shared_ptr<ViewsHostLink>;

}  // namespace persist
