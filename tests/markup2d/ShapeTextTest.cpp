// Shapes and texts: handles, coordinates that follow the window, rendered
// pixels, tooltips, in-place text editing. (Dragging a handle: the drawing
// controller's test; fill opacity's rounding: the shape methods' test.)
#include <gtest/gtest.h>

#include <cstdlib>

#include "markup2d/FakeDrawingHost.h"
#include "markup2d/SX_DrawingShape.h"
#include "markup2d/SX_DrawingText.h"

namespace {

int Alpha(std::uint32_t argb) {
    return static_cast<int>(argb >> 24);
}
bool IsRed(std::uint32_t argb) {
    return Alpha(argb) > 200 && ((argb >> 16) & 0xFF) > 200 && ((argb >> 8) & 0xFF) < 40 &&
           (argb & 0xFF) < 40;
}
bool IsWhite(std::uint32_t argb) {
    return Alpha(argb) > 200 && ((argb >> 16) & 0xFF) > 200 && ((argb >> 8) & 0xFF) > 200 &&
           (argb & 0xFF) > 200;
}

class ShapeTextTest : public ::testing::Test {
  protected:
    SX_DrawingShape Placed(int kind, float x1, float y1, float x2, float y2) {
        SX_DrawingShape s(kind, host_.defaults, 0);
        s.SetHost(&host_);
        s.SetReferenceSize(static_cast<float>(host_.width), static_cast<float>(host_.height));
        s.SetPoints(x1, y1, x2, y2);
        s.Place();
        return s;
    }
    FakeDrawingHost host_;
};

}  // namespace

TEST_F(ShapeTextTest, ALineHasTwoHandlesAndItsArrowheadAtTheStart) {
    SX_DrawingShape line = Placed(SX_DrawingShape::kLine, 20, 30, 180, 30);
    line.SetPen(u"#ff0000", 0.0, 2.0, 0);
    platform::Canvas canvas(200, 100);
    line.Draw(canvas);
    // The arrowhead (9 px at pen width 2) is wider than the line at the start only.
    EXPECT_TRUE(IsRed(canvas.PixelAt(26, 32)));
    EXPECT_EQ(canvas.PixelAt(174, 32), 0u);
    EXPECT_TRUE(IsRed(canvas.PixelAt(100, 30)));

    SX_DrawingShape diag = Placed(SX_DrawingShape::kLine, 20, 20, 180, 80);
    diag.SetHot(true);
    platform::Canvas sel(200, 100);
    diag.Draw(sel);
    EXPECT_TRUE(IsWhite(sel.PixelAt(180, 80)));   // handle 2
    EXPECT_TRUE(IsWhite(sel.PixelAt(20, 20)));    // handle 0
    EXPECT_FALSE(IsWhite(sel.PixelAt(180, 20)));  // no handle 1 on a line
    EXPECT_FALSE(IsWhite(sel.PixelAt(100, 20)));  // nor 5
    EXPECT_EQ(diag.HandleAt(180, 20), -1);
    SX_DrawingShape rect = Placed(SX_DrawingShape::kRectangle, 20, 20, 180, 80);
    EXPECT_EQ(rect.HandleAt(180, 20), 1);
    EXPECT_EQ(rect.HandleAt(183.5, 23.5), 1);  // 3.5 px per axis, edges included
    EXPECT_EQ(rect.HandleAt(183.6, 20), -1);
}

TEST_F(ShapeTextTest, HandlesOverlappingOnASmallShapeAreTriedInOrder) {
    // A 4 px square: every handle is within 3.5 px of its centre.
    SX_DrawingShape tiny = Placed(SX_DrawingShape::kRectangle, 50, 50, 54, 54);
    EXPECT_EQ(tiny.HandleAt(52, 52), 0);
    EXPECT_EQ(tiny.HandleAt(50, 57), 3);  // out of 0's reach: 3 before 2, 7, 6
    EXPECT_EQ(tiny.HandleAt(57, 57), 2);
    EXPECT_EQ(tiny.HandleAt(57, 48), 1);  // 1 before 5 and 4
}

TEST_F(ShapeTextTest, CoordinatesFollowTheWindowHeightAndNormaliseWhenWritten) {
    SX_DrawingShape s = Placed(SX_DrawingShape::kCircle, 50, 20, 150, 80);
    host_.width = 500;  // twice as high, 100 px wider on each side
    host_.height = 200;
    EXPECT_EQ(s.MapX(50), 250 - 100);
    EXPECT_EQ(s.MapY(80), 160);
    EXPECT_TRUE(s.HitTest(350, 160));
    EXPECT_FALSE(s.HitTest(351, 160));

    StraleLib::SL_XMLWriter writer(0);
    writer.StartElement(u"sx:Marks", kSxNamespace);
    s.WriteXml(writer);
    const platform::XmlNode root = writer.EndElement();
    const platform::XmlNode mark = root.SelectSingleNode(u"sx:ShapeMark");
    EXPECT_EQ(*mark.Attribute(u"Type"), u"Ellipse");
    EXPECT_EQ(mark.SelectSingleNode(u"sx:StartPosition").Text(), u"150.0000 40.0000");
    EXPECT_EQ(mark.SelectSingleNode(u"sx:EndPosition").Text(), u"350.0000 160.0000");
    // Written points become the new reference.
    EXPECT_EQ(s.X1(), 150);
    EXPECT_EQ(s.ReferenceWidth(), 500);
    EXPECT_EQ(s.MapX(150), 150);
}

TEST_F(ShapeTextTest, RectanglePixelsFadingAndTooltip) {
    SX_DrawingShape s = Placed(SX_DrawingShape::kRectangle, 20.5, 20.5, 80.5, 60.5);
    s.SetPen(u"#ff0000", 0.0, 1.0, 0);
    s.SetBrush(u"#0000ff", 0.75);  // alpha (int)(0.25 * 255) = 63
    platform::Canvas canvas(100, 100);
    s.Draw(canvas);
    for (auto [x, y] : {std::pair{20, 40}, {80, 40}, {50, 20}, {50, 60}}) {
        EXPECT_TRUE(IsRed(canvas.PixelAt(x, y))) << x << "," << y;
    }
    EXPECT_NEAR(Alpha(canvas.PixelAt(50, 40)), 63, 2);
    EXPECT_EQ(canvas.PixelAt(18, 40), 0u);
    ASSERT_EQ(host_.log.size(), 1u);
    EXPECT_EQ(host_.log[0], "tooltip Double Click to edit 20,20 60x40");

    platform::Canvas faded(100, 100);
    s.DrawFaded(faded, 0.5);
    EXPECT_NEAR(Alpha(faded.PixelAt(50, 40)), 31, 2);
    // Half the pen (127) over the half pixel of half the fill (31).
    EXPECT_NEAR(Alpha(faded.PixelAt(20, 40)), 135, 3);
    EXPECT_EQ(Alpha(s.GetFillColor()), 63);  // restored
    EXPECT_EQ(host_.log.size(), 1u);         // one tooltip per shape
}

TEST_F(ShapeTextTest, OutlineHitsNearTheEdgeAndInsideOnlyWithInterior) {
    SX_DrawingShape s = Placed(SX_DrawingShape::kCircle, 20, 20, 80, 80);
    platform::Canvas canvas(100, 100);
    EXPECT_TRUE(s.HitTestOutline(canvas, 50, 21, false));
    EXPECT_FALSE(s.HitTestOutline(canvas, 50, 50, false));
    EXPECT_TRUE(s.HitTestOutline(canvas, 50, 50, true));
    EXPECT_FALSE(s.HitTestOutline(canvas, 22, 22, true));  // box corner, outside the ellipse
    EXPECT_FALSE(s.HitTestOutline(canvas, 50, 19, true));  // outside the box
    SX_DrawingShape line = Placed(SX_DrawingShape::kLine, 20, 20, 80, 80);
    EXPECT_TRUE(line.HitTestOutline(canvas, 50, 53, true));
    EXPECT_FALSE(line.HitTestOutline(canvas, 30, 70, true));  // lines have no inside
}

TEST_F(ShapeTextTest, TextIsTypedPastedEditedAndNamed) {
    SX_DrawingText t(host_.defaults, 0);
    t.SetHost(&host_);
    EXPECT_EQ(t.Text(), u"Type your text here");
    EXPECT_TRUE(t.IsActive());
    t.OnMouseMove(At(30, 40));  // the placeholder follows the pointer
    EXPECT_EQ(t.GetPositionX(), 30);
    EXPECT_FALSE(t.OnChar(u'x'));  // not editing yet
    t.OnLeftDown(At(30, 40));
    t.OnLeftUp(At(30, 40));
    EXPECT_TRUE(t.IsEditing());
    EXPECT_EQ(t.Text(), u"");
    t.OnMouseMove(At(90, 90));  // editing: the text stays put
    EXPECT_EQ(t.GetPositionX(), 30);

    // (Typing, pasting and erasing: the drawing controller's test.) A line
    // break is typed; Escape ends the edit.
    for (const char16_t c : std::u16string_view(u"Hello")) {
        t.OnChar(c);
    }
    t.OnKeyDown(13);
    t.OnChar(u'i');
    t.OnKeyDown(8);
    t.OnKeyDown(8);
    EXPECT_EQ(t.Text(), u"Hello");
    EXPECT_TRUE(t.OnKeyDown(27));
    EXPECT_FALSE(t.IsActive());
    EXPECT_FALSE(t.IsEditing());
    EXPECT_TRUE(t.IsHot());
    EXPECT_FALSE(t.OnKeyDown(8));
    EXPECT_EQ(t.Text(), u"Hello");

    // Drawn, the laid-out box is what a click hits.
    platform::Canvas canvas(200, 100);
    t.Draw(canvas);
    EXPECT_GT(t.LaidOutWidth(), 10);
    EXPECT_TRUE(t.HitTest(31, 41));
    EXPECT_FALSE(t.HitTest(31 + t.LaidOutWidth(), 41));

    t.SetText(u"123456789012345678901234567890");
    EXPECT_EQ(t.GetTypeName(), u"Text  (12345678901234567890...)");
}
