// The on-screen navigation controls' pan pad: where its opaque pixels take
// the pointer and which events presses and releases fire, on a 400 x 300
// view. (Hiding the controls: the render command's test.)

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "control/SX_ControlEvents.h"
#include "view3d/NavigationControls.h"

using Nav = view3d::NavigationControls;

namespace {

struct Controls {
    Nav nav;
    std::vector<std::string> events;

    explicit Controls(bool images = true) : nav(images) {
        nav.SetViewSize(400, 300);
        nav.SetEventSink([this](platform::DISPID id, const std::vector<platform::Variant>& a) {
            const platform::Variant& v = a.at(0);
            events.push_back(std::string(SX_ControlEvents::Find(id)->name) + "(" +
                             (v.Type() == platform::VariantType::Bool
                                  ? std::string(v.BoolValue() ? "true" : "false")
                                  : std::to_string(v.Int32Value())) +
                             ")");
        });
    }
    std::vector<std::string> Take() { return std::exchange(events, {}); }
};

// Top-left window pixel of the pad (x offset 40 from the right, y 57 from the
// top, 48 x 48) and of the zoom-in button (50, 117, 26 x 26).
constexpr int kPadX = 400 - 40 - 48, kPadY = 57;
constexpr int kZoomX = 400 - 50 - 26, kZoomY = 117;

}  // namespace

TEST(NavigationControls, PanPadDirectionsAndRelease) {
    Controls c;
    struct Case {
        int column, row;
        std::string fired;
        int highlighted;  // slot shown instead of the pad, or -1
    };
    const Case cases[] = {
        {16, 16, "PanZoomControls(2)", Nav::kPadLeft},  // the centre: left
        {40, 40, "PanZoomControls(7)", -1},             // bottom-right corner region
        {24, 6, "PanZoomControls(0)", Nav::kPadUp},     //
        {17, 18, "PanZoomControls(1)", Nav::kPadDown},  // centre band, below 16
        {24, 24, "", -1},                               // outside the 12..20 band
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(std::to_string(k.column) + "," + std::to_string(k.row));
        EXPECT_TRUE(c.nav.OnLButtonDown(kPadX + k.column, kPadY + k.row));
        EXPECT_EQ(c.Take(),
                  k.fired.empty() ? std::vector<std::string>{} : std::vector<std::string>{k.fired});
        EXPECT_EQ(c.nav.IsVisible(Nav::kPad), k.highlighted < 0);
        if (k.highlighted >= 0) {
            EXPECT_TRUE(c.nav.IsVisible(k.highlighted));
        }
        EXPECT_TRUE(c.nav.OnLButtonUp(kPadX + k.column, kPadY + k.row));
        EXPECT_EQ(c.Take(), std::vector<std::string>{"PanZoomControls(8)"});
        EXPECT_TRUE(c.nav.IsVisible(Nav::kPad));
        EXPECT_FALSE(c.nav.IsVisible(Nav::kPadLeft) || c.nav.IsVisible(Nav::kPadUp) ||
                     c.nav.IsVisible(Nav::kPadDown) || c.nav.IsVisible(Nav::kPadRight));
    }
    // The round pad's transparent corner and the zoom button's fall through.
    EXPECT_FALSE(c.nav.OnLButtonDown(kPadX, kPadY));
    EXPECT_FALSE(c.nav.OnLButtonDown(kZoomX, kZoomY + 25));
    EXPECT_FALSE(c.nav.OnLButtonUp(kPadX + 47, kPadY + 47));
    EXPECT_TRUE(c.events.empty());
}
