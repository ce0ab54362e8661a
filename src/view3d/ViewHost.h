#pragma once
// What the 3D view window and its view controller need from the object that
// hosts them (the control), beyond what every mouse controller needs: the
// view's mode, size, timers, spin, camera-event switch and message texts.
// The control implements it; nothing in this folder includes the control.
#include <cstdint>

#include "measure/ControllerHost.h"

namespace host {
class Resources;
}  // namespace host

namespace view3d {

class ViewHost : public measure::ControllerHost {
  public:
    // 0 navigate, 1 measure, 2 spin, 4 pick view directions.
    virtual std::int32_t ViewMode() const = 0;
    // The control's client size in pixels.
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // The rotation timer: first tick after ms, then every spin interval.
    virtual void StartViewTimer(std::uint32_t ms) = 0;
    // Whether camera changes fire CameraChanged.
    virtual bool RaiseCameraEvents() const = 0;
    // The spin step in degrees per tick (0: no spin) and its setter.
    virtual double SpinStep() const = 0;
    virtual void SetSpin(double value) = 0;
    // Message texts (menu entries, labels).
    virtual const host::Resources& Resources() const = 0;

  protected:
    ~ViewHost() = default;
};

}  // namespace view3d
