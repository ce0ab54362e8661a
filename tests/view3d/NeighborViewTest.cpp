// The neighbour view's lists, ranges and visibility,
// over a data set read from a small description file.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "control/SX_ControlEvents.h"
#include "platform/Text.h"
#include "support/DescriptionStation.h"
#include "view3d/NeighborView.h"

using platform::ToUtf8;

namespace {

using testsupport::Neighbor;

// A neighbour view reset from a description file with these neighbours; the
// events it fires are recorded as "Name(arg)".
struct Site : testsupport::DescriptionStation {
    view3d::NeighborView view;
    std::vector<std::string> events;

    explicit Site(const std::string& neighbours) {
        EXPECT_TRUE(
            Load(testsupport::Meta("<Qvscan:Neighbors>" + neighbours + "</Qvscan:Neighbors>")));
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
