#include "glcore/SX_OpenGLText.h"

#include <gtest/gtest.h>

#include <GL/gl.h>

#include "glcore/OpenGLFonts.h"
#include "glcore/SX_OpenGLContext.h"
#include "glcore/SX_OpenGLWorld.h"
#include "support/ImageCompare.h"

using StraleLib::OpenGLFonts;
using StraleLib::SX_OpenGLCamera;
using StraleLib::SX_OpenGLText;
using testsupport::PixelAt;
using testsupport::Rgb;

namespace {

constexpr int kW = 160;
constexpr int kH = 80;
const Rgb kRed{255, 0, 0};
const Rgb kGreen{0, 255, 0};
const Rgb kWhite{255, 255, 255};

// Pixels of one colour (all non-black ones for black), in OpenGL orientation.
struct Extent {
    int count = 0;
    int minX = kW, maxX = -1, minY = kH, maxY = -1;
    int Height() const { return maxY - minY + 1; }
};

Extent Find(const platform::RgbImage& frame, Rgb colour) {
    Extent e;
    for (int row = 0; row < frame.height; ++row) {
        for (int x = 0; x < frame.width; ++x) {
            const Rgb p = PixelAt(frame, x, row);
            if (colour == Rgb{} ? !(p == colour) : p == colour) {
                ++e.count;
                e.minX = std::min(e.minX, x);
                e.maxX = std::max(e.maxX, x);
                e.minY = std::min(e.minY, frame.height - 1 - row);
                e.maxY = std::max(e.maxY, frame.height - 1 - row);
            }
        }
    }
    return e;
}

class TextRender : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(context_.Create(kW, kH)) << context_.LastError();
        ASSERT_TRUE(context_.Acquire());
        world_.SetSize(kW, kH);
        world_.Initialise();
        ASSERT_TRUE(OpenGLFonts::BuildFontLists()) << OpenGLFonts::LastError();
    }
    void TearDown() override {
        OpenGLFonts::DeleteFontLists();
        context_.Release();
    }
    platform::RgbImage Draw(SX_OpenGLText& text) {
        world_.BeginFrame();
        text.Draw();
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        platform::RgbImage frame;
        EXPECT_TRUE(context_.ReadPixels(frame));
        return frame;
    }
    SX_OpenGLText Label(std::u16string s, double x, double y) {
        SX_OpenGLText text(&world_);
        text.SetText(std::move(s));
        text.SetPositionInPixels(true);
        text.SetPosition(x, y, 0.0);
        return text;
    }

    StraleLib::SX_OpenGLContext context_;
    StraleLib::SX_OpenGLWorld world_;
};

}  // namespace

// Text at a pixel position starts at it with capitals on its baseline; every
// outline pixel is a diagonal neighbour of a glyph pixel; nothing else is
// drawn.
TEST_F(TextRender, TextAndOutlineLandAtTheRasterPosition) {
    SX_OpenGLText text = Label(u"HI", 40.9, 30.7);  // truncated to (40, 30)
    text.SetOutlineColour(1, 0, 0);
    text.SetTextColour(0, 1, 0);
    const platform::RgbImage frame = Draw(text);
    const Extent glyph = Find(frame, kGreen);
    const Extent outline = Find(frame, kRed);
    ASSERT_GT(glyph.count, 20);
    EXPECT_EQ(Find(frame, Rgb{}).count, glyph.count + outline.count);
    EXPECT_TRUE(glyph.minX >= 40 && glyph.minX <= 43) << glyph.minX;
    EXPECT_EQ(glyph.minY, 30);
    EXPECT_TRUE(glyph.Height() >= 10 && glyph.Height() <= 15) << glyph.Height();
    EXPECT_EQ(outline.minY, glyph.minY - 1);
    EXPECT_EQ(outline.maxY, glyph.maxY + 1);
    for (int row = 1; row + 1 < kH; ++row) {
        for (int x = 1; x + 1 < kW; ++x) {
            if (PixelAt(frame, x, row) == kRed) {
                EXPECT_TRUE(PixelAt(frame, x - 1, row - 1) == kGreen ||
                            PixelAt(frame, x + 1, row - 1) == kGreen ||
                            PixelAt(frame, x - 1, row + 1) == kGreen ||
                            PixelAt(frame, x + 1, row + 1) == kGreen)
                    << "outline pixel (" << x << ", " << row << ")";
            }
        }
    }
}

// A scene point goes through the camera's projection; a point it rejects
// (behind the eye) or a text without camera draws nothing.
TEST_F(TextRender, ProjectedAnchorAndHiddenPoints) {
    auto* camera = reinterpret_cast<SX_OpenGLCamera*>(0x1234);
    const SX_OpenGLCamera* seen = nullptr;
    SX_OpenGLText text(&world_);
    text.SetText(u"E");
    text.SetPosition(1.0, 2.0, -3.0);
    text.SetCamera(camera,
                   [&](const SX_OpenGLCamera* c, double, double, double z, double& wx, double& wy) {
                       seen = c;
                       wx = 100.6;
                       wy = 20.2;
                       return z < 0.0;
                   });
    const Extent glyph = Find(Draw(text), kWhite);
    EXPECT_EQ(seen, camera);
    EXPECT_TRUE(glyph.minX >= 99 && glyph.minX <= 103) << glyph.minX;
    EXPECT_EQ(glyph.minY, 19);  // the outline one below the baseline

    text.SetPosition(1.0, 2.0, 3.0);
    EXPECT_EQ(Find(Draw(text), Rgb{}).count, 0) << "behind the eye";
    text.SetCamera(nullptr, nullptr);
    EXPECT_EQ(Find(Draw(text), Rgb{}).count, 0) << "no camera";
}

// One byte per character in the fonts' code page, "?" for what it lacks;
// such texts draw without harm.
TEST_F(TextRender, NonAsciiTextIsOneBytePerCharacter) {
    EXPECT_EQ(OpenGLFonts::ToFontBytes(u"A°é€ÿ"), "A\xB0\xE9\x80\xFF");
    EXPECT_EQ(OpenGLFonts::ToFontBytes(u"中\U0001F600x\xD800"), "??x?");
    SX_OpenGLText odd = Label(u"\t\n\x01 中°", 20, 20);
    EXPECT_GT(Find(Draw(odd), Rgb{}).count, 0);
    SX_OpenGLText far = Label(u"x", 1e300, 5);
    EXPECT_EQ(Find(Draw(far), Rgb{}).count, 0);
}
