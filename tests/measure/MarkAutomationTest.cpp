// The 3D mark members of a complete control without a station: identifiers
// shared by two controls, events, values per kind, units, the default unit
// and its label, colours, names and the selection.
#include <gtest/gtest.h>

#include "control/Automation.h"
#include "measure/SX_Mark.h"
#include "support/ControlFixture.h"

using namespace platform;

namespace {

class MarkAutomationTest : public ControlFixture {
  protected:
    void Attach(SX_Control& c) { automation_ = MakeRef<control::Automation>(&c); }
    InvokeResult Call(std::u16string_view name, std::vector<Variant> args = {},
                      DispatchKind kind = DispatchKind::Method) {
        InvokeResult r;
        EXPECT_EQ(automation_->InvokeByName(name, kind, args, r), S_OK) << ToUtf8(name);
        return r;
    }
    std::int32_t Int(std::u16string_view name, std::vector<Variant> args = {}) {
        return Call(name, std::move(args)).retval.Int32Value();
    }
    double Real(std::u16string_view name, std::int32_t id) {
        return Call(name, {id}).retval.DoubleValue();
    }
    std::u16string Text(std::u16string_view name, std::int32_t id) {
        return Call(name, {id}).retval.StringValue();
    }
    bool Flag(std::u16string_view name, std::vector<Variant> args) {
        return Call(name, std::move(args)).retval.BoolValue();
    }
    std::int32_t Vertex(double x, double y, double z, std::int32_t unit = 0,
                        const char16_t* colour = u"#ff0000") {
        return Int(u"VertexMark3D", {x, y, z, unit, colour});
    }
    std::int32_t Distance(std::array<double, 6> p, std::int32_t unit = 0) {
        return Int(u"DistanceMark3D", {p[0], p[1], p[2], p[3], p[4], p[5], unit, u"#00ff00"});
    }
};

}  // namespace

TEST_F(MarkAutomationTest, IdentifiersEventsAndRemoval) {
    SX_Control& first = MakeControl(MakeOptions());
    Attach(first);
    first.Create(200, 150);
    clock_.Advance(200);
    events_.clear();

    SX_Control second(loop_, ui_, nullptr, MakeOptions());
    second.Create(100, 100);
    clock_.Advance(200);
    ASSERT_EQ(second.ReadyState(), 4);
    const std::int32_t a = Vertex(1, 2, 3);
    Attach(second);
    const std::int32_t b = Distance({0, 0, 0, 1, 1, 1});
    Attach(first);
    const std::int32_t c = Distance({0, 0, 0, 1, 1, 1});
    EXPECT_GE(a, 100);
    EXPECT_EQ(b, a + 1);
    EXPECT_EQ(c, b + 1);
    EXPECT_EQ(Text(u"Mark3DGetTypeName", c), u"Distance");
    EXPECT_EQ(Text(u"Mark3DGetTypeName", b), u"");  // the other control's mark
    // Only the first control's events are recorded.
    EXPECT_EQ(events_, (std::vector<std::string>{"Mark3DAdded(" + std::to_string(a) + ")",
                                                 "Mark3DAdded(" + std::to_string(c) + ")"}));
    events_.clear();

    EXPECT_TRUE(Flag(u"Mark3DRemove", {a}));
    EXPECT_FALSE(Flag(u"Mark3DRemove", {a}));
    EXPECT_EQ(Int(u"Mark3DGetUnit", {a}), -1);
    EXPECT_FALSE(Flag(u"Mark3DHide", {}));
    Call(u"Mark3DClear");
    EXPECT_EQ(first.DataSet().Marks().Count(), 0u);
    EXPECT_EQ(events_, std::vector<std::string>{"Mark3DDeleted(" + std::to_string(a) + ")"});

    // Unloading the station destroys the marks.
    Vertex(1, 1, 1);
    first.ClearCubeMap();
    EXPECT_EQ(first.DataSet().Marks().Count(), 0u);
    second.Destroy();
}

TEST_F(MarkAutomationTest, ValuesUnitsColoursNamesAndSelection) {
    SX_Control& c = ReadyControl(MakeOptions());
    Attach(c);
    // Up direction 0: view (x, y, z) is scan (x, -z, y); differences stay in
    // scan axes, first minus second.
    const std::int32_t d = Distance({4, 0, 5, 1, 4, 3});
    EXPECT_DOUBLE_EQ(Real(u"Mark3DGetXCoord", d), 3.0);
    EXPECT_DOUBLE_EQ(Real(u"Mark3DGetYCoord", d), -4.0);
    EXPECT_DOUBLE_EQ(Real(u"Mark3DGetZCoord", d), 2.0);
    EXPECT_DOUBLE_EQ(Real(u"Mark3DGetValue", d), std::sqrt(29.0));

    const std::int32_t v = Vertex(1.5, -2.0, 0.25);
    EXPECT_EQ(c.DataSet().Marks().Find(v)->GetLabelText(), u"1.5000 -2.0000 0.2500 m");
    EXPECT_TRUE(Flag(u"Mark3DSetUnit", {v, 2}));
    EXPECT_DOUBLE_EQ(Real(u"Mark3DGetXCoord", v), 1500.0);
    EXPECT_EQ(c.DataSet().Marks().Find(v)->GetLabelText(), u"1500.0 -2000.0 250.0 mm");
    EXPECT_TRUE(Flag(u"Mark3DSetUnit", {v, 3}));  // unknown: factor 1, label kept
    EXPECT_EQ(Real(u"Mark3DGetXCoord", v), 1.5);
    EXPECT_EQ(c.DataSet().Marks().Find(v)->GetLabelText(), u"1.5000 -2.0000 0.2500 mm");

    // The default unit and its label.
    EXPECT_TRUE(Flag(u"Mark3DSetAsDefault", {v}));
    EXPECT_EQ(Int(u"ShapeGetDefaultUnit", {-1}), 3);
    Call(u"ShapeSetDefaultUnit", {std::int32_t{10}});
    Call(u"ShapeSetDefaultUnit", {std::int32_t{-1}});
    EXPECT_EQ(c.DefaultUnit(), 10);
    EXPECT_EQ(c.DefaultUnitLabel(), u"ft");
    EXPECT_EQ(Int(u"ShapeGetDefaultUnit", {12}), 0);
    EXPECT_EQ(Int(u"Mark3DGetUnit", {Vertex(1, 0, 0, -1)}), 10);

    // Colours: lower-case text; a malformed text keeps the colour.
    const std::int32_t w = Vertex(0, 1, 0, 0, u"not a colour");
    EXPECT_EQ(Text(u"Mark3DGetColor", w), u"#ffffcc");
    EXPECT_TRUE(Flag(u"Mark3DSetColor", {w, u"#A0B1FF"}));
    EXPECT_EQ(Text(u"Mark3DGetColor", w), u"#a0b1ff");
    EXPECT_TRUE(Flag(u"Mark3DSetColor", {w, u"#12zz34"}));
    EXPECT_EQ(Text(u"Mark3DGetColor", w), u"#a0b1ff");

    // Names of 1 to 255 characters.
    EXPECT_FALSE(Flag(u"Mark3DSetName", {w, u""}));
    EXPECT_FALSE(Flag(u"Mark3DSetName", {w, std::u16string(256, u'n')}));
    EXPECT_TRUE(Flag(u"Mark3DSetName", {w, std::u16string(255, u'n')}));

    // Selection: the newest mark is selected; an unknown identifier leaves none.
    measure::Mark3DList& marks = c.DataSet().Marks();
    EXPECT_EQ(marks.Selected(), marks.Find(w));
    Call(u"Mark3DSelectChanged", {v});
    EXPECT_EQ(marks.Selected(), marks.Find(v));
    EXPECT_FALSE(marks.Find(w)->IsSelected());
    Call(u"Mark3DSelectChanged", {std::int32_t{7}});
    EXPECT_EQ(marks.Selected(), nullptr);
}
