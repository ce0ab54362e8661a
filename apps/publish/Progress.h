#pragma once
// The progress bar of `panora publish` on standard error: per scan, how much
// of its file has been read and how many stations are written. Drawn only
// when standard error is a terminal; at most ten times a second.

#include <chrono>
#include <cstdint>
#include <string>

namespace publish {

class Progress {
  public:
    explicit Progress(bool enabled);
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    // fileSize 0: unknown (a pipe), the bar then counts points.
    void Update(const std::string& what, std::uint64_t done, std::uint64_t fileSize,
                int stationsWritten, long long points);
    // Ends the bar's line.
    void Finish();

  private:
    bool enabled_;
    bool drawn_ = false;
    std::chrono::steady_clock::time_point last_{};
};

}  // namespace publish
