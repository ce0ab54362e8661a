#include "control/SX_ControlEvents.h"

namespace SX_ControlEvents {

namespace {

constexpr std::string_view kHotlinkClickParams[] = {"url", "Label", "UniqueIdForApp", "Category",
                                                    "pEventHandlerReturn"};

EventInfo Make(std::string_view name, platform::DISPID id,
               std::initializer_list<std::string_view> params) {
    EventInfo info{name, id, {}, 0};
    for (std::string_view p : params) {
        info.params[info.paramCount++] = p;
    }
    return info;
}

EventInfo HotlinkClick(std::string_view name, platform::DISPID id) {
    EventInfo info{name, id, {}, 0};
    for (std::string_view p : kHotlinkClickParams) {
        info.params[info.paramCount++] = p;
    }
    return info;
}

EventInfo HotlinkData(std::string_view name, platform::DISPID id) {
    return Make(name, id, {"Link", "Label", "Category", "UniqueIdForApp", "ImageFile"});
}

std::array<EventInfo, 36> BuildTable() {
    return {{
        Make("ControlInitialized", kControlInitialized, {}),
        Make("MouseEvent", kMouseEvent, {"eventType", "x", "y"}),
        Make("DownloadComplete", kDownloadComplete, {}),
        Make("DownloadInProgress", kDownloadInProgress, {}),
        Make("CameraChanged", kCameraChanged, {}),
        Make("PointPicked", kPointPicked, {"x", "y", "z"}),
        Make("ViewLockChanged", kViewLockChanged, {"lockFlag"}),
        Make("ViewAdded", kViewAdded, {"viewName", "viewID"}),
        Make("Select2DChanged", kSelect2DChanged, {"objID"}),
        Make("Shape2DAdded", kShape2DAdded, {"objID"}),
        Make("Mark3DAdded", kMark3DAdded, {"objID"}),
        Make("Shape2DRemoved", kShape2DRemoved, {"objID"}),
        Make("MenuEvent", kMenuEvent, {"mode"}),
        Make("Shape2DDelete", kShape2DDelete, {"objID"}),
        Make("Stop2DEdit", kStop2DEdit, {}),
        Make("Stop2DAdd", kStop2DAdd, {}),
        Make("Mark3DDeleted", kMark3DDeleted, {"objID"}),
        Make("StopMeasure", kStopMeasure, {}),
        Make("UpdateText", kUpdateText, {"text"}),
        Make("AzimuthChanged", kAzimuthChanged, {}),
        Make("OpenNewPanora", kOpenNewPanora, {"url"}),
        Make("UpdateNeighborList", kUpdateNeighborList, {}),
        Make("UpdateNeighborRanges", kUpdateNeighborRanges, {}),
        Make("NewAPIAdded", kNewAPIAdded, {"Index"}),
        HotlinkClick("HotLinkClicked", kHotLinkClicked),
        HotlinkClick("HotlinkRightClicked", kHotlinkRightClicked),
        HotlinkData("HotlinkAdded", kHotlinkAdded),
        HotlinkData("HotlinkRemoved", kHotlinkRemoved),
        Make("HotlinkChanged", kHotlinkChanged,
             {"Link", "Label", "Category", "UniqueIdForApp", "ImageFile", "newLink", "newLabel",
              "newCategory", "newUniqueIdForApp", "newImageFile"}),
        HotlinkClick("HotlinkDoubleClicked", kHotlinkDoubleClicked),
        Make("ShowNeighbors", kShowNeighbors, {"IsShowNeighbors"}),
        Make("MarkupsLoaded", kMarkupsLoaded, {}),
        Make("ShapeSelected", kShapeSelected, {"objID"}),
        Make("PanZoomControls", kPanZoomControls, {"actionID"}),
        Make("Destroying", kDestroying, {}),
        Make("NavigationControlsVisible", kNavigationControlsVisible, {"bShow"}),
    }};
}

}  // namespace

const std::array<EventInfo, 36>& Table() {
    static const std::array<EventInfo, 36> table = BuildTable();
    return table;
}

const EventInfo* Find(platform::DISPID id) {
    for (const EventInfo& e : Table()) {
        if (e.id == id) {
            return &e;
        }
    }
    return nullptr;
}

const EventInfo* Find(std::string_view name) {
    for (const EventInfo& e : Table()) {
        if (e.name == name) {
            return &e;
        }
    }
    return nullptr;
}

}  // namespace SX_ControlEvents
