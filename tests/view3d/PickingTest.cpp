// Picking on a generated station drawn by a headless control on Mesa: the
// point under a pixel is the scene's along the view ray, it comes from the
// point file of the level last drawn on the face, faces and pixels without
// points give none, and Get3DLocation answers the page.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <numbers>
#include <optional>

#include "control/Automation.h"
#include "cubeface/CubeFaceGeometry.h"
#include "cubeface/ImpCubeFaceReader.h"
#include "glcore/SX_OpenGLCamera.h"
#include "support/ControlFixture.h"
#include "view3d/SX_GraphicWindow.h"

using sitegen::Vec3;

namespace {

class PickingTest : public ControlFixture {
  protected:
    // A control of the given size with the station's levels loaded: all of
    // them, or only the coarsest (the loader then waits for a finer one).
    SX_Control& Loaded(const sitegen::StationFiles& st, int width, int height, bool all = true) {
        if (all) {
            return LoadedControl(st.description, width, height);
        }
        SX_Control& c = ReadyControl(MakeOptions(), nullptr, width, height);
        c.put_src(platform::Bstr(platform::FromUtf8(st.description)));
        EXPECT_TRUE(WaitCoarseLoaded());
        return c;
    }

    void Frame(SX_Control& c, double azimuth, double fieldOfView = 80.0) {
        StraleLib::SX_OpenGLCamera& camera = *c.DataSet().Camera();
        camera.SetAzimuth(azimuth);
        camera.SetFieldOfView(fieldOfView);
        ASSERT_TRUE(c.RenderFrame());
    }

    // The view-frame ray through a client pixel (top-down).
    Vec3 Ray(SX_Control& c, int column, int row) {
        Vec3 d{};
        StraleLib::SX_OpenGLContext& context = *c.GraphicWindow()->Context();
        EXPECT_TRUE(context.Acquire());
        EXPECT_TRUE(c.DataSet().Camera()->Unproject(column, row, d[0], d[1], d[2]));
        context.Release();
        return d;
    }

    std::optional<Vec3> Pick(SX_Control& c, int column, int row) {
        Vec3 p{};
        if (!c.GraphicWindow()->PickPoint(column, row, p[0], p[1], p[2])) {
            return std::nullopt;
        }
        EXPECT_TRUE(c.GraphicWindow()->Context()->IsReleased());
        return p;
    }

    static std::unique_ptr<ImpCubeFaceReader> Reader(const std::string& path) {
        auto reader = std::make_unique<ImpCubeFaceReader>();
        EXPECT_TRUE(reader->Read(path.c_str())) << path;
        return reader;
    }

    static Vec3 PointOf(const ImpCubeFaceReader& reader, int column, int row) {
        Vec3 p{};
        EXPECT_TRUE(reader.HasPoint(column, row)) << column << ", " << row;
        reader.GetPoint(column, row, p[0], p[1], p[2], true);
        return p;
    }

    // The point the file of one level holds for the face pixel a view ray
    // meets.
    Vec3 FilePointOnRay(const sitegen::StationFiles& st, int level, const Vec3& ray) {
        const cubeface::FaceHit hit = cubeface::FaceOfDirection(ray[0], ray[1], ray[2]);
        const int size = st.levels[level].size;
        const auto reader = Reader(st.levels[level].points[hit.face]);
        return PointOf(*reader, std::min(static_cast<int>(hit.u * size), size - 1),
                       std::min(static_cast<int>(hit.v * size), size - 1));
    }
};

double Angle(const Vec3& a, const Vec3& b) {
    const double c = sitegen::Dot(a, b) / (sitegen::Length(a) * sitegen::Length(b));
    return std::acos(std::clamp(c, -1.0, 1.0));
}

}  // namespace

TEST_F(PickingTest, PickedPointLiesOnTheSceneAlongTheViewRay) {
    const auto& st = Generate({32, 64});
    SX_Control& c = Loaded(st, 120, 90);
    const sitegen::StationPose& pose = st.pose;
    const int n = st.levels[0].size;
    for (const double azimuth : {0.0, 90.0}) {
        Frame(c, azimuth);
        for (const auto& [column, row] : {std::pair{60, 45}, std::pair{20, 70}}) {
            SCOPED_TRACE(testing::Message()
                         << "azimuth " << azimuth << " pixel " << column << ", " << row);
            const std::optional<Vec3> picked = Pick(c, column, row);
            ASSERT_TRUE(picked);
            const Vec3 site = pose.ScanToSite(*picked);
            const Vec3 ray = pose.ViewToSiteDirection(Ray(c, column, row));
            // Along the ray: inside the face pixel the ray passes through.
            EXPECT_LT(Angle(sitegen::Sub(site, pose.centre), ray), 2.0 * std::sqrt(2.0) / n);
            // On the scene's surface, within what a point file keeps of a
            // point (four times the direction error allows for a slanted
            // surface).
            const sitegen::SceneHit hit =
                plan_.scene.Trace(pose.centre, sitegen::Sub(site, pose.centre));
            ASSERT_TRUE(hit.hasPoint);
            const double r = hit.distance;
            EXPECT_LT(sitegen::Length(sitegen::Sub(hit.point, site)),
                      r / 1048574.0 + 4.0 * r * std::sqrt(2.0) / (63.0 * n));
        }
    }
}

TEST_F(PickingTest, PointAtUsesTheDrawnLevelsPixelGridAndFailsWithoutAPoint) {
    const auto& st = Generate({32, 64});
    std::filesystem::remove(st.levels[0].points[3]);
    SX_Control& c = Loaded(st, 120, 90);
    const SX_CubeMap& cube = *c.DataSet().CubeMap();
    EXPECT_NE(c.DataSet().GetMessages().find(u"Pnt_3_64.DAT"), std::u16string::npos);

    double x = 7, y = 7, z = 7;
    Frame(c, 0.0);
    ASSERT_EQ(cube.DrawnLevel(5), 0);
    // The back face has its image but not its point file at the drawn level.
    EXPECT_TRUE(cube.HasImage(3, 0));
    EXPECT_FALSE(cube.PointAt(3, 0.5, 0.5, x, y, z));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(cube.PointAt(1, nan, 0.5, x, y, z));
    EXPECT_FALSE(cube.PointAt(1, 0.5, 1e300, x, y, z));
    EXPECT_EQ(Vec3({x, y, z}), Vec3({7, 7, 7}));

    // The far edges are the last column and row, not one beyond.
    const auto floor = Reader(st.levels[0].points[5]);
    const struct {
        double u, v;
        int column, row;
    } edges[] = {{1.0, 1.0, 63, 63}, {0.0, 1.0, 0, 63}, {0.999, 0.01, 63, 0}};
    for (const auto& e : edges) {
        ASSERT_TRUE(cube.PointAt(5, e.u, e.v, x, y, z)) << e.u << ", " << e.v;
        EXPECT_EQ(Vec3({x, y, z}), PointOf(*floor, e.column, e.row)) << e.u << ", " << e.v;
    }

    // The sky through the east window has no point; its measured neighbour
    // on the wall has.
    const auto east = Reader(st.levels[0].points[2]);
    int column = -1, row = -1;
    for (int i = 0; i < 64 * 64 && column < 0; ++i) {
        if (!east->HasPoint(i % 64, i / 64)) {
            column = i % 64;
            row = i / 64;
        }
    }
    ASSERT_GE(column, 0);
    EXPECT_FALSE(cube.PointAt(2, (column + 0.5) / 64, (row + 0.5) / 64, x, y, z));
    ASSERT_TRUE(cube.PointAt(2, (column + 0.5) / 64, (row - 0.5) / 64, x, y, z));
    EXPECT_EQ(Vec3({x, y, z}), PointOf(*east, column, row - 1));
}

TEST_F(PickingTest, ZoomingInPicksFromTheFinerLevelOnceItIsDrawn) {
    const auto& st = Generate({32, 64});
    // 32 texels over a 20-pixel view at 80 degrees are fine enough.
    SX_Control& c = Loaded(st, 30, 20, false);
    const SX_CubeMap& cube = *c.DataSet().CubeMap();
    auto filePoint = [&](int level) { return FilePointOnRay(st, level, Ray(c, 13, 8)); };
    Frame(c, 0.0);
    ASSERT_EQ(cube.DrawnLevel(1), 1);
    EXPECT_EQ(Pick(c, 13, 8), filePoint(1));

    // Zoomed in, the finer level is wanted; until it is drawn, the coarser
    // one is picked.
    Frame(c, 0.0, 30.0);
    EXPECT_EQ(cube.WantedLevel(), 0);
    ASSERT_NE(filePoint(1), filePoint(0));
    EXPECT_EQ(Pick(c, 13, 8), filePoint(1));
    // No clock ticks meanwhile, so no frame is drawn.
    ASSERT_TRUE(WaitFor([&] { return cube.HasPoints(5, 0); }));
    EXPECT_EQ(Pick(c, 13, 8), filePoint(1));
    Frame(c, 0.0, 30.0);
    ASSERT_EQ(cube.DrawnLevel(1), 0);
    EXPECT_EQ(Pick(c, 13, 8), filePoint(0));
}

TEST_F(PickingTest, Get3DLocationAnswersThePointOrInModeFourTheRay) {
    SX_Control& c = LoadedControl(Generate({64}).description, 120, 90);
    const auto& st = plan_.stations[0];
    platform::InvokeResult r;
    auto call = [&](int column, int row) {
        r.Clear();
        const platform::HRESULT hr = automation_->InvokeByName(
            u"Get3DLocation", platform::DispatchKind::Method, {column, row}, r);
        EXPECT_EQ(hr, platform::S_OK);
        return Vec3(
            {r.Out(u"x")->DoubleValue(), r.Out(u"y")->DoubleValue(), r.Out(u"z")->DoubleValue()});
    };
    // Looking east-north-east through the window in the east wall: sky.
    const Vec3 room = plan_.scene.SiteToRoom(st.pose.centre);
    const double toWindow =
        std::atan2(sitegen::SiteScene::kWidth - room[0], 7.2 - room[1]) * 180.0 / std::numbers::pi;
    Frame(c, toWindow);
    EXPECT_FALSE(Pick(c, 60, 45));
    EXPECT_EQ(call(60, 45), Vec3({0, 0, 0}));
    const std::optional<Vec3> wall = Pick(c, 60, 2);
    ASSERT_TRUE(wall);
    EXPECT_EQ(call(60, 2), *wall);

    // Mode 4 picks view directions: every pixel answers its ray, rows
    // counted from the top.
    platform::VARIANT_BOOL set = platform::VARIANT_FALSE;
    ASSERT_EQ(c.SetMode(4, &set), platform::S_OK);
    for (const auto& [column, row] : {std::pair{60, 45}, std::pair{5, 3}}) {
        const Vec3 ray = call(column, row);
        EXPECT_EQ(ray, Ray(c, column, row));
        EXPECT_EQ(Pick(c, column, row), ray);
    }
    EXPECT_GT(call(5, 3)[1], 0.0);
}
