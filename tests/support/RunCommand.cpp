#include "support/RunCommand.h"

#include <sys/wait.h>

#include <cstdio>

#include "support/TempDir.h"

namespace testsupport {

namespace {

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) {
        if (c == '\'') {
            q += "'\\''";
        } else {
            q += c;
        }
    }
    return q + "'";
}

}  // namespace

CommandResult RunPanora(const std::vector<std::string>& args,
                        const std::vector<std::string>& environment) {
    TempDir tmp;
    const auto errPath = tmp / "stderr.txt";
    std::string cmd;
    // Per-user files (log, drawing defaults) go to the call's own folder
    // unless the caller names one.
    bool namesData = false;
    for (const auto& setting : environment) {
        namesData = namesData || setting.rfind("XDG_DATA_HOME=", 0) == 0;
    }
    if (!namesData) {
        cmd += "XDG_DATA_HOME=" + Quote((tmp / "data").string()) + " ";
    }
    for (const auto& setting : environment) {
        const auto eq = setting.find('=');
        cmd += setting.substr(0, eq + 1) + Quote(setting.substr(eq + 1)) + " ";
    }
    cmd += Quote(PANORA_COMMAND);
    for (const auto& a : args) {
        cmd += " " + Quote(a);
    }
    cmd += " 2>" + Quote(errPath.string());
    CommandResult result;
    FILE* pipe = popen(cmd.c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    char buf[4096];
    std::size_t n = 0;
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) {
        result.out.append(buf, n);
    }
    const int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.err = ReadFile(errPath);
    return result;
}

CommandResult RunPanoraPage(const std::filesystem::path& page, std::vector<std::string> args,
                            const std::filesystem::path& home) {
    if (!page.empty()) {
        args.insert(args.begin(), page.string());
    }
    args.insert(args.begin(), "run");
    return RunPanora(args,
                     {"ASAN_OPTIONS=detect_leaks=0", "XDG_CACHE_HOME=" + (home / "cache").string(),
                      "XDG_DATA_HOME=" + (home / "data").string()});
}

}  // namespace testsupport
