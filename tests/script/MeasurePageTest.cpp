// Measuring as a page does it: switch to picking, aim at two targets whose
// true positions the generator knows, click each, and make a position and a
// distance mark from the two PointPicked events. Units and the labels of
// marks are checked with the marks themselves.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "support/RunCommand.h"
#include "support/Site.h"
#include "support/TempDir.h"

namespace {

const char* const kPage = R"(
var aims = AIMS, picks = [];
function aim(i) {
  control.SetZoom(20);
  control.SetAltitudeAzimuth(aims[i][0], aims[i][1]);
  control.Redraw();
  host.setTimeout(function() {
    host.mouse("move", 160, 120, 0);
    host.mouse("leftDown", 160, 120, 0);
    host.mouse("leftUp", 160, 120, 0);
  }, 50);
}
control.attachEvent("DownloadComplete", function() {
  control.SetMode(1);
  aim(0);
});
control.attachEvent("PointPicked", function(x, y, z) {
  picks.push([x, y, z]);
  if (picks.length < 2) { aim(1); return; }
  var a = picks[0], b = picks[1];
  var v = control.VertexMark3D(a[0], a[1], a[2], 0, "#ff0000");
  host.log("vertex", control.Mark3DGetXCoord(v), control.Mark3DGetYCoord(v),
           control.Mark3DGetZCoord(v));
  var d = control.DistanceMark3D(a[0], a[1], a[2], b[0], b[1], b[2], 0, "#00ff00");
  host.log("meters", control.Mark3DGetValue(d));
  host.quit(0);
});
control.attachEvent("ControlInitialized", function() { control.src = "st1/st1.xml"; });
)";

}  // namespace

TEST(MeasurePage, TwoClickedTargetsGiveTheirSiteCoordinatesAndTrueDistance) {
    testsupport::TempDir tmp;
    const sitegen::SitePlan plan =
        testsupport::MakeSite(tmp.path(), 1, {512}, [](sitegen::SiteOptions& o) {
            o.azimuthDeg = 37.5;
            o.centre = sitegen::Vec3{1000.0, 2000.0, 50.0};
        });
    const sitegen::StationPose& pose = plan.stations[0].pose;
    // Two targets the station sees unobstructed.
    const std::vector<sitegen::Vec3> seen = testsupport::SeenTargets(plan, pose);
    ASSERT_GE(seen.size(), 2u);
    const testsupport::Aim aims[] = {testsupport::AimAt(pose, seen[0]),
                                     testsupport::AimAt(pose, seen[1])};
    std::string page = kPage;
    char list[256];
    std::snprintf(list, sizeof list, "[[%.9f, %.9f], [%.9f, %.9f]]", aims[0].altitude,
                  aims[0].azimuth, aims[1].altitude, aims[1].azimuth);
    page.replace(page.find("AIMS"), 4, list);
    const auto file = tmp.Write("page.js", page);

    const auto r =
        testsupport::RunPanoraPage(file, {"--size", "320x240", "--timeout", "60"}, tmp.path());
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;

    // A pick is the measured point of the face pixel under the view's centre:
    // within about one face pixel of the target's centre.
    const double pixel = std::numbers::pi / 2.0 / 512.0;
    std::istringstream out(r.out);
    std::string word;
    double x = 0, y = 0, z = 0, meters = 0;
    out >> word >> x >> y >> z >> word >> meters;
    ASSERT_FALSE(out.fail()) << r.out;
    const double tolerance0 = 1.5 * aims[0].distance * pixel + 0.002;
    EXPECT_NEAR(x, seen[0][0], tolerance0) << r.out;
    EXPECT_NEAR(y, seen[0][1], tolerance0) << r.out;
    EXPECT_NEAR(z, seen[0][2], tolerance0) << r.out;
    const sitegen::Vec3 d = sitegen::Sub(seen[0], seen[1]);
    const double truth = std::sqrt(sitegen::Dot(d, d));
    const double tolerance = tolerance0 + 1.5 * aims[1].distance * pixel + 0.002;
    EXPECT_NEAR(meters, truth, tolerance) << r.out;
}
