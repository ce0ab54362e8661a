#pragma once
// Runs the `panora` program with arguments, as a user would from a shell, and
// collects its exit code and output (stdout and stderr apart).

#include <string>
#include <vector>

namespace testsupport {

struct CommandResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// `environment` holds extra "NAME=value" settings for the child.
CommandResult RunPanora(const std::vector<std::string>& args,
                        const std::vector<std::string>& environment = {});

}  // namespace testsupport
