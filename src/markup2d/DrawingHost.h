#pragma once
// What a 2D drawing asks of the control that shows it. The control answers
// for real; tests use a fake. All positions are overlay window pixels
// (top-down), the same pixels the mouse operations of the drawings receive.

#include <array>
#include <string>
#include <string_view>

#include "measure/SX_Mark.h"
#include "platform/Canvas.h"

class SX_Defaults;
namespace host {
class Resources;
}  // namespace host

namespace markup2d {

class DrawingHost {
  public:
    virtual ~DrawingHost() = default;

    // The control's drawing defaults.
    virtual SX_Defaults& Defaults() = 0;
    // The overlay's current client size in pixels.
    virtual int ClientWidth() const = 0;
    virtual int ClientHeight() const = 0;

    // The 3D point under the window pixel, in the station's scan frame and
    // internal unit; false when there is no point data there.
    virtual bool PickPoint(double x, double y, std::array<double, 3>& scanPoint) = 0;
    // The station's maximum point error in meters.
    virtual double MaxPointError() const = 0;
    // The station's internal unit code.
    virtual int InternalUnit() const = 0;
    // The station's registration: site = rotation(scan) + translation.
    virtual SX_Mark::Transform RegistrationTransform() const = 0;

    // The control's message texts (message file, then string table).
    virtual const host::Resources& Strings() const = 0;

    // The clipboard's Unicode text; "" when it holds none.
    virtual std::u16string ClipboardText() = 0;
    // Shows a tooltip over the box (window pixels); hides the shown one.
    virtual void ShowTooltip(std::u16string_view text, const platform::TextBox& box) = 0;
    virtual void HideTooltip() = 0;
    // Hides or shows the system cursor over the overlay (the overlay draws
    // the picking marker while it is hidden).
    virtual void SetCursorHidden(bool hidden) = 0;
    // Fires the control's UpdateText event with the whole text.
    virtual void FireUpdateText(std::u16string_view text) = 0;
};

}  // namespace markup2d
