// The drawing overlay: the drawings' order and fading. (The still image under
// them is the views page's test, the hand-over of a drag to the live view the
// control's.)
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "markup2d/SX_2DDrawingWindow.h"
#include "markup2d/SX_Defaults.h"
#include "platform/Clock.h"
#include "platform/MessageLoop.h"

using namespace platform;

namespace {

// A square that records how it was drawn.
class Square final : public SX_DrawingBase {
  public:
    Square(std::string name, double x, std::vector<std::string>& log)
        : SX_DrawingBase(kShapeClass, SX_Defaults(), 0), name_(std::move(name)), x_(x), log_(log) {}
    void Draw(Canvas& canvas) override {
        log_.push_back(name_);
        canvas.FillRect(x_, 20, 10, 10, 0xFFFFFFFF);
    }
    void DrawFaded(Canvas& canvas, double factor) override {
        log_.push_back(name_ + " " + std::to_string(factor).substr(0, 4));
        canvas.FillRect(x_, 20, 10, 10, 0xFFFFFFFF);
    }
    void WriteXml(StraleLib::SL_XMLWriter&) override {}
    bool ReadXml(const XmlNode&) override { return true; }
    std::u16string GetTypeName() const override { return u"Square"; }
    void ResetProperties(const SX_Defaults&) override {}
    bool OnMouseMove(const SX_MouseStatus&) override { return false; }
    bool OnLeftUp(const SX_MouseStatus&) override { return false; }
    bool OnLeftDown(const SX_MouseStatus&) override { return false; }
    bool HitTestOutline(const Canvas&, double, double, bool) override { return false; }
    bool HitTest(double, double) const override { return false; }

  protected:
    void NormalizePoints() override {}

  private:
    std::string name_;
    double x_;
    std::vector<std::string>& log_;
};

// 40 x 30: blue above, green below.
RgbImage TwoBands() {
    RgbImage image{40, 30, std::vector<std::uint8_t>(40 * 30 * 3, 0)};
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            image.rgb[(y * 40 + x) * 3 + (y < 15 ? 2 : 1)] = 255;
        }
    }
    return image;
}

class DrawingWindowTest : public ::testing::Test {
  protected:
    DrawingWindowTest() {
        overlay.SetCapturer([](RgbImage& image) {
            image = TwoBands();
            return true;
        });
        overlay.Move(0, 0, 80, 60);
        overlay.CaptureBackground();
    }
    std::uint32_t Pixel(int x, int y) const { return overlay.Painted()->PixelAt(x, y) & 0xFFFFFF; }

    VirtualClock clock;
    MessageLoop loop{clock};
    SX_2DDrawingWindow overlay{loop};
    std::vector<std::string> log;
};

}  // namespace

TEST_F(DrawingWindowTest, DrawingsInOrderFadedBelowOneAndTheAddedOneLastInMarkupMode) {
    SX_DrawingList list;
    list.push_back(std::make_unique<Square>("a", 20, log));
    list.push_back(std::make_unique<Square>("b", 40, log));
    overlay.SetDrawings(&list);
    overlay.SetAddingDrawing(std::make_unique<Square>("new", 60, log));

    overlay.Paint();
    EXPECT_EQ(log, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(Pixel(25, 25), 0xFFFFFFu);
    log.clear();
    overlay.SetMarkupMode(true);
    overlay.Paint();
    EXPECT_EQ(log, (std::vector<std::string>{"a", "b", "new"}));

    log.clear();
    overlay.SetMarkupMode(false);
    EXPECT_EQ(overlay.FadeIn(), 9);
    ASSERT_EQ(log.size(), 18u);
    EXPECT_EQ(log[0], "a 0.02");  // 0.5 - 0.5 cos(0.1 pi)
    EXPECT_EQ(log[17], "b 0.97");

    overlay.ReleaseDrawings();
    EXPECT_EQ(overlay.Drawings(), nullptr);
    EXPECT_EQ(overlay.AddingDrawing(), nullptr);
}
