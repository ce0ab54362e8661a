#pragma once
// The pointer as the view's mouse controllers read it: position in the
// graphic window's client area (top-down), the held buttons, the held
// modifier keys, the wheel steps of the last wheel message, the button of the
// message being handled and the modifier in force.
//
// Modifiers are refreshed from a mouse message's key state in the order Ctrl,
// Shift, Alt, so with several held the later one wins (Alt over Shift over
// Ctrl); clearing a modifier resets `key` only when it names that modifier.
#include <cstdint>

class SX_MouseStatus {
  public:
    // Bits of buttons.
    static constexpr std::uint8_t kLeft = 1;
    static constexpr std::uint8_t kMiddle = 2;
    static constexpr std::uint8_t kRight = 4;
    // Bits of keys.
    static constexpr std::uint8_t kCtrlBit = 1;
    static constexpr std::uint8_t kShiftBit = 2;
    static constexpr std::uint8_t kAltBit = 4;
    // Values of button.
    enum Button : std::int32_t {
        kNoButton = 0,
        kLeftButton = 1,
        kMiddleButton = 2,
        kRightButton = 3,
        kWheelButton = 4
    };
    // Values of key.
    enum Modifier : std::int32_t { kNoKey = 0, kCtrl = 1, kShift = 2, kAlt = 3 };

    void LeftDown(int x, int y) { Down(kLeft, kLeftButton, x, y); }
    void LeftUp(int x, int y) { Up(kLeft, x, y); }
    void MiddleDown(int x, int y) { Down(kMiddle, kMiddleButton, x, y); }
    void MiddleUp(int x, int y) { Up(kMiddle, x, y); }
    void RightDown(int x, int y) { Down(kRight, kRightButton, x, y); }
    void RightUp(int x, int y) { Up(kRight, x, y); }
    void Move(int x, int y) {
        x_ = x;
        y_ = y;
    }
    void Wheel(std::int32_t steps) {
        button_ = kWheelButton;
        wheel_ = steps;
    }
    void ResetButton() { button_ = kNoButton; }

    void SetModifier(Modifier modifier);
    void ClearModifier(Modifier modifier);
    // Ctrl, Shift, Alt in that order from a message's key state
    // (platform::kKeyControl, kKeyShift, kKeyAlt).
    void RefreshModifiers(std::uint32_t keyState);

    int X() const { return x_; }
    int Y() const { return y_; }
    std::uint8_t Buttons() const { return buttons_; }
    std::uint8_t Keys() const { return keys_; }
    std::int32_t WheelSteps() const { return wheel_; }
    std::int32_t CurrentButton() const { return button_; }
    std::int32_t CurrentKey() const { return key_; }

  private:
    void Down(std::uint8_t bit, Button button, int x, int y);
    void Up(std::uint8_t bit, int x, int y);

    std::int32_t x_ = 0;
    std::int32_t y_ = 0;
    std::uint8_t buttons_ = 0;
    std::uint8_t keys_ = 0;
    std::int32_t wheel_ = 0;
    std::int32_t button_ = kNoButton;
    std::int32_t key_ = kNoKey;
};
