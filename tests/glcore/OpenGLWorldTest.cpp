#include "glcore/SX_OpenGLWorld.h"

#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glext.h>

#include "glcore/SX_OpenGLContext.h"
#include "support/GlQuery.h"
#include "support/ImageCompare.h"

using StraleLib::SX_OpenGLContext;
using StraleLib::SX_OpenGLWorld;
using testsupport::GetInt;
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

// The overlay projection maps window pixels (origin bottom left) and puts
// back the matrices, the viewport and the attributes afterwards.
TEST_F(OpenGLWorldTest, OverlayDrawsInPixelsAndRestoresState) {
    world_.BeginFrame();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glScaled(2, 2, 2);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslated(0.5, 0, 0);
    glViewport(1, 1, 10, 10);
    glDisable(GL_TEXTURE_2D);
    glColor3f(0, 0, 1);

    world_.BeginOverlay();
    glColor3f(1, 0, 0);  // attributes are saved
    glBegin(GL_QUADS);   // pixels x 10..19, y 5..14 from the bottom
    glVertex2f(10, 5);
    glVertex2f(20, 5);
    glVertex2f(20, 15);
    glVertex2f(10, 15);
    glEnd();
    world_.EndOverlay();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    platform::RgbImage frame;
    ASSERT_TRUE(context_.ReadPixels(frame));
    const int top = 40 - 1;
    EXPECT_TRUE(PixelNear(frame, 10, top - 5, Rgb{255, 0, 0}, 1));
    EXPECT_TRUE(PixelNear(frame, 19, top - 14, Rgb{255, 0, 0}, 1));
    EXPECT_TRUE(PixelNear(frame, 9, top - 5, Rgb{0, 0, 0}, 1));
    EXPECT_TRUE(PixelNear(frame, 10, top - 15, Rgb{0, 0, 0}, 1));

    EXPECT_EQ(GetInt(GL_MATRIX_MODE), GL_MODELVIEW);
    GLdouble m[16];
    glGetDoublev(GL_PROJECTION_MATRIX, m);
    EXPECT_DOUBLE_EQ(m[0], 2.0);
    glGetDoublev(GL_MODELVIEW_MATRIX, m);
    EXPECT_DOUBLE_EQ(m[12], 0.5);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 10);
    GLfloat colour[4] = {};
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[2], 1.0f);
    EXPECT_EQ(GetInt(GL_PROJECTION_STACK_DEPTH), 1);

    // An empty window keeps the identity instead of an invalid projection.
    world_.SetSize(0, 0);
    world_.BeginOverlay();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    world_.EndOverlay();
}
