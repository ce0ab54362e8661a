// The camera members of the automation interface, transitions and the spin
// timer on a control running on the virtual clock (rendering with Mesa).

#include <gtest/gtest.h>

#include "control/ControlFixture.h"
#include "control/SX_ControlAutomation.h"
#include "glcore/SX_OpenGLCamera.h"
#include "view3d/SX_GraphicWindow.h"

using namespace platform;

namespace {

class CameraControlTest : public ControlFixture {
  protected:
    void Attach(SX_Control& control) { automation_ = MakeRef<SX_ControlAutomation>(&control); }
    HRESULT Call(std::u16string_view name, std::vector<Variant> args = {},
                 DispatchKind kind = DispatchKind::Method) {
        r_.Clear();
        return automation_->InvokeByName(name, kind, args, r_);
    }
    double Get(std::u16string_view name) {
        EXPECT_EQ(Call(name), S_OK);
        return r_.retval.IsEmpty() ? -999.0 : r_.retval.DoubleValue();
    }
    StraleLib::SX_OpenGLCamera& Camera() { return *control_->DataSet().Camera(); }

    ComPtr<SX_ControlAutomation> automation_;
    InvokeResult r_;
};

}  // namespace

TEST_F(CameraControlTest, GettersAndSettersActAtReadyStateFourAndKeepTheLimits) {
    SX_Control& c = MakeControl(MakeOptions());
    Attach(c);
    ASSERT_NE(c.DataSet().Camera(), nullptr);  // from construction on
    c.Create(200, 150);
    // Ready state 3: declined, nothing written, nothing stored.
    EXPECT_EQ(Call(u"SetAzimuth", {50.0}), S_OK);
    EXPECT_EQ(Call(u"GetAzimuth"), S_OK);
    EXPECT_TRUE(r_.retval.IsEmpty() || r_.retval == Variant(0.0));
    EXPECT_EQ(Camera().Azimuth(), 0.0);
    clock_.Advance(200);
    ASSERT_EQ(c.ReadyState(), 4);
    events_.clear();
    // The camera draws into the graphic window's world.
    EXPECT_EQ(Camera().World(), &c.GraphicWindow()->World());

    EXPECT_EQ(Call(u"SetAzimuth", {190.0}), S_OK);
    EXPECT_DOUBLE_EQ(Get(u"GetAzimuth"), -170.0);
    Call(u"SetAzimuth", {600.0});
    EXPECT_DOUBLE_EQ(Get(u"GetAzimuth"), 240.0);
    Call(u"SetAltitude", {-90.0});
    EXPECT_DOUBLE_EQ(Get(u"GetAltitude"), -89.9);
    Call(u"SetZoom", {1.0});
    EXPECT_DOUBLE_EQ(Get(u"GetZoom"), 3.0);
    Call(u"SetZoom", {150.0});
    EXPECT_DOUBLE_EQ(Get(u"GetZoom"), 120.0);
    // Altitude first, then azimuth.
    Call(u"SetAltitudeAzimuth", {95.0, -181.0});
    EXPECT_DOUBLE_EQ(Get(u"GetAltitude"), 89.9);
    EXPECT_DOUBLE_EQ(Get(u"GetAzimuth"), 179.0);
    EXPECT_TRUE(events_.empty());  // setters fire nothing

    EXPECT_EQ(Call(u"AnimateTransitions", {}, DispatchKind::PropertyGet), S_OK);
    EXPECT_EQ(r_.retval, Variant(true));
    Call(u"AnimateTransitions", {Variant(false)}, DispatchKind::PropertyPut);
    EXPECT_FALSE(c.AnimateTransitions());
}

TEST_F(CameraControlTest, ScreenLocationProjectsTheLastFrameRowsFromTheBottom) {
    SX_Control& c = ReadyControl(MakeOptions());
    Attach(c);
    ASSERT_TRUE(c.GraphicWindow()->HasOpenGL());
    ASSERT_TRUE(c.RenderFrame());
    EXPECT_EQ(Call(u"GetScreenLocation", {0.0, 0.0, -20.0}), S_OK);
    EXPECT_EQ(*r_.Out(u"screenX"), Variant(std::int32_t{100}));
    EXPECT_EQ(*r_.Out(u"screenY"), Variant(std::int32_t{75}));
    // Up in the view is up in screenY.
    EXPECT_EQ(Call(u"GetScreenLocation", {0.0, 5.0, -20.0}), S_OK);
    EXPECT_GT(r_.Out(u"screenY")->Int32Value(), 80);
    // Only the last frame counts: turned without a redraw, +x is still off.
    Call(u"SetAzimuth", {90.0});
    EXPECT_EQ(Call(u"GetScreenLocation", {20.0, 0.0, 0.0}), S_FALSE);
    ASSERT_TRUE(c.RenderFrame());
    EXPECT_EQ(Call(u"GetScreenLocation", {20.0, 0.0, 0.0}), S_OK);
    EXPECT_NEAR(r_.Out(u"screenX")->Int32Value(), 100, 1);  // float matrices
    // Behind the eye: S_FALSE, outputs untouched.
    EXPECT_EQ(Call(u"GetScreenLocation", {-20.0, 0.0, 0.0}), S_FALSE);
    EXPECT_EQ(*r_.Out(u"screenX"), Variant(std::int32_t{0}));
    // The context is free again for the renderer.
    EXPECT_TRUE(c.GraphicWindow()->Context()->IsReleased());
}

TEST_F(CameraControlTest, PointCameraTurnsWithoutEventsAndSwitchesCameraEventsOn) {
    SX_Control& c = ReadyControl(MakeOptions());
    Attach(c);
    EXPECT_EQ(Call(u"PointCamera", {0.0, 0.0, 0.0}), S_FALSE);
    EXPECT_EQ(Camera().Azimuth(), 0.0);

    Call(u"RaiseCameraEvents", {Variant(false)}, DispatchKind::PropertyPut);
    EXPECT_EQ(Call(u"PointCamera", {1.0, 0.0, 0.0}), S_OK);
    EXPECT_NEAR(Camera().Azimuth(), 90.0, 1e-9);
    EXPECT_TRUE(c.RaiseCameraEvents());
    EXPECT_EQ(Call(u"PointCamera", {-1.0, 0.0, 0.0}), S_OK);
    EXPECT_NEAR(Camera().Azimuth(), -90.0, 1e-9);
    EXPECT_EQ(Call(u"PointCamera", {0.0, 1.0, -1.0}), S_OK);
    EXPECT_NEAR(Camera().Azimuth(), 0.0, 1e-9);
    EXPECT_NEAR(Camera().Altitude(), 45.0, 1e-9);
    // Unanimated it jumps in one frame.
    c.SetAnimateTransitions(false);
    EXPECT_EQ(Call(u"PointCamera", {0.0, 0.0, 3.0}), S_OK);
    EXPECT_NEAR(std::fabs(Camera().Azimuth()), 180.0, 1e-9);
    EXPECT_EQ(Camera().Altitude(), 0.0);
    EXPECT_TRUE(events_.empty());

    // The last frame drawn is the target's: straight ahead lands in the centre.
    int column = 0, row = 0;
    ASSERT_TRUE(c.GraphicWindow()->Context()->Acquire());
    EXPECT_TRUE(Camera().Project(0.0, 0.0, 10.0, true, column, row));
    c.GraphicWindow()->Context()->Release();
    EXPECT_NEAR(column, 100, 1);  // OpenGL keeps its matrices in floats
    EXPECT_NEAR(row, 74, 1);
}

TEST_F(CameraControlTest, SpinTurnsOnEveryTickUntilStopped) {
    SX_Control& c = ReadyControl(MakeOptions());
    Attach(c);
    Camera().SetAzimuth(175.0);
    EXPECT_EQ(Call(u"SetSpin", {2.0}), S_OK);
    EXPECT_EQ(c.ViewMode(), 2);
    EXPECT_EQ(c.SpinStep(), 2.0);
    clock_.Advance(0);  // the first tick at once
    EXPECT_DOUBLE_EQ(Camera().Azimuth(), 177.0);
    EXPECT_EQ(events_, (std::vector<std::string>{"AzimuthChanged", "CameraChanged"}));
    clock_.Advance(4);
    EXPECT_DOUBLE_EQ(Camera().Azimuth(), 177.0);
    clock_.Advance(1);  // every 5 ms afterwards, wrapped
    EXPECT_DOUBLE_EQ(Camera().Azimuth(), 179.0);
    clock_.Advance(10);
    EXPECT_DOUBLE_EQ(Camera().Azimuth(), -177.0);
    EXPECT_EQ(Count("AzimuthChanged"), 4);
    EXPECT_EQ(Count("CameraChanged"), 4);

    // Camera events off: only the azimuth is reported.
    c.put_RaiseCameraEvents(VARIANT_FALSE);
    events_.clear();
    clock_.Advance(10);
    EXPECT_EQ(events_, (std::vector<std::string>{"AzimuthChanged", "AzimuthChanged"}));

    for (double stop : {0.01, 0.005, -3.0}) {
        Call(u"SetSpin", {2.0});
        Call(u"SetSpin", {stop});
        EXPECT_EQ(c.ViewMode(), 0) << stop;
        EXPECT_EQ(c.SpinStep(), 0.0) << stop;
        const double before = Camera().Azimuth();
        events_.clear();
        clock_.Advance(50);
        EXPECT_EQ(Camera().Azimuth(), before) << stop;
        EXPECT_TRUE(events_.empty()) << stop;
    }
}

TEST_F(CameraControlTest, SpinStopsByItselfOnAFailedView) {
    SX_Control& c = ReadyControl(MakeOptions());
    Attach(c);
    Call(u"SetSpin", {1.0});
    clock_.Advance(0);
    EXPECT_DOUBLE_EQ(Camera().Azimuth(), 1.0);
    c.DataSet().AddMessage(u"broken");
    clock_.Advance(20);
    EXPECT_DOUBLE_EQ(Camera().Azimuth(), 1.0);
    EXPECT_FALSE(c.Loop().HasTimer(c.WindowHandle(), SX_Control::kTimerSpin));
}
