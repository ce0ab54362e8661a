#pragma once
// Qt input as the control's window messages: mouse positions in the view
// widget's pixels (top-down, which are the control's client pixels), the
// held buttons and modifiers as kKey* flags, the wheel's vertical angle
// delta (120 per notch, positive away from the user) and Qt keys as virtual
// key codes. Pure functions, so they are tested without a window.

#include <QEvent>
#include <QPoint>
#include <Qt>
#include <cstdint>
#include <optional>

#include "platform/MessageLoopMessages.h"

namespace viewer {

// kKeyLButton / kKeyRButton / kKeyMButton for the held buttons, kKeyShift /
// kKeyControl / kKeyAlt for the modifiers.
std::uint32_t KeyState(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);

// A press, release, double click or move of the mouse; `button` is the
// button that changed (ignored for moves) and `buttons` those held after the
// event. Nothing for buttons the control does not know (back, forward, ...)
// or other event types.
std::optional<platform::Message> MouseMessage(QEvent::Type type, Qt::MouseButton button,
                                              Qt::MouseButtons buttons,
                                              Qt::KeyboardModifiers modifiers, QPoint position);

// A wheel turn; nothing when the vertical delta is 0 (a sideways wheel).
std::optional<platform::Message> WheelMessage(QPoint position, QPoint angleDelta,
                                              Qt::MouseButtons buttons,
                                              Qt::KeyboardModifiers modifiers);

// The virtual key code of a Qt key (letters and digits keep their ASCII
// code); 0 for keys the control has no code for.
std::uint32_t VirtualKey(int qtKey);

}  // namespace viewer
