#pragma once
// Runs the `panora` program with arguments and collects its exit code and
// output (stdout and stderr apart).

#include <string>
#include <vector>

namespace appstest {

struct CommandResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

CommandResult RunPanora(const std::vector<std::string>& args);

}  // namespace appstest
