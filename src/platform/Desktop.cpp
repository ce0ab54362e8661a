#include "platform/Desktop.h"

#include <spawn.h>
#include <sys/wait.h>

#include "platform/Text.h"

extern char** environ;

namespace platform {

bool OpenWithDesktop(const std::u16string& url) {
    const std::string target = ToUtf8(url);
    char program[] = "xdg-open";
    char* argv[] = {program, const_cast<char*>(target.c_str()), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, program, nullptr, nullptr, argv, environ) != 0) {
        return false;
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) {
        return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace platform
