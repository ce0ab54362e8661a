// The page's dialogs, help and About under `panora run`: the page answers as
// a user would and every dialog and box shown is logged on standard error.
#include <gtest/gtest.h>

#include <string>

#include "support/RunCommand.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

TEST(BrowserPage, DialogsTakeThePagesAnswersAndAreLogged) {
    testsupport::TempDir tmp;
    const auto registry =
        tmp.Write("registry.ini",
                  "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
                  "StralePanoraViewer]\nInstallLocation=" +
                      (tmp / "inst").string() + "\n");
    testsupport::ScopedEnv env("PANORA_REGISTRY", registry.string());
    const auto page = tmp.Write("page.js", R"(
control.attachEvent("ControlInitialized", function() {
  host.answerColorDialog("#00FF7f");
  var chosen = control.ChooseHTMLColor("#FF8000");
  host.answerColorDialog("");
  var kept = control.ChooseHTMLColor("blue");
  var none = control.ChooseFileName("Open markup", "Markup (*.xml)|*.xml", false);
  host.answerFileDialog("saved.xml");
  var saved = control.ChooseFileName("Save markup", "Markup (*.xml)|*.xml", true);
  control.ShowHelp();
  control.ShowAbout();
  host.log(chosen, kept, "[" + none + "]", saved);
  host.quit(0);
});
)");
    const testsupport::CommandResult r =
        testsupport::RunPanoraPage(page, {"--size", "80x60", "--timeout", "30"}, tmp.path());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "#00ff7f blue [] saved.xml\n");
    // In the order shown.
    const std::string lines[] = {
        "colordialog: #FF8000\n",
        "colordialog: #000000\n",
        "filedialog: Open markup | Markup (*.xml) | open\n",
        "filedialog: Save markup | Markup (*.xml) | save\n",
        "help: " + (tmp / "inst/Help/Panora.chm").string() + "\n",
        "about: Client Information\n",
    };
    std::size_t at = 0;
    for (const std::string& line : lines) {
        const std::size_t found = r.err.find(line, at);
        ASSERT_NE(found, std::string::npos) << line << "in\n" << r.err;
        at = found + line.size();
    }
}
