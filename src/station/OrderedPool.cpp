#include "station/OrderedPool.h"

#include <algorithm>

namespace station {

OrderedPool::OrderedPool(int workers, int count, int ahead, Part inTurn, Part alongside)
    : count_(count),
      ahead_(ahead),
      inTurn_(std::move(inTurn)),
      alongside_(std::move(alongside)),
      done_(static_cast<std::size_t>(count), 0),
      errors_(static_cast<std::size_t>(count)) {
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

void OrderedPool::Work() {
    for (;;) {
        int index = 0;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] {
                return cancelled_ || nextClaim_ >= count_ || nextClaim_ < taken_ + ahead_;
            });
            if (cancelled_ || nextClaim_ >= count_) {
                return;
            }
            index = nextClaim_++;
            // Claims are in index order, so every turn before this one
            // belongs to a job already claimed and comes.
            changed_.wait(lock, [this, index] { return turn_ == index; });
        }
        Run(inTurn_, index);
        {
            std::lock_guard lock(mutex_);
            ++turn_;
        }
        changed_.notify_all();
        Run(alongside_, index);
        {
            std::lock_guard lock(mutex_);
            done_[static_cast<std::size_t>(index)] = 1;
        }
        changed_.notify_all();
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
