// The camera on its own: angle limits, projecting and unprojecting against
// what OpenGL really draws, and the steps of a transition.

#include "glcore/SX_OpenGLCamera.h"

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
#include <vector>

#include "glcore/SX_OpenGLContext.h"
#include "glcore/SX_OpenGLWorld.h"
#include "support/ImageCompare.h"

using StraleLib::SX_OpenGLCamera;

TEST(CameraLimits, WrapOnceAndClamp) {
    SX_OpenGLCamera c;
    EXPECT_EQ(c.FieldOfView(), 80.0);
    for (auto [in, out] : {std::pair{190., -170.}, {-181., 179.}, {600., 240.}, {180., 180.}}) {
        c.SetAzimuth(in);
        EXPECT_DOUBLE_EQ(c.Azimuth(), out) << in;
    }
    c.SetFieldOfView(1.0);
    EXPECT_EQ(c.FieldOfView(), 3.0);  // (upper clamps: the transition below, the wheel)
    // (Turning towards a direction: the control's PointCamera and FocusOnMark3D.)
}

TEST(CameraProjection, PixelsLandWhereTheGeometrySays) {
    StraleLib::SX_OpenGLContext context;
    ASSERT_TRUE(context.Create(64, 40)) << context.LastError();
    ASSERT_TRUE(context.Acquire());
    StraleLib::SX_OpenGLWorld world;
    world.SetSize(64, 40);
    SX_OpenGLCamera camera(&world);
    const auto frame = [&] {
        world.BeginFrame();
        camera.Draw();
    };
    frame();
    int col = -5, row = -5;
    ASSERT_TRUE(camera.Project(0, 0, -10, false, col, row));
    EXPECT_EQ(std::pair(col, row), std::pair(32, 20));
    ASSERT_TRUE(camera.Project(0, 0, -10, true, col, row));
    EXPECT_EQ(row, 19);
    // Just inside half way to the top right corner of the frustum.
    const double t = std::tan(40.0 * 3.14159265358979 / 180.0) * 0.999;
    ASSERT_TRUE(camera.Project(5 * t * 1.6, 5 * t, -10, false, col, row));
    EXPECT_EQ(std::pair(col, row), std::pair(47, 29));
    // Behind the eye and beyond the far plane: not visible, outputs untouched.
    col = row = -5;
    EXPECT_FALSE(camera.Project(0, 0, 10, false, col, row));
    EXPECT_FALSE(camera.Project(0, 0, -1001, true, col, row));
    EXPECT_EQ(col, -5);
    EXPECT_TRUE(camera.Project(0, 0, -999, true, col, row));

    // Azimuth 90: the centre pixel's ray is +x (to the single precision
    // OpenGL keeps its matrices in).
    camera.SetAzimuth(90);
    frame();
    double x = 0, y = 0, z = 0;
    ASSERT_TRUE(camera.Unproject(32, 19, x, y, z));
    EXPECT_NEAR(x / std::hypot(x, y, z), 1.0, 1e-6);
    EXPECT_FALSE(camera.Project(-10, 0, 0, true, col, row));
    camera.SetAltitude(-30);
    camera.SetAzimuth(150);
    frame();
    ASSERT_TRUE(camera.Unproject(10, 30, x, y, z));  // the ray projects back
    ASSERT_TRUE(camera.Project(x * 1.0000001, y * 1.0000001, z * 1.0000001, true, col, row));
    EXPECT_NEAR(col, 10, 1);
    EXPECT_NEAR(row, 30, 1);

    // A point drawn with the camera's matrices lights the pixel Project names.
    glDisable(GL_TEXTURE_2D);
    glPointSize(3.0f);
    glColor3ub(255, 0, 0);
    glBegin(GL_POINTS);
    glVertex3d(11, -10, 15);
    glEnd();
    ASSERT_TRUE(camera.Project(11, -10, 15, true, col, row));
    platform::RgbImage image;
    ASSERT_TRUE(context.ReadPixels(image));
    EXPECT_TRUE(testsupport::PixelNear(image, col, row, {255, 0, 0}, 8));
    EXPECT_TRUE(testsupport::PixelNear(image, col + 6, row, {0, 0, 0}, 8));

    // A world without height keeps the last matrices.
    const double kept = camera.ProjectionMatrix()[5];
    world.SetSize(64, 0);
    camera.SetFieldOfView(20);
    camera.Draw();
    EXPECT_EQ(camera.ProjectionMatrix()[5], kept);
    context.Release();
}

TEST(CameraTransition, StepsEaseTheShorterWayAndEndOnTheTarget) {
    SX_OpenGLCamera c;
    std::vector<std::pair<double, double>> steps;
    const auto turn = [&](double alt, double az, bool animate = true) {
        steps.clear();
        c.Transition(alt, az, animate, [&](bool last) {
            steps.emplace_back(c.Altitude(), c.Azimuth());
            EXPECT_EQ(last,
                      c.Altitude() == c.ClampAltitude(alt) && c.Azimuth() == c.WrapAzimuth(az));
        });
        return steps.size();
    };
    c.SetAzimuth(170);
    ASSERT_EQ(turn(0, -170), 20u);  // 19 intermediate frames and the final one
    for (const auto& s : steps) {
        EXPECT_TRUE(s.second >= 170 || s.second <= -170) << s.second;
    }
    EXPECT_NEAR(steps[0].second, 170 + 20 * (0.5 - 0.5 * std::cos(3.14159265358979 / 20)), 1e-9);
    EXPECT_NEAR(std::fabs(steps[9].second), 180, 1e-9);  // half way at t = 0.5
    EXPECT_EQ(steps.back().second, -170);
    EXPECT_EQ(turn(30, -160), 30u);        // the altitude sets the pace
    EXPECT_EQ(turn(30, -152.0001), 8u);    // just over 2 degrees
    EXPECT_EQ(turn(31.5, -151.0001), 1u);  // 2 or less: one frame at the target
    EXPECT_EQ(steps[0].first, 31.5);
    EXPECT_EQ(turn(120, 600, false), 1u);
    EXPECT_EQ(steps[0], std::pair(89.9, 240.0));
}
