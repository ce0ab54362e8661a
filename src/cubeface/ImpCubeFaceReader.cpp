#include "cubeface/ImpCubeFaceReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <vector>

#include "cubeface/CubeFaceGeometry.h"
#include "cubeface/PointFileFormat.h"

using namespace cubeface::pointfile;

namespace {

// A file descriptor closed when it goes.
class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    // Hands the descriptor over; it is not closed here then.
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

  private:
    int fd_;
};

// Reads exactly n bytes; false on an error or when the file ends first.
bool ReadFully(int fd, void* to, std::size_t n) {
    auto* p = static_cast<unsigned char*>(to);
    while (n > 0) {
        const ssize_t got = ::read(fd, p, n);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return false;
        }
        p += got;
        n -= static_cast<std::size_t>(got);
    }
    return true;
}

// Whether any of the n words has no range code. The fixed-length inner loop
// lets the compiler test several words per instruction.
bool AnyWithoutRange(const std::uint32_t* words, std::size_t n) {
    constexpr std::size_t kStride = 256;
    constexpr std::uint32_t kLowest = 1u << kRangeShift;
    std::uint32_t bad = 0;
    std::size_t i = 0;
    for (; i + kStride <= n; i += kStride) {
        for (std::size_t k = 0; k < kStride; ++k) {
            bad |= words[i + k] < kLowest ? 1u : 0u;
        }
    }
    for (; i < n; ++i) {
        bad |= words[i] < kLowest ? 1u : 0u;
    }
    return bad != 0;
}

// Words are read this many at a time and checked while they are in cache.
constexpr std::size_t kChunkWords = std::size_t{64} << 10;

// Reads one run length of the presence runs; false when the bytes end inside
// it or it is longer than five bytes.
bool ReadVarint(const unsigned char*& p, const unsigned char* end, std::uint64_t& value) {
    value = 0;
    for (int shift = 0; shift < 35; shift += 7) {
        if (p == end) {
            return false;
        }
        const unsigned char byte = *p++;
        value |= static_cast<std::uint64_t>(byte & 0x7f) << shift;
        if ((byte & 0x80) == 0) {
            return true;
        }
    }
    return false;
}

constexpr std::uint64_t kBlockBits = 64;
constexpr std::uint64_t kSuperblockBlocks = 8;
constexpr std::uint64_t kSuperblockBits = kBlockBits * kSuperblockBlocks;

// Sets bits [from, to) of the bitmap.
void SetBits(std::uint64_t* bits, std::uint64_t from, std::uint64_t to) {
    if (from == to) {
        return;
    }
    const std::uint64_t firstBlock = from / kBlockBits, lastBlock = (to - 1) / kBlockBits;
    const std::uint64_t head = ~std::uint64_t{0} << (from % kBlockBits);
    const std::uint64_t tail = ~std::uint64_t{0} >> (kBlockBits - 1 - (to - 1) % kBlockBits);
    if (firstBlock == lastBlock) {
        bits[firstBlock] |= head & tail;
        return;
    }
    bits[firstBlock] |= head;
    for (std::uint64_t b = firstBlock + 1; b < lastBlock; ++b) {
        bits[b] = ~std::uint64_t{0};
    }
    bits[lastBlock] |= tail;
}

}  // namespace

ImpCubeFaceReader::ImpCubeFaceReader() = default;

ImpCubeFaceReader::~ImpCubeFaceReader() {
    Clear();
}

void ImpCubeFaceReader::Clear() {
    if (m_file >= 0) {
        ::close(m_file);
        m_file = -1;
    }
    m_wordsAt = 0;
    m_bits.reset();
    m_ranks.reset();
    m_blocks = 0;
    m_superblocks = 0;
    m_size = 0;
    m_face = 0;
    m_upDirection = 0;
    m_quantum = 0.0;
    m_count = 0;
    m_version = 0.0f;
    m_error.clear();
}

bool ImpCubeFaceReader::Fail(std::string text) {
    const float version = m_version;
    Clear();
    m_version = version;
    m_error = std::move(text);
    return false;
}

std::size_t ImpCubeFaceReader::GetMemoryBytes() const {
    return sizeof(*this) + m_blocks * sizeof(std::uint64_t) + m_superblocks * sizeof(std::uint32_t);
}

std::size_t ImpCubeFaceReader::WordIndex(std::size_t i) const {
    const std::size_t block = i / kBlockBits;
    std::size_t index = m_ranks[block / kSuperblockBlocks];
    for (std::size_t b = block - block % kSuperblockBlocks; b < block; ++b) {
        index += static_cast<std::size_t>(std::popcount(m_bits[b]));
    }
    const std::uint64_t below = (std::uint64_t{1} << (i % kBlockBits)) - 1;
    return index + static_cast<std::size_t>(std::popcount(m_bits[block] & below));
}

bool ImpCubeFaceReader::ReadHeader(const char* path, int& face, int& size) {
    if (path == nullptr || *path == '\0') {
        return false;
    }
    const Descriptor file(::open(path, O_RDONLY | O_CLOEXEC));
    unsigned char header[kHeaderSize];
    if (file.get() < 0 || !ReadFully(file.get(), header, kHeaderSize) ||
        std::memcmp(header, kMagic, sizeof(kMagic)) != 0 || header[kOffMajor] != kVersionMajor ||
        header[kOffMinor] != kVersionMinor) {
        return false;
    }
    const auto declared = LoadLE<std::uint32_t>(header + kOffSize);
    face = header[kOffFace];
    size =
        declared > static_cast<std::uint32_t>(kMaxSize) ? kMaxSize + 1 : static_cast<int>(declared);
    return true;
}

bool ImpCubeFaceReader::Read(const char* path) {
    Clear();
    if (path == nullptr || *path == '\0') {
        return Fail("no point file named");
    }
    // The file is read, never mapped: a file cut short or rewritten while
    // mapped would fault on access long after Read returned.
    Descriptor file(::open(path, O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) {
        return Fail(std::string("cannot open ") + path);
    }
    // A regular file's length is the one it is listed with (0 for the
    // system's generated files); anything else is asked where its end lies.
    struct stat status {};
    const off_t length = ::fstat(file.get(), &status) == 0 && S_ISREG(status.st_mode)
                             ? status.st_size
                             : ::lseek(file.get(), 0, SEEK_END);
    if (length < 0 || ::lseek(file.get(), 0, SEEK_SET) != 0) {
        return Fail("cannot read the file's length");
    }
    const auto fileSize = static_cast<std::uint64_t>(length);
    if (fileSize == 0) {
        return Fail("file is empty");
    }

    unsigned char header[kHeaderSize];
    if (fileSize < kHeaderSize || !ReadFully(file.get(), header, kHeaderSize)) {
        return Fail("file is shorter than a point file header");
    }
    if (std::memcmp(header, kMagic, sizeof(kMagic)) != 0) {
        return Fail("not a point file");
    }
    const int major = header[kOffMajor], minor = header[kOffMinor];
    m_version = static_cast<float>(major) + static_cast<float>(minor) / 10.0f;
    if (major != kVersionMajor || minor != kVersionMinor) {
        return Fail("unsupported point file version " + std::to_string(major) + "." +
                    std::to_string(minor));
    }
    const int face = header[kOffFace];
    const auto size = LoadLE<std::uint32_t>(header + kOffSize);
    const auto up = static_cast<std::int32_t>(LoadLE<std::uint32_t>(header + kOffUp));
    const double quantum = std::bit_cast<double>(LoadLE<std::uint64_t>(header + kOffQuantum));
    const auto count = LoadLE<std::uint64_t>(header + kOffCount);
    const auto maskBytes = LoadLE<std::uint64_t>(header + kOffMaskBytes);
    if (face > 5) {
        return Fail("face " + std::to_string(face) + " is not 0 to 5");
    }
    if (header[kOffReserved8] != 0 || LoadLE<std::uint32_t>(header + kOffReserved32) != 0) {
        return Fail("reserved header fields are not zero");
    }
    if (size < 1 || size > static_cast<std::uint32_t>(kMaxSize)) {
        return Fail("face size " + std::to_string(size) + " is not 1 to " +
                    std::to_string(kMaxSize));
    }
    if (!std::isfinite(quantum) || !(quantum > 0.0)) {
        return Fail("range quantum is not a positive number");
    }
    const std::uint64_t pixels = static_cast<std::uint64_t>(size) * size;
    if (count > pixels) {
        return Fail("point count " + std::to_string(count) + " exceeds the face's " +
                    std::to_string(pixels) + " pixels");
    }
    // Both counts are now bounded, so the sum cannot overflow.
    if (maskBytes > fileSize || kHeaderSize + maskBytes + 4 * count != fileSize) {
        return Fail(
            "file holds " + std::to_string(fileSize) + " bytes, its header announces " +
            std::to_string(kHeaderSize + (maskBytes > fileSize ? 0 : maskBytes) + 4 * count));
    }

    std::vector<unsigned char> runs(maskBytes);
    if (!ReadFully(file.get(), runs.data(), runs.size())) {
        return Fail("file is truncated");
    }
    // The bitmap is allocated zeroed, so where the system maps large
    // allocations as zero pages, long empty stretches are never touched.
    const std::uint64_t blocks = (pixels + kBlockBits - 1) / kBlockBits;
    const std::uint64_t superblocks = (blocks + kSuperblockBlocks - 1) / kSuperblockBlocks;
    Buffer<std::uint64_t> bits(
        static_cast<std::uint64_t*>(std::calloc(blocks, sizeof(std::uint64_t))));
    Buffer<std::uint32_t> ranks(
        static_cast<std::uint32_t*>(std::malloc(superblocks * sizeof(std::uint32_t))));
    if (!bits || !ranks) {
        return Fail("not enough memory for a face of size " + std::to_string(size));
    }
    // The words are checked here, a piece at a time through one small
    // buffer, and read again from the file when a point is asked for: a face
    // costs no memory per point, and a load no fresh memory for them (16 MiB
    // a 2048 face, the largest part of a first view's extra time with point
    // files). The file stays open; one cut short later answers no point.
    std::vector<std::uint32_t> chunk(
        static_cast<std::size_t>(std::min<std::uint64_t>(kChunkWords, count)));
    bool withoutRange = false;
    for (std::uint64_t at = 0; at < count; at += kChunkWords) {
        const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(kChunkWords, count - at));
        if (!ReadFully(file.get(), chunk.data(), n * sizeof(std::uint32_t))) {
            return Fail("file is truncated");
        }
        if constexpr (std::endian::native == std::endian::big) {
            for (std::size_t i = 0; i < n; ++i) {
                const std::uint32_t w = chunk[i];
                chunk[i] = (w >> 24) | ((w >> 8) & 0xff00u) | ((w << 8) & 0xff0000u) | (w << 24);
            }
        }
        withoutRange = withoutRange || AnyWithoutRange(chunk.data(), n);
    }
    if (withoutRange) {
        return Fail("a point has no range code");
    }

    // Each run sets its bits and fills in the ranks of the superblocks that
    // start inside it or right after it.
    ranks[0] = 0;
    std::uint64_t nextSuperblock = 1;
    const unsigned char* p = runs.data();
    const unsigned char* const end = p + runs.size();
    std::uint64_t pos = 0, measured = 0;
    bool present = false;
    bool first = true;
    while (p != end) {
        std::uint64_t run = 0;
        if (!ReadVarint(p, end, run)) {
            return Fail("presence runs are damaged");
        }
        if ((run == 0 && !first) || run > pixels - pos) {
            return Fail("presence runs do not match the face size");
        }
        first = false;
        if (present && run > count - measured) {
            return Fail("presence runs announce more points than the file holds");
        }
        const std::uint64_t stop = pos + run;
        for (; nextSuperblock < superblocks && nextSuperblock * kSuperblockBits <= stop;
             ++nextSuperblock) {
            ranks[nextSuperblock] = static_cast<std::uint32_t>(
                measured + (present ? nextSuperblock * kSuperblockBits - pos : 0));
        }
        if (present) {
            SetBits(bits.get(), pos, stop);
            measured += run;
        }
        pos = stop;
        present = !present;
    }
    if (pos != pixels) {
        return Fail("presence runs do not match the face size");
    }
    if (measured != count) {
        return Fail("presence runs announce fewer points than the file holds");
    }

    m_file = file.release();
    m_wordsAt = kHeaderSize + maskBytes;
    m_bits = std::move(bits);
    m_ranks = std::move(ranks);
    m_blocks = blocks;
    m_superblocks = superblocks;
    m_size = static_cast<int>(size);
    m_face = face;
    m_upDirection = up;
    m_quantum = quantum;
    m_count = count;
    return true;
}

bool ImpCubeFaceReader::HasPoint(int col, int row) const {
    if (col < 0 || row < 0 || col >= m_size || row >= m_size) {
        return false;
    }
    const std::size_t i = static_cast<std::size_t>(row) * m_size + col;
    return (m_bits[i / kBlockBits] >> (i % kBlockBits)) & 1u;
}

bool ImpCubeFaceReader::GetPoint(int col, int row, double& x, double& y, double& z,
                                 bool inScanFrame) const {
    if (!HasPoint(col, row)) {
        return false;
    }
    const std::uint64_t index = WordIndex(static_cast<std::size_t>(row) * m_size + col);
    unsigned char bytes[4];
    const auto at = static_cast<off_t>(m_wordsAt + index * sizeof(std::uint32_t));
    ssize_t got = -1;
    do {
        got = ::pread(m_file, bytes, sizeof(bytes), at);
    } while (got < 0 && errno == EINTR);
    const std::uint32_t word = LoadLE<std::uint32_t>(bytes);
    if (got != static_cast<ssize_t>(sizeof(bytes)) || (word >> kRangeShift) == 0) {
        return false;  // the file was cut short or changed since it was read
    }
    const double range = static_cast<double>((word >> kRangeShift) - 1) * m_quantum;
    const double du = SignExtendOffset(word >> kOffsetBits) / kOffsetSteps;
    const double dv = SignExtendOffset(word) / kOffsetSteps;
    cubeface::Vec3 d =
        cubeface::FaceDirection(m_face, (col + 0.5 + du) / m_size, (row + 0.5 + dv) / m_size);
    const double scale = range / std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    d = {d[0] * scale, d[1] * scale, d[2] * scale};
    if (inScanFrame) {
        d = cubeface::ViewToScan(m_upDirection, d);
    }
    x = d[0];
    y = d[1];
    z = d[2];
    return true;
}
