// Frames of a generated station drawn by a headless control on Mesa: the
// centre pixel shows the scene along the view, a target left of the view lands
// left of centre.
#include <algorithm>
#include <cmath>

#include "glcore/SX_OpenGLCamera.h"
#include "support/ControlFixture.h"
#include "support/ImageCompare.h"
#include "view3d/SX_GraphicWindow.h"

namespace {

class CubeMapRenderTest : public ControlFixture {
  protected:
    SX_Control& Loaded(const sitegen::StationFiles& st, int width, int height) {
        SX_Control& c = LoadedControl(st.description, width, height);
        EXPECT_EQ(c.DataSet().GetMessages(), u"");
        return c;
    }

    platform::RgbImage FrameAt(double azimuth, double altitude) {
        Cam().SetAzimuth(azimuth);
        Cam().SetAltitude(altitude);
        return Frame();
    }

    // The scene's colour along the ray through a window pixel.
    testsupport::Rgb SceneAt(SX_Control& c, int column, int row) {
        double x = 0, y = 0, z = 0;
        StraleLib::SX_OpenGLContext& context = *c.GraphicWindow()->Context();
        EXPECT_TRUE(context.Acquire());  // the viewport is read from OpenGL
        EXPECT_TRUE(c.DataSet().Camera()->Unproject(column, row, x, y, z));
        context.Release();
        const sitegen::StationPose& pose = plan_.stations[0].pose;
        const sitegen::SceneHit hit =
            plan_.scene.Trace(pose.centre, pose.ViewToSiteDirection({x, y, z}));
        return {hit.colour.r, hit.colour.g, hit.colour.b};
    }

    // Whether the frame's pixel shows the scene's colour along the ray through
    // it or through a pixel at most two away (one face texel covers about
    // two pixels here, and JPEG softens the edges of the scene's patterns).
    ::testing::AssertionResult ShowsScene(SX_Control& c, const platform::RgbImage& frame,
                                          int column, int row) {
        const testsupport::Rgb actual = testsupport::PixelAt(frame, column, row);
        int best = 256;
        for (int dy = -2; dy <= 2; ++dy) {
            for (int dx = -2; dx <= 2; ++dx) {
                const testsupport::Rgb want = SceneAt(c, column + dx, row + dy);
                best = std::min(best,
                                std::max({std::abs(want.r - actual.r), std::abs(want.g - actual.g),
                                          std::abs(want.b - actual.b)}));
            }
        }
        if (best <= 24) {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure() << "pixel (" << column << ", " << row << ") is "
                                             << actual << ", off the scene by " << best;
    }
};

TEST_F(CubeMapRenderTest, CentrePixelShowsTheSceneAlongTheView) {
    const auto& st = Generate({32, 64});
    SX_Control& c = Loaded(st, 120, 90);
    const SX_CubeMap& cube = *c.DataSet().CubeMap();
    struct View {
        double azimuth, altitude;
        int face;
    };
    const View views[] = {{0, 0, 1},   {90, 0, 2},   {180, 0, 3},
                          {-90, 0, 0}, {0, 89.9, 4}, {0, -89.9, 5}};
    for (const View& v : views) {
        const platform::RgbImage frame = FrameAt(v.azimuth, v.altitude);
        ASSERT_EQ(frame.width, 120);
        ASSERT_EQ(frame.height, 90);
        EXPECT_TRUE(ShowsScene(c, frame, 60, 45))
            << "azimuth " << v.azimuth << " altitude " << v.altitude;
        // Six 64-pixel faces over 90 pixels at 80 degrees are coarser than
        // the screen: the finest level is drawn everywhere.
        EXPECT_EQ(cube.DrawnLevel(v.face), 0) << v.face;
    }
    EXPECT_EQ(cube.WantedLevel(), 0);
    EXPECT_EQ(cube.InteractionState(), SX_CubeMap::kIdle);

    // A direction 15 degrees left of the view lands left of centre, where the
    // camera projects it, in the scene's colour along that direction.
    StraleLib::SX_OpenGLCamera& camera = *c.DataSet().Camera();
    camera.SetAzimuth(-15.0);
    camera.SetAltitude(0.0);
    sitegen::Vec3 left{};
    camera.Direction(left[0], left[1], left[2]);
    const platform::RgbImage frame = FrameAt(0.0, 0.0);
    int column = 0, row = 0;
    ASSERT_TRUE(c.GraphicWindow()->Context()->Acquire());
    const bool projected = camera.Project(left[0], left[1], left[2], true, column, row);
    c.GraphicWindow()->Context()->Release();
    ASSERT_TRUE(projected);
    EXPECT_LT(column, 60 - 10);
    EXPECT_NEAR(row, 45, 1);
    EXPECT_TRUE(ShowsScene(c, frame, column, row));
}

}  // namespace
