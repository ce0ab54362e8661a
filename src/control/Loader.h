#pragma once
// The loader thread of the control's current load, the pause and stop flags
// it polls (the load lock), what the load found out about its location, and
// the monitor's bookkeeping.
//
// Life of one load: Start runs the body on a new thread (6 MiB stack, below
// normal priority) -> the body polls IsStopRequested/IsPaused between files
// -> Stop raises both flags, waits up to 1000 + 1000 ms for the thread, gives
// it a last 400 ms and joins it; the flags are lowered again for the next
// load. The monitor ticks every 500 ms on the window thread (MonitorTick):
// while the thread runs, a moving progress or up to four ticks without
// movement report "in progress", the fifth still tick reports "complete";
// the end of the thread reports "complete". "Complete" is reported at most
// once in the control's life.
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "glcore/AutoCriticalSection.h"
#include "platform/Thread.h"
#include "station/LoadControl.h"
#include "station/SX_LoadingContext.h"

namespace control {

class Loader final : public LoadControl {
  public:
    // What a monitor tick asks the control to fire.
    enum class Report { kNothing, kInProgress, kComplete };

    // How the loader sleeps between two looks at its flags; null: really.
    explicit Loader(std::function<void(int milliseconds)> sleeper = nullptr);
    ~Loader() override;
    Loader(const Loader&) = delete;
    Loader& operator=(const Loader&) = delete;

    // Starts the thread; false when it could not be started. Nothing thrown
    // by the body leaves the thread: a StraleLib::StraleError, a
    // std::bad_alloc or any other exception is caught where the thread
    // starts and its name handed to onFault (on the loader thread), so that a
    // hostile or damaged station never ends the process.
    using FaultHandler = std::function<void(const std::u16string& name)>;
    bool Start(std::function<void()> body, FaultHandler onFault = nullptr);
    // The name a caught exception is reported by: a StraleError's name,
    // "std::bad_alloc" (what() of other standard exceptions), or
    // "unknown exception". Call inside a catch block.
    static std::u16string CurrentExceptionName();
    // Tests only: runs on every loader thread before its body, inside the
    // handler (a hook that throws stands for a load that fails that way);
    // null removes it.
    static void SetStartHookForTesting(std::function<void()> hook);
    // Stops the thread, if any, within the bounded wait above; true when
    // there was one.
    bool Stop();
    bool IsRunning() const { return thread_ != nullptr; }
    // Holds or releases the loader between two files.
    void Pause(bool pause);

    // LoadControl, answered from the flags under the load lock.
    bool IsStopRequested() const override;
    bool IsPaused() const override;
    void Sleep(int milliseconds) override;
    // With a sleeper (tests) the same as Sleep; really, a wait that Wake or
    // Stop ends early.
    void SleepUntilWoken(int milliseconds) override;
    void Wake() override;

    // The monitor: one tick with the load's progress in percent. When the
    // thread has ended it is joined and the load is finished.
    Report MonitorTick(double progress);
    // A new load begins (src set): not finished until the thread ends.
    void BeginLoad();
    bool Finished() const { return finished_; }

    // What the running load found, read from any thread.
    void SetLocation(const std::u16string& srcPath);
    std::u16string SrcPath() const;
    std::u16string DataSetDirectory() const;
    void SetStationImage(const std::u16string& path);
    std::u16string StationImage() const;
    // The loading context of the current load, kept until the next one; the
    // window thread joins the station's links against it (Context).
    void KeepContext(std::shared_ptr<SX_LoadingContext> context);
    std::shared_ptr<const SX_LoadingContext> Context() const;

  private:
    std::function<void(int)> sleeper_;
    std::mutex wakeMutex_;
    std::condition_variable woken_;
    bool wakePending_ = false;
    std::unique_ptr<platform::Thread> thread_;
    mutable StraleLib::AutoCriticalSection lock_;
    bool continueLoading_ = true;
    bool notCancelled_ = true;
    std::u16string srcPath_;
    std::u16string dataSetDirectory_;
    std::u16string stationImage_;
    std::shared_ptr<SX_LoadingContext> context_;
    double lastProgress_ = 0.0;
    int stallTicks_ = 0;
    bool completeReported_ = false;
    bool finished_ = true;
};

}  // namespace control
