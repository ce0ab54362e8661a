#pragma once
// Picking in the measuring modes (1 and 4): the graphic window offers mouse
// input here first and passes it on to the view controller when this answers
// false.
//
// A press records its position and is passed on (the view controller may
// start a drag). A release within 1 pixel of the press on both axes is a
// click: the point under it is picked and, when there is one, PointPicked
// fires with its X, Y, Z; the click is taken either way (no camera
// movement). A release further away is a drag and is passed on. Moves show
// the cross cursor over a pixel with a point and the hand where there is
// none, and are passed on. Without a camera (the control not complete) every
// handler answers false.
#include "measure/SX_EventController.h"

class SX_MeasureController final : public SX_EventController {
  public:
    explicit SX_MeasureController(measure::ControllerHost& host);

    bool MiddleButtonUp(const SX_MouseStatus&) override { return false; }
    bool MiddleButtonDown(const SX_MouseStatus&) override { return false; }
    bool LeftButtonUp(const SX_MouseStatus& status) override;
    bool LeftButtonDown(const SX_MouseStatus& status) override;
    bool RightButtonUp(const SX_MouseStatus&) override { return false; }
    bool RightButtonDown(const SX_MouseStatus&) override { return false; }
    bool LeftDoubleClick(const SX_MouseStatus&) override { return false; }
    bool MouseMove(const SX_MouseStatus& status, bool first) override;
    bool Wheel(const SX_MouseStatus&) override { return false; }

  private:
    int pressX_ = 0;
    int pressY_ = 0;
    int lastX_ = 0;
    int lastY_ = 0;
};
