// ISX_Control members of the hotlinks. The counting and category members
// answer only once the control is complete (ready state 4), as does
// HotlinkMark3D; the others work whenever the control exists.

#include "control/Automation.h"
#include "control/AutomationTypes.h"
#include "control/HotlinkController.h"
#include "control/SX_Control.h"
#include "view3d/SX_Hotlinks.h"

using namespace control_automation;
using namespace platform;
using control::HotlinkController;
using view3d::SX_Hotlinks;

namespace {

using Hotlinks = SX_Hotlinks*;

// Calls fn(hotlinks, args...) while the control exists and returns its
// status; success otherwise.
template <class... A, class F>
auto OnHotlinks(F fn) {
    return [fn](control::Automation& self, A... args) -> HRESULT {
        SX_Control* control = self.Control();
        return control != nullptr ? fn(control->Hotlinks(), args...) : S_OK;
    };
}

// The same, only once the control is complete.
template <class... A, class F>
auto WhenReady(F fn) {
    return [fn](control::Automation& self, A... args) -> HRESULT {
        SX_Control* control = self.Control();
        if (control == nullptr || control->ReadyState() != 4) {
            return S_OK;
        }
        return fn(control->Hotlinks(), args...);
    };
}

}  // namespace

void control::Automation::AddHotlinkMembers(Builder& b) {
    b.Method(u"HotlinkMark3D", 1237,
             [](control::Automation& self, Double x, Double y, Double z, Long, Str,
                LongOut result) -> HRESULT {
                 *result = -1;
                 SX_Control* c = self.Control();
                 if (c == nullptr || c->ReadyState() != 4) {
                     return S_OK;
                 }
                 return c->Hotlinks().Mark3D(x, y, z);
             },
             {u"vx", u"vy", u"vz", u"unit", u"color"})
        .Method(u"LoadHotlinks", 1241, OnHotlinks<Str>([](HotlinkController& h, Str file) {
                    h.Load(file.Str());
                    return S_OK;
                }),
                {u"file"})
        .Method(u"GetCategoryCount", 1242, WhenReady<LongOut>([](HotlinkController& h, LongOut n) {
                    *n = h.Collection().CategoryCount();
                    return S_OK;
                }))
        .Method(u"GetNextCategory", 1243,
                WhenReady<Long, StrOut>([](HotlinkController& h, Long i, StrOut name) {
                    *name = Bstr(h.Collection().CategoryAt(i));
                    return S_OK;
                }),
                {u"Index"})
        .Method(u"GetHotlinksCount", 1244,
                WhenReady<Str, LongOut>([](HotlinkController& h, Str category, LongOut n) {
                    *n = h.Collection().CountIn(category.Str());
                    return S_OK;
                }),
                {u"Category"})
        .Method(u"GetNextHotlink", 1245,
                OnHotlinks<Str, Long, ObjectOut>(
                    [](HotlinkController& h, Str category, Long i, ObjectOut out) {
                        const auto found = h.Collection().At(category.Str(), i);
                        if (!found) {
                            return S_FALSE;
                        }
                        *out = ComPtr<Dispatchable>(found);
                        return S_OK;
                    }),
                {u"Category", u"Index"})
        .Method(u"DisplaySelectedHotlinks", 1246,
                OnHotlinks<Str>([](HotlinkController& h, Str category) {
                    h.DisplaySelected(category.Str());
                    return S_OK;
                }),
                {u"Category"})
        .Method(u"AddHotlink", 1247,
                OnHotlinks<Str, Str, Str, Str, Str, Long, Long>([](HotlinkController& h, Str link,
                                                                   Str label, Str category, Str id,
                                                                   Str image, Long sx, Long sy) {
                    double x = 0.0;
                    double y = 0.0;
                    double z = 0.0;
                    h.Locate(sx, sy, x, y, z);
                    return h.Add(link.Str(), label.Str(), category.Str(), id.Str(), image.Str(), x,
                                 y, z);
                }),
                {u"Link", u"Label", u"Category", u"UniqueIdForApp", u"imageLocation", u"screenX",
                 u"screenY"})
        .Method(u"AddHotlink3D", 1261,
                OnHotlinks<Str, Str, Str, Str, Str, Double, Double, Double>(
                    [](HotlinkController& h, Str link, Str label, Str category, Str id, Str image,
                       Double x, Double y, Double z) {
                        return h.Add(link.Str(), label.Str(), category.Str(), id.Str(), image.Str(),
                                     x, y, z);
                    }),
                {u"Link", u"Label", u"Category", u"UniqueIdForApp", u"imageLocation", u"vx", u"vy",
                 u"vz"})
        .Method(u"RemoveHotlink", 1248,
                OnHotlinks<Str>([](HotlinkController& h, Str id) { return h.Remove(id.Str()); }),
                {u"UniqueIdForApp"})
        .Method(u"ReplaceHotlinkImage", 1249,
                OnHotlinks<Str, Str>([](HotlinkController& h, Str id, Str image) {
                    return h.ReplaceImage(id.Str(), image.Str());
                }),
                {u"UniqueIdForApp", u"imageLocation"})
        .Method(u"AddHotlinks", 1250, OnHotlinks<Hotlinks>([](HotlinkController& h, Hotlinks from) {
                    if (from == nullptr) {
                        return E_POINTER;
                    }
                    for (const auto& hotlink : from->All()) {
                        h.Collection().Add(hotlink);
                    }
                    return S_OK;
                }),
                {u"pHotlinks"})
        .Method(u"RemoveHotlinks", 1251,
                OnHotlinks<Hotlinks>([](HotlinkController& h, Hotlinks from) {
                    if (from == nullptr) {
                        return E_POINTER;
                    }
                    for (const auto& hotlink : from->All()) {
                        h.Remove(hotlink->uniqueId);
                    }
                    return S_OK;
                }),
                {u"pHotlinks"})
        .Method(u"GetHotLinks", 1252,
                OnHotlinks<Str, ObjectOut>([](HotlinkController& h, Str category, ObjectOut out) {
                    auto collection = h.CollectionOf(category.Str());
                    if (!collection) {
                        return S_FALSE;
                    }
                    *out = ComPtr<Dispatchable>(collection);
                    return S_OK;
                }),
                {u"Category"})
        .Method(u"ReplaceHotlinksImage", 1254,
                OnHotlinks<Hotlinks, Str>([](HotlinkController&, Hotlinks from, Str image) {
                    if (from == nullptr) {
                        return E_POINTER;
                    }
                    for (const auto& hotlink : from->All()) {
                        hotlink->imageFile = image.Str();
                    }
                    return S_OK;
                }),
                {u"pHotlinks", u"imageLocation"})
        .Method(u"EditHotlink", 1257,
                OnHotlinks<Str, Str, Str, Str, Str>([](HotlinkController& h, Str oldId, Str newId,
                                                       Str link, Str label, Str category) {
                    return h.Edit(oldId.Str(), newId.Str(), link.Str(), label.Str(),
                                  category.Str());
                }),
                {u"olduniqueIdForApp", u"newUniqueIdForApp", u"Link", u"Label", u"Category"});
}
