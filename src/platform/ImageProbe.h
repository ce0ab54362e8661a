#pragma once
// The size an image file declares, read from its header without decoding it:
// the callers check it against what the image may be before any pixel memory
// is spent. JPEG (its first frame header, walking the segments before it the
// way the decoder does), PNG (IHDR) and Windows bitmaps (the info header;
// the height's sign, which marks top-down rows, is dropped).

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

enum class ImageKind { Jpeg, Png, Bmp };

struct ImageInfo {
    ImageKind kind = ImageKind::Jpeg;
    std::int64_t width = 0;
    std::int64_t height = 0;
};

// False when the bytes are not the start of an image of these kinds or end
// before its size.
bool ProbeImage(const std::uint8_t* data, std::size_t size, ImageInfo& info);
// Reads only as much of the file as the header needs.
bool ProbeImageFile(const std::string& path, ImageInfo& info);

}  // namespace platform
