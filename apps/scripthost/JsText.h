#pragma once
// Text between the system (UTF-16) and the script engine. The engine keeps
// strings as UTF-16 code units written in UTF-8 form one by one (a surrogate
// pair is two three-byte sequences); that is what ToJs writes and FromJs
// reads. FromJs also reads four-byte UTF-8 as a surrogate pair, and any byte
// that starts no valid sequence as U+FFFD.

#include <cstddef>
#include <string>
#include <string_view>

namespace scripthost {

std::string ToJs(std::u16string_view text);
std::u16string FromJs(std::string_view bytes);

}  // namespace scripthost
