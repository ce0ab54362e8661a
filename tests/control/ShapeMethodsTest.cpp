// The view's shape methods on a loaded control: the look cached for the
// next drawing (ID -1), the fill transparency round trip, adds started by
// script and finished by the mouse, drawings made by script,
// and neutral answers from a view that is not on show.
#include <gtest/gtest.h>

#include "markup2d/SX_2DDrawingWindow.h"
#include "markup2d/SX_DrawingText.h"
#include "persist/SxView.h"
#include "persist/SxViews.h"
#include "support/ControlFixture.h"

using namespace platform;

namespace {

class ShapeMethodsTest : public ViewInputFixture {
  protected:
    // A loaded control with a new view on show (locked when asked).
    ComPtr<SxView> Shown(bool lock) {
        SX_Control& c = LoadedControl(Generate({32}).description, 200, 150);
        EXPECT_EQ(Call(u"ViewNew", {Variant(10.0), Variant(0.0), Variant(60.0)}), S_OK);
        ComPtr<SxView> view = r_.retval.ObjectValue().As<SxView>();
        c.Views()->Add(Variant(view));
        EXPECT_TRUE(CallBool(u"ViewApply", {Variant(view), Variant(lock)}));
        full_.clear();
        return view;
    }
    Variant On(SxView& view, std::u16string_view name, std::vector<Variant> args = {}) {
        InvokeResult r;
        EXPECT_EQ(view.InvokeByName(name, DispatchKind::Method, args, r), S_OK)
            << ToUtf8(std::u16string(name));
        return r.retval;
    }
    std::int32_t Int(const Variant& v) {
        std::int32_t i = 0;
        v.ToInt32(i);
        return i;
    }
    bool Yes(const Variant& v) {
        bool b = false;
        v.ToBool(b);
        return b;
    }
    double Dbl(const Variant& v) {
        double d = 0;
        v.ToDouble(d);
        return d;
    }
    std::int32_t CreateRect(SxView& view, int x0, int y0, int x1, int y1, bool raise = false) {
        return Int(
            On(view, u"CreateShapeMark",
               {Variant(0), Variant(x0), Variant(y0), Variant(x1), Variant(y1), Variant(u"#ff0000"),
                Variant(0.0), Variant(2.0), Variant(0.0), Variant(u"#0000ff"), Variant(0.5),
                Variant(u"me"), Variant(u"today"), Variant(raise)}));
    }
};

}  // namespace

TEST_F(ShapeMethodsTest, CachedLookFeedsTheNextAddAndAlphaRoundTrips) {
    ComPtr<SxView> view = Shown(true);
    const SX_Defaults& d = control_->Defaults();
    EXPECT_DOUBLE_EQ(Dbl(On(*view, u"ShapeGetLineWidth", {Variant(-1)})), d.penWidth);

    const std::int32_t id = Int(On(*view, u"AddShape", {Variant(u"Rectangle")}));
    EXPECT_EQ(full_, std::vector<std::string>{"ShapeSelected(3)"});
    // ID -1: the drawing being added and the cached look take the change.
    EXPECT_FALSE(Yes(On(*view, u"ShapeSetAlpha", {Variant(-1), Variant(25)})));
    EXPECT_EQ(Int(On(*view, u"ShapeGetAlpha", {Variant(-1)})), 25);
    On(*view, u"ShapeSetLineWidth", {Variant(-1), Variant(5.0)});
    On(*view, u"ShapeSetLineWidth", {Variant(-1), Variant(-1.0)});  // refused
    EXPECT_DOUBLE_EQ(Dbl(On(*view, u"ShapeGetLineWidth", {Variant(-1)})), 5.0);

    LeftDrag(20, 20, 90, 70);
    ASSERT_EQ(view->Drawings().size(), 1u);
    const SX_DrawingBase& rect = *view->Drawings()[0];
    EXPECT_EQ(static_cast<std::int32_t>(rect.ID()), id);
    EXPECT_EQ(rect.GetFillColor() >> 24, 191u);  // 75 % of 255, a half rounding down
    EXPECT_EQ(Int(On(*view, u"ShapeGetAlpha", {Variant(id)})), 25);
    EXPECT_DOUBLE_EQ(Dbl(On(*view, u"ShapeGetWidth", {Variant(id)})), 70.0);

    // RestoreDefaultShape starts another drawing of the last kind with the
    // cached look; after StopShapeAdd an add takes the defaults again.
    full_.clear();
    On(*view, u"RestoreDefaultShape");
    EXPECT_EQ(full_, std::vector<std::string>{"ShapeSelected(3)"});
    EXPECT_EQ(control_->DrawingWindow()->AddingDrawing()->GetTypeName(), u"Rectangle");
    EXPECT_DOUBLE_EQ(control_->DrawingWindow()->AddingDrawing()->GetPenWidth(), 5.0);
    On(*view, u"StopShapeAdd");
    On(*view, u"AddShape", {Variant(u"Line")});
    EXPECT_DOUBLE_EQ(control_->DrawingWindow()->AddingDrawing()->GetPenWidth(), d.penWidth);
    // The control's StopShapeAdd drops the add and reports it, and reports
    // it again with nothing left to drop.
    full_.clear();
    Call(u"StopShapeAdd");
    Call(u"StopShapeAdd");
    EXPECT_EQ(full_, (std::vector<std::string>{"Stop2DAdd", "Stop2DAdd"}));
    EXPECT_EQ(control_->DrawingWindow()->AddingDrawing(), nullptr);
    EXPECT_EQ(view->Drawings().size(), 1u);
}

TEST_F(ShapeMethodsTest, TextByTypeLocksOnlyAndUnknownIdsReachTheTextBeingAdded) {
    ComPtr<SxView> view = Shown(false);
    EXPECT_EQ(Int(On(*view, u"AddShapeByType", {Variant(13)})), -1);
    EXPECT_TRUE(control_->LockedForDrawing());
    EXPECT_EQ(full_, std::vector<std::string>{"ViewLockChanged(true)"});
    EXPECT_EQ(control_->DrawingWindow()->AddingDrawing(), nullptr);

    On(*view, u"AddShapeText", {Variant(u"")});
    EXPECT_EQ(full_.back(), "ShapeSelected(2)");
    On(*view, u"ShapeSetText", {Variant(987654), Variant(u"Hi")});
    const auto* text =
        dynamic_cast<const SX_DrawingText*>(control_->DrawingWindow()->AddingDrawing());
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->Text(), u"Hi");
}

// (Iterating the drawings: the drawing page.)
TEST_F(ShapeMethodsTest, ScriptMadeDrawingsAndAViewNotOnShowAnswersNeutrally) {
    ComPtr<SxView> view = Shown(true);
    const std::int32_t a = CreateRect(*view, 10, 10, 40, 30, true);
    EXPECT_EQ(full_, std::vector<std::string>{"Shape2DAdded(" + std::to_string(a) + ")"});
    const std::int32_t b = CreateRect(*view, 50, 50, 20, 20);
    EXPECT_EQ(
        Int(On(*view, u"CreateShapeMark",
               {Variant(3), Variant(0), Variant(0), Variant(1), Variant(1), Variant(u"#000000"),
                Variant(0.0), Variant(1.0), Variant(0.0), Variant(u"#000000"), Variant(0.0),
                Variant(u""), Variant(u""), Variant(false)})),
        -1);
    EXPECT_EQ(Int(On(*view, u"GetMarkupCount")), 2);
    // End minus start, as given.
    EXPECT_DOUBLE_EQ(Dbl(On(*view, u"ShapeGetWidth", {Variant(b)})), -30.0);
    EXPECT_EQ(On(*view, u"ShapeGetTypeName", {Variant(999999)}).StringValue(), u"Unknown");

    full_.clear();
    EXPECT_TRUE(Yes(On(*view, u"ShapeSelect", {Variant(b), Variant(true)})));
    EXPECT_TRUE(Yes(On(*view, u"ShapeDelete", {Variant(b), Variant(true)})));
    EXPECT_EQ(full_, (std::vector<std::string>{"Select2DChanged(" + std::to_string(b) + ")",
                                               "Shape2DRemoved(" + std::to_string(b) + ")"}));
    EXPECT_EQ(control_->DrawingWindow()->SelectedDrawing(), nullptr);

    // Another view, not on show: nothing happens.
    EXPECT_EQ(Call(u"ViewNew", {Variant(0.0), Variant(0.0), Variant(60.0)}), S_OK);
    ComPtr<SxView> other = r_.retval.ObjectValue().As<SxView>();
    EXPECT_EQ(Int(On(*other, u"AddShape", {Variant(u"Rectangle")})), -1);
    EXPECT_EQ(CreateRect(*other, 1, 1, 5, 5), -1);
    EXPECT_EQ(Int(On(*other, u"GetMarkupCount")), 0);
    EXPECT_EQ(Int(On(*view, u"GetMarkupCount")), 1);
}
