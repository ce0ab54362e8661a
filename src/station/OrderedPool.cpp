#include "station/OrderedPool.h"

#include "platform/Thread.h"

#include <algorithm>

namespace station {

OrderedPool::OrderedPool(int workers, int count, int ahead, Part inTurn, Part alongside,
                         const Filter& yields)
    : count_(count),
      ahead_(ahead),
      inTurn_(std::move(inTurn)),
      alongside_(std::move(alongside)),
      yields_(static_cast<std::size_t>(count), 0),
      claimed_(static_cast<std::size_t>(count), 0),
      done_(static_cast<std::size_t>(count), 0),
      errors_(static_cast<std::size_t>(count)) {
    for (int i = 0; yields && i < count; ++i) {
        yields_[static_cast<std::size_t>(i)] = yields(i) ? 1 : 0;
    }
    for (int i = 0; i < workers && i < count; ++i) {
        threads_.emplace_back([this] { Work(); });
    }
}

OrderedPool::~OrderedPool() {
    {
        std::lock_guard lock(mutex_);
        cancelled_ = true;
    }
    changed_.notify_all();
    for (std::thread& thread : threads_) {
        thread.join();
    }
}

void OrderedPool::Run(const Part& part, int index) {
    if (!part) {
        return;
    }
    try {
        part(index);
    } catch (...) {
        std::lock_guard lock(mutex_);
        if (!errors_[static_cast<std::size_t>(index)]) {
            errors_[static_cast<std::size_t>(index)] = std::current_exception();
        }
    }
}

int OrderedPool::NextClaim() const {
    // Every job before taken_ has been taken, hence claimed.
    const int end = std::min(count_, taken_ + ahead_);
    int yielding = -1;
    for (int i = taken_; i < end; ++i) {
        const auto at = static_cast<std::size_t>(i);
        if (claimed_[at]) {
            continue;
        }
        if (!yields_[at]) {
            return i;
        }
        if (yielding < 0) {
            yielding = i;
        }
    }
    return yielding;
}

void OrderedPool::RunClaimed(std::unique_lock<std::mutex>& lock, int index) {
    claimed_[static_cast<std::size_t>(index)] = 1;
    ++claimedCount_;
    while (turn_ <= index) {
        if (turnRunning_) {
            changed_.wait(lock);
            continue;
        }
        turnRunning_ = true;
        const int turn = turn_;
        lock.unlock();
        Run(inTurn_, turn);
        lock.lock();
        turn_ = turn + 1;
        turnRunning_ = false;
        changed_.notify_all();
    }
    lock.unlock();
    Run(alongside_, index);
    lock.lock();
    done_[static_cast<std::size_t>(index)] = 1;
    changed_.notify_all();
}

void OrderedPool::Work() {
    platform::LowerThisThreadPriority(kWorkerNiceIncrement);
    std::unique_lock lock(mutex_);
    for (;;) {
        int index = -1;
        changed_.wait(lock, [this, &index] {
            if (cancelled_ || claimedCount_ >= count_) {
                return true;
            }
            index = NextClaim();
            return index >= 0;
        });
        if (cancelled_ || index < 0) {
            return;
        }
        RunClaimed(lock, index);
    }
}

void OrderedPool::Take(int index) {
    std::exception_ptr error;
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this, index] { return done_[static_cast<std::size_t>(index)] != 0; });
        taken_ = std::max(taken_, index + 1);
        error = errors_[static_cast<std::size_t>(index)];
    }
    changed_.notify_all();
    if (error) {
        std::rethrow_exception(error);
    }
}

}  // namespace station
