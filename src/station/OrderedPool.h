#pragma once
// Runs jobs 0..count-1 on a few worker threads and hands them to one consumer
// in index order. Each job has a first part run in turn (job i's after job
// i-1's: whatever must happen in the order of the jobs, such as fetching
// their files) and a second part run alongside the other workers. Workers
// claim jobs at most `ahead` past the last one the consumer has taken, which
// bounds the results held at once. Within that window a worker claims the
// lowest job that does not yield; a job that yields (`yields(index)`, asked
// once per job when the pool is made) is claimed only when no other job in
// the window is left. Whoever claims a job first runs the in-turn parts not
// run yet up to it, so those still run in index order.
//
// The workers run a little below the thread that made the pool (its nice
// value plus kWorkerNiceIncrement), so that the consumer, which does the
// work that must happen in order (the uploads), is not held up by them.
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
    static constexpr int kWorkerNiceIncrement = 5;
    using Part = std::function<void(int index)>;
    using Filter = std::function<bool(int index)>;

    OrderedPool(int workers, int count, int ahead, Part inTurn, Part alongside,
                const Filter& yields = nullptr);
    ~OrderedPool();
    OrderedPool(const OrderedPool&) = delete;
    OrderedPool& operator=(const OrderedPool&) = delete;

    // Waits until job `index` has run and lets the workers claim further.
    void Take(int index);

  private:
    void Work();
    // The job a worker should claim now, or -1; with the lock held.
    int NextClaim() const;
    // A worker's claim of job `index`: runs the in-turn parts up to it not
    // run yet, then its second part. Entered and left with the lock held.
    void RunClaimed(std::unique_lock<std::mutex>& lock, int index);
    void Run(const Part& part, int index);

    const int count_;
    const int ahead_;
    Part inTurn_;
    Part alongside_;
    std::mutex mutex_;
    std::condition_variable changed_;
    int claimedCount_ = 0;
    int turn_ = 0;  // in-turn parts run so far
    bool turnRunning_ = false;
    int taken_ = 0;
    bool cancelled_ = false;
    std::vector<char> yields_;
    std::vector<char> claimed_;
    std::vector<char> done_;
    std::vector<std::exception_ptr> errors_;
    std::vector<std::thread> threads_;
};

}  // namespace station
