#pragma once
// The account the process runs as.
#include <string>

namespace platform {

// The login name of the process's effective user: the password database's
// entry, else $USER, else $LOGNAME; "" when none of them says.
std::u16string AccountName();

}  // namespace platform
