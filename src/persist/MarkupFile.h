#pragma once
// The markup file: a station's saved views with their drawings, its
// neighbour range filters and its hotlinks, in one XML document.
//
//   sx:Markup              root, "sx" declared as kSxNamespace
//     sx:VersionCheck      Check="No", only while the version-check marker is set
//     sx:GUID              the data set's identifier ("" without a station)
//     sx:Views             one sx:View per view, in collection order
//     sx:Neighbors         only when the station has neighbours:
//       sx:DistRange, sx:Altitude, sx:Azimuth   Use="True|False" From To ("%4.3f")
//     sx:Hotlinks          one sx:SX_Hotlink per hotlink, categories in order
//
// Writing builds the whole document with the XML writer and saves it in one
// go (the save replaces the file whole). Reading adds to what the parts
// already hold: views get new IDs (their GUIDs are kept), hotlinks are
// appended, the neighbour ranges are replaced.
#include <cstdint>
#include <string>
#include <string_view>

#include "persist/ViewsHost.h"
#include "platform/XmlDocument.h"
#include "view3d/SX_Hotlink.h"

class SxViews;
namespace view3d {
class NeighborView;
class SX_Hotlinks;
}  // namespace view3d

namespace persist {

// What a markup document is made of and where reading puts it; the control
// fills it from its own parts. Null parts are left out of the document (and
// their sections are not read).
struct MarkupParts {
    // The data set's identifier, copied under the station's data lock.
    std::u16string dataSetId;
    // The data-version check ran (or an earlier auto-save said it had).
    bool versionChecked = false;
    SxViews* views = nullptr;
    // The link new views are bound with; its host also fires
    // UpdateNeighborRanges after the ranges were read.
    ViewsHostRef viewsLink;
    view3d::NeighborView* neighbors = nullptr;
    view3d::SX_Hotlinks* hotlinks = nullptr;
    // Resolves a hotlink's image file against the station's location.
    view3d::SX_Hotlink::ImageResolver resolveImage;
};

// Identifiers are cut to this length wherever they are copied.
inline constexpr std::size_t kMaxIdentifier = 259;

enum class MarkupSave {
    kSaved,
    kNotBuilt,     // a step of the document failed: nothing was written
    kWriteFailed,  // the document was built, the file could not be written
};
MarkupSave SaveMarkupFile(const MarkupParts& parts, std::u16string_view path);

// The auto-saved file of a data set: "<data>/Panora/<identifier>.xml", ""
// when the per-user data folder is unknown.
std::u16string AutoSavePath(std::u16string_view dataSetId);

// Reads the sections of a parsed markup document into the parts. The result
// is true when the views section was absent, empty or gave a view for every
// child, or the neighbour ranges were read, or a hotlink section was there.
bool ReadMarkup(const platform::XmlDocument& document, MarkupParts& parts);

// Classifies a file: -3 it does not load, -2 no sx:Markup root, 0 no sx:GUID,
// 1 the GUID is the identifier, -1 it is another one.
int CheckMarkupFile(std::u16string_view path, std::u16string_view dataSetId);

}  // namespace persist
