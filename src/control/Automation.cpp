// The ISX_Control dispatch table: the properties, the load path, the camera
// and the view window. The other areas are added by the Marks and Site files.

#include "control/Automation.h"

#include "control/AutomationTypes.h"
#include "control/SX_Control.h"
#include "glcore/SX_OpenGLCamera.h"
#include "persist/SxViews.h"
#include "station/SX_PanoramaDataSet.h"
#include "view3d/NeighborView.h"
#include "view3d/SX_GraphicWindow.h"

using namespace platform;
using namespace control_automation;
using StraleLib::SX_OpenGLCamera;

namespace {

// Calls fn(control, args...) when the control is still there; otherwise the
// call is declined: success, results untouched.
template <class... A, class F>
auto Forward(F fn) {
    return [fn](control::Automation& self, A... args) -> HRESULT {
        SX_Control* control = self.Control();
        return control != nullptr ? fn(*control, args...) : S_OK;
    };
}

// Calls fn(camera, args...) when the control is complete; otherwise the call
// is declined.
template <class... A, class F>
auto OnCamera(F fn) {
    return [fn](control::Automation& self, A... args) -> HRESULT {
        SX_Control* control = self.Control();
        SX_OpenGLCamera* camera = control != nullptr ? control->Camera() : nullptr;
        if (camera != nullptr) {
            fn(*camera, args...);
        }
        return S_OK;
    };
}

// Rows counted from the bottom of the view; S_FALSE when the point is not
// visible (or there is no context to project with).
HRESULT GetScreenLocation(SX_Control& c, double x, double y, double z, std::int32_t* screenX,
                          std::int32_t* screenY) {
    SX_OpenGLCamera* camera = c.Camera();
    SX_GraphicWindow* window = c.GraphicWindow();
    if (camera == nullptr) {
        return S_OK;
    }
    if (window == nullptr || !window->HasOpenGL() || !window->Context()->Acquire()) {
        return S_FALSE;
    }
    int column = 0;
    int row = 0;
    const bool visible = camera->Project(x, y, z, false, column, row);
    window->Context()->Release();
    if (!visible) {
        return S_FALSE;
    }
    *screenX = column;
    *screenY = row;
    return S_OK;
}

// The measured point under a client pixel (rows from the top), or in mode 4
// the viewing ray's point; always success, outputs written only when there
// is a point.
HRESULT Get3DLocation(SX_Control& c, std::int32_t screenX, std::int32_t screenY, double* x,
                      double* y, double* z) {
    SX_GraphicWindow* window = c.GraphicWindow();
    if (c.Camera() == nullptr || window == nullptr) {
        return S_OK;
    }
    double X = 0.0;
    double Y = 0.0;
    double Z = 0.0;
    if (window->PickPoint(screenX, screenY, X, Y, Z)) {
        *x = X;
        *y = Y;
        *z = Z;
    }
    return S_OK;
}

}  // namespace

const DispatchTable& control::Automation::Table() {
    static const DispatchTable table = [] {
        Builder builder;
        AddControlMembers(builder);
        AddMarkMembers(builder);
        AddSiteMembers(builder);
        AddHotlinkMembers(builder);
        AddBrowserMembers(builder);
        return builder.Build();
    }();
    return table;
}

void control::Automation::AddControlMembers(Builder& b) {
    b.Get(u"Enabled", DISPID_ENABLED,
          Forward<BoolOut>([](SX_Control& c, BoolOut v) { return c.get_Enabled(v); }))
        .Put(u"Enabled", DISPID_ENABLED,
             Forward<Bool>([](SX_Control& c, Bool v) { return c.put_Enabled(v); }))
        .Get(u"ReadyState", DISPID_READYSTATE,
             Forward<LongOut>([](SX_Control& c, LongOut v) { return c.get_ReadyState(v); }))
        .Put(u"ReadyState", DISPID_READYSTATE,
             Forward<Long>([](SX_Control& c, Long v) { return c.put_ReadyState(v); }))
        .Get(u"src", 100, Forward<StrOut>([](SX_Control& c, StrOut v) { return c.get_src(v); }))
        .Put(u"src", 100, Forward<Str>([](SX_Control& c, Str v) { return c.put_src(v); }))
        .Get(u"CubeMap", 101,
             Forward<StrOut>([](SX_Control& c, StrOut v) { return c.get_CubeMap(v); }))
        .Put(u"CubeMap", 101, Forward<Str>([](SX_Control& c, Str v) { return c.put_CubeMap(v); }))
        .Get(u"RaiseCameraEvents", 102,
             Forward<BoolOut>([](SX_Control& c, BoolOut v) { return c.get_RaiseCameraEvents(v); }))
        .Put(u"RaiseCameraEvents", 102,
             Forward<Bool>([](SX_Control& c, Bool v) { return c.put_RaiseCameraEvents(v); }))
        .Property(u"AnimateTransitions", 103, Forward<BoolOut>([](SX_Control& c, BoolOut v) {
                      *v = ToVariantBool(c.AnimateTransitions());
                      return S_OK;
                  }),
                  Forward<Bool>([](SX_Control& c, Bool v) {
                      c.SetAnimateTransitions(IsVariantTrue(v));
                      return S_OK;
                  }))
        // The view collection; pending until the control is complete (and
        // once it is gone).
        .Get(u"Views", 104,
             [](control::Automation& self, ObjectOut views) -> HRESULT {
                 SX_Control* control = self.Control();
                 if (control == nullptr) {
                     return E_PENDING;
                 }
                 ComPtr<SxViews> collection;
                 const HRESULT hr = control->get_Views(&collection);
                 *views = collection;
                 return hr;
             })
        .Get(u"MarksLocal", 105,
             Forward<BoolOut>([](SX_Control& c, BoolOut v) { return c.get_MarksLocal(v); }))
        .Get(u"srcPath", 106,
             Forward<StrOut>([](SX_Control& c, StrOut v) { return c.get_srcPath(v); }))
        .Get(u"helpPath", 107,
             Forward<StrOut>([](SX_Control& c, StrOut v) { return c.get_helpPath(v); }))
        .Get(u"MeasureEnabled", 108,
             Forward<BoolOut>([](SX_Control& c, BoolOut v) { return c.get_MeasureEnabled(v); }))
        .Get(u"HasNeighborPanoras", 109, Forward<BoolOut>([](SX_Control& c, BoolOut v) {
                 *v = ToVariantBool(c.DataSet().HasNeighborPanoras());
                 return S_OK;
             }))
        .Get(u"SiteMap", 110,
             Forward<StrOut>([](SX_Control& c, StrOut v) { return c.get_SiteMap(v); }))
        // The default unit; a put keeps the default unit's label.
        .Property(u"DefaultUnit", 111, Forward<LongOut>([](SX_Control& c, LongOut v) {
                      *v = c.DefaultUnit();
                      return S_OK;
                  }),
                  Forward<Long>([](SX_Control& c, Long v) {
                      c.SetDefaultUnit(v);
                      return S_OK;
                  }))
        // Neighbour stations (no ready-state test).
        .Property(u"MaxNumNeighborsToDisplay", 112, Forward<LongOut>([](SX_Control& c, LongOut v) {
                      *v = c.Neighbors().DisplayedCount();
                      return S_OK;
                  }),
                  Forward<Long>([](SX_Control& c, Long v) {
                      c.Neighbors().SetMaxDisplayed(v);
                      return S_OK;
                  }))
        .Property(u"ShowNeighborLabels", 113, Forward<BoolOut>([](SX_Control& c, BoolOut v) {
                      *v = ToVariantBool(c.Neighbors().ShowLabels());
                      return S_OK;
                  }),
                  Forward<Bool>([](SX_Control& c, Bool v) {
                      c.Neighbors().SetShowLabels(IsVariantTrue(v));
                      return S_OK;
                  }))
        .Get(u"InstallPath", 114,
             Forward<StrOut>([](SX_Control& c, StrOut v) { return c.get_InstallPath(v); }))
        .Get(u"MaxPointError", 115, Forward<DoubleOut>([](SX_Control& c, DoubleOut v) {
                 *v = c.DataSet().MaxPointError();
                 return S_OK;
             }))
        // The load path.
        .Method(u"GetDownladProgress", 1003, Forward<DoubleOut>([](SX_Control& c, DoubleOut v) {
                    return c.GetDownladProgress(v);
                }))
        .Method(u"PauseDownload", 1004,
                Forward<Bool>([](SX_Control& c, Bool v) { return c.PauseDownload(v); }), {u"value"})
        .Method(u"ClearCubeMap", 1025, Forward<>([](SX_Control& c) { return c.ClearCubeMap(); }))
        .Method(u"GetScanWorldName", 1260, Forward<StrOut>([](SX_Control& c, StrOut name) {
                    *name = Bstr(c.DataSet().GetScanWorldName());
                    return S_OK;
                }),
                {u"scanName"})
        // The camera: at ready state 4 only (PointCamera turns whenever there
        // is a camera); setters do not redraw.
        .Method(u"GetAzimuth", 1010,
                OnCamera<DoubleOut>([](SX_OpenGLCamera& cam, DoubleOut v) { *v = cam.Azimuth(); }))
        .Method(u"GetAltitude", 1011,
                OnCamera<DoubleOut>([](SX_OpenGLCamera& cam, DoubleOut v) { *v = cam.Altitude(); }))
        .Method(u"SetAzimuth", 1012,
                OnCamera<Double>([](SX_OpenGLCamera& cam, Double v) { cam.SetAzimuth(v); }),
                {u"value"})
        .Method(u"SetAltitude", 1013,
                OnCamera<Double>([](SX_OpenGLCamera& cam, Double v) { cam.SetAltitude(v); }),
                {u"value"})
        .Method(u"GetZoom", 1014, OnCamera<DoubleOut>([](SX_OpenGLCamera& cam, DoubleOut v) {
                    *v = cam.FieldOfView();
                }))
        .Method(u"SetZoom", 1015,
                OnCamera<Double>([](SX_OpenGLCamera& cam, Double v) { cam.SetFieldOfView(v); }),
                {u"value"})
        .Method(u"SetAltitudeAzimuth", 1016,
                OnCamera<Double, Double>([](SX_OpenGLCamera& cam, Double vvalue, Double hvalue) {
                    cam.SetAltitude(vvalue);
                    cam.SetAzimuth(hvalue);
                }),
                {u"vvalue", u"hvalue"})
        .Method(u"SetSpin", 1020, Forward<Double>([](SX_Control& c, Double v) {
                    c.SetSpin(v);
                    return S_OK;
                }),
                {u"value"})
        .Method(u"Get3DLocation", 1253,
                Forward<Long, Long, DoubleOut, DoubleOut, DoubleOut>(&Get3DLocation),
                {u"screenX", u"screenY", u"x", u"y", u"z"})
        .Method(u"GetScreenLocation", 1255,
                Forward<Double, Double, Double, LongOut, LongOut>(&GetScreenLocation),
                {u"x", u"y", u"z", u"screenX", u"screenY"})
        .Method(u"PointCamera", 1256,
                Forward<Double, Double, Double>([](SX_Control& c, Double x, Double y, Double z) {
                    double altitude = 0.0;
                    double azimuth = 0.0;
                    if (c.DataSet().Camera() == nullptr ||
                        !SX_OpenGLCamera::DirectionAngles(x, y, z, altitude, azimuth)) {
                        return S_FALSE;
                    }
                    c.CameraTransition(altitude, azimuth);
                    return S_OK;
                }),
                {u"x", u"y", u"z"})
        // The view window's mode and mouse bindings.
        .Method(u"SetMode", 1001, Forward<Long, BoolOut>([](SX_Control& c, Long mode, BoolOut res) {
                    return c.SetMode(mode, res);
                }),
                {u"mode"})
        .Method(u"SetMouseAction", 1002,
                Forward<Long, Long, Long, BoolOut>(
                    [](SX_Control& c, Long ctrlKey, Long mouseKey, Long actionType, BoolOut res) {
                        return c.SetMouseAction(ctrlKey, mouseKey, actionType, res);
                    }),
                {u"ctrlKey", u"mouseKey", u"actionType"})
        .Method(u"SetAlphaMode", 1005,
                Forward<Bool, BoolOut>([](SX_Control& c, Bool value, BoolOut res) {
                    return c.SetAlphaMode(value, res);
                }),
                {u"value"})
        // later: repaint
        .Method(u"Redraw", 1050, Forward<>([](SX_Control& c) {
                    c.Redraw();
                    return S_OK;
                }))
        .Method(u"Print", 1213,
                Forward<Bool, BoolOut>(
                    [](SX_Control& c, Bool panZoom, BoolOut res) { return c.Print(panZoom, res); }),
                {u"panZoom"})
        .Method(u"SaveAsJpg", 1240,
                Forward<Bool, BoolOut>([](SX_Control& c, Bool panZoom, BoolOut res) {
                    return c.SaveAsJpg(panZoom, res);
                }),
                {u"panZoom"});
}
