#include "platform/EglContext.h"

#include <gtest/gtest.h>

#include <GL/gl.h>

#include "support/ImageCompare.h"
#include "support/ScopedEnv.h"

using platform::EglContext;
using platform::RgbImage;
using testsupport::PixelNear;
using testsupport::Rgb;
using testsupport::ScopedEnv;

namespace {

void ClearTo(float r, float g, float b) {
    glClearColor(r, g, b, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

}  // namespace

// The default display works without DISPLAY; the context is current only
// between MakeCurrent and ReleaseCurrent.
TEST(EglContext, CreatesHeadlessContextThatIsCurrentOnlyWhenMade) {
    ScopedEnv noDisplay("DISPLAY", nullptr);
    EglContext egl;
    ASSERT_TRUE(egl.Create(64, 48)) << egl.LastError();
    EXPECT_FALSE(egl.IsCurrentHere()) << "Create leaves the context released";
    ASSERT_TRUE(egl.MakeCurrent()) << egl.LastError();
    EXPECT_TRUE(egl.IsCurrentHere());
    ASSERT_TRUE(egl.ReleaseCurrent());
    RgbImage image;
    EXPECT_FALSE(egl.ReadPixels(image));
    EXPECT_EQ(egl.LastError(), "the context is not current on this thread");
    EXPECT_FALSE(egl.Resize(10, 10));
}

TEST(EglContext, ResizeReallocatesAndKeepsOldSizeOnFailure) {
    EglContext egl;
    ASSERT_TRUE(egl.Create(32, 32)) << egl.LastError();
    ASSERT_TRUE(egl.MakeCurrent());

    ASSERT_TRUE(egl.Resize(100, 20)) << egl.LastError();
    glViewport(0, 0, 100, 20);
    ClearTo(1.0f, 1.0f, 0.0f);
    RgbImage image;
    ASSERT_TRUE(egl.ReadPixels(image));
    EXPECT_EQ(std::pair(image.width, image.height), std::pair(100, 20));
    EXPECT_TRUE(PixelNear(image, 99, 19, Rgb{255, 255, 0}, 1));

    EXPECT_FALSE(egl.Resize(0, 20));
    EXPECT_EQ(egl.LastError(), "framebuffer size 0 x 20 is not positive");
    EXPECT_FALSE(egl.Resize(1 << 20, 4));
    EXPECT_NE(egl.LastError().find("exceeds the largest the driver allows"), std::string::npos)
        << egl.LastError();
    // The old framebuffer is still bound and drawable.
    ClearTo(0.0f, 1.0f, 1.0f);
    ASSERT_TRUE(egl.ReadPixels(image));
    EXPECT_EQ(image.width, 100);
    EXPECT_TRUE(PixelNear(image, 50, 10, Rgb{0, 255, 255}, 1));
    egl.ReleaseCurrent();
}

TEST(EglContext, CreationFailuresReportReasonsAndLeaveNothing) {
    // (A size beyond the driver's: the resize above and the context's test.)
    EglContext egl;
    EXPECT_FALSE(egl.MakeCurrent());
    EXPECT_EQ(egl.LastError(), "no context");

    EXPECT_FALSE(egl.Create(-5, 10));

    {
        ScopedEnv only("PANORA_EGL_PLATFORM", "nonsense");
        EXPECT_FALSE(egl.Create(8, 8));
        EXPECT_EQ(egl.LastError(),
                  "cannot open an EGL display: no EGL platform available "
                  "(PANORA_EGL_PLATFORM=nonsense)");
    }
    // The same object creates fine afterwards, and Destroy twice is harmless.
    ASSERT_TRUE(egl.Create(8, 8)) << egl.LastError();
    egl.Destroy();
    egl.Destroy();
    EXPECT_FALSE(egl.IsCreated());
}
