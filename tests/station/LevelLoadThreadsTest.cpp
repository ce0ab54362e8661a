// The loader's threads: the ordered pool a level's faces are decoded on, and
// the wake a change of the wanted level sends the loader.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <numeric>
#include <stdexcept>
#include <thread>
#include <vector>

#include "station/LoadControl.h"
#include "station/OrderedPool.h"
#include "station/SX_CubeMap.h"

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

class CountingControl : public LoadControl {
  public:
    bool IsStopRequested() const override { return false; }
    bool IsPaused() const override { return false; }
    void Sleep(int) override {}
    void Wake() override { ++wakes; }
    int wakes = 0;
};

// Every change of the wanted level wakes the loader, a frame that sets the
// same level again does not; without a load control nothing is woken.
TEST(CubeMapWantedLevel, AChangeWakesTheLoadControl) {
    SX_CubeMap cube;
    cube.SetWantedLevel(2);
    CountingControl control;
    cube.SetLoadControl(&control);
    cube.SetWantedLevel(2);
    EXPECT_EQ(control.wakes, 0);
    cube.SetWantedLevel(1);
    cube.SetWantedLevel(1);
    cube.SetWantedLevel(2);
    EXPECT_EQ(control.wakes, 2);
    EXPECT_EQ(cube.WantedLevel(), 2);
    cube.SetLoadControl(nullptr);
    cube.SetWantedLevel(0);
    EXPECT_EQ(control.wakes, 2);
}

}  // namespace
