#pragma once
// The dispatch identifiers of the control's events interface. Every layer
// that fires an event through its host names it by these; the names and
// parameter lists of the events stay with the control (SX_ControlEvents.h).
// Identifiers 7, 8, 9, 15 and 24 are not used.
#include "platform/DispatchTable.h"

namespace SX_ControlEvents {

enum Id : platform::DISPID {
    kControlInitialized = 1,
    kMouseEvent = 2,
    kDownloadComplete = 3,
    kDownloadInProgress = 4,
    kCameraChanged = 5,
    kPointPicked = 6,
    kViewLockChanged = 10,
    kViewAdded = 11,
    kSelect2DChanged = 12,
    kShape2DAdded = 13,
    kMark3DAdded = 14,
    kShape2DRemoved = 16,
    kMenuEvent = 17,
    kShape2DDelete = 18,
    kStop2DEdit = 19,
    kStop2DAdd = 20,
    kMark3DDeleted = 21,
    kStopMeasure = 22,
    kUpdateText = 23,
    kAzimuthChanged = 25,
    kOpenNewPanora = 26,
    kUpdateNeighborList = 27,
    kUpdateNeighborRanges = 28,
    kNewAPIAdded = 29,
    kHotLinkClicked = 30,
    kHotlinkRightClicked = 31,
    kHotlinkAdded = 32,
    kHotlinkRemoved = 33,
    kHotlinkChanged = 34,
    kHotlinkDoubleClicked = 35,
    kShowNeighbors = 36,
    kMarkupsLoaded = 37,
    kShapeSelected = 38,
    kPanZoomControls = 39,
    kDestroying = 40,
    kNavigationControlsVisible = 41,
};

}  // namespace SX_ControlEvents
