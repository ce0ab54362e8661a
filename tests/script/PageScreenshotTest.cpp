// host.screenshot from a page run by `panora run`: the file holds the view as
// the page just turned it, relative names land in the page's folder, and a
// file that cannot be written answers false.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "sitegen/SiteGenerator.h"
#include "support/ImageCompare.h"
#include "support/RunCommand.h"
#include "support/TempDir.h"

namespace {

constexpr double kDeg = 3.14159265358979323846 / 180.0;

// Smallest channel distance between the pixel and the scene seen from the
// first station along directions within two degrees of the azimuth (on the
// horizon).
int SceneDistance(const sitegen::SitePlan& plan, testsupport::Rgb pixel, double azimuth) {
    const sitegen::StationPose& pose = plan.stations[0].pose;
    int best = 256;
    for (double da = -2.0; da <= 2.0; da += 0.5) {
        for (double dl = -2.0; dl <= 2.0; dl += 0.5) {
            const double az = (azimuth + da) * kDeg;
            const double al = dl * kDeg;
            const sitegen::Vec3 view{std::sin(az) * std::cos(al), std::sin(al),
                                     -std::cos(az) * std::cos(al)};
            const auto hit = plan.scene.Trace(pose.centre, pose.ViewToSiteDirection(view));
            best = std::min(
                best, std::max({std::abs(hit.colour.r - pixel.r), std::abs(hit.colour.g - pixel.g),
                                std::abs(hit.colour.b - pixel.b)}));
        }
    }
    return best;
}

}  // namespace

TEST(PageScreenshot, WritesTheViewTheRunShowsBesideThePage) {
    testsupport::TempDir tmp;
    sitegen::SiteOptions options;
    options.outputDir = tmp.path().string();
    options.stations = 1;
    options.sizes = {32, 64};
    sitegen::SitePlan plan;
    std::string error;
    ASSERT_TRUE(sitegen::GenerateSite(options, &plan, &error)) << error;

    const auto page = tmp.Write("page.js", R"(
control.attachEvent("ControlInitialized", function() { control.src = "st1/st1.xml"; });
control.attachEvent("DownloadComplete", function() {
  control.SetAzimuth(90);
  control.SetAltitude(0);
  host.log(host.screenshot("shot.png"), host.screenshot("st1/shot.jpg"),
           host.screenshot("no/such/folder/shot.png"));
  host.quit(0);
});
)");
    const testsupport::CommandResult r =
        testsupport::RunPanoraPage(page, {"--size", "120x90", "--timeout", "30"}, tmp.path());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "true true false\n");

    const platform::RgbImage png = testsupport::LoadImageForCompare(tmp / "shot.png");
    ASSERT_EQ(png.width, 120);
    ASSERT_EQ(png.height, 90);
    EXPECT_LE(SceneDistance(plan, testsupport::PixelAt(png, 60, 45), 90.0), 24)
        << testsupport::PixelAt(png, 60, 45);
    // The JPEG is the same frame.
    const platform::RgbImage jpeg = testsupport::LoadImageForCompare(tmp / "st1/shot.jpg");
    EXPECT_TRUE(testsupport::ImagesMatch(jpeg, png, {24, 0.02, 4.0}, "screenshot-jpeg"));
}
