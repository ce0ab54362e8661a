#include "glcore/SX_OpenGLTexture.h"

#include <gtest/gtest.h>

#include <GL/gl.h>

#include "glcore/SX_OpenGLContext.h"
#include "glcore/SX_OpenGLWorld.h"
#include "render/RenderTestSupport.h"
#include "support/ImageCompare.h"

using rendertest::GetInt;
using StraleLib::SX_OpenGLContext;
using StraleLib::SX_OpenGLTexture;
using StraleLib::SX_OpenGLWorld;
using testsupport::PixelNear;
using testsupport::Rgb;

namespace {

// A pattern that tells every pixel from its neighbours and its mirror images.
platform::RgbImage Pattern(int width, int height) {
    platform::RgbImage image;
    image.width = width;
    image.height = height;
    image.rgb.resize(static_cast<std::size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = &image.rgb[(static_cast<std::size_t>(y) * width + x) * 3];
            p[0] = static_cast<std::uint8_t>(x * 255 / std::max(1, width - 1));
            p[1] = static_cast<std::uint8_t>(y * 255 / std::max(1, height - 1));
            p[2] = static_cast<std::uint8_t>(((x / 3 + y / 5) % 2) != 0 ? 220 : 40);
        }
    }
    return image;
}

platform::RgbImage Filled(int width, int height, std::uint8_t value) {
    platform::RgbImage image;
    image.width = width;
    image.height = height;
    image.rgb.assign(static_cast<std::size_t>(width) * height * 3, value);
    return image;
}

class TextureRender : public ::testing::Test {
  protected:
    void Open(int width, int height) {
        ASSERT_TRUE(context_.Create(width, height)) << context_.LastError();
        ASSERT_TRUE(context_.Acquire());
        world_.SetSize(width, height);
        world_.Initialise();
        world_.BeginFrame();
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, width, 0, height, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    }
    void TearDown() override { context_.Release(); }

    // The whole frame, with texture coordinate (0, 0) at the top left.
    void FullScreenQuad() {
        const double w = world_.Width();
        const double h = world_.Height();
        glColor4d(1, 1, 1, 1);
        glBegin(GL_QUADS);
        glTexCoord2d(0, 0);
        glVertex2d(0, h);
        glTexCoord2d(0, 1);
        glVertex2d(0, 0);
        glTexCoord2d(1, 1);
        glVertex2d(w, 0);
        glTexCoord2d(1, 0);
        glVertex2d(w, h);
        glEnd();
    }
    platform::RgbImage Frame() {
        platform::RgbImage frame;
        EXPECT_TRUE(context_.ReadPixels(frame));
        return frame;
    }

    SX_OpenGLContext context_;
    SX_OpenGLWorld world_;
};

}  // namespace

// Load without a context: B, G, R, A order, mask alphas, the tile grid
// (column by column, partial tiles at the right and bottom) and tile contents.
TEST(OpenGLTexture, LoadBuildsThePixelBufferAndTheTiles) {
    SX_OpenGLTexture texture(nullptr, 2048);
    EXPECT_FALSE(texture.Load(platform::RgbImage{}, nullptr, 0));
    EXPECT_FALSE(texture.Load(Filled(0, 5, 1), nullptr, 0));

    platform::RgbImage small = Pattern(3, 2);
    small.rgb[0] = 10;
    small.rgb[1] = 20;
    small.rgb[2] = 30;
    platform::Mask mask{3, 2, {1, 0, 1, 0, 0, 1}};
    ASSERT_TRUE(texture.Load(small, &mask, 1));
    EXPECT_TRUE(texture.HasAlpha());
    EXPECT_FALSE(texture.IsTiled());
    EXPECT_EQ(texture.Border(), 1u);
    ASSERT_EQ(texture.Pixels().size(), 24u);
    EXPECT_EQ(texture.Pixels()[0], 30);
    EXPECT_EQ(texture.Pixels()[1], 20);
    EXPECT_EQ(texture.Pixels()[2], 10);
    const std::uint8_t alphas[6] = {255, 64, 255, 64, 64, 255};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(texture.Pixels()[i * 4 + 3], alphas[i]) << "pixel " << i;
    }
    // Without a mask everything is opaque; a mask smaller than the image
    // cannot be read and leaves the pixels zero.
    ASSERT_TRUE(texture.Load(small, nullptr, 0));
    EXPECT_FALSE(texture.HasAlpha());
    EXPECT_EQ(texture.Pixels()[7], 255);
    platform::Mask tiny{2, 2, {1, 1, 1, 1}};
    ASSERT_TRUE(texture.Load(small, &tiny, 0));
    EXPECT_TRUE(texture.HasAlpha());
    EXPECT_EQ(texture.Pixels()[0], 0);
    EXPECT_EQ(texture.Pixels()[3], 0);

    SX_OpenGLTexture exact(nullptr, 1024);
    ASSERT_TRUE(exact.Load(Filled(1024, 1024, 7), nullptr, 0));
    EXPECT_FALSE(exact.IsTiled());
    EXPECT_TRUE(exact.Tiles().empty());

    SX_OpenGLTexture wide(nullptr, 2048);
    const platform::RgbImage big = Pattern(3000, 2000);
    ASSERT_TRUE(wide.Load(big, nullptr, 0));
    ASSERT_TRUE(wide.IsTiled());
    EXPECT_EQ(wide.TilesAcross(), 2u);
    EXPECT_EQ(wide.TilesDown(), 1u);
    ASSERT_EQ(wide.Tiles().size(), 2u);
    const auto& second = *wide.Tiles()[1];
    EXPECT_EQ(second.X(), 2048u);
    EXPECT_EQ(second.Y(), 0u);
    EXPECT_EQ(second.Width(), 952u);
    EXPECT_EQ(second.Height(), 2000u);
    EXPECT_EQ(wide.Tiles()[0]->Width(), 2048u);
    EXPECT_EQ(wide.Tiles()[0]->Height(), 2000u);
    // Tile pixel (5, 1999) is image pixel (2053, 1999).
    const std::size_t src = (1999u * 3000u + 2053u) * 3u;
    const std::size_t dst = (1999u * 952u + 5u) * 4u;
    EXPECT_EQ(second.Pixels()[dst + 0], big.rgb[src + 2]);
    EXPECT_EQ(second.Pixels()[dst + 1], big.rgb[src + 1]);
    EXPECT_EQ(second.Pixels()[dst + 2], big.rgb[src + 0]);

    // Reloading a smaller image makes the texture whole again.
    ASSERT_TRUE(wide.Load(small, nullptr, 0));
    EXPECT_FALSE(wide.IsTiled());
    EXPECT_TRUE(wide.Tiles().empty());
}

TEST_F(TextureRender, BindingFollowsTheUploadAndDeletionFreesTheName) {
    Open(16, 16);
    GLuint name = 0;
    {
        SX_OpenGLTexture texture(&world_, context_.MaxTextureSize());
        ASSERT_TRUE(texture.Load(Pattern(8, 8), nullptr, 0));
        GLuint other = 0;
        glGenTextures(1, &other);
        glBindTexture(GL_TEXTURE_2D, other);
        texture.Draw();
        EXPECT_EQ(GetInt(GL_TEXTURE_BINDING_2D), 0) << "not uploaded binds 0";
        glDeleteTextures(1, &other);

        texture.Upload();
        EXPECT_TRUE(texture.IsUploaded());
        EXPECT_TRUE(texture.Pixels().empty()) << "pixels are freed once uploaded";
        name = texture.TextureName();
        ASSERT_NE(name, 0u);
        glBindTexture(GL_TEXTURE_2D, 0);
        texture.Draw();
        EXPECT_EQ(GetInt(GL_TEXTURE_BINDING_2D), static_cast<GLint>(name));
        EXPECT_EQ(GetInt(GL_UNPACK_ALIGNMENT), 1);
        GLint env = 0;
        glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
        EXPECT_EQ(env, GL_MODULATE);
        GLint mag = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &mag);
        EXPECT_EQ(mag, GL_NEAREST);
        texture.Upload();  // nothing left to upload: the name stays
        EXPECT_EQ(texture.TextureName(), name);
    }
    EXPECT_FALSE(glIsTexture(name));

    // A tiled texture binds nothing itself; each tile binds its own.
    SX_OpenGLTexture tiled(&world_, 4);
    ASSERT_TRUE(tiled.Load(Pattern(6, 4), nullptr, 0));
    ASSERT_EQ(tiled.Tiles().size(), 2u);
    tiled.Tiles()[0]->Draw();
    EXPECT_EQ(GetInt(GL_TEXTURE_BINDING_2D), 0);
    tiled.Upload();
    glBindTexture(GL_TEXTURE_2D, 0);
    tiled.Draw();
    EXPECT_EQ(GetInt(GL_TEXTURE_BINDING_2D), 0);
    tiled.Tiles()[1]->Draw();
    EXPECT_NE(GetInt(GL_TEXTURE_BINDING_2D), 0);
    EXPECT_NE(tiled.Tiles()[0]->TextureName(), tiled.Tiles()[1]->TextureName());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// A whole texture drawn over the frame shows each image pixel at its place,
// row 0 at the top.
TEST_F(TextureRender, WholeTextureShowsItsPixels) {
    Open(40, 30);
    const platform::RgbImage image = Pattern(40, 30);
    SX_OpenGLTexture texture(&world_, context_.MaxTextureSize());
    ASSERT_TRUE(texture.Load(image, nullptr, 0));
    texture.Upload();
    texture.Draw();
    FullScreenQuad();
    const platform::RgbImage frame = Frame();
    EXPECT_TRUE(testsupport::ImagesMatch(frame, image, {2, 0.0, 1.0}, "texture-whole"));
    EXPECT_TRUE(PixelNear(frame, 39, 0, Rgb{255, 0, 220}, 2));  // top right
}

// With the maximum texture size lowered to 64, a 200 x 200 image is cut into
// 4 x 4 tiles (the last row and column 8 pixels wide); drawn over the face
// they equal the whole texture.
TEST_F(TextureRender, TiledDrawEqualsTheWholeTexture) {
    rendertest::ScopedEnv cap("PANORA_MAX_TEXTURE_SIZE", "64");
    Open(200, 200);
    ASSERT_EQ(context_.MaxTextureSize(), 64);
    const platform::RgbImage image = Pattern(200, 200);

    SX_OpenGLTexture tiled(&world_, context_.MaxTextureSize());
    ASSERT_TRUE(tiled.Load(image, nullptr, 0));
    ASSERT_TRUE(tiled.IsTiled());
    EXPECT_EQ(tiled.TilesAcross(), 4u);
    EXPECT_EQ(tiled.TilesDown(), 4u);
    ASSERT_EQ(tiled.Tiles().size(), 16u);
    EXPECT_EQ(tiled.Tiles()[3]->Y(), 192u);  // column 0, row 3
    EXPECT_EQ(tiled.Tiles()[3]->Height(), 8u);
    EXPECT_EQ(tiled.Tiles()[15]->Width(), 8u);
    tiled.Upload();
    // Texture (0, 0) at the top left, (1, 1) at the bottom right: v runs down.
    const double p0[3] = {0, 200, 0};
    const double p1[3] = {200, 0, 0};
    tiled.DrawTiles(p0, p1, 2);
    const platform::RgbImage tiledFrame = Frame();

    world_.BeginFrame();
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    SX_OpenGLTexture whole(&world_, 0);
    ASSERT_TRUE(whole.Load(image, nullptr, 0));
    ASSERT_FALSE(whole.IsTiled());
    whole.Upload();
    whole.Draw();
    FullScreenQuad();
    const platform::RgbImage wholeFrame = Frame();

    EXPECT_TRUE(testsupport::ImagesMatch(tiledFrame, wholeFrame, {3, 0.002, 0.5}, "texture-tiled"));
    EXPECT_TRUE(testsupport::ImagesMatch(tiledFrame, image, {3, 0.002, 0.5}, "texture-tiled-src"));

    // The other plane selectors put u and v on their axes: plane 0 runs u
    // along z: turned so that z runs across the screen, the face shows the
    // image again.
    world_.BeginFrame();
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glMatrixMode(GL_MODELVIEW);
    glRotated(90, 0, 1, 0);  // z becomes x on screen, x depth
    const double q0[3] = {0, 200, 0};
    const double q1[3] = {0, 0, 200};
    tiled.DrawTiles(q0, q1, 0);
    glLoadIdentity();
    const platform::RgbImage sideFrame = Frame();
    EXPECT_TRUE(testsupport::ImagesMatch(sideFrame, image, {3, 0.002, 0.5}, "texture-plane0"));
}

// Mask: set pixels opaque, clear pixels alpha 64/255, read back through the
// renderer's blend (source alpha, zero) and through ordinary blending over a
// grey background.
TEST_F(TextureRender, MaskAlphaBlendsAsExpected) {
    Open(32, 16);
    platform::Mask mask{32, 16, std::vector<std::uint8_t>(32 * 16, 0)};
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            mask.opaque[y * 32 + x] = 1;  // left half set
        }
    }
    SX_OpenGLTexture texture(&world_, context_.MaxTextureSize());
    ASSERT_TRUE(texture.Load(Filled(32, 16, 255), &mask, 0));
    texture.Upload();
    texture.Draw();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ZERO);
    FullScreenQuad();
    platform::RgbImage frame = Frame();
    EXPECT_TRUE(PixelNear(frame, 3, 8, Rgb{255, 255, 255}, 1));
    EXPECT_TRUE(PixelNear(frame, 15, 8, Rgb{255, 255, 255}, 1));
    EXPECT_TRUE(PixelNear(frame, 16, 8, Rgb{64, 64, 64}, 1));
    EXPECT_TRUE(PixelNear(frame, 30, 2, Rgb{64, 64, 64}, 1));

    glClearColor(100 / 255.0f, 100 / 255.0f, 100 / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    FullScreenQuad();
    frame = Frame();
    // 255 * 64/255 + 100 * 191/255 = 138.9
    EXPECT_TRUE(PixelNear(frame, 20, 8, Rgb{139, 139, 139}, 2));
    EXPECT_TRUE(PixelNear(frame, 10, 8, Rgb{255, 255, 255}, 1));
    glDisable(GL_BLEND);
}
