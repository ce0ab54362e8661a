#include "platform/Clock.h"

#include <algorithm>
#include <chrono>

namespace platform {

std::int64_t RealClock::NowMs() const {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

RealClock& RealClock::Instance() {
    static RealClock clock;
    return clock;
}

void VirtualClock::AddListener(ClockListener* listener) {
    std::lock_guard lock(mutex_);
    if (listener != nullptr &&
        std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end()) {
        listeners_.push_back(listener);
    }
}

void VirtualClock::RemoveListener(ClockListener* listener) {
    std::lock_guard lock(mutex_);
    std::erase(listeners_, listener);
}

bool VirtualClock::IsListening(ClockListener* listener) const {
    std::lock_guard lock(mutex_);
    return std::find(listeners_.begin(), listeners_.end(), listener) != listeners_.end();
}

std::vector<ClockListener*> VirtualClock::Listeners() const {
    std::lock_guard lock(mutex_);
    return listeners_;
}

void VirtualClock::NotifyAll() {
    // A listener may go away (or new ones come) while another handles its
    // work, so each is checked again just before it is called.
    for (ClockListener* listener : Listeners()) {
        if (IsListening(listener)) {
            listener->OnClockAdvanced();
        }
    }
}

void VirtualClock::Advance(std::int64_t ms) {
    const std::int64_t target = now_.load() + std::max<std::int64_t>(ms, 0);
    std::optional<std::int64_t> handledAt;
    for (;;) {
        std::optional<std::int64_t> next;
        for (ClockListener* listener : Listeners()) {
            if (IsListening(listener)) {
                const std::optional<std::int64_t> due = listener->NextDueMs();
                if (due && (!next || *due < *next)) {
                    next = due;
                }
            }
        }
        if (!next || *next > target) {
            break;
        }
        const std::int64_t at = std::max(*next, now_.load());
        if (handledAt == at) {
            break;  // a listener that cannot make progress here (not on its thread)
        }
        now_ = at;
        NotifyAll();
        handledAt = at;
    }
    now_ = target;
    NotifyAll();
}

}  // namespace platform
