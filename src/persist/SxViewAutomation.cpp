// The ISxView dispatch table; the shape methods are added by
// SxViewShapes.cpp. GetMSXMLNode answers E_NOTIMPL, as no XML DOM node is
// handed to pages as an object.

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
