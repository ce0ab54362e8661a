// Hotlinks of a control that has loaded a generated station: the automation
// members' duplicate and category rules, editing, the properties dialog, and
// icons drawn into frames on Mesa where the projection puts them, hit by the
// octagon and clicked through the view's input.
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "control/HotlinkController.h"
#include "station/SX_PanoramaDataSet.h"
#include "support/ControlFixture.h"
#include "view3d/SX_Hotlinks.h"

using platform::HRESULT;
using platform::S_FALSE;
using platform::S_OK;
using platform::Variant;

namespace {

class HotlinkControlTest : public ControlFixture {
  protected:
    SX_Control& Loaded(int width = 320, int height = 240) {
        const sitegen::StationFiles& station = Generate({32});
        SX_Control& c = LoadedControl(station.description, width, height);
        c.Events().Advise([this](platform::DISPID id, const std::vector<Variant>& a) {
            if (id < SX_ControlEvents::kHotLinkClicked ||
                id > SX_ControlEvents::kHotlinkDoubleClicked) {
                return S_OK;
            }
            std::string text(SX_ControlEvents::Find(id)->name);
            for (const Variant& v : a) {
                text += " " + platform::ToUtf8(v.StringValue());
            }
            hotlinkEvents_.push_back(text);
            return S_OK;
        });
        return c;
    }

    HRESULT Add3D(const std::u16string& id, const std::u16string& category, double x = 0.0,
                  double y = 0.0, double z = -10.0, const std::u16string& link = u"https://x/") {
        return Call(u"AddHotlink3D",
                    {Variant(link), Variant(id + u" label"), Variant(category), Variant(id),
                     Variant(u""), Variant(x), Variant(y), Variant(z)});
    }
    std::int32_t Int(std::u16string_view name, std::vector<Variant> args = {}) {
        EXPECT_EQ(Call(name, std::move(args)), S_OK);
        return r_.retval.Int32Value();
    }

    void Mouse(platform::MessageId id, int x, int y, std::uint32_t keys = 0) {
        control_->DeliverInput(platform::Message::Mouse(id, x, y, keys));
    }

    std::vector<std::string> hotlinkEvents_;
};

const std::uint8_t* Pixel(const platform::RgbImage& f, int x, int y) {
    return &f.rgb[(static_cast<std::size_t>(y) * f.width + x) * 3];
}

}  // namespace

TEST_F(HotlinkControlTest, DuplicatesCategoriesAndEditing) {
    Loaded();
    // The control refuses a second identifier and fires nothing for it.
    EXPECT_EQ(Add3D(u"a", u"Doors"), S_OK);
    EXPECT_EQ(Add3D(u"a", u"Doors"), S_FALSE);
    EXPECT_EQ(hotlinkEvents_, std::vector<std::string>{"HotlinkAdded https://x/ a label Doors a "});

    EXPECT_EQ(Call(u"GetHotLinks", {Variant(u"None")}), S_FALSE);

    // Categories in code-unit order; the last hotlink of one takes it away.
    Add3D(u"w", u"Windows");
    Add3D(u"B", u"Doors");
    Add3D(u"m", u"Misc");
    EXPECT_EQ(Int(u"GetCategoryCount"), 3);
    Call(u"GetNextCategory", {Variant(1)});
    EXPECT_EQ(r_.retval.StringValue(), u"Misc");
    EXPECT_EQ(Call(u"RemoveHotlink", {Variant(u"w")}), S_OK);
    EXPECT_EQ(hotlinkEvents_.back(), "HotlinkRemoved https://x/ w label Windows w ");
    EXPECT_EQ(Int(u"GetCategoryCount"), 2);
    EXPECT_EQ(Call(u"RemoveHotlink", {Variant(u"w")}), S_FALSE);
    EXPECT_EQ(Call(u"GetNextHotlink", {Variant(u"Doors"), Variant(2)}), S_FALSE);

    // Editing: the same identifier with a new label succeeds; taking another
    // one's identifier does not; a new category moves it to the list's end.
    hotlinkEvents_.clear();
    EXPECT_EQ(Call(u"EditHotlink", {Variant(u"a"), Variant(u"a"), Variant(u"l2"), Variant(u"new"),
                                    Variant(u"Doors")}),
              S_OK);
    EXPECT_EQ(hotlinkEvents_, std::vector<std::string>{
                                  "HotlinkChanged https://x/ a label Doors a  l2 new Doors a "});
    EXPECT_EQ(Call(u"EditHotlink",
                   {Variant(u"a"), Variant(u"B"), Variant(u"l"), Variant(u"x"), Variant(u"Doors")}),
              S_FALSE);
    EXPECT_EQ(Call(u"EditHotlink",
                   {Variant(u"a"), Variant(u"c"), Variant(u"l"), Variant(u"x"), Variant(u"Misc")}),
              S_OK);
    EXPECT_EQ(Int(u"GetHotlinksCount", {Variant(u"Doors")}), 1);
    EXPECT_EQ(Call(u"GetNextHotlink", {Variant(u"Misc"), Variant(1)}), S_OK);
}

TEST_F(HotlinkControlTest, DialogFillsBlanksAndAsksAboutBadLinks) {
    Loaded();
    // A label without identifier and category: both filled in. A web link
    // asks nothing.
    ui_.QueueHotlinkAnswer(HostUi::HotlinkFields{u" ", u"Door", u"", u"https://example.org/"});
    EXPECT_EQ(Int(u"HotlinkMark3D",
                  {Variant(1.0), Variant(2.0), Variant(3.0), Variant(-1), Variant(u"#ff0000")}),
              -1);
    ASSERT_EQ(Call(u"GetNextHotlink", {Variant(u"Misc"), Variant(0)}), S_OK);
    EXPECT_TRUE(ui_.Boxes().empty());
    EXPECT_EQ(hotlinkEvents_.back(), "HotlinkAdded https://example.org/ Door Misc Door ");

    // A missing file asks; No keeps the dialog open and the next answer is
    // typed; an existing file passes.
    const auto file = dir_ / "notes.txt";
    std::ofstream(file) << "x";
    ui_.QueueAnswer(HostUi::kIdNo);
    ui_.QueueHotlinkAnswer(HostUi::HotlinkFields{
        u"n", u"", u"Docs", platform::FromUtf8((dir_ / "missing.txt").string())});
    ui_.QueueHotlinkAnswer(
        HostUi::HotlinkFields{u"n", u"", u"Docs", platform::FromUtf8(file.string())});
    Call(u"HotlinkMark3D", {Variant(0.0), Variant(0.0), Variant(0.0), Variant(-1), Variant(u"")});
    ASSERT_EQ(ui_.Boxes().size(), 1u);
    EXPECT_EQ(ui_.Boxes()[0].caption, u"Warning");
    EXPECT_EQ(ui_.Boxes()[0].text.substr(0, 40), u"Given link is neither a valid HREF nor a");
    EXPECT_EQ(Int(u"GetHotlinksCount", {Variant(u"Docs")}), 1);
}

TEST_F(HotlinkControlTest, IconsLandWhereTheProjectionSaysAndTheOctagonIsHit) {
    constexpr int kW = 320, kH = 240;
    SX_Control& c = Loaded(kW, kH);
    c.SetAnimateTransitions(false);
    Call(u"SetAltitudeAzimuth", {Variant(0.0), Variant(0.0)});
    // Scan-frame points: the station's z points up, so (0, 10, 0) lies
    // straight ahead at azimuth 0 and altitude 0.
    ASSERT_EQ(c.DataSet().UpDirection(), 0);
    ASSERT_EQ(Add3D(u"door", u"Doors", 0.0, 10.0, 0.0, u"https://example.org/door"), S_OK);
    Add3D(u"back", u"Doors", 0.0, -10.0, 0.0);  // behind the eye: never drawn
    const platform::RgbImage frame = Frame();

    const auto door = c.Hotlinks().Collection().Find(u"door");
    EXPECT_NEAR(door->screenX, kW / 2, 1);
    EXPECT_NEAR(door->screenY, kH / 2, 2);
    EXPECT_FALSE(c.Hotlinks().Collection().Find(u"back")->Drawn());
    const int sx = door->screenX;
    const int sy = door->screenY;
    // The built-in icon: a blue body left of and below the centre, a white
    // rim at its edge; the leader runs up and to the right in yellow.
    for (const auto& [dx, dy] : {std::pair{-7, 0}, std::pair{0, 7}, std::pair{-5, 5}}) {
        const std::uint8_t* body = Pixel(frame, sx + dx, sy + dy);
        EXPECT_LE(body[0], 20) << dx << "," << dy;
        EXPECT_NEAR(body[1], 90, 12) << dx << "," << dy;
        EXPECT_NEAR(body[2], 200, 12) << dx << "," << dy;
    }
    EXPECT_GE(std::min({Pixel(frame, sx - 11, sy)[0], Pixel(frame, sx - 11, sy)[2]}), 230);
    EXPECT_GE(std::min({Pixel(frame, sx, sy + 11)[0], Pixel(frame, sx, sy + 11)[2]}), 230);
    EXPECT_NE(Pixel(frame, sx - 12, sy)[0], 255);
    bool yellow = false;
    for (int d = -1; d <= 1; ++d) {
        const std::uint8_t* p = Pixel(frame, sx + 20 + d, sy - 20);
        yellow = yellow || (p[0] > 200 && p[1] > 200 && p[2] < 90);
    }
    EXPECT_TRUE(yellow);

    // The octagon: 11 straight above hits, 12 misses; (+11, -3) hits,
    // (+11, +3) misses.
    control::HotlinkController& h = c.Hotlinks();
    EXPECT_TRUE(h.HitTest(sx, sy - 11));
    EXPECT_FALSE(h.HitTest(sx, sy - 12));
    EXPECT_TRUE(h.HitTest(sx + 11, sy - 3));
    EXPECT_FALSE(h.HitTest(sx + 11, sy + 3));

    // Another category shown: the icon leaves the frame and is not hit.
    Call(u"DisplaySelectedHotlinks", {Variant(u"Windows")});
    const platform::RgbImage without = Frame();
    const std::uint8_t* hidden = Pixel(without, sx - 7, sy);
    EXPECT_FALSE(hidden[0] <= 20 && std::abs(hidden[1] - 90) <= 12 &&
                 std::abs(hidden[2] - 200) <= 12);
    EXPECT_FALSE(h.HitTest(sx, sy));
    Call(u"DisplaySelectedHotlinks", {Variant(u"All")});
    Frame();
    EXPECT_TRUE(h.HitTest(sx, sy));

    // The context menu deletes the hotlink under the pointer.
    ui_.QueueMenuAnswer(SX_GraphicWindow::kCommandDeleteHotlink);
    Mouse(platform::kMsgMouseMove, sx, sy);
    Mouse(platform::kMsgRButtonDown, sx, sy, platform::kKeyRButton);
    Mouse(platform::kMsgRButtonUp, sx, sy);
    EXPECT_EQ(hotlinkEvents_.back(),
              "HotlinkRemoved https://example.org/door door label Doors door ");
    EXPECT_FALSE(c.Hotlinks().Collection().Find(u"door"));
}

TEST_F(HotlinkControlTest, RelativeLinksAndFilesResolveAgainstTheStationsFolder) {
    SX_Control& c = Loaded();
    const std::filesystem::path stationDir = std::filesystem::path(plan_.stations[0].dir);
    std::filesystem::create_directories(stationDir.parent_path() / "docs");
    std::ofstream(stationDir.parent_path() / "docs" / "readme.txt") << "x";

    // ".." takes one folder off the station's; the joined path is FullUrl
    // and is what opens.
    Add3D(u"up", u"Docs", 0, 0, 0, u"../docs/readme.txt");
    const auto up = c.Hotlinks().Collection().Find(u"up");
    ASSERT_TRUE(c.Hotlinks().OpenLink(*up));
    const std::u16string joined =
        platform::FromUtf8((stationDir.parent_path() / "docs" / "readme.txt").string());
    EXPECT_EQ(up->fullUrl, joined);
    EXPECT_EQ(opened_, std::vector<std::u16string>{joined});
    // A FullUrl naming a missing file keeps a plain link closed.
    up->link = u"https://example.org/";
    up->fullUrl = u"file://" + platform::FromUtf8((stationDir / "gone.txt").string());
    EXPECT_FALSE(c.Hotlinks().OpenLink(*up));
    EXPECT_EQ(opened_.size(), 1u);

    // LoadHotlinks: a name relative to the station's folder, an icon file
    // resolved there too; the hotlinks join the existing ones, then the
    // auto-save hook runs.
    std::ofstream(stationDir / "more.xml")
        << "<sx:Markup xmlns:sx='urn:panora:sx'><sx:Hotlinks><sx:SX_Hotlink>"
           "<sx:Pos3D>1 2 3</sx:Pos3D><sx:Link>https://l/</sx:Link><sx:Label>Loaded</sx:Label>"
           "<sx:ImageFile>icon.png</sx:ImageFile></sx:SX_Hotlink></sx:Hotlinks></sx:Markup>";
    int saves = 0;
    c.Hotlinks().SetAutoSaveHook([&saves] { ++saves; });
    Call(u"LoadHotlinks", {Variant(u"")});
    EXPECT_EQ(saves, 0);
    hotlinkEvents_.clear();
    EXPECT_EQ(Call(u"LoadHotlinks", {Variant(u"more.xml")}), S_OK);
    EXPECT_EQ(saves, 1);
    ASSERT_EQ(hotlinkEvents_.size(), 1u);
    const auto loaded = c.Hotlinks().Collection().Find(u"Loaded");
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->imageFile, platform::FromUtf8((stationDir / "icon.png").string()));
    EXPECT_EQ(loaded->category, u"Misc");
    EXPECT_EQ(Int(u"GetHotlinksCount", {Variant(u"Docs")}), 1);
}
