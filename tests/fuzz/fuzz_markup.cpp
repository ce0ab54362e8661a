// The markup file: parsed and read into views, neighbour ranges (of a
// station with neighbours) and hotlinks as a load of markup does, then
// written back, as an auto-save after it would.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "FuzzSupport.h"
#include "host/Resources.h"
#include "persist/MarkupFile.h"
#include "persist/SxViews.h"
#include "platform/Text.h"
#include "platform/XmlDocument.h"
#include "station/SX_LoadingContext.h"
#include "station/SX_PanoramaDataSet.h"
#include "view3d/NeighborView.h"
#include "view3d/SX_Hotlinks.h"

namespace {

constexpr const char* kStation = R"(<?xml version="1.0"?>
<Qvscan:CubeMap xmlns:Qvscan="urn:panora:cubemap">
  <Qvscan:Uid>{4EA1B443-D0AB-5E69-7A7A-3AA8CED61694}</Qvscan:Uid>
  <Qvscan:Neighbors>
    <Qvscan:Neighbor Name="st2" URL="../st2/st2.xml" X="4.4" Y="-0.2" Z="-2.6" />
    <Qvscan:Neighbor Name="st3" URL="../st3/st3.xml" X="-1.5" Y="0.2" Z="-1.9" />
  </Qvscan:Neighbors>
</Qvscan:CubeMap>
)";

// A station with two neighbours, read once.
const SX_PanoramaDataSet& Station() {
    static const host::Resources resources;
    static const std::unique_ptr<SX_PanoramaDataSet> dataSet = [] {
        auto d = std::make_unique<SX_PanoramaDataSet>(resources);
        d->Initialise();
        const std::u16string path = platform::FromUtf8(fuzz::WriteScratch("st1/st1.xml", kStation));
        SX_LoadingContext context(path);
        bool versionCheckDone = false;
        d->LoadPhase1(context, path, versionCheckDone);
        return d;
    }();
    return *dataSet;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const SX_PanoramaDataSet& station = Station();
    const std::u16string path = platform::FromUtf8(fuzz::WriteScratch("markup.xml", data, size));
    persist::CheckMarkupFile(path, station.UniqueId());
    platform::XmlDocument document;
    if (!document.Load(path)) {
        return 0;
    }
    const auto link = std::make_shared<persist::ViewsHostLink>();
    auto views = platform::MakeRef<SxViews>(link);
    view3d::NeighborView neighbors;
    neighbors.Reset(station);
    auto hotlinks = platform::MakeRef<view3d::SX_Hotlinks>();
    persist::MarkupParts parts;
    parts.dataSetId = station.UniqueId();
    parts.views = views.Get();
    parts.viewsLink = link;
    parts.neighbors = &neighbors;
    parts.hotlinks = hotlinks.Get();
    parts.resolveImage = [](const std::u16string&) { return std::u16string(); };
    persist::ReadMarkup(document, parts);
    persist::SaveMarkupFile(parts, platform::FromUtf8(fuzz::ScratchDir() + "/saved.xml"));
    return 0;
}
