// `panora mkstation` and `panora info` as a user runs them: exit codes,
// messages, and what info prints for generated files.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
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
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"mkstation"}, "panora mkstation: no output folder given\n"},
        {{"mkstation", dir, "--bogus"}, "panora mkstation: unknown option '--bogus'\n"},
    };
    for (const auto& [args, message] : cases) {
        const auto r = RunPanora(args);
        EXPECT_EQ(r.exitCode, 2) << message;
        EXPECT_EQ(r.err, message + "Try 'panora mkstation --help'.\n");
        EXPECT_EQ(r.out, "");
    }
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
    EXPECT_NE(out.find("format: cube-map metadata (Qvscan:CubeMap)\n"), std::string::npos);
    EXPECT_NE(out.find("coordinate system: up direction 0, azimuth 45 degrees, centre 100 200 "
                       "10, north-east frame\n"),
              std::string::npos)
        << out;
    // The finest level's point error is the station's.
    EXPECT_NE(out.find("max point error: 0.001\n"), std::string::npos) << out;
    const auto levels = out.find("levels: 3\n");
    const auto l0 = out.find("  level 0: face size 32\n", levels);
    const auto l1 = out.find("  level 1: face size 16\n", l0);
    const auto l2 = out.find("  level 2: face size 8\n", l1);
    EXPECT_NE(levels, std::string::npos) << out;
    EXPECT_NE(l2, std::string::npos) << out;

    // Neighbours, nearest first, each with a distance that matches X Y Z.
    const auto list = out.find("neighbours: 2, nearest first");
    ASSERT_NE(list, std::string::npos) << out;
    double previous = 0.0;
    int seen = 0;
    for (auto at = out.find("\n  st", list); at != std::string::npos;
         at = out.find("\n  st", at + 1)) {
        char name[16] = {}, url[64] = {};
        double x = 0, y = 0, z = 0, d = 0;
        ASSERT_EQ(std::sscanf(out.c_str() + at, "\n  %15s  %63s  X %lf Y %lf Z %lf  distance %lf",
                              name, url, &x, &y, &z, &d),
                  6)
            << out.substr(at, 80);
        EXPECT_NEAR(d, std::sqrt(x * x + y * y + z * z), 0.0006);
        EXPECT_GE(d, previous);
        EXPECT_NE(std::string(name), "st1");
        previous = d;
        ++seen;
    }
    EXPECT_EQ(seen, 2);
    EXPECT_NE(out.find("\nvisible neighbours: 2: st"), std::string::npos) << out;
}

TEST(PanoraCommand, InfoShowsTheCubesOfADataSetFile) {
    testsupport::TempDir tmp;
    ASSERT_EQ(RunPanora({"mkstation", tmp.path().string(), "--stations", "1", "--sizes", "8,16",
                         "--format", "dataset", "--version", "1.0"})
                  .exitCode,
              0);
    const auto info = RunPanora({"info", (tmp / "st1" / "st1.xml").string()});
    ASSERT_EQ(info.exitCode, 0) << info.err;
    const std::string& out = info.out;
    EXPECT_NE(out.find("format: data set (sx:Dataset)\n"), std::string::npos);
    // Every cube is read, finest level first in the listing.
    const auto levels = out.find("levels: 2\n");
    const auto l0 = out.find("  level 0: face size 16, 6 images, 6 point files\n", levels);
    const auto l1 = out.find("  level 1: face size 8, 6 images, 6 point files\n", l0);
    EXPECT_NE(levels, std::string::npos) << out;
    EXPECT_NE(l1, std::string::npos) << out;

    // A missing tile is one message of the error list, and the file fails.
    fs::remove(tmp / "st1" / "Point_2_16.DAT");
    const auto broken = RunPanora({"info", (tmp / "st1" / "st1.xml").string()});
    EXPECT_EQ(broken.exitCode, 1);
    EXPECT_EQ(Lines(broken.err), 1) << broken.err;
    EXPECT_NE(broken.err.find("Point_2_16.DAT"), std::string::npos) << broken.err;
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
