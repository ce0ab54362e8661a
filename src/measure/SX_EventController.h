#pragma once
// The mouse controllers of the 3D view share this interface: the view
// controller (camera, host mouse events, context menu) and the measure
// controller (picking). Each handler reads the window's mouse status and
// answers true when the view must be redrawn. The operations, in this order:
//   middle up, middle down, left up, left down, right up, right down,
//   left double click, move (hover: show hover feedback), wheel,
//   cancel, an operation without effect, cancel, timer tick, draw overlay.
// Both cancels stop the control's rotation timer (1002) and answer false.
//
// A controller reaches the camera through its host (the control), so it
// does nothing useful before the control is complete (no camera yet).
#include "measure/ControllerHost.h"
#include "measure/SX_MouseStatus.h"

class SX_EventController {
  public:
    virtual ~SX_EventController();
    SX_EventController(const SX_EventController&) = delete;
    SX_EventController& operator=(const SX_EventController&) = delete;

    virtual bool MiddleButtonUp(const SX_MouseStatus& status) = 0;
    virtual bool MiddleButtonDown(const SX_MouseStatus& status) = 0;
    virtual bool LeftButtonUp(const SX_MouseStatus& status) = 0;
    virtual bool LeftButtonDown(const SX_MouseStatus& status) = 0;
    virtual bool RightButtonUp(const SX_MouseStatus& status) = 0;
    virtual bool RightButtonDown(const SX_MouseStatus& status) = 0;
    virtual bool LeftDoubleClick(const SX_MouseStatus& status) = 0;
    virtual bool MouseMove(const SX_MouseStatus& status, bool hover) = 0;
    virtual bool Wheel(const SX_MouseStatus& status) = 0;
    virtual bool Cancel(const SX_MouseStatus& status);
    virtual bool Unused(const SX_MouseStatus& status);
    virtual bool Cancel();
    virtual bool TimerTick(const SX_MouseStatus& status);
    // Draws over the frame in the overlay projection (one unit per pixel,
    // origin bottom left); nothing here.
    virtual void DrawOverlay();

    // Where the graphic window sits in the control (used to place the menu).
    void SetWindowOrigin(int left, int top) {
        windowLeft_ = left;
        windowTop_ = top;
    }
    // The command chosen from the last context menu (0: dismissed).
    int LastCommand() const { return lastCommand_; }

  protected:
    explicit SX_EventController(measure::ControllerHost& host);

    // Null until the control is complete.
    StraleLib::SX_OpenGLCamera* Camera() const;
    void StopTimer();

    measure::ControllerHost& host_;
    int lastCommand_ = 0;
    int windowTop_ = 0;
    int windowLeft_ = 0;
};
