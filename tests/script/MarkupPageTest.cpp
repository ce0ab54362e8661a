// The markup file across processes: one page loads a markup with every kind
// of drawing, adds a view, hotlinks in three categories and neighbour
// ranges, and saves it; a page in a new process loads that file, reads the
// same values back through the automation members and saves it again,
// byte for byte the same document.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "sitegen/SiteGenerator.h"
#include "support/RunCommand.h"
#include "support/TempDir.h"

namespace {

// One view with a line, a rectangle, an ellipse, a text, a 2D position and a
// 2D distance.
const char* const kSeed = R"(<?xml version="1.0" encoding="UTF-8"?>
<sx:Markup xmlns:sx="urn:panora:sx"><sx:GUID>{0}</sx:GUID><sx:Views>
<sx:View Name="Drawn" GUID="{11111111-2222-3333-4444-555555555555}">
<sx:Created>today</sx:Created><sx:User>Ann</sx:User>
<sx:Camera><sx:Orientation Azimuth="12.500" Latitude="-3.000" Aperture="70.000"/></sx:Camera>
<sx:Marks RefWidth="320.000" RefHeight="240.000">
<sx:ShapeMark Type="Line"><sx:StartPosition>1 2</sx:StartPosition><sx:EndPosition>30 40</sx:EndPosition></sx:ShapeMark>
<sx:ShapeMark Type="Rectangle"><sx:StartPosition>5 6</sx:StartPosition><sx:EndPosition>50 60</sx:EndPosition></sx:ShapeMark>
<sx:ShapeMark Type="Ellipse"><sx:StartPosition>7 8</sx:StartPosition><sx:EndPosition>70 80</sx:EndPosition></sx:ShapeMark>
<sx:TextMark><sx:Position>9 10</sx:Position><sx:Text>note</sx:Text></sx:TextMark>
<sx:PositionMark><sx:MarkPosition2D>11 12</sx:MarkPosition2D><sx:MarkPosition3D>1 2 3</sx:MarkPosition3D></sx:PositionMark>
<sx:DistanceMark><sx:FirstPosition2D>13 14</sx:FirstPosition2D><sx:SecondPosition2D>90 100</sx:SecondPosition2D><sx:FirstPosition3D>0 0 0</sx:FirstPosition3D><sx:SecondPosition3D>3 4 0</sx:SecondPosition3D></sx:DistanceMark>
</sx:Marks></sx:View></sx:Views><sx:Hotlinks/></sx:Markup>
)";

// Every value the automation members give, one line each.
const char* const kDump = R"(
function dump() {
  var views = control.Views;
  for (var i = 1; i <= views.count; i++) {
    var v = views.Item(i);
    host.log("view", v.Name, v.CreatedOn, v.UserName);
  }
  for (var c = 0; c < control.GetCategoryCount(); c++) {
    var cat = control.GetNextCategory(c);
    for (var k = 0; k < control.GetHotlinksCount(cat); k++) {
      var h = control.GetNextHotlink(cat, k);
      host.log("hotlink", cat, h.UniqueIdForApp, h.Label, h.Link, h.GetPosX(), h.GetPosY(), h.GetPosZ());
    }
  }
  host.log("ranges", control.IsRangeUsed(0), control.GetNeighborDistRange(true),
           control.GetNeighborDistRange(false), control.IsRangeUsed(1),
           control.GetNeighborAltitudeRange(true), control.IsRangeUsed(2),
           control.GetNeighborAzimuthRange(false));
}
)";

std::string Read(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string MaskTransparency(const std::string& text) {
    return std::regex_replace(text, std::regex("Transparency=\"[0-9.]+\""), "Transparency");
}

}  // namespace

TEST(MarkupPage, SavedMarkupLoadsInAnotherProcessWithTheSameValues) {
    testsupport::TempDir tmp;
    sitegen::SiteOptions options;
    options.outputDir = tmp.path().string();
    options.stations = 3;  // neighbours, so the ranges are saved
    options.sizes = {32};
    std::string error;
    ASSERT_TRUE(sitegen::GenerateSite(options, nullptr, &error)) << error;
    tmp.Write("seed.xml", kSeed);
    const std::string saved = (tmp / "saved.xml").string();
    const std::string again = (tmp / "again.xml").string();

    const auto first = tmp.Write("first.js", std::string(kDump) + R"(
control.attachEvent("ControlInitialized", function() { control.src = "st1/st1.xml"; });
control.attachEvent("DownloadComplete", function() {
  host.log("seed", control.LoadMarks("seed.xml", true));
  var v = control.ViewNew(30, 10, 60);
  v.Name = "Second"; v.CreatedOn = "now"; v.UserName = "Bo";
  control.Views.Add(v);
  control.AddHotlink3D("https://example.org/a", "A", "Doors", "a", "", 1, 2, 3);
  control.AddHotlink3D("https://example.org/b", "B", "Alarms", "b", "", -1, 0.5, 2);
  control.AddHotlink3D("file:///tmp/c.pdf", "C", "Manuals", "c", "", 0, 0, -4);
  control.SetDistNeighborRange(true, 1.25, 40);
  control.SetNeighborAltitudeRange(false, -5, 5);
  control.SetNeighborAzimuthRange(true, -90, 90.5);
  dump();
  host.log("saved", control.SaveMarks(")" + saved +
                                                 R"("));
  host.quit(0);
});
)");
    const auto second = tmp.Write("second.js", std::string(kDump) + R"(
control.attachEvent("ControlInitialized", function() { control.src = "st1/st1.xml"; });
control.attachEvent("DownloadComplete", function() {
  host.log("check", control.CheckMarkupFile(")" + saved +
                                                   R"("));
  host.log("loaded", control.LoadMarks(")" + saved +
                                                   R"(", true), control.MarksLocal);
  dump();
  host.log("saved", control.SaveMarks(")" + again + R"("));
  host.quit(0);
});
)");
    const auto a =
        testsupport::RunPanoraPage(first, {"--size", "320x240", "--timeout", "40"}, tmp.path());
    ASSERT_EQ(a.exitCode, 0) << a.out << a.err;
    const auto b =
        testsupport::RunPanoraPage(second, {"--size", "320x240", "--timeout", "40"}, tmp.path());
    ASSERT_EQ(b.exitCode, 0) << b.out << b.err;

    ASSERT_EQ(a.out.rfind("seed true\n", 0), 0u) << a.out;
    const std::string values = a.out.substr(std::string("seed true\n").size());
    EXPECT_NE(values.find("view Drawn today Ann\nview Second now Bo\n"), std::string::npos);
    EXPECT_NE(values.find("hotlink Manuals c C file:///tmp/c.pdf "), std::string::npos);
    EXPECT_NE(values.find("ranges true 1.25 40 false -5 true 90.5\nsaved true\n"),
              std::string::npos)
        << values;
    EXPECT_EQ(b.out, "check 1\nloaded true false\n" + values);

    // Saving what was loaded gives the same document: GUIDs are kept, the
    // views' IDs are not in the file, and each drawing kind wrote itself.
    // Only transparencies may move: a drawing's alpha is read truncated, so
    // it can drop one step of 1/255 per load and save.
    const std::string text = Read(saved);
    EXPECT_EQ(MaskTransparency(Read(again)), MaskTransparency(text));
    for (const char* kind : {"Type=\"Line\"", "Type=\"Rectangle\"", "Type=\"Ellipse\"",
                             "<sx:TextMark", "<sx:PositionMark", "<sx:DistanceMark",
                             "GUID=\"{11111111-2222-3333-4444-555555555555}\"", "<sx:Neighbors>"}) {
        EXPECT_NE(text.find(kind), std::string::npos) << kind;
    }
}
