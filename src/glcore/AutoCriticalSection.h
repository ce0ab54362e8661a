#pragma once
// Critical sections of the system's shared data: recursive (the owning thread
// may enter again), entered and left through AutoCriticalLock. The OpenGL
// context's section is also tried without waiting (TryEnter, or a lock made
// with std::try_to_lock) by the renderer, which skips a frame when it is busy.

#include <mutex>

namespace StraleLib {

class AutoCriticalSection {
  public:
    AutoCriticalSection() = default;
    AutoCriticalSection(const AutoCriticalSection&) = delete;
    AutoCriticalSection& operator=(const AutoCriticalSection&) = delete;

    void Enter();
    // True when entered (the caller then leaves it); never waits.
    bool TryEnter();
    void Leave();

    // Lockable names, so the section also works with the standard guards.
    void lock() { Enter(); }
    bool try_lock() { return TryEnter(); }
    void unlock() { Leave(); }

  private:
    std::recursive_mutex mutex_;
};

class AutoCriticalLock {
  public:
    explicit AutoCriticalLock(AutoCriticalSection& section);
    // Tries only; OwnsLock tells whether it got in.
    AutoCriticalLock(AutoCriticalSection& section, std::try_to_lock_t);
    ~AutoCriticalLock();
    AutoCriticalLock(const AutoCriticalLock&) = delete;
    AutoCriticalLock& operator=(const AutoCriticalLock&) = delete;

    bool OwnsLock() const { return owns_; }

  private:
    AutoCriticalSection& section_;
    bool owns_;
};

}  // namespace StraleLib
