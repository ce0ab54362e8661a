#pragma once
// Globally unique identifiers in the registry's text form: braced, upper-case
// hexadecimal, 38 characters ("{6B29FC40-CA47-1067-B31D-00DD010662DA}").
// New ones are random (version 4, variant 1) from the system's entropy source.
#include <string>
#include <string_view>

namespace platform {

inline constexpr std::size_t kGuidTextLength = 38;

std::u16string NewGuidText();
// Whether the text has the braced form above (either letter case).
bool IsGuidText(std::u16string_view text);

}  // namespace platform
