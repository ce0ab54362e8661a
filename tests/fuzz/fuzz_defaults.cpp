// The drawing defaults file, read as the control reads it at construction.
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "host/Resources.h"
#include "markup2d/SX_Defaults.h"
#include "platform/Text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const host::Resources resources;
    const std::u16string path =
        platform::FromUtf8(fuzz::WriteScratch("Panora/Defaults.xml", data, size));
    SX_Defaults defaults;
    defaults.Load(path, resources);
    defaults.GetMessages();
    defaults.FillTransparency();
    for (int shape = -1; shape < 8; ++shape) {
        defaults.FontSizeFor(shape);
    }
    return 0;
}
