#include "platform/Canvas.h"

#include <gtest/gtest.h>

#include <cstdlib>

using platform::Canvas;
using platform::CanvasPen;

namespace {

int Channel(std::uint32_t argb, int shift) {
    return static_cast<int>((argb >> shift) & 0xFF);
}

// Each channel within `tol` of the expected colour.
::testing::AssertionResult Near(std::uint32_t got, std::uint32_t want, int tol = 3) {
    for (int shift : {24, 16, 8, 0}) {
        if (std::abs(Channel(got, shift) - Channel(want, shift)) > tol) {
            return ::testing::AssertionFailure()
                   << std::hex << "got 0x" << got << ", want 0x" << want;
        }
    }
    return ::testing::AssertionSuccess();
}

}  // namespace

TEST(CanvasTest, RectangleOutlineAndTranslucentFillLandOnTheirPixels) {
    Canvas c(40, 30);
    EXPECT_EQ(c.PixelAt(5, 5), 0u);
    // Outline on pixel centres: a 1 px pen at x = 10.5 covers column 10 only.
    c.FillRect(10, 10, 20, 10, 0x80FF0000);
    c.StrokeRect(10.5, 10.5, 19, 9, {0xFFFF0000, 1.0, 0});
    EXPECT_TRUE(Near(c.PixelAt(10, 15), 0xFFFF0000));
    EXPECT_TRUE(Near(c.PixelAt(29, 15), 0xFFFF0000));
    EXPECT_TRUE(Near(c.PixelAt(20, 10), 0xFFFF0000));
    EXPECT_TRUE(Near(c.PixelAt(20, 15), 0x80FF0000));  // fill keeps its alpha
    EXPECT_EQ(c.PixelAt(9, 15), 0u);
    EXPECT_EQ(c.PixelAt(31, 15), 0u);
    EXPECT_EQ(c.PixelAt(-1, 0), 0u);
    EXPECT_EQ(c.PixelAt(40, 0), 0u);

    // Over black the half-transparent red is half red.
    const platform::RgbImage rgb = c.ToRgb();
    const std::size_t inside = (15u * 40u + 20u) * 3u;
    EXPECT_NEAR(rgb.rgb[inside], 128, 2);
    EXPECT_EQ(rgb.rgb[inside + 1], 0);
}

TEST(CanvasTest, LinesEllipsesAndArrowHeads) {
    Canvas c(50, 50);
    c.Clear(0xFFFFFFFF);
    c.Line(5, 10.5, 45, 10.5, {0xFF0000FF, 1.0, 0});
    EXPECT_TRUE(Near(c.PixelAt(25, 10), 0xFF0000FF));
    EXPECT_TRUE(Near(c.PixelAt(25, 12), 0xFFFFFFFF));

    c.FillEllipse(10, 20, 20, 20, 0xFF00FF00);
    EXPECT_TRUE(Near(c.PixelAt(20, 30), 0xFF00FF00));
    EXPECT_TRUE(Near(c.PixelAt(11, 21), 0xFFFFFFFF));  // corner of the box stays out

    // Tip at (45, 45), pointing right: its base is 10 px back to the left.
    c.FilledArrowHead(45, 45, 35, 45, 8, 10, 0xFFFF0000);
    EXPECT_TRUE(Near(c.PixelAt(38, 45), 0xFFFF0000));
    EXPECT_TRUE(Near(c.PixelAt(33, 45), 0xFFFFFFFF));
    EXPECT_TRUE(Near(c.PixelAt(46, 45), 0xFFFFFFFF));
}

TEST(CanvasTest, CanvasOverCanvasWithOpacityAndStretchedImage) {
    Canvas top(10, 10);
    top.FillRect(0, 0, 10, 10, 0xFFFF0000);
    Canvas base(10, 10);
    base.Clear(0xFF000000);
    base.DrawCanvas(top, 0.5);
    EXPECT_TRUE(Near(base.PixelAt(5, 5), 0xFF800000));

    platform::RgbImage img{2, 1, {255, 255, 255, 0, 0, 255}};
    Canvas c(20, 10);
    c.DrawImage(img, 0, 0, 20, 10);
    EXPECT_TRUE(Near(c.PixelAt(2, 5), 0xFFFFFFFF));
    EXPECT_TRUE(Near(c.PixelAt(18, 5), 0xFF0000FF));
}

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

TEST(CanvasTest, OutlineHitTestsFollowTheWidenedStroke) {
    Canvas c(100, 100);
    EXPECT_TRUE(c.HitRectOutline(10, 10, 50, 30, 10, 25, 4));
    EXPECT_TRUE(c.HitRectOutline(10, 10, 50, 30, 11.9, 25, 4));
    EXPECT_FALSE(c.HitRectOutline(10, 10, 50, 30, 12.5, 25, 4));
    EXPECT_FALSE(c.HitRectOutline(10, 10, 50, 30, 35, 25, 4));  // the inside is no outline
    EXPECT_TRUE(c.HitEllipseOutline(0, 0, 40, 20, 20, 0.5, 3));
    EXPECT_FALSE(c.HitEllipseOutline(0, 0, 40, 20, 20, 10, 3));
    EXPECT_TRUE(c.HitLine(0, 0, 50, 50, 25, 26, 4));
    EXPECT_FALSE(c.HitLine(0, 0, 50, 50, 25, 30, 4));
    // The test leaves nothing behind: a fill afterwards fills only its own box.
    c.FillRect(80, 80, 5, 5, 0xFF000000);
    EXPECT_EQ(c.PixelAt(25, 25), 0u);
}
