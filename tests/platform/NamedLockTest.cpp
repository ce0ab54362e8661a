#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <memory>
#include <thread>

#include "platform/NamedLock.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

using platform::NamedLock;
using testsupport::ScopedEnv;

namespace {

// A pipe whose ends are closed with the object.
struct Pipe {
    int fd[2] = {-1, -1};
    Pipe() { EXPECT_EQ(::pipe(fd), 0); }
    ~Pipe() {
        for (int f : fd) {
            if (f >= 0) {
                ::close(f);
            }
        }
    }
    void Send(char c) const { EXPECT_EQ(::write(fd[1], &c, 1), 1); }
    char Receive() const {
        char c = 0;
        return ::read(fd[0], &c, 1) == 1 ? c : 0;
    }
    bool Ready(int ms) const {
        pollfd p{fd[0], POLLIN, 0};
        return ::poll(&p, 1, ms) == 1;
    }
};

bool TryLock(std::u16string_view name) {
    NamedLock lock(name, NamedLock::Mode::Try);
    return lock.IsHeld();
}

int WaitForChild(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class NamedLockTest : public ::testing::Test {
  protected:
    testsupport::TempDir dir_;
    ScopedEnv runtime_{"XDG_RUNTIME_DIR", dir_.path().string()};
};

}  // namespace

TEST(NamedLockName, EscapedNamesStayApart) {
    // Names that differ only in characters that are escaped stay different.
    EXPECT_NE(NamedLock::FileSafeName(u"a/b"), NamedLock::FileSafeName(u"a\\b"));
    EXPECT_NE(NamedLock::FileSafeName(u"a/b"), NamedLock::FileSafeName(u"a%002fb"));
}

TEST_F(NamedLockTest, AnotherProcessIsRefusedOrWaitsUntilRelease) {
    const std::u16string name = u"/home/u/markup/station 1.xml";
    auto lock = std::make_unique<NamedLock>(name);
    ASSERT_TRUE(lock->IsHeld());
    Pipe events;
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        bool refused = false;
        {
            NamedLock busy(name, NamedLock::Mode::Try);
            refused = !busy.IsHeld() && busy.Error() == EWOULDBLOCK;
        }
        events.Send(refused && TryLock(u"Panora.Defaults.xml") ? 's' : 'f');
        NamedLock mine(name);  // waits
        events.Send(mine.IsHeld() ? 'g' : 'f');
        ::_exit(0);
    }
    ASSERT_EQ(events.Receive(), 's');
    EXPECT_FALSE(events.Ready(100));  // still waiting while the parent holds it
    lock.reset();
    EXPECT_EQ(events.Receive(), 'g');
    EXPECT_EQ(WaitForChild(pid), 0);
}

TEST_F(NamedLockTest, ReentrantForItsThreadExclusiveForOthers) {
    const std::u16string name = u"/data/st1/markup.xml";
    auto outer = std::make_unique<NamedLock>(name);
    ASSERT_TRUE(outer->IsHeld());
    {
        NamedLock inner(name, NamedLock::Mode::Try);
        EXPECT_TRUE(inner.IsHeld());
    }
    // Leaving the inner scope does not release the outer hold.
    bool other = true;
    std::thread([&] { other = TryLock(name); }).join();
    EXPECT_FALSE(other);
    outer.reset();
    std::thread([&] { other = TryLock(name); }).join();
    EXPECT_TRUE(other);
}

TEST_F(NamedLockTest, LongNamesAndUnusableFolders) {
    // Escaped names far longer than a file name, differing only at the end.
    const std::u16string stem = u"/" + std::u16string(250, u'd') + u"/" + std::u16string(150, u'e');
    NamedLock first(stem + u"1.xml");
    ASSERT_TRUE(first.IsHeld()) << first.Error();
    EXPECT_TRUE(TryLock(stem + u"2.xml"));

    // A runtime folder that is a file: the lock cannot be created.
    const auto file = dir_.Write("not-a-folder", "x");
    ScopedEnv runtime("XDG_RUNTIME_DIR", file.string());
    NamedLock broken(u"Panora.Defaults.xml");
    EXPECT_FALSE(broken.IsHeld());
    EXPECT_EQ(broken.Error(), ENOTDIR);
}
