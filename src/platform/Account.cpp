#include "platform/Account.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "platform/Text.h"

namespace platform {

std::u16string AccountName() {
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_name != nullptr && found->pw_name[0] != '\0') {
        return FromUtf8(found->pw_name);
    }
    for (const char* variable : {"USER", "LOGNAME"}) {
        if (const char* name = std::getenv(variable); name != nullptr && name[0] != '\0') {
            return FromUtf8(name);
        }
    }
    return {};
}

}  // namespace platform
