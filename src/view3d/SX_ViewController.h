#pragma once
// Turns mouse input into camera changes, host mouse events, hotlink and
// neighbour clicks, cursors and the context menu.
//
// Every handler first looks up the action of the pointer: the current point
// becomes the pointer; a left button over a hotlink gives 8 (hotlink click),
// over a neighbour icon 9 (neighbour click); otherwise the action table entry
// for (modifier, button), indexed modifier + 4 x button:
//
//   modifier \ button   none  left  middle  right  wheel
//   none                 -1     7      1      3      1
//   Ctrl                 -1     1     -1     -1     -1
//   Shift                -1     0     -1     -1     -1
//   Alt                  -1    -1     -1     -1     -1
//
// Actions: 0 look (drag turns the view, the image follows the pointer), 1 zoom
// (drag up widens the view, as does the wheel turned away from the user),
// 3 nothing of its own (the menu opens on every right release), 4 host mouse
// (MouseEvent only), 7 continuous rotation (while held the view turns on the
// control's timer 1002 at a speed set by the distance from the press point,
// with an arrow drawn from the press point to the pointer).
//
// Arithmetic on a control of W x H client pixels with field of view F:
//   look:    altitude += (y - prev y) / (W / 100) * F / 90
//            azimuth  += (prev x - x) / (H / 100) * F / 90
//   zoom:    F += (prev y - y) / (H / 100) * F / 90;  wheel: F += steps * 2 * F / 90
//   rotate:  per tick azimuth += (x - press x) * 0.15 / (H / 100) * F / 90,
//            altitude += (y - press y) * -0.15 / (W / 100) * F / 90
// with the camera's own wrap and clamps.
//
// Cancel() ends a gesture whose release another controller took (a click
// in a measuring mode): the rotation timer stops and no event fires.
//
// Camera events: CameraChanged (only while the control raises camera events)
// when a look, zoom or rotation ends; AzimuthChanged after a look ends (after
// CameraChanged) and on each rotation tick; the wheel fires none.
#include <array>
#include <cstdint>

#include "measure/SX_EventController.h"
#include "view3d/ViewHost.h"

class SX_GraphicWindow;

class SX_ViewController final : public SX_EventController {
  public:
    static constexpr std::int32_t kNoAction = -1;
    static constexpr std::int32_t kLook = 0;
    static constexpr std::int32_t kZoom = 1;
    static constexpr std::int32_t kMenu = 3;
    static constexpr std::int32_t kHostMouse = 4;
    static constexpr std::int32_t kRotate = 7;
    static constexpr std::int32_t kHotlinkClick = 8;
    static constexpr std::int32_t kNeighborClick = 9;
    // The rotation timer's first tick after the press.
    static constexpr std::uint32_t kRotationDelayMs = 30;

    SX_ViewController(view3d::ViewHost& host, SX_GraphicWindow& view);

    bool MiddleButtonUp(const SX_MouseStatus& status) override;
    bool MiddleButtonDown(const SX_MouseStatus& status) override;
    bool LeftButtonUp(const SX_MouseStatus& status) override;
    bool LeftButtonDown(const SX_MouseStatus& status) override;
    bool RightButtonUp(const SX_MouseStatus& status) override;
    bool RightButtonDown(const SX_MouseStatus& status) override;
    bool LeftDoubleClick(const SX_MouseStatus& status) override;
    bool MouseMove(const SX_MouseStatus& status, bool hover) override;
    bool Wheel(const SX_MouseStatus& status) override;
    // Also forgets the gesture: no action until the next lookup.
    bool Cancel() override;
    bool TimerTick(const SX_MouseStatus& status) override;
    void DrawOverlay() override;

    // False (table unchanged) when modifier > 3 or button > 4, compared
    // unsigned so that negatives are refused.
    bool SetAction(std::int32_t modifier, std::int32_t button, std::int32_t action);
    std::int32_t Action(std::int32_t modifier, std::int32_t button) const;
    std::int32_t CurrentAction() const { return action_; }

  private:
    std::int32_t LookUp(const SX_MouseStatus& status);
    void Look(const SX_MouseStatus& status);
    void ZoomByDrag(const SX_MouseStatus& status);
    bool Rotate();
    void StartRotation(const SX_MouseStatus& status);
    void StopRotation();
    void CameraChanged();
    void FireMouseEvent(std::int32_t type, const SX_MouseStatus& status);
    void FireMenuEvent(std::int32_t mode);
    void ShowMenu(const SX_MouseStatus& status);

    view3d::ViewHost& viewHost_;
    SX_GraphicWindow& view_;
    std::int32_t action_ = kNoAction;
    int pressX_ = 0;
    int pressY_ = 0;
    int currentX_ = 0;
    int currentY_ = 0;
    int previousX_ = 0;
    int previousY_ = 0;
    std::array<std::int32_t, 20> table_;
};
