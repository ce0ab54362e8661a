// ISX_Control members of the 3D marks, units, drawing defaults, the drawing
// overlay, markup files and saved views.

#include "control/SX_ControlAutomation.h"
#include "control/SX_ControlAutomationDeclined.h"

using namespace control_automation;

void SX_ControlAutomation::AddMarkMembers(Builder& b) {
    b
        // later: 3D marks
        .Method(u"FocusOnMark3D", 1017, &Declined<Long, BoolOut>::Call, {u"ID"})
        .Method(u"VertexMark3D", 1030, &DeclinedNoId<Double, Double, Double, Long, Str>::Call,
                {u"vx", u"vy", u"vz", u"unit", u"color"})
        .Method(u"DistanceMark3D", 1032,
                &DeclinedNoId<Double, Double, Double, Double, Double, Double, Long, Str>::Call,
                {u"v1x", u"v1y", u"v1z", u"v2x", u"v2y", u"v2z", u"unit", u"color"})
        .Method(u"Mark3DHide", 1035, &Declined<BoolOut>::Call)
        .Method(u"Mark3DRemove", 1036, &Declined<Long, BoolOut>::Call, {u"ID"})
        .Method(u"Mark3DGetName", 1064, &Declined<Long, StrOut>::Call, {u"ID"})
        .Method(u"Mark3DGetTypeName", 1065, &Declined<Long, StrOut>::Call, {u"ID"})
        .Method(u"Mark3DGetValue", 1066, &Declined<Long, DoubleOut>::Call, {u"ID"})
        .Method(u"Mark3DGetXCoord", 1067, &Declined<Long, DoubleOut>::Call, {u"ID"})
        .Method(u"Mark3DGetYCoord", 1068, &Declined<Long, DoubleOut>::Call, {u"ID"})
        .Method(u"Mark3DGetZCoord", 1069, &Declined<Long, DoubleOut>::Call, {u"ID"})
        .Method(u"Mark3DGetUnit", 1070, &DeclinedNoId<Long>::Call, {u"ID"})
        .Method(u"Mark3DGetColor", 1071, &Declined<Long, StrOut>::Call, {u"ID"})
        .Method(u"Mark3DSetColor", 1082, &Declined<Long, Str, BoolOut>::Call, {u"ID", u"color"})
        .Method(u"Mark3DSetName", 1083, &Declined<Long, Str, BoolOut>::Call, {u"ID", u"Name"})
        .Method(u"Mark3DSetUnit", 1084, &Declined<Long, Long, BoolOut>::Call, {u"ID", u"unit"})
        .Method(u"Mark3DSetAsDefault", 1085, &Declined<Long, BoolOut>::Call, {u"ID"})
        .Method(u"Mark3DClear", 1086, &Declined<>::Call)
        .Method(u"Mark3DSelectChanged", 1214, &Declined<Long>::Call, {u"ID"})
        // later: units
        .Method(u"ShapeGetDefaultUnit", 1210, &Declined<Long, LongOut>::Call, {u"shapeType"})
        .Method(u"ShapeSetDefaultUnit", 1211, &Declined<Long>::Call, {u"size"})
        .Method(u"ShapeSetCurrentUnit", 1230, &Declined<Long>::Call, {u"size"})
        // later: drawing defaults
        .Method(u"ShapeGetDefaultColor", 1200, &Declined<StrOut>::Call)
        .Method(u"ShapeGetDefaultAlpha", 1201, &Declined<LongOut>::Call)
        .Method(u"ShapeGetDefaultFillColor", 1202, &Declined<StrOut>::Call)
        .Method(u"ShapeGetDefaultLineWidth", 1203, &Declined<DoubleOut>::Call)
        .Method(u"ShapeGetDefaultFontSize", 1204, &Declined<Long, DoubleOut>::Call, {u"shapeType"})
        .Method(u"ShapeSetDefaultColor", 1205, &Declined<Str>::Call, {u"color"})
        .Method(u"ShapeSetDefaultAlpha", 1206, &Declined<Long>::Call, {u"alpha"})
        .Method(u"ShapeSetDefaultFillColor", 1207, &Declined<Str>::Call, {u"color"})
        .Method(u"ShapeSetDefaultLineWidth", 1208, &Declined<Double>::Call, {u"thick"})
        .Method(u"ShapeSetDefaultFontSize", 1209, &Declined<Double>::Call, {u"size"})
        // later: drawing overlay
        .Method(u"StopShapeAdd", 1216, &Declined<>::Call)
        // later: markup file
        .Method(u"SaveMarks", 1060, &Declined<Str, BoolOut>::Call, {u"filaneme"})
        .Method(u"LoadMarks", 1061, &Declined<Str, Bool, BoolOut>::Call,
                {u"filaneme", u"forceServerVersion"})
        .Method(u"ClearViews", 1212, &Declined<Long, BoolOut>::Call, {u"type"})
        .Method(u"CheckMarkupFile", 1218, &DeclinedNoId<Str>::Call, {u"filename"})
        .Method(u"SaveMarkup", 1264, &Declined<>::Call)
        // later: saved views
        .Method(u"ViewCapture", 1040, &Declined<ObjectOut>::Call)
        .Method(u"ViewNew", 1041, &Declined<Double, Double, Double, ObjectOut>::Call,
                {u"longitude", u"latitude", u"angle"})
        .Method(u"ViewApply", 1042, &Declined<Object, Bool, BoolOut>::Call,
                {u"view", u"lockForDrawing"})
        .Method(u"ViewUnlock", 1043, &Declined<Bool>::Call, {u"raiseEvent"})
        .Method(u"ViewGetCurrent", 1044, &Declined<ObjectOut>::Call);
}
