// The markup file across processes: one page loads a markup with every kind
// of drawing, adds a view, hotlinks in three categories and neighbour
// ranges, and saves it; a page in a new process loads that file, reads the
// same values back and saves the same document again.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "support/RunCommand.h"
#include "support/Site.h"
#include "support/TempDir.h"

namespace {

// A view with a line, a rectangle, an ellipse, a text, a position, a distance.
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

// What the automation members give back, one line each.
const char* const kDump = R"(
function dump() {
  for (var i = 1; i <= control.Views.count; i++) {
    var v = control.Views.Item(i);
    host.log("view", v.Name, v.CreatedOn, v.UserName);
  }
  for (var c = 0; c < control.GetCategoryCount(); c++) {
    var cat = control.GetNextCategory(c);
    for (var k = 0; k < control.GetHotlinksCount(cat); k++) {
      var h = control.GetNextHotlink(cat, k);
      host.log("hotlink", cat, h.UniqueIdForApp, h.Label, h.Link, h.GetPosX(), h.GetPosZ());
    }
  }
  host.log("ranges", control.IsRangeUsed(0), control.GetNeighborDistRange(true),
           control.GetNeighborDistRange(false), control.IsRangeUsed(1),
           control.GetNeighborAltitudeRange(true), control.IsRangeUsed(2),
           control.GetNeighborAzimuthRange(false));
}
)";

// The file's text, its transparencies masked.
std::string Read(const std::string& file) {
    std::stringstream text;
    text << std::ifstream(file).rdbuf();
    return std::regex_replace(text.str(), std::regex("Transparency=\"[0-9.]+\""), "T");
}

}  // namespace

TEST(MarkupPage, SavedMarkupLoadsInAnotherProcessWithTheSameValues) {
    testsupport::TempDir tmp;
    testsupport::MakeSite(tmp.path(), 3, {32});  // neighbours, so the ranges are saved
    tmp.Write("seed.xml", kSeed);
    const std::string saved = (tmp / "saved.xml").string();
    const std::string again = (tmp / "again.xml").string();
    const auto run = [&](const std::string& name, const std::string& work) {
        const auto page = tmp.Write(name, std::string(kDump) + R"(
control.attachEvent("ControlInitialized", function() { control.src = "st1/st1.xml"; });
control.attachEvent("DownloadComplete", function() {)" +
                                              work + R"(
  dump();
  host.quit(0);
});)");
        const auto r = testsupport::RunPanoraPage(page, {"--size", "320x240"}, tmp.path());
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return r.out;
    };
    const std::string first = run("first.js", R"(
  control.LoadMarks("seed.xml", true);
  var v = control.ViewNew(30, 10, 60);
  v.Name = "Second"; v.CreatedOn = "now"; v.UserName = "Bo";
  control.Views.Add(v);
  control.AddHotlink3D("https://example.org/a", "A", "Doors", "a", "", 1, 2, 3);
  control.AddHotlink3D("https://example.org/b", "B", "Alarms", "b", "", -1, 0.5, 2);
  control.AddHotlink3D("file:///tmp/c.pdf", "C", "Manuals", "c", "", 0, 0, -4);
  control.SetDistNeighborRange(true, 1.25, 40);
  control.SetNeighborAltitudeRange(false, -5, 5);
  control.SetNeighborAzimuthRange(true, -90, 90.5);
  control.SaveMarks(")" + saved + R"(");)");
    const std::string second = run("second.js", R"(
  host.log(control.LoadMarks(")" + saved + R"(", true), control.MarksLocal);
  control.SaveMarks(")" + again + R"(");)");

    EXPECT_NE(first.find("view Drawn today Ann\nview Second now Bo\nhotlink Alarms b B"),
              std::string::npos)
        << first;
    EXPECT_NE(first.find("ranges true 1.25 40 false -5 true 90.5\n"), std::string::npos);
    EXPECT_EQ(second, "true false\n" + first);
    // Saving what was loaded gives the same document (GUIDs kept, IDs not in
    // the file), each drawing kind written. Only transparencies may move: a
    // drawing's alpha is read truncated, one step of 1/255 per load and save.
    const std::string text = Read(saved);
    EXPECT_EQ(Read(again), text);
    for (const char* part : {"\"Line\"", "\"Rectangle\"", "\"Ellipse\"", "<sx:TextMark",
                             "<sx:PositionMark", "<sx:DistanceMark", "<sx:Neighbors>"}) {
        EXPECT_NE(text.find(part), std::string::npos) << part;
    }
}
