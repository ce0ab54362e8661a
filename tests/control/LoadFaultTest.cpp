// A load that throws never ends the process: the station is marked failed
// and the error panel names the fault. A machine without graphics gets the
// requirements page and no windows.
#include <new>

#include "control/Loader.h"
#include "glcore/StraleError.h"
#include "support/ControlFixture.h"

namespace {

// Installs a loader start hook for the test's life.
class StartHook {
  public:
    explicit StartHook(std::function<void()> hook) {
        control::Loader::SetStartHookForTesting(std::move(hook));
    }
    ~StartHook() { control::Loader::SetStartHookForTesting(nullptr); }
    StartHook(const StartHook&) = delete;
    StartHook& operator=(const StartHook&) = delete;
};

}  // namespace

TEST_F(ControlFixture, ThrowingLoadsFailTheStationWithTheFaultsName) {
    const auto st = Station(sitegen::DescriptionFormat::Metadata);
    SX_Control& c = ReadyControl(MakeOptions());
    const platform::Bstr src(platform::FromUtf8(st.description));
    {
        StartHook failing([] { throw std::bad_alloc(); });
        c.put_src(src);
        ASSERT_TRUE(Tick([&] { return c.LoadFinished(); }));
    }
    EXPECT_TRUE(c.LoadFailed());
    EXPECT_TRUE(c.ShowsErrorPage());
    std::vector<std::u16string> lines = c.ErrorPageLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], u"There are errors:");
    EXPECT_EQ(lines[2], u"std::bad_alloc");
    EXPECT_EQ(Count("DownloadComplete"), 1);

    // A translated fault in the middle of another load: its table name.
    {
        StartHook faulting([] { StraleLib::TranslateFault(0xC0000094u, nullptr); });
        c.put_src(src);
        ASSERT_TRUE(Tick([&] { return !c.IsLoading(); }));
    }
    lines = c.ErrorPageLines();
    ASSERT_EQ(lines.size(), 3u);  // the earlier load's fault is gone
    EXPECT_EQ(lines[2], u"EXCEPTION_INT_DIVIDE_BY_ZERO");

    // The process and the control go on: the next load without a fault
    // leaves the view showing.
    c.put_src(src);
    ASSERT_TRUE(Tick([&] { return !c.IsLoading(); }));
    EXPECT_FALSE(c.LoadFailed());
    EXPECT_FALSE(c.ShowsErrorPage());
}

TEST_F(ControlFixture, WithoutEglTheRequirementsPageReplacesTheWindows) {
    testsupport::ScopedEnv off("PANORA_EGL_UNAVAILABLE", "1");
    auto options = MakeOptions();
    options.evaluator = nullptr;  // the real probe
    SX_Control& c = MakeControl(std::move(options));
    EXPECT_FALSE(c.SystemFit());
    EXPECT_FALSE(c.Create(120, 80));
    std::int32_t state = 0;
    c.get_ReadyState(&state);
    EXPECT_EQ(state, 4);
    EXPECT_EQ(c.GraphicWindow(), nullptr);
    EXPECT_EQ(c.DrawingWindow(), nullptr);
    ASSERT_EQ(c.ErrorPageLines().size(), 3u);
    EXPECT_EQ(c.ErrorPageLines()[2],
              u"This system does not meet minimal requirements for running Panora.");
}
