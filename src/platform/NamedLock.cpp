#include "platform/NamedLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <mutex>
#include <thread>

#include "platform/Folders.h"
#include "platform/Path.h"
#include "platform/Text.h"

namespace platform {

namespace {

// Longest piece of an escaped name used as one file or folder name.
constexpr std::size_t kChunk = 200;

// The locks this process holds, for re-entry by the owning thread. The
// process id tells a forked child, which inherits the table but not the
// holds, from its parent.
struct Held {
    pid_t process = 0;
    std::thread::id owner;
    int fd = -1;
    int count = 0;
};

std::mutex& TableMutex() {
    static std::mutex m;
    return m;
}

std::map<std::u16string, Held>& Table() {
    static std::map<std::u16string, Held> table;
    return table;
}

bool IsSafe(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
           c == u'.' || c == u'_' || c == u'-';
}

// Opens (creating) the lock file of the name; -1 with errno set on failure.
int OpenLockFile(std::u16string_view name) {
    const std::string folder = ToUtf8(NamedLock::LockFolder());
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        return -1;
    }
    const std::string safe = NamedLock::FileSafeName(name);
    std::string path = folder;
    for (std::size_t at = 0; at + kChunk < safe.size(); at += kChunk) {
        path += '/';
        path.append(safe, at, kChunk);
        path += ".d";  // never the name of a lock file, which ends in ".lock"
        if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
            return -1;
        }
    }
    path += '/';
    path.append(safe, safe.empty() ? 0 : (safe.size() - 1) / kChunk * kChunk);
    path += ".lock";
    return ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
}

int LockFile(int fd, bool wait) {
    for (;;) {
        if (::flock(fd, LOCK_EX | (wait ? 0 : LOCK_NB)) == 0) {
            return 0;
        }
        if (errno != EINTR) {
            return errno;
        }
    }
}

}  // namespace

NamedLock::NamedLock(std::u16string_view name, Mode mode) : name_(name) {
    const auto self = std::this_thread::get_id();
    {
        std::lock_guard guard(TableMutex());
        auto it = Table().find(name_);
        if (it != Table().end() && it->second.owner == self && it->second.process == ::getpid()) {
            ++it->second.count;
            held_ = true;
            return;
        }
    }
    const int fd = OpenLockFile(name_);
    if (fd < 0) {
        error_ = errno;
        return;
    }
    if (const int err = LockFile(fd, mode == Mode::Wait); err != 0) {
        error_ = err == EAGAIN ? EWOULDBLOCK : err;
        ::close(fd);
        return;
    }
    // Holding the file lock means no other thread of this process holds the
    // name: a holder leaves the table before it unlocks.
    std::lock_guard guard(TableMutex());
    Table()[name_] = Held{::getpid(), self, fd, 1};
    held_ = true;
}

NamedLock::~NamedLock() {
    if (!held_) {
        return;
    }
    int fd = -1;
    {
        std::lock_guard guard(TableMutex());
        auto it = Table().find(name_);
        if (it == Table().end() || --it->second.count > 0) {
            return;
        }
        fd = it->second.fd;
        Table().erase(it);
    }
    ::flock(fd, LOCK_UN);
    ::close(fd);
}

std::string NamedLock::FileSafeName(std::u16string_view name) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(name.size());
    for (const char16_t c : name) {
        if (IsSafe(c)) {
            out.push_back(static_cast<char>(c));
            continue;
        }
        out.push_back('%');
        for (int shift = 12; shift >= 0; shift -= 4) {
            out.push_back(kHex[(c >> shift) & 0xF]);
        }
    }
    return out;
}

std::u16string NamedLock::LockFolder() {
    return Join(RuntimeFolder(), u"panora-locks-" + FromUtf8(std::to_string(::getuid())));
}

}  // namespace platform
