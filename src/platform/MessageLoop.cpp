#include "platform/MessageLoop.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace platform {

// Window ----------------------------------------------------------------------

Window::Window(MessageLoop& loop) : loop_(&loop), id_(loop.Register(this)) {}

Window::~Window() {
    if (loop_ != nullptr) {
        loop_->Unregister(id_);
    }
}

void Window::Destroy() {
    if (loop_ == nullptr || destroying_ || !loop_->IsLoopThread()) {
        return;
    }
    destroying_ = true;
    Message message = Message::Of(kMsgDestroy);
    OnMessage(message);
    if (loop_ != nullptr) {
        loop_->Unregister(id_);
        loop_ = nullptr;
    }
}

bool Window::SetTimer(std::uint32_t timerId, std::uint32_t periodMs) {
    return loop_ != nullptr && loop_->SetTimer(id_, timerId, periodMs);
}

bool Window::KillTimer(std::uint32_t timerId) {
    return loop_ != nullptr && loop_->KillTimer(id_, timerId);
}

bool Window::Invalidate() {
    return loop_ != nullptr && loop_->Invalidate(id_);
}

bool Window::Post(const Message& message) {
    return loop_ != nullptr && loop_->Post(id_, message);
}

bool Window::Send(Message& message) {
    return loop_ != nullptr && loop_->Send(id_, message);
}

void Window::OnMessage(Message&) {}

// MessageLoop -----------------------------------------------------------------

MessageLoop::MessageLoop(Clock& clock) : clock_(clock), thread_(std::this_thread::get_id()) {
    clock_.AddListener(this);
}

MessageLoop::~MessageLoop() {
    clock_.RemoveListener(this);
    std::lock_guard lock(mutex_);
    for (auto& [id, window] : windows_) {
        window->loop_ = nullptr;
    }
}

WindowId MessageLoop::Register(Window* window) {
    std::lock_guard lock(mutex_);
    const WindowId id = nextWindowId_++;
    windows_[id] = window;
    return id;
}

void MessageLoop::Unregister(WindowId window) {
    // The window is gone: it is not told that it lost the capture.
    std::lock_guard lock(mutex_);
    windows_.erase(window);
    std::erase_if(posted_, [window](const Posted& p) { return p.window == window; });
    std::erase_if(timers_, [window](const Timer& t) { return t.window == window; });
    std::erase(invalid_, window);
    if (capture_ == window) {
        capture_ = 0;
    }
}

Window* MessageLoop::Find(WindowId window) const {
    std::lock_guard lock(mutex_);
    const auto it = windows_.find(window);
    return it != windows_.end() ? it->second : nullptr;
}

void MessageLoop::Wake() {
    // Called with mutex_ held.
    woken_ = true;
    wakeup_.notify_all();
}

bool MessageLoop::Post(WindowId window, const Message& message) {
    std::lock_guard lock(mutex_);
    if (windows_.find(window) == windows_.end()) {
        return false;
    }
    posted_.push_back(Posted{window, message, {}});
    Wake();
    return true;
}

void MessageLoop::PostTask(std::function<void()> task) {
    if (!task) {
        return;
    }
    std::lock_guard lock(mutex_);
    posted_.push_back(Posted{0, Message(), std::move(task)});
    Wake();
}

bool MessageLoop::Invalidate(WindowId window) {
    std::lock_guard lock(mutex_);
    if (windows_.find(window) == windows_.end()) {
        return false;
    }
    if (std::find(invalid_.begin(), invalid_.end(), window) == invalid_.end()) {
        invalid_.push_back(window);
    }
    Wake();
    return true;
}

bool MessageLoop::IsInvalid(WindowId window) const {
    std::lock_guard lock(mutex_);
    return std::find(invalid_.begin(), invalid_.end(), window) != invalid_.end();
}

bool MessageLoop::SetTimer(WindowId window, std::uint32_t timerId, std::uint32_t periodMs) {
    std::lock_guard lock(mutex_);
    if (windows_.find(window) == windows_.end()) {
        return false;
    }
    std::erase_if(timers_, [&](const Timer& t) { return t.window == window && t.id == timerId; });
    timers_.push_back(Timer{window, timerId, periodMs, clock_.NowMs() + periodMs, nextTimerSeq_++});
    Wake();
    return true;
}

bool MessageLoop::KillTimer(WindowId window, std::uint32_t timerId) {
    std::lock_guard lock(mutex_);
    return std::erase_if(timers_,
                         [&](const Timer& t) { return t.window == window && t.id == timerId; }) > 0;
}

bool MessageLoop::HasTimer(WindowId window, std::uint32_t timerId) const {
    std::lock_guard lock(mutex_);
    return std::any_of(timers_.begin(), timers_.end(),
                       [&](const Timer& t) { return t.window == window && t.id == timerId; });
}

void MessageLoop::Quit(int exitCode) {
    std::lock_guard lock(mutex_);
    quit_ = true;
    exitCode_ = exitCode;
    Wake();
}

bool MessageLoop::QuitRequested() const {
    std::lock_guard lock(mutex_);
    return quit_;
}

bool MessageLoop::Deliver(WindowId window, Message& message) {
    Window* target = Find(window);
    if (target == nullptr) {
        return false;
    }
    target->OnMessage(message);
    return true;
}

bool MessageLoop::Send(WindowId window, Message& message) {
    return IsLoopThread() && Deliver(window, message);
}

bool MessageLoop::UpdateWindow(WindowId window) {
    if (!IsLoopThread()) {
        return false;
    }
    {
        std::lock_guard lock(mutex_);
        const auto it = std::find(invalid_.begin(), invalid_.end(), window);
        if (it == invalid_.end()) {
            return false;
        }
        invalid_.erase(it);
    }
    Message paint = Message::Of(kMsgPaint);
    return Deliver(window, paint);
}

bool MessageLoop::SetCapture(WindowId window) {
    if (!IsLoopThread()) {
        return false;
    }
    WindowId previous = 0;
    {
        std::lock_guard lock(mutex_);
        if (windows_.find(window) == windows_.end()) {
            return false;
        }
        previous = std::exchange(capture_, window);
    }
    if (previous != 0 && previous != window) {
        Message lost = Message::Of(kMsgCaptureChanged);
        Deliver(previous, lost);
    }
    return true;
}

void MessageLoop::ReleaseCapture() {
    if (!IsLoopThread()) {
        return;
    }
    WindowId previous = 0;
    {
        std::lock_guard lock(mutex_);
        previous = std::exchange(capture_, 0);
    }
    if (previous != 0) {
        Message lost = Message::Of(kMsgCaptureChanged);
        Deliver(previous, lost);
    }
}

WindowId MessageLoop::Capture() const {
    std::lock_guard lock(mutex_);
    return capture_;
}

bool MessageLoop::PopPosted(Posted& item) {
    std::lock_guard lock(mutex_);
    if (posted_.empty()) {
        return false;
    }
    item = std::move(posted_.front());
    posted_.pop_front();
    return true;
}

bool MessageLoop::PopDueTimer(std::vector<std::uint64_t>& fired, Timer& timer) {
    std::lock_guard lock(mutex_);
    const std::int64_t now = clock_.NowMs();
    Timer* best = nullptr;
    for (Timer& t : timers_) {
        if (t.due > now || std::find(fired.begin(), fired.end(), t.seq) != fired.end()) {
            continue;
        }
        if (best == nullptr || t.due < best->due || (t.due == best->due && t.seq < best->seq)) {
            best = &t;
        }
    }
    if (best == nullptr) {
        return false;
    }
    fired.push_back(best->seq);
    timer = *best;
    const std::int64_t period = std::max<std::int64_t>(best->period, 1);
    std::int64_t next = best->due + period;
    if (next <= now) {
        next += ((now - next) / period + 1) * period;
    }
    best->due = next;
    return true;
}

bool MessageLoop::PopInvalid(const std::vector<WindowId>& painted, WindowId& window) {
    std::lock_guard lock(mutex_);
    for (auto it = invalid_.begin(); it != invalid_.end(); ++it) {
        if (std::find(painted.begin(), painted.end(), *it) == painted.end()) {
            window = *it;
            invalid_.erase(it);
            return true;
        }
    }
    return false;
}

std::size_t MessageLoop::ProcessPending() {
    if (!IsLoopThread()) {
        return 0;
    }
    std::size_t handled = 0;
    std::vector<std::uint64_t> fired;
    std::vector<WindowId> painted;
    for (;;) {
        Posted item;
        if (PopPosted(item)) {
            if (item.task) {
                item.task();
            } else {
                Deliver(item.window, item.message);
            }
            ++handled;
            continue;
        }
        Timer timer;
        if (PopDueTimer(fired, timer)) {
            Message tick = Message::Timer(timer.id);
            Deliver(timer.window, tick);
            ++handled;
            continue;
        }
        WindowId window = 0;
        if (PopInvalid(painted, window)) {
            painted.push_back(window);
            Message paint = Message::Of(kMsgPaint);
            Deliver(window, paint);
            ++handled;
            continue;
        }
        break;
    }
    return handled;
}

bool MessageLoop::RunUntil(const std::function<bool()>& done, std::int64_t timeoutMs) {
    using namespace std::chrono;
    if (!IsLoopThread()) {
        return false;
    }
    const auto start = steady_clock::now();
    const auto deadline = start + milliseconds(std::max<std::int64_t>(timeoutMs, 0));
    for (;;) {
        ProcessPending();
        if (done && done()) {
            return true;
        }
        std::unique_lock lock(mutex_);
        if (quit_) {
            return false;
        }
        const auto now = steady_clock::now();
        if (timeoutMs >= 0 && now >= deadline) {
            return false;
        }
        milliseconds wait = done ? milliseconds(10) : milliseconds(1000);
        if (timeoutMs >= 0) {
            wait = std::min(wait, duration_cast<milliseconds>(deadline - now) + milliseconds(1));
        }
        if (clock_.RunsByItself() && !timers_.empty()) {
            std::int64_t due = timers_.front().due;
            for (const Timer& t : timers_) {
                due = std::min(due, t.due);
            }
            wait = std::min(wait, milliseconds(std::max<std::int64_t>(due - clock_.NowMs(), 0)));
        }
        if (!posted_.empty() || !invalid_.empty()) {
            continue;
        }
        wakeup_.wait_for(lock, wait, [this] { return woken_; });
        woken_ = false;
    }
}

int MessageLoop::Run() {
    RunUntil(nullptr, -1);
    std::lock_guard lock(mutex_);
    quit_ = false;
    return exitCode_;
}

std::optional<std::int64_t> MessageLoop::NextDueMs() const {
    std::lock_guard lock(mutex_);
    std::optional<std::int64_t> next;
    for (const Timer& t : timers_) {
        if (!next || t.due < *next) {
            next = t.due;
        }
    }
    return next;
}

void MessageLoop::OnClockAdvanced() {
    if (IsLoopThread()) {
        ProcessPending();
    } else {
        std::lock_guard lock(mutex_);
        Wake();
    }
}

}  // namespace platform
