// SaveAsJpg from a page run by `panora run`: the file holds what
// host.screenshot captures. (Screenshots landing in the page's folder: every
// page test that takes one.)
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/ImageCompare.h"
#include "support/RunCommand.h"
#include "support/Site.h"
#include "support/TempDir.h"

// SaveAsJpg answered by the page: a cancelled dialog writes nothing and still
// answers true; a chosen file holds the view as host.screenshot captures it.
// A cancelled print dialog answers false.
TEST(PageScreenshot, SaveAsJpgWritesTheViewToTheFileThePageChose) {
    testsupport::TempDir tmp;
    testsupport::MakeSite(tmp.path(), 1, {32, 64});

    const std::string exported = (tmp / "export.jpg").string();
    const auto page = tmp.Write("page.js", R"(
control.attachEvent("ControlInitialized", function() { control.src = "st1/st1.xml"; });
control.attachEvent("DownloadComplete", function() {
  control.SetAzimuth(200);
  host.answerFileDialog("");
  var cancelled = control.SaveAsJpg(false);
  host.answerFileDialog(")" + exported + R"(");
  var saved = control.SaveAsJpg(false);
  host.answerPrintDialog("");
  host.log(cancelled, saved, host.screenshot("shot.png"), control.Print(false));
  host.quit(0);
});
)");
    const testsupport::CommandResult r =
        testsupport::RunPanoraPage(page, {"--size", "101x75", "--timeout", "30"}, tmp.path());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "true true true false\n");
    EXPECT_NE(r.err.find("printdialog: shown\n"), std::string::npos) << r.err;
    const std::string shown = "filedialog: Save image as JPG | JPG files (*.jpg) | save\n";
    const std::size_t first = r.err.find(shown);
    ASSERT_NE(first, std::string::npos) << r.err;
    EXPECT_NE(r.err.find(shown, first + 1), std::string::npos) << r.err;

    const platform::RgbImage png = testsupport::LoadImageForCompare(tmp / "shot.png");
    const platform::RgbImage jpeg = testsupport::LoadImageForCompare(exported);
    ASSERT_EQ(jpeg.width, 101);  // the view's width, not the widened capture rows
    EXPECT_TRUE(testsupport::ImagesMatch(jpeg, png, {24, 0.02, 4.0}, "save-as-jpg"));
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(tmp.path())) {
        files += entry.path().extension() == ".jpg" ? 1 : 0;
    }
    EXPECT_EQ(files, 1u);  // the cancelled dialog wrote nothing
}
