#pragma once
// The desktop's own handling of a link: opens a URL or file in the user's
// preferred application (xdg-open) and waits for the opener to answer.
#include <string>

namespace platform {

// True when the opener started and reported success.
bool OpenWithDesktop(const std::u16string& url);

}  // namespace platform
