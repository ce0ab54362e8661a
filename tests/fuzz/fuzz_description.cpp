// The station description file, both formats, read as a load reads it:
// LoadPhase1 (the description) then LoadPhase2 (the tile pyramid, whose
// files are missing here: each gives its message). Nothing is downloaded.
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "host/Resources.h"
#include "platform/Text.h"
#include "station/SX_CubeMap.h"
#include "station/SX_LoadingContext.h"
#include "station/SX_PanoramaDataSet.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const host::Resources resources;
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
