#pragma once
// Waiting for something another thread or process does: poll a condition
// until it holds or a deadline passes, instead of sleeping a fixed time.

#include <chrono>
#include <functional>
#include <thread>

namespace testsupport {

// Checks done() until it holds or `timeout` passes; between checks calls
// `between` (for example to run an event loop), or sleeps a millisecond.
// Returns whether done() held.
inline bool WaitUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds timeout = std::chrono::seconds(10),
                      const std::function<void()>& between = {}) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end) {
            return done();
        }
        if (between) {
            between();
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    return true;
}

}  // namespace testsupport
