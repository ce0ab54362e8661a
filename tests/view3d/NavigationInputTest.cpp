// The view's default mouse bindings, their camera arithmetic and events, the
// context menu, the host-configurable bindings and the spin mode, all driven
// by the messages a desktop would deliver.

#include <gtest/gtest.h>

#include "support/ControlFixture.h"

using namespace platform;
using Events = std::vector<std::string>;

namespace {

class NavigationInput : public ViewInputFixture {};

}  // namespace

TEST_F(NavigationInput, LeftDragRotatesContinuouslyOnTimerTicks) {
    Ready(1000, 500);
    Cam().SetFieldOfView(90.0);
    Mouse(kMsgMouseMove, 500, 250);
    Mouse(kMsgLButtonDown, 500, 250, kKeyLButton);
    EXPECT_EQ(full_, Events{"MenuEvent(2)"});
    EXPECT_TRUE(RotationTimer());
    EXPECT_TRUE(ui_.MouseCaptured());

    Mouse(kMsgMouseMove, 600, 200, kKeyLButton);
    clock_.Advance(29);
    EXPECT_EQ(Cam().Azimuth(), 0.0);
    // First tick 30 ms after the press: 100 px * 0.15 / (500 / 100) to the
    // right, 50 px * 0.15 / (1000 / 100) up.
    clock_.Advance(1);
    EXPECT_NEAR(Cam().Azimuth(), 3.0, 1e-9);
    EXPECT_NEAR(Cam().Altitude(), 0.75, 1e-9);
    EXPECT_EQ(full_, (Events{"MenuEvent(2)", "AzimuthChanged", "CameraChanged"}));
    clock_.Advance(5);  // then every 5 ms
    EXPECT_NEAR(Cam().Azimuth(), 6.0, 1e-9);

    full_.clear();
    Mouse(kMsgLButtonUp, 600, 200);
    EXPECT_EQ(full_, Events{"CameraChanged"});
    EXPECT_FALSE(ui_.MouseCaptured());
    clock_.Advance(50);
    EXPECT_NEAR(Cam().Azimuth(), 6.0, 1e-9);
}

TEST_F(NavigationInput, LookAndZoomDragsFollowThePointer) {
    Ready(1000, 500);
    Cam().SetFieldOfView(90.0);
    // Shift + left looks: 10 px right lowers the azimuth by 10 / 5, 10 px
    // down raises the altitude by 10 / 10; events on the release.
    LeftDrag(500, 250, 510, 260, kKeyShift);
    EXPECT_NEAR(Cam().Azimuth(), -2.0, 1e-9);
    EXPECT_NEAR(Cam().Altitude(), 1.0, 1e-9);
    EXPECT_EQ(full_, (Events{"MenuEvent(2)", "CameraChanged", "AzimuthChanged"}));

    // Ctrl and Shift together: the Shift row (look, not zoom).
    LeftDrag(500, 250, 510, 250, kKeyControl | kKeyShift);
    EXPECT_NEAR(Cam().Azimuth(), -4.0, 1e-9);
    EXPECT_EQ(Cam().FieldOfView(), 90.0);

    // Ctrl + left zooms: dragging up 10 px widens by 10 / 5 * 90 / 90.
    full_.clear();
    LeftDrag(500, 250, 500, 240, kKeyControl);
    EXPECT_NEAR(Cam().FieldOfView(), 92.0, 1e-9);
    EXPECT_EQ(full_, (Events{"MenuEvent(2)", "CameraChanged"}));

    // The middle button zooms too: down 10 px narrows by 10 / 5 * 92 / 90.
    full_.clear();
    Mouse(kMsgMouseMove, 500, 250);
    Mouse(kMsgMButtonDown, 500, 250, kKeyMButton);
    Mouse(kMsgMouseMove, 500, 260, kKeyMButton);
    Mouse(kMsgMButtonUp, 500, 260);
    EXPECT_NEAR(Cam().FieldOfView(), 92.0 - 2.0 * 92.0 / 90.0, 1e-9);
    EXPECT_EQ(full_, Events{"CameraChanged"});

    // Without camera events only AzimuthChanged ends a look.
    control_->put_RaiseCameraEvents(VARIANT_FALSE);
    full_.clear();
    LeftDrag(500, 250, 490, 250, kKeyShift);
    EXPECT_EQ(full_, (Events{"MenuEvent(2)", "AzimuthChanged"}));
}

TEST_F(NavigationInput, WheelZoomsTwoStepsPerNotchWithoutEvents) {
    Ready(1000, 500);
    Cam().SetFieldOfView(45.0);
    Wheel(120);  // away from the user: wider, 45 + 2 * 2 * 45 / 90
    EXPECT_NEAR(Cam().FieldOfView(), 47.0, 1e-9);
    Wheel(-49);  // 49 / 50 truncates to no step
    EXPECT_NEAR(Cam().FieldOfView(), 47.0, 1e-9);
    Wheel(-50);
    EXPECT_NEAR(Cam().FieldOfView(), 47.0 - 2.0 * 47.0 / 90.0, 1e-9);
    Wheel(120 * 50);
    EXPECT_EQ(Cam().FieldOfView(), 120.0);
    EXPECT_TRUE(full_.empty());
}

TEST_F(NavigationInput, RightClickShowsTheMenuAndActsOnItsCommand) {
    Ready(400, 300);
    auto rightClick = [this] {
        Mouse(kMsgMouseMove, 30, 40);
        Mouse(kMsgRButtonDown, 30, 40, kKeyRButton);
        Mouse(kMsgRButtonUp, 30, 40);
    };
    rightClick();
    ASSERT_EQ(ui_.Menus().size(), 1u);
    EXPECT_EQ(std::pair(ui_.Menus()[0].x, ui_.Menus()[0].y), std::pair(30, 40));
    ui_.QueueMenuAnswer(124);  // grayed: dismissed
    rightClick();
    EXPECT_TRUE(full_.empty());

    // Mode 4 enables "Deselect"; leaving 4 keeps it, a later change grays it.
    EXPECT_TRUE(SetMode(4));
    ui_.QueueMenuAnswer(124);
    rightClick();
    EXPECT_EQ(full_, Events{"MenuEvent(21)"});
    EXPECT_TRUE(SetMode(0));
    EXPECT_FALSE(control_->GraphicWindow()->IsMenuItemGrayed(124));
    Mouse(kMsgMouseMove, 31, 40);  // hover feedback: nothing under the pointer
    EXPECT_EQ(ui_.CurrentCursor(), HostUi::Cursor::kArrow);
    EXPECT_TRUE(SetMode(1));
    EXPECT_TRUE(control_->GraphicWindow()->IsMenuItemGrayed(124));
    EXPECT_FALSE(SetMode(-1));
    EXPECT_EQ(control_->ViewMode(), 1);
}

TEST_F(NavigationInput, HostMouseBindingReportsEveryButtonToThePage) {
    Ready(400, 300);
    EXPECT_TRUE(SetMouseAction(3, 4, 0));
    EXPECT_FALSE(SetMouseAction(4, 0, 0));
    EXPECT_FALSE(SetMouseAction(0, 5, 0));
    for (int button = 0; button <= 4; ++button) {
        EXPECT_TRUE(SetMouseAction(0, button, 4));
    }
    Mouse(kMsgMouseMove, 5, 6);
    Mouse(kMsgLButtonDown, 5, 6, kKeyLButton);
    Mouse(kMsgLButtonUp, 7, 6);
    Mouse(kMsgRButtonDown, 7, 8, kKeyRButton);
    Mouse(kMsgRButtonUp, 7, 9);
    Wheel(120);
    EXPECT_EQ(full_, (Events{"MouseEvent(1,5,6)", "MouseEvent(2,5,6)", "MouseEvent(3,7,6)",
                             "MouseEvent(6,7,8)", "MouseEvent(7,7,9)", "MouseEvent(8,7,9)"}));
    EXPECT_EQ(ui_.Menus().size(), 1u);  // the menu still opens on the right release
    EXPECT_EQ(Cam().Azimuth(), 0.0);
}

TEST_F(NavigationInput, SpinStopsOnALeftClickAndOtherModesIgnoreTheMouse) {
    SX_Control& c = Ready(400, 300);
    c.SetSpin(2.0);
    clock_.Advance(0);
    EXPECT_EQ(Cam().Azimuth(), 2.0);
    LeftDrag(100, 100, 150, 100, kKeyShift);  // in spin mode only the release counts
    EXPECT_EQ(Cam().Azimuth(), 2.0);
    EXPECT_FALSE(RotationTimer());

    EXPECT_TRUE(SetMode(7));
    full_.clear();
    LeftDrag(100, 100, 150, 120, kKeyShift);
    Wheel(120);
    EXPECT_EQ(Cam().FieldOfView(), 80.0);
    EXPECT_TRUE(full_.empty());
}

TEST_F(NavigationInput, ErrorPanelLayoutShrinksTheViewAndInputFollowsIt) {
    SX_Control& c = Ready(1000, 500);
    c.DataSet().AddMessage(u"broken");
    c.Resize(1000, 500);
    SX_GraphicWindow& view = *c.GraphicWindow();
    EXPECT_EQ((std::vector<int>{view.X(), view.Y(), view.Width(), view.Height()}),
              (std::vector<int>{200, 0, 800, 300}));
    EXPECT_FALSE(Mouse(kMsgMouseMove, 150, 100));  // over the error panel
    EXPECT_TRUE(Mouse(kMsgMouseMove, 300, 100));
    EXPECT_EQ(view.MouseStatus().X(), 100);
}
