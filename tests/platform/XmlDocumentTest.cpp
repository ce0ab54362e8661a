#include <gtest/gtest.h>

#include "platform/Text.h"
#include "platform/XmlDocument.h"

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

// (Namespaces declared once on the root: the XML writer's file test.)
TEST(XmlDocument, BuildsWithNamespaceDeclarationsWhereNeeded) {
    XmlDocument doc;
    XmlNode root = doc.CreateElement(u"sx:Markup", u"urn:sx");
    XmlNode child = doc.CreateElement(u"sx:GUID", u"urn:sx");
    EXPECT_FALSE(child.Parent());  // detached until appended
    ASSERT_TRUE(child.SetText(u"a<b&c"));
    EXPECT_EQ(root.AppendChild(child), child);
    EXPECT_EQ(doc.SetDocumentElement(root), root);

    // An element of no namespace under a default namespace declares xmlns="".
    XmlNode deflt = doc.CreateElement(u"Top", u"urn:d");
    deflt.AppendChild(doc.CreateElement(u"Bare"));
    deflt.AppendChild(doc.CreateElement(u"Same", u"urn:d"));
    EXPECT_EQ(deflt.Xml(), u"<Top xmlns=\"urn:d\"><Bare xmlns=\"\"/><Same/></Top>");

    // Refusals: a node below itself, a second document element.
    EXPECT_FALSE(child.AppendChild(root));
    EXPECT_FALSE(doc.DocumentNode().AppendChild(deflt));

    // Replacing the document element detaches the old one; handles stay good.
    EXPECT_EQ(doc.SetDocumentElement(deflt), deflt);
    EXPECT_FALSE(root.Parent());
    EXPECT_EQ(child.Text(), u"a<b&c");
}
