#include "persist/MarkupFile.h"

#include <array>
#include <optional>

#include "host/SX_EventIds.h"
#include "markup2d/SX_Defaults.h"
#include "persist/SxView.h"
#include "persist/SxViews.h"
#include "platform/Folders.h"
#include "platform/SL_XMLWriter.h"
#include "platform/Text.h"
#include "view3d/NeighborView.h"
#include "view3d/SX_Hotlinks.h"

using platform::XmlNode;
using StraleLib::SL_XMLWriter;

namespace {

using Range = view3d::NeighborView::Range;

// The range elements in range order: distance, altitude, azimuth.
constexpr std::array<std::u16string_view, 3> kRangeElements = {u"sx:DistRange", u"sx:Altitude",
                                                               u"sx:Azimuth"};

bool WriteViews(SL_XMLWriter& w, const SxViews* views) {
    if (!w.StartElement(u"sx:Views")) {
        return false;
    }
    if (views != nullptr) {
        for (const auto& view : views->Views()) {
            // A view that gives no element (unbound) is left out.
            if (const XmlNode element = view->XmlElement()) {
                w.AppendNode(element);
            }
        }
    }
    return static_cast<bool>(w.EndElement());
}

void WriteNeighbors(SL_XMLWriter& w, const view3d::NeighborView& neighbors) {
    w.StartElement(u"sx:Neighbors");
    for (int i = 0; i < 3; ++i) {
        const Range r = neighbors.GetRange(i);
        w.StartElement(kRangeElements[static_cast<std::size_t>(i)]);
        w.AddAttribute(u"Use", r.used ? u"True" : u"False");
        w.AddAttribute(u"From", r.from);
        w.AddAttribute(u"To", r.to);
        w.EndElement();
    }
    w.EndElement();
}

std::optional<double> Number(const XmlNode& node, std::u16string_view name) {
    const std::optional<std::u16string> text = node.Attribute(name);
    double value = 0.0;
    if (!text || platform::ScanInCLocale(platform::ToUtf8(*text).c_str(), "%lf", &value) != 1) {
        return std::nullopt;
    }
    return value;
}

// Each range starts from what the previous element gave (the first from an
// unused 0..0): a missing element or attribute keeps that value.
void ReadNeighbors(const XmlNode& section, view3d::NeighborView& neighbors) {
    Range r;
    for (int i = 0; i < 3; ++i) {
        if (const XmlNode e =
                section.SelectSingleNode(kRangeElements[static_cast<std::size_t>(i)])) {
            if (const auto use = e.Attribute(u"Use")) {
                r.used = *use == u"True";
            }
            r.from = Number(e, u"From").value_or(r.from);
            r.to = Number(e, u"To").value_or(r.to);
        }
        neighbors.StoreRange(i, r);
    }
}

// Every child element becomes a new view, bound and added in order.
bool ReadViews(const XmlNode& section, persist::MarkupParts& parts) {
    bool ok = true;
    for (const XmlNode& child : section.Children()) {
        if (parts.views == nullptr || !parts.viewsLink) {
            ok = false;
            continue;
        }
        auto view = platform::MakeRef<SxView>();
        view->Bind(parts.viewsLink);
        if (!view->IsBound()) {
            ok = false;
            continue;
        }
        view->ReadXml(child);  // a view whose drawings fail still counts
        ok = parts.views->Add(platform::Variant(view)) == platform::S_OK && ok;
    }
    return ok;
}

}  // namespace

persist::MarkupSave persist::SaveMarkupFile(const MarkupParts& parts, std::u16string_view path) {
    SL_XMLWriter w{std::u16string(path)};
    if (!w.StartElement(u"sx:Markup", kSxNamespace)) {
        return MarkupSave::kNotBuilt;
    }
    if (parts.versionChecked) {
        w.StartElement(u"sx:VersionCheck");
        w.AddAttribute(u"Check", u"No");
        w.EndElement();
    }
    w.StartElement(u"sx:GUID");
    w.SetText(std::u16string_view(parts.dataSetId).substr(0, kMaxIdentifier));
    w.EndElement();
    if (!WriteViews(w, parts.views)) {
        return MarkupSave::kNotBuilt;
    }
    if (parts.neighbors != nullptr && parts.neighbors->HasNeighbors()) {
        WriteNeighbors(w, *parts.neighbors);
    }
    if (parts.hotlinks != nullptr) {
        parts.hotlinks->WriteSection(w);
    } else {
        w.StartElement(u"sx:Hotlinks");
        w.EndElement();
    }
    w.EndElement();  // saves the file
    return w.SaveFailed() ? MarkupSave::kWriteFailed : MarkupSave::kSaved;
}

std::u16string persist::AutoSavePath(std::u16string_view dataSetId) {
    return platform::PerUserPath(u"\\Panora\\" + std::u16string(dataSetId) + u".xml");
}

bool persist::ReadMarkup(const platform::XmlDocument& document, MarkupParts& parts) {
    bool viewsOk = true;
    if (const XmlNode views = document.SelectSingleNode(u"sx:Markup/sx:Views")) {
        viewsOk = ReadViews(views, parts);
    }
    bool neighborsRead = false;
    if (parts.neighbors != nullptr && parts.neighbors->HasNeighbors()) {
        if (const XmlNode section = document.SelectSingleNode(u"sx:Markup/sx:Neighbors")) {
            ReadNeighbors(section, *parts.neighbors);
            neighborsRead = true;
            if (ViewsHost* host = parts.viewsLink ? parts.viewsLink->host : nullptr) {
                host->FireEvent(SX_ControlEvents::kUpdateNeighborRanges);
            }
        }
    }
    bool hotlinksPresent = false;
    if (const XmlNode section = document.SelectSingleNode(u"sx:Markup/sx:Hotlinks")) {
        hotlinksPresent = true;
        if (parts.hotlinks != nullptr) {
            parts.hotlinks->ReadSection(section, parts.resolveImage);
        }
    }
    return viewsOk || neighborsRead || hotlinksPresent;
}

int persist::CheckMarkupFile(std::u16string_view path, std::u16string_view dataSetId) {
    platform::XmlDocument document;
    if (!document.Load(path)) {
        return -3;
    }
    const XmlNode markup = document.SelectSingleNode(u"sx:Markup");
    if (!markup) {
        return -2;
    }
    const XmlNode guid = markup.SelectSingleNode(u"sx:GUID");
    if (!guid) {
        return 0;
    }
    return guid.Text() == dataSetId.substr(0, kMaxIdentifier) ? 1 : -1;
}
