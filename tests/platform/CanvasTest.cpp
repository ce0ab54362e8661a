#include "platform/Canvas.h"

#include <gtest/gtest.h>

using platform::Canvas;

TEST(CanvasTest, TextIsMeasuredAndDrawnInsideItsBox) {
    Canvas c(200, 60);
    const platform::TextBox box = c.MeasureText(u"Hello", u"Tahoma", 12.0);
    EXPECT_GT(box.width, 10.0);
    // 12 pt at 96 dpi is 16 px: a line is at least that high.
    EXPECT_GE(box.height, 16.0);
    EXPECT_LT(box.height, 40.0);
    const platform::TextBox two = c.MeasureText(u"Hello\nHello", u"Tahoma", 12.0);
    EXPECT_NEAR(two.width, box.width, 0.5);
    EXPECT_GT(two.height, 1.8 * box.height);
    EXPECT_EQ(c.MeasureText(u"", u"Tahoma", 12.0).width, 0.0);

    c.DrawText(20, 10, u"Hello", u"Tahoma", 12.0, 0xFF00FF00);
    int inside = 0;
    int outside = 0;
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 200; ++x) {
            if (c.PixelAt(x, y) == 0) {
                continue;
            }
            const bool in = x >= 19 && x <= 21 + box.width && y >= 9 && y <= 11 + box.height;
            (in ? inside : outside)++;
        }
    }
    EXPECT_GT(inside, 20);
    EXPECT_EQ(outside, 0);
}
