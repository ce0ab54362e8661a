#include "view3d/SX_Hotlink.h"

#include <array>

#include "platform/ComBstr.h"
#include "platform/DispatchTableBuilder.h"
#include "platform/Path.h"
#include "platform/SL_XMLWriter.h"
#include "platform/Text.h"

using platform::Bstr;
using platform::HRESULT;
using platform::S_OK;
using view3d::SX_Hotlink;

namespace {

// Corners of the hit octagon around the position, in order.
constexpr std::array<std::array<int, 2>, 8> kOctagon = {
    {{-1, -11}, {2, -11}, {11, -3}, {11, 2}, {2, 11}, {-1, 11}, {-11, 2}, {-11, -3}}};

bool OnSegment(int px, int py, const std::array<int, 2>& a, const std::array<int, 2>& b) {
    const long long cross = static_cast<long long>(b[0] - a[0]) * (py - a[1]) -
                            static_cast<long long>(px - a[0]) * (b[1] - a[1]);
    return cross == 0 && px >= std::min(a[0], b[0]) && px <= std::max(a[0], b[0]) &&
           py >= std::min(a[1], b[1]) && py <= std::max(a[1], b[1]);
}

// A string property of the hotlink, get and put.
template <std::u16string SX_Hotlink::*Field>
HRESULT GetField(SX_Hotlink& h, Bstr* value) {
    *value = Bstr(h.*Field);
    return S_OK;
}
template <std::u16string SX_Hotlink::*Field>
HRESULT PutField(SX_Hotlink& h, const Bstr& value) {
    h.*Field = value.Str();
    return S_OK;
}

std::u16string ChildText(const platform::XmlNode& element, std::u16string_view name) {
    const platform::XmlNode child = element.SelectSingleNode(name);
    return child ? child.Text() : std::u16string();
}

void AddTextElement(StraleLib::SL_XMLWriter& w, std::u16string_view name,
                    std::u16string_view text) {
    w.StartElement(name);
    w.SetText(text);
    w.EndElement();
}

}  // namespace

const platform::DispatchTable& SX_Hotlink::Table() {
    static const platform::DispatchTable table =
        platform::DispatchTableBuilder<SX_Hotlink>()
            .Property(u"Link", 100, &GetField<&SX_Hotlink::link>, &PutField<&SX_Hotlink::link>)
            .Property(u"Label", 101, &GetField<&SX_Hotlink::label>, &PutField<&SX_Hotlink::label>)
            .Property(u"ImageFile", 102, &GetField<&SX_Hotlink::imageFile>,
                      &PutField<&SX_Hotlink::imageFile>)
            .Property(u"UniqueIdForApp", 103, &GetField<&SX_Hotlink::uniqueId>,
                      &PutField<&SX_Hotlink::uniqueId>)
            .Property(u"Category", 104, &GetField<&SX_Hotlink::category>,
                      &PutField<&SX_Hotlink::category>)
            .Method(u"GetPosX", 1001, [](SX_Hotlink& h, double* v) { return *v = h.x, S_OK; })
            .Method(u"GetPosY", 1002, [](SX_Hotlink& h, double* v) { return *v = h.y, S_OK; })
            .Method(u"GetPosZ", 1003, [](SX_Hotlink& h, double* v) { return *v = h.z, S_OK; })
            .Build();
    return table;
}

bool SX_Hotlink::InsideOctagon(int dx, int dy) {
    if (dx < -11 || dx > 11 || dy < -11 || dy > 11) {
        return false;
    }
    int winding = 0;
    for (std::size_t i = 0; i < kOctagon.size(); ++i) {
        const auto& a = kOctagon[i];
        const auto& b = kOctagon[(i + 1) % kOctagon.size()];
        if (OnSegment(dx, dy, a, b)) {
            return true;
        }
        const long long cross = static_cast<long long>(b[0] - a[0]) * (dy - a[1]) -
                                static_cast<long long>(dx - a[0]) * (b[1] - a[1]);
        if (a[1] <= dy) {
            if (b[1] > dy && cross > 0) {
                ++winding;
            }
        } else if (b[1] <= dy && cross < 0) {
            --winding;
        }
    }
    return winding != 0;
}

bool SX_Hotlink::Hits(int px, int py) const {
    if (!visible || !Drawn()) {
        return false;
    }
    const long long dx = static_cast<long long>(px) - screenX;
    const long long dy = static_cast<long long>(py) - screenY;
    if (dx < -11 || dx > 11 || dy < -11 || dy > 11) {
        return false;
    }
    return InsideOctagon(static_cast<int>(dx), static_cast<int>(dy));
}

platform::XmlNode SX_Hotlink::WriteElement(std::u16string_view namespaceUri) const {
    StraleLib::SL_XMLWriter w(1);
    w.StartElement(u"sx:SX_Hotlink", namespaceUri);
    char position[160];
    platform::FormatInCLocale(position, sizeof position, "%f %f %f", x, y, z);
    AddTextElement(w, u"sx:Pos3D", platform::FromUtf8(position));
    AddTextElement(w, u"sx:Link", link);
    AddTextElement(w, u"sx:Label", label);
    AddTextElement(w, u"sx:ImageFile", imageFile);
    AddTextElement(w, u"sx:UniqueIdForApp", uniqueId);
    AddTextElement(w, u"sx:Category", category);
    return w.EndElement();
}

platform::ComPtr<SX_Hotlink> SX_Hotlink::ReadElement(const platform::XmlNode& element,
                                                     const ImageResolver& resolveImage) {
    if (!element || !element.IsElement()) {
        return nullptr;
    }
    auto h = platform::MakeRef<SX_Hotlink>();
    if (const platform::XmlNode pos = element.SelectSingleNode(u"sx:Pos3D")) {
        const std::string text = platform::ToUtf8(pos.Text());
        platform::ScanInCLocale(text.c_str(), "%lf %lf %lf", &h->x, &h->y, &h->z);
        h->link = ChildText(element, u"sx:Link");
        h->label = ChildText(element, u"sx:Label");
    } else {
        h->label = ChildText(element, u"sx:Name");
        if (element.SelectSingleNode(u"sx:Tooltip")) {
            h->label = ChildText(element, u"sx:Tooltip");
        }
        h->fullUrl = ChildText(element, u"sx:FullUrl");
        h->link = ChildText(element, u"sx:Url");
    }
    h->imageFile = ChildText(element, u"sx:ImageFile");
    if (!h->imageFile.empty() && !platform::FileExists(h->imageFile) && resolveImage) {
        h->imageFile = resolveImage(h->imageFile);
    }
    h->uniqueId = ChildText(element, u"sx:UniqueIdForApp");
    if (h->uniqueId.empty()) {
        h->uniqueId = h->label;
    }
    h->category = ChildText(element, u"sx:Category");
    if (h->category.empty()) {
        h->category = kDefaultCategory;
    }
    h->visible = true;
    return h;
}
