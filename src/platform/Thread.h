#pragma once
// A thread that runs one function, with an explicit stack size and an
// optional lower scheduling priority. The loader of a station runs on one of
// these (6 MiB stack, below normal priority).
//
// The stack size is rounded up to whole pages and to the system minimum. The
// below-normal request raises the thread's own nice value by
// kBelowNormalNiceIncrement (best effort: it is skipped where not allowed).
// The object owns the thread: destroying it waits for the function to return.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace platform {

// Runs `work` on the calling thread and on count - 1 more (count below 1
// counts as 1) and returns when every one of them has returned.
void RunOnThreads(int count, const std::function<void()>& work);

// Raises the calling thread's nice value by `increment` (at most to 19);
// best effort, nothing happens where it is not allowed.
void LowerThisThreadPriority(int increment);

class Thread {
  public:
    static constexpr int kBelowNormalNiceIncrement = 5;

    struct Options {
        std::size_t stackSize = 0;  // 0: the system default
        bool belowNormalPriority = false;
        std::string name;  // shown by debuggers; at most 15 bytes are kept
    };

    Thread() = default;
    ~Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // False when a thread is already attached (joined or not) or the system
    // refuses to start one.
    bool Start(std::function<void()> function, const Options& options);
    bool Start(std::function<void()> function) { return Start(std::move(function), Options()); }

    // Whether a started thread has not been joined yet.
    bool Joinable() const { return started_; }
    // Whether the function has returned (the thread may still need joining).
    bool Finished() const;
    // Waits up to timeoutMs (negative: without limit) for the function to
    // return; true when it has, and the thread is then joined.
    bool WaitFor(std::int64_t timeoutMs);
    void Join();

  private:
    struct State;
    static void* Entry(void* state);

    std::shared_ptr<State> state_;
    unsigned long handle_ = 0;  // pthread_t
    bool started_ = false;
};

}  // namespace platform
