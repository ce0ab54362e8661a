// The control's automation table: names, dispatch identifiers, member kinds
// and parameter lists as pages call them, and the neutral answers of members
// whose work is not there (or whose control is gone).

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "control/SX_ControlAutomation.h"

using namespace platform;

namespace {

struct Expected {
    std::u16string name;
    DISPID id;
    DispatchKind kind;
    std::vector<std::u16string> params;  // every parameter, "retval" for the result
};

std::vector<std::u16string> ParamNames(const DispatchMember& m) {
    std::vector<std::u16string> names;
    for (const ParamInfo& p : m.params) {
        names.push_back(p.name);
    }
    return names;
}

}  // namespace

TEST(AutomationTable, MembersCarryTheirNamesIdsKindsAndParameters) {
    const DispatchTable& table = SX_ControlAutomation::Table();
    const Expected expected[] = {
        {u"Enabled", DISPID_ENABLED, DispatchKind::PropertyPut, {u"value"}},
        {u"ReadyState", DISPID_READYSTATE, DispatchKind::PropertyGet, {u"retval"}},
        {u"src", 100, DispatchKind::PropertyGet, {u"retval"}},
        {u"src", 100, DispatchKind::PropertyPut, {u"value"}},
        {u"MaxPointError", 115, DispatchKind::PropertyGet, {u"retval"}},
        {u"GetDownladProgress", 1003, DispatchKind::Method, {u"retval"}},
        {u"SetAltitudeAzimuth", 1016, DispatchKind::Method, {u"vvalue", u"hvalue"}},
        {u"DistanceMark3D",
         1032,
         DispatchKind::Method,
         {u"v1x", u"v1y", u"v1z", u"v2x", u"v2y", u"v2z", u"unit", u"color", u"retval"}},
        {u"LoadMarks", 1061, DispatchKind::Method, {u"filaneme", u"forceServerVersion", u"retval"}},
        {u"IsRangeUsed", 1229, DispatchKind::Method, {u"type", u"retval"}},
        {u"ResetNeighborRanges", 1228, DispatchKind::Method, {}},
        {u"Get3DLocation", 1253, DispatchKind::Method, {u"screenX", u"screenY", u"x", u"y", u"z"}},
        {u"GetScanWorldName", 1260, DispatchKind::Method, {u"scanName"}},
        {u"ShowHideNavigationControls", 1266, DispatchKind::Method, {u"bShowCtrls"}},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(platform::ToUtf8(e.name));
        const DispatchMember* byId = table.Find(e.id, Kinds(e.kind));
        ASSERT_NE(byId, nullptr);
        EXPECT_EQ(byId->name, e.name);
        EXPECT_EQ(byId, table.FindByName(e.name, Kinds(e.kind)));
        EXPECT_EQ(table.IdOfName(e.name), e.id);
        EXPECT_EQ(ParamNames(*byId), e.params);
    }

    // Directions and types of the [out] members.
    const DispatchMember* location = table.Find(1253, Kinds(DispatchKind::Method));
    ASSERT_NE(location, nullptr);
    EXPECT_EQ(location->InCount(), 2u);
    EXPECT_EQ(location->params[0].type, ParamType::Int32);
    EXPECT_EQ(location->params[2].direction, ParamDirection::Out);
    EXPECT_EQ(location->params[2].type, ParamType::Double);
    const DispatchMember* screen = table.FindByName(u"GetScreenLocation", 1);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->params[3].direction, ParamDirection::Out);
    EXPECT_EQ(screen->params[4].type, ParamType::Int32);
    EXPECT_EQ(table.Find(1040, Kinds(DispatchKind::Method))->params[0].type, ParamType::Object);

    // Read-only properties have no put; methods are not properties.
    EXPECT_EQ(table.Find(106, Kinds(DispatchKind::PropertyPut)), nullptr);
    EXPECT_EQ(table.Find(115, Kinds(DispatchKind::PropertyPut)), nullptr);
    EXPECT_EQ(table.Find(1001, Kinds(DispatchKind::PropertyGet)), nullptr);

    // The whole interface: 18 properties (9 of them writable) and 108 methods,
    // every identifier and name once; unused identifiers are unknown.
    std::set<DISPID> ids;
    std::size_t methods = 0, gets = 0, puts = 0;
    for (const DispatchMember& m : table.Members()) {
        ids.insert(m.id);
        methods += m.kind == DispatchKind::Method ? 1 : 0;
        gets += m.kind == DispatchKind::PropertyGet ? 1 : 0;
        puts += m.kind == DispatchKind::PropertyPut ? 1 : 0;
    }
    EXPECT_EQ(methods, 108u);
    EXPECT_EQ(gets, 18u);
    EXPECT_EQ(puts, 9u);
    EXPECT_EQ(ids.size(), 126u);
    for (DISPID unused : {1006, 1031, 1102, 1258, 1267, 116}) {
        EXPECT_EQ(ids.count(unused), 0u) << unused;
    }
    EXPECT_EQ(table.IdOfName(u"vertexmark3d"), 1030);  // names match in any case
}

TEST(AutomationTable, MembersWithoutTheirWorkAnswerNeutrally) {
    const ComPtr<SX_ControlAutomation> automation = MakeRef<SX_ControlAutomation>(nullptr);
    InvokeResult r;
    const auto call = [&](std::u16string_view name, std::vector<Variant> args,
                          DispatchKind kind = DispatchKind::Method) {
        r.Clear();
        return automation->InvokeByName(name, kind, args, r);
    };

    // Identifiers and units that do not exist are -1.
    EXPECT_EQ(call(u"VertexMark3D", {1.0, 2.0, 3.0, std::int32_t{-1}, u"#ff0000"}), S_OK);
    EXPECT_EQ(r.retval, Variant(std::int32_t{-1}));
    EXPECT_EQ(call(u"Mark3DGetUnit", {std::int32_t{100}}), S_OK);
    EXPECT_EQ(r.retval, Variant(std::int32_t{-1}));
    EXPECT_EQ(call(u"HotlinkMark3D", {0.0, 0.0, 0.0, std::int32_t{0}, u""}), S_OK);
    EXPECT_EQ(r.retval, Variant(std::int32_t{-1}));
    // Booleans false, doubles 0.0, texts empty, counts 0, objects none.
    EXPECT_EQ(call(u"SetMode", {std::int32_t{1}}), S_OK);
    EXPECT_EQ(r.retval, Variant(false));
    EXPECT_EQ(call(u"GetAzimuth", {}), S_OK);
    EXPECT_EQ(r.retval, Variant(0.0));
    EXPECT_EQ(call(u"Mark3DGetColor", {std::int32_t{100}}), S_OK);
    EXPECT_EQ(r.retval, Variant(u""));
    EXPECT_EQ(call(u"GetNeighborPanoraCount", {}), S_OK);
    EXPECT_EQ(r.retval, Variant(std::int32_t{0}));
    EXPECT_EQ(call(u"ViewCapture", {}), S_OK);
    EXPECT_EQ(r.retval, Variant(nullptr));
    EXPECT_EQ(call(u"ShapeSetDefaultColor", {u"#00ff00"}), S_OK);
    EXPECT_TRUE(r.retval.IsEmpty());
    // [out] parameters stay at their start values.
    EXPECT_EQ(call(u"Get3DLocation", {std::int32_t{10}, std::int32_t{20}}), S_OK);
    ASSERT_NE(r.Out(u"z"), nullptr);
    EXPECT_EQ(*r.Out(u"x"), Variant(0.0));
    EXPECT_EQ(*r.Out(u"z"), Variant(0.0));
    EXPECT_EQ(call(u"GetScanWorldName", {}), S_OK);
    ASSERT_NE(r.Out(u"scanName"), nullptr);
    EXPECT_EQ(*r.Out(u"scanName"), Variant(u""));
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
    EXPECT_EQ(call(u"NoSuchMember", {}), DISP_E_UNKNOWNNAME);
    r.Clear();
    EXPECT_EQ(automation->Invoke(1006, DispatchKind::Method, {}, r), DISP_E_MEMBERNOTFOUND);
}
