// `panora render` as a user runs it: the JPEG it writes shows the scene along
// the view, errors of the station go to standard error, bad arguments exit 2.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "support/ImageCompare.h"
#include "support/RunCommand.h"
#include "support/Site.h"
#include "support/TempDir.h"

using testsupport::RunPanora;

namespace {

constexpr double kDeg = 3.14159265358979323846 / 180.0;

// Smallest channel distance between the pixel and the scene along view
// directions within two degrees of (azimuth, altitude).
int SceneDistance(const sitegen::SitePlan& plan, testsupport::Rgb pixel, double azimuth,
                  double altitude) {
    const sitegen::StationPose& pose = plan.stations[0].pose;
    int best = 256;
    for (double da = -2.0; da <= 2.0; da += 0.5) {
        for (double dl = -2.0; dl <= 2.0; dl += 0.5) {
            const double az = (azimuth + da) * kDeg;
            const double al = (altitude + dl) * kDeg;
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

sitegen::SitePlan Generate(const testsupport::TempDir& tmp) {
    return testsupport::MakeSite(tmp / "site", 1, {32, 64});
}

}  // namespace

TEST(RenderCommand, WritesTheViewAndReportsStationErrors) {
    testsupport::TempDir tmp;
    const sitegen::SitePlan plan = Generate(tmp);
    const std::string out = (tmp / "view.jpg").string();
    for (const double azimuth : {90.0, -90.0}) {
        const auto r = RunPanora({"render", plan.stations[0].description, "-o", out, "--size",
                                  "120x90", "--azimuth", std::to_string(azimuth)});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.err, "");
        const platform::RgbImage image = testsupport::LoadImageForCompare(out);
        ASSERT_EQ(image.width, 120);
        ASSERT_EQ(image.height, 90);
        EXPECT_LE(SceneDistance(plan, testsupport::PixelAt(image, 60, 45), azimuth, 0.0), 32)
            << testsupport::PixelAt(image, 60, 45) << " at azimuth " << azimuth;
    }

    // A missing face image: the message on standard error, the rest drawn.
    std::filesystem::remove(plan.stations[0].levels[1].image[3]);
    std::filesystem::remove(out);
    const auto r = RunPanora({"render", plan.stations[0].description, "-o", out, "--size", "120x90",
                              "--wait-level", "1"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Error: File Img_3_32.JPG not found."), std::string::npos) << r.err;
    EXPECT_TRUE(std::filesystem::exists(out));
}

TEST(RenderCommand, FieldOfViewAndNoControls) {
    testsupport::TempDir tmp;
    const sitegen::SitePlan plan = Generate(tmp);
    const auto render = [&](const std::string& name, std::vector<std::string> extra) {
        std::vector<std::string> args = {"render", plan.stations[0].description,
                                         "-o",     (tmp / name).string(),
                                         "--size", "480x360"};
        args.insert(args.end(), extra.begin(), extra.end());
        EXPECT_EQ(RunPanora(args).exitCode, 0) << name;
        return testsupport::LoadImageForCompare(tmp / name);
    };
    const platform::RgbImage plain = render("plain.jpg", {});
    const platform::RgbImage fov = render("fov.jpg", {"--fov", "40"});
    // 40 degrees is the initial 80 zoomed twice; the controls stay in place.
    EXPECT_TRUE(testsupport::ImagesMatch(fov, render("zoom.jpg", {"--zoom", "2"})));
    EXPECT_FALSE(testsupport::ImagesMatch(fov, plain, {48, 0.05}));

    // Without the controls only their corner changes (they keep their pixel
    // size at the top right).
    const platform::RgbImage bare = render("bare.jpg", {"--no-controls"});
    int changed = 0;
    for (int y = 0; y < 360; ++y) {
        for (int x = 0; x < 480; ++x) {
            const testsupport::Rgb a = testsupport::PixelAt(plain, x, y);
            const testsupport::Rgb b = testsupport::PixelAt(bare, x, y);
            if (std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)}) > 64) {
                ++changed;
                EXPECT_TRUE(x >= 360 && y < 180) << x << "," << y;
            }
        }
    }
    EXPECT_GT(changed, 100);
}

TEST(RenderCommand, BadArgumentsExitWith2) {
    const std::vector<std::string> cases[] = {
        {"render", "st.xml", "-o", "a.jpg", "--size", "0x10"},
        {"render", "st.xml", "-o", "a.jpg", "--fov", "180"},
        {"render", "st.xml", "-o", "a.jpg", "--zoom", "2", "--fov", "40"},
    };
    for (const auto& args : cases) {
        const auto r = RunPanora(args);
        EXPECT_EQ(r.exitCode, 2) << args.back();
        EXPECT_EQ(r.err.rfind("panora render: ", 0), 0u) << r.err;
    }
    const auto missing =
        RunPanora({"render", "/nonexistent/st.xml", "-o", "/tmp/x.jpg", "--timeout", "5"});
    EXPECT_EQ(missing.exitCode, 1);
}
