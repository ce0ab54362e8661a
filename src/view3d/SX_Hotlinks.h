#pragma once
// A hotlink collection (ISX_Hotlinks): an ordered map from category name to
// the category's hotlinks in insertion order. Categories are ordered code
// unit by code unit, and one exists only while its list is non-empty. The
// lists hold counted references, so a collection handed to the page shares
// the hotlink objects with the control's own.
//
// Events and screen picking go through a HotlinkSite, which the control
// provides and which may be gone (a collection the page keeps after the
// control): then nothing is fired and a screen point gives the position
// 0, 0, 0. Events fire after the collection has changed, never while a
// list is being walked.
//
// Markup: WriteSection writes sx:Hotlinks (categories in map order) into
// the markup file's writer; ReadSection adds the hotlinks of a sx:Hotlinks
// element, each firing HotlinkAdded.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/ComVariant.h"
#include "platform/DispatchTable.h"
#include "platform/Dispatchable.h"
#include "platform/XmlDocument.h"
#include "view3d/SX_Hotlink.h"

namespace StraleLib {
class SL_XMLWriter;
}

namespace view3d {

// What a collection needs from the control that owns it.
class HotlinkSite {
  public:
    // The 3D point under a control client pixel; false (outputs untouched)
    // when there is none.
    virtual bool Locate(int screenX, int screenY, double& x, double& y, double& z) = 0;
    virtual void Fire(platform::DISPID id, const std::vector<platform::Variant>& args) = 0;

  protected:
    ~HotlinkSite() = default;
};

class SX_Hotlinks final : public platform::Dispatchable {
  public:
    using Ref = platform::ComPtr<SX_Hotlink>;
    using Map = std::map<std::u16string, std::vector<Ref>>;

    const platform::DispatchTable& GetDispatchTable() const override { return Table(); }
    static const platform::DispatchTable& Table();

    void SetSite(std::weak_ptr<HotlinkSite> site) { site_ = std::move(site); }

    const Map& Categories() const { return map_; }
    int CategoryCount() const { return static_cast<int>(map_.size()); }
    // The name at a 0-based index in map order; "" past the end.
    std::u16string CategoryAt(int index) const;
    // 0 for an unknown category.
    int CountIn(const std::u16string& category) const;
    // Null for an unknown category or an index out of range.
    Ref At(const std::u16string& category, int index) const;
    // Every hotlink, categories in map order.
    std::vector<Ref> All() const;

    // The first hotlink with that identifier (map order), or null.
    Ref Find(const std::u16string& uniqueId) const;
    int CountId(const std::u16string& uniqueId) const;

    // Appends to the end of its category's list and makes it visible; Add
    // fires HotlinkAdded afterwards, Insert fires nothing.
    void Add(const Ref& hotlink);
    void Insert(const Ref& hotlink);
    // Removes the first hotlink with that identifier and fires
    // HotlinkRemoved; null (nothing fired) when none has it.
    Ref Remove(const std::u16string& uniqueId);
    // Removes that object from its category's list and fires HotlinkRemoved;
    // false when it is not held here.
    bool RemoveObject(const SX_Hotlink* hotlink);
    // Releases every hotlink; no events.
    void Clear();
    // Moves a held hotlink to the end of a category's list and sets its
    // category (no event).
    void MoveToCategory(const SX_Hotlink* hotlink, const std::u16string& category);
    // Visible when its category is `category`, or `category` is "All".
    void DisplaySelected(const std::u16string& category);
    // The first hotlink whose octagon holds the client pixel (categories in
    // map order, lists in order), or null.
    Ref HitTest(int x, int y) const;

    void WriteSection(StraleLib::SL_XMLWriter& markup) const;
    // Adds the hotlinks of a sx:Hotlinks element; the count added.
    int ReadSection(const platform::XmlNode& hotlinks,
                    const SX_Hotlink::ImageResolver& resolveImage);

    // The argument list of HotlinkAdded / HotlinkRemoved.
    static std::vector<platform::Variant> EventArgs(const SX_Hotlink& hotlink);

  private:
    // ISX_Hotlinks.Add: the screen point is located through the site.
    platform::HRESULT AddAt(const platform::Bstr& link, const platform::Bstr& label,
                            const platform::Bstr& category, const platform::Bstr& uniqueId,
                            const platform::Bstr& imageLocation, std::int32_t screenX,
                            std::int32_t screenY);
    void Fire(platform::DISPID id, const std::vector<platform::Variant>& args) const;
    // Takes the object out of the map; false when not held.
    bool Take(const SX_Hotlink* hotlink);

    Map map_;
    std::weak_ptr<HotlinkSite> site_;
};

}  // namespace view3d
