#pragma once
// Runs jobs 0..count-1 on a few worker threads and hands them to one consumer
// in index order. A worker claims the next job in index order, runs its first
// part in turn (job i's after job i-1's: whatever must happen in the order of
// the jobs, such as fetching their files) and its second part alongside the
// other workers. Workers claim at most `ahead` jobs past the last one the
// consumer has taken, which bounds the results held at once.
//
// The consumer calls Take(i) for i = 0, 1, ...; it returns once job i has
// run, rethrowing what the job threw. Destroying the pool skips the jobs not
// claimed yet and waits for the running ones.

#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace station {

class OrderedPool {
  public:
    using Part = std::function<void(int index)>;

    OrderedPool(int workers, int count, int ahead, Part inTurn, Part alongside);
    ~OrderedPool();
    OrderedPool(const OrderedPool&) = delete;
    OrderedPool& operator=(const OrderedPool&) = delete;

    // Waits until job `index` has run and lets the workers claim further.
    void Take(int index);

  private:
    void Work();
    void Run(const Part& part, int index);

    const int count_;
    const int ahead_;
    Part inTurn_;
    Part alongside_;
    std::mutex mutex_;
    std::condition_variable changed_;
    int nextClaim_ = 0;
    int turn_ = 0;
    int taken_ = 0;
    bool cancelled_ = false;
    std::vector<char> done_;
    std::vector<std::exception_ptr> errors_;
    std::vector<std::thread> threads_;
};

}  // namespace station
