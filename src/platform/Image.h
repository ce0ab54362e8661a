#pragma once
// Image codecs: face images (JPEG or PNG), 1-bit masks, and the JPEG and PNG
// encoders used for export and by the station generator. Every function
// reports failure through its result and never throws; corrupt, truncated or
// absurdly large images fail cleanly.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// 24-bit colour, rows top-down, 3 bytes (R, G, B) per pixel, no row padding.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
};

// One byte per pixel, rows top-down: 1 opaque (a set bit in the mask file),
// 0 clear.
struct Mask {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> opaque;
};

// 32-bit colour as OpenGL takes it with GL_BGRA: rows top-down, 4 bytes
// (B, G, R, A) per pixel.
struct BgraImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bgra;
};

// 32-bit colour with alpha, rows top-down, 4 bytes (R, G, B, A) per pixel.
struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;
};

// Largest width or height a decoder accepts.
constexpr int kMaxImageSide = 32768;
// Largest number of pixels (width x height) a decoder accepts: 2^28, about
// 268 million pixels or 768 MiB of 24-bit colour. Checked from the image
// header before any pixel memory is allocated.
constexpr std::int64_t kMaxImagePixels = std::int64_t{1} << 28;

// Decodes JPEG or PNG (told apart by content) to 24-bit colour.
bool DecodeImage(const std::uint8_t* data, std::size_t size, RgbImage& out,
                 std::string* error = nullptr);
bool DecodeImageFile(const std::string& path, RgbImage& out, std::string* error = nullptr);
// The same straight into B, G, R, A with alpha 255, the layout face textures
// are uploaded in. out.bgra is resized, not cleared: the buffer of an earlier
// image of the same size is reused without being filled first.
bool DecodeImageBgra(const std::uint8_t* data, std::size_t size, BgraImage& out,
                     std::string* error = nullptr);
bool DecodeImageFileBgra(const std::string& path, BgraImage& out, std::string* error = nullptr);

// Decodes a mask image held in memory, with the same rule as DecodeMaskFile.
bool DecodeMask(const std::uint8_t* data, std::size_t size, Mask& out,
                std::string* error = nullptr);

// Decodes a mask image (normally a 1-bit PNG; any PNG or JPEG is accepted and
// a pixel is opaque when its grey value is at least 128).
bool DecodeMaskFile(const std::string& path, Mask& out, std::string* error = nullptr);

// Decodes an uncompressed Windows bitmap (BMP with a 40-byte or larger info
// header, 24 or 32 bits per pixel, no compression or 32-bit bit fields in the
// usual B, G, R order; bottom-up or top-down) to 24-bit colour. The fourth
// byte of 32-bit pixels is ignored. Anything else, or a file shorter than its
// rows, fails.
bool DecodeBmp(const std::uint8_t* data, std::size_t size, RgbImage& out,
               std::string* error = nullptr);
bool DecodeBmpFile(const std::string& path, RgbImage& out, std::string* error = nullptr);

// Decodes a PNG of any colour type to 8-bit RGBA (alpha 255 where the file has
// none), with lodepng; for the built-in images and logo files.
bool DecodePngRgba(const std::uint8_t* data, std::size_t size, RgbaImage& out,
                   std::string* error = nullptr);
bool DecodePngRgbaFile(const std::string& path, RgbaImage& out, std::string* error = nullptr);

// Encoders. quality is 1..100 (anything else fails); below 90 the chroma is
// subsampled 4:2:0, from 90 on it is kept at full resolution (4:4:4).
bool EncodeJpeg(const RgbImage& image, int quality, std::vector<std::uint8_t>& out,
                std::string* error = nullptr);
bool EncodeJpegFile(const RgbImage& image, const std::string& path, int quality = 90,
                    std::string* error = nullptr);
bool EncodePng(const RgbImage& image, std::vector<std::uint8_t>& out, std::string* error = nullptr);
bool EncodePngFile(const RgbImage& image, const std::string& path, std::string* error = nullptr);
// Writes a 1-bit greyscale PNG: white (set) for opaque pixels. Any non-zero
// byte of the mask counts as opaque.
bool EncodeMaskPng(const Mask& mask, std::vector<std::uint8_t>& out, std::string* error = nullptr);
bool EncodeMaskPngFile(const Mask& mask, const std::string& path, std::string* error = nullptr);

}  // namespace platform
