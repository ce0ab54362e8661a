#pragma once
// What a mouse controller of the view needs from the object that hosts the
// view (the control): the camera, the rotation timer, the desktop's UI
// services, event firing and the pick operation. The measure and drawing
// controllers talk to their host only through this; the view's own host
// interface (view3d::ViewHost) extends it.
#include <vector>

#include "platform/ComStatus.h"
#include "platform/ComVariant.h"
#include "platform/DispatchTable.h"

class HostUi;
namespace StraleLib {
class SX_OpenGLCamera;
}

namespace measure {

class ControllerHost {
  public:
    // The view's camera; null until the host is complete (ready state 4).
    virtual StraleLib::SX_OpenGLCamera* Camera() const = 0;
    // Stops the view's rotation timer.
    virtual void StopViewTimer() = 0;
    // Cursors, menus, mouse capture and boxes of the desktop.
    virtual HostUi& Ui() const = 0;
    // Fires one event of the control's events interface (SX_EventIds.h).
    virtual platform::HRESULT FireEvent(platform::DISPID id,
                                        const std::vector<platform::Variant>& args = {}) = 0;
    // The 3D point under a view pixel (top-down), as the view's pick
    // operation finds it for the current mode; false when there is none.
    virtual bool PickPoint(int x, int y, double& X, double& Y, double& Z) = 0;

  protected:
    ~ControllerHost() = default;
};

}  // namespace measure
