// Neighbour icons of the first station of a generated three-station site,
// placed where a headless control's camera looks and hit only there.
#include <algorithm>

#include "control/Automation.h"
#include "glcore/SX_OpenGLCamera.h"
#include "support/ControlFixture.h"
#include "view3d/NavigationControls.h"
#include "view3d/NeighborView.h"
#include "view3d/SX_GraphicWindow.h"

using platform::Variant;

namespace {

class NeighborControlTest : public ControlFixture {
  protected:
    SX_Control& Loaded(int width, int height) {
        plan_ = testsupport::MakeSite(dir_ / "site", 3, {32});
        return LoadedControl(plan_.stations[0].description, width, height);
    }

    Variant Call(std::u16string_view name, std::vector<Variant> args = {}) {
        platform::InvokeResult r;
        EXPECT_EQ(automation_->InvokeByName(name, platform::DispatchKind::Method, args, r),
                  platform::S_OK);
        return r.retval;
    }
};

}  // namespace

TEST_F(NeighborControlTest, IconsLandWhereTheCameraLooksAndOnlyThoseAreHit) {
    constexpr int kW = 320, kH = 240;
    SX_Control& c = Loaded(kW, kH);
    view3d::NeighborView& view = c.Neighbors();
    ASSERT_EQ(Call(u"GetNeighborPanoraCount"), Variant(std::int32_t{2}));
    c.SetAnimateTransitions(false);
    ASSERT_EQ(Call(u"FocusOnPanora", {std::int32_t{0}}), Variant(true));
    EXPECT_EQ(Call(u"FocusOnPanora", {std::int32_t{2}}), Variant(false));

    // Facing the first displayed neighbour, its icon sits at the view's centre.
    Frame();
    const std::u16string name =
        Call(u"GetNextNeighborPanoraByAlpha", {std::int32_t{0}}).StringValue();
    const auto records = view.Records();
    const auto it =
        std::find_if(records.begin(), records.end(), [&](const auto& n) { return n.name == name; });
    ASSERT_NE(it, records.end());
    const int index = static_cast<int>(it - records.begin());
    // (The centre lies on a pixel boundary; the flipped row is truncated.)
    EXPECT_NEAR(it->screenX, kW / 2, 1);
    EXPECT_NEAR(it->screenY, kH / 2, 2);

    // Hit within the icon radius (24) only.
    EXPECT_EQ(view.HitTest(it->screenX + 23, it->screenY), index);
    EXPECT_EQ(view.HitTest(it->screenX, it->screenY + 24), -1);

    // Drawing disabled: nothing to hit. (Icons drawn where they are hit: the
    // hotlink icons' test.)
    Call(u"SetEnableDrawNeighbor", {false});
    Frame();
    EXPECT_EQ(view.HitTest(kW / 2, kH / 2), -1);
    Call(u"SetEnableDrawNeighbor", {true});
    // Turned away, the icon cannot be clicked at its former place.
    c.DataSet().Camera()->AddAzimuth(180);
    Frame();
    EXPECT_EQ(view.HitTest(kW / 2, kH / 2), -1);
}
