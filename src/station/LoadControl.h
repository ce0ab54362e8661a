#pragma once
// What the loader's long waits ask of whoever runs the load: whether to stop,
// whether to hold, and how to sleep between two looks (140 ms steps). The
// control answers from its pause and stop flags and really sleeps; tests
// answer from a script and sleep on a virtual clock. The wait for a finer
// level sleeps until woken: the renderer wakes the loader whenever it changes
// the wanted level, so that the level is fetched at once.

class LoadControl {
  public:
    static constexpr int kPollMilliseconds = 140;

    virtual ~LoadControl() = default;
    virtual bool IsStopRequested() const = 0;
    virtual bool IsPaused() const = 0;
    virtual void Sleep(int milliseconds) = 0;
    // Sleeps like Sleep but returns once Wake is called; at once when Wake
    // was called since the last such sleep returned.
    virtual void SleepUntilWoken(int milliseconds) { Sleep(milliseconds); }
    // Any thread.
    virtual void Wake() {}
};
