#pragma once
// Runs the `panora` program with arguments, as a user would from a shell, and
// collects its exit code and output (stdout and stderr apart).

#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

struct CommandResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// `environment` holds extra "NAME=value" settings for the child. Without an
// XDG_DATA_HOME among them, the child's per-user data folder is a temporary one.
CommandResult RunPanora(const std::vector<std::string>& args,
                        const std::vector<std::string>& environment = {});

// `panora run PAGE ARGS...` (no PAGE when it is empty) with its download cache and per-user files
// below `home`. Leak checks are off in the child: the OpenGL driver it loads keeps blocks that
// sanitizer builds report from an unloaded module.
CommandResult RunPanoraPage(const std::filesystem::path& page, std::vector<std::string> args,
                            const std::filesystem::path& home);

}  // namespace testsupport
