#include "platform/ImageProbe.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <functional>

namespace platform {
namespace {

// Reads up to n bytes at an offset; the number read.
using ReadAt = std::function<std::size_t(std::uint64_t offset, std::uint8_t* out, std::size_t n)>;

// A JPEG's segments before its first frame header; a file that needs more is
// not one the decoder would take either.
constexpr int kMaxJpegSegments = 4096;
// Stray bytes skipped between segments before the probe gives up.
constexpr std::uint64_t kMaxJpegStrayBytes = 1 << 20;

std::uint32_t Be16(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) << 8 | p[1];
}
std::uint32_t Be32(const std::uint8_t* p) {
    return Be16(p) << 16 | Be16(p + 2);
}
std::uint32_t Le32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

bool IsFrameHeader(std::uint8_t marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// Walks the segments from the start-of-image marker to the first frame
// header. Like the decoder, bytes other than 0xFF between segments are
// skipped and runs of 0xFF fill bytes before a marker are allowed.
bool ProbeJpeg(const ReadAt& read, ImageInfo& info) {
    std::uint64_t offset = 2;
    std::uint8_t byte = 0;
    std::uint64_t stray = 0;
    for (int segment = 0; segment < kMaxJpegSegments; ++segment) {
        do {  // to the next 0xFF
            if (read(offset++, &byte, 1) != 1 || ++stray > kMaxJpegStrayBytes) {
                return false;
            }
        } while (byte != 0xFF);
        --stray;  // the 0xFF itself
        do {      // past the fill bytes to the marker
            if (read(offset++, &byte, 1) != 1) {
                return false;
            }
        } while (byte == 0xFF);
        const std::uint8_t marker = byte;
        if (marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            continue;  // no length follows
        }
        if (marker == 0xD8 || marker == 0xD9 || marker == 0xDA) {
            return false;  // a second start, the end or the scan before any frame header
        }
        std::uint8_t head[7];
        const std::size_t got = read(offset, head, sizeof(head));
        if (got < 2) {
            return false;
        }
        const std::uint32_t length = Be16(head);
        if (length < 2) {
            return false;
        }
        if (IsFrameHeader(marker)) {
            if (got < sizeof(head) || length < 8) {
                return false;
            }
            info.kind = ImageKind::Jpeg;
            info.height = Be16(head + 3);
            info.width = Be16(head + 5);
            return true;
        }
        offset += length;
    }
    return false;
}

bool Probe(const ReadAt& read, ImageInfo& info) {
    std::uint8_t head[30] = {};
    const std::size_t got = read(0, head, sizeof(head));
    if (got >= 3 && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF) {
        return ProbeJpeg(read, info);
    }
    static constexpr std::uint8_t kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (got >= 24 && std::memcmp(head, kPng, sizeof(kPng)) == 0) {
        if (std::memcmp(head + 12, "IHDR", 4) != 0) {
            return false;
        }
        info.kind = ImageKind::Png;
        info.width = Be32(head + 16);
        info.height = Be32(head + 20);
        return true;
    }
    if (got >= 26 && head[0] == 'B' && head[1] == 'M') {
        info.kind = ImageKind::Bmp;
        info.width = static_cast<std::int32_t>(Le32(head + 18));
        const std::int64_t height = static_cast<std::int32_t>(Le32(head + 22));
        info.height = height < 0 ? -height : height;
        return true;
    }
    return false;
}

}  // namespace

bool ProbeImage(const std::uint8_t* data, std::size_t size, ImageInfo& info) {
    if (data == nullptr) {
        return false;
    }
    return Probe(
        [data, size](std::uint64_t offset, std::uint8_t* out, std::size_t n) -> std::size_t {
            if (offset >= size) {
                return 0;
            }
            const std::size_t count = std::min<std::size_t>(n, size - offset);
            std::memcpy(out, data + offset, count);
            return count;
        },
        info);
}

bool ProbeImageFile(const std::string& path, ImageInfo& info) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    // Reads go through a small window, so walking a JPEG's segments costs a
    // read per window rather than per byte.
    std::uint8_t window[4096];
    std::uint64_t windowStart = 0;
    std::size_t windowSize = 0;
    const bool ok = Probe(
        [&](std::uint64_t offset, std::uint8_t* out, std::size_t n) -> std::size_t {
            if (offset < windowStart || offset + n > windowStart + windowSize) {
                const ssize_t got = ::pread(fd, window, sizeof(window), static_cast<off_t>(offset));
                windowStart = offset;
                windowSize = got > 0 ? static_cast<std::size_t>(got) : 0;
            }
            if (offset < windowStart || offset >= windowStart + windowSize) {
                return 0;
            }
            const std::size_t at = static_cast<std::size_t>(offset - windowStart);
            const std::size_t count = std::min(n, windowSize - at);
            std::memcpy(out, window + at, count);
            return count;
        },
        info);
    ::close(fd);
    return ok;
}

}  // namespace platform
