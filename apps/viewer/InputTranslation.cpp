#include "viewer/InputTranslation.h"

namespace viewer {

std::uint32_t KeyState(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    std::uint32_t state = 0;
    if (buttons & Qt::LeftButton) {
        state |= platform::kKeyLButton;
    }
    if (buttons & Qt::RightButton) {
        state |= platform::kKeyRButton;
    }
    if (buttons & Qt::MiddleButton) {
        state |= platform::kKeyMButton;
    }
    if (modifiers & Qt::ShiftModifier) {
        state |= platform::kKeyShift;
    }
    if (modifiers & Qt::ControlModifier) {
        state |= platform::kKeyControl;
    }
    if (modifiers & Qt::AltModifier) {
        state |= platform::kKeyAlt;
    }
    return state;
}

std::optional<platform::Message> MouseMessage(QEvent::Type type, Qt::MouseButton button,
                                              Qt::MouseButtons buttons,
                                              Qt::KeyboardModifiers modifiers, QPoint position) {
    // Message ids by button: down, up, double click.
    struct Ids {
        platform::MessageId down, up, dbl;
    };
    std::optional<Ids> ids;
    switch (button) {
        case Qt::LeftButton:
            ids = Ids{platform::kMsgLButtonDown, platform::kMsgLButtonUp,
                      platform::kMsgLButtonDblClk};
            break;
        case Qt::RightButton:
            ids = Ids{platform::kMsgRButtonDown, platform::kMsgRButtonUp,
                      platform::kMsgRButtonDblClk};
            break;
        case Qt::MiddleButton:
            ids = Ids{platform::kMsgMButtonDown, platform::kMsgMButtonUp,
                      platform::kMsgMButtonDblClk};
            break;
        default:
            break;
    }
    platform::MessageId id = 0;
    switch (type) {
        case QEvent::MouseMove:
            id = platform::kMsgMouseMove;
            break;
        case QEvent::MouseButtonPress:
            id = ids ? ids->down : 0;
            break;
        case QEvent::MouseButtonRelease:
            id = ids ? ids->up : 0;
            break;
        case QEvent::MouseButtonDblClick:
            id = ids ? ids->dbl : 0;
            break;
        default:
            break;
    }
    if (id == 0) {
        return std::nullopt;
    }
    return platform::Message::Mouse(id, position.x(), position.y(), KeyState(buttons, modifiers));
}

std::optional<platform::Message> WheelMessage(QPoint position, QPoint angleDelta,
                                              Qt::MouseButtons buttons,
                                              Qt::KeyboardModifiers modifiers) {
    if (angleDelta.y() == 0) {
        return std::nullopt;
    }
    return platform::Message::Wheel(position.x(), position.y(), angleDelta.y(),
                                    KeyState(buttons, modifiers));
}

std::uint32_t VirtualKey(int qtKey) {
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)) {
        return static_cast<std::uint32_t>(qtKey);
    }
    switch (qtKey) {
        case Qt::Key_Backspace:
            return platform::kVkBack;
        case Qt::Key_Tab:
            return platform::kVkTab;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return platform::kVkReturn;
        case Qt::Key_Shift:
            return platform::kVkShift;
        case Qt::Key_Control:
            return platform::kVkControl;
        case Qt::Key_Alt:
            return platform::kVkAlt;
        case Qt::Key_Escape:
            return platform::kVkEscape;
        case Qt::Key_Space:
            return platform::kVkSpace;
        case Qt::Key_PageUp:
            return platform::kVkPageUp;
        case Qt::Key_PageDown:
            return platform::kVkPageDown;
        case Qt::Key_End:
            return platform::kVkEnd;
        case Qt::Key_Home:
            return platform::kVkHome;
        case Qt::Key_Left:
            return platform::kVkLeft;
        case Qt::Key_Up:
            return platform::kVkUp;
        case Qt::Key_Right:
            return platform::kVkRight;
        case Qt::Key_Down:
            return platform::kVkDown;
        case Qt::Key_Delete:
            return platform::kVkDelete;
        default:
            return 0;
    }
}

}  // namespace viewer
