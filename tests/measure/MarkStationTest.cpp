// Marks on a loaded station: site coordinates of a station that is turned,
// moved and stores feet; focusing the camera on a mark; and a frame drawn
// with Mesa showing a distance mark's line and a position mark's cross where
// the camera projects them.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>

#include "control/Automation.h"
#include "glcore/SX_OpenGLCamera.h"
#include "measure/SX_DistanceMark.h"
#include "support/ControlFixture.h"
#include "support/ImageCompare.h"
#include "view3d/SX_GraphicWindow.h"

using namespace platform;

namespace {

class MarkStationTest : public ControlFixture {
  protected:
    // Generates and loads a station of the given pose options.
    SX_Control& Loaded(double azimuth, std::optional<sitegen::Vec3> centre, const char* unitName) {
        plan_ = testsupport::MakeSite(dir_ / "site", 1, {32, 64}, [&](sitegen::SiteOptions& o) {
            o.azimuthDeg = azimuth;
            o.centre = centre;
            o.unit = *sitegen::FindLengthUnit(unitName);
        });
        SX_Control& c = LoadedControl(plan_.stations[0].description, 160, 120);
        EXPECT_EQ(c.DataSet().GetMessages(), u"");
        return c;
    }
    InvokeResult Call(std::u16string_view name, std::vector<Variant> args) {
        InvokeResult r;
        EXPECT_EQ(automation_->InvokeByName(name, DispatchKind::Method, args, r), S_OK);
        return r;
    }
    double Real(std::u16string_view name, std::int32_t id) {
        return Call(name, {id}).retval.DoubleValue();
    }
    sitegen::Vec3 Scan(const sitegen::Vec3& site) const {
        return plan_.stations[0].pose.SiteToScan(site);
    }
};

}  // namespace

TEST_F(MarkStationTest, PositionMarksGiveSiteCoordinatesOfATurnedMovedStation) {
    SX_Control& c = Loaded(37.5, sitegen::Vec3{1000.0, 2000.0, 50.0}, "feet");
    ASSERT_EQ(c.DefaultUnit(), 10);  // the station's unit, no defaults file
    // In the default unit (feet, as stored) a mark gives the site's numbers;
    // in meters they are scaled. (Picks on targets: the measuring page.)
    const auto& targets = plan_.scene.Targets();
    const sitegen::Vec3 s = Scan(targets[0].centre);
    for (const std::int32_t unit : {-1, 0}) {
        const double k = unit == 0 ? 0.3048 : 1.0;
        const std::int32_t id =
            Call(u"VertexMark3D", {s[0], s[1], s[2], unit, u"#ffffff"}).retval.Int32Value();
        EXPECT_NEAR(Real(u"Mark3DGetXCoord", id), targets[0].centre[0] * k, 1e-6);
        EXPECT_NEAR(Real(u"Mark3DGetZCoord", id), targets[0].centre[2] * k, 1e-6);
    }
    const sitegen::Vec3 a = Scan(targets[0].centre);
    const sitegen::Vec3 b = Scan(targets[1].centre);
    const std::int32_t d =
        Call(u"DistanceMark3D", {a[0], a[1], a[2], b[0], b[1], b[2], std::int32_t{0}, u"#ffffff"})
            .retval.Int32Value();

    // Focusing turns the camera until the mark's midpoint is straight ahead.
    c.SetAnimateTransitions(false);
    EXPECT_FALSE(Call(u"FocusOnMark3D", {std::int32_t{3}}).retval.BoolValue());
    EXPECT_TRUE(Call(u"FocusOnMark3D", {d}).retval.BoolValue());
    const auto mid = static_cast<const SX_DistanceMark*>(c.DataSet().Marks().Find(d))->Midpoint();
    double x = 0, y = 0, z = 0;
    c.DataSet().Camera()->Direction(x, y, z);
    const double r = std::hypot(mid[0], mid[1], mid[2]);
    EXPECT_LT(std::hypot(x - mid[0] / r, y - mid[1] / r, z - mid[2] / r), 1e-9);
}

TEST_F(MarkStationTest, FrameShowsTheLineAndCrossesWhereTheCameraProjects) {
    SX_Control& c = Loaded(0.0, std::nullopt, "meters");
    // Scan points ahead of the eye (up direction 0: view -z is scan +y).
    const std::int32_t d =
        Call(u"DistanceMark3D", {-1.5, 3.0, 0.6, 1.0, 3.0, -0.4, std::int32_t{0}, u"#ff00ff"})
            .retval.Int32Value();
    const std::int32_t v =
        Call(u"VertexMark3D", {0.0, 3.0, 1.2, std::int32_t{0}, u"#00ffff"}).retval.Int32Value();
    ASSERT_GE(v, 0);
    const RgbImage frame = Frame();

    StraleLib::SX_OpenGLContext& context = *c.GraphicWindow()->Context();
    ASSERT_TRUE(context.Acquire());  // Project reads the viewport
    const auto* mark = static_cast<const SX_DistanceMark*>(c.DataSet().Marks().Find(d));
    int p[3][2] = {};
    const auto project = [&](const std::array<double, 3>& q, int* out) {
        return c.DataSet().Camera()->Project(q[0], q[1], q[2], false, out[0], out[1]);
    };
    ASSERT_TRUE(project(mark->FirstPoint(), p[0]));
    ASSERT_TRUE(project(mark->SecondPoint(), p[1]));
    ASSERT_TRUE(project({0.0, 1.2, -3.0}, p[2]));
    context.Release();

    const int height = c.GraphicWindow()->Height();
    // Rows from the bottom in OpenGL, from the top in the frame.
    const auto near = [&](int column, int row, testsupport::Rgb want) {
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                const testsupport::Rgb got =
                    testsupport::PixelAt(frame, column + dx, height - 1 - row + dy);
                if (std::abs(got.r - want.r) <= 40 && std::abs(got.g - want.g) <= 40 &&
                    std::abs(got.b - want.b) <= 40) {
                    return true;
                }
            }
        }
        return false;
    };
    EXPECT_TRUE(near((p[0][0] + p[1][0]) / 2, (p[0][1] + p[1][1]) / 2, {255, 0, 255}));
    EXPECT_TRUE(near(p[2][0], p[2][1], {0, 255, 255}));

    // Removed, the line is gone.
    Call(u"Mark3DRemove", {d});
    const RgbImage after = Frame();
    const testsupport::Rgb mid =
        testsupport::PixelAt(after, (p[0][0] + p[1][0]) / 2, height - 1 - (p[0][1] + p[1][1]) / 2);
    EXPECT_FALSE(mid.r > 215 && mid.g < 40 && mid.b > 215);
}
