// Neighbour icons and navigation controls in frames a headless control draws
// on Mesa for the first station of a generated three-station site.
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

// Share of the icon's opaque pixels that the frame shows unchanged, with the
// icon centred on window pixel (x, y) (top-down).
double IconMatch(const view3d::NeighborView& view, const platform::RgbImage& frame, int x, int y) {
    const int w = view.IconWidth();
    const int h = view.IconHeight();
    const std::vector<std::uint8_t> icon = view.IconPixels();
    int opaque = 0;
    int same = 0;
    for (int row = 0; row < h; ++row) {  // stored bottom-up
        for (int col = 0; col < w; ++col) {
            const std::uint8_t* p = &icon[(static_cast<std::size_t>(row) * w + col) * 4];
            if (p[3] == 0) {
                continue;
            }
            ++opaque;
            const int fx = x - w / 2 + col;
            const int fy = frame.height - 1 - ((frame.height - y) - h / 2 + row);
            if (fx < 0 || fy < 0 || fx >= frame.width || fy >= frame.height) {
                continue;
            }
            const std::uint8_t* f =
                &frame.rgb[(static_cast<std::size_t>(fy) * frame.width + fx) * 3];
            same += std::abs(f[0] - p[2]) <= 8 && std::abs(f[1] - p[1]) <= 8 &&
                    std::abs(f[2] - p[0]) <= 8;
        }
    }
    return opaque == 0 ? 0.0 : static_cast<double>(same) / opaque;
}

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
    const platform::RgbImage frame = Frame();
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
    EXPECT_GT(IconMatch(view, frame, it->screenX, it->screenY), 0.85);

    // Hit within the icon radius (24) only.
    EXPECT_EQ(view.HitTest(it->screenX + 23, it->screenY), index);
    EXPECT_EQ(view.HitTest(it->screenX, it->screenY + 24), -1);

    // Drawing disabled: the frame shows the scene where the icon was.
    Call(u"SetEnableDrawNeighbor", {false});
    EXPECT_LT(IconMatch(view, Frame(), kW / 2, kH / 2), 0.5);
    EXPECT_EQ(view.HitTest(kW / 2, kH / 2), -1);
    Call(u"SetEnableDrawNeighbor", {true});
    // Turned away, the icon cannot be clicked at its former place.
    c.DataSet().Camera()->AddAzimuth(180);
    Frame();
    EXPECT_EQ(view.HitTest(kW / 2, kH / 2), -1);
}
