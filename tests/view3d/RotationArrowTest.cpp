// The continuous-rotation arrow drawn over the frame (Mesa): a white dot with
// a dark rim on the press point, a red triangle whose tip is the pointer, a
// line fading towards the press point, nothing once the button is released.

#include <gtest/gtest.h>

#include "support/ControlFixture.h"
#include "view3d/NavigationControls.h"

using namespace platform;

namespace {

class RotationArrow : public ViewInputFixture {
  protected:
    static std::array<int, 3> At(const RgbImage& image, int x, int y) {
        const std::size_t i = (static_cast<std::size_t>(y) * image.width + x) * 3;
        return {image.rgb[i], image.rgb[i + 1], image.rgb[i + 2]};
    }
};

}  // namespace

TEST_F(RotationArrow, ArrowRunsFromThePressPointToThePointer) {
    // No station: the cube's faces are drawn white.
    const std::array<int, 3> white{255, 255, 255};
    // The navigation controls are hidden, so only their show button (at the
    // right edge, below the arrow's row) stays over the view.
    Ready(200, 150).NavigationControls().ShowHide(false);
    Mouse(kMsgMouseMove, 60, 60);
    Mouse(kMsgLButtonDown, 60, 60, kKeyLButton);
    // The pointer on the press point: no arrow (the dot's dark rim would lie
    // 4 px above it).
    EXPECT_EQ(At(Frame(), 60, 56), white);

    Mouse(kMsgMouseMove, 140, 60, kKeyLButton);
    const RgbImage frame = Frame();
    ASSERT_EQ(frame.width, 200);
    EXPECT_EQ(At(frame, 60, 60), white);  // the white dot on the press point
    const auto rim = At(frame, 60, 56);   // inside the 8 px dot, outside the 6 px one
    EXPECT_LT(rim[1], 230);
    EXPECT_GT(rim[0], rim[1]);
    // The triangle's centre lies 8 px from the tip towards the press point:
    // (1.0, 0.2, 0.2) at alpha 0.8 over white.
    const auto head = At(frame, 132, 60);
    EXPECT_NEAR(head[0], 255, 10);
    EXPECT_NEAR(head[1], 92, 20);
    EXPECT_NEAR(head[2], 92, 20);
    EXPECT_EQ(At(frame, 141, 60), white);  // beyond the tip
    // The line grows opaque from the press point towards the head.
    EXPECT_LT(At(frame, 120, 60)[1], At(frame, 75, 60)[1]);
    EXPECT_EQ(At(frame, 100, 20), white);

    Mouse(kMsgLButtonUp, 140, 60);
    EXPECT_EQ(At(Frame(), 132, 60), white);
}
