// The sx:Hotlinks section of a markup file: written in category order and
// read back the same, and the older element form without a position.
#include <gtest/gtest.h>

#include <memory>

#include "host/SX_EventIds.h"
#include "platform/SL_XMLWriter.h"
#include "platform/Text.h"
#include "support/TempDir.h"
#include "view3d/SX_Hotlinks.h"

using view3d::SX_Hotlink;
using view3d::SX_Hotlinks;

namespace {

struct RecordingSite final : view3d::HotlinkSite {
    bool Locate(int, int, double&, double&, double&) override { return false; }
    void Fire(platform::DISPID id, const std::vector<platform::Variant>& args) override {
        fired.push_back(std::to_string(id) + " " + platform::ToUtf8(args.at(3).StringValue()));
    }
    std::vector<std::string> fired;
};

platform::ComPtr<SX_Hotlink> Make(std::u16string id, std::u16string category, double x) {
    auto h = platform::MakeRef<SX_Hotlink>();
    h->uniqueId = std::move(id);
    h->label = u"L " + h->uniqueId;
    h->link = u"..\\docs\\" + h->uniqueId + u".pdf";
    h->imageFile = u"/icons/" + h->uniqueId + u".png";
    h->category = std::move(category);
    h->x = x;
    h->y = -2.5;
    h->z = 1.0 / 3.0;
    return h;
}

}  // namespace

TEST(HotlinkMarkup, SectionRoundTripsInCategoryOrder) {
    testsupport::TempDir dir;
    SX_Hotlinks source;
    source.Insert(Make(u"w1", u"Windows", 1.0));
    source.Insert(Make(u"d1", u"Doors", 2.0));
    source.Insert(Make(u"d2", u"Doors", 3.0));
    source.Insert(Make(u"z", u"apple", 4.0));  // lower case sorts after upper case
    const std::u16string file = platform::FromUtf8((dir.path() / "m.xml").string());
    {
        StraleLib::SL_XMLWriter w(file);
        w.StartElement(u"sx:Markup", u"urn:panora:sx");
        source.WriteSection(w);
        w.EndElement();
        ASSERT_FALSE(w.SaveFailed());
    }
    platform::XmlDocument doc;
    ASSERT_TRUE(doc.Load(file));
    const platform::XmlNode section = doc.SelectSingleNode(u"sx:Markup/sx:Hotlinks");
    ASSERT_TRUE(section);
    EXPECT_EQ(section.SelectSingleNode(u"sx:SX_Hotlink/sx:Pos3D").Text(),
              u"2.000000 -2.500000 0.333333");

    auto site = std::make_shared<RecordingSite>();
    SX_Hotlinks read;
    read.SetSite(site);
    // Image files that do not exist are resolved against the data location.
    EXPECT_EQ(read.ReadSection(section, [](const std::u16string& n) { return u"/data" + n; }), 4);
    const std::string added = std::to_string(SX_ControlEvents::kHotlinkAdded);
    EXPECT_EQ(site->fired, (std::vector<std::string>{added + " d1", added + " d2", added + " w1",
                                                     added + " z"}));
    const auto all = read.All();
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(read.Find(u"d2")->imageFile, u"/data/icons/d2.png");
    EXPECT_EQ(read.CategoryAt(2), u"apple");
}

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
