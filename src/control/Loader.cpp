#include "control/Loader.h"

#include <chrono>
#include <exception>
#include <mutex>
#include <thread>

#include "glcore/StraleError.h"
#include "platform/Text.h"

using StraleLib::AutoCriticalLock;

namespace control {

namespace {

constexpr std::size_t kLoaderStack = 0x600000;
constexpr int kStallTicksBeforeComplete = 4;

std::mutex& HookMutex() {
    static std::mutex mutex;
    return mutex;
}

std::function<void()>& StartHook() {
    static std::function<void()> hook;
    return hook;
}

}  // namespace

Loader::Loader(std::function<void(int)> sleeper) : sleeper_(std::move(sleeper)) {}

Loader::~Loader() {
    Stop();
}

void Loader::SetStartHookForTesting(std::function<void()> hook) {
    std::lock_guard lock(HookMutex());
    StartHook() = std::move(hook);
}

std::u16string Loader::CurrentExceptionName() {
    try {
        throw;
    } catch (const StraleLib::StraleError& e) {
        return e.Name();
    } catch (const std::exception& e) {
        return platform::FromUtf8(e.what());
    } catch (...) {
        return u"unknown exception";
    }
}

bool Loader::Start(std::function<void()> body, FaultHandler onFault) {
    auto thread = std::make_unique<platform::Thread>();
    platform::Thread::Options options;
    options.stackSize = kLoaderStack;
    options.belowNormalPriority = true;
    options.name = "SX_Loader";
    std::function<void()> hook;
    {
        std::lock_guard lock(HookMutex());
        hook = StartHook();
    }
    auto guarded = [body = std::move(body), onFault = std::move(onFault), hook = std::move(hook)] {
        try {
            if (hook) {
                hook();
            }
            body();
        } catch (...) {
            const std::u16string name = CurrentExceptionName();
            if (onFault) {
                try {
                    onFault(name);
                } catch (...) {
                    // The report itself failed (out of memory): the load
                    // ends quietly rather than the process.
                }
            }
        }
    };
    if (!thread->Start(std::move(guarded), options)) {
        return false;
    }
    thread_ = std::move(thread);
    return true;
}

bool Loader::Stop() {
    if (!thread_) {
        return false;
    }
    {
        AutoCriticalLock lock(lock_);
        continueLoading_ = false;
        notCancelled_ = false;
    }
    Wake();
    // A thread cannot be killed safely here: every wait of the loader, its
    // downloads included, ends on the stop flag, so it ends within the
    // 1000 + 1000 ms or its last 400 ms before it is joined.
    if (!thread_->WaitFor(1000) && !thread_->WaitFor(1000)) {
        thread_->WaitFor(400);
    }
    thread_->Join();
    thread_.reset();
    AutoCriticalLock lock(lock_);
    continueLoading_ = true;
    notCancelled_ = true;
    return true;
}

void Loader::Pause(bool pause) {
    AutoCriticalLock lock(lock_);
    continueLoading_ = !pause;
}

bool Loader::IsStopRequested() const {
    AutoCriticalLock lock(lock_);
    return !notCancelled_;
}

bool Loader::IsPaused() const {
    AutoCriticalLock lock(lock_);
    return !continueLoading_;
}

void Loader::Sleep(int milliseconds) {
    if (sleeper_) {
        sleeper_(milliseconds);
    } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
}

void Loader::SleepUntilWoken(int milliseconds) {
    if (sleeper_) {
        sleeper_(milliseconds);
        return;
    }
    std::unique_lock lock(wakeMutex_);
    woken_.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return wakePending_; });
    wakePending_ = false;
}

void Loader::Wake() {
    {
        std::lock_guard lock(wakeMutex_);
        wakePending_ = true;
    }
    woken_.notify_all();
}

void Loader::BeginLoad() {
    finished_ = false;
    Pause(false);
}

Loader::Report Loader::MonitorTick(double progress) {
    const bool ended = !thread_ || thread_->WaitFor(10);
    if (ended) {
        if (thread_) {
            thread_->Join();
            thread_.reset();
        }
        finished_ = true;
        if (completeReported_) {
            return Report::kNothing;
        }
        completeReported_ = true;
        return Report::kComplete;
    }
    if (progress != lastProgress_) {
        lastProgress_ = progress;
        stallTicks_ = 0;
        return Report::kInProgress;
    }
    if (stallTicks_ < kStallTicksBeforeComplete) {
        ++stallTicks_;
        return Report::kInProgress;
    }
    if (stallTicks_ == kStallTicksBeforeComplete) {
        stallTicks_ = kStallTicksBeforeComplete + 1;
        if (!completeReported_) {
            completeReported_ = true;
            return Report::kComplete;
        }
    }
    return Report::kNothing;
}

void Loader::SetLocation(const std::u16string& srcPath) {
    AutoCriticalLock lock(lock_);
    srcPath_ = srcPath;
    const std::size_t slash = srcPath.find_last_of(u"/\\");
    dataSetDirectory_ = slash == std::u16string::npos ? std::u16string() : srcPath.substr(0, slash);
}

std::u16string Loader::SrcPath() const {
    AutoCriticalLock lock(lock_);
    return srcPath_;
}

std::u16string Loader::DataSetDirectory() const {
    AutoCriticalLock lock(lock_);
    return dataSetDirectory_;
}

void Loader::SetStationImage(const std::u16string& path) {
    AutoCriticalLock lock(lock_);
    stationImage_ = path;
}

std::u16string Loader::StationImage() const {
    AutoCriticalLock lock(lock_);
    return stationImage_;
}

void Loader::KeepContext(std::shared_ptr<SX_LoadingContext> context) {
    AutoCriticalLock lock(lock_);
    context_ = std::move(context);
}

std::shared_ptr<const SX_LoadingContext> Loader::Context() const {
    AutoCriticalLock lock(lock_);
    return context_;
}

}  // namespace control
