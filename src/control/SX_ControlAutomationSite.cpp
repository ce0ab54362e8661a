// ISX_Control members of the neighbour stations, hotlinks, navigation
// controls and logos, and the browser's dialogs, help and About box.

#include "control/SX_ControlAutomation.h"
#include "control/SX_ControlAutomationDeclined.h"

using namespace control_automation;

void SX_ControlAutomation::AddSiteMembers(Builder& b) {
    b
        // later: neighbour stations
        .Method(u"GetNeighborPanoraCount", 1219, &Declined<LongOut>::Call)
        .Method(u"FocusOnPanora", 1220, &Declined<Long, BoolOut>::Call, {u"Index"})
        .Method(u"GetNextNeighborPanora", 1221, &Declined<Long, StrOut>::Call, {u"Index"})
        .Method(u"GetNeighborDistRange", 1222, &Declined<Bool, DoubleOut>::Call, {u"bFrom"})
        .Method(u"GetNeighborAltitudeRange", 1223, &Declined<Bool, DoubleOut>::Call, {u"bFrom"})
        .Method(u"GetNeighborAzimuthRange", 1224, &Declined<Bool, DoubleOut>::Call, {u"bFrom"})
        .Method(u"SetDistNeighborRange", 1225, &Declined<Bool, Double, Double>::Call,
                {u"checked", u"from", u"to"})
        .Method(u"SetNeighborAltitudeRange", 1226, &Declined<Bool, Double, Double>::Call,
                {u"checked", u"from", u"to"})
        .Method(u"SetNeighborAzimuthRange", 1227, &Declined<Bool, Double, Double>::Call,
                {u"checked", u"from", u"to"})
        .Method(u"IsRangeUsed", 1229, &Declined<Long, BoolOut>::Call, {u"type"})
        .Method(u"ResetNeighborRanges", 1228, &Declined<>::Call)
        .Method(u"SetEnableDrawNeighbor", 1231, &Declined<Bool>::Call, {u"Enabled"})
        .Method(u"LoadSelectedPanora", 1232, &Declined<Long>::Call, {u"Index"})
        .Method(u"HideAllNeighbors", 1233, &Declined<>::Call)
        .Method(u"SetNeighborVisibility", 1234, &Declined<Str, Bool>::Call,
                {u"neighbor", u"visibility"})
        .Method(u"GetNextNeighborPanoraByDistance", 1235, &Declined<Long, StrOut>::Call, {u"Index"})
        .Method(u"GetNextNeighborPanoraByAlpha", 1236, &Declined<Long, StrOut>::Call, {u"Index"})
        .Method(u"IsNeighborVisible", 1239, &Declined<Str, BoolOut>::Call, {u"Name"})
        .Method(u"GetVisibleNeighborPanoraCount", 1265, &Declined<LongOut>::Call)
        // later: hotlinks
        .Method(u"HotlinkMark3D", 1237, &DeclinedNoId<Double, Double, Double, Long, Str>::Call,
                {u"vx", u"vy", u"vz", u"unit", u"color"})
        .Method(u"LoadHotlinks", 1241, &Declined<Str>::Call, {u"file"})
        .Method(u"GetCategoryCount", 1242, &Declined<LongOut>::Call)
        .Method(u"GetNextCategory", 1243, &Declined<Long, StrOut>::Call, {u"Index"})
        .Method(u"GetHotlinksCount", 1244, &Declined<Str, LongOut>::Call, {u"Category"})
        .Method(u"GetNextHotlink", 1245, &Declined<Str, Long, ObjectOut>::Call,
                {u"Category", u"Index"})
        .Method(u"DisplaySelectedHotlinks", 1246, &Declined<Str>::Call, {u"Category"})
        .Method(u"AddHotlink", 1247, &Declined<Str, Str, Str, Str, Str, Long, Long>::Call,
                {u"Link", u"Label", u"Category", u"UniqueIdForApp", u"imageLocation", u"screenX",
                 u"screenY"})
        .Method(u"RemoveHotlink", 1248, &Declined<Str>::Call, {u"UniqueIdForApp"})
        .Method(u"ReplaceHotlinkImage", 1249, &Declined<Str, Str>::Call,
                {u"UniqueIdForApp", u"imageLocation"})
        .Method(u"AddHotlinks", 1250, &Declined<Object>::Call, {u"pHotlinks"})
        .Method(u"RemoveHotlinks", 1251, &Declined<Object>::Call, {u"pHotlinks"})
        .Method(u"GetHotLinks", 1252, &Declined<Str, ObjectOut>::Call, {u"Category"})
        .Method(u"ReplaceHotlinksImage", 1254, &Declined<Object, Str>::Call,
                {u"pHotlinks", u"imageLocation"})
        .Method(u"EditHotlink", 1257, &Declined<Str, Str, Str, Str, Str>::Call,
                {u"olduniqueIdForApp", u"newUniqueIdForApp", u"Link", u"Label", u"Category"})
        .Method(u"AddHotlink3D", 1261,
                &Declined<Str, Str, Str, Str, Str, Double, Double, Double>::Call,
                {u"Link", u"Label", u"Category", u"UniqueIdForApp", u"imageLocation", u"vx", u"vy",
                 u"vz"})
        // later: navigation controls and logos
        .Method(u"LoadCompanyLogo", 1262, &Declined<Str>::Call, {u"filename"})
        .Method(u"SetPanoraLogoVisibility", 1263, &Declined<Bool>::Call, {u"bVisible"})
        .Method(u"ShowHideNavigationControls", 1266, &Declined<Bool>::Call, {u"bShowCtrls"})
        // later: browser dialogs, help and About
        .Method(u"ChooseHTMLColor", 1100, &Declined<Str, StrOut>::Call, {u"srcColor"})
        .Method(u"ChooseFileName", 1101, &Declined<Str, Str, Bool, StrOut>::Call,
                {u"title", u"filter", u"saveDlg"})
        .Method(u"RetrieveUserName", 1103, &Declined<StrOut>::Call)
        .Method(u"ShowHelp", 1215, &Declined<>::Call)
        .Method(u"ShowAbout", 1217, &Declined<>::Call)
        .Method(u"GetFileNameFromFileDialog", 1238, &Declined<StrOut>::Call);
}
