// The small decoders of platform/Image.h: uncompressed Windows bitmaps (own
// code, the format is a fixed header and raw rows) and PNG to RGBA with
// lodepng for the built-in images and logo files.

#include <lodepng.h>

#include <cstdlib>
#include <cstring>
#include <fstream>

#include "platform/Image.h"

namespace platform {
namespace {

// Icons and logos are small; larger files are not read at all.
constexpr std::streamoff kMaxSmallImageFile = std::streamoff{1} << 28;

bool Fail(std::string* error, const std::string& text) {
    if (error != nullptr) {
        *error = text;
    }
    return false;
}

bool ReadFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string* error) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) {
        return Fail(error, path + ": cannot open");
    }
    const std::streamoff size = in.tellg();
    if (size <= 0 || size > kMaxSmallImageFile) {
        return Fail(error, path + (size <= 0 ? ": file is empty" : ": file is too large"));
    }
    bytes.resize(static_cast<std::size_t>(size));
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), size)) {
        return Fail(error, path + ": cannot read");
    }
    return true;
}

std::uint32_t U32(const std::uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t U16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

bool CheckSize(std::int64_t width, std::int64_t height, std::string* error) {
    if (width <= 0 || height <= 0 || width > kMaxImageSide || height > kMaxImageSide ||
        width * height > kMaxImagePixels) {
        return Fail(error, "image size " + std::to_string(width) + " x " + std::to_string(height) +
                               " is not accepted");
    }
    return true;
}

}  // namespace

bool DecodeBmp(const std::uint8_t* data, std::size_t size, RgbImage& out, std::string* error) {
    out = RgbImage{};
    constexpr std::size_t kFileHeader = 14;
    if (data == nullptr || size < kFileHeader + 40 || data[0] != 'B' || data[1] != 'M') {
        return Fail(error, "BMP: not a Windows bitmap");
    }
    const std::uint32_t pixelOffset = U32(data + 10);
    const std::uint32_t infoSize = U32(data + 14);
    if (infoSize < 40 || infoSize > size - kFileHeader) {
        return Fail(error, "BMP: unsupported header");
    }
    const std::int64_t width = static_cast<std::int32_t>(U32(data + 18));
    const std::int64_t rawHeight = static_cast<std::int32_t>(U32(data + 22));
    const int bits = U16(data + 28);
    const std::uint32_t compression = U32(data + 30);
    const bool topDown = rawHeight < 0;
    const std::int64_t height = topDown ? -rawHeight : rawHeight;
    if (bits != 24 && bits != 32) {
        return Fail(error, "BMP: " + std::to_string(bits) + " bits per pixel is not supported");
    }
    if (compression == 3 && bits == 32) {
        // Bit fields: only the plain B, G, R byte order is taken.
        const std::size_t masks = infoSize >= 52 ? kFileHeader + 40 : kFileHeader + infoSize;
        if (masks + 12 > size || U32(data + masks) != 0x00FF0000u ||
            U32(data + masks + 4) != 0x0000FF00u || U32(data + masks + 8) != 0x000000FFu) {
            return Fail(error, "BMP: unsupported bit fields");
        }
    } else if (compression != 0) {
        return Fail(error, "BMP: compressed bitmaps are not supported");
    }
    if (!CheckSize(width, height, error)) {
        return false;
    }
    const int bytesPerPixel = bits / 8;
    const std::int64_t stride = (width * bytesPerPixel + 3) / 4 * 4;
    if (pixelOffset < kFileHeader + infoSize ||
        static_cast<std::int64_t>(pixelOffset) + stride * (height - 1) + width * bytesPerPixel >
            static_cast<std::int64_t>(size)) {
        return Fail(error, "BMP: the file is shorter than its rows");
    }
    out.width = static_cast<int>(width);
    out.height = static_cast<int>(height);
    out.rgb.resize(static_cast<std::size_t>(width * height * 3));
    for (std::int64_t y = 0; y < height; ++y) {
        const std::int64_t fileRow = topDown ? y : height - 1 - y;
        const std::uint8_t* src = data + pixelOffset + fileRow * stride;
        std::uint8_t* dst = out.rgb.data() + y * width * 3;
        for (std::int64_t x = 0; x < width; ++x) {
            dst[0] = src[2];
            dst[1] = src[1];
            dst[2] = src[0];
            src += bytesPerPixel;
            dst += 3;
        }
    }
    return true;
}

bool DecodeBmpFile(const std::string& path, RgbImage& out, std::string* error) {
    std::vector<std::uint8_t> bytes;
    out = RgbImage{};
    if (!ReadFile(path, bytes, error)) {
        return false;
    }
    std::string reason;
    if (!DecodeBmp(bytes.data(), bytes.size(), out, &reason)) {
        return Fail(error, path + ": " + reason);
    }
    return true;
}

bool DecodePngRgba(const std::uint8_t* data, std::size_t size, RgbaImage& out, std::string* error) {
    out = RgbaImage{};
    if (data == nullptr || size == 0) {
        return Fail(error, "PNG: no data");
    }
    unsigned width = 0;
    unsigned height = 0;
    LodePNGState state;
    lodepng_state_init(&state);
    unsigned code = lodepng_inspect(&width, &height, &state, data, size);
    lodepng_state_cleanup(&state);
    if (code != 0) {
        return Fail(error, std::string("PNG: ") + lodepng_error_text(code));
    }
    if (!CheckSize(width, height, error)) {
        return false;
    }
    unsigned char* pixels = nullptr;
    code = lodepng_decode32(&pixels, &width, &height, data, size);
    if (code != 0) {
        std::free(pixels);
        return Fail(error, std::string("PNG: ") + lodepng_error_text(code));
    }
    out.width = static_cast<int>(width);
    out.height = static_cast<int>(height);
    out.rgba.assign(pixels, pixels + std::size_t{width} * height * 4);
    std::free(pixels);
    return true;
}

bool DecodePngRgbaFile(const std::string& path, RgbaImage& out, std::string* error) {
    std::vector<std::uint8_t> bytes;
    out = RgbaImage{};
    if (!ReadFile(path, bytes, error)) {
        return false;
    }
    std::string reason;
    if (!DecodePngRgba(bytes.data(), bytes.size(), out, &reason)) {
        return Fail(error, path + ": " + reason);
    }
    return true;
}

}  // namespace platform
