#include "measure/SX_MouseStatus.h"

#include "platform/MessageLoopMessages.h"

namespace {

std::uint8_t BitOf(SX_MouseStatus::Modifier modifier) {
    switch (modifier) {
        case SX_MouseStatus::kCtrl:
            return SX_MouseStatus::kCtrlBit;
        case SX_MouseStatus::kShift:
            return SX_MouseStatus::kShiftBit;
        case SX_MouseStatus::kAlt:
            return SX_MouseStatus::kAltBit;
        default:
            return 0;
    }
}

}  // namespace

void SX_MouseStatus::Down(std::uint8_t bit, Button button, int x, int y) {
    buttons_ |= bit;
    button_ = button;
    x_ = x;
    y_ = y;
}

void SX_MouseStatus::Up(std::uint8_t bit, int x, int y) {
    buttons_ &= static_cast<std::uint8_t>(~bit);
    button_ = kNoButton;
    x_ = x;
    y_ = y;
}

void SX_MouseStatus::SetModifier(Modifier modifier) {
    const std::uint8_t bit = BitOf(modifier);
    if (bit == 0) {
        return;
    }
    keys_ |= bit;
    key_ = modifier;
}

void SX_MouseStatus::ClearModifier(Modifier modifier) {
    keys_ &= static_cast<std::uint8_t>(~BitOf(modifier));
    if (key_ == modifier) {
        key_ = kNoKey;
    }
}

void SX_MouseStatus::RefreshModifiers(std::uint32_t keyState) {
    const struct {
        std::uint32_t flag;
        Modifier modifier;
    } order[] = {
        {platform::kKeyControl, kCtrl}, {platform::kKeyShift, kShift}, {platform::kKeyAlt, kAlt}};
    for (const auto& entry : order) {
        if ((keyState & entry.flag) != 0) {
            SetModifier(entry.modifier);
        } else {
            ClearModifier(entry.modifier);
        }
    }
}
