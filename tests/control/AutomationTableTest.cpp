// The neutral answers of the control's automation members whose work is not
// there (or whose control is gone).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "control/Automation.h"

using namespace platform;

TEST(AutomationTable, MembersWithoutTheirWorkAnswerNeutrally) {
    const ComPtr<control::Automation> automation = MakeRef<control::Automation>(nullptr);
    InvokeResult r;
    const auto call = [&](std::u16string_view name, std::vector<Variant> args,
                          DispatchKind kind = DispatchKind::Method) {
        r.Clear();
        return automation->InvokeByName(name, kind, args, r);
    };

    // Identifiers -1, booleans false, doubles 0.0, texts empty, objects none.
    const struct {
        const char16_t* name;
        std::vector<Variant> args;
        Variant expected;
    } cases[] = {
        {u"VertexMark3D", {1.0, 2.0, 3.0, std::int32_t{-1}, u"#ff0000"}, Variant(std::int32_t{-1})},
        {u"Mark3DGetUnit", {std::int32_t{100}}, Variant(std::int32_t{-1})},
        {u"SetMode", {std::int32_t{1}}, Variant(false)},
        {u"GetAzimuth", {}, Variant(0.0)},
        {u"Mark3DGetColor", {std::int32_t{100}}, Variant(u"")},
        {u"ViewCapture", {}, Variant(nullptr)},
        {u"ShapeSetDefaultColor", {u"#00ff00"}, Variant()},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(call(c.name, c.args), S_OK) << ToUtf8(c.name);
        EXPECT_EQ(r.retval, c.expected) << ToUtf8(c.name);
    }
    // [out] parameters stay at their start values.
    EXPECT_EQ(call(u"Get3DLocation", {std::int32_t{10}, std::int32_t{20}}), S_OK);
    ASSERT_NE(r.Out(u"z"), nullptr);
    EXPECT_EQ(*r.Out(u"z"), Variant(0.0));
    // Puts without their work are accepted and change nothing.
    EXPECT_EQ(call(u"DefaultUnit", {std::int32_t{10}}, DispatchKind::PropertyPut), S_OK);
    EXPECT_EQ(call(u"DefaultUnit", {}, DispatchKind::PropertyGet), S_OK);
    EXPECT_EQ(r.retval, Variant(std::int32_t{0}));

    // Without a control the forwarding members decline too, and the view
    // collection is pending.
    EXPECT_EQ(call(u"src", {u"st1.xml"}, DispatchKind::PropertyPut), S_OK);
    EXPECT_EQ(call(u"src", {}, DispatchKind::PropertyGet), S_OK);
    EXPECT_EQ(r.retval, Variant(u""));
    EXPECT_EQ(call(u"Views", {}, DispatchKind::PropertyGet), E_PENDING);
    EXPECT_TRUE(r.retval.IsEmpty());

    // The table's own checks still come first.
    EXPECT_EQ(call(u"SetMode", {}), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(call(u"Mark3DRemove", {u"seven"}), DISP_E_TYPEMISMATCH);
}
