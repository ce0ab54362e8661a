#pragma once
// Text conversion at the edges of the system. Inside, text is UTF-16
// (std::u16string); file paths handed to the C library, trace output and
// glyph bitmaps use UTF-8.

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// UTF-16 -> UTF-8. Unpaired surrogates become U+FFFD.
std::string ToUtf8(std::u16string_view text);

// UTF-8 -> UTF-16. Malformed sequences become U+FFFD.
std::u16string FromUtf8(std::string_view text);

// Convenience for literals and ASCII texts in the code.
inline std::u16string W(std::string_view ascii) {
    return FromUtf8(ascii);
}

// snprintf and sscanf in the "C" locale on the calling thread, whatever
// locale the process has set (a desktop toolkit sets the user's): numbers
// are written and read with "." as their decimal point.
int FormatInCLocale(char* buffer, std::size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
int ScanInCLocale(const char* text, const char* format, ...) __attribute__((format(scanf, 2, 3)));

}  // namespace platform
