// ISX_Control members of the 3D marks, units, drawing defaults, the drawing
// overlay, markup files and saved views.
//
// The 3D mark members act only while a station is loaded and ready: the
// control is complete (ready state 4) with its data set attached to the view.
// Otherwise, and for an identifier no mark has, they succeed with the neutral
// result: -1 for identifiers and units, false, 0.0 or "" left as the caller
// gave them. Setters do not redraw; adding and removing fire Mark3DAdded and
// Mark3DDeleted.

#include <cstdint>

#include "control/Automation.h"
#include "control/AutomationTypes.h"
#include "control/SX_Control.h"
#include "control/SX_ControlEvents.h"
#include "measure/MeasureDefaults.h"
#include "measure/SX_Mark.h"
#include "measure/Units.h"
#include "persist/SxView.h"
#include "station/SX_PanoramaDataSet.h"
#include "view3d/SX_GraphicWindow.h"

using namespace platform;
using namespace control_automation;

namespace {

// The control while a station is loaded and ready, else null.
SX_Control* Ready(control::Automation& self) {
    SX_Control* control = self.Control();
    return control != nullptr && control->Camera() != nullptr ? control : nullptr;
}

SX_Mark* FindMark(SX_Control& c, Long id) {
    return c.DataSet().Marks().Find(static_cast<std::uint32_t>(id));
}

// Calls fn(control, mark, args...) for a ready control's mark with the
// identifier; otherwise the call is declined.
template <class... A, class F>
auto OnMark(F fn) {
    return [fn](control::Automation& self, Long id, A... args) -> HRESULT {
        SX_Control* c = Ready(self);
        SX_Mark* mark = c != nullptr ? FindMark(*c, id) : nullptr;
        if (mark != nullptr) {
            fn(*c, *mark, args...);
        }
        return S_OK;
    };
}

void RedrawView(SX_Control& c) {
    if (SX_GraphicWindow* window = c.GraphicWindow()) {
        window->Invalidate();
    }
}

// Calls fn(control, defaults, args...) whenever a control is attached.
template <class... A, class F>
auto OnDefaults(F fn) {
    return [fn](control::Automation& self, A... args) -> HRESULT {
        if (SX_Control* c = self.Control()) {
            fn(*c, c->Defaults(), args...);
        }
        return S_OK;
    };
}

// "#rrggbb" makes the colour opaque; a null or malformed text keeps it.
void SetOpaque(std::uint32_t& colour, Str text) {
    if (text.IsNull()) {
        return;
    }
    if (const auto parsed = SX_Defaults::ParseHexColor(text.Str())) {
        colour = *parsed;
    }
}

// The measures section of the drawing defaults, which new 3D marks start from.
measure::MeasureDefaults MeasuresInForce(const SX_Control& c) {
    const SX_UnitSettings& m = c.Defaults().measures;
    return measure::MeasureDefaults{m.frmtDec, m.frmtUnit, m.unit, m.internalUnit};
}

int UnitOrDefault(SX_Control& c, Long unit) {
    return unit == measure::Units::kDefaultUnit ? c.DefaultUnit() : unit;
}

HRESULT VertexMark3D(control::Automation& self, Double x, Double y, Double z, Long unit, Str colour,
                     LongOut id) {
    *id = -1;
    SX_Control* c = Ready(self);
    if (c == nullptr) {
        return S_OK;
    }
    *id = c->DataSet().AddVertexMark(x, y, z, UnitOrDefault(*c, unit), colour.Str(),
                                     MeasuresInForce(*c));
    c->FireEvent(SX_ControlEvents::kMark3DAdded, {Variant(std::int32_t{*id})});
    return S_OK;
}

HRESULT DistanceMark3D(control::Automation& self, Double x1, Double y1, Double z1, Double x2,
                       Double y2, Double z2, Long unit, Str colour, LongOut id) {
    *id = -1;
    SX_Control* c = Ready(self);
    if (c == nullptr) {
        return S_OK;
    }
    *id = c->DataSet().AddDistanceMark(x1, y1, z1, x2, y2, z2, UnitOrDefault(*c, unit),
                                       colour.Str(), MeasuresInForce(*c));
    c->FireEvent(SX_ControlEvents::kMark3DAdded, {Variant(std::int32_t{*id})});
    return S_OK;
}

HRESULT Mark3DRemove(control::Automation& self, Long id, BoolOut removed) {
    SX_Control* c = Ready(self);
    if (c == nullptr || !c->DataSet().Marks().Remove(static_cast<std::uint32_t>(id))) {
        return S_OK;
    }
    *removed = VARIANT_TRUE;
    c->FireEvent(SX_ControlEvents::kMark3DDeleted, {Variant(std::int32_t{id})});
    return S_OK;
}

HRESULT Mark3DGetUnit(control::Automation& self, Long id, LongOut unit) {
    *unit = -1;
    SX_Control* c = Ready(self);
    if (SX_Mark* mark = c != nullptr ? FindMark(*c, id) : nullptr) {
        *unit = mark->Unit();
    }
    return S_OK;
}

HRESULT FocusOnMark3D(control::Automation& self, Long id, BoolOut found) {
    SX_Control* c = Ready(self);
    SX_Mark* mark = c != nullptr ? FindMark(*c, id) : nullptr;
    if (mark == nullptr) {
        return S_OK;
    }
    *found = VARIANT_TRUE;
    if (c->ViewShown() || c->LockedForDrawing()) {
        c->LeaveViewMode();
    }
    double altitude = 0.0;
    double azimuth = 0.0;
    if (mark->GetDirection(altitude, azimuth)) {
        c->CameraTransition(altitude, azimuth);
    }
    return S_OK;
}

// The 3D marks cannot be hidden: they are drawn whenever they exist. The
// member is kept for pages written against it and always answers false.
HRESULT Mark3DHide(control::Automation&, BoolOut hidden) {
    *hidden = VARIANT_FALSE;
    return S_OK;
}

}  // namespace

void control::Automation::AddMarkMembers(Builder& b) {
    b
        // 3D marks
        .Method(u"FocusOnMark3D", 1017, &FocusOnMark3D, {u"ID"})
        .Method(u"VertexMark3D", 1030, &VertexMark3D, {u"vx", u"vy", u"vz", u"unit", u"color"})
        .Method(u"DistanceMark3D", 1032, &DistanceMark3D,
                {u"v1x", u"v1y", u"v1z", u"v2x", u"v2y", u"v2z", u"unit", u"color"})
        .Method(u"Mark3DHide", 1035, &Mark3DHide)
        .Method(u"Mark3DRemove", 1036, &Mark3DRemove, {u"ID"})
        .Method(u"Mark3DGetName", 1064,
                OnMark<StrOut>([](SX_Control&, SX_Mark& m, StrOut v) { *v = Bstr(m.Name()); }),
                {u"ID"})
        .Method(u"Mark3DGetTypeName", 1065, OnMark<StrOut>([](SX_Control&, SX_Mark& m, StrOut v) {
                    *v = Bstr(m.GetTypeName());
                }),
                {u"ID"})
        .Method(u"Mark3DGetValue", 1066,
                OnMark<DoubleOut>([](SX_Control&, SX_Mark& m, DoubleOut v) { *v = m.GetValue(); }),
                {u"ID"})
        .Method(u"Mark3DGetXCoord", 1067,
                OnMark<DoubleOut>([](SX_Control&, SX_Mark& m, DoubleOut v) { *v = m.GetX(); }),
                {u"ID"})
        .Method(u"Mark3DGetYCoord", 1068,
                OnMark<DoubleOut>([](SX_Control&, SX_Mark& m, DoubleOut v) { *v = m.GetY(); }),
                {u"ID"})
        .Method(u"Mark3DGetZCoord", 1069,
                OnMark<DoubleOut>([](SX_Control&, SX_Mark& m, DoubleOut v) { *v = m.GetZ(); }),
                {u"ID"})
        .Method(u"Mark3DGetUnit", 1070, &Mark3DGetUnit, {u"ID"})
        .Method(u"Mark3DGetColor", 1071,
                OnMark<StrOut>([](SX_Control&, SX_Mark& m, StrOut v) { *v = Bstr(m.ColorText()); }),
                {u"ID"})
        .Method(u"Mark3DSetColor", 1082,
                OnMark<Str, BoolOut>([](SX_Control&, SX_Mark& m, Str colour, BoolOut v) {
                    m.SetColorText(colour.Str());  // a malformed text keeps the colour
                    *v = VARIANT_TRUE;
                }),
                {u"ID", u"color"})
        .Method(u"Mark3DSetName", 1083,
                OnMark<Str, BoolOut>([](SX_Control&, SX_Mark& m, Str name, BoolOut v) {
                    *v = ToVariantBool(m.SetName(name.Str()));
                }),
                {u"ID", u"Name"})
        .Method(u"Mark3DSetUnit", 1084,
                OnMark<Long, BoolOut>([](SX_Control&, SX_Mark& m, Long unit, BoolOut v) {
                    m.SetUnit(unit);
                    *v = VARIANT_TRUE;
                }),
                {u"ID", u"unit"})
        .Method(u"Mark3DSetAsDefault", 1085,
                OnMark<BoolOut>([](SX_Control& c, SX_Mark& m, BoolOut v) {
                    c.SetDefaultUnit(m.Unit());
                    *v = VARIANT_TRUE;
                }),
                {u"ID"})
        .Method(u"Mark3DClear", 1086,
                [](control::Automation& self) -> HRESULT {
                    if (SX_Control* c = Ready(self)) {
                        c->DataSet().Marks().Clear();
                        RedrawView(*c);
                    }
                    return S_OK;
                })
        .Method(u"Mark3DSelectChanged", 1214,
                [](control::Automation& self, Long id) -> HRESULT {
                    if (SX_Control* c = Ready(self)) {
                        c->DataSet().Marks().Select(static_cast<std::uint32_t>(id));
                        RedrawView(*c);
                    }
                    return S_OK;
                },
                {u"ID"})
        // Units
        .Method(u"ShapeGetDefaultUnit", 1210,
                [](control::Automation& self, Long shapeType, LongOut unit) -> HRESULT {
                    if (SX_Control* c = self.Control()) {
                        *unit = measure::Units::ShapeDefaultUnit(shapeType, c->DefaultUnit());
                    }
                    return S_OK;
                },
                {u"shapeType"})
        .Method(u"ShapeSetDefaultUnit", 1211,
                [](control::Automation& self, Long unit) -> HRESULT {
                    SX_Control* c = self.Control();
                    if (c != nullptr && unit != measure::Units::kDefaultUnit) {
                        c->SetDefaultUnit(unit);
                        c->SetDefaultUnitLabel(measure::Units::UnitLabel(unit, &c->Resources()));
                    }
                    return S_OK;
                },
                {u"size"})
        .Method(u"ShapeSetCurrentUnit", 1230,
                OnDefaults<Long>(
                    [](SX_Control& c, SX_Defaults&, Long unit) { c.SetCurrentDrawingUnit(unit); }),
                {u"size"})
        // Drawing defaults: only the defaults change, drawings keep their look.
        .Method(u"ShapeGetDefaultColor", 1200,
                OnDefaults<StrOut>([](SX_Control&, SX_Defaults& d, StrOut v) {
                    *v = Bstr(SX_Defaults::HexColor(d.penColor));
                }))
        .Method(u"ShapeGetDefaultAlpha", 1201,
                OnDefaults<LongOut>(
                    [](SX_Control&, SX_Defaults& d, LongOut v) { *v = d.FillTransparency(); }))
        .Method(u"ShapeGetDefaultFillColor", 1202,
                OnDefaults<StrOut>([](SX_Control&, SX_Defaults& d, StrOut v) {
                    *v = Bstr(SX_Defaults::HexColor(d.brushColor));
                }))
        .Method(u"ShapeGetDefaultLineWidth", 1203,
                OnDefaults<DoubleOut>(
                    [](SX_Control&, SX_Defaults& d, DoubleOut v) { *v = d.penWidth; }))
        .Method(u"ShapeGetDefaultFontSize", 1204,
                OnDefaults<Long, DoubleOut>([](SX_Control&, SX_Defaults& d, Long type,
                                               DoubleOut v) { *v = d.FontSizeFor(type); }),
                {u"shapeType"})
        .Method(u"ShapeSetDefaultColor", 1205,
                OnDefaults<Str>(
                    [](SX_Control&, SX_Defaults& d, Str colour) { SetOpaque(d.penColor, colour); }),
                {u"color"})
        .Method(u"ShapeSetDefaultAlpha", 1206,
                OnDefaults<Long>(
                    [](SX_Control&, SX_Defaults& d, Long alpha) { d.SetFillTransparency(alpha); }),
                {u"alpha"})
        .Method(u"ShapeSetDefaultFillColor", 1207,
                OnDefaults<Str>([](SX_Control&, SX_Defaults& d, Str colour) {
                    SetOpaque(d.brushColor, colour);
                }),
                {u"color"})
        .Method(u"ShapeSetDefaultLineWidth", 1208,
                OnDefaults<Double>([](SX_Control&, SX_Defaults& d, Double thick) {
                    d.penWidth = static_cast<float>(thick);
                }),
                {u"thick"})
        .Method(u"ShapeSetDefaultFontSize", 1209,
                OnDefaults<Double>(
                    [](SX_Control&, SX_Defaults& d, Double size) { d.SetFontSize(size); }),
                {u"size"})
        .Method(u"StopShapeAdd", 1216,
                [](control::Automation& self) -> HRESULT {
                    if (SX_Control* c = self.Control()) {
                        c->StopShapeAdd();
                    }
                    return S_OK;
                })
        // The markup file (see SX_Control::SaveMarks and its neighbours).
        .Method(u"SaveMarks", 1060,
                [](control::Automation& self, Str file, BoolOut res) -> HRESULT {
                    if (SX_Control* c = self.Control()) {
                        *res = ToVariantBool(c->SaveMarks(file.Str()));
                    }
                    return S_OK;
                },
                {u"filaneme"})
        .Method(u"LoadMarks", 1061,
                [](control::Automation& self, Str file, Bool force, BoolOut res) -> HRESULT {
                    if (SX_Control* c = self.Control()) {
                        *res = ToVariantBool(c->LoadMarks(file.Str(), IsVariantTrue(force)));
                    }
                    return S_OK;
                },
                {u"filaneme", u"forceServerVersion"})
        .Method(u"ClearViews", 1212,
                [](control::Automation& self, Long type, BoolOut res) -> HRESULT {
                    if (SX_Control* c = self.Control()) {
                        *res = ToVariantBool(c->ClearViews(type));
                    }
                    return S_OK;
                },
                {u"type"})
        .Method(u"CheckMarkupFile", 1218,
                [](control::Automation& self, Str file, LongOut res) -> HRESULT {
                    if (SX_Control* c = self.Control()) {
                        *res = c->CheckMarkupFile(file.Str());
                    }
                    return S_OK;
                },
                {u"filename"})
        .Method(u"SaveMarkup", 1264,
                [](control::Automation& self) -> HRESULT {
                    if (SX_Control* c = self.Control()) {
                        c->SaveMarkup();
                    }
                    return S_OK;
                })
        // Saved views: declined (no view) unless the control is ready.
        .Method(u"ViewCapture", 1040,
                [](control::Automation& self, ObjectOut view) -> HRESULT {
                    if (SX_Control* c = self.Control()) {
                        *view = c->ViewCapture();
                    }
                    return S_OK;
                })
        .Method(u"ViewNew", 1041,
                [](control::Automation& self, Double longitude, Double latitude, Double angle,
                   ObjectOut view) -> HRESULT {
                    if (SX_Control* c = self.Control()) {
                        *view = c->ViewNew(longitude, latitude, angle);
                    }
                    return S_OK;
                },
                {u"longitude", u"latitude", u"angle"})
        .Method(u"ViewApply", 1042,
                [](control::Automation& self, SxView* view, Bool lock, BoolOut res) -> HRESULT {
                    if (SX_Control* c = self.Control()) {
                        *res = ToVariantBool(c->ViewApply(view, IsVariantTrue(lock)));
                    }
                    return S_OK;
                },
                {u"view", u"lockForDrawing"})
        .Method(u"ViewUnlock", 1043,
                [](control::Automation& self, Bool raiseEvent) -> HRESULT {
                    if (SX_Control* c = self.Control()) {
                        c->ViewUnlock(IsVariantTrue(raiseEvent));
                    }
                    return S_OK;
                },
                {u"raiseEvent"})
        .Method(u"ViewGetCurrent", 1044, [](control::Automation& self, ObjectOut view) -> HRESULT {
            if (SX_Control* c = self.Control()) {
                *view = c->ViewGetCurrent();
            }
            return S_OK;
        });
}
