// Hotlinks driven by a page through `panora run`: a click handler that marks
// the reply complete keeps the link closed, one that does not lets it open
// (logged, as the run has no browser), and the context menu's "Edit Hotlink"
// shows the properties dialog that the page answers.
#include <gtest/gtest.h>

#include <string>

#include "support/RunCommand.h"
#include "support/Site.h"
#include "support/TempDir.h"

namespace {

const char* const kPage = R"(
var taken = true;
control.attachEvent("ControlInitialized", function() { control.src = "st1/st1.xml"; });
control.attachEvent("HotLinkClicked", function(url, label, id, category, reply) {
  host.log("clicked", url, label, id, category, reply.EventProcessingComplete);
  reply.EventProcessingComplete = taken;
});
control.attachEvent("HotlinkChanged", function(l, b, c, i, im, nl, nb, nc, ni, nim) {
  host.log("changed", b, "->", nb, nl);
});
function click() {
  host.mouse("move", 160, 120);
  host.mouse("leftDown", 160, 120);
  host.mouse("leftUp", 160, 120);
}
control.attachEvent("DownloadComplete", function() {
  control.AnimateTransitions = false;
  control.SetAltitudeAzimuth(0, 0);
  control.AddHotlink3D("https://example.org/a", "A", "Doors", "a", "", 0, 10, 0);
  control.Redraw();
  click();
  taken = false;
  click();
  host.answerMenu(403);
  host.answerHotlinkDialog({id: "a", label: "Renamed", category: "Doors",
                            link: "https://example.org/b"});
  host.mouse("move", 160, 120);
  host.mouse("rightDown", 160, 120);
  host.mouse("rightUp", 160, 120);
  host.quit(0);
});
)";

int Occurrences(const std::string& text, const std::string& part) {
    int n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

}  // namespace

TEST(HotlinkPage, ATakenClickKeepsTheLinkClosedAndTheMenuEditsThroughTheDialog) {
    testsupport::TempDir tmp;
    testsupport::MakeSite(tmp.path(), 1, {32});
    const auto page = tmp.Write("page.js", kPage);
    const testsupport::CommandResult r =
        testsupport::RunPanoraPage(page, {"--size", "320x240", "--timeout", "30"}, tmp.path());
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_EQ(r.out,
              "clicked https://example.org/a A a Doors false\n"
              "clicked https://example.org/a A a Doors false\n"
              "changed A -> Renamed https://example.org/b\n");
    EXPECT_EQ(Occurrences(r.err, "openlink: "), 1) << r.err;
    EXPECT_EQ(Occurrences(r.err, "openlink: https://example.org/a | _blank\n"), 1) << r.err;
    EXPECT_EQ(Occurrences(r.err, "hotlinkdialog: a | A | Doors | https://example.org/a\n"), 1)
        << r.err;
}
