#include "platform/Image.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "support/ImageCompare.h"
#include "support/TempDir.h"

namespace {

using platform::Mask;
using platform::RgbImage;
using testsupport::ImageTolerance;
using Bytes = std::vector<std::uint8_t>;

// A smooth colour pattern: red across, green down, blue along the diagonal.
RgbImage Gradient(int w, int h) {
    RgbImage img{w, h, Bytes(static_cast<std::size_t>(w) * h * 3)};
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            auto* p = &img.rgb[(static_cast<std::size_t>(y) * w + x) * 3];
            p[0] = static_cast<std::uint8_t>(x * 255 / (w - 1));
            p[1] = static_cast<std::uint8_t>(y * 255 / (h - 1));
            p[2] = static_cast<std::uint8_t>((x + y) * 255 / (w + h - 2));
        }
    }
    return img;
}

RgbImage Noise(int w, int h, unsigned seed) {
    std::mt19937 rng(seed);
    RgbImage img{w, h, Bytes(static_cast<std::size_t>(w) * h * 3)};
    for (auto& v : img.rgb) {
        v = static_cast<std::uint8_t>(rng());
    }
    return img;
}

void AppendBigEndian(Bytes& b, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        b.push_back(static_cast<std::uint8_t>(v >> shift));
    }
}

void AppendChunk(Bytes& b, const char* type, const Bytes& body) {
    AppendBigEndian(b, static_cast<std::uint32_t>(body.size()));
    Bytes typed(type, type + 4);
    typed.insert(typed.end(), body.begin(), body.end());
    b.insert(b.end(), typed.begin(), typed.end());
    AppendBigEndian(b, static_cast<std::uint32_t>(crc32(0, typed.data(), typed.size())));
}

// A well-formed PNG header for an 8-bit RGB image of the given size, followed
// by a small image data chunk and the end chunk.
Bytes PngClaiming(std::uint32_t width, std::uint32_t height) {
    Bytes b = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes ihdr;
    AppendBigEndian(ihdr, width);
    AppendBigEndian(ihdr, height);
    ihdr.insert(ihdr.end(), {8, PNG_COLOR_TYPE_RGB, 0, 0, 0});
    AppendChunk(b, "IHDR", ihdr);
    Bytes raw(4096, 0);
    uLongf packedSize = compressBound(raw.size());
    Bytes packed(packedSize);
    compress(packed.data(), &packedSize, raw.data(), raw.size());
    packed.resize(packedSize);
    AppendChunk(b, "IDAT", packed);
    AppendChunk(b, "IEND", {});
    return b;
}

// The JPEG's frame header (SOF0) rewritten to claim another size.
Bytes JpegClaiming(Bytes jpeg, int width, int height) {
    for (std::size_t i = 2; i + 9 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
            jpeg[i + 5] = static_cast<std::uint8_t>(height >> 8);
            jpeg[i + 6] = static_cast<std::uint8_t>(height);
            jpeg[i + 7] = static_cast<std::uint8_t>(width >> 8);
            jpeg[i + 8] = static_cast<std::uint8_t>(width);
            return jpeg;
        }
    }
    ADD_FAILURE() << "no frame header in the JPEG";
    return jpeg;
}

// Expects a decode to fail with a message containing `part`, leaving no image.
void ExpectDecodeFails(const Bytes& data, const std::string& part, const char* what) {
    SCOPED_TRACE(what);
    RgbImage img{5, 5, Bytes(75, 1)};
    std::string error;
    EXPECT_FALSE(platform::DecodeImage(data.data(), data.size(), img, &error));
    EXPECT_NE(error.find(part), std::string::npos) << error;
    EXPECT_TRUE(img.width == 0 && img.height == 0 && img.rgb.empty());
}

TEST(Image, JpegRoundTripStaysClose) {
    // 50 x 37: neither side a multiple of the 16-pixel coding block; from
    // quality 90 on the chroma is not halved.
    const RgbImage original = Gradient(50, 37);
    Bytes high, low;
    std::string error;
    ASSERT_TRUE(platform::EncodeJpeg(original, 90, high, &error)) << error;
    ASSERT_TRUE(platform::EncodeJpeg(original, 89, low, &error)) << error;
    RgbImage decoded;
    ASSERT_TRUE(platform::DecodeImage(high.data(), high.size(), decoded, &error)) << error;
    EXPECT_TRUE(testsupport::ImagesMatch(decoded, original, {8, 0.0, 2.0}, "jpeg-q90"));
    ASSERT_TRUE(platform::DecodeImage(low.data(), low.size(), decoded, &error)) << error;
    EXPECT_TRUE(testsupport::ImagesMatch(decoded, original, {16, 0.01, 4.0}, "jpeg-q89"));

    testsupport::TempDir dir;
    EXPECT_FALSE(platform::EncodeJpeg(original, 0, high, &error));
    EXPECT_EQ(error, "JPEG quality 0 is outside 1..100");
    EXPECT_TRUE(high.empty());
    EXPECT_FALSE(platform::EncodeJpegFile(original, (dir / "q.jpg").string(), 101, &error));
    EXPECT_FALSE(std::filesystem::exists(dir / "q.jpg"));
    EXPECT_TRUE(platform::EncodeJpeg(original, 1, high, &error)) << error;
}

// (A PNG's exact round trip: the decode of a cut PNG below.)
TEST(Image, EncodersRefuseBadImagesAndFolders) {
    const RgbImage original = Noise(37, 23, 7);
    testsupport::TempDir dir;
    std::string error;
    Bytes out;
    EXPECT_FALSE(platform::EncodePng(RgbImage{4, 4, Bytes(47)}, out, &error));
    EXPECT_EQ(error, "image of 4 x 4 pixels holds 47 bytes instead of 48");
    EXPECT_FALSE(platform::EncodeJpeg(RgbImage{40000, 1, Bytes(120000)}, 80, out, &error));
    EXPECT_EQ(error, "image of 40000 x 1 pixels is larger than the largest side of 32768");
    EXPECT_FALSE(
        platform::EncodePngFile(original, (dir / "no/such/folder/a.png").string(), &error));
    EXPECT_NE(error.find("a.png: cannot create (No such file or directory)"), std::string::npos)
        << error;
}

// (Masks written and read back bit for bit, rows ending in a partial byte:
// the site generator's test.)
TEST(Image, MasksAreOpaqueFromHalfGreyUp) {
    // A colour image as a mask: opaque from half grey up, by luminance.
    Mask back;
    std::string error;
    Bytes png;
    const Bytes rows = {127, 127, 127, 128, 128, 128, 0,   255, 0,
                        255, 0,   0,   0,   0,   255, 200, 110, 60};
    ASSERT_TRUE(platform::EncodePng(RgbImage{6, 1, rows}, png));
    ASSERT_TRUE(platform::DecodeMask(png.data(), png.size(), back, &error)) << error;
    EXPECT_EQ(back.opaque, (Bytes{0, 1, 1, 0, 0, 1}));  // luminance 127, 128, 150, 76, 29, 131

    EXPECT_FALSE(platform::EncodeMaskPng(Mask{2, 2, Bytes(3)}, png, &error));
    EXPECT_EQ(error, "mask of 2 x 2 pixels holds 3 bytes instead of 4");
}

// The upload layout: the same pixels as the 24-bit decode with red and blue
// swapped and alpha 255, for JPEG and PNG; a buffer of an earlier image of
// the same size is written over completely, and a failed decode leaves an
// empty image.
TEST(Image, BgraDecodeMatchesTheRgbDecodeAndReusesItsBuffer) {
    const RgbImage first = Noise(37, 21, 5);
    const RgbImage second = Gradient(37, 21);
    Bytes png;
    ASSERT_TRUE(platform::EncodePng(second, png));
    Bytes jpeg;
    ASSERT_TRUE(platform::EncodeJpeg(first, 90, jpeg));
    platform::BgraImage bgra;
    for (const Bytes* data : {&jpeg, &png, &jpeg}) {
        RgbImage rgb;
        ASSERT_TRUE(platform::DecodeImage(data->data(), data->size(), rgb));
        ASSERT_TRUE(platform::DecodeImageBgra(data->data(), data->size(), bgra));
        ASSERT_EQ(bgra.width, 37);
        ASSERT_EQ(bgra.height, 21);
        ASSERT_EQ(bgra.bgra.size(), 37u * 21u * 4u);
        for (std::size_t i = 0; i < 37u * 21u; ++i) {
            const std::uint8_t want[4] = {rgb.rgb[i * 3 + 2], rgb.rgb[i * 3 + 1], rgb.rgb[i * 3],
                                          255};
            ASSERT_EQ(std::memcmp(&bgra.bgra[i * 4], want, 4), 0) << "pixel " << i;
        }
    }
    const Bytes cut(jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(jpeg.size() / 2));
    EXPECT_FALSE(platform::DecodeImageBgra(cut.data(), cut.size(), bgra));
    EXPECT_EQ(bgra.width, 0);
    EXPECT_TRUE(bgra.bgra.empty());
}

// (Images cut and bytes flipped in a station: the damaged-station test.)
TEST(Image, TruncatedAndGarbageDataFailCleanly) {
    // A PNG cut after its image data, before the end chunk, still has every pixel.
    const RgbImage noise = Noise(64, 64, 11);
    Bytes png;
    std::string error;
    ASSERT_TRUE(platform::EncodePng(noise, png, &error));
    RgbImage img;
    ASSERT_TRUE(platform::DecodeImage(png.data(), png.size() - 12, img, &error)) << error;
    EXPECT_EQ(img.rgb, noise.rgb);
    ExpectDecodeFails(Bytes(png.begin(), png.begin() + png.size() / 2),
                      "PNG: data ends early (truncated file)", "PNG half");

    Bytes garbage = Noise(10, 10, 3).rgb;
    garbage[0] = 0x00;
    ExpectDecodeFails(garbage, "not a JPEG or PNG image", "random bytes");
    ExpectDecodeFails({}, "no image data", "nothing");
    EXPECT_FALSE(platform::DecodeImage(nullptr, 10, img));

    testsupport::TempDir dir;
    const auto missing = (dir / "missing.jpg").string();
    EXPECT_FALSE(platform::DecodeImageFile(missing, img, &error));
    EXPECT_EQ(error, missing + ": cannot open (No such file or directory)");
    const auto text = dir.Write("notes.jpg", "hello, world").string();
    EXPECT_FALSE(platform::DecodeImageFile(text, img, &error));
    EXPECT_EQ(error, text + ": not a JPEG or PNG image");
}

TEST(Image, HeadersClaimingHugeSizesFailBeforeAllocating) {
    // Each limit names itself; all are checked on the header alone.
    ExpectDecodeFails(PngClaiming(100000, 100000),
                      "PNG: Invalid IHDR data (Image height exceeds user limit in IHDR)",
                      "PNG 100000 x 100000");
    ExpectDecodeFails(PngClaiming(20000, 20000),
                      "image of 20000 x 20000 pixels is larger than the limit of 268435456 pixels",
                      "PNG over the pixel budget");
    ExpectDecodeFails(PngClaiming(8000, 8000), "cannot hold 8000 x 8000 pixels",
                      "PNG with too little image data");

    Bytes jpeg;
    std::string error;
    ASSERT_TRUE(platform::EncodeJpeg(Gradient(16, 16), 80, jpeg, &error));
    ExpectDecodeFails(JpegClaiming(jpeg, 30000, 30000), "larger than the limit of",
                      "JPEG over the pixel budget");
    ExpectDecodeFails(JpegClaiming(jpeg, 0, 16), "JPEG: ", "JPEG of width 0");
}

}  // namespace
