#include "platform/Thread.h"

#include <pthread.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <limits>
#include <mutex>
#include <thread>
#include <vector>

namespace platform {

static_assert(sizeof(pthread_t) <= sizeof(unsigned long), "pthread_t must fit the handle");

struct Thread::State {
    std::function<void()> function;
    bool belowNormal = false;
    std::string name;
    std::mutex mutex;
    std::condition_variable finishedChanged;
    bool finished = false;
};

void RunOnThreads(int count, const std::function<void()>& work) {
    std::vector<std::thread> others;
    for (int t = 1; t < count; ++t) {
        others.emplace_back(work);
    }
    work();
    for (std::thread& other : others) {
        other.join();
    }
}

void LowerThisThreadPriority(int increment) {
    // On Linux the nice value is per thread when addressed by thread id.
    const id_t tid = static_cast<id_t>(syscall(SYS_gettid));
    errno = 0;
    const int current = getpriority(PRIO_PROCESS, tid);
    if (errno == 0) {
        setpriority(PRIO_PROCESS, tid, std::min(current + increment, 19));
    }
}

void* Thread::Entry(void* raw) {
    // The thread keeps the state alive on its own: the Thread object may be
    // waiting in WaitFor while this runs.
    std::shared_ptr<State> state = *static_cast<std::shared_ptr<State>*>(raw);
    delete static_cast<std::shared_ptr<State>*>(raw);
    if (!state->name.empty()) {
        pthread_setname_np(pthread_self(), state->name.substr(0, 15).c_str());
    }
    if (state->belowNormal) {
        LowerThisThreadPriority(kBelowNormalNiceIncrement);
    }
    state->function();
    {
        std::lock_guard lock(state->mutex);
        state->finished = true;
    }
    state->finishedChanged.notify_all();
    return nullptr;
}

Thread::~Thread() {
    Join();
}

bool Thread::Start(std::function<void()> function, const Options& options) {
    if (started_ || !function) {
        return false;
    }
    auto state = std::make_shared<State>();
    state->function = std::move(function);
    state->belowNormal = options.belowNormalPriority;
    state->name = options.name;

    pthread_attr_t attr;
    if (pthread_attr_init(&attr) != 0) {
        return false;
    }
    bool ok = true;
    if (options.stackSize > 0) {
        const long page = sysconf(_SC_PAGESIZE) > 0 ? sysconf(_SC_PAGESIZE) : 4096;
        std::size_t size = std::max<std::size_t>(options.stackSize, PTHREAD_STACK_MIN);
        size = (size + page - 1) / page * page;
        ok = pthread_attr_setstacksize(&attr, size) == 0;
    }
    pthread_t handle{};
    if (ok) {
        auto* arg = new std::shared_ptr<State>(state);
        ok = pthread_create(&handle, &attr, &Thread::Entry, arg) == 0;
        if (!ok) {
            delete arg;
        }
    }
    pthread_attr_destroy(&attr);
    if (!ok) {
        return false;
    }
    state_ = std::move(state);
    handle_ = static_cast<unsigned long>(handle);
    started_ = true;
    return true;
}

bool Thread::Finished() const {
    if (!state_) {
        return false;
    }
    std::lock_guard lock(state_->mutex);
    return state_->finished;
}

bool Thread::WaitFor(std::int64_t timeoutMs) {
    if (!started_) {
        return state_ != nullptr;  // already joined (or never started)
    }
    {
        std::unique_lock lock(state_->mutex);
        const auto finished = [this] { return state_->finished; };
        if (timeoutMs < 0) {
            state_->finishedChanged.wait(lock, finished);
        } else if (!state_->finishedChanged.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                                     finished)) {
            return false;
        }
    }
    Join();
    return true;
}

void Thread::Join() {
    if (!started_) {
        return;
    }
    pthread_join(static_cast<pthread_t>(handle_), nullptr);
    started_ = false;
}

}  // namespace platform
