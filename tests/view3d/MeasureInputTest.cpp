// Measuring mode: a click is taken, a drag still turns the view. (Escape
// ending it: the view state test; a click's PointPicked and its coordinates:
// the measuring page.)

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
