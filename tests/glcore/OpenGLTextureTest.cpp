#include "glcore/SX_OpenGLTexture.h"

#include <gtest/gtest.h>

#include <GL/gl.h>

#include "glcore/SX_OpenGLContext.h"
#include "glcore/SX_OpenGLWorld.h"
#include "support/ImageCompare.h"
#include "support/ScopedEnv.h"

using StraleLib::SX_OpenGLTexture;
using testsupport::ImagesMatch;

namespace {

// A pattern that tells every pixel from its neighbours and its mirror images.
platform::RgbImage Pattern(int width, int height) {
    platform::RgbImage image{width, height, {}};
    image.rgb.resize(static_cast<std::size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = &image.rgb[(static_cast<std::size_t>(y) * width + x) * 3];
            p[0] = static_cast<std::uint8_t>(x * 255 / std::max(1, width - 1));
            p[1] = static_cast<std::uint8_t>(y * 255 / std::max(1, height - 1));
            p[2] = static_cast<std::uint8_t>((x / 3 + y / 5) % 2 ? 220 : 40);
        }
    }
    return image;
}

class TextureRender : public ::testing::Test {
  protected:
    void Open(int width, int height) {
        ASSERT_TRUE(context_.Create(width, height)) << context_.LastError();
        ASSERT_TRUE(context_.Acquire());
        world_.SetSize(width, height);
        world_.Initialise();
        NewFrame();
    }
    void NewFrame() {
        world_.BeginFrame();
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, world_.Width(), 0, world_.Height(), -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    }
    void TearDown() override { context_.Release(); }

    // The whole frame, with texture coordinate (0, 0) at the top left.
    void FullScreenQuad() {
        const double w = world_.Width();
        const double h = world_.Height();
        const double corners[4][4] = {{0, 0, 0, h}, {0, 1, 0, 0}, {1, 1, w, 0}, {1, 0, w, h}};
        glColor4d(1, 1, 1, 1);
        glBegin(GL_QUADS);
        for (const auto& c : corners) {
            glTexCoord2d(c[0], c[1]);
            glVertex2d(c[2], c[3]);
        }
        glEnd();
    }
    platform::RgbImage Frame() {
        platform::RgbImage frame;
        EXPECT_TRUE(context_.ReadPixels(frame));
        return frame;
    }

    StraleLib::SX_OpenGLContext context_;
    StraleLib::SX_OpenGLWorld world_;
};

}  // namespace

// A decoded B, G, R, A buffer becomes the texture's pixels without a copy,
// takes its alphas from a mask read over the image's rectangle (a mask too
// small leaves every byte zero), is handed back at upload, and shows in its
// own colours.
TEST_F(TextureRender, BgraBufferIsTakenAsItIsAndHandedBackAtUpload) {
    Open(4, 2);
    std::vector<std::uint8_t> pixels(4 * 2 * 4);
    for (std::size_t i = 0; i < 8; ++i) {
        const std::uint8_t bgra[4] = {static_cast<std::uint8_t>(60 * (i % 4)), 100, 200, 255};
        std::copy(bgra, bgra + 4, pixels.begin() + static_cast<std::ptrdiff_t>(i * 4));
    }
    std::vector<std::uint8_t> tooSmall = pixels;
    EXPECT_FALSE(
        SX_OpenGLTexture::ApplyMask(tooSmall, 4, 2, platform::Mask{3, 2, {1, 1, 1, 1, 1, 1}}));
    EXPECT_EQ(tooSmall, std::vector<std::uint8_t>(32, 0));
    // A 5-pixel-wide mask: its rows are 5 apart.
    const platform::Mask mask{5, 3, {1, 0, 1, 0, 0, 0, 1, 1, 0, 1, 1, 1, 1, 1, 1}};
    ASSERT_TRUE(SX_OpenGLTexture::ApplyMask(pixels, 4, 2, mask));
    const std::uint8_t alphas[8] = {255, 64, 255, 64, 64, 255, 255, 64};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(pixels[static_cast<std::size_t>(i) * 4 + 3], alphas[i]) << "pixel " << i;
    }

    SX_OpenGLTexture texture(&world_, context_.MaxTextureSize());
    const std::uint8_t* data = pixels.data();
    ASSERT_TRUE(texture.LoadBgra(pixels, 4, 2, true, 0));
    EXPECT_TRUE(pixels.empty());
    EXPECT_EQ(texture.Pixels().data(), data);
    std::vector<std::uint8_t> spare;
    texture.Upload(&spare);
    EXPECT_EQ(spare.data(), data);
    EXPECT_TRUE(texture.Pixels().empty());
    texture.Draw();
    FullScreenQuad();
    const platform::RgbImage frame = Frame();
    for (int x = 0; x < 4; ++x) {
        EXPECT_TRUE(testsupport::PixelNear(
            frame, x, 1, testsupport::Rgb{200, 100, static_cast<std::uint8_t>(60 * x)}, 1))
            << "column " << x;
    }
}

// A whole texture over the frame shows each pixel at its place, row 0 on top.
// With the maximum texture size lowered to 64, a 200 x 200 image becomes
// 4 x 4 tiles (the last row and column 8 pixels) whose draw equals it.
TEST_F(TextureRender, WholeAndTiledDrawsShowTheImage) {
    testsupport::ScopedEnv cap("PANORA_MAX_TEXTURE_SIZE", "64");
    Open(200, 200);
    ASSERT_EQ(context_.MaxTextureSize(), 64);
    const platform::RgbImage image = Pattern(200, 200);
    const testsupport::ImageTolerance tolerance{3, 0.002, 0.5};

    SX_OpenGLTexture whole(&world_, 0);
    ASSERT_TRUE(whole.Load(image, nullptr, 0));
    ASSERT_FALSE(whole.IsTiled());
    whole.Upload();
    whole.Draw();
    FullScreenQuad();
    const platform::RgbImage wholeFrame = Frame();
    EXPECT_TRUE(ImagesMatch(wholeFrame, image, {2, 0.0, 1.0}, "texture-whole"));

    SX_OpenGLTexture tiled(&world_, context_.MaxTextureSize());
    ASSERT_TRUE(tiled.Load(image, nullptr, 0));
    ASSERT_EQ(tiled.Tiles().size(), 16u);
    EXPECT_EQ(tiled.Tiles()[3]->Height(), 8u);  // column 0, row 3
    EXPECT_EQ(tiled.Tiles()[15]->Width(), 8u);
    tiled.Upload();
    NewFrame();
    const double p0[3] = {0, 200, 0};  // v runs down the screen
    const double p1[3] = {200, 0, 0};
    tiled.DrawTiles(p0, p1, 2);
    EXPECT_TRUE(ImagesMatch(Frame(), wholeFrame, tolerance, "texture-tiled"));

    // Plane 0 runs u along z: turned so that z runs across the screen, the
    // face shows the same image.
    NewFrame();
    glRotated(90, 0, 1, 0);
    const double q1[3] = {0, 0, 200};
    tiled.DrawTiles(p0, q1, 0);
    EXPECT_TRUE(ImagesMatch(Frame(), wholeFrame, tolerance, "texture-plane0"));
}

// A face texture magnified shows each texel as a block (nearest texel, no
// blending, nothing wrapped in from the far side): a red | blue texture over
// 64 pixels turns from red to blue exactly in the middle.
TEST_F(TextureRender, MagnifiedTextureShowsItsTexelsAsBlocks) {
    Open(64, 8);
    platform::RgbImage image{2, 1, {255, 0, 0, 0, 0, 255}};
    SX_OpenGLTexture texture(&world_, context_.MaxTextureSize());
    ASSERT_TRUE(texture.Load(image, nullptr, 0));
    texture.Upload();
    texture.Draw();
    FullScreenQuad();
    const platform::RgbImage frame = Frame();
    for (const int x : {0, 31}) {
        EXPECT_TRUE(testsupport::PixelNear(frame, x, 4, testsupport::Rgb{255, 0, 0}, 1)) << x;
    }
    for (const int x : {32, 63}) {
        EXPECT_TRUE(testsupport::PixelNear(frame, x, 4, testsupport::Rgb{0, 0, 255}, 1)) << x;
    }
}
