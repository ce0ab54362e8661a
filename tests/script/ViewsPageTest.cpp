// Saved views from a page run by `panora run`: a view captured, added and
// applied locked for drawing shows the still image with the red markup
// frame in the host's screenshot and in SaveAsJpg(true); a second unlock
// fires nothing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/ImageCompare.h"
#include "support/RunCommand.h"
#include "support/Site.h"
#include "support/TempDir.h"

using testsupport::Rgb;

TEST(ViewsPage, LockedViewShowsTheStillImageWithTheMarkupFrame) {
    testsupport::TempDir tmp;
    testsupport::MakeSite(tmp.path(), 1, {32, 64});

    const std::string exported = (tmp / "markup.jpg").string();
    const auto page = tmp.Write("page.js", R"(
var log = [];
control.attachEvent("ViewAdded", function(name, id) { log.push("added " + name + " " + id); });
control.attachEvent("ViewLockChanged", function(lock) { log.push("lock " + lock); });
control.attachEvent("ControlInitialized", function() {
  log.push("early " + (control.ViewCapture() ? "view" : "none"));
  control.src = "st1/st1.xml";
});
control.attachEvent("DownloadComplete", function() {
  control.SetAzimuth(90);
  host.screenshot("live.png");
  var view = control.ViewCapture();
  control.Views.Add(view);
  control.SetAzimuth(-30);
  log.push("applied " + control.ViewApply(view, true));
  log.push("azimuth " + control.GetAzimuth());
  log.push("current " + control.ViewGetCurrent().ID);
  host.screenshot("locked.png");
  host.answerFileDialog(")" + exported + R"(");
  control.SaveAsJpg(true);
  control.ViewUnlock(true);
  control.ViewUnlock(true);
  log.push("current " + (control.ViewGetCurrent() ? "view" : "none"));
  host.log(log.join("|"));
  host.quit(0);
});
)");
    const testsupport::CommandResult r =
        testsupport::RunPanoraPage(page, {"--size", "120x90", "--timeout", "60"}, tmp.path());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    // The first view of the process is 100; the second unlock fires nothing.
    EXPECT_EQ(r.out,
              "early none|added Snapshot#100 100|lock true|applied true|azimuth 90|current "
              "100|lock false|current none\n");

    const platform::RgbImage live = testsupport::LoadImageForCompare(tmp / "live.png");
    const platform::RgbImage locked = testsupport::LoadImageForCompare(tmp / "locked.png");
    ASSERT_EQ(locked.width, 120);
    ASSERT_EQ(locked.height, 90);
    // The frame's rectangle runs from (4, 4) to (width - 5, height - 5), 3
    // pixels wide: half-transparent red over the still image there. (The
    // still image around drawings, and the live view back after the unlock:
    // the drawing page.)
    for (const auto& [x, y] : {std::pair{4, 45}, {115, 45}, {60, 4}, {60, 85}}) {
        const Rgb l = testsupport::PixelAt(live, x, y);
        const Rgb k = testsupport::PixelAt(locked, x, y);
        EXPECT_NEAR(k.r, 128 + l.r / 2, 24) << x << "," << y;
        EXPECT_NEAR(k.g, 16 + l.g / 2, 24) << x << "," << y;
    }
    // SaveAsJpg(true) exports what the locked view shows, frame included.
    const platform::RgbImage jpeg = testsupport::LoadImageForCompare(exported);
    EXPECT_TRUE(testsupport::ImagesMatch(jpeg, locked, {24, 0.02, 4.0}, "views-export"));
}
