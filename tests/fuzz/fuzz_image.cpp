// Face images and masks (JPEG, PNG, the 1-bit mask PNG), the station icon
// bitmap and the PNG images of the controls: every decoder on every input.
// The size the header probe reads must be the size a decoder produces.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/Image.h"
#include "platform/ImageProbe.h"

namespace {

void Agree(bool probed, const platform::ImageInfo& info, std::int64_t width, std::int64_t height) {
    if (!probed || info.width != width || info.height != height) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    platform::ImageInfo info;
    const bool probed = platform::ProbeImage(data, size, info);
    platform::RgbImage rgb;
    if (platform::DecodeImage(data, size, rgb)) {
        Agree(probed, info, rgb.width, rgb.height);
    }
    platform::Mask mask;
    if (platform::DecodeMask(data, size, mask)) {
        Agree(probed, info, mask.width, mask.height);
    }
    if (platform::DecodeBmp(data, size, rgb)) {
        Agree(probed, info, rgb.width, rgb.height);
    }
    platform::RgbaImage rgba;
    if (platform::DecodePngRgba(data, size, rgba)) {
        Agree(probed, info, rgba.width, rgba.height);
    }
    return 0;
}
