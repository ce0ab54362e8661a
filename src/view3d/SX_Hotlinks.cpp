#include "view3d/SX_Hotlinks.h"

#include <algorithm>

#include "host/SX_EventIds.h"
#include "platform/ComBstr.h"
#include "platform/DispatchTableBuilder.h"
#include "platform/SL_XMLWriter.h"
#include "view3d/EventHandlerReturn.h"

using platform::Bstr;
using platform::HRESULT;
using platform::S_FALSE;
using platform::S_OK;
using view3d::SX_Hotlinks;

const platform::DispatchTable& view3d::EventHandlerReturn::Table() {
    static const platform::DispatchTable table =
        platform::DispatchTableBuilder<EventHandlerReturn>()
            .Property(
                u"EventProcessingComplete", 1000,
                [](EventHandlerReturn& r, platform::VARIANT_BOOL* v) {
                    *v = platform::ToVariantBool(r.Complete());
                    return S_OK;
                },
                [](EventHandlerReturn& r, platform::VARIANT_BOOL v) {
                    r.SetComplete(platform::IsVariantTrue(v));
                    return S_OK;
                })
            .Build();
    return table;
}

const platform::DispatchTable& SX_Hotlinks::Table() {
    static const platform::DispatchTable table =
        platform::DispatchTableBuilder<SX_Hotlinks>()
            .Method(u"Add", 1, &SX_Hotlinks::AddAt,
                    {u"Link", u"Label", u"Category", u"UniqueIdForApp", u"imageLocation",
                     u"screenX", u"screenY"})
            .Method(u"Remove", 2,
                    [](SX_Hotlinks& self, const Bstr& id) {
                        return self.Remove(id.Str()) ? S_OK : S_FALSE;
                    },
                    {u"identifier"})
            .Method(u"Clear", 4, [](SX_Hotlinks& self) { return self.Clear(), S_OK; })
            .Build();
    return table;
}

std::u16string SX_Hotlinks::CategoryAt(int index) const {
    if (index < 0 || index >= CategoryCount()) {
        return {};
    }
    return std::next(map_.begin(), index)->first;
}

int SX_Hotlinks::CountIn(const std::u16string& category) const {
    const auto it = map_.find(category);
    return it == map_.end() ? 0 : static_cast<int>(it->second.size());
}

SX_Hotlinks::Ref SX_Hotlinks::At(const std::u16string& category, int index) const {
    const auto it = map_.find(category);
    if (it == map_.end() || index < 0 || index >= static_cast<int>(it->second.size())) {
        return nullptr;
    }
    return it->second[index];
}

std::vector<SX_Hotlinks::Ref> SX_Hotlinks::All() const {
    std::vector<Ref> all;
    for (const auto& [name, list] : map_) {
        all.insert(all.end(), list.begin(), list.end());
    }
    return all;
}

SX_Hotlinks::Ref SX_Hotlinks::Find(const std::u16string& uniqueId) const {
    for (const auto& [name, list] : map_) {
        for (const Ref& h : list) {
            if (h->uniqueId == uniqueId) {
                return h;
            }
        }
    }
    return nullptr;
}

int SX_Hotlinks::CountId(const std::u16string& uniqueId) const {
    int n = 0;
    for (const auto& [name, list] : map_) {
        n += static_cast<int>(std::count_if(list.begin(), list.end(),
                                            [&](const Ref& h) { return h->uniqueId == uniqueId; }));
    }
    return n;
}

void SX_Hotlinks::Insert(const Ref& hotlink) {
    if (!hotlink) {
        return;
    }
    hotlink->visible = true;
    map_[hotlink->category].push_back(hotlink);
}

void SX_Hotlinks::Add(const Ref& hotlink) {
    if (!hotlink) {
        return;
    }
    Insert(hotlink);
    Fire(SX_ControlEvents::kHotlinkAdded, EventArgs(*hotlink));
}

bool SX_Hotlinks::Take(const SX_Hotlink* hotlink) {
    for (auto it = map_.begin(); it != map_.end(); ++it) {
        auto& list = it->second;
        const auto found = std::find_if(list.begin(), list.end(),
                                        [&](const Ref& h) { return h.Get() == hotlink; });
        if (found != list.end()) {
            list.erase(found);
            if (list.empty()) {
                map_.erase(it);
            }
            return true;
        }
    }
    return false;
}

SX_Hotlinks::Ref SX_Hotlinks::Remove(const std::u16string& uniqueId) {
    Ref hotlink = Find(uniqueId);
    if (hotlink && Take(hotlink.Get())) {
        Fire(SX_ControlEvents::kHotlinkRemoved, EventArgs(*hotlink));
    }
    return hotlink;
}

bool SX_Hotlinks::RemoveObject(const SX_Hotlink* hotlink) {
    const Ref keep(const_cast<SX_Hotlink*>(hotlink));
    if (!Take(hotlink)) {
        return false;
    }
    Fire(SX_ControlEvents::kHotlinkRemoved, EventArgs(*keep));
    return true;
}

void SX_Hotlinks::Clear() {
    map_.clear();
}

void SX_Hotlinks::MoveToCategory(const SX_Hotlink* hotlink, const std::u16string& category) {
    Ref keep(const_cast<SX_Hotlink*>(hotlink));
    if (Take(hotlink)) {
        keep->category = category;
        map_[category].push_back(keep);
    }
}

void SX_Hotlinks::DisplaySelected(const std::u16string& category) {
    const bool all = category == u"All";
    for (auto& [name, list] : map_) {
        for (Ref& h : list) {
            h->visible = all || h->category == category;
        }
    }
}

SX_Hotlinks::Ref SX_Hotlinks::HitTest(int x, int y) const {
    for (const auto& [name, list] : map_) {
        for (const Ref& h : list) {
            if (h->Hits(x, y)) {
                return h;
            }
        }
    }
    return nullptr;
}

void SX_Hotlinks::WriteSection(StraleLib::SL_XMLWriter& markup) const {
    const platform::XmlNode parent = markup.CurrentElement();
    const std::u16string ns = parent ? parent.NamespaceUri() : std::u16string();
    markup.StartElement(u"sx:Hotlinks");
    for (const auto& [name, list] : map_) {
        for (const Ref& h : list) {
            markup.AppendNode(h->WriteElement(ns));
        }
    }
    markup.EndElement();
}

int SX_Hotlinks::ReadSection(const platform::XmlNode& hotlinks,
                             const SX_Hotlink::ImageResolver& resolveImage) {
    int added = 0;
    for (const platform::XmlNode& element : hotlinks.Children(u"sx:SX_Hotlink")) {
        if (Ref h = SX_Hotlink::ReadElement(element, resolveImage)) {
            Add(h);
            ++added;
        }
    }
    return added;
}

std::vector<platform::Variant> SX_Hotlinks::EventArgs(const SX_Hotlink& h) {
    return {platform::Variant(h.link), platform::Variant(h.label), platform::Variant(h.category),
            platform::Variant(h.uniqueId), platform::Variant(h.imageFile)};
}

HRESULT SX_Hotlinks::AddAt(const Bstr& link, const Bstr& label, const Bstr& category,
                           const Bstr& uniqueId, const Bstr& imageLocation, std::int32_t screenX,
                           std::int32_t screenY) {
    auto h = platform::MakeRef<SX_Hotlink>();
    if (const auto site = site_.lock()) {
        site->Locate(screenX, screenY, h->x, h->y, h->z);
    }
    h->link = link.Str();
    h->label = label.Str();
    h->category = category.Str();
    h->uniqueId = uniqueId.Str();
    h->imageFile = imageLocation.Str();
    Add(h);
    return S_OK;
}

void SX_Hotlinks::Fire(platform::DISPID id, const std::vector<platform::Variant>& args) const {
    if (const auto site = site_.lock()) {
        site->Fire(id, args);
    }
}
