// `panora run` as a user runs it: the wiring of the command to the script host.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "support/HttpServer.h"
#include "support/RunCommand.h"
#include "support/Site.h"
#include "support/TempDir.h"

namespace {

using Result = testsupport::CommandResult;

// Runs `panora run ARGS` (the page first) with its per-user files in `home`.
Result RunPage(std::vector<std::string> args, const std::filesystem::path& home) {
    if (args.empty()) {
        return testsupport::RunPanoraPage({}, {}, home);
    }
    const std::string page = args.front();
    args.erase(args.begin());
    return testsupport::RunPanoraPage(page, args, home);
}

// Sets src once the control is ready; quits with 0 after DownloadComplete.
const char* const kLoadPage = R"(
var events = [];
control.attachEvent("ControlInitialized", function() {
  events.push("initialized");
  control.src = "st1/st1.xml";
});
control.attachEvent("DownloadComplete", function() {
  events.push("complete");
  host.log(events.join(" "));
  host.log("ready", control.ReadyState, "progress", control.GetDownladProgress());
  host.log("scan", control.GetScanWorldName().scanName, "neighbours", control.HasNeighborPanoras);
  host.quit(0);
});
)";

}  // namespace

TEST(PanoraRun, PageLoadsItsStationOverHttpWithABase) {
    testsupport::TempDir tmp;
    testsupport::MakeSite(tmp / "site", 2, {8, 16});
    // The page itself stays local; its base names the web folder. Pages that
    // load from their own folder are the other page tests.
    const auto page = tmp.Write("page.js", kLoadPage);
    testsupport::HttpServer server(tmp / "site");
    const Result r =
        RunPage({page.string(), "--base", server.Url("/"), "--timeout", "30"}, tmp.path());
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "initialized complete\nready 4 progress 100\nscan st1 neighbours true\n");
}

// Script errors give 3 (see the unreadable page below); their reports are
// the script host's.
TEST(PanoraRun, TimeOutsGiveTheirExitCode) {
    testsupport::TempDir tmp;
    const auto idle = tmp.Write("idle.js", "host.log('waiting');\n");
    const Result timeout = RunPage({idle.string(), "--timeout", "1"}, tmp.path());
    EXPECT_EQ(timeout.exitCode, 4);
    EXPECT_EQ(timeout.out, "waiting\n");
    EXPECT_NE(timeout.err.find("time-out after 1 s"), std::string::npos) << timeout.err;

    // A page that keeps the thread (here its own code; a control call that
    // did not return would do the same) still ends soon after its time-out.
    const auto spin = tmp.Write(
        "spin.js",
        "host.log('spinning');\nvar end = Date.now() + 9000;\nwhile (Date.now() < end) {}\n");
    const auto start = std::chrono::steady_clock::now();
    const Result stuck = RunPage({spin.string(), "--timeout", "0.5"}, tmp.path());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(6));
    EXPECT_EQ(stuck.exitCode, 4);
    EXPECT_EQ(stuck.out, "spinning\n");
    EXPECT_NE(stuck.err.find("time-out after 0.5 s (the page did not return)"), std::string::npos)
        << stuck.err;
}

TEST(PanoraRun, BadArgumentsExitWith2AndTheUsage) {
    testsupport::TempDir tmp;
    const auto page = tmp.Write("page.js", "host.quit(0);\n");
    const std::string usage =
        "Usage: panora run PAGE.js [--size WxH] [--timeout S] [--base LOCATION]\n";
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{}, "panora run: no page given\n"},
        {{page.string(), "--size", "800"}, "panora run: --size wants WIDTHxHEIGHT, got '800'\n"},
        {{page.string(), page.string()},
         "panora run: give one page (got '" + page.string() + "' and '" + page.string() + "')\n"},
    };
    for (const auto& [args, message] : cases) {
        const Result r = RunPage(args, tmp.path());
        EXPECT_EQ(r.exitCode, 2) << message;
        EXPECT_EQ(r.err, message + usage);
        EXPECT_EQ(r.out, "");
    }
    // A page that cannot be read is the page's failure, not the arguments'.
    EXPECT_EQ(RunPage({(tmp / "missing.js").string()}, tmp.path()).exitCode, 3);
}
