// The measuring modes: a click is taken, a drag still turns the view, and
// Escape ends measuring only in mode 1. A click's PointPicked and its
// coordinates are checked end to end by the measuring page.

#include <gtest/gtest.h>

#include "support/ControlFixture.h"

using namespace platform;
using Events = std::vector<std::string>;

namespace {

class MeasureInput : public ViewInputFixture {
  protected:
    void Click(int x0, int y0, int x1, int y1) {
        Mouse(kMsgMouseMove, x0, y0);
        Mouse(kMsgLButtonDown, x0, y0, kKeyLButton);
        Mouse(kMsgLButtonUp, x1, y1);
    }
};

}  // namespace

TEST_F(MeasureInput, ClickWithinOnePixelIsTakenAndAWiderOneDrags) {
    Ready(400, 300);
    EXPECT_TRUE(SetMode(1));
    Mouse(kMsgMouseMove, 100, 100);
    EXPECT_EQ(ui_.CurrentCursor(), HostUi::Cursor::kHand);  // no point data here

    // 1 px apart on both axes: a click. No point under it, so no event, and
    // the rotation the press started ends without turning the view.
    Click(100, 100, 101, 99);
    EXPECT_EQ(full_, Events{"MenuEvent(2)"});
    EXPECT_FALSE(RotationTimer());
    clock_.Advance(100);
    EXPECT_EQ(Cam().Azimuth(), 0.0);
    EXPECT_EQ(full_.size(), 1u);

    // 2 px apart: a drag, ended by the view controller.
    full_.clear();
    Mouse(kMsgLButtonDown, 100, 100, kKeyLButton);
    Mouse(kMsgMouseMove, 100, 102, kKeyLButton);
    clock_.Advance(30);  // the rotation ticks while the button is held
    EXPECT_LT(Cam().Altitude(), 0.0);
    Mouse(kMsgLButtonUp, 100, 102);
    EXPECT_EQ(full_, (Events{"MenuEvent(2)", "AzimuthChanged", "CameraChanged", "CameraChanged"}));
    EXPECT_FALSE(RotationTimer());
}

TEST_F(MeasureInput, EscapeStopsMeasuringOnlyInModeOne) {
    Ready(400, 300);
    SetMode(1);
    Key(kVkEscape);
    EXPECT_EQ(full_, Events{"StopMeasure"});
    EXPECT_EQ(control_->ViewMode(), 1);  // the page leaves the mode itself
    for (int mode : {4, 0}) {
        SetMode(mode);
        Key(kVkEscape);
    }
    Key(kVkReturn);
    EXPECT_EQ(full_, Events{"StopMeasure"});
}
