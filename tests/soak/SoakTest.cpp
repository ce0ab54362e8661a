// Long use: one control switches its station between three generated ones
// (one served over HTTP) many times (PANORA_SOAK_SWITCHES, default 1000),
// zooming in (which loads the finer level) and picking a point after each
// load. Resident memory after the first 50 switches may grow by less than
// 5 % to the end, and no thread (but the test server's, which come and go
// with its connections) or file descriptor may be left behind.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/Heap.h"
#include "support/ControlFixture.h"
#include "support/HttpServer.h"

using platform::Bstr;
using platform::Variant;

namespace {

// The heap as the panora program sets it up for `view` and `run`
// (platform/Heap.h), before any thread starts.
const bool kHeapTuned = platform::TuneHeapForPixelBuffers();

struct Usage {
    long residentKiB = 0;
    int threads = 0;
    int descriptors = 0;
};

int Entries(const char* folder) {
    int n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder)) {
        ++n;
    }
    return n;
}

// Threads of the process but the test server's.
int Threads() {
    int n = 0;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::string name;
        std::getline(std::ifstream(task.path() / "comm"), name);
        n += name.starts_with("http-") ? 0 : 1;
    }
    return n;
}

Usage Measure() {
    Usage u;
    long pages = 0;
    long resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    u.residentKiB = resident * (sysconf(_SC_PAGESIZE) / 1024);
    u.threads = Threads();
    u.descriptors = Entries("/proc/self/fd") - 1;  // the iterator's own
    return u;
}

int Switches() {
    const char* text = std::getenv("PANORA_SOAK_SWITCHES");
    const int n = text != nullptr ? std::atoi(text) : 0;
    return n > 0 ? n : 1000;
}

class Soak : public ViewInputFixture {};

}  // namespace

TEST_F(Soak, SwitchingStationsZoomingAndPickingLeavesNothingBehind) {
    const int switches = Switches();
    ASSERT_GT(switches, 50);
    plan_ = testsupport::MakeSite(dir_ / "site", 3, {32, 64});
    ASSERT_FALSE(HasFailure());

    // The first station comes from a web server (through the download
    // cache, revalidated on every visit), the other two from disk.
    testsupport::HttpServer server(dir_ / "site");
    server.SetLogging(false);  // the server's log would grow
    const std::vector<std::string> sources = {
        server.Url("st1/st1.xml"), plan_.stations[1].description, plan_.stations[2].description};
    SX_Control& c = Ready(120, 90);
    ASSERT_TRUE(SetMode(1));
    Usage atFifty;
    int picks = 0;
    int completes = 0;
    for (int i = 1; i <= switches; ++i) {
        c.put_src(Bstr(platform::FromUtf8(sources[static_cast<std::size_t>(i % 3)])));
        // The coarse level, then zoomed in the finer one; the loader ends
        // once it has loaded the finest level.
        ASSERT_TRUE(WaitFor([&] { return c.DataSet().CubeMap()->LoadedLevel(1) >= 1; })) << i;
        ASSERT_EQ(Call(u"SetZoom", {Variant(20.0)}), platform::S_OK);
        ASSERT_TRUE(Tick([&] { return c.LoadFinished(); })) << i;
        ASSERT_FALSE(c.LoadFailed()) << i << platform::ToUtf8(c.DataSet().GetMessages());
        ASSERT_EQ(c.DataSet().CubeMap()->DrawnLevel(1), 0) << i;
        Mouse(platform::kMsgMouseMove, 60, 45);
        Mouse(platform::kMsgLButtonDown, 60, 45, platform::kKeyLButton);
        Mouse(platform::kMsgLButtonUp, 60, 45);
        ASSERT_EQ(Call(u"SetZoom", {Variant(80.0)}), platform::S_OK);
        c.Redraw();
        for (const std::string& e : full_) {
            picks += e.starts_with("PointPicked") ? 1 : 0;
        }
        completes += Count("DownloadComplete");
        full_.clear();
        events_.clear();
        ASSERT_EQ(picks, i);
        if (i == 50) {
            atFifty = Measure();
        }
    }
    const Usage atEnd = Measure();
    std::printf(
        "soak: %d switches; resident %ld KiB at 50, %ld KiB at the end (%+.2f %%); threads %d "
        "and %d; descriptors %d and %d\n",
        switches, atFifty.residentKiB, atEnd.residentKiB,
        100.0 * static_cast<double>(atEnd.residentKiB - atFifty.residentKiB) /
            static_cast<double>(atFifty.residentKiB),
        atFifty.threads, atEnd.threads, atFifty.descriptors, atEnd.descriptors);
    EXPECT_LT(atEnd.residentKiB, atFifty.residentKiB * 105 / 100);
    EXPECT_EQ(atEnd.threads, atFifty.threads);
    EXPECT_EQ(atEnd.descriptors, atFifty.descriptors);
    // The control reports the end of loading once in its life.
    EXPECT_EQ(completes, 1);
}
