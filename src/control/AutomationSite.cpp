// ISX_Control members of the neighbour stations, navigation
// controls and logos (the browser's dialogs: AutomationBrowser.cpp).

#include "control/Automation.h"
#include "control/AutomationTypes.h"
#include "control/SX_Control.h"
#include "view3d/NavigationControls.h"
#include "view3d/NeighborView.h"
#include "view3d/SX_GraphicWindow.h"

using namespace control_automation;
using namespace platform;

namespace {

// Calls fn(control, args...) while the control exists; success either way.
template <class... A, class F>
auto Always(F fn) {
    return [fn](control::Automation& self, A... args) -> HRESULT {
        if (SX_Control* control = self.Control()) {
            fn(*control, args...);
        }
        return S_OK;
    };
}

// The same, only once the control is complete (ready state 4).
template <class... A, class F>
auto WhenReady(F fn) {
    return [fn](control::Automation& self, A... args) -> HRESULT {
        SX_Control* control = self.Control();
        if (control != nullptr && control->ReadyState() == 4) {
            fn(*control, args...);
        }
        return S_OK;
    };
}

auto RangeGetter(int type) {
    return WhenReady<Bool, DoubleOut>([type](SX_Control& c, Bool from, DoubleOut value) {
        const view3d::NeighborView::Range range = c.Neighbors().GetRange(type);
        *value = IsVariantTrue(from) ? range.from : range.to;
    });
}

auto RangeSetter(int type) {
    return WhenReady<Bool, Double, Double>(
        [type](SX_Control& c, Bool used, Double from, Double to) {
            c.Neighbors().SetRange(type, IsVariantTrue(used), from, to);
        });
}

}  // namespace

void control::Automation::AddSiteMembers(Builder& b) {
    b
        // Neighbour stations.
        .Method(u"GetNeighborPanoraCount", 1219,
                WhenReady<LongOut>([](SX_Control& c, LongOut n) { *n = c.Neighbors().Count(); }))
        .Method(u"FocusOnPanora", 1220,
                Always<Long, BoolOut>([](SX_Control& c, Long i, BoolOut res) {
                    double altitude = 0.0;
                    double azimuth = 0.0;
                    const bool found = c.DataSet().Camera() != nullptr &&
                                       c.Neighbors().DisplayedDirection(i, altitude, azimuth);
                    if (found) {
                        c.CameraTransition(altitude, azimuth);
                    }
                    *res = ToVariantBool(found);
                }),
                {u"Index"})
        .Method(u"GetNextNeighborPanora", 1221,
                WhenReady<Long, StrOut>([](SX_Control& c, Long i, StrOut name) {
                    *name = Bstr(c.Neighbors().NameByIndex(i));
                }),
                {u"Index"})
        .Method(u"GetNeighborDistRange", 1222, RangeGetter(view3d::NeighborView::kDistance),
                {u"bFrom"})
        .Method(u"GetNeighborAltitudeRange", 1223, RangeGetter(view3d::NeighborView::kAltitude),
                {u"bFrom"})
        .Method(u"GetNeighborAzimuthRange", 1224, RangeGetter(view3d::NeighborView::kAzimuth),
                {u"bFrom"})
        .Method(u"SetDistNeighborRange", 1225, RangeSetter(view3d::NeighborView::kDistance),
                {u"checked", u"from", u"to"})
        .Method(u"SetNeighborAltitudeRange", 1226, RangeSetter(view3d::NeighborView::kAltitude),
                {u"checked", u"from", u"to"})
        .Method(u"SetNeighborAzimuthRange", 1227, RangeSetter(view3d::NeighborView::kAzimuth),
                {u"checked", u"from", u"to"})
        .Method(u"IsRangeUsed", 1229,
                WhenReady<Long, BoolOut>([](SX_Control& c, Long t, BoolOut v) {
                    *v = ToVariantBool(c.Neighbors().IsRangeUsed(t));
                }),
                {u"type"})
        .Method(u"ResetNeighborRanges", 1228,
                WhenReady<>([](SX_Control& c) { c.Neighbors().ResetRanges(); }))
        .Method(u"SetEnableDrawNeighbor", 1231, WhenReady<Bool>([](SX_Control& c, Bool v) {
                    c.Neighbors().SetDrawingEnabled(IsVariantTrue(v));
                }),
                {u"Enabled"})
        .Method(u"LoadSelectedPanora", 1232,
                WhenReady<Long>([](SX_Control& c, Long i) { c.Neighbors().OpenDisplayed(i); }),
                {u"Index"})
        .Method(u"HideAllNeighbors", 1233,
                WhenReady<>([](SX_Control& c) { c.Neighbors().HideAll(); }))
        .Method(u"SetNeighborVisibility", 1234, Always<Str, Bool>([](SX_Control& c, Str n, Bool v) {
                    c.Neighbors().SetVisibility(n.Str(), IsVariantTrue(v));
                }),
                {u"neighbor", u"visibility"})
        .Method(u"GetNextNeighborPanoraByDistance", 1235,
                WhenReady<Long, StrOut>([](SX_Control& c, Long i, StrOut name) {
                    *name = Bstr(c.Neighbors().NameByDistance(i));
                }),
                {u"Index"})
        .Method(u"GetNextNeighborPanoraByAlpha", 1236,
                WhenReady<Long, StrOut>([](SX_Control& c, Long i, StrOut name) {
                    *name = Bstr(c.Neighbors().NameByAlpha(i));
                }),
                {u"Index"})
        .Method(u"IsNeighborVisible", 1239,
                Always<Str, BoolOut>([](SX_Control& c, Str n, BoolOut v) {
                    *v = ToVariantBool(c.Neighbors().IsVisible(n.Str()));
                }),
                {u"Name"})
        .Method(
            u"GetVisibleNeighborPanoraCount", 1265,
            WhenReady<LongOut>([](SX_Control& c, LongOut n) { *n = c.Neighbors().PassingCount(); }))
        // Navigation controls and logos.
        .Method(u"LoadCompanyLogo", 1262,
                [](control::Automation& self, Str file) -> HRESULT {
                    SX_Control* c = self.Control();
                    if (c == nullptr) {
                        return S_FALSE;
                    }
                    return c->NavigationControls().LoadCompanyLogo(file.Str()) ? S_OK : E_FAIL;
                },
                {u"filename"})
        .Method(u"SetPanoraLogoVisibility", 1263, Always<Bool>([](SX_Control& c, Bool v) {
                    c.NavigationControls().SetProductLogoVisible(IsVariantTrue(v));
                    SX_GraphicWindow* window = c.GraphicWindow();
                    if (window != nullptr && !window->IsVisible()) {
                        // A view is locked for drawing: the still image is
                        // captured again.
                        window->RequestCapture();
                        c.RenderFrame();
                        c.RefreshOverlay();
                    }
                }),
                {u"bVisible"})
        .Method(u"ShowHideNavigationControls", 1266, Always<Bool>([](SX_Control& c, Bool v) {
                    c.NavigationControls().ShowHide(IsVariantTrue(v));
                }),
                {u"bShowCtrls"});
}
