// `panora run` with a page that uses the view as a user would: a Shift drag
// looks, the wheel zooms, a right click opens the menu the page answers.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/RunCommand.h"
#include "support/TempDir.h"

namespace {

const char* const kPage = R"(
var log = [];
control.attachEvent("MenuEvent", function (mode) { log.push("menu " + mode); });
control.attachEvent("ControlInitialized", function () {
  control.SetZoom(90);
  host.mouse("move", 200, 100);
  host.mouse("leftDown", 200, 100, 2);
  host.mouse("move", 210, 100, 2);
  log.push("cursor " + host.cursor());
  host.mouse("leftUp", 210, 100, 2);
  log.push("azimuth " + control.GetAzimuth().toFixed(3));
  host.mouse("move", 210, 100);  // Shift let go
  host.wheel(120, 210, 100);
  log.push("zoom " + control.GetZoom().toFixed(3));
  host.answerMenu(500);
  host.mouse("rightDown", 210, 100);
  host.mouse("rightUp", 210, 100);
  try { host.mouse("sideways", 1, 1); } catch (e) { log.push("refused"); }
  host.log(log.join("; "));
  host.quit(0);
});
)";

}  // namespace

TEST(PageInput, PageDragsZoomsAndAnswersTheMenu) {
    testsupport::TempDir tmp;
    const auto page = tmp.Write("page.js", kPage);
    const testsupport::CommandResult r =
        testsupport::RunPanoraPage(page, {"--size", "400x200", "--timeout", "30"}, tmp.path());
    EXPECT_EQ(r.exitCode, 0) << r.err;
    // 10 px at 400 x 200 and field of view 90: 10 / 2 degrees; one notch 2 * 2.
    EXPECT_EQ(r.out, "menu 2; cursor hand; azimuth -5.000; zoom 94.000; menu 20; refused\n");
    EXPECT_NE(r.err.find("menu: 124 Deselect grayed\nmenu: 402 Delete Hotlink grayed\n"
                         "menu: 403 Edit Hotlink grayed\nmenu: 500 Print\n"),
              std::string::npos)
        << r.err;
}
