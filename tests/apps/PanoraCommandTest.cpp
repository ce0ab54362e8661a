// `panora mkstation` and `panora info` as a user runs them: exit codes,
// messages, and what info prints for generated files.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "BuildVersion.h"
#include "support/RunCommand.h"
#include "support/TempDir.h"

using testsupport::RunPanora;
namespace fs = std::filesystem;

namespace {

int Lines(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

}  // namespace

TEST(PanoraCommand, MkstationRefusesMistypedOptionsWithExitCode2) {
    testsupport::TempDir tmp;
    const std::string dir = (tmp / "site").string();
    // (Each refusal's text is the option parser's test.)
    const auto r = RunPanora({"mkstation", dir, "--bogus"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err,
              "panora mkstation: unknown option '--bogus'\nTry 'panora mkstation --help'.\n");
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(fs::exists(dir));

    // A file where the folder should go: the site cannot be written (exit 1).
    tmp.Write("blocked", "x");
    const auto blocked = RunPanora({"mkstation", (tmp / "blocked").string(), "--sizes", "8"});
    EXPECT_EQ(blocked.exitCode, 1);
    EXPECT_EQ(Lines(blocked.err), 1);
}

TEST(PanoraCommand, InfoListsLevelsInLevelOrderAndNeighborsNearestFirst) {
    testsupport::TempDir tmp;
    const auto gen = RunPanora({"mkstation", tmp.path().string(), "--sizes", "16,8,32", "--azimuth",
                                "45", "--center=100,200,10", "--unit", "feet"});
    ASSERT_EQ(gen.exitCode, 0) << gen.err;
    const std::string st1 = (tmp / "st1" / "st1.xml").string();
    EXPECT_NE(gen.out.find("st1: " + st1 + "\n"), std::string::npos) << gen.out;

    const auto info = RunPanora({"info", st1});
    ASSERT_EQ(info.exitCode, 0) << info.err;
    const std::string& out = info.out;
    // The finest level's point error is the station's.
    EXPECT_NE(out.find("max point error: 0.001\n"), std::string::npos) << out;
    const auto levels = out.find("levels: 3\n");
    const auto l0 = out.find("  level 0: face size 32\n", levels);
    const auto l1 = out.find("  level 1: face size 16\n", l0);
    const auto l2 = out.find("  level 2: face size 8\n", l1);
    EXPECT_NE(levels, std::string::npos) << out;
    EXPECT_NE(l2, std::string::npos) << out;

    // Neighbours, nearest first (the order itself is the data set's).
    EXPECT_NE(out.find("neighbours: 2, nearest first"), std::string::npos) << out;
    EXPECT_NE(out.find("\nvisible neighbours: 2: st"), std::string::npos) << out;
}

TEST(PanoraCommand, InfoReportsUnreadableFilesOnOneLineWithExitCode1) {
    testsupport::TempDir tmp;
    const auto bad = tmp.Write("bad.xml", "<?xml version=\"1.0\"?>\n<Qvscan:CubeMap>\n<a></b>\n");
    const auto other = tmp.Write("other.xml", "<Markup/>");
    const std::pair<std::string, std::string> cases[] = {
        {(tmp / "missing.xml").string(),
         "panora info: file not found: " + (tmp / "missing.xml").string() + "\n"},
        {bad.string(), "panora info: " + bad.string() +
                           ": XML Error: C0DE001A - Line[3] Pos[6] - The end tag does not match "
                           "the start tag.\n"},
        {other.string(), "panora info: " + other.string() +
                             " is not a station description (root element 'Markup', expected "
                             "Qvscan:CubeMap or sx:Dataset)\n"},
    };
    for (const auto& [file, message] : cases) {
        const auto r = RunPanora({"info", file});
        EXPECT_EQ(r.exitCode, 1) << file;
        EXPECT_EQ(r.err, message);
        EXPECT_EQ(r.out, "");
    }
    EXPECT_EQ(RunPanora({"info", "--verbose", bad.string()}).exitCode, 2);
}
