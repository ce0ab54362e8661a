#include <gtest/gtest.h>

#include "platform/IniFile.h"
#include "platform/Text.h"
#include "support/TempDir.h"

using testsupport::U;
using namespace platform;

namespace {

// UTF-16LE bytes with a byte-order mark.
std::string Utf16Le(std::u16string_view text) {
    std::string out = "\xFF\xFE";
    for (const char16_t c : text) {
        out.push_back(static_cast<char>(c & 0xFF));
        out.push_back(static_cast<char>(c >> 8));
    }
    return out;
}

}  // namespace

TEST(IniFile, ValuesAreTrimmedUnquotedAndKeepSemicolons) {
    IniFile ini;
    ini.LoadText(
        "; comment line\n"
        "# another comment\n"
        "  [ Station ]  \n"
        "Image = C:\\icons\\station.bmp ; not a comment\n"
        "   Indented = yes\n"
        "Quoted = \"  spaced  \"\n"
        "Unbalanced = \"open\n"
        "Empty =\n"
        "Colon = a:b=c\n"
        "NoSeparator\n"
        "Tabbed\t=\tvalue\t\n");
    EXPECT_TRUE(ini.HasSection(u"station"));
    EXPECT_EQ(ini.Find(u"Station", u"Image"), u"C:\\icons\\station.bmp ; not a comment");
    EXPECT_EQ(ini.Find(u"Station", u"Indented"), u"yes");  // not a continuation line
    EXPECT_EQ(ini.Find(u"Station", u"Quoted"), u"  spaced  ");
    EXPECT_EQ(ini.Find(u"Station", u"Unbalanced"), u"\"open");
    EXPECT_EQ(ini.Find(u"Station", u"Empty"), u"");
    EXPECT_EQ(ini.Find(u"Station", u"Colon"), u"a:b=c");
    EXPECT_EQ(ini.Find(u"Station", u"NoSeparator"), std::nullopt);
    EXPECT_EQ(ini.Find(u"Station", u"Tabbed"), u"value");
    EXPECT_EQ(ini.Find(u"Station", u"; comment line"), std::nullopt);
}

TEST(IniFile, ReadStringTruncatesToTheBufferSize) {
    IniFile ini;
    const std::string long_path = "/opt/" + std::string(1500, 'p') + ".bmp";
    ini.LoadText("[Hotlink]\nImage=" + long_path + "\nShort=abcdef\n");
    EXPECT_EQ(ini.Find(u"Hotlink", u"Image")->size(), long_path.size());
    EXPECT_EQ(ini.ReadString(u"Hotlink", u"Image", u"", 1024).size(), 1023u);
    EXPECT_EQ(ini.ReadString(u"Hotlink", u"Short", u"", 7), u"abcdef");  // fits exactly
    EXPECT_EQ(ini.ReadString(u"Hotlink", u"Short", u"", 6), u"abcde");
    EXPECT_EQ(ini.ReadString(u"Hotlink", u"Short", u"", 1), u"");
    // The default loses trailing spaces and is cut the same way.
    EXPECT_EQ(ini.ReadString(u"Hotlink", u"Missing", u"  def  ", 255), u"  def");
    EXPECT_EQ(ini.ReadString(u"Hotlink", u"Missing", u"default", 4), u"def");
}

TEST(IniFile, FirstSectionAndFirstKeyWin) {
    IniFile ini;
    ini.LoadText(
        "top=before any section\n"
        "[A]\nx=1\nx=2\n"
        "[Empty]\n"
        "[B]\ny=1\n"
        "[a]\nx=3\nz=4\n");
    EXPECT_EQ(ini.Find(u"", u"top"), u"before any section");
    EXPECT_EQ(ini.Find(u"A", u"x"), u"1");
    EXPECT_EQ(ini.Find(u"A", u"z"), std::nullopt);  // the repeated [a] is ignored
    EXPECT_EQ(ini.Find(u"B", u"y"), u"1");
    EXPECT_TRUE(ini.HasSection(u"EMPTY"));
    EXPECT_FALSE(ini.HasSection(u"Missing"));
    EXPECT_EQ(ini.Find(u"Empty", u"x"), std::nullopt);

    // Loading again replaces what was held.
    ini.LoadText("[C]\nk=v\n");
    EXPECT_FALSE(ini.HasSection(u"A"));
    EXPECT_EQ(ini.Find(u"c", u"K"), u"v");
}

TEST(IniFile, ReadsUtf8AndUtf16Files) {
    testsupport::TempDir dir;
    const std::u16string value = u"/daten/Stationsh\u00f6he/\u6e2c.bmp";
    const auto utf16 = U(dir.Write("w.ini", Utf16Le(u"[Station]\r\nImage=" + value + u"\r\n")));
    const auto utf8 = U(dir.Write("u.ini", "\xEF\xBB\xBF[Station]\nImage=" + ToUtf8(value) + "\n"));
    const auto noBom = U(dir.Write("n.ini", "[Station]\nImage=" + ToUtf8(value)));
    for (const auto& path : {utf16, utf8, noBom}) {
        IniFile ini;
        ASSERT_TRUE(ini.Load(path));
        EXPECT_EQ(ini.Find(u"Station", u"Image"), value) << ToUtf8(path);
    }
}
