// The camera members of the automation interface, transitions and the spin
// timer on a control running on the virtual clock (rendering with Mesa).

#include <gtest/gtest.h>

#include "control/Automation.h"
#include "glcore/SX_OpenGLCamera.h"
#include "support/ControlFixture.h"
#include "view3d/SX_GraphicWindow.h"

using namespace platform;

namespace {

class CameraControlTest : public ControlFixture {
  protected:
    int Out(const char16_t* name) { return r_.Out(name)->Int32Value(); }
};

}  // namespace

TEST_F(CameraControlTest, MembersActAtReadyStateFourAndFireNothing) {
    SX_Control& c = MakeControl(MakeOptions());
    c.Create(200, 150);
    // (Members declining before ready state 4 are the every-member page's.)
    // No OpenGL yet: no frame is drawn, and a turn ends without frames.
    EXPECT_FALSE(c.RenderFrame());
    EXPECT_EQ(Call(u"PointCamera", {1.0, 0.0, 0.0}), S_OK);
    EXPECT_NEAR(Cam().Azimuth(), 90.0, 1e-9);
    clock_.Advance(200);
    ASSERT_EQ(c.ReadyState(), 4);
    events_.clear();

    // Transitions: none for no direction; camera events on afterwards.
    Call(u"SetAzimuth", {179.0});
    EXPECT_EQ(Call(u"PointCamera", {0.0, 0.0, 0.0}), S_FALSE);
    EXPECT_DOUBLE_EQ(Cam().Azimuth(), 179.0);
    Call(u"RaiseCameraEvents", {Variant(false)}, DispatchKind::PropertyPut);
    EXPECT_EQ(Call(u"PointCamera", {-1.0, 0.0, 0.0}), S_OK);
    EXPECT_NEAR(Cam().Azimuth(), -90.0, 1e-9);
    EXPECT_NEAR(Cam().Altitude(), 0.0, 1e-9);
    EXPECT_TRUE(c.RaiseCameraEvents());
    Call(u"AnimateTransitions", {Variant(false)}, DispatchKind::PropertyPut);
    EXPECT_EQ(Call(u"PointCamera", {0.0, 0.0, -3.0}), S_OK);
    EXPECT_EQ(Cam().Azimuth(), 0.0);
    EXPECT_TRUE(events_.empty());

    // The transition's last frame is the one projected; rows from the bottom.
    EXPECT_EQ(Call(u"GetScreenLocation", {0.0, 0.0, -20.0}), S_OK);
    EXPECT_EQ(Out(u"screenX"), 100);
    EXPECT_EQ(Out(u"screenY"), 75);
    Call(u"SetAzimuth", {90.0});  // not redrawn yet: +x is still off screen
    EXPECT_EQ(Call(u"GetScreenLocation", {20.0, 0.0, 0.0}), S_FALSE);
    ASSERT_TRUE(c.RenderFrame());
    EXPECT_EQ(Call(u"GetScreenLocation", {20.0, 0.0, 0.0}), S_OK);
    EXPECT_NEAR(Out(u"screenX"), 100, 1);
    EXPECT_TRUE(c.GraphicWindow()->Context()->IsReleased());
}

TEST_F(CameraControlTest, SpinTurnsOnEveryTickUntilStopped) {
    SX_Control& c = ReadyControl(MakeOptions());
    Cam().SetAzimuth(175.0);
    Call(u"SetSpin", {2.0});
    EXPECT_EQ(c.ViewMode(), 2);
    clock_.Advance(0);  // the first tick at once
    EXPECT_DOUBLE_EQ(Cam().Azimuth(), 177.0);
    EXPECT_EQ(events_, (std::vector<std::string>{"AzimuthChanged", "CameraChanged"}));
    clock_.Advance(4);
    EXPECT_DOUBLE_EQ(Cam().Azimuth(), 177.0);
    clock_.Advance(11);  // then every 5 ms, wrapped
    EXPECT_DOUBLE_EQ(Cam().Azimuth(), -177.0);
    EXPECT_EQ(Count("CameraChanged"), 4);
    c.put_RaiseCameraEvents(VARIANT_FALSE);
    events_.clear();
    clock_.Advance(5);
    EXPECT_EQ(events_, (std::vector<std::string>{"AzimuthChanged"}));

    for (double stop : {0.005, -3.0}) {
        Call(u"SetSpin", {2.0});
        Call(u"SetSpin", {stop});
        EXPECT_EQ(c.ViewMode(), 0);
        EXPECT_EQ(c.SpinStep(), 0.0);
        const double before = Cam().Azimuth();
        clock_.Advance(50);
        EXPECT_EQ(Cam().Azimuth(), before) << stop;
    }
    // A view that failed stops the spin at its next tick.
    Call(u"SetSpin", {1.0});
    c.DataSet().AddMessage(u"broken");
    clock_.Advance(20);
    EXPECT_FALSE(c.Loop().HasTimer(c.WindowHandle(), SX_Control::kTimerSpin));
}
