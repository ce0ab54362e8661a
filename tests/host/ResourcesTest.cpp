#include <gtest/gtest.h>

#include "host/Log.h"
#include "host/Resources.h"
#include "host/ScriptedHostUi.h"
#include "platform/Text.h"
#include "support/TempDir.h"

using testsupport::U;

namespace {

const char* kMessageFile = R"(<?xml version="1.0" encoding="UTF-8"?>
<sx:Resource xmlns:sx="urn:panora:sx">
  <sx:FileNotFound>Datei %s fehlt.</sx:FileNotFound>
  <sx:ViewClear>
    <Line>Erste Zeile</Line>
    <Line>Zweite Zeile</Line>
    <Line>Dritte Zeile</Line>
  </sx:ViewClear>
  <sx:VersionInformation><sx:Client>Client %s</sx:Client></sx:VersionInformation>
</sx:Resource>
)";

}  // namespace

TEST(Resources, WithoutInstallationFilesEveryLookupFallsBack) {
    ScriptedHostUi ui;
    host::Resources res;
    res.SetHostUi(&ui);
    testsupport::TempDir empty;
    EXPECT_FALSE(res.LoadMessageFile(U(empty.path())));
    EXPECT_FALSE(res.LoadSideModule(U(empty.path())));
    std::u16string text = u"untouched";
    EXPECT_FALSE(res.GetMessage(u"sx:Resource/sx:FileNotFound", text));
    EXPECT_EQ(text, u"untouched");
    EXPECT_EQ(res.LoadString(103), u"Warning");
    EXPECT_TRUE(ui.Boxes().empty());
    // Missing everywhere: the box, then the warning text; the plain load is empty.
    EXPECT_EQ(res.LoadString(153), u"");
    EXPECT_EQ(res.LoadStringWithFallback(153), u"WARNING: no nID was found!");
    ASSERT_EQ(ui.Boxes().size(), 1u);
    EXPECT_EQ(ui.Boxes()[0].caption + u": " + ui.Boxes()[0].text,
              u"Status: String not found in resources");
}

TEST(Resources, MessageFileOneLineMultiLineAndNestedKeys) {
    testsupport::TempDir dir;
    dir.Write("Resource.xml", kMessageFile);
    host::Resources res;
    ASSERT_TRUE(res.LoadMessageFile(U(dir.path())));
    EXPECT_EQ(res.Text(u"sx:Resource/sx:FileNotFound", 104), u"Datei %s fehlt.");
    EXPECT_EQ(res.Text(u"sx:Resource/sx:ViewClear", 108, true),
              u"Erste Zeile\nZweite Zeile\nDritte Zeile");
    EXPECT_EQ(res.Text(u"sx:Resource/sx:VersionInformation/sx:Client", u"x"), u"Client %s");
    // The buffer size cuts the text (terminator counted).
    std::u16string text;
    ASSERT_TRUE(res.GetMessage(u"sx:Resource/sx:FileNotFound", text, false, 6));
    EXPECT_EQ(text, u"Datei");

    // A message file that does not parse counts as none.
    testsupport::TempDir bad;
    bad.Write("Resource.xml", "<sx:Resource><sx:Warning>x</sx:Resource>");
    host::Resources broken;
    EXPECT_FALSE(broken.LoadMessageFile(U(bad.path())));
    EXPECT_EQ(broken.Text(u"sx:Resource/sx:Warning", 103), u"Warning");
}

TEST(Resources, SideModuleOverridesTheOwnTable) {
    ScriptedHostUi ui;
    testsupport::TempDir dir;
    dir.Write("PanoraResources.ini",
              "[Strings]\n103 = Achtung\n108 = Zeile eins\\nZeile zwei\n500 = Extra\n");
    host::Resources res;
    res.SetHostUi(&ui);
    ASSERT_TRUE(res.LoadSideModule(U(dir.path())));
    EXPECT_EQ(res.LoadString(103), u"Achtung");
    EXPECT_EQ(res.Text(u"sx:Resource/sx:ViewClear", 108, true), u"Zeile eins\nZeile zwei");
    EXPECT_EQ(res.LoadString(500), u"Extra");
    // Plain load: the module is the source, so its gaps are empty; the
    // fallback load goes on to the own table.
    EXPECT_EQ(res.LoadString(104), u"");
    EXPECT_EQ(res.LoadStringWithFallback(104), u"Error: File %s not found.");
    EXPECT_TRUE(ui.Boxes().empty());
    // An entry lacking in both shows the box first.
    EXPECT_EQ(res.LoadStringWithFallback(153), u"WARNING: no nID was found!");
    EXPECT_EQ(ui.Boxes().size(), 1u);
}

// (The log file's UTF-16 text is read back by the control's life-cycle test.)
TEST(Log, IsOffWithoutAFolderAndTracesAreCut) {
    host::Log off{std::u16string()};
    EXPECT_FALSE(off.Write(u"x"));

    std::vector<std::string> lines;
    SX_SetTraceSink([&](const std::string& line) { lines.push_back(line); });
    SX_Trace("SX_Control::OnDestroy\r\n");
    SX_Trace("%s %d", std::string(2000, 'a').c_str(), 5);
    SX_SetTraceSink({});
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "SX_Control::OnDestroy\r\n");
    EXPECT_EQ(lines[1].size(), 1023u);
}
