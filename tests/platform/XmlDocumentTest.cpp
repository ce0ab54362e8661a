#include <gtest/gtest.h>

#include "platform/Text.h"
#include "platform/XmlDocument.h"
#include "support/TempDir.h"

using platform::FromUtf8;
using platform::XmlDocument;
using platform::XmlNode;
using platform::XmlNodeKind;

namespace {

constexpr char16_t kStation[] =
    u"<?xml version=\"1.0\"?>\n"
    u"<Qvscan:CubeMap xmlns:Qvscan=\"urn:q\">\n"
    u"  <Qvscan:Uid>{ABC}</Qvscan:Uid>\n"
    u"  <Qvscan:PanoramaMeta>\n"
    u"    <Qvscan:lods>\n"
    u"      <Qvscan:lod><Qvscan:size>512</Qvscan:size></Qvscan:lod>\n"
    u"      <Qvscan:lod><Qvscan:size>1024</Qvscan:size></Qvscan:lod>\n"
    u"    </Qvscan:lods>\n"
    u"  </Qvscan:PanoramaMeta>\n"
    u"  <Qvscan:SiteMap URL=\"\"/>\n"
    u"  <Qvscan:Neighbors>\n"
    u"    <Qvscan:Neighbor Name=\"A\" X=\"1.5\"/>\n"
    u"    <Other/>\n"
    u"    <Qvscan:Neighbor Name=\"B\"/>\n"
    u"  </Qvscan:Neighbors>\n"
    u"</Qvscan:CubeMap>\n";

std::u16string Sizes(const std::vector<XmlNode>& nodes) {
    std::u16string out;
    for (const auto& n : nodes) {
        out += n.SelectSingleNode(u"Qvscan:size").Text() + u";";
    }
    return out;
}

}  // namespace

TEST(XmlDocument, SelectsByPrefixedPaths) {
    XmlDocument doc;
    ASSERT_TRUE(doc.LoadString(kStation));
    EXPECT_EQ(doc.DocumentElement().NamespaceUri(), u"urn:q");

    // From the document, with or without a leading slash.
    const XmlNode lods = doc.SelectSingleNode(u"Qvscan:CubeMap/Qvscan:PanoramaMeta/Qvscan:lods");
    ASSERT_TRUE(lods);
    EXPECT_EQ(doc.SelectSingleNode(u"/Qvscan:CubeMap/Qvscan:PanoramaMeta/Qvscan:lods"), lods);
    EXPECT_EQ(Sizes(lods.Children(u"Qvscan:lod")), u"512;1024;");
    // The first match in document order.
    EXPECT_EQ(lods.SelectSingleNode(u"Qvscan:lod/Qvscan:size").Text(), u"512");
    // Relative to a node, and absolute from a node.
    EXPECT_EQ(lods.SelectSingleNode(u"/Qvscan:CubeMap/Qvscan:Uid").Text(), u"{ABC}");
    EXPECT_EQ(lods.SelectSingleNode(u"./Qvscan:lod"), lods.Children().front());

    // Names match with their prefixes, exactly; malformed paths select nothing.
    for (const char16_t* path : {u"CubeMap/Qvscan:Uid", u"/", u"Qvscan:CubeMap//Qvscan:Uid",
                                 u"Qvscan:CubeMap/Qvscan:Uid/"}) {
        EXPECT_FALSE(doc.SelectSingleNode(path)) << platform::ToUtf8(path);
    }

    // Children in order, filtered by name; attributes absent versus empty.
    const auto neighbours = doc.SelectNodes(u"Qvscan:CubeMap/Qvscan:Neighbors/Qvscan:Neighbor");
    ASSERT_EQ(neighbours.size(), 2u);
    EXPECT_EQ(neighbours[0].Attribute(u"X"), u"1.5");
    EXPECT_EQ(neighbours[1].Attribute(u"X"), std::nullopt);
    EXPECT_EQ(doc.SelectSingleNode(u"Qvscan:CubeMap/Qvscan:Neighbors").Children().size(), 3u);
    const auto siteMap = doc.SelectSingleNode(u"Qvscan:CubeMap/Qvscan:SiteMap");
    EXPECT_EQ(siteMap.Attribute(u"URL"), u"");
    EXPECT_FALSE(siteMap.Attribute(u"url").has_value());
}

TEST(XmlDocument, ParseErrorsCarryCodeLineAndPosition) {
    XmlDocument doc;
    // Line 3, the unquoted value starts at character 9 (the accented letter
    // counts as one character, though it is two bytes).
    EXPECT_FALSE(doc.LoadString(u"<a>\r\n  <b/>\n  <\u00e9l x=1/>\n</a>"));
    EXPECT_EQ(doc.ParseError().code, platform::kXmlBadAttribute);
    EXPECT_EQ(doc.ParseError().line, 3);
    EXPECT_EQ(doc.ParseError().position, 9);
    EXPECT_EQ(doc.ParseError().reason, u"Malformed attribute.");
    EXPECT_FALSE(doc.DocumentElement());
    // A good load clears the error.
    EXPECT_TRUE(doc.LoadString(u"<ok/>"));
    EXPECT_EQ(doc.ParseError().reason, u"");
}

TEST(XmlDocument, HandlesOutliveReloadsAndTheirDocument) {
    XmlNode kept;
    {
        XmlDocument doc;
        ASSERT_TRUE(doc.LoadString(u"<a><b>first</b></a>"));
        kept = doc.SelectSingleNode(u"a/b");
        ASSERT_TRUE(doc.LoadString(u"<a><b>second</b></a>"));
        EXPECT_EQ(doc.SelectSingleNode(u"a/b").Text(), u"second");
    }
    EXPECT_EQ(kept.Text(), u"first");
    EXPECT_EQ(kept.Parent().Name(), u"a");
}

TEST(XmlDocument, BuildsWithNamespaceDeclarationsWhereNeeded) {
    XmlDocument doc;
    XmlNode root = doc.CreateElement(u"sx:Markup", u"urn:sx");
    XmlNode child = doc.CreateElement(u"sx:GUID", u"urn:sx");
    XmlNode other = doc.CreateElement(u"q:Other", u"urn:q");
    XmlNode plain = doc.CreateElement(u"Line");
    EXPECT_FALSE(child.Parent());  // detached until appended
    ASSERT_TRUE(child.SetText(u"a<b&c"));
    // Attaching drops the declaration the parent already makes.
    EXPECT_EQ(root.AppendChild(child), child);
    EXPECT_TRUE(root.AppendChild(other));
    EXPECT_TRUE(other.AppendChild(plain));
    EXPECT_TRUE(other.SetAttribute(u"Use", u"\"x\""));
    EXPECT_TRUE(other.SetAttribute(u"Use", u"True"));  // replaces
    EXPECT_EQ(doc.SetDocumentElement(root), root);
    EXPECT_EQ(doc.ToUtf8Bytes(),
              "<sx:Markup xmlns:sx=\"urn:sx\"><sx:GUID>a&lt;b&amp;c</sx:GUID>"
              "<q:Other xmlns:q=\"urn:q\" Use=\"True\"><Line/></q:Other></sx:Markup>\n");

    // An element of no namespace under a default namespace declares xmlns="".
    XmlNode deflt = doc.CreateElement(u"Top", u"urn:d");
    XmlNode bare = doc.CreateElement(u"Bare");
    XmlNode same = doc.CreateElement(u"Same", u"urn:d");
    deflt.AppendChild(bare);
    deflt.AppendChild(same);
    EXPECT_EQ(deflt.Xml(), u"<Top xmlns=\"urn:d\"><Bare xmlns=\"\"/><Same/></Top>");

    // Refusals: a node below itself, a second document element, bad names.
    EXPECT_FALSE(child.AppendChild(root));
    EXPECT_FALSE(doc.DocumentNode().AppendChild(deflt));

    // Replacing the document element detaches the old one; handles stay good.
    EXPECT_EQ(doc.SetDocumentElement(deflt), deflt);
    EXPECT_FALSE(root.Parent());
    EXPECT_EQ(child.Text(), u"a<b&c");
}

TEST(XmlDocument, NonAsciiTextRoundTripsThroughAFile) {
    testsupport::TempDir dir;
    const std::u16string text = u"Stationsh\u00f6he \u6e2c\u91cf \U0001F4CF <&> \"'";
    const std::u16string file = FromUtf8((dir / "t\u00e9st.xml").string());
    {
        XmlDocument doc;
        XmlNode root = doc.CreateElement(u"sx:R\u00e9", u"urn:\u00e9");
        root.SetAttribute(u"A", text + u"\n\t");
        root.SetText(text);
        doc.AppendProcessingInstruction(u"xml", u"version='1.0' encoding='UTF-8'");
        doc.AppendComment(u"c \u00e9");
        doc.SetDocumentElement(root);
        ASSERT_TRUE(doc.Save(file));
    }
    const std::string bytes = testsupport::ReadFile(dir / "t\u00e9st.xml");
    EXPECT_TRUE(
        bytes.starts_with("<?xml version='1.0' encoding='UTF-8'?>\n<!--c \xc3\xa9-->\n<sx:R"))
        << bytes;
    XmlDocument back;
    ASSERT_TRUE(back.Load(file));
    const XmlNode root = back.SelectSingleNode(u"sx:R\u00e9");
    ASSERT_TRUE(root);
    EXPECT_EQ(root.Text(), text);
    EXPECT_EQ(root.Attribute(u"A"), text + u"\n\t");
    EXPECT_EQ(root.NamespaceUri(), u"urn:\u00e9");
    EXPECT_FALSE(back.Save(FromUtf8((dir / "no/such/folder/x.xml").string())));
}
