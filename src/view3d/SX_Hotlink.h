#pragma once
// One hotlink: a labelled link (a web address or a file) pinned to a 3D point
// of the station, drawn as an icon over the view and grouped by category. It
// is a reference-counted automation object (ISX_Hotlink): the collections
// of the control and those handed to the page share the same objects.
//
// Its markup element, sx:SX_Hotlink, holds sx:Pos3D ("%f %f %f"), sx:Link,
// sx:Label, sx:ImageFile, sx:UniqueIdForApp and sx:Category. An older form
// without sx:Pos3D (position 0, 0, 0) names the label sx:Name or sx:Tooltip
// (the tooltip wins), the link sx:Url and the resolved target sx:FullUrl.
// Either form takes the label as identifier when the identifier is empty and
// "Misc" as category when the category is empty.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/DispatchTable.h"
#include "platform/Dispatchable.h"
#include "platform/XmlDocument.h"

namespace view3d {

class SX_Hotlink final : public platform::Dispatchable {
  public:
    // Screen position of a hotlink that has not been drawn yet.
    static constexpr std::int32_t kNotDrawn = 2147483647;
    static constexpr std::u16string_view kDefaultCategory = u"Misc";

    const platform::DispatchTable& GetDispatchTable() const override { return Table(); }
    static const platform::DispatchTable& Table();

    // Position in the station's coordinates (what Get3DLocation returns).
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    std::u16string link;
    std::u16string label;
    std::u16string imageFile;  // "" : the default icon
    std::u16string uniqueId;   // the page's key for remove, replace and edit
    std::u16string category;
    std::u16string fullUrl;  // the resolved target, once known
    bool visible = false;    // drawn and hit-testable
    std::int32_t screenX = kNotDrawn;
    std::int32_t screenY = kNotDrawn;

    bool Drawn() const { return screenX != kNotDrawn && screenY != kNotDrawn; }
    // Whether the client pixel lies in the octagon around the last drawn
    // position (boundary included); false when hidden or not drawn.
    bool Hits(int px, int py) const;
    // The octagon test relative to the position (y grows downward).
    static bool InsideOctagon(int dx, int dy);

    // The element, built by a fragment writer of base indentation 1 in the
    // given namespace.
    platform::XmlNode WriteElement(std::u16string_view namespaceUri) const;
    // Reads an element of either form into a new, visible hotlink. An image
    // file that does not exist as named is passed through resolveImage (the
    // station's data location; may be null).
    using ImageResolver = std::function<std::u16string(const std::u16string&)>;
    static platform::ComPtr<SX_Hotlink> ReadElement(const platform::XmlNode& element,
                                                    const ImageResolver& resolveImage);
};

}  // namespace view3d
