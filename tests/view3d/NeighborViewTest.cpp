// The neighbour view's lists, ranges, visibility and station icon,
// over a data set read from a small description file.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "control/SX_ControlEvents.h"
#include "host/Resources.h"
#include "platform/Text.h"
#include "station/SX_LoadingContext.h"
#include "station/SX_PanoramaDataSet.h"
#include "support/TempDir.h"
#include "view3d/NeighborView.h"

using platform::FromUtf8;
using platform::ToUtf8;

namespace {

std::string Neighbor(const char* name, double x, double y, double z) {
    char buffer[256];
    std::snprintf(buffer, sizeof buffer,
                  "<Qvscan:Neighbor Name=\"%s\" URL=\"%s.xml\" X=\"%g\" Y=\"%g\" Z=\"%g\"/>", name,
                  name, x, y, z);
    return buffer;
}

// A neighbour view reset from a description file with these neighbours; the
// events it fires are recorded as "Name(arg)".
struct Site {
    testsupport::TempDir dir;
    host::Resources resources;
    SX_PanoramaDataSet dataSet{resources};
    view3d::NeighborView view;
    std::vector<std::string> events;

    explicit Site(const std::string& neighbours, const std::string& extra = "") {
        dataSet.Initialise();
        dir.Write("station.xml", "<Qvscan:CubeMap xmlns:Qvscan=\"urn:q\">" + extra +
                                     "<Qvscan:Neighbors>" + neighbours +
                                     "</Qvscan:Neighbors></Qvscan:CubeMap>");
        const std::u16string path = FromUtf8((dir / "station.xml").string());
        SX_LoadingContext context(path);
        bool done = false;
        EXPECT_TRUE(dataSet.LoadPhase1(context, path, done));
        view.Reset(dataSet);
        view.SetEventSink([this](platform::DISPID id, const std::vector<platform::Variant>& a) {
            std::string e(SX_ControlEvents::Find(id)->name);
            if (!a.empty()) {
                e += "(" +
                     (a[0].Type() == platform::VariantType::String
                          ? ToUtf8(a[0].StringValue())
                          : std::to_string(a[0].Int32Value())) +
                     ")";
            }
            events.push_back(e);
        });
    }
    std::string Visible() const {
        std::string s;
        for (const auto& n : view.Records()) {
            s += n.visible ? ToUtf8(n.name) : "";
        }
        return s;
    }
};

}  // namespace

TEST(NeighborView, RangesFilterVisibilityAndEvents) {
    // Distances 3..7; azimuths N 0, E 90, S 180, W 270, M -5.
    Site s(Neighbor("N", 0, 0, -3) + Neighbor("E", 4, 0, 0) + Neighbor("S", 0, 0, 5) +
           Neighbor("W", -6, 0, 0) + Neighbor("M", -0.61006, 0, -6.97336));

    // Reset after reading: 1 beyond the extremes, 0 always inside, unused.
    const view3d::NeighborView::Range dist = s.view.GetRange(view3d::NeighborView::kDistance);
    EXPECT_FALSE(dist.used);
    EXPECT_DOUBLE_EQ(dist.from, -1.0);
    EXPECT_NEAR(dist.to, 8.0, 1e-4);
    EXPECT_NEAR(s.view.GetRange(view3d::NeighborView::kAzimuth).from, -6.0, 1e-3);

    // Inverted bounds are taken in either order, inclusive.
    s.view.SetRange(view3d::NeighborView::kDistance, true, 5, 3);
    EXPECT_EQ(s.Visible(), "NES");
    EXPECT_EQ(s.events, (std::vector<std::string>{"UpdateNeighborList", "ShowNeighbors(1)"}));
    s.view.SetRange(view3d::NeighborView::kDistance, false, 5, 3);

    // An azimuth range from 350 to 10 does not wrap: it keeps 10..350 (W,
    // straight to the left, lies at 270).
    s.view.SetRange(view3d::NeighborView::kAzimuth, true, 350, 10);
    EXPECT_EQ(s.Visible(), "ESW");

    // Hiding does not change what passes; setting any range shows them again.
    s.events.clear();
    s.view.HideAll();
    EXPECT_EQ(s.Visible(), "");
    EXPECT_EQ(s.view.PassingCount(), 3);
    s.view.SetRange(view3d::NeighborView::kAltitude, false, 0, 0);
    EXPECT_EQ(s.Visible(), "ESW");

    // One by name; an unknown name changes nothing but still reports.
    s.view.SetVisibility(u"E", false);
    s.view.SetVisibility(u"nobody", true);
    EXPECT_EQ(s.Visible(), "SW");
    EXPECT_TRUE(s.view.IsVisible(u"nobody"));
    EXPECT_EQ(s.events, (std::vector<std::string>{"ShowNeighbors(0)", "UpdateNeighborList",
                                                  "ShowNeighbors(1)", "ShowNeighbors(1)",
                                                  "ShowNeighbors(1)"}));

    // Reset: unused again, everyone visible, one event.
    s.events.clear();
    s.view.ResetRanges();
    EXPECT_EQ(s.Visible(), "NESWM");
    EXPECT_EQ(s.events, (std::vector<std::string>{"UpdateNeighborRanges"}));
}

TEST(NeighborView, StationIconFromBitmapWithColourKey) {
    testsupport::TempDir dir;
    // 3 x 2, 24-bit, bottom-up rows padded to 12 bytes. Top row: key (10, 20,
    // 30), red, key; bottom row: green, blue, white.
    std::string bmp = "BM";
    const auto u32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            bmp.push_back(static_cast<char>(v >> (8 * i)));
        }
    };
    const auto u16 = [&](std::uint16_t v) {
        bmp.push_back(static_cast<char>(v));
        bmp.push_back(static_cast<char>(v >> 8));
    };
    u32(54 + 24), u32(0), u32(54);             // file header
    u32(40), u32(3), u32(2), u16(1), u16(24);  // info header
    u32(0), u32(24), u32(0), u32(0), u32(0), u32(0);
    const std::string bottom =
        std::string("\x00\xff\x00\xff\x00\x00\xff\xff\xff", 9) + std::string(3, '\0');
    const std::string top =
        std::string("\x1e\x14\x0a\x00\x00\xff\x1e\x14\x0a", 9) + std::string(3, '\0');
    bmp += bottom + top;
    dir.Write("Station.bmp", bmp);

    view3d::NeighborView view;
    EXPECT_EQ(view.IconWidth(), 48);  // the built-in icon
    ASSERT_TRUE(view.SetIconFromFile(FromUtf8((dir / "Station.bmp").string())));
    ASSERT_EQ(view.IconHeight(), 2);
    // B, G, R, A with the bottom row first.
    const std::vector<std::uint8_t> expected = {0,   255, 0,   255, 255, 0,  0,  255,
                                                255, 255, 255, 255, 30,  20, 10, 0,
                                                0,   0,   255, 255, 30,  20, 10, 0};
    EXPECT_EQ(view.IconPixels(), expected);

    // Files that are not plain 24/32-bit bitmaps leave the icon as it was.
    dir.Write("short.bmp", bmp.substr(0, bmp.size() - 4));
    std::string packed = bmp;
    packed[30] = 1;  // run-length compressed
    dir.Write("packed.bmp", packed);
    for (const char* name : {"short.bmp", "packed.bmp", "none.bmp"}) {
        EXPECT_FALSE(view.SetIconFromFile(FromUtf8((dir / name).string()))) << name;
    }
    EXPECT_EQ(view.IconWidth(), 3);
}
