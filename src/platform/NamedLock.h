#pragma once
// A lock shared by every process of the user that names it the same way, held
// for the lifetime of the object (the stand-in for a named system mutex).
//
// The lock is an flock() on a lock file in the folder LockFolder() returns.
// The file is named after the lock with every character outside
// [A-Za-z0-9._-] written as "%" and four hexadecimal digits of its UTF-16
// code unit, plus ".lock"; a name too long for one file name is split at
// fixed positions into sub-folders ending in ".d". Different names thus
// never share a file, and a full file path is a valid name. Lock files are
// left in place.
//
// Like a system mutex, the lock is re-entrant for the thread that holds it;
// other threads of the same process and other processes wait. Waiting has no
// time-out. When the lock file cannot be created or locked, Error() gives the
// system error code and the object holds nothing (callers go on unlocked).

#include <string>
#include <string_view>

namespace platform {

class NamedLock {
  public:
    enum class Mode {
        Wait,  // block until the lock is held
        Try,   // take it only if it is free now
    };

    explicit NamedLock(std::u16string_view name, Mode mode = Mode::Wait);
    ~NamedLock();
    NamedLock(const NamedLock&) = delete;
    NamedLock& operator=(const NamedLock&) = delete;

    // True when this object holds the lock.
    bool IsHeld() const { return held_; }
    // 0 when held; EWOULDBLOCK when a Try found it taken; otherwise the
    // system error that kept the lock from being created.
    int Error() const { return error_; }

    // The file-name form of a lock name (without folder and suffix).
    static std::string FileSafeName(std::u16string_view name);
    // $XDG_RUNTIME_DIR (else the temp folder) + "/panora-locks-<uid>".
    static std::u16string LockFolder();

  private:
    std::u16string name_;
    bool held_ = false;
    int error_ = 0;
};

}  // namespace platform
