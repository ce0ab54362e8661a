#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/SL_XMLWriter.h"
#include "platform/Text.h"
#include "platform/XmlDocument.h"
#include "support/CommaLocale.h"
#include "support/TempDir.h"

using platform::FromUtf8;
using platform::XmlDocument;
using platform::XmlNode;
using StraleLib::SL_XMLWriter;

namespace {

constexpr char16_t kNs[] = u"urn:panora:test";
const std::string kHeader =
    "<?xml version='1.0' encoding='UTF-8'?>\n<!--StraleX Markup XML-->\n<!--Written by Panora-->\n";

std::u16string PathIn(const testsupport::TempDir& dir, const char* name) {
    return FromUtf8((dir / name).string());
}

}  // namespace

TEST(SL_XMLWriter, WritesAFileWithHeaderIndentationAndClosingLineFeed) {
    testsupport::TempDir dir;
    const std::u16string file = PathIn(dir, "markup.xml");
    SL_XMLWriter w(file);
    ASSERT_TRUE(w.StartElement(u"sx:Markup", kNs));
    ASSERT_TRUE(w.StartElement(u"sx:VersionCheck"));
    EXPECT_TRUE(w.AddAttribute(u"Check", u"No"));
    EXPECT_EQ(w.EndElement().Name(), u"sx:VersionCheck");
    ASSERT_TRUE(w.StartElement(u"sx:GUID"));
    EXPECT_TRUE(w.SetText(u"{0123}"));
    w.EndElement();
    ASSERT_TRUE(w.StartElement(u"sx:Views"));
    ASSERT_TRUE(w.StartElement(u"sx:View"));
    EXPECT_TRUE(w.AddAttribute(u"Azimuth", 2.0));
    EXPECT_TRUE(w.AddAttribute(u"Altitude", -0.0004));
    w.EndElement();
    w.EndElement();
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));  // nothing written before the root closes
    const XmlNode root = w.EndElement();
    EXPECT_FALSE(w.SaveFailed());
    EXPECT_EQ(root.Name(), u"sx:Markup");

    EXPECT_EQ(testsupport::ReadFile(dir / "markup.xml"),
              kHeader +
                  "<sx:Markup xmlns:sx=\"urn:panora:test\">"
                  "\n\t<sx:VersionCheck Check=\"No\"/>"
                  "\n\t<sx:GUID>{0123}</sx:GUID>"
                  "\n\t<sx:Views>\n\t\t<sx:View Azimuth=\"2.000\" Altitude=\"-0.000\"/></sx:Views>"
                  "\n</sx:Markup>\n");

    // The file reads back with the indentation gone and every element in the
    // writer's namespace.
    XmlDocument back;
    ASSERT_TRUE(back.Load(file));
    EXPECT_EQ(back.SelectSingleNode(u"sx:Markup/sx:Views/sx:View").NamespaceUri(), kNs);
    EXPECT_EQ(back.DocumentElement().ChildNodes().size(), 3u);

    // Writing again through Open replaces the file.
    ASSERT_TRUE(w.Open(file));
    ASSERT_TRUE(w.StartElement(u"Root"));
    w.EndElement();
    EXPECT_EQ(testsupport::ReadFile(dir / "markup.xml"), kHeader + "<Root>\n</Root>\n");
}

TEST(SL_XMLWriter, FormatsNumbersAndColoursWhateverTheLocale) {
    const testsupport::CommaLocale comma;
    ASSERT_TRUE(comma.Active());
    SL_XMLWriter w(0);
    ASSERT_TRUE(w.StartElement(u"e"));
    EXPECT_TRUE(w.AddAttribute(u"a", 2.0));
    EXPECT_TRUE(w.AddAttribute(u"b", 12345.6789));
    const XmlNode e = w.CurrentElement();
    EXPECT_EQ(e.Attribute(u"a"), u"2.000");
    EXPECT_EQ(e.Attribute(u"b"), u"12345.679");
    EXPECT_TRUE(w.SetText(std::uint32_t{0xF0FF00FF}));
    EXPECT_EQ(e.Text(), u"255 0 255 240");
    EXPECT_TRUE(w.SetText(u"text"));
    EXPECT_EQ(e.Text(), u"text");
    EXPECT_EQ(e.ChildNodes().size(), 1u);  // SetText replaces, never appends
}

TEST(SL_XMLWriter, OneCharacterFileNameWritesNothingAndFailuresAreReported) {
    testsupport::TempDir dir;
    const auto cwd = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    {
        SL_XMLWriter w(u"x");
        ASSERT_TRUE(w.StartElement(u"r"));
        const XmlNode root = w.EndElement();
        EXPECT_EQ(root.Xml(), u"<r/>");  // neither header nor closing line feed
        EXPECT_FALSE(w.SaveFailed());
    }
    std::filesystem::current_path(cwd);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));

    SL_XMLWriter bad(PathIn(dir, "missing/folder/m.xml"));
    EXPECT_FALSE(bad.AddAttribute(u"a", u"b"));
    EXPECT_FALSE(bad.StartElement(u"not a name"));
    ASSERT_TRUE(bad.StartElement(u"r"));
    EXPECT_TRUE(bad.EndElement());
    EXPECT_TRUE(bad.SaveFailed());
}
