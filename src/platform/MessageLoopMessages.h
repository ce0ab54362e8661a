#pragma once
// The messages a window of the message loop receives, with the key-state
// flags of mouse messages and the virtual key codes the viewer reacts to.
// The numbers follow the usual window-message values so that traces read
// familiarly; only the names are used in code.

#include <cstdint>

namespace platform {

using MessageId = std::uint32_t;

inline constexpr MessageId kMsgCreate = 0x0001;
inline constexpr MessageId kMsgDestroy = 0x0002;
inline constexpr MessageId kMsgSize = 0x0005;  // x, y: new client width and height
inline constexpr MessageId kMsgSetFocus = 0x0007;
inline constexpr MessageId kMsgKillFocus = 0x0008;
inline constexpr MessageId kMsgPaint = 0x000F;
inline constexpr MessageId kMsgKeyDown = 0x0100;  // key: virtual key code
inline constexpr MessageId kMsgKeyUp = 0x0101;
inline constexpr MessageId kMsgChar = 0x0102;   // key: UTF-16 code unit
inline constexpr MessageId kMsgTimer = 0x0113;  // timerId
inline constexpr MessageId kMsgMouseMove = 0x0200;
inline constexpr MessageId kMsgLButtonDown = 0x0201;
inline constexpr MessageId kMsgLButtonUp = 0x0202;
inline constexpr MessageId kMsgLButtonDblClk = 0x0203;
inline constexpr MessageId kMsgRButtonDown = 0x0204;
inline constexpr MessageId kMsgRButtonUp = 0x0205;
inline constexpr MessageId kMsgRButtonDblClk = 0x0206;
inline constexpr MessageId kMsgMButtonDown = 0x0207;
inline constexpr MessageId kMsgMButtonUp = 0x0208;
inline constexpr MessageId kMsgMButtonDblClk = 0x0209;
inline constexpr MessageId kMsgMouseWheel = 0x020A;  // wheelDelta
inline constexpr MessageId kMsgCaptureChanged = 0x0215;
// Messages of the windows' own: kMsgUser + n.
inline constexpr MessageId kMsgUser = 0x0400;

// Key state of mouse messages (keyState).
inline constexpr std::uint32_t kKeyLButton = 0x0001;
inline constexpr std::uint32_t kKeyRButton = 0x0002;
inline constexpr std::uint32_t kKeyShift = 0x0004;
inline constexpr std::uint32_t kKeyControl = 0x0008;
inline constexpr std::uint32_t kKeyMButton = 0x0010;
inline constexpr std::uint32_t kKeyAlt = 0x0020;

// One notch of the wheel.
inline constexpr int kWheelDelta = 120;

// Virtual key codes (key of kMsgKeyDown / kMsgKeyUp).
inline constexpr std::uint32_t kVkBack = 0x08;
inline constexpr std::uint32_t kVkTab = 0x09;
inline constexpr std::uint32_t kVkReturn = 0x0D;
inline constexpr std::uint32_t kVkShift = 0x10;
inline constexpr std::uint32_t kVkControl = 0x11;
inline constexpr std::uint32_t kVkAlt = 0x12;
inline constexpr std::uint32_t kVkEscape = 0x1B;
inline constexpr std::uint32_t kVkSpace = 0x20;
inline constexpr std::uint32_t kVkPageUp = 0x21;
inline constexpr std::uint32_t kVkPageDown = 0x22;
inline constexpr std::uint32_t kVkEnd = 0x23;
inline constexpr std::uint32_t kVkHome = 0x24;
inline constexpr std::uint32_t kVkLeft = 0x25;
inline constexpr std::uint32_t kVkUp = 0x26;
inline constexpr std::uint32_t kVkRight = 0x27;
inline constexpr std::uint32_t kVkDown = 0x28;
inline constexpr std::uint32_t kVkDelete = 0x2E;

struct Message {
    MessageId id = 0;
    int x = 0;                   // pointer position in client pixels (top-down); kMsgSize: width
    int y = 0;                   // kMsgSize: height
    std::uint32_t keyState = 0;  // kKey* flags of mouse messages
    int wheelDelta = 0;          // kMsgMouseWheel: kWheelDelta per notch, > 0 away from the user
    std::uint32_t key = 0;       // kMsgKeyDown/Up: virtual key; kMsgChar: character
    std::uint32_t timerId = 0;   // kMsgTimer
    std::uint64_t wParam = 0;    // free for kMsgUser + n
    std::int64_t lParam = 0;
    std::int64_t result = 0;  // set by the handler; what Send hands back

    static Message Of(MessageId id) {
        Message m;
        m.id = id;
        return m;
    }
    static Message Mouse(MessageId id, int x, int y, std::uint32_t keyState = 0) {
        Message m = Of(id);
        m.x = x;
        m.y = y;
        m.keyState = keyState;
        return m;
    }
    static Message Wheel(int x, int y, int delta, std::uint32_t keyState = 0) {
        Message m = Mouse(kMsgMouseWheel, x, y, keyState);
        m.wheelDelta = delta;
        return m;
    }
    static Message Key(MessageId id, std::uint32_t key) {
        Message m = Of(id);
        m.key = key;
        return m;
    }
    static Message Size(int width, int height) {
        Message m = Of(kMsgSize);
        m.x = width;
        m.y = height;
        return m;
    }
    static Message Timer(std::uint32_t timerId) {
        Message m = Of(kMsgTimer);
        m.timerId = timerId;
        return m;
    }
    static Message User(std::uint32_t offset, std::uint64_t wParam = 0, std::int64_t lParam = 0) {
        Message m = Of(kMsgUser + offset);
        m.wParam = wParam;
        m.lParam = lParam;
        return m;
    }
};

}  // namespace platform
