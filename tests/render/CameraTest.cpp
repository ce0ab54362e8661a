// The camera on its own: the angle limits, the matrices Draw leaves behind,
// projecting and unprojecting against what OpenGL really draws, and the
// steps of a transition.

#include "glcore/SX_OpenGLCamera.h"

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
#include <vector>

#include "glcore/SX_OpenGLContext.h"
#include "glcore/SX_OpenGLWorld.h"
#include "support/ImageCompare.h"

using StraleLib::SX_OpenGLCamera;
using StraleLib::SX_OpenGLContext;
using StraleLib::SX_OpenGLWorld;

namespace {

constexpr double kPi = 3.14159265358979323846;

class CameraTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(context_.Create(64, 40)) << context_.LastError();
        ASSERT_TRUE(context_.Acquire());
        world_.SetSize(64, 40);
        world_.Initialise();
    }
    void TearDown() override { context_.Release(); }

    void Frame() {
        world_.BeginFrame();
        camera_.Draw();
    }

    SX_OpenGLContext context_;
    SX_OpenGLWorld world_;
    SX_OpenGLCamera camera_{&world_};
};

struct Step {
    double altitude;
    double azimuth;
};

std::vector<Step> Turn(SX_OpenGLCamera& camera, double altitude, double azimuth,
                       bool animate = true) {
    std::vector<Step> steps;
    camera.Transition(altitude, azimuth, animate, [&] {
        steps.push_back({camera.Altitude(), camera.Azimuth()});
    });
    return steps;
}

}  // namespace

TEST(CameraLimits, WrapOnceAndClampAtTheExactBoundaries) {
    SX_OpenGLCamera camera;
    EXPECT_EQ(camera.Azimuth(), 0.0);
    EXPECT_EQ(camera.Altitude(), 0.0);
    EXPECT_EQ(camera.FieldOfView(), 80.0);

    const std::pair<double, double> azimuths[] = {
        {190, -170}, {-181, 179}, {600, 240}, {180, 180}, {-180, -180}, {-600, -240}, {360, 0}};
    for (const auto& [in, out] : azimuths) {
        camera.SetAzimuth(in);
        EXPECT_DOUBLE_EQ(camera.Azimuth(), out) << in;
    }
    camera.SetAzimuth(170);
    camera.AddAzimuth(15);
    EXPECT_DOUBLE_EQ(camera.Azimuth(), -175);

    const std::pair<double, double> altitudes[] = {
        {95, 89.9}, {-90, -89.9}, {89.9, 89.9}, {-89.9, -89.9}, {45, 45}};
    for (const auto& [in, out] : altitudes) {
        camera.SetAltitude(in);
        EXPECT_EQ(camera.Altitude(), out) << in;
    }
    camera.AddAltitude(100);
    EXPECT_EQ(camera.Altitude(), 89.9);

    const std::pair<double, double> fields[] = {{1, 3}, {150, 120}, {3, 3}, {120, 120}, {2.999, 3}};
    for (const auto& [in, out] : fields) {
        camera.SetFieldOfView(in);
        EXPECT_EQ(camera.FieldOfView(), out) << in;
    }
}

TEST(CameraLimits, DirectionAnglesFollowTheSceneFrame) {
    double altitude = 7.0, azimuth = 7.0;
    EXPECT_FALSE(SX_OpenGLCamera::DirectionAngles(0, 0, 0, altitude, azimuth));
    EXPECT_EQ(altitude, 7.0);
    EXPECT_EQ(azimuth, 7.0);

    const struct {
        double x, y, z, altitude, azimuth;
    } cases[] = {
        {0, 0, -1, 0, 0},  {1, 0, 0, 0, 90},  {-1, 0, 0, 0, 270},
        {0, 0, 5, 0, 180}, {0, 2, -2, 45, 0}, {3, -3, 0, -45, 90},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(SX_OpenGLCamera::DirectionAngles(c.x, c.y, c.z, altitude, azimuth));
        EXPECT_NEAR(altitude, c.altitude, 1e-9) << c.x << "," << c.y << "," << c.z;
        EXPECT_NEAR(azimuth, c.azimuth, 1e-9) << c.x << "," << c.y << "," << c.z;
        // Turning there looks along the same direction.
        SX_OpenGLCamera camera;
        camera.SetAltitude(altitude);
        camera.SetAzimuth(azimuth);
        double dx = 0, dy = 0, dz = 0;
        camera.Direction(dx, dy, dz);
        const double r = std::sqrt(c.x * c.x + c.y * c.y + c.z * c.z);
        EXPECT_NEAR(dx, c.x / r, 1e-9);
        EXPECT_NEAR(dy, c.y / r, 1e-9);
        EXPECT_NEAR(dz, c.z / r, 1e-9);
    }
}

TEST_F(CameraTest, DrawStoresTheMatricesAndSkipsAWorldWithoutArea) {
    SX_OpenGLCamera lonely;
    lonely.Draw();  // no world: nothing happens
    EXPECT_EQ(lonely.ModelviewMatrix()[0], 1.0);
    EXPECT_EQ(lonely.ProjectionMatrix()[11], 0.0);
    EXPECT_DOUBLE_EQ(lonely.Aspect(), 1.0);

    EXPECT_DOUBLE_EQ(camera_.Aspect(), 1.6);
    camera_.SetAzimuth(90);
    Frame();
    // Perspective: m[5] = cot(fov / 2), m[0] = that over the aspect, m[11] = -1.
    const double f = 1.0 / std::tan(40.0 * kPi / 180.0);
    // (OpenGL keeps matrices in single precision.)
    EXPECT_NEAR(camera_.ProjectionMatrix()[5], f, 1e-6);
    EXPECT_NEAR(camera_.ProjectionMatrix()[0], f / 1.6, 1e-6);
    EXPECT_EQ(camera_.ProjectionMatrix()[11], -1.0);
    // Azimuth 90 about y, no translation.
    EXPECT_NEAR(camera_.ModelviewMatrix()[8], 1.0, 1e-6);  // z column's x
    EXPECT_EQ(camera_.ModelviewMatrix()[12], 0.0);

    world_.SetSize(64, 0);
    EXPECT_DOUBLE_EQ(camera_.Aspect(), 1.0);
    camera_.SetFieldOfView(20);
    camera_.Draw();
    EXPECT_NEAR(camera_.ProjectionMatrix()[5], f, 1e-6);  // the last frame's
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(CameraTest, ProjectLandsOnTheGeometryAndHonoursTheDepthRule) {
    Frame();
    int column = -5, row = -5;
    ASSERT_TRUE(camera_.Project(0, 0, -10, false, column, row));
    EXPECT_EQ(column, 32);
    EXPECT_EQ(row, 20);
    ASSERT_TRUE(camera_.Project(0, 0, -10, true, column, row));
    EXPECT_EQ(row, 19);

    // Half way to the top right edge of the frustum: three quarters across.
    const double t = std::tan(40.0 * kPi / 180.0);
    ASSERT_TRUE(camera_.Project(5 * t * 1.6 * 0.999, 5 * t * 0.999, -10, false, column, row));
    EXPECT_EQ(column, 47);
    EXPECT_EQ(row, 29);

    // Behind the eye, beyond the far plane: not visible, outputs untouched.
    column = row = -5;
    EXPECT_FALSE(camera_.Project(0, 0, 10, false, column, row));
    EXPECT_FALSE(camera_.Project(0, 0, -1001, true, column, row));
    EXPECT_TRUE(camera_.Project(0, 0, -999, true, column, row));
    EXPECT_EQ(column, 32);

    // After turning, +x is straight ahead (to within the single precision of
    // OpenGL's matrices) and -z has left the view.
    camera_.SetAzimuth(90);
    Frame();
    ASSERT_TRUE(camera_.Project(10, 0, 0, true, column, row));
    EXPECT_NEAR(column, 32, 1);
    EXPECT_EQ(row, 19);
    EXPECT_FALSE(camera_.Project(-10, 0, 0, true, column, row));

    // A drawn point lights the pixel Project names.
    camera_.SetAltitude(20);
    camera_.SetAzimuth(-35);
    Frame();
    glDisable(GL_TEXTURE_2D);
    glPointSize(3.0f);
    glColor3ub(255, 0, 0);
    glBegin(GL_POINTS);
    glVertex3d(-12, 8, -20);
    glEnd();
    ASSERT_TRUE(camera_.Project(-12, 8, -20, true, column, row));
    platform::RgbImage image;
    ASSERT_TRUE(context_.ReadPixels(image));
    EXPECT_TRUE(testsupport::PixelNear(image, column, row, {255, 0, 0}, 8));
    EXPECT_TRUE(testsupport::PixelNear(image, column + 6, row, {0, 0, 0}, 8));
}

TEST_F(CameraTest, UnprojectGivesTheRayThroughThePixel) {
    camera_.SetAzimuth(90);
    Frame();
    double x = 0, y = 0, z = 0;
    ASSERT_TRUE(camera_.Unproject(32, 19, x, y, z));  // the centre, rows top-down
    const double r = std::sqrt(x * x + y * y + z * z);
    EXPECT_NEAR(x / r, 1.0, 1e-6);
    EXPECT_NEAR(y / r, 0.0, 1e-6);
    EXPECT_NEAR(z / r, 0.0, 1e-6);

    // Any pixel: the unprojected point projects back onto it.
    camera_.SetAltitude(-30);
    camera_.SetAzimuth(150);
    Frame();
    for (const auto& [px, py] : {std::pair{0, 0}, {63, 39}, {10, 30}, {50, 5}}) {
        ASSERT_TRUE(camera_.Unproject(px, py, x, y, z));
        int column = 0, row = 0;
        ASSERT_TRUE(
            camera_.Project(x * 1.0000001, y * 1.0000001, z * 1.0000001, true, column, row));
        EXPECT_NEAR(column, px, 1) << px << "," << py;
        EXPECT_NEAR(row, py, 1) << px << "," << py;
    }
    // The top row looks up, the bottom row down.
    double yTop = 0, yBottom = 0;
    camera_.Unproject(32, 0, x, yTop, z);
    camera_.Unproject(32, 39, x, yBottom, z);
    EXPECT_GT(yTop, yBottom);
}

TEST(CameraTransition, StepsEaseTheShorterWayAndEndOnTheTarget) {
    SX_OpenGLCamera camera;
    camera.SetAzimuth(170);
    std::vector<Step> steps = Turn(camera, 0, -170);
    ASSERT_EQ(steps.size(), 20u);  // 19 intermediate frames and the final one
    for (const Step& s : steps) {
        EXPECT_TRUE(s.azimuth >= 170 || s.azimuth <= -170) << s.azimuth;
    }
    const double w1 = 0.5 - 0.5 * std::cos(kPi / 20);
    EXPECT_NEAR(steps[0].azimuth, 170 + 20 * w1, 1e-9);
    EXPECT_NEAR(std::fabs(steps[9].azimuth), 180, 1e-9);  // half way at t = 0.5
    EXPECT_EQ(steps.back().azimuth, -170);
    EXPECT_EQ(camera.Azimuth(), -170);

    // The altitude sets the pace when it moves more; at least 8 frames.
    steps = Turn(camera, 30, -160);
    EXPECT_EQ(steps.size(), 30u);
    EXPECT_EQ(steps.back().altitude, 30);
    steps = Turn(camera, 30, -155);
    EXPECT_EQ(steps.size(), 8u);
    steps = Turn(camera, 30, -152.0001);
    EXPECT_EQ(steps.size(), 8u);  // just over 2 degrees

    // Two degrees or less, or no animation: one frame at the (clamped) target.
    steps = Turn(camera, 31.5, -151.0001);
    ASSERT_EQ(steps.size(), 1u);
    EXPECT_EQ(steps[0].altitude, 31.5);
    steps = Turn(camera, 120, 600, false);
    ASSERT_EQ(steps.size(), 1u);
    EXPECT_EQ(steps[0].altitude, 89.9);
    EXPECT_EQ(steps[0].azimuth, 240);
}
