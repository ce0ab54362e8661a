#include "support/ControlFixture.h"
#include "view3d/SX_GraphicWindow.h"

#include <algorithm>

using platform::Bstr;

TEST_F(ControlFixture, ReadyStatesEventsAndLogOnTheVirtualClock) {
    SX_Control& c = MakeControl(MakeOptions());
    std::int32_t state = 0;
    c.get_ReadyState(&state);
    EXPECT_EQ(state, 2);
    // src before ready state 4 is quietly ignored.
    EXPECT_EQ(c.put_src(Bstr(u"/nowhere/st.xml")), platform::S_OK);
    ASSERT_TRUE(c.Create(200, 150));
    c.get_ReadyState(&state);
    EXPECT_EQ(state, 3);
    EXPECT_TRUE(loop_.HasTimer(c.WindowHandle(), SX_Control::kTimerInitGraphics));
    clock_.Advance(99);
    c.get_ReadyState(&state);
    EXPECT_EQ(state, 3);
    clock_.Advance(1);
    c.get_ReadyState(&state);
    ASSERT_EQ(state, 4) << "OpenGL initialisation failed";
    EXPECT_FALSE(c.GraphicWindow()->CaptureRequested());  // repainted: the first frame
    EXPECT_GT(c.DataSet().MaxTextureSize(), 0);
    EXPECT_TRUE(events_.empty());
    clock_.Advance(100);
    EXPECT_EQ(events_, (std::vector<std::string>{"ControlInitialized", "NewAPIAdded(1)"}));
    clock_.Advance(1000);
    EXPECT_EQ(events_.size(), 2u);  // one-shot timers
    EXPECT_FALSE(c.IsLoading());
    Bstr src;
    c.get_src(&src);
    EXPECT_TRUE(src.IsEmpty());

    const std::string log = testsupport::ReadFile(dir_ / "data/Panora/panoralog.txt");
    std::u16string text;
    for (std::size_t i = 2; i + 1 < log.size(); i += 2) {
        text += static_cast<char16_t>(static_cast<unsigned char>(log[i]) |
                                      (static_cast<unsigned char>(log[i + 1]) << 8));
    }
    EXPECT_EQ(text, u"Start Initializing Graphics\n\tsuccessful\n");

    c.Destroy();
    EXPECT_EQ(events_.back(), "Destroying");
    c.Destroy();
    EXPECT_EQ(Count("Destroying"), 1);
}

TEST_F(ControlFixture, NotFitShowsTheRequirementsPageWithoutChildren) {
    SX_Control& c = MakeControl(MakeOptions(5));
    EXPECT_FALSE(c.Create(100, 100));
    EXPECT_TRUE(c.ShowsErrorPage());
    // (Its text, the ready state and the missing windows: the EGL probe's
    // test.) The control paints the page itself: white, its three lines black
    // at the bottom left inside the 10-pixel inset, 11 pixels each.
    loop_.ProcessPending();
    const platform::RgbImage& page = c.ErrorPageImage();
    ASSERT_EQ(page.width, 100);
    ASSERT_EQ(page.rgb.size(), 100u * 100 * 3);
    int black = 0, astray = 0;
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 100; ++x) {
            if (page.rgb[(y * 100 + x) * 3] < 128) {
                ++black;
                astray += x < 10 || y >= 90 || y < 90 - 3 * 11 - 2 ? 1 : 0;
            }
        }
    }
    EXPECT_GT(black, 100);
    EXPECT_EQ(astray, 0);
}

// The context is made on a second thread while the start-up timer runs: a
// resize in that time reaches the framebuffer, and a control destroyed before
// the timer waits for that thread and leaves nothing behind.
TEST_F(ControlFixture, ContextMadeDuringStartUpFollowsAResizeAndDiesWithTheControl) {
    SX_Control& c = MakeControl(MakeOptions());
    ASSERT_TRUE(c.Create(200, 150));
    c.Resize(320, 240);
    clock_.Advance(100);
    ASSERT_EQ(c.ReadyState(), 4) << "OpenGL initialisation failed";
    const SX_GraphicWindow& view = *c.GraphicWindow();
    EXPECT_EQ(view.Context()->Width(), std::max(view.Width(), 1));
    EXPECT_EQ(view.Context()->Height(), std::max(view.Height(), 1));
    platform::RgbImage frame;
    ASSERT_TRUE(c.CaptureView(frame));
    EXPECT_EQ(frame.width, view.Width());

    SX_Control& early = MakeControl(MakeOptions());
    ASSERT_TRUE(early.Create(200, 150));
    early.Destroy();
    clock_.Advance(200);
    EXPECT_EQ(early.ReadyState(), 3);
}
