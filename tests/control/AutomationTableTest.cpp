// The control's automation object once its control is gone: every member
// declines with its neutral result, except Views, which is pending. The
// table's own argument checks still come first.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "control/Automation.h"

using namespace platform;

TEST(AutomationTable, ADetachedObjectDeclinesEveryCall) {
    const ComPtr<control::Automation> automation = MakeRef<control::Automation>(nullptr);
    InvokeResult r;
    const auto call = [&](std::u16string_view name, std::vector<Variant> args,
                          DispatchKind kind = DispatchKind::Method) {
        r.Clear();
        return automation->InvokeByName(name, kind, args, r);
    };

    EXPECT_EQ(call(u"VertexMark3D", {1.0, 2.0, 3.0, std::int32_t{-1}, u"#ff0000"}), S_OK);
    EXPECT_EQ(r.retval, Variant(std::int32_t{-1}));
    EXPECT_EQ(call(u"SetMode", {std::int32_t{1}}), S_OK);
    EXPECT_EQ(r.retval, Variant(false));
    EXPECT_EQ(call(u"ViewCapture", {}), S_OK);
    EXPECT_EQ(r.retval, Variant(nullptr));
    // [out] parameters stay at their start values.
    EXPECT_EQ(call(u"Get3DLocation", {std::int32_t{10}, std::int32_t{20}}), S_OK);
    ASSERT_NE(r.Out(u"z"), nullptr);
    EXPECT_EQ(*r.Out(u"z"), Variant(0.0));
    // A put is accepted and a later get still reads the neutral value.
    EXPECT_EQ(call(u"src", {u"st1.xml"}, DispatchKind::PropertyPut), S_OK);
    EXPECT_EQ(call(u"src", {}, DispatchKind::PropertyGet), S_OK);
    EXPECT_EQ(r.retval, Variant(u""));
    EXPECT_EQ(call(u"Views", {}, DispatchKind::PropertyGet), E_PENDING);
    EXPECT_TRUE(r.retval.IsEmpty());

    EXPECT_EQ(call(u"SetMode", {}), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(call(u"Mark3DRemove", {u"seven"}), DISP_E_TYPEMISMATCH);
}
