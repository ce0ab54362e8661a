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

// "Name id kinds": kinds are g (get), p (put) and m (method).
using Listing = std::vector<std::u16string>;

// The problems of one table: listed members missing or misspelt, and
// placeholders.
std::vector<std::string> Problems(const DispatchTable& table, const Listing& listing) {
    std::vector<std::string> problems;
    for (const std::u16string& line : listing) {
        std::istringstream in(ToUtf8(line));
        std::string name;
        DISPID id = 0;
        std::string kinds;
        in >> name >> id >> kinds;
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
    const auto problems = Problems(Probe::table, {u"Done 1 m", u"Later 2 m", u"Gone 3 gp"});
    EXPECT_EQ(problems, (std::vector<std::string>{"missing Gone 3 g", "missing Gone 3 p",
                                                  "placeholder Later"}));
    // A member under another identifier or spelling counts as missing.
    EXPECT_EQ(Problems(Probe::table, {u"Done 7 m", u"done 1 m"}).size(), 3u);
}

TEST(DispatchTables, EveryObjectHasAllItsMembersAndNoPlaceholder) {
    const Listing control = {u"Enabled -514 gp",
                             u"ReadyState -525 gp",
                             u"src 100 gp",
                             u"CubeMap 101 gp",
                             u"RaiseCameraEvents 102 gp",
                             u"AnimateTransitions 103 gp",
                             u"Views 104 g",
                             u"MarksLocal 105 g",
                             u"srcPath 106 g",
                             u"helpPath 107 g",
                             u"MeasureEnabled 108 g",
                             u"HasNeighborPanoras 109 g",
                             u"SiteMap 110 g",
                             u"DefaultUnit 111 gp",
                             u"MaxNumNeighborsToDisplay 112 gp",
                             u"ShowNeighborLabels 113 gp",
                             u"InstallPath 114 g",
                             u"MaxPointError 115 g",
                             u"SetMode 1001 m",
                             u"SetMouseAction 1002 m",
                             u"GetDownladProgress 1003 m",
                             u"PauseDownload 1004 m",
                             u"SetAlphaMode 1005 m",
                             u"GetAzimuth 1010 m",
                             u"GetAltitude 1011 m",
                             u"SetAzimuth 1012 m",
                             u"SetAltitude 1013 m",
                             u"GetZoom 1014 m",
                             u"SetZoom 1015 m",
                             u"SetAltitudeAzimuth 1016 m",
                             u"FocusOnMark3D 1017 m",
                             u"SetSpin 1020 m",
                             u"ClearCubeMap 1025 m",
                             u"VertexMark3D 1030 m",
                             u"DistanceMark3D 1032 m",
                             u"Mark3DHide 1035 m",
                             u"Mark3DRemove 1036 m",
                             u"ViewCapture 1040 m",
                             u"ViewNew 1041 m",
                             u"ViewApply 1042 m",
                             u"ViewUnlock 1043 m",
                             u"ViewGetCurrent 1044 m",
                             u"Redraw 1050 m",
                             u"SaveMarks 1060 m",
                             u"LoadMarks 1061 m",
                             u"Mark3DGetName 1064 m",
                             u"Mark3DGetTypeName 1065 m",
                             u"Mark3DGetValue 1066 m",
                             u"Mark3DGetXCoord 1067 m",
                             u"Mark3DGetYCoord 1068 m",
                             u"Mark3DGetZCoord 1069 m",
                             u"Mark3DGetUnit 1070 m",
                             u"Mark3DGetColor 1071 m",
                             u"Mark3DSetColor 1082 m",
                             u"Mark3DSetName 1083 m",
                             u"Mark3DSetUnit 1084 m",
                             u"Mark3DSetAsDefault 1085 m",
                             u"Mark3DClear 1086 m",
                             u"ChooseHTMLColor 1100 m",
                             u"ChooseFileName 1101 m",
                             u"RetrieveUserName 1103 m",
                             u"ShapeGetDefaultColor 1200 m",
                             u"ShapeGetDefaultAlpha 1201 m",
                             u"ShapeGetDefaultFillColor 1202 m",
                             u"ShapeGetDefaultLineWidth 1203 m",
                             u"ShapeGetDefaultFontSize 1204 m",
                             u"ShapeSetDefaultColor 1205 m",
                             u"ShapeSetDefaultAlpha 1206 m",
                             u"ShapeSetDefaultFillColor 1207 m",
                             u"ShapeSetDefaultLineWidth 1208 m",
                             u"ShapeSetDefaultFontSize 1209 m",
                             u"ShapeGetDefaultUnit 1210 m",
                             u"ShapeSetDefaultUnit 1211 m",
                             u"ClearViews 1212 m",
                             u"Print 1213 m",
                             u"Mark3DSelectChanged 1214 m",
                             u"ShowHelp 1215 m",
                             u"StopShapeAdd 1216 m",
                             u"ShowAbout 1217 m",
                             u"CheckMarkupFile 1218 m",
                             u"GetNeighborPanoraCount 1219 m",
                             u"FocusOnPanora 1220 m",
                             u"GetNextNeighborPanora 1221 m",
                             u"GetNeighborDistRange 1222 m",
                             u"GetNeighborAltitudeRange 1223 m",
                             u"GetNeighborAzimuthRange 1224 m",
                             u"SetDistNeighborRange 1225 m",
                             u"SetNeighborAltitudeRange 1226 m",
                             u"SetNeighborAzimuthRange 1227 m",
                             u"IsRangeUsed 1229 m",
                             u"ResetNeighborRanges 1228 m",
                             u"ShapeSetCurrentUnit 1230 m",
                             u"SetEnableDrawNeighbor 1231 m",
                             u"LoadSelectedPanora 1232 m",
                             u"HideAllNeighbors 1233 m",
                             u"SetNeighborVisibility 1234 m",
                             u"GetNextNeighborPanoraByDistance 1235 m",
                             u"GetNextNeighborPanoraByAlpha 1236 m",
                             u"HotlinkMark3D 1237 m",
                             u"GetFileNameFromFileDialog 1238 m",
                             u"IsNeighborVisible 1239 m",
                             u"SaveAsJpg 1240 m",
                             u"LoadHotlinks 1241 m",
                             u"GetCategoryCount 1242 m",
                             u"GetNextCategory 1243 m",
                             u"GetHotlinksCount 1244 m",
                             u"GetNextHotlink 1245 m",
                             u"DisplaySelectedHotlinks 1246 m",
                             u"AddHotlink 1247 m",
                             u"RemoveHotlink 1248 m",
                             u"ReplaceHotlinkImage 1249 m",
                             u"AddHotlinks 1250 m",
                             u"RemoveHotlinks 1251 m",
                             u"GetHotLinks 1252 m",
                             u"Get3DLocation 1253 m",
                             u"ReplaceHotlinksImage 1254 m",
                             u"GetScreenLocation 1255 m",
                             u"PointCamera 1256 m",
                             u"EditHotlink 1257 m",
                             u"GetScanWorldName 1260 m",
                             u"AddHotlink3D 1261 m",
                             u"LoadCompanyLogo 1262 m",
                             u"SetPanoraLogoVisibility 1263 m",
                             u"SaveMarkup 1264 m",
                             u"GetVisibleNeighborPanoraCount 1265 m",
                             u"ShowHideNavigationControls 1266 m"};
    const Listing view = {u"ID 100 g",
                          u"Name 101 gp",
                          u"CreatedOn 102 gp",
                          u"UserName 103 gp",
                          u"Apply 1001 m",
                          u"Capture 1002 m",
                          u"GetMSXMLNode 1010 m",
                          u"StopShapeAdd 1017 m",
                          u"AddShape 1020 m",
                          u"AddShapeByType 1021 m",
                          u"AddShapeText 1022 m",
                          u"ShapeSetColor 1023 m",
                          u"ShapeSetAlpha 1024 m",
                          u"ShapeSetFillColor 1025 m",
                          u"ShapeSetLineWidth 1026 m",
                          u"ShapeSetPosition 1028 m",
                          u"ShapeSetDimension 1029 m",
                          u"ShapeSetText 1030 m",
                          u"ShapeSetFontSize 1031 m",
                          u"ShapeGetColor 1040 m",
                          u"ShapeGetAlpha 1041 m",
                          u"ShapeGetFillColor 1042 m",
                          u"ShapeGetLineWidth 1043 m",
                          u"ShapeGetPositionX 1044 m",
                          u"ShapeGetPositionY 1045 m",
                          u"ShapeGetWidth 1046 m",
                          u"ShapeGetHeight 1047 m",
                          u"ShapeGetTypeName 1048 m",
                          u"ShapeGetFontSize 1049 m",
                          u"ShapeGetText 1050 m",
                          u"ShapeGetHREF 1051 m",
                          u"ShapeSetHREF 1052 m",
                          u"ShapeGetUnit 1053 m",
                          u"ShapeSetUnit 1054 m",
                          u"ShapeGetType 1055 m",
                          u"GetFirstShape 1060 m",
                          u"GetNextShape 1061 m",
                          u"GetMarkupCount 1062 m",
                          u"ShapeSelect 1070 m",
                          u"ShapeDelete 1071 m",
                          u"ShapeSetPropertiesAsDefault 1080 m",
                          u"ShapeResetProperties 1081 m",
                          u"ShapeGetUserName 1090 m",
                          u"ShapeGetTime 1091 m",
                          u"ShapeSetUserName 1092 m",
                          u"ShapeSetTime 1093 m",
                          u"OnContainerScroll 1094 m",
                          u"RestoreDefaultShape 1095 m",
                          u"GetHorizAngle 1100 m",
                          u"GetVertAngle 1101 m",
                          u"GetZoomAngle 1102 m",
                          u"CreateShapeMark 1105 m",
                          u"CreateShapeTextMark 1106 m",
                          u"CreateShapePosition 1107 m",
                          u"CreateShapeDistance 1108 m"};
    const Listing views = {u"_NewEnum -4 g",      u"Item 0 g",
                           u"count 1 g",          u"Add 2 m",
                           u"Remove 3 m",         u"Clear 4 m",
                           u"Find 5 m",           u"Next 6 m",
                           u"GetCurrentView 7 m", u"SetCurrentViewNull 8 m",
                           u"GetViewByName 9 m"};
    const Listing hotlink = {u"Link 100 gp",           u"Label 101 gp",    u"ImageFile 102 gp",
                             u"UniqueIdForApp 103 gp", u"Category 104 gp", u"GetPosX 1001 m",
                             u"GetPosY 1002 m",        u"GetPosZ 1003 m"};
    const Listing hotlinks = {u"Add 1 m", u"Remove 2 m", u"Clear 4 m"};
    const Listing reply = {u"EventProcessingComplete 1000 gp"};

    EXPECT_EQ(Problems(control::Automation::Table(), control), std::vector<std::string>{});
    EXPECT_EQ(Problems(SxView::Table(), view), std::vector<std::string>{});
    EXPECT_EQ(Problems(SxViews::Table(), views), std::vector<std::string>{});
    EXPECT_EQ(Problems(view3d::SX_Hotlink::Table(), hotlink), std::vector<std::string>{});
    EXPECT_EQ(Problems(view3d::SX_Hotlinks::Table(), hotlinks), std::vector<std::string>{});
    EXPECT_EQ(Problems(view3d::EventHandlerReturn::Table(), reply), std::vector<std::string>{});
}
