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
// between MakeCurrent and ReleaseCurrent. (Row order and the fixed-function
// pipeline are covered by the glcore context tests.)
TEST(EglContext, CreatesHeadlessContextThatIsCurrentOnlyWhenMade) {
    ScopedEnv noDisplay("DISPLAY", nullptr);
    EglContext egl;
    ASSERT_TRUE(egl.Create(64, 48)) << egl.LastError();
    EXPECT_FALSE(egl.IsCurrentHere()) << "Create leaves the context released";
    ASSERT_TRUE(egl.MakeCurrent()) << egl.LastError();
    ClearTo(0.0f, 0.0f, 1.0f);
    RgbImage image;
    ASSERT_TRUE(egl.ReadPixels(image)) << egl.LastError();
    EXPECT_EQ(std::pair(image.width, image.height), std::pair(64, 48));
    EXPECT_TRUE(PixelNear(image, 63, 0, Rgb{0, 0, 255}, 2));

    ASSERT_TRUE(egl.ReleaseCurrent());
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
    EglContext egl;
    EXPECT_FALSE(egl.Create(100000, 100000));
    EXPECT_FALSE(egl.IsCreated());
    EXPECT_NE(egl.LastError().find("framebuffer size 100000 x 100000 exceeds"), std::string::npos)
        << egl.LastError();
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

// Each way of reaching a display that this machine offers gives a working
// context; Mesa offers the surfaceless and the device platform.
TEST(EglContext, EachDisplayPlatformThatOpensRenders) {
    int opened = 0;
    for (const char* kind : {"surfaceless", "device", "default"}) {
        ScopedEnv only("PANORA_EGL_PLATFORM", kind);
        EglContext egl;
        if (!egl.Create(16, 16)) {
            EXPECT_NE(egl.LastError().find(kind), std::string::npos)
                << kind << ": " << egl.LastError();
            continue;
        }
        ++opened;
        EXPECT_EQ(egl.DisplayKind(), kind);
        ASSERT_TRUE(egl.MakeCurrent()) << kind;
        ClearTo(1.0f, 0.0f, 1.0f);
        RgbImage image;
        ASSERT_TRUE(egl.ReadPixels(image)) << kind;
        EXPECT_TRUE(PixelNear(image, 8, 8, Rgb{255, 0, 255}, 1)) << kind;
        egl.ReleaseCurrent();
    }
    EXPECT_GE(opened, 1);
}

// Two contexts share one display; destroying one leaves the other working.
TEST(EglContext, TwoContextsAreIndependent) {
    EglContext a;
    EglContext b;
    ASSERT_TRUE(a.Create(8, 8));
    ASSERT_TRUE(b.Create(4, 4));
    ASSERT_TRUE(a.MakeCurrent());
    ClearTo(1.0f, 0.0f, 0.0f);
    ASSERT_TRUE(b.MakeCurrent());
    ClearTo(0.0f, 1.0f, 0.0f);
    a.Destroy();
    ASSERT_TRUE(b.MakeCurrent()) << b.LastError();
    RgbImage image;
    ASSERT_TRUE(b.ReadPixels(image));
    EXPECT_TRUE(PixelNear(image, 1, 1, Rgb{0, 255, 0}, 1));
    b.ReleaseCurrent();
}

TEST(EglContext, MaxTextureSizeIsCappedByTheEnvironment) {
    int native = 0;
    {
        ScopedEnv cap("PANORA_MAX_TEXTURE_SIZE", nullptr);
        EglContext egl;
        ASSERT_TRUE(egl.Create(4, 4));
        native = egl.MaxTextureSize();
    }
    ASSERT_GT(native, 256);
    struct Case {
        const char* value;
        int expected;
    };
    const std::string above = std::to_string(native * 2);
    for (const Case& c : {Case{"256", 256}, Case{"12abc", native}, Case{above.c_str(), native}}) {
        ScopedEnv cap("PANORA_MAX_TEXTURE_SIZE", c.value);
        EglContext egl;
        ASSERT_TRUE(egl.Create(4, 4));
        EXPECT_EQ(egl.MaxTextureSize(), c.expected) << "PANORA_MAX_TEXTURE_SIZE=" << c.value;
    }
}
