#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "platform/MessageLoop.h"

using namespace platform;

namespace {

// Records what it receives as "<what>@<virtual ms>".
class RecordingWindow : public Window {
  public:
    RecordingWindow(MessageLoop& loop, std::string name, std::vector<std::string>& log)
        : Window(loop), name_(std::move(name)), log_(log) {}

    std::function<void(Message&)> onTimer;
    std::function<void()> onPaint;
    int paints = 0;  // counted by the paint handler

  protected:
    void OnMessage(Message& m) override {
        const std::string at = "@" + std::to_string(Loop() ? Loop()->GetClock().NowMs() : -1);
        switch (m.id) {
            case kMsgTimer:
                log_.push_back(name_ + ".t" + std::to_string(m.timerId) + at);
                if (onTimer) {
                    onTimer(m);
                }
                break;
            case kMsgPaint:
                ++paints;
                log_.push_back(name_ + ".paint" + at);
                if (onPaint) {
                    onPaint();
                }
                break;
            case kMsgDestroy:
                log_.push_back(name_ + ".destroy");
                break;
            case kMsgCaptureChanged:
                log_.push_back(name_ + ".lostcapture");
                break;
            default:
                log_.push_back(name_ + ".m" + std::to_string(m.id - kMsgUser) + ":" +
                               std::to_string(m.wParam));
                m.result = static_cast<std::int64_t>(m.wParam) * 2;
                break;
        }
    }

  private:
    std::string name_;
    std::vector<std::string>& log_;
};

using Log = std::vector<std::string>;

}  // namespace

TEST(MessageLoop, TimersFireInDueOrderAndCatchUpOnTheVirtualClock) {
    VirtualClock clock(1000);
    MessageLoop loop(clock);
    Log log;
    RecordingWindow a(loop, "a", log), b(loop, "b", log);

    ASSERT_TRUE(a.SetTimer(1004, 500));
    ASSERT_TRUE(b.SetTimer(1002, 300));
    ASSERT_TRUE(a.SetTimer(7, 300));  // same due times as b's timer, set later
    clock.Advance(299);
    EXPECT_TRUE(log.empty());
    clock.Advance(1);
    EXPECT_EQ(log, (Log{"b.t1002@1300", "a.t7@1300"}));
    log.clear();
    // One step of 1000 ms: every period that fits fires, in time order.
    clock.Advance(1000);
    EXPECT_EQ(log, (Log{"a.t1004@1500", "b.t1002@1600", "a.t7@1600", "b.t1002@1900", "a.t7@1900",
                        "a.t1004@2000", "b.t1002@2200", "a.t7@2200"}));
    log.clear();

    // Replacing a timer restarts it with the new period.
    clock.Advance(100);  // 2400: nothing due (b at 2500, a.7 at 2500, a.1004 at 2500)
    EXPECT_TRUE(log.empty());
    ASSERT_TRUE(b.SetTimer(1002, 50));
    EXPECT_TRUE(a.KillTimer(7));
    EXPECT_FALSE(a.KillTimer(7));
    EXPECT_FALSE(loop.HasTimer(a.Id(), 7));
    clock.Advance(120);
    // Equal due times: the timer set first (a's) goes first.
    EXPECT_EQ(log, (Log{"b.t1002@2450", "a.t1004@2500", "b.t1002@2500"}));
    // (A 0 ms timer that re-arms itself: the control's spin test.)
}

TEST(MessageLoop, PaintsCoalesceAfterTheQueueIsDrained) {
    VirtualClock clock;
    MessageLoop loop(clock);
    Log log;
    RecordingWindow a(loop, "a", log), b(loop, "b", log);

    b.Invalidate();
    a.Invalidate();
    b.Invalidate();
    a.Post(Message::User(1, 10));
    a.Post(Message::User(2, 20));
    EXPECT_TRUE(loop.IsInvalid(a.Id()));
    EXPECT_EQ(loop.ProcessPending(), 4u);
    EXPECT_EQ(log, (Log{"a.m1:10", "a.m2:20", "b.paint@0", "a.paint@0"}));
    EXPECT_FALSE(loop.IsInvalid(a.Id()));
    EXPECT_EQ(loop.ProcessPending(), 0u);

    // Timer ticks that invalidate give one paint per pass, after the ticks.
    log.clear();
    a.onTimer = [&](Message&) { a.Invalidate(); };
    a.SetTimer(1, 10);
    a.SetTimer(2, 10);
    clock.Advance(10);
    EXPECT_EQ(log, (Log{"a.t1@10", "a.t2@10", "a.paint@10"}));

    // A paint that invalidates again is painted in the next pass, not forever.
    log.clear();
    a.KillTimer(1);
    a.KillTimer(2);
    a.onPaint = [&] { a.Invalidate(); };
    a.Invalidate();
    EXPECT_EQ(loop.ProcessPending(), 1u);
    EXPECT_EQ(loop.ProcessPending(), 1u);
    EXPECT_EQ(a.paints, 4);
    a.onPaint = nullptr;

    // UpdateWindow paints at once, and only an invalidated window.
    loop.ProcessPending();
    EXPECT_FALSE(loop.UpdateWindow(b.Id()));
    b.Invalidate();
    EXPECT_TRUE(loop.UpdateWindow(b.Id()));
    EXPECT_EQ(loop.ProcessPending(), 0u);
}

TEST(MessageLoop, ADestroyedWindowReceivesNothingMore) {
    VirtualClock clock;
    MessageLoop loop(clock);
    Log log;
    RecordingWindow a(loop, "a", log), b(loop, "b", log);
    const WindowId id = a.Id();

    a.SetTimer(1004, 500);
    a.Post(Message::User(1));
    a.Invalidate();
    ASSERT_TRUE(loop.SetCapture(id));
    // b's handler destroys a while a's messages are still queued.
    b.Post(Message::User(9));
    loop.PostTask([&] { a.Destroy(); });
    Message m = Message::User(5, 21);
    EXPECT_TRUE(b.Send(m));
    EXPECT_EQ(m.result, 42);
    log.clear();

    // Destroy runs inside the queue: a's message posted before it still arrives.
    loop.ProcessPending();
    EXPECT_EQ(log, (Log{"a.m1:0", "b.m9:0", "a.destroy"}));
    EXPECT_FALSE(a.IsAlive());
    EXPECT_EQ(loop.Find(id), nullptr);
    EXPECT_EQ(loop.Capture(), 0u);
    log.clear();
    clock.Advance(5000);
    EXPECT_FALSE(loop.Post(id, Message::User(1)));
    EXPECT_FALSE(loop.Invalidate(id));
    EXPECT_FALSE(a.SetTimer(1, 10));
    a.Destroy();  // a second Destroy does nothing
    loop.ProcessPending();
    EXPECT_TRUE(log.empty());

    // A window going out of scope drops its timers too.
    {
        RecordingWindow c(loop, "c", log);
        c.SetTimer(1, 10);
        c.Post(Message::User(3));
    }
    clock.Advance(100);
    EXPECT_TRUE(log.empty());

    // Capture moves between windows with notice to the loser.
    RecordingWindow d(loop, "d", log);
    loop.SetCapture(b.Id());
    loop.SetCapture(d.Id());
    loop.ReleaseCapture();
    EXPECT_EQ(log, (Log{"b.lostcapture", "d.lostcapture"}));
}

TEST(MessageLoop, PostsFromOtherThreadsAreHandledOnTheLoopThread) {
    MessageLoop loop;  // real clock
    Log log;
    RecordingWindow w(loop, "w", log);
    const std::thread::id loopThread = std::this_thread::get_id();
    std::atomic<int> tasksOnLoopThread{0};
    std::atomic<bool> wrongThread{false};

    constexpr int kPosts = 200;
    std::thread poster([&] {
        for (int i = 0; i < kPosts; ++i) {
            EXPECT_TRUE(loop.Post(w.Id(), Message::User(0, i)));
            loop.PostTask([&] {
                if (std::this_thread::get_id() == loopThread) {
                    ++tasksOnLoopThread;
                } else {
                    wrongThread = true;
                }
            });
        }
        // Handling from this thread is refused.
        Message m = Message::User(0);
        EXPECT_FALSE(loop.Send(w.Id(), m));
        EXPECT_EQ(loop.ProcessPending(), 0u);
    });
    EXPECT_TRUE(loop.RunUntil([&] { return tasksOnLoopThread == kPosts; }, 10000));
    poster.join();
    EXPECT_FALSE(wrongThread);
    ASSERT_EQ(log.size(), static_cast<std::size_t>(kPosts));
    for (int i = 0; i < kPosts; ++i) {
        EXPECT_EQ(log[i], "w.m0:" + std::to_string(i));  // in posting order
    }

    // Quit from another thread ends Run with its code; RunUntil times out.
    std::thread quitter([&] { loop.Quit(3); });
    EXPECT_EQ(loop.Run(), 3);
    quitter.join();
    EXPECT_FALSE(loop.QuitRequested());
    EXPECT_FALSE(loop.RunUntil([] { return false; }, 20));
}

TEST(MessageLoop, WindowsOutliveTheirLoopSafely) {
    Log log;
    auto loop = std::make_unique<MessageLoop>();
    RecordingWindow w(*loop, "w", log);
    loop.reset();
    EXPECT_FALSE(w.IsAlive());
    EXPECT_FALSE(w.SetTimer(1, 1));
    EXPECT_FALSE(w.Post(Message::User(1)));
    w.Destroy();
    EXPECT_TRUE(log.empty());
}
