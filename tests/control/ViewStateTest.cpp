// The control's view state driven as a page and the desktop drive it: a
// shown or locked view is left by SetMode 1 or 4, a 5-pixel drag over the overlay and
// FocusOnMark3D, while spin and keys do not reach the 3D view as long as it is locked.
#include <gtest/gtest.h>

#include "markup2d/SX_2DDrawingWindow.h"
#include "persist/SxView.h"
#include "persist/SxViews.h"
#include "platform/XmlDocument.h"
#include "support/ControlFixture.h"

using namespace platform;

namespace {

class ViewStateTest : public ViewInputFixture {
  protected:
    SX_Control& Loaded() {
        SX_Control& c = LoadedControl(Generate({32}).description, 200, 150);
        full_.clear();
        return c;
    }
    // A new view at (azimuth, latitude, 60 degrees), added and applied.
    ComPtr<SxView> Apply(double azimuth, double latitude, bool lock) {
        EXPECT_EQ(Call(u"ViewNew", {Variant(azimuth), Variant(latitude), Variant(60.0)}), S_OK);
        ComPtr<SxView> view = r_.retval.ObjectValue().As<SxView>();
        EXPECT_TRUE(view);
        control_->Views()->Add(Variant(view));
        EXPECT_TRUE(CallBool(u"ViewApply", {Variant(view), Variant(lock)}));
        return view;
    }
    bool Live() {
        return !control_->ViewShown() && !control_->LockedForDrawing() &&
               control_->ShownViewId() == -1 && control_->GraphicWindow()->IsVisible() &&
               !control_->DrawingWindow()->IsVisible();
    }
};

}  // namespace

TEST_F(ViewStateTest, LockedViewKeepsSpinAndKeysAwayAndMeasuringModeLeavesIt) {
    SX_Control& c = Loaded();
    ASSERT_TRUE(SetMode(1));
    ComPtr<SxView> view = Apply(40.0, 10.0, true);
    EXPECT_EQ(full_, (std::vector<std::string>{"ViewAdded(Snapshot#" + std::to_string(view->Id()) +
                                                   "," + std::to_string(view->Id()) + ")",
                                               "ShowNeighbors(0)", "ViewLockChanged(true)"}));
    EXPECT_TRUE(c.LockedForDrawing());
    EXPECT_FALSE(c.GraphicWindow()->IsVisible());
    EXPECT_TRUE(c.DrawingWindow()->MarkupMode());
    EXPECT_EQ(c.DrawingWindow()->Drawings(), &view->Drawings());
    EXPECT_DOUBLE_EQ(Cam().Azimuth(), 40.0);
    EXPECT_DOUBLE_EQ(Cam().FieldOfView(), 60.0);

    Call(u"SetSpin", {Variant(2.0)});
    EXPECT_FALSE(RotationTimer());
    EXPECT_EQ(c.ViewMode(), 1);
    Key(kVkEscape);  // to the overlay, not StopMeasure
    EXPECT_EQ(full_.size(), 3u);
    // In markup mode a drag stays with the overlay.
    Mouse(kMsgLButtonDown, 100, 70, kKeyLButton);
    Mouse(kMsgMouseMove, 120, 70, kKeyLButton);
    Mouse(kMsgLButtonUp, 120, 70);
    EXPECT_TRUE(c.LockedForDrawing());

    ASSERT_TRUE(SetMode(1));
    EXPECT_TRUE(Live());
    EXPECT_EQ(c.DrawingWindow()->Drawings(), nullptr);
    EXPECT_FALSE(c.DrawingWindow()->MarkupMode());
    EXPECT_EQ(full_.size(), 3u);  // leaving this way fires nothing
    EXPECT_EQ(Call(u"ViewGetCurrent"), S_OK);
    EXPECT_FALSE(r_.retval.ObjectValue());
    Key(kVkEscape);
    EXPECT_EQ(full_.back(), "StopMeasure");
}

TEST_F(ViewStateTest, AFivePixelDragOverTheShownViewHandsTheMouseToTheLiveView) {
    SX_Control& c = Loaded();
    Apply(-20.0, 0.0, false);
    EXPECT_TRUE(c.ViewShown());
    EXPECT_FALSE(c.LockedForDrawing());
    EXPECT_EQ(full_.back(), "ShowNeighbors(0)");  // shown unlocked: no lock event
    full_.clear();
    EXPECT_EQ(Call(u"ViewGetCurrent"), S_OK);
    EXPECT_EQ(r_.retval.ObjectValue().As<SxView>()->Id(), c.ShownViewId());

    Mouse(kMsgLButtonDown, 100, 70, kKeyLButton);
    Mouse(kMsgMouseMove, 104, 74, kKeyLButton);
    EXPECT_TRUE(c.ViewShown()) << "4 pixels stay on the view";
    EXPECT_TRUE(full_.empty());
    Mouse(kMsgMouseMove, 105, 70, kKeyLButton);
    EXPECT_TRUE(Live());
    // The press and the move were replayed to the 3D window: the drag
    // rotates the camera from the next tick of the rotation timer on.
    EXPECT_EQ(full_.front(), "MenuEvent(2)");
    EXPECT_TRUE(RotationTimer());
    clock_.Advance(30);
    EXPECT_GT(Cam().Azimuth(), -20.0);
    Mouse(kMsgLButtonUp, 105, 70);
    EXPECT_FALSE(ui_.MouseCaptured());
}

TEST_F(ViewStateTest, ResizeRecapturesAndFocusOnMarkReturnsToTheLiveView) {
    SX_Control& c = Loaded();
    ComPtr<SxView> view = Apply(0.0, 0.0, true);
    EXPECT_EQ(c.DrawingWindow()->Background().width, 200);
    c.Resize(160, 120);
    EXPECT_EQ(c.DrawingWindow()->Background().width, 160);
    EXPECT_EQ(c.DrawingWindow()->Background().height, 120);
    RgbImage shown;
    ASSERT_TRUE(c.HostFrame(shown));
    EXPECT_EQ(shown.width, 160);
    // A shown view that goes takes its drawings off the overlay.
    c.Views()->Remove(Variant(0));
    view.Reset();
    EXPECT_EQ(c.DrawingWindow()->Drawings(), nullptr);

    ASSERT_EQ(Call(u"VertexMark3D",
                   {Variant(1.0), Variant(2.0), Variant(3.0), Variant(-1), Variant(u"#ff0000")}),
              S_OK);
    const std::int32_t mark = r_.retval.Int32Value();
    EXPECT_TRUE(CallBool(u"FocusOnMark3D", {Variant(mark)}));
    EXPECT_TRUE(Live());
}
