// The on-screen navigation controls: where their opaque pixels take the
// pointer, and which events presses, releases and hovers fire, on a 400 x 300
// view.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "control/SX_ControlEvents.h"
#include "platform/Image.h"
#include "platform/Text.h"
#include "support/TempDir.h"
#include "view3d/NavigationControls.h"

using Nav = view3d::NavigationControls;

namespace {

struct Controls {
    Nav nav;
    std::vector<std::string> events;
    int renders = 0;

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
        nav.SetRenderer([this] { ++renders; });
    }
    std::vector<std::string> Take() { return std::exchange(events, {}); }
};

// Top-left window pixel of the pad (x offset 40 from the right, y 57 from the
// top, 48 x 48), of the zoom-in button (50, 117, 26 x 26) and of the hide
// button (0, 69, 28 x 28).
constexpr int kPadX = 400 - 40 - 48, kPadY = 57;
constexpr int kZoomX = 400 - 50 - 26, kZoomY = 117;
constexpr int kHideX = 400 - 28, kHideY = 69;

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

TEST(NavigationControls, HideAndShowSequence) {
    Controls c;
    const int x = kHideX + 14;
    const int y = kHideY + 14;
    // Hover swaps in the hovered image once, and back when the pointer leaves.
    EXPECT_TRUE(c.nav.OnMouseMove(x, y));
    EXPECT_TRUE(c.nav.IsVisible(Nav::kHideHovered) && !c.nav.IsVisible(Nav::kHide));
    EXPECT_FALSE(c.nav.OnMouseMove(x + 1, y));
    EXPECT_TRUE(c.nav.OnMouseMove(10, 10));
    EXPECT_TRUE(c.nav.IsVisible(Nav::kHide));
    EXPECT_TRUE(c.nav.OnMouseMove(x, y));

    // Pressing is taken without effect; releasing hides.
    EXPECT_TRUE(c.nav.OnLButtonDown(x, y));
    EXPECT_TRUE(c.events.empty());
    EXPECT_TRUE(c.nav.OnLButtonUp(x, y));
    EXPECT_EQ(c.Take(), std::vector<std::string>{"NavigationControlsVisible(false)"});
    EXPECT_EQ(c.renders, 1);
    EXPECT_TRUE(c.nav.IsVisible(Nav::kShow));
    // The hidden buttons no longer take the pointer; the show button does.
    EXPECT_FALSE(c.nav.OnLButtonDown(kPadX + 16, kPadY + 16));
    EXPECT_TRUE(c.nav.OnMouseMove(x, y));
    EXPECT_TRUE(c.nav.IsVisible(Nav::kShowHovered));

    // The automation call does what the show button's release does.
    c.nav.ShowHide(true);
    EXPECT_EQ(c.Take(), std::vector<std::string>{"NavigationControlsVisible(true)"});
    EXPECT_EQ(c.renders, 2);
    EXPECT_FALSE(c.nav.IsVisible(Nav::kShow) || c.nav.IsVisible(Nav::kShowHovered));
}

TEST(NavigationControls, LogosAndMissingImages) {
    testsupport::TempDir dir;
    platform::RgbImage logo;
    logo.width = 5;
    logo.height = 3;
    logo.rgb.assign(5 * 3 * 3, 90);
    ASSERT_TRUE(platform::EncodePngFile(logo, (dir / "logo.png").string()));
    dir.Write("bad.png", "\x89PNG but not really");

    Controls c;
    EXPECT_FALSE(c.nav.IsVisible(Nav::kProductLogo));
    ASSERT_TRUE(c.nav.LoadCompanyLogo(platform::FromUtf8((dir / "logo.png").string())));
    EXPECT_TRUE(c.nav.IsVisible(Nav::kCompanyLogo));
    EXPECT_EQ(c.nav.SlotImage(Nav::kCompanyLogo).bgra[3], 255);  // opaque without alpha
    EXPECT_FALSE(c.nav.LoadCompanyLogo(platform::FromUtf8((dir / "bad.png").string())));
    EXPECT_FALSE(c.nav.SlotImage(Nav::kCompanyLogo).HasPixels());

    // Without images (a customised installation) nothing is hit.
    Controls bare(false);
    EXPECT_FALSE(bare.nav.OnLButtonDown(kPadX + 16, kPadY + 16));
    EXPECT_FALSE(bare.nav.OnMouseMove(kHideX + 14, kHideY + 14));
}
