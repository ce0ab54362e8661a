#pragma once
// The window thread: windows as objects, their messages, timers and paints.
//
// A MessageLoop belongs to the thread that creates it (the loop's thread).
// Windows are created, destroyed and sent messages on that thread, and every
// message, timer tick, paint and posted task is handled there, inside
// ProcessPending, RunUntil or Run. Post, PostTask, Invalidate, SetTimer,
// KillTimer and Quit may be called from any thread; they wake a waiting loop.
//
// One pass of ProcessPending:
//   1. posted messages and tasks, first in first out, including those posted
//      while the pass runs;
//   2. when none is left: the earliest due timer (equal due times: the timer
//      set first), then back to 1;
//   3. when nothing is posted and no timer is due: one kMsgPaint for the
//      first invalidated window (windows in order of invalidation), then back
//      to 1.
// Within one pass each timer fires at most once and each window is painted at
// most once; a window invalidated again by its own paint is painted in the
// next pass.
//
// Timers are periodic until killed (a one-shot timer is one whose handler
// kills it). SetTimer(window, id, period) starts or replaces the window's
// timer of that id: the first tick is due `period` ms later, the next ones
// every max(period, 1) ms after the previous due time, so a 0 ms timer ticks
// at the next pass and then every millisecond. A loop that falls behind real
// time fires a late timer once and drops the ticks it missed; on a
// VirtualClock nothing is missed (see Clock.h).
//
// A destroyed window gets nothing more: Destroy sends it kMsgDestroy, then
// drops its timers, its posted messages, its pending paint and the mouse
// capture; later posts to its id are refused.

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_map>
#include <vector>

#include "platform/Clock.h"
#include "platform/MessageLoopMessages.h"

namespace platform {

using WindowId = std::uint32_t;  // 0: no window
class MessageLoop;

class Window {
  public:
    explicit Window(MessageLoop& loop);
    // Unregisters without kMsgDestroy (a derived class is already gone);
    // call Destroy first for an orderly end.
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    WindowId Id() const { return id_; }
    // Null once the window is destroyed or the loop has gone.
    MessageLoop* Loop() const { return loop_; }
    bool IsAlive() const { return loop_ != nullptr; }

    // Sends kMsgDestroy (once), then unregisters the window. Loop thread only.
    void Destroy();

    bool SetTimer(std::uint32_t timerId, std::uint32_t periodMs);
    bool KillTimer(std::uint32_t timerId);
    bool Invalidate();
    bool Post(const Message& message);
    bool Send(Message& message);

  protected:
    virtual void OnMessage(Message& message);

  private:
    friend class MessageLoop;

    MessageLoop* loop_ = nullptr;
    WindowId id_ = 0;
    bool destroying_ = false;
};

class MessageLoop final : private ClockListener {
  public:
    explicit MessageLoop(Clock& clock = RealClock::Instance());
    ~MessageLoop() override;
    MessageLoop(const MessageLoop&) = delete;
    MessageLoop& operator=(const MessageLoop&) = delete;

    Clock& GetClock() const { return clock_; }
    bool IsLoopThread() const { return std::this_thread::get_id() == thread_; }

    // Any thread. False when there is no such window.
    bool Post(WindowId window, const Message& message);
    void PostTask(std::function<void()> task);
    bool Invalidate(WindowId window);
    bool SetTimer(WindowId window, std::uint32_t timerId, std::uint32_t periodMs);
    // False when the window has no timer of that id.
    bool KillTimer(WindowId window, std::uint32_t timerId);
    bool HasTimer(WindowId window, std::uint32_t timerId) const;
    bool IsInvalid(WindowId window) const;
    // Makes Run return exitCode and RunUntil return false.
    void Quit(int exitCode = 0);
    bool QuitRequested() const;

    // Loop thread only (false elsewhere). Send hands the message to the
    // window at once; the handler's answer is message.result.
    bool Send(WindowId window, Message& message);
    // Paints the window now when it is invalidated.
    bool UpdateWindow(WindowId window);
    // Mouse capture: which window gets the mouse while a button is held. The
    // window losing it gets kMsgCaptureChanged.
    bool SetCapture(WindowId window);
    void ReleaseCapture();
    WindowId Capture() const;
    Window* Find(WindowId window) const;

    // Handles everything that is pending now (see the pass above); returns
    // how many messages, tasks, ticks and paints were handled.
    std::size_t ProcessPending();
    // Handles messages until done() holds (true), or the timeout passes or
    // Quit is called (false). done is checked after each pass and at least
    // every 10 ms; a negative timeout waits without limit. The timeout is in
    // real time whatever the clock.
    bool RunUntil(const std::function<bool()>& done, std::int64_t timeoutMs);
    // Handles messages until Quit; returns its exit code and clears the
    // request.
    int Run();

  private:
    friend class Window;

    struct Posted {
        WindowId window = 0;  // 0: a task
        Message message;
        std::function<void()> task;
    };
    struct Timer {
        WindowId window = 0;
        std::uint32_t id = 0;
        std::uint32_t period = 0;
        std::int64_t due = 0;
        std::uint64_t seq = 0;
    };

    WindowId Register(Window* window);
    void Unregister(WindowId window);
    bool Deliver(WindowId window, Message& message);
    bool PopPosted(Posted& item);
    bool PopDueTimer(std::vector<std::uint64_t>& fired, Timer& timer);
    bool PopInvalid(const std::vector<WindowId>& painted, WindowId& window);
    void Wake();

    std::optional<std::int64_t> NextDueMs() const override;
    void OnClockAdvanced() override;

    Clock& clock_;
    const std::thread::id thread_;

    mutable std::mutex mutex_;
    std::condition_variable wakeup_;
    bool woken_ = false;
    std::unordered_map<WindowId, Window*> windows_;
    WindowId nextWindowId_ = 1;
    std::deque<Posted> posted_;
    std::vector<Timer> timers_;
    std::uint64_t nextTimerSeq_ = 1;
    std::vector<WindowId> invalid_;
    WindowId capture_ = 0;
    bool quit_ = false;
    int exitCode_ = 0;
};

}  // namespace platform
