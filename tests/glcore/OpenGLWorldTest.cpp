#include "glcore/SX_OpenGLWorld.h"

#include <gtest/gtest.h>

#include <GL/gl.h>

#include "glcore/SX_OpenGLContext.h"
#include "support/ImageCompare.h"

using StraleLib::SX_OpenGLContext;
using StraleLib::SX_OpenGLWorld;
using testsupport::PixelNear;
using testsupport::Rgb;

namespace {

class OpenGLWorldTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(context_.Create(64, 40)) << context_.LastError();
        ASSERT_TRUE(context_.Acquire());
        world_.SetSize(64, 40);
        world_.Initialise();
    }
    void TearDown() override { context_.Release(); }

    SX_OpenGLContext context_;
    SX_OpenGLWorld world_;
};

}  // namespace

// Whatever the previous frame left, BeginFrame starts from the same state
// without leaving an OpenGL error behind.
TEST_F(OpenGLWorldTest, BeginFrameSetsExactlyItsState) {
    glClearColor(1.0f, 0.0f, 0.0f, 0.5f);
    glClearDepth(0.25);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_LIGHTING);
    glViewport(3, 4, 5, 6);
    glPixelStorei(GL_PACK_ALIGNMENT, 8);
    while (glGetError() != GL_NO_ERROR) {
    }

    world_.BeginFrame();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    platform::RgbImage frame;
    ASSERT_TRUE(context_.ReadPixels(frame));
    EXPECT_TRUE(PixelNear(frame, 63, 39, Rgb{0, 0, 0}));

    // The depth buffer was cleared to 1: a quad at any depth passes GL_LESS.
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glColor3f(1, 1, 1);
    glBegin(GL_QUADS);
    glVertex3f(-1, -1, 0.99f);
    glVertex3f(1, -1, 0.99f);
    glVertex3f(1, 1, 0.99f);
    glVertex3f(-1, 1, 0.99f);
    glEnd();
    glDisable(GL_DEPTH_TEST);
    ASSERT_TRUE(context_.ReadPixels(frame));
    EXPECT_TRUE(PixelNear(frame, 32, 20, Rgb{255, 255, 255}, 1));
}
