#include <gtest/gtest.h>

#include <pthread.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "glcore/AutoCriticalSection.h"
#include "platform/Thread.h"

using platform::Thread;
using StraleLib::AutoCriticalLock;
using StraleLib::AutoCriticalSection;

namespace {

std::size_t CurrentStackSize() {
    pthread_attr_t attr;
    if (pthread_getattr_np(pthread_self(), &attr) != 0) {
        return 0;
    }
    std::size_t size = 0;
    pthread_attr_getstacksize(&attr, &size);
    pthread_attr_destroy(&attr);
    return size;
}

int CurrentNice() {
    errno = 0;
    return getpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)));
}

}  // namespace

TEST(Thread, RunsWithTheRequestedStackAndLowerPriority) {
    constexpr std::size_t kLoaderStack = 0x600000;  // 6 MiB
    std::size_t seenStack = 0;
    int seenNice = 0;
    const int callerNice = CurrentNice();
    char name[16] = {};
    {
        Thread thread;
        ASSERT_TRUE(thread.Start(
            [&] {
                seenStack = CurrentStackSize();
                seenNice = CurrentNice();
                pthread_getname_np(pthread_self(), name, sizeof name);
            },
            {kLoaderStack, true, "panora-loader-thread"}));
    }  // the destructor joins
    // At least the request: the C library may hand over a larger cached stack
    // of a thread that ended before.
    EXPECT_GE(seenStack, kLoaderStack);
    EXPECT_EQ(seenNice, std::min(callerNice + Thread::kBelowNormalNiceIncrement, 19));
    EXPECT_EQ(CurrentNice(), callerNice);  // only the new thread was lowered
    EXPECT_STREQ(name, "panora-loader-t");
}

TEST(AutoCriticalSection, RecursiveForTheOwnerExclusiveForOthers) {
    AutoCriticalSection section;
    {
        AutoCriticalLock outer(section);
        AutoCriticalLock inner(section);  // same thread: enters again
        EXPECT_TRUE(section.TryEnter());
        section.Leave();

        bool otherGotIn = true;
        std::thread([&] {
            AutoCriticalLock attempt(section, std::try_to_lock);
            otherGotIn = attempt.OwnsLock();
        }).join();
        EXPECT_FALSE(otherGotIn);
    }
    // Fully left: another thread gets in.
    bool otherGotIn = false;
    std::thread([&] {
        AutoCriticalLock attempt(section, std::try_to_lock);
        otherGotIn = attempt.OwnsLock();
    }).join();
    EXPECT_TRUE(otherGotIn);
}
