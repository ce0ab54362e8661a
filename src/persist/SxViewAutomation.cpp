// The ISxView dispatch table. The shape methods and the overlay members of
// the view answer E_NOTIMPL until the drawing controller is in; GetMSXMLNode
// does so too, as no XML DOM node is handed to pages as an object.

#include <cstdint>

#include "persist/SxView.h"

using namespace platform;

namespace {

using Long = std::int32_t;
using Double = double;
using Bool = VARIANT_BOOL;
using Str = const Bstr&;

template <class... A>
struct NotImplemented {
    static HRESULT Call(SxView&, A...) { return E_NOTIMPL; }
};

template <class... A>
constexpr auto kNotImpl = &NotImplemented<A...>::Call;

}  // namespace

const DispatchTable& SxView::Table() {
    static const DispatchTable table = [] {
        Builder b;
        b.Get(u"ID", 100,
              [](SxView& v, Long* id) -> HRESULT {
                  *id = v.Id();
                  return S_OK;
              })
            .Property(
                u"Name", 101,
                [](SxView& v, Bstr* text) -> HRESULT {
                    *text = Bstr(v.Name());
                    return S_OK;
                },
                [](SxView& v, Str text) -> HRESULT {
                    v.SetName(text.Str());
                    return S_OK;
                })
            .Property(
                u"CreatedOn", 102,
                [](SxView& v, Bstr* text) -> HRESULT {
                    *text = Bstr(v.CreatedOn());
                    return S_OK;
                },
                [](SxView& v, Str text) -> HRESULT {
                    v.SetCreatedOn(text.Str());
                    return S_OK;
                })
            .Property(
                u"UserName", 103,
                [](SxView& v, Bstr* text) -> HRESULT {
                    *text = Bstr(v.UserName());
                    return S_OK;
                },
                [](SxView& v, Str text) -> HRESULT {
                    v.SetUserName(text.Str());
                    return S_OK;
                })
            .Method(u"Apply", 1001,
                    [](SxView& v, Bool lock, Bool* res) -> HRESULT {
                        *res = ToVariantBool(v.Apply(IsVariantTrue(lock)));
                        return S_OK;
                    },
                    {u"lockForDrawing"})
            .Method(u"Capture", 1002,
                    [](SxView& v, Bool* res) -> HRESULT {
                        *res = ToVariantBool(v.Capture());
                        return S_OK;
                    })
            .Method(u"GetMSXMLNode", 1010, kNotImpl<ComPtr<Dispatchable>*>)
            .Method(u"GetHorizAngle", 1100,
                    [](SxView& v, Double* a) -> HRESULT {
                        *a = v.Azimuth();
                        return S_OK;
                    })
            .Method(u"GetVertAngle", 1101,
                    [](SxView& v, Double* a) -> HRESULT {
                        *a = v.Latitude();
                        return S_OK;
                    })
            .Method(u"GetZoomAngle", 1102, [](SxView& v, Double* a) -> HRESULT {
                *a = v.Aperture();
                return S_OK;
            });
        AddShapeMembers(b);
        return b.Build();
    }();
    return table;
}

void SxView::AddShapeMembers(Builder& b) {
    using Out = Long*;
    b.Method(u"StopShapeAdd", 1017, kNotImpl<>)
        .Method(u"AddShape", 1020, kNotImpl<Str, Out>, {u"shapeName"})
        .Method(u"AddShapeByType", 1021, kNotImpl<Long, Out>, {u"shapeType"})
        .Method(u"AddShapeText", 1022, kNotImpl<Str, Out>, {u"text"})
        .Method(u"ShapeSetColor", 1023, kNotImpl<Long, Str, Bool*>, {u"shapeID", u"color"})
        .Method(u"ShapeSetAlpha", 1024, kNotImpl<Long, Long, Bool*>, {u"shapeID", u"alpha"})
        .Method(u"ShapeSetFillColor", 1025, kNotImpl<Long, Str, Bool*>, {u"shapeID", u"color"})
        .Method(u"ShapeSetLineWidth", 1026, kNotImpl<Long, Double, Bool*>, {u"shapeID", u"thick"})
        .Method(u"ShapeSetPosition", 1028, kNotImpl<Long, Long, Long, Bool*>,
                {u"shapeID", u"x", u"y"})
        .Method(u"ShapeSetDimension", 1029, kNotImpl<Long, Long, Long, Bool*>,
                {u"shapeID", u"w", u"h"})
        .Method(u"ShapeSetText", 1030, kNotImpl<Long, Str, Bool*>, {u"shapeID", u"text"})
        .Method(u"ShapeSetFontSize", 1031, kNotImpl<Long, Double, Bool*>, {u"shapeID", u"size"})
        .Method(u"ShapeGetColor", 1040, kNotImpl<Long, Bstr*>, {u"shapeID"})
        .Method(u"ShapeGetAlpha", 1041, kNotImpl<Long, Out>, {u"shapeID"})
        .Method(u"ShapeGetFillColor", 1042, kNotImpl<Long, Bstr*>, {u"shapeID"})
        .Method(u"ShapeGetLineWidth", 1043, kNotImpl<Long, Double*>, {u"shapeID"})
        .Method(u"ShapeGetPositionX", 1044, kNotImpl<Long, Double*>, {u"shapeID"})
        .Method(u"ShapeGetPositionY", 1045, kNotImpl<Long, Double*>, {u"shapeID"})
        .Method(u"ShapeGetWidth", 1046, kNotImpl<Long, Double*>, {u"shapeID"})
        .Method(u"ShapeGetHeight", 1047, kNotImpl<Long, Double*>, {u"shapeID"})
        .Method(u"ShapeGetTypeName", 1048, kNotImpl<Long, Bstr*>, {u"shapeID"})
        .Method(u"ShapeGetFontSize", 1049, kNotImpl<Long, Double*>, {u"shapeID"})
        .Method(u"ShapeGetText", 1050, kNotImpl<Long, Bstr*>, {u"shapeID"})
        .Method(u"ShapeGetHREF", 1051, kNotImpl<Long, Bstr*>, {u"shapeID"})
        .Method(u"ShapeSetHREF", 1052, kNotImpl<Long, Str, Bool*>, {u"shapeID", u"href"})
        .Method(u"ShapeGetUnit", 1053, kNotImpl<Long, Out>, {u"ID"})
        .Method(u"ShapeSetUnit", 1054, kNotImpl<Long, Long, Bool*>, {u"ID", u"unit"})
        .Method(u"ShapeGetType", 1055, kNotImpl<Long, Out>, {u"ID"})
        .Method(u"GetFirstShape", 1060, kNotImpl<Out>)
        .Method(u"GetNextShape", 1061, kNotImpl<Out>)
        .Method(u"GetMarkupCount", 1062, kNotImpl<Out>)
        .Method(u"ShapeSelect", 1070, kNotImpl<Long, Bool, Bool*>, {u"shapeID", u"raiseEvent"})
        .Method(u"ShapeDelete", 1071, kNotImpl<Long, Bool, Bool*>, {u"shapeID", u"raiseEvent"})
        .Method(u"ShapeSetPropertiesAsDefault", 1080, kNotImpl<Long, Bool*>, {u"selectedMarkupID"})
        .Method(u"ShapeResetProperties", 1081, kNotImpl<Long, Bool*>, {u"selectedMarkupID"})
        .Method(u"ShapeGetUserName", 1090, kNotImpl<Long, Bstr*>, {u"shapeID"})
        .Method(u"ShapeGetTime", 1091, kNotImpl<Long, Bstr*>, {u"shapeID"})
        .Method(u"ShapeSetUserName", 1092, kNotImpl<Long, Str, Bool*>, {u"shapeID", u"text"})
        .Method(u"ShapeSetTime", 1093, kNotImpl<Long, Str, Bool*>, {u"shapeID", u"text"})
        .Method(u"OnContainerScroll", 1094, kNotImpl<>)
        .Method(u"RestoreDefaultShape", 1095, kNotImpl<>)
        .Method(u"CreateShapeMark", 1105,
                kNotImpl<Long, Long, Long, Long, Long, Str, Double, Double, Double, Str, Double,
                         Str, Str, Bool, Out>,
                {u"type", u"startPosX", u"startPosY", u"endPosX", u"endPosY", u"penColor",
                 u"penTransparency", u"penWidth", u"penDash", u"brushColor", u"brushTransparency",
                 u"createdBy", u"CreatedOn", u"raiseEvent"})
        .Method(u"CreateShapeTextMark", 1106,
                kNotImpl<Long, Long, Str, Double, Str, Double, Double, Double, Str, Double, Str,
                         Str, Bool, Out>,
                {u"positionX", u"positionY", u"text", u"fontSize", u"penColor", u"penTransparency",
                 u"penWidth", u"penDash", u"brushColor", u"brushTransparency", u"createdBy",
                 u"CreatedOn", u"raiseEvent"})
        .Method(u"CreateShapePosition", 1107,
                kNotImpl<Double, Long, Long, Long, Long, Str, Double, Double, Double, Str, Double,
                         Str, Str, Bool, Out>,
                {u"fontSize", u"lblPosX", u"lblPosY", u"markPos2DX", u"markPos2DY", u"penColor",
                 u"penTransparency", u"penWidth", u"penDash", u"brushColor", u"brushTransparency",
                 u"createdBy", u"CreatedOn", u"raiseEvent"})
        .Method(u"CreateShapeDistance", 1108,
                kNotImpl<Double, Long, Long, Long, Long, Long, Long, Str, Double, Double, Double,
                         Str, Double, Str, Str, Bool, Out>,
                {u"fontSize", u"lblPosX", u"lblPosY", u"markFirstPos2DX", u"markFirstPos2DY",
                 u"markSecondPos2DX", u"markSecondPos2DY", u"penColor", u"penTransparency",
                 u"penWidth", u"penDash", u"brushColor", u"brushTransparency", u"createdBy",
                 u"CreatedOn", u"raiseEvent"});
}
