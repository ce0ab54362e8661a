#include "glcore/SX_OpenGLText.h"

#include <gtest/gtest.h>

#include <GL/gl.h>

#include "glcore/SX_OpenGLContext.h"
#include "glcore/SX_OpenGLFonts.h"
#include "glcore/SX_OpenGLWorld.h"
#include "support/ImageCompare.h"

using StraleLib::SX_OpenGLCamera;
using StraleLib::SX_OpenGLContext;
using StraleLib::SX_OpenGLFonts;
using StraleLib::SX_OpenGLText;
using StraleLib::SX_OpenGLWorld;
using testsupport::PixelAt;
using testsupport::Rgb;

namespace {

constexpr int kW = 160;
constexpr int kH = 80;

// Extent of the pixels of one colour, in OpenGL orientation (y up).
struct Extent {
    int count = 0;
    int minX = kW, maxX = -1, minY = kH, maxY = -1;
    int Height() const { return maxY - minY + 1; }
};

Extent Find(const platform::RgbImage& frame, Rgb colour) {
    Extent e;
    for (int row = 0; row < frame.height; ++row) {
        for (int x = 0; x < frame.width; ++x) {
            if (PixelAt(frame, x, row) == colour) {
                const int y = frame.height - 1 - row;
                ++e.count;
                e.minX = std::min(e.minX, x);
                e.maxX = std::max(e.maxX, x);
                e.minY = std::min(e.minY, y);
                e.maxY = std::max(e.maxY, y);
            }
        }
    }
    return e;
}

int NonBlack(const platform::RgbImage& frame) {
    int count = 0;
    for (int row = 0; row < frame.height; ++row) {
        for (int x = 0; x < frame.width; ++x) {
            count += PixelAt(frame, x, row) == Rgb{} ? 0 : 1;
        }
    }
    return count;
}

class TextRender : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(context_.Create(kW, kH)) << context_.LastError();
        ASSERT_TRUE(context_.Acquire());
        world_.SetSize(kW, kH);
        world_.Initialise();
        ASSERT_TRUE(SX_OpenGLFonts::BuildFontLists()) << SX_OpenGLFonts::LastError();
        world_.BeginFrame();
    }
    void TearDown() override {
        SX_OpenGLFonts::DeleteFontLists();
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

    SX_OpenGLContext context_;
    SX_OpenGLWorld world_;
};

}  // namespace

TEST_F(TextRender, FontListsOccupyTheirTwoRanges) {
    EXPECT_TRUE(SX_OpenGLFonts::FontListsBuilt());
    for (GLuint list : {1000u, 1065u, 1254u, 1300u, 1554u}) {
        EXPECT_TRUE(glIsList(list)) << list;
    }
    EXPECT_FALSE(glIsList(999));
    EXPECT_FALSE(glIsList(1255));
    EXPECT_FALSE(glIsList(1555));
    SX_OpenGLFonts::DeleteFontLists();
    EXPECT_FALSE(SX_OpenGLFonts::FontListsBuilt());
    EXPECT_FALSE(glIsList(1000));
    EXPECT_FALSE(glIsList(1300));

    // Another context gets its own lists from the glyphs made once.
    SX_OpenGLContext other;
    ASSERT_TRUE(other.Create(8, 8));
    context_.Release();
    ASSERT_TRUE(other.Acquire());
    EXPECT_TRUE(SX_OpenGLFonts::BuildFontLists());
    EXPECT_TRUE(glIsList(1554));
    SX_OpenGLFonts::DeleteFontLists();
    other.Release();
    ASSERT_TRUE(context_.Acquire());
    ASSERT_TRUE(SX_OpenGLFonts::BuildFontLists());
}

// Text at a pixel position: the glyphs start at the raster position and sit
// on its baseline, every outline pixel is a diagonal neighbour of a glyph
// pixel, and nothing lands far away.
TEST_F(TextRender, TextAndOutlineLandAtTheRasterPosition) {
    SX_OpenGLText text(&world_);
    text.SetText(u"HI");
    text.SetPositionInPixels(true);
    text.SetPosition(40.9, 30.7, 0.0);  // truncated to (40, 30)
    text.SetOutlineColour(1, 0, 0);
    text.SetTextColour(0, 1, 0);
    const platform::RgbImage frame = Draw(text);

    const Extent glyph = Find(frame, Rgb{0, 255, 0});
    const Extent outline = Find(frame, Rgb{255, 0, 0});
    ASSERT_GT(glyph.count, 20);
    ASSERT_GT(outline.count, 20);
    EXPECT_EQ(NonBlack(frame), glyph.count + outline.count) << "bitmaps draw no blended edges";
    EXPECT_GE(glyph.minX, 40);
    EXPECT_LE(glyph.minX, 43);
    EXPECT_EQ(glyph.minY, 30) << "capitals sit on the baseline";
    EXPECT_GE(glyph.Height(), 10);
    EXPECT_LE(glyph.Height(), 15);
    EXPECT_LE(glyph.maxX, 40 + 30);
    EXPECT_GE(outline.minX, glyph.minX - 1);
    EXPECT_LE(outline.maxX, glyph.maxX + 1);
    EXPECT_EQ(outline.minY, glyph.minY - 1);
    EXPECT_EQ(outline.maxY, glyph.maxY + 1);
    for (int row = 0; row < frame.height; ++row) {
        for (int x = 1; x + 1 < frame.width; ++x) {
            if (row == 0 || row + 1 == frame.height ||
                !(PixelAt(frame, x, row) == Rgb{255, 0, 0})) {
                continue;
            }
            const Rgb green{0, 255, 0};
            EXPECT_TRUE(PixelAt(frame, x - 1, row - 1) == green ||
                        PixelAt(frame, x + 1, row - 1) == green ||
                        PixelAt(frame, x - 1, row + 1) == green ||
                        PixelAt(frame, x + 1, row + 1) == green)
                << "outline pixel (" << x << ", " << row << ") has no glyph pixel diagonally";
        }
    }

    // Font B is the larger font; white is the colour a new text starts with.
    SX_OpenGLText large(&world_);
    large.SetText(u"HI");
    large.SetPositionInPixels(true);
    large.SetPosition(40, 30, 0);
    large.SetFont(1);
    const platform::RgbImage largeFrame = Draw(large);
    const Extent white = Find(largeFrame, Rgb{255, 255, 255});
    EXPECT_EQ(white.count, NonBlack(largeFrame));
    EXPECT_GT(white.Height(), glyph.Height());
    EXPECT_EQ(white.minY, 29) << "outline one pixel below the baseline";
}

// A scene point goes through the camera's projection; a point it rejects
// (behind the eye) draws nothing.
TEST_F(TextRender, ProjectedAnchorAndHiddenPoints) {
    auto* camera = reinterpret_cast<SX_OpenGLCamera*>(0x1234);
    const SX_OpenGLCamera* seen = nullptr;
    double sceneZ = 0.0;
    SX_OpenGLText text(&world_);
    text.SetText(u"E");
    text.SetTextColour(1, 1, 0);
    text.SetOutlineColour(0, 0, 1);
    text.SetPosition(1.0, 2.0, -3.0);
    text.SetCamera(camera,
                   [&](const SX_OpenGLCamera* c, double, double, double z, double& wx, double& wy) {
                       seen = c;
                       sceneZ = z;
                       wx = 100.6;
                       wy = 20.2;
                       return z < 0.0;
                   });
    platform::RgbImage frame = Draw(text);
    EXPECT_EQ(seen, camera);
    EXPECT_DOUBLE_EQ(sceneZ, -3.0);
    const Extent glyph = Find(frame, Rgb{255, 255, 0});
    ASSERT_GT(glyph.count, 5);
    EXPECT_GE(glyph.minX, 100);
    EXPECT_LE(glyph.minX, 103);
    EXPECT_EQ(glyph.minY, 20);

    text.SetPosition(1.0, 2.0, 3.0);
    EXPECT_EQ(NonBlack(Draw(text)), 0) << "behind the eye";
    text.SetCamera(nullptr, nullptr);
    EXPECT_EQ(NonBlack(Draw(text)), 0) << "no camera";
}

// One byte per character in the fonts' code page; characters it lacks become
// "?"; such texts draw without harm.
TEST_F(TextRender, NonAsciiTextIsOneBytePerCharacter) {
    EXPECT_EQ(SX_OpenGLFonts::ToFontBytes(u"A°é€ÿ"), "A\xB0\xE9\x80\xFF");
    EXPECT_EQ(SX_OpenGLFonts::ToFontBytes(u"中\U0001F600x"), "??x");
    EXPECT_EQ(SX_OpenGLFonts::ToFontBytes(u"\xD800"
                                          u"a"),
              "?a")
        << "unpaired surrogate";
    EXPECT_EQ(SX_OpenGLFonts::ByteToCodePoint(0x80), U'€');
    EXPECT_EQ(SX_OpenGLFonts::ByteToCodePoint(0xE9), U'é');
    EXPECT_EQ(SX_OpenGLFonts::ByteToCodePoint(0x81), U'\x81');

    SX_OpenGLText text(&world_);
    text.SetPositionInPixels(true);
    text.SetPosition(20, 20, 0);
    text.SetText(u"e");
    const Extent plain = Find(Draw(text), Rgb{255, 255, 255});
    text.SetText(u"é");
    const Extent accented = Find(Draw(text), Rgb{255, 255, 255});
    EXPECT_GT(accented.maxY, plain.maxY) << "the accent stands above the e";
    EXPECT_EQ(accented.minY, plain.minY);

    text.SetText(u"\t\n\x01 中°");
    EXPECT_GT(NonBlack(Draw(text)), 0);
    text.SetText(u"");
    EXPECT_EQ(NonBlack(Draw(text)), 0);
    text.SetPosition(1e300, -5, 0);  // far off: nothing drawn, no crash
    text.SetText(u"x");
    EXPECT_EQ(NonBlack(Draw(text)), 0);
}
