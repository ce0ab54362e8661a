#include "publish/Progress.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace publish {

Progress::Progress(bool enabled) : enabled_(enabled && isatty(STDERR_FILENO) == 1) {}

Progress::~Progress() {
    Finish();
}

void Progress::Update(const std::string& what, std::uint64_t done, std::uint64_t fileSize,
                      int stationsWritten, long long points) {
    if (!enabled_) {
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (drawn_ && now - last_ < std::chrono::milliseconds(100)) {
        return;
    }
    last_ = now;
    drawn_ = true;
    char line[256];
    if (fileSize > 0) {
        const double f = std::min(1.0, static_cast<double>(done) / static_cast<double>(fileSize));
        const int filled = static_cast<int>(f * 30);
        std::string bar(static_cast<std::size_t>(filled), '#');
        bar.resize(30, '.');
        std::snprintf(line, sizeof line, "\r%-24.24s [%s] %3d%%  stations written: %d",
                      what.c_str(), bar.c_str(), static_cast<int>(f * 100), stationsWritten);
    } else {
        std::snprintf(line, sizeof line, "\r%-24.24s %lld points read  stations written: %d",
                      what.c_str(), points, stationsWritten);
    }
    std::fputs(line, stderr);
    std::fflush(stderr);
}

void Progress::Finish() {
    if (drawn_) {
        std::fputc('\n', stderr);
        drawn_ = false;
    }
}

}  // namespace publish
