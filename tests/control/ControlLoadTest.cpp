#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include "control/Loader.h"
#include "support/ControlFixture.h"
#include "support/HttpServer.h"
#include "support/TempDir.h"

using platform::Bstr;
using sitegen::DescriptionFormat;
using testsupport::U;

TEST_F(ControlFixture, MonitorFiresProgressThenCompleteOnceAfterStall) {
    const auto st = Station(DescriptionFormat::Dataset);
    // A view so small that the coarse 32-pixel faces are finer than the
    // screen: the frames never ask for the finer level.
    SX_Control& c = ReadyControl(MakeOptions(), nullptr, 20, 20);
    c.put_src(Bstr(u""));
    EXPECT_TRUE(events_.empty());
    c.put_src(Bstr(U(st.description)));
    EXPECT_EQ(events_, std::vector<std::string>{"DownloadInProgress"});
    ASSERT_TRUE(WaitCoarseLoaded());
    EXPECT_TRUE(c.IsLoading());  // waits for a finer level

    // Progress moved once, then stands: four more ticks in progress, the
    // fifth fires the completion, later ticks nothing.
    for (int i = 0; i < 5; ++i) {
        clock_.Advance(500);
    }
    EXPECT_EQ(Count("DownloadInProgress"), 6);
    EXPECT_EQ(Count("DownloadComplete"), 0);
    clock_.Advance(500);
    EXPECT_EQ(Count("DownloadComplete"), 1);
    clock_.Advance(2000);
    EXPECT_EQ(events_.size(), 7u);

    // Moving progress restarts the in-progress events. (One completion in a
    // control's life, however many loads: the server fault test.)
    c.DataSet().SetProgress(0.9);
    clock_.Advance(500);
    EXPECT_EQ(events_.back(), "DownloadInProgress");
}

TEST_F(ControlFixture, ProgressTruncatesAndReachesHundredWhenTheThreadEnds) {
    const auto st = Station(DescriptionFormat::Metadata);
    SX_Control& c = ReadyControl(MakeOptions());
    double percent = -1;
    c.GetDownladProgress(&percent);
    EXPECT_EQ(percent, 100.0);  // idle
    c.put_src(Bstr(U(st.description)));
    ASSERT_TRUE(WaitFor([&] { return c.DataSet().UniqueId().size() > 0; }));
    // Hold the loader (it sleeps while paused or waiting for a finer level)
    // so that it adds no progress while the values below are set.
    c.PauseDownload(platform::VARIANT_TRUE);
    ASSERT_TRUE(WaitFor([&] { return *sleeps_ > 0; }));
    c.DataSet().SetProgress(0.9999);
    c.GetDownladProgress(&percent);
    // Until the monitor has seen the thread end, 99.9 even when almost done.
    EXPECT_DOUBLE_EQ(percent, 99.9);
    c.DataSet().SetProgress(0.12345);
    c.GetDownladProgress(&percent);
    EXPECT_DOUBLE_EQ(percent, 12.3);
    c.PauseDownload(0);
    ASSERT_TRUE(Tick([&] { return c.LoadFinished(); }));
    c.GetDownladProgress(&percent);
    EXPECT_EQ(percent, 100.0);
    EXPECT_EQ(Count("DownloadComplete"), 1);
    EXPECT_FALSE(loop_.HasTimer(c.WindowHandle(), SX_Control::kTimerMonitor));
}

TEST_F(ControlFixture, PauseHoldsTheLoaderAndClearEndsIt) {
    const auto st = Station(DescriptionFormat::Dataset);
    auto options = MakeOptions();
    const auto sleeper = options.sleeper;
    options.sleeper = [sleeper](int ms) {
        EXPECT_EQ(ms, 140);  // the loader polls the pause flag every 140 ms
        sleeper(ms);
    };
    // The description file is served late, so the pause below is in place
    // before the loader reaches its first face, however busy the machine is.
    testsupport::HttpServer server(dir_ / "site");
    server.SetDelay("/st1/st1.xml", std::chrono::milliseconds(400));
    SX_Control& c = ReadyControl(options);
    c.PauseDownload(platform::VARIANT_TRUE);
    c.put_src(Bstr(U(server.Url("st1/st1.xml"))));  // a new src resumes
    c.PauseDownload(platform::VARIANT_TRUE);
    ASSERT_TRUE(WaitFor([&] { return *sleeps_ > 20; }));
    const double held = c.DataSet().GetProgress();
    ASSERT_TRUE(WaitFor([&] { return *sleeps_ > 40; }));  // twenty more polls, paused
    EXPECT_EQ(c.DataSet().GetProgress(), held);
    EXPECT_TRUE(c.IsLoading());
    c.PauseDownload(0);
    ASSERT_TRUE(WaitCoarseLoaded());
    EXPECT_GT(c.DataSet().GetProgress(), held);
    c.PauseDownload(platform::VARIANT_TRUE);
    c.ClearCubeMap();
    EXPECT_FALSE(c.IsLoading());
    EXPECT_EQ(c.DataSet().GetProgress(), 0.0);
}

TEST_F(ControlFixture, LinksJoinAgainstThePageTilesAgainstTheFilesFolder) {
    const auto st = Station(DescriptionFormat::Metadata);
    // Two neighbours: one named from the page's folder, one from the file's.
    std::string text = testsupport::ReadFile(st.description);
    const auto list = text.find("<Qvscan:Neighbors");
    ASSERT_NE(list, std::string::npos);
    text.replace(list, text.find("/>", list) + 2 - list,
                 "<Qvscan:SiteMap URL=\"st1/map.htm\"/><Qvscan:Neighbors>"
                 "<Qvscan:Neighbor Name=\"page\" URL=\"st1/st1.xml\" X=\"1\" Y=\"0\" Z=\"0\"/>"
                 "<Qvscan:Neighbor Name=\"file\" URL=\"st1.xml\" X=\"2\" Y=\"0\" Z=\"0\"/>"
                 "</Qvscan:Neighbors>");
    dir_.Write("site/st1/linked.xml", text);
    dir_.Write("site/st1/map.htm", "<html/>");
    const std::string base = "file://" + (dir_ / "site").string();
    SX_Control& c = ReadyControl(MakeOptions(), std::make_unique<control::HostContainer>(U(base)));
    EXPECT_EQ(Call(u"SiteMap", {}, platform::DispatchKind::PropertyGet), platform::S_OK);
    EXPECT_EQ(r_.retval, platform::Variant(u""));  // no load yet
    c.put_src(Bstr(u"st1/linked.xml"));
    ASSERT_TRUE(Tick([&] { return c.LoadFinished(); }));
    // The tiles are named from the file's folder: they all loaded.
    EXPECT_FALSE(c.LoadFailed()) << platform::ToUtf8(c.ErrorPageText());
    const auto& neighbors = c.DataSet().Neighbors();
    ASSERT_EQ(neighbors.size(), 2u);
    EXPECT_EQ(neighbors[0].resolvedUrl, U(base + "/st1/st1.xml"));
    EXPECT_EQ(neighbors[1].resolvedUrl, u"");  // no st1.xml in the page's folder
    Call(u"SiteMap", {}, platform::DispatchKind::PropertyGet);
    EXPECT_EQ(r_.retval, platform::Variant(U(base + "/st1/map.htm")));
    std::filesystem::remove(dir_ / "site/st1/map.htm");
    Call(u"SiteMap", {}, platform::DispatchKind::PropertyGet);
    EXPECT_EQ(r_.retval, platform::Variant(u""));
}

TEST_F(ControlFixture, MissingFileOnTheErrorPage) {
    Station(DescriptionFormat::Metadata);
    testsupport::HttpServer server(dir_ / "site");
    server.SetStatus("/st1/missing.xml", 404);
    SX_Control& c = ReadyControl(MakeOptions());
    const std::string missing = server.Url("st1/missing.xml");
    c.put_src(Bstr(U(missing)));
    ASSERT_TRUE(Tick([&] { return c.LoadFinished(); }));
    EXPECT_TRUE(c.ShowsErrorPage());
    EXPECT_EQ(c.ErrorPageLines().back(), u"File not found: " + U(missing));
    // The page as painted: the view's frame moved aside onto white.
    c.Redraw();
    const platform::RgbImage& page = c.ErrorPageImage();
    const platform::RgbImage& frame = c.GraphicWindow()->Captured();
    ASSERT_EQ(page.width, 200);
    ASSERT_EQ(frame.width, 160);
    ASSERT_EQ(frame.height, 90);
    for (int y = 0; y < 90; ++y) {
        EXPECT_TRUE(std::equal(frame.rgb.begin() + y * 160 * 3,
                               frame.rgb.begin() + (y + 1) * 160 * 3,
                               page.rgb.begin() + (y * 200 + 40) * 3))
            << "row " << y;
    }
    EXPECT_EQ(page.rgb[(100 * 200 + 195) * 3], 255);
    EXPECT_EQ(page.rgb[(5 * 200 + 5) * 3 + 1], 255);
}

// A data issue warns; an older control asks to upgrade and Yes opens the page.
TEST_F(ControlFixture, VersionCheckBoxes) {
    const auto st = Station(DescriptionFormat::Metadata, false);
    const auto load = [&](const char* version, int answer) -> SX_Control& {
        if (control_) {
            control_->Destroy();
        }
        ui_.ClearBoxes();
        SX_Control& c = ReadyControl(MakeOptions(20, version));
        if (answer != 0) {
            ui_.QueueAnswer(answer);
        }
        c.put_src(Bstr(U(st.description)));
        EXPECT_TRUE(Tick([&] { return c.LoadFinished(); }));
        return c;
    };
    load("2.0.0.0", HostUi::kIdOk);
    ASSERT_EQ(ui_.Boxes().size(), 1u);
    EXPECT_EQ(ui_.Boxes()[0].caption,
              u"Warning: Quorvant Panora Plug-in Found Potential Data Issue");
    EXPECT_EQ(ui_.Boxes()[0].type, HostUi::kOk | HostUi::kIconWarning);
    // (Asking once per station, the marker in the auto-save: the markup file test.)
    load("0.0.0.0", HostUi::kIdNo);
    ASSERT_EQ(ui_.Boxes().size(), 1u);
    EXPECT_EQ(ui_.Boxes()[0].caption, u"Warning: Quorvant Panora Plug-in Upgrade Required");
    EXPECT_EQ(ui_.Boxes()[0].type, HostUi::kYesNo | HostUi::kIconWarning);
    EXPECT_TRUE(opened_.empty());
    load("0.0.0.0", HostUi::kIdYes);
    ASSERT_EQ(opened_.size(), 1u);
    EXPECT_EQ(opened_[0], SX_Control::kUpdatePage);
}

// The loader's wait for a finer level: a wake ends it early, a wake that came
// before the wait makes it return at once (once), and a stop wakes it too.
// The control's own loader sleeps on a virtual clock; this one really waits.
TEST(LoaderWake, AWakeOrAStopEndsTheWaitForALevel) {
    using Clock = std::chrono::steady_clock;
    const auto waited = [](control::Loader& loader, int ms) {
        const auto t0 = Clock::now();
        loader.SleepUntilWoken(ms);
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t0).count();
    };
    control::Loader loader;
    loader.Wake();
    EXPECT_LT(waited(loader, 20000), 1000);
    EXPECT_GE(waited(loader, 30), 25) << "one wake ends one wait";

    std::thread waker([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        loader.Wake();
    });
    EXPECT_LT(waited(loader, 20000), 1000);
    waker.join();

    ASSERT_TRUE(loader.Start([&] { loader.SleepUntilWoken(20000); }));
    const auto t0 = Clock::now();
    EXPECT_TRUE(loader.Stop());
    EXPECT_LT(Clock::now() - t0, std::chrono::seconds(1));
}
