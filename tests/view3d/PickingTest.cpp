// Picking on a generated station drawn by a headless control on Mesa: the
// point under a pixel comes from the point file of the level last drawn on
// the face, faces and pixels without points give none, and Get3DLocation
// answers the page. (Picks landing on the scene's true points: the measure
// page and the publisher's test.)
#include <cmath>
#include <filesystem>
#include <limits>
#include <numbers>
#include <optional>

#include "control/Automation.h"
#include "cubeface/ImpCubeFaceReader.h"
#include "glcore/SX_OpenGLCamera.h"
#include "support/ControlFixture.h"
#include "view3d/SX_GraphicWindow.h"

using sitegen::Vec3;

namespace {

class PickingTest : public ControlFixture {
  protected:
    void Frame(SX_Control& c, double azimuth) {
        c.DataSet().Camera()->SetAzimuth(azimuth);
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
};

}  // namespace

TEST_F(PickingTest, PointAtUsesTheDrawnLevelsPixelGridAndFailsWithoutAPoint) {
    const auto& st = Generate({32, 64});
    std::filesystem::remove(st.levels[0].points[3]);
    SX_Control& c = LoadedControl(st.description, 120, 90);
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
