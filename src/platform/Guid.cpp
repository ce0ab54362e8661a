#include "platform/Guid.h"

#include <array>
#include <cstdint>
#include <random>

namespace platform {

namespace {

// Positions of the dashes inside the braces.
constexpr std::array<std::size_t, 4> kDashes = {9, 14, 19, 24};

bool IsDash(std::size_t i) {
    for (std::size_t d : kDashes) {
        if (d == i) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::u16string NewGuidText() {
    std::random_device entropy;
    std::array<std::uint8_t, 16> bytes{};
    for (std::size_t i = 0; i < bytes.size(); i += 4) {
        const std::uint32_t word = entropy();
        for (std::size_t k = 0; k < 4; ++k) {
            bytes[i + k] = static_cast<std::uint8_t>(word >> (8 * k));
        }
    }
    bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0F) | 0x40);
    bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3F) | 0x80);
    static constexpr char16_t kHex[] = u"0123456789ABCDEF";
    std::u16string text = u"{";
    std::size_t next = 0;
    for (std::size_t i = 1; i + 1 < kGuidTextLength; ++i) {
        if (IsDash(i)) {
            text += u'-';
            continue;
        }
        const std::uint8_t byte = bytes[next / 2];
        text += kHex[next % 2 == 0 ? byte >> 4 : byte & 0x0F];
        ++next;
    }
    text += u'}';
    return text;
}

bool IsGuidText(std::u16string_view text) {
    if (text.size() != kGuidTextLength || text.front() != u'{' || text.back() != u'}') {
        return false;
    }
    for (std::size_t i = 1; i + 1 < text.size(); ++i) {
        const char16_t c = text[i];
        const bool hex =
            (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
        if (IsDash(i) ? c != u'-' : !hex) {
            return false;
        }
    }
    return true;
}

}  // namespace platform
