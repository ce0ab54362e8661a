// The older form of the sx:Hotlinks section, without a position. (The
// section written and read back is the markup page's test.)
#include <gtest/gtest.h>

#include "platform/XmlDocument.h"
#include "view3d/SX_Hotlinks.h"

using view3d::SX_Hotlinks;

TEST(HotlinkMarkup, OlderFormTakesTooltipLabelAndFillsIdentifierAndCategory) {
    platform::XmlDocument doc;
    ASSERT_TRUE(doc.LoadString(
        u"<sx:Hotlinks xmlns:sx='urn:panora:sx'>"
        u"<sx:SX_Hotlink><sx:Name>name</sx:Name><sx:Tooltip>tip</sx:Tooltip>"
        u"<sx:Url>http://a/b</sx:Url><sx:FullUrl>file:///tmp/b</sx:FullUrl>"
        u"<sx:UniqueIdForApp></sx:UniqueIdForApp></sx:SX_Hotlink>"
        u"<sx:SX_Hotlink><sx:Name>only name</sx:Name><sx:Category>Doors</sx:Category>"
        u"<sx:UniqueIdForApp>k</sx:UniqueIdForApp></sx:SX_Hotlink>"
        u"</sx:Hotlinks>"));
    SX_Hotlinks read;
    EXPECT_EQ(read.ReadSection(doc.DocumentElement(), nullptr), 2);
    const auto tip = read.At(u"Misc", 0);
    ASSERT_TRUE(tip);
    EXPECT_EQ(tip->label, u"tip");
    EXPECT_EQ(tip->uniqueId, u"tip");
    EXPECT_EQ(tip->link, u"http://a/b");
    EXPECT_EQ(tip->fullUrl, u"file:///tmp/b");
    EXPECT_EQ(tip->x, 0.0);
    const auto named = read.At(u"Doors", 0);
    ASSERT_TRUE(named);
    EXPECT_EQ(named->label, u"only name");
    EXPECT_EQ(named->uniqueId, u"k");
}
