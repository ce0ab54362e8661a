// The shape methods of ISxView: interactive adds through the overlay's
// drawing controller, drawings made by script, property setters and getters
// by drawing ID, iteration, selection and deletion.
//
// Every method acts only while its view is the one on show (its drawings
// are the overlay's); otherwise it succeeds with the neutral result: false,
// -1, -1.0, "" ("Unknown" for a type name). ID -1 names no drawing: setters
// then change only the drawing being added and the look cached for the next
// one, and ShapeGetAlpha / ShapeGetLineWidth report that cached look.
// Drawings made by the Create methods fire Shape2DAdded with their ID when
// asked to raise an event.
#include "persist/SxViewShapeOps.h"

using namespace platform;
using namespace sxview_shapes;

namespace {

using S = SxViewShapes;

Bool B(bool value) {
    return ToVariantBool(value);
}

Look MakeLook(Str penColor, Double penTransparency, Double penWidth, Double penDash, Str brushColor,
              Double brushTransparency, Str createdBy, Str createdOn) {
    return {penColor.Str(),   penTransparency,   penWidth,        penDash,
            brushColor.Str(), brushTransparency, createdBy.Str(), createdOn.Str()};
}

}  // namespace

void SxView::AddShapeMembers(Builder& b) {
    using Out = Long*;
    b.Method(u"StopShapeAdd", 1017,
             [](SxView& v) -> HRESULT {
                 if (S::Active(v) != nullptr) {
                     v.newShape_.filled = false;
                 }
                 return S_OK;
             })
        .Method(u"AddShape", 1020,
                [](SxView& v, Str name, Out id) -> HRESULT {
                    *id = S::AddShape(v, name.Str());
                    return S_OK;
                },
                {u"shapeName"})
        .Method(u"AddShapeByType", 1021,
                [](SxView& v, Long type, Out id) -> HRESULT {
                    *id = type == SX_DrawingBase::kTextType ? -1 : S::StartAdd(v, type, {});
                    if (type == SX_DrawingBase::kTextType && S::Active(v) != nullptr &&
                        !v.Host()->LockedForDrawing()) {
                        v.Host()->LockForDrawing();  // texts come through AddShapeText
                    }
                    return S_OK;
                },
                {u"shapeType"})
        .Method(u"AddShapeText", 1022,
                [](SxView& v, Str text, Out id) -> HRESULT {
                    *id = S::AddShapeText(v, text.Str());
                    return S_OK;
                },
                {u"text"})
        .Method(u"ShapeSetColor", 1023,
                [](SxView& v, Long id, Str color, Bool* res) -> HRESULT {
                    const auto argb = SX_Defaults::ParseHexColor(color.Str());
                    if (!argb || S::Active(v) == nullptr) {
                        return S_OK;
                    }
                    v.newShape_.penColor = *argb;
                    *res = B(S::OnBoth(v, id, [&](SX_DrawingBase& d) { d.SetPenColor(*argb); }));
                    return S_OK;
                },
                {u"shapeID", u"color"})
        .Method(u"ShapeSetAlpha", 1024,
                [](SxView& v, Long id, Long alpha, Bool* res) -> HRESULT {
                    if (S::Active(v) == nullptr) {
                        return S_OK;
                    }
                    if (v.newShape_.filled) {
                        v.newShape_.fillColor =
                            WithAlpha(v.newShape_.fillColor, OpacityAlpha(100 - alpha));
                    }
                    *res = B(S::OnBoth(
                        v, id, [&](SX_DrawingBase& d) { d.SetFillOpacity(100.0 - alpha); }));
                    return S_OK;
                },
                {u"shapeID", u"alpha"})
        .Method(u"ShapeSetFillColor", 1025,
                [](SxView& v, Long id, Str color, Bool* res) -> HRESULT {
                    const auto argb = SX_Defaults::ParseHexColor(color.Str());
                    if (!argb || S::Active(v) == nullptr) {
                        return S_OK;
                    }
                    if (v.newShape_.filled) {
                        v.newShape_.fillColor = WithAlpha(*argb, v.newShape_.fillColor >> 24);
                    }
                    *res = B(S::OnBoth(
                        v, id, [&](SX_DrawingBase& d) { d.SetFillColorText(color.Str()); }));
                    return S_OK;
                },
                {u"shapeID", u"color"})
        .Method(u"ShapeSetLineWidth", 1026,
                [](SxView& v, Long id, Double thick, Bool* res) -> HRESULT {
                    if (thick < 0.0 || S::Active(v) == nullptr) {
                        return S_OK;
                    }
                    if (v.newShape_.filled) {
                        v.newShape_.penWidth = thick;
                    }
                    *res = B(S::OnBoth(v, id, [&](SX_DrawingBase& d) { d.SetPenWidth(thick); }));
                    return S_OK;
                },
                {u"shapeID", u"thick"})
        .Method(u"ShapeSetPosition", 1028,
                [](SxView& v, Long id, Long x, Long y, Bool* res) -> HRESULT {
                    *res = B(S::OnShape(v, id, [&](SX_DrawingBase& d) { d.SetPosition(x, y); }));
                    return S_OK;
                },
                {u"shapeID", u"x", u"y"})
        .Method(u"ShapeSetDimension", 1029,
                [](SxView& v, Long id, Long w, Long h, Bool* res) -> HRESULT {
                    *res = B(S::OnShape(v, id, [&](SX_DrawingBase& d) { d.SetSize(w, h); }));
                    return S_OK;
                },
                {u"shapeID", u"w", u"h"})
        .Method(u"ShapeSetText", 1030,
                [](SxView& v, Long id, Str text, Bool* res) -> HRESULT {
                    if (S::OnShape(v, id, [&](SX_DrawingBase& d) { d.SetText(text.Str()); })) {
                        *res = VARIANT_TRUE;
                    } else if (SX_DrawingController* c = S::Active(v)) {
                        // No drawing has the ID: the drawing being added takes it.
                        if (SX_DrawingBase* adding = S::Overlay(v).AddingDrawing()) {
                            *res = B(adding->SetText(text.Str()));
                            c->Redraw();
                        }
                    }
                    return S_OK;
                },
                {u"shapeID", u"text"})
        .Method(u"ShapeSetFontSize", 1031,
                [](SxView& v, Long id, Double size, Bool* res) -> HRESULT {
                    if (S::Active(v) == nullptr) {
                        return S_OK;
                    }
                    if (v.newShape_.filled) {
                        v.newShape_.fontSize = size;
                    }
                    *res = B(S::OnBoth(v, id, [&](SX_DrawingBase& d) { d.SetFontSize(size); }));
                    return S_OK;
                },
                {u"shapeID", u"size"})
        .Method(u"ShapeGetColor", 1040,
                [](SxView& v, Long id, Bstr* text) -> HRESULT {
                    *text = Bstr(S::Get(v, id, std::u16string(),
                                        [](SX_DrawingBase& d) { return d.GetPenColorText(); }));
                    return S_OK;
                },
                {u"shapeID"})
        .Method(u"ShapeGetAlpha", 1041,
                [](SxView& v, Long id, Out alpha) -> HRESULT {
                    if (id == -1 && S::Active(v) != nullptr) {
                        *alpha = Transparency(v.newShape_.filled
                                                  ? v.newShape_.fillColor
                                                  : S::Active(v)->Host().Defaults().brushColor);
                        return S_OK;
                    }
                    *alpha = S::Get(v, id, Long{-1},
                                    [](SX_DrawingBase& d) { return 100 - d.GetFillOpacity(); });
                    return S_OK;
                },
                {u"shapeID"})
        .Method(u"ShapeGetFillColor", 1042,
                [](SxView& v, Long id, Bstr* text) -> HRESULT {
                    *text = Bstr(S::Get(v, id, std::u16string(),
                                        [](SX_DrawingBase& d) { return d.GetFillColorText(); }));
                    return S_OK;
                },
                {u"shapeID"})
        .Method(u"ShapeGetLineWidth", 1043,
                [](SxView& v, Long id, Double* width) -> HRESULT {
                    if (id == -1 && S::Active(v) != nullptr) {
                        *width = v.newShape_.filled ? v.newShape_.penWidth
                                                    : S::Active(v)->Host().Defaults().penWidth;
                        return S_OK;
                    }
                    *width = S::Get(v, id, -1.0, [](SX_DrawingBase& d) { return d.GetPenWidth(); });
                    return S_OK;
                },
                {u"shapeID"})
        .Method(u"ShapeGetPositionX", 1044,
                [](SxView& v, Long id, Double* x) -> HRESULT {
                    *x = S::Get(v, id, -1.0, [](SX_DrawingBase& d) { return d.GetPositionX(); });
                    return S_OK;
                },
                {u"shapeID"})
        .Method(u"ShapeGetPositionY", 1045,
                [](SxView& v, Long id, Double* y) -> HRESULT {
                    *y = S::Get(v, id, -1.0, [](SX_DrawingBase& d) { return d.GetPositionY(); });
                    return S_OK;
                },
                {u"shapeID"})
        .Method(u"ShapeGetWidth", 1046,
                [](SxView& v, Long id, Double* w) -> HRESULT {
                    *w = S::Get(v, id, -1.0, [](SX_DrawingBase& d) { return d.GetWidth(); });
                    return S_OK;
                },
                {u"shapeID"})
        .Method(u"ShapeGetHeight", 1047,
                [](SxView& v, Long id, Double* h) -> HRESULT {
                    *h = S::Get(v, id, -1.0, [](SX_DrawingBase& d) { return d.GetHeight(); });
                    return S_OK;
                },
                {u"shapeID"})
        .Method(u"ShapeGetTypeName", 1048,
                [](SxView& v, Long id, Bstr* name) -> HRESULT {
                    *name = Bstr(S::Get(v, id, std::u16string(u"Unknown"),
                                        [](SX_DrawingBase& d) { return d.GetTypeName(); }));
                    return S_OK;
                },
                {u"shapeID"})
        .Method(u"ShapeGetFontSize", 1049,
                [](SxView& v, Long id, Double* size) -> HRESULT {
                    *size = S::Get(v, id, -1.0, [](SX_DrawingBase& d) { return d.GetFontSize(); });
                    return S_OK;
                },
                {u"shapeID"})
        .Method(u"ShapeGetText", 1050,
                [](SxView& v, Long id, Bstr* text) -> HRESULT {
                    *text = Bstr(S::Get(v, id, std::u16string(), [](SX_DrawingBase& d) {
                        const auto* t = dynamic_cast<const SX_DrawingText*>(&d);
                        return t != nullptr ? t->Text() : std::u16string();
                    }));
                    return S_OK;
                },
                {u"shapeID"})
        .Method(u"ShapeGetHREF", 1051,
                [](SxView& v, Long id, Bstr* href) -> HRESULT {
                    *href = Bstr(S::Get(v, id, std::u16string(),
                                        [](SX_DrawingBase& d) { return d.Href(); }));
                    return S_OK;
                },
                {u"shapeID"})
        .Method(u"ShapeSetHREF", 1052,
                [](SxView& v, Long id, Str href, Bool* res) -> HRESULT {
                    *res = B(S::OnShape(v, id, [&](SX_DrawingBase& d) { d.SetHref(href.Str()); }));
                    return S_OK;
                },
                {u"shapeID", u"href"})
        .Method(u"ShapeGetUnit", 1053,
                [](SxView& v, Long id, Out unit) -> HRESULT {
                    *unit = S::Get(v, id, Long{-1}, [](SX_DrawingBase& d) { return d.GetUnit(); });
                    return S_OK;
                },
                {u"ID"})
        .Method(u"ShapeSetUnit", 1054,
                [](SxView& v, Long id, Long unit, Bool* res) -> HRESULT {
                    if (S::Active(v) == nullptr) {
                        return S_OK;
                    }
                    v.newShape_.unit = unit;
                    *res = B(S::OnShape(v, id, [&](SX_DrawingBase& d) { d.SetUnit(unit); }));
                    return S_OK;
                },
                {u"ID", u"unit"})
        .Method(u"ShapeGetType", 1055,
                [](SxView& v, Long id, Out type) -> HRESULT {
                    *type =
                        S::Get(v, id, Long{-1}, [](SX_DrawingBase& d) { return d.ClassCode(); });
                    return S_OK;
                },
                {u"ID"})
        .Method(u"GetFirstShape", 1060,
                [](SxView& v, Out id) -> HRESULT {
                    v.shapeCursor_ = 0;
                    *id = -1;
                    if (S::Active(v) != nullptr && !v.drawings_.empty()) {
                        *id = static_cast<Long>(v.drawings_[v.shapeCursor_++]->ID());
                    }
                    return S_OK;
                })
        .Method(u"GetNextShape", 1061,
                [](SxView& v, Out id) -> HRESULT {
                    *id = -1;
                    if (S::Active(v) != nullptr && v.shapeCursor_ < v.drawings_.size()) {
                        *id = static_cast<Long>(v.drawings_[v.shapeCursor_++]->ID());
                    }
                    return S_OK;
                })
        .Method(u"GetMarkupCount", 1062,
                [](SxView& v, Out count) -> HRESULT {
                    *count = S::Active(v) != nullptr ? static_cast<Long>(v.drawings_.size()) : 0;
                    return S_OK;
                })
        .Method(u"ShapeSelect", 1070,
                [](SxView& v, Long id, Bool raise, Bool* res) -> HRESULT {
                    *res = B(S::Select(v, id, IsVariantTrue(raise)));
                    return S_OK;
                },
                {u"shapeID", u"raiseEvent"})
        .Method(u"ShapeDelete", 1071,
                [](SxView& v, Long id, Bool raise, Bool* res) -> HRESULT {
                    *res = B(S::Delete(v, id, IsVariantTrue(raise)));
                    return S_OK;
                },
                {u"shapeID", u"raiseEvent"})
        .Method(u"ShapeSetPropertiesAsDefault", 1080,
                [](SxView& v, Long id, Bool* res) -> HRESULT {
                    SX_DrawingController* c = S::Active(v);
                    SX_DrawingBase* shape = c != nullptr ? S::Find(v, id) : nullptr;
                    if (shape != nullptr) {
                        shape->SetPropertiesAsDefault(c->Host().Defaults());
                        *res = VARIANT_TRUE;
                    }
                    return S_OK;
                },
                {u"selectedMarkupID"})
        .Method(u"ShapeResetProperties", 1081,
                [](SxView& v, Long id, Bool* res) -> HRESULT {
                    *res = B(S::ResetProperties(v, id));
                    return S_OK;
                },
                {u"selectedMarkupID"})
        .Method(u"ShapeGetUserName", 1090,
                [](SxView& v, Long id, Bstr* text) -> HRESULT {
                    *text = Bstr(S::Get(v, id, std::u16string(),
                                        [](SX_DrawingBase& d) { return d.GetUserName(); }));
                    return S_OK;
                },
                {u"shapeID"})
        .Method(u"ShapeGetTime", 1091,
                [](SxView& v, Long id, Bstr* text) -> HRESULT {
                    *text = Bstr(S::Get(v, id, std::u16string(),
                                        [](SX_DrawingBase& d) { return d.GetTime(); }));
                    return S_OK;
                },
                {u"shapeID"})
        .Method(u"ShapeSetUserName", 1092,
                [](SxView& v, Long id, Str text, Bool* res) -> HRESULT {
                    *res =
                        B(S::OnShape(v, id, [&](SX_DrawingBase& d) { d.SetUserName(text.Str()); }));
                    return S_OK;
                },
                {u"shapeID", u"text"})
        .Method(u"ShapeSetTime", 1093,
                [](SxView& v, Long id, Str text, Bool* res) -> HRESULT {
                    *res = B(S::OnShape(v, id, [&](SX_DrawingBase& d) { d.SetTime(text.Str()); }));
                    return S_OK;
                },
                {u"shapeID", u"text"})
        .Method(u"OnContainerScroll", 1094,
                [](SxView& v) -> HRESULT {
                    if (SX_DrawingController* c = S::Active(v)) {
                        S::Overlay(v).CaptureBackground();
                        c->Redraw();
                    }
                    return S_OK;
                })
        .Method(u"RestoreDefaultShape", 1095,
                [](SxView& v) -> HRESULT {
                    S::RestoreDefaultShape(v);
                    return S_OK;
                })
        .Method(u"CreateShapeMark", 1105,
                [](SxView& v, Long type, Long x0, Long y0, Long x1, Long y1, Str penColor,
                   Double penT, Double penW, Double penDash, Str brushColor, Double brushT,
                   Str createdBy, Str createdOn, Bool raise, Out id) -> HRESULT {
                    *id = S::CreateShape(v, type, x0, y0, x1, y1,
                                         MakeLook(penColor, penT, penW, penDash, brushColor, brushT,
                                                  createdBy, createdOn),
                                         IsVariantTrue(raise));
                    return S_OK;
                },
                {u"type", u"startPosX", u"startPosY", u"endPosX", u"endPosY", u"penColor",
                 u"penTransparency", u"penWidth", u"penDash", u"brushColor", u"brushTransparency",
                 u"createdBy", u"CreatedOn", u"raiseEvent"})
        .Method(u"CreateShapeTextMark", 1106,
                [](SxView& v, Long x, Long y, Str text, Double fontSize, Str penColor, Double penT,
                   Double penW, Double penDash, Str brushColor, Double brushT, Str createdBy,
                   Str createdOn, Bool raise, Out id) -> HRESULT {
                    *id = S::CreateText(v, x, y, text.Str(), fontSize,
                                        MakeLook(penColor, penT, penW, penDash, brushColor, brushT,
                                                 createdBy, createdOn),
                                        IsVariantTrue(raise));
                    return S_OK;
                },
                {u"positionX", u"positionY", u"text", u"fontSize", u"penColor", u"penTransparency",
                 u"penWidth", u"penDash", u"brushColor", u"brushTransparency", u"createdBy",
                 u"CreatedOn", u"raiseEvent"})
        .Method(u"CreateShapePosition", 1107,
                [](SxView& v, Double fontSize, Long lx, Long ly, Long mx, Long my, Str penColor,
                   Double penT, Double penW, Double penDash, Str brushColor, Double brushT,
                   Str createdBy, Str createdOn, Bool raise, Out id) -> HRESULT {
                    *id = S::CreatePosition(v, fontSize, lx, ly, mx, my,
                                            MakeLook(penColor, penT, penW, penDash, brushColor,
                                                     brushT, createdBy, createdOn),
                                            IsVariantTrue(raise));
                    return S_OK;
                },
                {u"fontSize", u"lblPosX", u"lblPosY", u"markPos2DX", u"markPos2DY", u"penColor",
                 u"penTransparency", u"penWidth", u"penDash", u"brushColor", u"brushTransparency",
                 u"createdBy", u"CreatedOn", u"raiseEvent"})
        .Method(u"CreateShapeDistance", 1108,
                [](SxView& v, Double fontSize, Long lx, Long ly, Long x1, Long y1, Long x2, Long y2,
                   Str penColor, Double penT, Double penW, Double penDash, Str brushColor,
                   Double brushT, Str createdBy, Str createdOn, Bool raise, Out id) -> HRESULT {
                    *id = S::CreateDistance(v, fontSize, lx, ly, x1, y1, x2, y2,
                                            MakeLook(penColor, penT, penW, penDash, brushColor,
                                                     brushT, createdBy, createdOn),
                                            IsVariantTrue(raise));
                    return S_OK;
                },
                {u"fontSize", u"lblPosX", u"lblPosY", u"markFirstPos2DX", u"markFirstPos2DY",
                 u"markSecondPos2DX", u"markSecondPos2DY", u"penColor", u"penTransparency",
                 u"penWidth", u"penDash", u"brushColor", u"brushTransparency", u"createdBy",
                 u"CreatedOn", u"raiseEvent"});
}
