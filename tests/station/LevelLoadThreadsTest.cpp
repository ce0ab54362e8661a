// The loader's threads: the ordered pool a level's faces are decoded on, the
// wake a change of the wanted level sends the loader, and the first frame
// that the finer level waits for.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <numeric>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "glcore/SX_OpenGLContext.h"
#include "host/Resources.h"
#include "platform/Text.h"
#include "station/LoadControl.h"
#include "station/OrderedPool.h"
#include "station/SX_CubeMap.h"
#include "station/SX_LoadingContext.h"
#include "station/SX_PanoramaDataSet.h"
#include "support/Site.h"
#include "support/TempDir.h"

namespace {

using station::OrderedPool;

// Turns run strictly in index order, results are taken in index order
// whatever order the work finishes in, and no job is claimed more than
// `ahead` past the last one taken.
TEST(OrderedPool, TurnsAndResultsKeepTheJobOrderWithinTheWindow) {
    constexpr int kJobs = 12;
    constexpr int kAhead = 3;
    std::vector<int> turns;  // written in turn only
    std::vector<std::atomic<int>> done(kJobs);
    std::atomic<int> taken{0};
    std::atomic<int> beyondWindow{0};
    {
        OrderedPool pool(
            2, kJobs, kAhead,
            [&](int i) {
                turns.push_back(i);
                if (i >= taken.load() + kAhead) {
                    ++beyondWindow;
                }
            },
            [&](int i) {
                // Even jobs take longer, so odd ones finish first.
                std::this_thread::sleep_for(std::chrono::milliseconds(i % 2 == 0 ? 3 : 0));
                done[static_cast<std::size_t>(i)] = 1;
            });
        for (int i = 0; i < kJobs; ++i) {
            taken = i + 1;  // never behind the pool's own count
            pool.Take(i);
            EXPECT_EQ(done[static_cast<std::size_t>(i)].load(), 1) << i;
        }
    }
    std::vector<int> expected(kJobs);
    std::iota(expected.begin(), expected.end(), 0);
    EXPECT_EQ(turns, expected);
    EXPECT_EQ(beyondWindow.load(), 0);
}

// In the window a worker claims the jobs that do not yield first (images
// before point files), while the in-turn parts still run in index order.
TEST(OrderedPool, YieldingJobsWaitForTheOthersWhileTurnsKeepTheJobOrder) {
    constexpr int kJobs = 5;
    const auto odd = [](int i) { return i % 2 == 1; };
    std::mutex mutex;
    std::condition_variable ran;
    std::vector<int> turns, order;
    {
        OrderedPool pool(
            1, kJobs, kJobs, [&](int i) { turns.push_back(i); },
            [&](int i) {
                std::lock_guard lock(mutex);
                order.push_back(i);
                ran.notify_all();
            },
            odd);
        // The consumer takes nothing before the worker has run every job.
        std::unique_lock lock(mutex);
        ran.wait(lock, [&] { return order.size() == kJobs; });
        lock.unlock();
        for (int i = 0; i < kJobs; ++i) {
            pool.Take(i);
        }
    }
    EXPECT_EQ(order, (std::vector<int>{0, 2, 4, 1, 3}));
    EXPECT_EQ(turns, (std::vector<int>{0, 1, 2, 3, 4}));
}

// What a job throws comes out of Take for that job, on the consumer's
// thread; a pool dropped early skips what was not claimed and returns.
TEST(OrderedPool, ThrowsAtTakeAndStopsEarlyWhenDropped) {
    std::atomic<int> ran{0};
    {
        OrderedPool pool(2, 100, 3, nullptr, [&](int i) {
            ++ran;
            if (i == 1) {
                throw std::runtime_error("face 1");
            }
        });
        pool.Take(0);
        try {
            pool.Take(1);
            ADD_FAILURE() << "job 1 threw";
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), "face 1");
        }
    }
    EXPECT_LE(ran.load(), 2 + 3);
}

// A loader's control whose sleeps stand in for the frames of a host.
class FrameControl : public LoadControl {
  public:
    bool IsStopRequested() const override { return false; }
    bool IsPaused() const override { return false; }
    void Sleep(int) override {}
    void SleepUntilWoken(int) override { onSleep(++sleeps); }
    void Wake() override { ++wakes; }
    std::function<void(int)> onSleep;
    int sleeps = 0;
    int wakes = 0;
};

// Every change of the wanted level wakes the loader, a frame that sets the
// same level again does not; without a load control nothing is woken.
TEST(CubeMapWantedLevel, AChangeWakesTheLoadControl) {
    SX_CubeMap cube;
    cube.SetWantedLevel(2);
    FrameControl control;
    cube.SetLoadControl(&control);
    cube.SetWantedLevel(2);
    EXPECT_EQ(control.wakes, 0);
    cube.SetWantedLevel(1);
    cube.SetWantedLevel(1);
    cube.SetWantedLevel(2);
    EXPECT_EQ(control.wakes, 2);
    cube.SetLoadControl(nullptr);
    cube.SetWantedLevel(0);
    EXPECT_EQ(control.wakes, 2);
}

// After the coarsest level the finer one, once wanted, still waits for a
// frame begun with every coarse face in to be shown; a frame begun before
// does not count, and without any frame the wait ends after a few sleeps.
TEST(CubeMapFirstFrame, TheFinerLevelWaitsForTheCoarseFrameOnce) {
    testsupport::TempDir dir;
    const sitegen::SitePlan plan = testsupport::MakeSite(
        dir / "site", 1, {16, 32}, [](sitegen::SiteOptions& o) { o.version = "1.0"; });
    StraleLib::SX_OpenGLContext gl;
    ASSERT_TRUE(gl.Create(16, 16)) << gl.LastError();

    for (const bool drawFrames : {true, false}) {
        host::Resources resources;
        SX_PanoramaDataSet dataSet(resources);
        SX_LoadingContext context(platform::FromUtf8(plan.stations[0].description));
        context.SetOpenGLContext(&gl);
        SX_CubeMap cube;
        cube.SetLevel(1, 16, false, gl.MaxTextureSize());
        cube.SetLevel(0, 32, false, gl.MaxTextureSize());
        FrameControl control;
        dataSet.SetLoadControl(&control);
        cube.SetLoadControl(&control);
        const auto frame = [&] {
            ASSERT_TRUE(gl.Acquire());
            cube.Draw();
            cube.NoteFrameShown();
            gl.Release();
        };
        frame();  // nothing tried yet
        bool fineBeforeFrame = false;
        int shownAt = 0;
        control.onSleep = [&](int sleep) {
            for (int f = 0; f < SX_CubeMap::kFaceCount; ++f) {
                fineBeforeFrame = fineBeforeFrame || cube.HasImage(f, 0);
            }
            if (sleep == 1) {
                EXPECT_EQ(cube.FacesTried(1), SX_CubeMap::kFaceCount);
                cube.SetWantedLevel(0);  // the frame asks for the finer level
            } else if (sleep == 2 && drawFrames) {
                frame();
                shownAt = sleep;
            }
        };
        cube.LoadPyramid(context, dataSet);
        EXPECT_FALSE(fineBeforeFrame);
        EXPECT_EQ(cube.FacesTried(0), SX_CubeMap::kFaceCount);
        EXPECT_TRUE(cube.HasImage(5, 0));
        if (drawFrames) {
            EXPECT_EQ(shownAt, 2);
            EXPECT_EQ(control.sleeps, 2) << "the shown frame ends the wait";
            EXPECT_EQ(control.wakes, 2) << "the wanted level and the frame";
        } else {
            EXPECT_EQ(control.sleeps, 4) << "one for the level, three at most for the frame";
        }
        ASSERT_TRUE(gl.Acquire());
        cube.DropContent();
        gl.Release();
    }
    gl.Destroy();
}

}  // namespace
