// Drawing over a saved view as a page does it through `panora run`: the page
// measures two pixels in the live view, applies a view locked for drawing,
// drags out a rectangle and clicks a distance drawing between the same two
// pixels with the host's mouse, reads both back through the shape methods,
// and unlocks. The screenshot shows the drawings over the still image; the
// distance drawing measures what the live view measured.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>

#include "support/ImageCompare.h"
#include "support/RunCommand.h"
#include "support/Site.h"
#include "support/TempDir.h"

namespace {

using testsupport::Rgb;

// The default pen is nearly opaque magenta.
bool Magenta(const Rgb& c) {
    return c.r > 190 && c.g < 80 && c.b > 190;
}

const char* const kPage = R"(
var log = [], picks = [], view = null;
function ev(name) {
  control.attachEvent(name, function(a) { log.push(name + (a === undefined ? "" : " " + a)); });
}
function click(x, y) {
  host.mouse("move", x, y, 0);
  host.mouse("leftDown", x, y, 0);
  host.mouse("leftUp", x, y, 0);
}
control.attachEvent("ControlInitialized", function() { control.src = "st1/st1.xml"; });
control.attachEvent("DownloadComplete", function() {
  control.SetZoom(20);
  control.SetAltitudeAzimuth(AIM);
  control.SetMode(1);
  control.Redraw();
  host.setTimeout(function() { click(160, 120); }, 50);
});
control.attachEvent("PointPicked", function(x, y, z) {
  picks.push([x, y, z]);
  if (picks.length == 1) { host.setTimeout(function() { click(200, 150); }, 20); return; }
  host.setTimeout(draw, 20);
});
function draw() {
  control.SetMode(0);
  host.screenshot("live.png");
  view = control.ViewCapture();
  control.Views.Add(view);
  control.ViewApply(view, true);
  ["ShapeSelected", "Shape2DAdded", "Select2DChanged", "Stop2DEdit", "Stop2DAdd"].forEach(ev);
  var rect = view.AddShape("Rectangle");
  host.mouse("move", 40, 40, 0);
  host.mouse("leftDown", 40, 40, 0);
  host.mouse("move", 70, 65, 0);
  host.mouse("move", 100, 90, 0);
  host.mouse("leftUp", 100, 90, 0);
  var dist = view.AddShape("Distance2D");
  click(160, 120);
  click(200, 150);
  click(110, 170);
  host.screenshot("drawn.png");
  var ids = [], id = view.GetFirstShape();
  while (id != -1) { ids.push(id); id = view.GetNextShape(); }
  log.push("ids " + (ids[0] == rect) + " " + (ids[1] == dist) + " " + ids.length);
  log.push("rect " + view.ShapeGetTypeName(rect) + " " + view.ShapeGetPositionX(rect) + " " +
           view.ShapeGetPositionY(rect) + " " + view.ShapeGetWidth(rect) + " " +
           view.ShapeGetHeight(rect));
  var a = picks[0], b = picks[1];
  var truth = Math.sqrt((a[0]-b[0])*(a[0]-b[0]) + (a[1]-b[1])*(a[1]-b[1]) + (a[2]-b[2])*(a[2]-b[2]));
  host.log(log.join("|"));
  host.log("distance " + view.ShapeGetTypeName(dist).replace(/[^0-9.]+/g, " ") + " truth " + truth);
  control.ViewUnlock(true);
  host.screenshot("unlocked.png");
  host.quit(0);
}
)";

}  // namespace

TEST(DrawingPage, MouseDrawnShapesReadBackAndShowOverTheStillImage) {
    testsupport::TempDir tmp;
    const sitegen::SitePlan plan = testsupport::MakeSite(tmp.path(), 1, {256});
    // Aim at the first target the station sees, so the pixels hold points.
    const sitegen::StationPose& pose = plan.stations[0].pose;
    const auto seen = testsupport::SeenTargets(plan, pose);
    ASSERT_FALSE(seen.empty());
    const testsupport::Aim aim = testsupport::AimAt(pose, seen[0]);
    std::string page = kPage;
    char text[64];
    std::snprintf(text, sizeof text, "%.9f, %.9f", aim.altitude, aim.azimuth);
    page.replace(page.find("AIM"), 3, text);
    const auto file = tmp.Write("page.js", page);
    const testsupport::CommandResult r =
        testsupport::RunPanoraPage(file, {"--size", "320x240", "--timeout", "60"}, tmp.path());
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;

    std::istringstream out(r.out);
    std::string events, word;
    std::getline(out, events);
    // Each add: the tool, then placed, selected and done.
    const std::size_t rectAt = events.find("ShapeSelected 3|Shape2DAdded ");
    const std::size_t distAt = events.find("Stop2DEdit|ShapeSelected 5|Shape2DAdded ");
    EXPECT_NE(rectAt, std::string::npos) << events;
    EXPECT_NE(distAt, std::string::npos) << events;
    EXPECT_EQ(events.find("Stop2DAdd"), std::string::npos) << events;
    EXPECT_NE(events.find("ids true true 2|rect Rectangle 40 40 60 50"), std::string::npos)
        << events;
    double shown = 0.0, truth = 0.0;
    out >> word >> shown >> word >> truth;
    ASSERT_FALSE(out.fail()) << r.out;
    // The caption rounds to the station's resolution.
    EXPECT_GT(truth, 0.01);
    EXPECT_NEAR(shown, truth, 0.0051) << r.out;

    const platform::RgbImage live = testsupport::LoadImageForCompare(tmp / "live.png");
    const platform::RgbImage drawn = testsupport::LoadImageForCompare(tmp / "drawn.png");
    const platform::RgbImage unlocked = testsupport::LoadImageForCompare(tmp / "unlocked.png");
    ASSERT_EQ(drawn.width, 320);
    // The rectangle's outline from (40, 40) to (100, 90), the still image
    // around it.
    for (const auto& [x, y] : {std::pair{40, 65}, {100, 65}, {70, 40}, {70, 90}}) {
        EXPECT_TRUE(Magenta(testsupport::PixelAt(drawn, x, y))) << x << "," << y;
    }
    for (const auto& [x, y] : {std::pair{30, 65}, {110, 65}, {70, 100}, {300, 220}}) {
        const Rgb l = testsupport::PixelAt(live, x, y);
        const Rgb d = testsupport::PixelAt(drawn, x, y);
        EXPECT_NEAR(d.r, l.r, 24) << x << "," << y;
        EXPECT_NEAR(d.g, l.g, 24) << x << "," << y;
        EXPECT_NEAR(d.b, l.b, 24) << x << "," << y;
    }
    // The distance's measure line passes its midpoint.
    bool line = false;
    for (int dy = -2; dy <= 2; ++dy) {
        for (int dx = -2; dx <= 2; ++dx) {
            line = line || Magenta(testsupport::PixelAt(drawn, 180 + dx, 135 + dy));
        }
    }
    EXPECT_TRUE(line);
    EXPECT_TRUE(testsupport::ImagesMatch(unlocked, live, {24, 0.02, 4.0}, "drawing-unlocked"));
}
