// JPEG through TurboJPEG, PNG through libpng.
//
// Decoding never trusts a header: the size it claims is checked against
// kMaxImageSide and kMaxImagePixels, and against how many pixels the
// compressed bytes at hand can possibly describe, before any pixel memory is
// allocated. libpng reports errors by longjmp; every libpng call runs inside
// one function that owns no C++ object with a destructor, and all state it
// touches lives in a struct owned by its caller, so nothing leaks or is left
// half-built when libpng jumps out.

#include "platform/Image.h"

#include "platform/Heap.h"

#include <fcntl.h>
#include <png.h>
#include <sys/stat.h>
#include <turbojpeg.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>

namespace platform {
namespace {

// A JPEG made by an ordinary encoder needs at least a bit or two per 8 x 8
// block, about 200 pixels per byte for an empty image. A header claiming more
// than this many pixels per byte of data is taken as lying about its size.
constexpr std::int64_t kMaxJpegPixelsPerByte = 4096;
// Deflate cannot expand one byte into more than 1032; a PNG whose image data
// could not hold the rows its header declares is rejected before decoding.
constexpr std::int64_t kMaxDeflateRatio = 1032;
// Files larger than this are not read at all.
constexpr std::int64_t kMaxImageFileBytes = std::int64_t{1} << 31;

bool Fail(std::string* error, const std::string& text) {
    if (error != nullptr) {
        *error = text;
    }
    return false;
}

std::string SizeText(std::int64_t width, std::int64_t height) {
    return std::to_string(width) + " x " + std::to_string(height);
}

bool CheckDimensions(std::int64_t width, std::int64_t height, std::string* error) {
    if (width <= 0 || height <= 0) {
        return Fail(error, "image has no pixels (" + SizeText(width, height) + ")");
    }
    if (width > kMaxImageSide || height > kMaxImageSide) {
        return Fail(error, "image of " + SizeText(width, height) +
                               " pixels is larger than the largest side of " +
                               std::to_string(kMaxImageSide));
    }
    if (width * height > kMaxImagePixels) {
        return Fail(error, "image of " + SizeText(width, height) +
                               " pixels is larger than the limit of " +
                               std::to_string(kMaxImagePixels) + " pixels");
    }
    return true;
}

bool IsJpeg(const std::uint8_t* data, std::size_t size) {
    return size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
}

bool IsPng(const std::uint8_t* data, std::size_t size) {
    return size >= 8 && png_sig_cmp(data, 0, 8) == 0;
}

bool ValidImage(const RgbImage& image, std::string* error) {
    if (!CheckDimensions(image.width, image.height, error)) {
        return false;
    }
    const auto expected = static_cast<std::size_t>(image.width) * image.height * 3;
    if (image.rgb.size() != expected) {
        return Fail(error, "image of " + SizeText(image.width, image.height) + " pixels holds " +
                               std::to_string(image.rgb.size()) + " bytes instead of " +
                               std::to_string(expected));
    }
    return true;
}

bool ValidMask(const Mask& mask, std::string* error) {
    if (!CheckDimensions(mask.width, mask.height, error)) {
        return false;
    }
    const auto expected = static_cast<std::size_t>(mask.width) * mask.height;
    if (mask.opaque.size() != expected) {
        return Fail(error, "mask of " + SizeText(mask.width, mask.height) + " pixels holds " +
                               std::to_string(mask.opaque.size()) + " bytes instead of " +
                               std::to_string(expected));
    }
    return true;
}

// ---------------------------------------------------------------------------
// Files

bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string* error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return Fail(error, path + ": cannot open (" + std::strerror(errno) + ")");
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        return Fail(error, path + ": cannot read (" + std::strerror(errno) + ")");
    }
    if (!S_ISREG(st.st_mode)) {
        return Fail(error, path + ": not a regular file");
    }
    if (st.st_size == 0) {
        return Fail(error, path + ": file is empty");
    }
    if (st.st_size > kMaxImageFileBytes) {
        return Fail(error, path + ": file of " + std::to_string(st.st_size) +
                               " bytes is too large for an image");
    }
    bytes.resize(static_cast<std::size_t>(st.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return Fail(error, path + ": cannot read (" + std::strerror(errno) + ")");
        }
        if (n == 0) {
            break;  // the file shrank while being read
        }
        done += static_cast<std::size_t>(n);
    }
    bytes.resize(done);
    if (bytes.empty()) {
        return Fail(error, path + ": file is empty");
    }
    return true;
}

bool WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes,
                    std::string* error) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        return Fail(error, path + ": cannot create (" + std::strerror(errno) + ")");
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    const int writeErrno = errno;
    const bool closed = std::fclose(f) == 0;
    if (!written || !closed) {
        std::remove(path.c_str());
        return Fail(error,
                    path + ": cannot write (" + std::strerror(written ? errno : writeErrno) + ")");
    }
    return true;
}

// ---------------------------------------------------------------------------
// JPEG

// One TurboJPEG instance per thread and direction, kept for the next image;
// the loader decodes many faces in a row. After a failure it is dropped so
// that no state of a broken stream carries over.
struct TjInstance {
    tjhandle handle = nullptr;
    ~TjInstance() { Reset(); }
    void Reset() {
        if (handle != nullptr) {
            tjDestroy(handle);
            handle = nullptr;
        }
    }
};

TjInstance& Decompressor() {
    thread_local TjInstance instance;
    if (instance.handle == nullptr) {
        instance.handle = tjInitDecompress();
    }
    return instance;
}

TjInstance& Compressor() {
    thread_local TjInstance instance;
    if (instance.handle == nullptr) {
        instance.handle = tjInitCompress();
    }
    return instance;
}

std::string TjMessage(tjhandle handle) {
    std::string text = handle != nullptr ? tjGetErrorStr2(handle) : "cannot start TurboJPEG";
    // TurboJPEG prefixes its messages with the name of the failing function.
    const auto colon = text.find("(): ");
    if (colon != std::string::npos) {
        text.erase(0, colon + 4);
    }
    return "JPEG: " + text;
}

// Decodes into `pixels` with `channels` bytes per pixel (3: RGB, 4: B, G, R
// with alpha 255, 1: grey, which TurboJPEG takes from the luminance of a
// colour image). `pixels` is resized, not cleared: a buffer of an earlier
// image of the same size is written over without being filled first. Any warning
// of the decoder (truncated data, corrupt entropy-coded data) is a failure:
// the pixels after the damage would be filler, not the image.
bool DecodeJpeg(const std::uint8_t* data, std::size_t size, int channels, int& width, int& height,
                std::vector<std::uint8_t>& pixels, std::string* error) {
    TjInstance& tj = Decompressor();
    if (tj.handle == nullptr) {
        return Fail(error, TjMessage(nullptr));
    }
    int subsampling = 0;
    int colourspace = 0;
    if (tjDecompressHeader3(tj.handle, data, static_cast<unsigned long>(size), &width, &height,
                            &subsampling, &colourspace) != 0) {
        const std::string message = TjMessage(tj.handle);
        tj.Reset();
        return Fail(error, message);
    }
    if (!CheckDimensions(width, height, error)) {
        return false;
    }
    if (std::int64_t{width} * height > static_cast<std::int64_t>(size) * kMaxJpegPixelsPerByte) {
        return Fail(error, "JPEG: " + std::to_string(size) + " bytes of data cannot hold " +
                               SizeText(width, height) + " pixels");
    }
    const std::size_t bytes = static_cast<std::size_t>(width) * height * channels;
    if (pixels.capacity() < bytes) {
        // Room for a texture's storage where these pixels were (platform/Heap.h).
        pixels.reserve(bytes + kPixelBufferHeadroom);
        MapPagesForWriting(pixels.data(), bytes);
    }
    pixels.resize(bytes);
    const int format = channels == 1 ? TJPF_GRAY : channels == 4 ? TJPF_BGRA : TJPF_RGB;
    if (tjDecompress2(tj.handle, data, static_cast<unsigned long>(size), pixels.data(), width, 0,
                      height, format, TJFLAG_STOPONWARNING | TJFLAG_LIMITSCANS) != 0) {
        const std::string message = TjMessage(tj.handle);
        tj.Reset();
        return Fail(error, message);
    }
    return true;
}

// ---------------------------------------------------------------------------
// PNG

// Sum of the IDAT chunk lengths, counting only bytes actually present.
std::int64_t PngImageDataBytes(const std::uint8_t* data, std::size_t size) {
    std::int64_t total = 0;
    std::size_t pos = 8;
    while (pos + 8 <= size) {
        const std::uint32_t length = (std::uint32_t{data[pos]} << 24) |
                                     (std::uint32_t{data[pos + 1]} << 16) |
                                     (std::uint32_t{data[pos + 2]} << 8) | data[pos + 3];
        const std::uint8_t* type = data + pos + 4;
        const std::size_t body = pos + 8;
        const std::size_t present = body < size ? std::min<std::size_t>(length, size - body) : 0;
        if (std::memcmp(type, "IDAT", 4) == 0) {
            total += static_cast<std::int64_t>(present);
        } else if (std::memcmp(type, "IEND", 4) == 0) {
            break;
        }
        if (present < length) {
            break;
        }
        pos = body + length + 4;  // data and CRC
    }
    return total;
}

// Everything the libpng calls touch; owned by the caller of the function
// that holds the setjmp, so that a longjmp leaves it intact.
struct PngCodec {
    png_structp png = nullptr;
    png_infop info = nullptr;
    bool writing = false;
    char message[256] = {};
    // Reading
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    std::size_t pos = 0;
    // Writing
    std::vector<std::uint8_t>* out = nullptr;

    ~PngCodec() {
        if (writing) {
            png_destroy_write_struct(&png, info != nullptr ? &info : nullptr);
        } else if (png != nullptr) {
            png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr);
        }
    }
    // libpng often explains an error in the warning just before it
    // ("Image width exceeds user limit in IHDR", then "Invalid IHDR data").
    char warning[128] = {};

    void SetMessage(const char* text) {
        if (warning[0] != '\0') {
            std::snprintf(message, sizeof message, "PNG: %s (%s)", text, warning);
        } else {
            std::snprintf(message, sizeof message, "PNG: %s", text);
        }
    }
};

void PngOnError(png_structp png, png_const_charp text) {
    static_cast<PngCodec*>(png_get_error_ptr(png))->SetMessage(text);
    png_longjmp(png, 1);
}

void PngOnWarning(png_structp png, png_const_charp text) {
    auto* codec = static_cast<PngCodec*>(png_get_error_ptr(png));
    std::snprintf(codec->warning, sizeof codec->warning, "%s", text);
}

void PngRead(png_structp png, png_bytep dest, png_size_t length) {
    auto* codec = static_cast<PngCodec*>(png_get_io_ptr(png));
    if (length > codec->size - codec->pos) {
        png_error(png, "data ends early (truncated file)");
    }
    std::memcpy(dest, codec->data + codec->pos, length);
    codec->pos += length;
}

void PngWrite(png_structp png, png_bytep src, png_size_t length) {
    auto* codec = static_cast<PngCodec*>(png_get_io_ptr(png));
    codec->out->insert(codec->out->end(), src, src + length);
}

void PngFlush(png_structp) {}

// Decodes into `pixels`: 3 bytes per pixel, or 1 when `greyWanted` and the
// file is greyscale. Bit depths below 8 are scaled up (a set 1-bit pixel
// becomes 255), 16 bits are rounded down to 8, palettes are expanded and
// alpha is dropped (the colour is kept as stored). No gamma correction.
bool DecodePngRows(PngCodec& codec, bool greyWanted, int& width, int& height, int& channels,
                   std::vector<std::uint8_t>& pixels, std::int64_t imageDataBytes) {
    if (setjmp(png_jmpbuf(codec.png))) {
        return false;
    }
    png_set_read_fn(codec.png, &codec, PngRead);
    png_set_user_limits(codec.png, kMaxImageSide, kMaxImageSide);
    png_read_info(codec.png, codec.info);

    const auto w = static_cast<std::int64_t>(png_get_image_width(codec.png, codec.info));
    const auto h = static_cast<std::int64_t>(png_get_image_height(codec.png, codec.info));
    // Objects with destructors live only in blocks that make no libpng call,
    // so that a longjmp never skips a destructor.
    {
        std::string sizeError;
        if (!CheckDimensions(w, h, &sizeError)) {
            codec.SetMessage(sizeError.c_str());
            return false;
        }
    }
    const int bitDepth = png_get_bit_depth(codec.png, codec.info);
    const int colourType = png_get_color_type(codec.png, codec.info);
    const int sourceChannels = png_get_channels(codec.png, codec.info);
    // The rows (one filter byte each) must fit what the image data can inflate to.
    const std::int64_t rawBytes = h * ((w * bitDepth * sourceChannels + 7) / 8 + 1);
    if (rawBytes > imageDataBytes * kMaxDeflateRatio + 64) {
        const std::string text = std::to_string(imageDataBytes) +
                                 " bytes of image data cannot hold " + SizeText(w, h) + " pixels";
        codec.SetMessage(text.c_str());
        return false;
    }

    const bool grey = (colourType & PNG_COLOR_MASK_COLOR) == 0;
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        png_set_palette_to_rgb(codec.png);
    }
    if (grey && bitDepth < 8) {
        png_set_expand_gray_1_2_4_to_8(codec.png);
    }
    if (bitDepth == 16) {
        png_set_scale_16(codec.png);
    }
    png_set_strip_alpha(codec.png);
    channels = greyWanted && grey ? 1 : 3;
    if (channels == 3 && grey) {
        png_set_gray_to_rgb(codec.png);
    }
    const int passes = png_set_interlace_handling(codec.png);
    png_read_update_info(codec.png, codec.info);

    const std::size_t rowBytes = static_cast<std::size_t>(w) * channels;
    if (png_get_rowbytes(codec.png, codec.info) != rowBytes) {
        codec.SetMessage("unsupported pixel layout");
        return false;
    }
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    pixels.resize(rowBytes * static_cast<std::size_t>(h));
    for (int pass = 0; pass < passes; ++pass) {
        for (std::int64_t y = 0; y < h; ++y) {
            png_read_row(codec.png, pixels.data() + static_cast<std::size_t>(y) * rowBytes,
                         nullptr);
        }
    }
    // The trailing chunks are not read: the pixels are complete, and a file
    // cut off after its last image data still shows the whole image.
    return true;
}

bool DecodePng(const std::uint8_t* data, std::size_t size, bool greyWanted, int& width, int& height,
               int& channels, std::vector<std::uint8_t>& pixels, std::string* error) {
    PngCodec codec;
    codec.data = data;
    codec.size = size;
    codec.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &codec, PngOnError, PngOnWarning);
    if (codec.png != nullptr) {
        codec.info = png_create_info_struct(codec.png);
    }
    if (codec.png == nullptr || codec.info == nullptr) {
        return Fail(error, "PNG: cannot start the decoder");
    }
    if (!DecodePngRows(codec, greyWanted, width, height, channels, pixels,
                       PngImageDataBytes(data, size))) {
        return Fail(error, codec.message);
    }
    return true;
}

// Writes 8-bit RGB (channels 3) or 1-bit grey (channels 1, rows already
// packed) rows of `rowBytes` each.
bool EncodePngRows(PngCodec& codec, const std::uint8_t* rows, int width, int height,
                   bool oneBitGrey, std::size_t rowBytes) {
    if (setjmp(png_jmpbuf(codec.png))) {
        return false;
    }
    png_set_write_fn(codec.png, &codec, PngWrite, PngFlush);
    png_set_IHDR(codec.png, codec.info, static_cast<png_uint_32>(width),
                 static_cast<png_uint_32>(height), oneBitGrey ? 1 : 8,
                 oneBitGrey ? PNG_COLOR_TYPE_GRAY : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(codec.png, codec.info);
    for (int y = 0; y < height; ++y) {
        png_write_row(codec.png, rows + static_cast<std::size_t>(y) * rowBytes);
    }
    png_write_end(codec.png, nullptr);
    return true;
}

bool EncodePngBytes(const std::uint8_t* rows, int width, int height, bool oneBitGrey,
                    std::size_t rowBytes, std::vector<std::uint8_t>& out, std::string* error) {
    PngCodec codec;
    codec.writing = true;
    out.clear();
    codec.out = &out;
    codec.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &codec, PngOnError, PngOnWarning);
    if (codec.png != nullptr) {
        codec.info = png_create_info_struct(codec.png);
    }
    if (codec.png == nullptr || codec.info == nullptr) {
        return Fail(error, "PNG: cannot start the encoder");
    }
    if (!EncodePngRows(codec, rows, width, height, oneBitGrey, rowBytes)) {
        out.clear();
        return Fail(error, codec.message);
    }
    return true;
}

// ---------------------------------------------------------------------------

// Decodes either format into 3 channels, or 1 where `greyWanted` and the
// decoder can hand out grey directly.
bool DecodeAny(const std::uint8_t* data, std::size_t size, bool greyWanted, int& width, int& height,
               int& channels, std::vector<std::uint8_t>& pixels, std::string* error) {
    bool ok = false;
    if (data == nullptr || size == 0) {
        Fail(error, "no image data");
    } else if (IsJpeg(data, size)) {
        channels = greyWanted ? 1 : 3;
        ok = DecodeJpeg(data, size, channels, width, height, pixels, error);
    } else if (IsPng(data, size)) {
        ok = DecodePng(data, size, greyWanted, width, height, channels, pixels, error);
    } else {
        Fail(error, "not a JPEG or PNG image");
    }
    if (!ok) {
        width = height = 0;
        pixels.clear();
    }
    return ok;
}

}  // namespace

bool DecodeImage(const std::uint8_t* data, std::size_t size, RgbImage& out, std::string* error) {
    int channels = 3;
    return DecodeAny(data, size, false, out.width, out.height, channels, out.rgb, error);
}

bool DecodeImageFile(const std::string& path, RgbImage& out, std::string* error) {
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(path, bytes, error)) {
        out = RgbImage{};
        return false;
    }
    std::string reason;
    if (!DecodeImage(bytes.data(), bytes.size(), out, &reason)) {
        return Fail(error, path + ": " + reason);
    }
    return true;
}

bool DecodeImageBgra(const std::uint8_t* data, std::size_t size, BgraImage& out,
                     std::string* error) {
    bool ok = false;
    if (data == nullptr || size == 0) {
        Fail(error, "no image data");
    } else if (IsJpeg(data, size)) {
        ok = DecodeJpeg(data, size, 4, out.width, out.height, out.bgra, error);
    } else if (IsPng(data, size)) {
        // PNG faces are rare: decoded to R, G, B, then widened in place from
        // the last pixel back.
        int channels = 3;
        ok = DecodePng(data, size, false, out.width, out.height, channels, out.bgra, error);
        if (ok) {
            const std::size_t count = static_cast<std::size_t>(out.width) * out.height;
            out.bgra.resize(count * 4);
            std::uint8_t* px = out.bgra.data();
            for (std::size_t i = count; i-- > 0;) {
                const std::uint8_t r = px[i * 3], g = px[i * 3 + 1], b = px[i * 3 + 2];
                px[i * 4] = b;
                px[i * 4 + 1] = g;
                px[i * 4 + 2] = r;
                px[i * 4 + 3] = 255;
            }
        }
    } else {
        Fail(error, "not a JPEG or PNG image");
    }
    if (!ok) {
        out.width = out.height = 0;
        out.bgra.clear();
    }
    return ok;
}

bool DecodeImageFileBgra(const std::string& path, BgraImage& out, std::string* error) {
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(path, bytes, error)) {
        out.width = out.height = 0;
        out.bgra.clear();
        return false;
    }
    std::string reason;
    if (!DecodeImageBgra(bytes.data(), bytes.size(), out, &reason)) {
        return Fail(error, path + ": " + reason);
    }
    return true;
}

bool DecodeMask(const std::uint8_t* data, std::size_t size, Mask& out, std::string* error) {
    int channels = 1;
    if (!DecodeAny(data, size, true, out.width, out.height, channels, out.opaque, error)) {
        return false;
    }
    auto& px = out.opaque;
    const std::size_t count = static_cast<std::size_t>(out.width) * out.height;
    if (channels == 3) {
        // Grey of a colour pixel: its luminance (0.299 R + 0.587 G + 0.114 B).
        for (std::size_t i = 0; i < count; ++i) {
            const unsigned grey =
                (299u * px[3 * i] + 587u * px[3 * i + 1] + 114u * px[3 * i + 2] + 500u) / 1000u;
            px[i] = grey >= 128 ? 1 : 0;
        }
        px.resize(count);
    } else {
        for (auto& v : px) {
            v = v >= 128 ? 1 : 0;
        }
    }
    return true;
}

bool DecodeMaskFile(const std::string& path, Mask& out, std::string* error) {
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(path, bytes, error)) {
        out = Mask{};
        return false;
    }
    std::string reason;
    if (!DecodeMask(bytes.data(), bytes.size(), out, &reason)) {
        return Fail(error, path + ": " + reason);
    }
    return true;
}

bool EncodeJpeg(const RgbImage& image, int quality, std::vector<std::uint8_t>& out,
                std::string* error) {
    out.clear();
    if (!ValidImage(image, error)) {
        return false;
    }
    if (quality < 1 || quality > 100) {
        return Fail(error, "JPEG quality " + std::to_string(quality) + " is outside 1..100");
    }
    TjInstance& tj = Compressor();
    if (tj.handle == nullptr) {
        return Fail(error, TjMessage(nullptr));
    }
    unsigned char* jpeg = nullptr;
    unsigned long jpegSize = 0;
    const int subsampling = quality < 90 ? TJSAMP_420 : TJSAMP_444;
    const int rc = tjCompress2(tj.handle, image.rgb.data(), image.width, 0, image.height, TJPF_RGB,
                               &jpeg, &jpegSize, subsampling, quality, 0);
    std::unique_ptr<unsigned char, void (*)(unsigned char*)> owned(jpeg, tjFree);
    if (rc != 0) {
        const std::string message = TjMessage(tj.handle);
        tj.Reset();
        return Fail(error, message);
    }
    out.assign(jpeg, jpeg + jpegSize);
    return true;
}

bool EncodeJpegFile(const RgbImage& image, const std::string& path, int quality,
                    std::string* error) {
    std::vector<std::uint8_t> bytes;
    return EncodeJpeg(image, quality, bytes, error) && WriteWholeFile(path, bytes, error);
}

bool EncodePng(const RgbImage& image, std::vector<std::uint8_t>& out, std::string* error) {
    out.clear();
    return ValidImage(image, error) &&
           EncodePngBytes(image.rgb.data(), image.width, image.height, false,
                          static_cast<std::size_t>(image.width) * 3, out, error);
}

bool EncodePngFile(const RgbImage& image, const std::string& path, std::string* error) {
    std::vector<std::uint8_t> bytes;
    return EncodePng(image, bytes, error) && WriteWholeFile(path, bytes, error);
}

bool EncodeMaskPng(const Mask& mask, std::vector<std::uint8_t>& out, std::string* error) {
    out.clear();
    if (!ValidMask(mask, error)) {
        return false;
    }
    // Pack eight pixels per byte, the leftmost in the most significant bit.
    const std::size_t rowBytes = (static_cast<std::size_t>(mask.width) + 7) / 8;
    std::vector<std::uint8_t> packed(rowBytes * mask.height, 0);
    for (int y = 0; y < mask.height; ++y) {
        const std::uint8_t* src = mask.opaque.data() + static_cast<std::size_t>(y) * mask.width;
        std::uint8_t* dst = packed.data() + static_cast<std::size_t>(y) * rowBytes;
        for (int x = 0; x < mask.width; ++x) {
            if (src[x] != 0) {
                dst[x >> 3] |= static_cast<std::uint8_t>(0x80u >> (x & 7));
            }
        }
    }
    return EncodePngBytes(packed.data(), mask.width, mask.height, true, rowBytes, out, error);
}

bool EncodeMaskPngFile(const Mask& mask, const std::string& path, std::string* error) {
    std::vector<std::uint8_t> bytes;
    return EncodeMaskPng(mask, bytes, error) && WriteWholeFile(path, bytes, error);
}

}  // namespace platform
