// Every automation object's dispatch table: each member a page may call is
// there under its exact name, identifier and kinds, and none of them is a
// placeholder that answers without doing its work.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "control/Automation.h"
#include "persist/SxView.h"
#include "persist/SxViews.h"
#include "platform/DispatchTableBuilder.h"
#include "platform/Text.h"
#include "view3d/EventHandlerReturn.h"
#include "view3d/SX_Hotlink.h"
#include "view3d/SX_Hotlinks.h"

using namespace platform;

namespace {

// "Name id kinds;" entries: kinds are g (get), p (put) and m (method).
using Listing = std::string;

// The problems of one table: listed members missing or misspelt, and
// placeholders.
std::vector<std::string> Problems(const DispatchTable& table, const Listing& listing) {
    std::vector<std::string> problems;
    std::istringstream in(listing);
    std::string name;
    DISPID id = 0;
    std::string kinds;
    while (in >> name >> id >> kinds) {
        kinds.pop_back();  // the ';'
        for (const char k : kinds) {
            const DispatchKind kind = k == 'g'   ? DispatchKind::PropertyGet
                                      : k == 'p' ? DispatchKind::PropertyPut
                                                 : DispatchKind::Method;
            const DispatchMember* member = table.Find(id, Kinds(kind));
            if (member == nullptr || ToUtf8(member->name) != name) {
                problems.push_back("missing " + name + " " + std::to_string(id) + " " + k);
            }
        }
    }
    for (const DispatchMember& member : table.Members()) {
        if (member.placeholder) {
            problems.push_back("placeholder " + ToUtf8(member.name));
        }
    }
    return problems;
}

class Probe : public Dispatchable {
  public:
    const DispatchTable& GetDispatchTable() const override { return table; }
    static inline DispatchTable table;
};

}  // namespace

TEST(DispatchTables, APlaceholderOrADroppedMemberIsFound) {
    Probe::table = DispatchTableBuilder<Probe>()
                       .Method(u"Done", 1, [](Probe&, std::int32_t* r) { return *r = 1, S_OK; })
                       .Placeholder(u"Later", 2, DispatchKind::Method,
                                    [](Probe&, std::int32_t*) { return S_OK; })
                       .Build();
    const auto problems = Problems(Probe::table, "Done 1 m; Later 2 m; Gone 3 gp;");
    EXPECT_EQ(problems, (std::vector<std::string>{"missing Gone 3 g", "missing Gone 3 p",
                                                  "placeholder Later"}));
    // A member under another identifier or spelling counts as missing.
    EXPECT_EQ(Problems(Probe::table, "Done 7 m; done 1 m;").size(), 3u);
}

TEST(DispatchTables, EveryObjectHasAllItsMembersAndNoPlaceholder) {
    const char* const control = R"(
Enabled -514 gp; ReadyState -525 gp; src 100 gp; CubeMap 101 gp; RaiseCameraEvents 102 gp;
AnimateTransitions 103 gp; Views 104 g; MarksLocal 105 g; srcPath 106 g; helpPath 107 g;
MeasureEnabled 108 g; HasNeighborPanoras 109 g; SiteMap 110 g; DefaultUnit 111 gp;
MaxNumNeighborsToDisplay 112 gp; ShowNeighborLabels 113 gp; InstallPath 114 g;
MaxPointError 115 g; SetMode 1001 m; SetMouseAction 1002 m; GetDownladProgress 1003 m;
PauseDownload 1004 m; SetAlphaMode 1005 m; GetAzimuth 1010 m; GetAltitude 1011 m;
SetAzimuth 1012 m; SetAltitude 1013 m; GetZoom 1014 m; SetZoom 1015 m;
SetAltitudeAzimuth 1016 m; FocusOnMark3D 1017 m; SetSpin 1020 m; ClearCubeMap 1025 m;
VertexMark3D 1030 m; DistanceMark3D 1032 m; Mark3DHide 1035 m; Mark3DRemove 1036 m;
ViewCapture 1040 m; ViewNew 1041 m; ViewApply 1042 m; ViewUnlock 1043 m;
ViewGetCurrent 1044 m; Redraw 1050 m; SaveMarks 1060 m; LoadMarks 1061 m;
Mark3DGetName 1064 m; Mark3DGetTypeName 1065 m; Mark3DGetValue 1066 m;
Mark3DGetXCoord 1067 m; Mark3DGetYCoord 1068 m; Mark3DGetZCoord 1069 m;
Mark3DGetUnit 1070 m; Mark3DGetColor 1071 m; Mark3DSetColor 1082 m; Mark3DSetName 1083 m;
Mark3DSetUnit 1084 m; Mark3DSetAsDefault 1085 m; Mark3DClear 1086 m;
ChooseHTMLColor 1100 m; ChooseFileName 1101 m; RetrieveUserName 1103 m;
ShapeGetDefaultColor 1200 m; ShapeGetDefaultAlpha 1201 m; ShapeGetDefaultFillColor 1202 m;
ShapeGetDefaultLineWidth 1203 m; ShapeGetDefaultFontSize 1204 m;
ShapeSetDefaultColor 1205 m; ShapeSetDefaultAlpha 1206 m; ShapeSetDefaultFillColor 1207 m;
ShapeSetDefaultLineWidth 1208 m; ShapeSetDefaultFontSize 1209 m;
ShapeGetDefaultUnit 1210 m; ShapeSetDefaultUnit 1211 m; ClearViews 1212 m; Print 1213 m;
Mark3DSelectChanged 1214 m; ShowHelp 1215 m; StopShapeAdd 1216 m; ShowAbout 1217 m;
CheckMarkupFile 1218 m; GetNeighborPanoraCount 1219 m; FocusOnPanora 1220 m;
GetNextNeighborPanora 1221 m; GetNeighborDistRange 1222 m; GetNeighborAltitudeRange 1223 m;
GetNeighborAzimuthRange 1224 m; SetDistNeighborRange 1225 m;
SetNeighborAltitudeRange 1226 m; SetNeighborAzimuthRange 1227 m; IsRangeUsed 1229 m;
ResetNeighborRanges 1228 m; ShapeSetCurrentUnit 1230 m; SetEnableDrawNeighbor 1231 m;
LoadSelectedPanora 1232 m; HideAllNeighbors 1233 m; SetNeighborVisibility 1234 m;
GetNextNeighborPanoraByDistance 1235 m; GetNextNeighborPanoraByAlpha 1236 m;
HotlinkMark3D 1237 m; GetFileNameFromFileDialog 1238 m; IsNeighborVisible 1239 m;
SaveAsJpg 1240 m; LoadHotlinks 1241 m; GetCategoryCount 1242 m; GetNextCategory 1243 m;
GetHotlinksCount 1244 m; GetNextHotlink 1245 m; DisplaySelectedHotlinks 1246 m;
AddHotlink 1247 m; RemoveHotlink 1248 m; ReplaceHotlinkImage 1249 m; AddHotlinks 1250 m;
RemoveHotlinks 1251 m; GetHotLinks 1252 m; Get3DLocation 1253 m;
ReplaceHotlinksImage 1254 m; GetScreenLocation 1255 m; PointCamera 1256 m;
EditHotlink 1257 m; GetScanWorldName 1260 m; AddHotlink3D 1261 m; LoadCompanyLogo 1262 m;
SetPanoraLogoVisibility 1263 m; SaveMarkup 1264 m; GetVisibleNeighborPanoraCount 1265 m;
ShowHideNavigationControls 1266 m;)";
    const char* const view = R"(
ID 100 g; Name 101 gp; CreatedOn 102 gp; UserName 103 gp; Apply 1001 m; Capture 1002 m;
GetMSXMLNode 1010 m; StopShapeAdd 1017 m; AddShape 1020 m; AddShapeByType 1021 m;
AddShapeText 1022 m; ShapeSetColor 1023 m; ShapeSetAlpha 1024 m; ShapeSetFillColor 1025 m;
ShapeSetLineWidth 1026 m; ShapeSetPosition 1028 m; ShapeSetDimension 1029 m;
ShapeSetText 1030 m; ShapeSetFontSize 1031 m; ShapeGetColor 1040 m; ShapeGetAlpha 1041 m;
ShapeGetFillColor 1042 m; ShapeGetLineWidth 1043 m; ShapeGetPositionX 1044 m;
ShapeGetPositionY 1045 m; ShapeGetWidth 1046 m; ShapeGetHeight 1047 m;
ShapeGetTypeName 1048 m; ShapeGetFontSize 1049 m; ShapeGetText 1050 m; ShapeGetHREF 1051 m;
ShapeSetHREF 1052 m; ShapeGetUnit 1053 m; ShapeSetUnit 1054 m; ShapeGetType 1055 m;
GetFirstShape 1060 m; GetNextShape 1061 m; GetMarkupCount 1062 m; ShapeSelect 1070 m;
ShapeDelete 1071 m; ShapeSetPropertiesAsDefault 1080 m; ShapeResetProperties 1081 m;
ShapeGetUserName 1090 m; ShapeGetTime 1091 m; ShapeSetUserName 1092 m; ShapeSetTime 1093 m;
OnContainerScroll 1094 m; RestoreDefaultShape 1095 m; GetHorizAngle 1100 m;
GetVertAngle 1101 m; GetZoomAngle 1102 m; CreateShapeMark 1105 m;
CreateShapeTextMark 1106 m; CreateShapePosition 1107 m; CreateShapeDistance 1108 m;)";
    const char* const views = R"(
_NewEnum -4 g; Item 0 g; count 1 g; Add 2 m; Remove 3 m; Clear 4 m; Find 5 m; Next 6 m;
GetCurrentView 7 m; SetCurrentViewNull 8 m; GetViewByName 9 m;)";
    const char* const hotlink = R"(
Link 100 gp; Label 101 gp; ImageFile 102 gp; UniqueIdForApp 103 gp; Category 104 gp;
GetPosX 1001 m; GetPosY 1002 m; GetPosZ 1003 m;)";
    const char* const hotlinks = R"(
Add 1 m; Remove 2 m; Clear 4 m;)";
    const char* const reply = R"(
EventProcessingComplete 1000 gp;)";

    EXPECT_EQ(Problems(control::Automation::Table(), control), std::vector<std::string>{});
    EXPECT_EQ(Problems(SxView::Table(), view), std::vector<std::string>{});
    EXPECT_EQ(Problems(SxViews::Table(), views), std::vector<std::string>{});
    EXPECT_EQ(Problems(view3d::SX_Hotlink::Table(), hotlink), std::vector<std::string>{});
    EXPECT_EQ(Problems(view3d::SX_Hotlinks::Table(), hotlinks), std::vector<std::string>{});
    EXPECT_EQ(Problems(view3d::EventHandlerReturn::Table(), reply), std::vector<std::string>{});
}
