#include "platform/ImageProbe.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Image.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

platform::RgbImage Grey(int w, int h) {
    return {w, h, Bytes(static_cast<std::size_t>(w) * h * 3, 90)};
}

// A JPEG with bytes inserted after its start-of-image marker.
Bytes WithSegment(const Bytes& jpeg, const Bytes& inserted) {
    Bytes out(jpeg.begin(), jpeg.begin() + 2);
    out.insert(out.end(), inserted.begin(), inserted.end());
    out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
    return out;
}

}  // namespace

// The probe reads the size the decoders produce, from the header alone, and
// reads no further into a file than the header needs.
TEST(ImageProbe, DeclaredSizeAgreesWithTheDecoders) {
    Bytes jpeg;
    ASSERT_TRUE(platform::EncodeJpeg(Grey(37, 21), 80, jpeg));
    // An application segment of 65537 bytes (beyond the file reader's
    // window) and fill bytes before a marker: the decoder skips them, so
    // must the probe.
    Bytes app = {0xFF, 0xE1, 0xFF, 0xFF};
    app.resize(2 + 0xFFFF, 0x41);
    Bytes padded = WithSegment(jpeg, app);
    padded = WithSegment(padded, {0xFF, 0xE2, 0x00, 0x04, 0x13, 0x37, 0xFF, 0xFF});
    Bytes png;
    ASSERT_TRUE(platform::EncodePng(Grey(5, 300), png));
    // A top-down 24-bit bitmap of 3 x 2 pixels.
    Bytes bmp(54 + 2 * 12, 0);
    bmp[0] = 'B';
    bmp[1] = 'M';
    bmp[10] = 54;
    bmp[14] = 40;
    bmp[18] = 3;
    bmp[22] = 0xFE;  // height -2
    bmp[23] = bmp[24] = bmp[25] = 0xFF;
    bmp[28] = 24;

    // (Probing files: the station limits test.)
    struct Case {
        const char* name;
        const Bytes& bytes;
        platform::ImageKind kind;
        int width, height;
    };
    const Case cases[] = {{"plain.jpg", jpeg, platform::ImageKind::Jpeg, 37, 21},
                          {"padded.jpg", padded, platform::ImageKind::Jpeg, 37, 21},
                          {"tall.png", png, platform::ImageKind::Png, 5, 300},
                          {"icon.bmp", bmp, platform::ImageKind::Bmp, 3, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        platform::RgbImage decoded;
        ASSERT_TRUE(c.kind == platform::ImageKind::Bmp
                        ? platform::DecodeBmp(c.bytes.data(), c.bytes.size(), decoded)
                        : platform::DecodeImage(c.bytes.data(), c.bytes.size(), decoded));
        EXPECT_EQ(decoded.width, c.width);
        EXPECT_EQ(decoded.height, c.height);
        platform::ImageInfo info;
        ASSERT_TRUE(platform::ProbeImage(c.bytes.data(), c.bytes.size(), info));
        EXPECT_EQ(info.kind, c.kind);
        EXPECT_EQ(info.width, c.width);
        EXPECT_EQ(info.height, c.height);
    }
    // Cut before the size: no answer. A scan before any frame header, a
    // segment length below 2 and text are no images.
    platform::ImageInfo info;
    EXPECT_FALSE(platform::ProbeImage(png.data(), 23, info));
    EXPECT_FALSE(platform::ProbeImage(padded.data(), 65000, info));
    EXPECT_FALSE(platform::ProbeImage(bmp.data(), 25, info));
    const Bytes scan = {0xFF, 0xD8, 0xFF, 0xDA, 0x00, 0x08, 0, 0, 0, 0, 0, 0};
    EXPECT_FALSE(platform::ProbeImage(scan.data(), scan.size(), info));
    const Bytes shortSegment = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x01, 0xFF, 0xC0,
                                0,    11,   8,    0,    1,    0,    1};
    EXPECT_FALSE(platform::ProbeImage(shortSegment.data(), shortSegment.size(), info));
    const std::string text = "BM";
    EXPECT_FALSE(platform::ProbeImage(reinterpret_cast<const std::uint8_t*>(text.data()),
                                      text.size(), info));
}
