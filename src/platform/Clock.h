#pragma once
// Time for the window thread's timers, in milliseconds.
//
// RealClock follows the monotonic system clock. VirtualClock stands still
// until Advance(ms) moves it: Advance walks forward to each moment at which a
// listening message loop has a timer due, in due order, lets the loop handle
// what is due there (so a periodic timer fires once for every period that
// fits in the step), and ends at the requested time with a final pass of
// every loop. Message loops register themselves as listeners; Advance is
// called on the loops' thread (a loop on another thread is only woken).

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

namespace platform {

class ClockListener {
  public:
    virtual ~ClockListener() = default;
    // The earliest time at which the listener has work (a timer due), if any.
    virtual std::optional<std::int64_t> NextDueMs() const = 0;
    // The clock has moved; handle whatever is due now.
    virtual void OnClockAdvanced() = 0;
};

class Clock {
  public:
    virtual ~Clock() = default;
    virtual std::int64_t NowMs() const = 0;
    // Whether time passes while nobody calls the clock (a loop waiting for its
    // next timer can simply sleep).
    virtual bool RunsByItself() const = 0;
    virtual void AddListener(ClockListener*) {}
    virtual void RemoveListener(ClockListener*) {}
};

class RealClock final : public Clock {
  public:
    std::int64_t NowMs() const override;
    bool RunsByItself() const override { return true; }
    // One clock for every host on real time.
    static RealClock& Instance();
};

class VirtualClock final : public Clock {
  public:
    explicit VirtualClock(std::int64_t startMs = 0) : now_(startMs) {}

    std::int64_t NowMs() const override { return now_.load(); }
    bool RunsByItself() const override { return false; }
    void AddListener(ClockListener* listener) override;
    void RemoveListener(ClockListener* listener) override;

    // Moves the clock forward by ms (negative counts as 0), firing what falls
    // due on the way. Advance(0) gives due work a pass without moving.
    void Advance(std::int64_t ms);

  private:
    bool IsListening(ClockListener* listener) const;
    std::vector<ClockListener*> Listeners() const;
    void NotifyAll();

    std::atomic<std::int64_t> now_;
    mutable std::mutex mutex_;
    std::vector<ClockListener*> listeners_;
};

}  // namespace platform
