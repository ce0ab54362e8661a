// A page walks a site as a person would: it turns to a neighbour, clicks its
// icon, and follows OpenNewPanora by setting src. The neighbour loads in the
// same control, and DownloadComplete stays a once-in-a-lifetime event.

#include <gtest/gtest.h>

#include <string>

#include "support/RunCommand.h"
#include "support/Site.h"
#include "support/TempDir.h"

namespace {

const char* const kPage = R"(
var completes = 0, opened = [];
control.attachEvent("ControlInitialized", function() {
  control.AnimateTransitions = false;
  control.src = "st1.xml";
});
control.attachEvent("DownloadComplete", function() {
  completes++;
  var name = control.GetNextNeighborPanoraByAlpha(0);
  host.log("first", control.GetScanWorldName().scanName, "neighbour", name);
  control.FocusOnPanora(0);
  control.Redraw();
  host.setTimeout(function() {
    host.mouse("move", 160, 120, 0);
    host.mouse("leftDown", 160, 120, 0);
    host.mouse("leftUp", 160, 120, 0);
    host.log("opened", opened.length);
  }, 50);
});
control.attachEvent("OpenNewPanora", function(location) {
  opened.push(location);
  control.src = location;
  // Looked at after the click's handler has logged: a fast loader may have
  // read the new description before this handler returns.
  host.setTimeout(function() {
    waitFor(function() { return control.GetScanWorldName().scanName != "st1"; }, function() {
      host.log("now", control.GetScanWorldName().scanName, "completes", completes,
               "location", opened[0].indexOf(control.GetScanWorldName().scanName + ".xml") >= 0);
      host.quit(0);
    });
  }, 0);
});
function waitFor(done, then) {
  if (done()) { then(); return; }
  host.setTimeout(function() { waitFor(done, then); }, 100);
}
)";

}  // namespace

TEST(NeighborWalkPage, ClickingANeighborIconOpensItAndThePageFollows) {
    testsupport::TempDir tmp;
    testsupport::MakeSite(tmp.path(), 3, {8, 16});
    // The page sits in the first station's folder: the stations' links
    // ("../st2/st2.xml") are joined against the page's folder.
    const auto file = tmp.Write("st1/page.js", kPage);
    const auto r =
        testsupport::RunPanoraPage(file, {"--size", "320x240", "--timeout", "60"}, tmp.path());
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    // The page logs the neighbour it turned to; the station it ends on is
    // that one, reached through the icon's click.
    const auto neighbour = r.out.substr(r.out.find("neighbour ") + 10, 3);
    EXPECT_EQ(r.out, "first st1 neighbour " + neighbour + "\nopened 1\nnow " + neighbour +
                         " completes 1 location true\n");
}
