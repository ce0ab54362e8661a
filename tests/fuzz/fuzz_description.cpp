// The station description file, both formats, read as a load reads it:
// LoadPhase1 (the description) then LoadPhase2 (the tile pyramid). Beside it
// lie the face images, masks and point files of a generated station's
// 16-pixel level in both namings (tests/fuzz/station), so that the levels
// and face sizes a mutated file declares meet real tiles. Nothing is
// downloaded.
#include <cstddef>
#include <cstdint>
#include <filesystem>

#include "FuzzSupport.h"
#include "host/Resources.h"
#include "platform/Text.h"
#include "station/SX_CubeMap.h"
#include "station/SX_LoadingContext.h"
#include "station/SX_PanoramaDataSet.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const host::Resources resources;
    static const bool tiles = [] {
        const std::filesystem::path folder = std::filesystem::path(fuzz::ScratchDir()) / "st";
        std::filesystem::create_directories(folder);
        std::filesystem::copy(PANORA_FUZZ_STATION_DIR, folder,
                              std::filesystem::copy_options::overwrite_existing |
                                  std::filesystem::copy_options::recursive);
        return true;
    }();
    (void)tiles;
    const std::u16string path = platform::FromUtf8(fuzz::WriteScratch("st/st.xml", data, size));
    SX_PanoramaDataSet dataSet(resources);
    dataSet.Initialise();
    SX_LoadingContext context(path);
    context.SetCancelCheck([] { return true; });
    bool versionCheckDone = false;
    if (dataSet.LoadPhase1(context, path, versionCheckDone)) {
        dataSet.LoadPhase2(context, path);
        dataSet.SetMaxVisibleNeighbors(dataSet.GetMaxVisibleNeighbors() + 1);
        dataSet.SiteMap(context);
        for (int level = 0; level < SX_CubeMap::kMaxLevels; ++level) {
            dataSet.CubeMap()->LevelSize(level);
        }
    }
    dataSet.GetMessages();
    dataSet.Clear();
    return 0;
}
