#include "glcore/SX_OpenGLContext.h"

#include <gtest/gtest.h>

#include <future>
#include <thread>

#include "platform/Text.h"

using StraleLib::SX_OpenGLContext;

namespace {

// A one-shot signal between two threads.
struct Signal {
    std::promise<void> promise;
    void Set() { promise.set_value(); }
    void Wait() { promise.get_future().wait(); }
};

}  // namespace

// A failed creation leaves a context that every acquire refuses without
// keeping the section: another thread can still try it.
TEST(OpenGLContext, FailedCreationIsRefusedCleanly) {
    SX_OpenGLContext context;
    EXPECT_FALSE(context.Create(1 << 20, 1 << 20));
    EXPECT_FALSE(context.IsCreated());
    EXPECT_NE(platform::ToUtf8(context.GraphicsRecord())
                  .find("\tOpenGL context not created: framebuffer size 1048576 x 1048576"),
              std::string::npos);
    EXPECT_FALSE(context.Acquire());
    EXPECT_TRUE(context.IsReleased());
    // The section was left: a blocking acquire on another thread returns at once.
    bool otherGotIn = true;
    std::thread other([&] { otherGotIn = context.Acquire(); });
    other.join();
    EXPECT_FALSE(otherGotIn);
}

TEST(OpenGLContext, TryAcquireFailsWhileAnotherThreadHoldsIt) {
    SX_OpenGLContext context;
    ASSERT_TRUE(context.Create(8, 8));
    Signal held;
    Signal letGo;
    Signal gone;
    std::thread loader([&] {
        ASSERT_TRUE(context.Acquire());
        held.Set();
        letGo.Wait();
        context.Release();
        gone.Set();
    });
    held.Wait();
    EXPECT_FALSE(context.IsReleased());
    EXPECT_FALSE(context.TryAcquire()) << "busy: the frame is skipped";
    context.Release();  // not ours: must not free the loader's hold
    EXPECT_FALSE(context.IsReleased());
    EXPECT_FALSE(context.TryAcquire());
    letGo.Set();
    gone.Wait();
    loader.join();
    ASSERT_TRUE(context.TryAcquire());
    context.Release();
}
