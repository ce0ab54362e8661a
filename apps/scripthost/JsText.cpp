#include "scripthost/JsText.h"

namespace scripthost {

std::string ToJs(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char16_t unit : text) {
        const unsigned c = unit;
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::u16string FromJs(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    const auto at = [&bytes](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const auto follows = [&](std::size_t i, std::size_t n) {
        if (i + n > bytes.size()) {
            return false;
        }
        for (std::size_t k = 1; k < n; ++k) {
            if ((at(i + k) & 0xC0) != 0x80) {
                return false;
            }
        }
        return true;
    };
    std::size_t i = 0;
    while (i < bytes.size()) {
        const unsigned b = at(i);
        if (b < 0x80) {
            out += static_cast<char16_t>(b);
            i += 1;
        } else if ((b & 0xE0) == 0xC0 && follows(i, 2)) {
            out += static_cast<char16_t>(((b & 0x1F) << 6) | (at(i + 1) & 0x3F));
            i += 2;
        } else if ((b & 0xF0) == 0xE0 && follows(i, 3)) {
            out += static_cast<char16_t>(((b & 0x0F) << 12) | ((at(i + 1) & 0x3F) << 6) |
                                         (at(i + 2) & 0x3F));
            i += 3;
        } else if ((b & 0xF8) == 0xF0 && follows(i, 4)) {
            const unsigned cp = ((b & 0x07) << 18) | ((at(i + 1) & 0x3F) << 12) |
                                ((at(i + 2) & 0x3F) << 6) | (at(i + 3) & 0x3F);
            if (cp >= 0x10000 && cp <= 0x10FFFF) {
                out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
                out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
            } else {
                out += u'\uFFFD';
            }
            i += 4;
        } else {
            out += u'\uFFFD';
            i += 1;
        }
    }
    return out;
}

}  // namespace scripthost
