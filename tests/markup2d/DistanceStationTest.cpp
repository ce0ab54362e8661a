// A distance drawing on a generated station: its two points are picked
// through the control's own pick, and it shows the true distance between the
// surfaces under the two pixels within the station's point precision.
#include <gtest/gtest.h>

#include <string>

#include "host/Resources.h"
#include "markup2d/DrawingHost.h"
#include "markup2d/SX_Defaults.h"
#include "markup2d/SX_DistanceDrw.h"
#include "support/ControlFixture.h"

namespace {

// The control as a drawing host; the pick is the control's public pick.
class ControlDrawingHost : public markup2d::DrawingHost {
  public:
    explicit ControlDrawingHost(SX_Control& control) : control_(control) {}
    SX_Defaults& Defaults() override { return defaults_; }
    int ClientWidth() const override { return control_.GraphicWindow()->Width(); }
    int ClientHeight() const override { return control_.GraphicWindow()->Height(); }
    bool PickPoint(double x, double y, std::array<double, 3>& p) override {
        return control_.PickPoint(static_cast<int>(x), static_cast<int>(y), p[0], p[1], p[2]);
    }
    double MaxPointError() const override { return control_.DataSet().MaxPointError(); }
    int InternalUnit() const override { return control_.DataSet().InternalDistanceUnit(); }
    SX_Mark::Transform RegistrationTransform() const override {
        return control_.DataSet().RegistrationTransform();
    }
    const host::Resources& Strings() const override { return strings_; }
    std::u16string ClipboardText() override { return {}; }
    void ShowTooltip(std::u16string_view, const platform::TextBox&) override {}
    void HideTooltip() override {}
    void SetCursorHidden(bool) override {}
    void FireUpdateText(std::u16string_view) override {}

  private:
    SX_Control& control_;
    SX_Defaults defaults_;
    host::Resources strings_;
};

class DistanceStationTest : public ControlFixture {};

}  // namespace

TEST_F(DistanceStationTest, PickedDistanceIsTheTrueDistanceWithinThePointPrecision) {
    SX_Control& c = LoadedControl(Generate({32, 64}).description, 160, 120);
    ASSERT_EQ(c.DataSet().GetMessages(), u"");
    const sitegen::StationPose& pose = plan_.stations[0].pose;
    // Two pixels of the room (every direction meets a surface).
    const std::pair<int, int> pixels[2] = {{30, 40}, {130, 95}};

    ControlDrawingHost host(c);
    SX_DistanceDrw d(host.Defaults(), 0);
    d.SetHost(&host);
    d.SetInternalUnit(host.InternalUnit());
    d.GetPrompt();
    for (const auto& [x, y] : {pixels[0], pixels[1]}) {
        SX_MouseStatus m;
        m.Move(x, y);
        d.OnMouseMove(m);
        d.OnLeftUp(m);
    }
    ASSERT_EQ(d.Step(), 3) << platform::ToUtf8(d.Caption());

    // Each picked point lies on the scene's surface along its own ray.
    sitegen::Vec3 hits[2];
    const sitegen::Vec3* picked[2] = {&d.FirstPoint3D(), &d.SecondPoint3D()};
    const double precision = c.DataSet().MaxPointError();
    for (int i = 0; i < 2; ++i) {
        const sitegen::Vec3 site = pose.ScanToSite(*picked[i]);
        const sitegen::SceneHit hit =
            plan_.scene.Trace(pose.centre, sitegen::Normalised(sitegen::Sub(site, pose.centre)));
        hits[i] = hit.point;
        EXPECT_LT(sitegen::Length(sitegen::Sub(hit.point, site)), precision + 1e-9);
    }
    const double truth = sitegen::Length(sitegen::Sub(hits[0], hits[1]));
    ASSERT_GT(truth, 0.1);
    const std::string caption = platform::ToUtf8(d.Caption());
    ASSERT_EQ(caption.substr(caption.size() - 2), " m");
    EXPECT_NEAR(std::stod(caption), truth, 2 * precision + 0.5e-4) << caption;
}
