#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <tuple>

#include "cubeface/CubeFaceGeometry.h"
#include "cubeface/CubeFaceWriter.h"
#include "cubeface/ImpCubeFaceReader.h"
#include "support/TempDir.h"

using namespace cubeface;
using testsupport::ReadFile;
using testsupport::TempDir;

namespace {

// A face of points near the pixel rays: each measured pixel's direction is
// moved by up to `jitter` pixels off its centre, at a range of 0.5 .. 25.
// About a fifth of the pixels, in runs, have no point.
FacePoints MakeFace(int face, int size, int up, double jitter, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> off(-jitter, jitter), range(0.5, 25.0), unit(0.0, 1.0);
    FacePoints f;
    f.face = face;
    f.size = size;
    f.upDirection = up;
    f.has.assign(static_cast<std::size_t>(size) * size, 0);
    f.xyz.assign(f.has.size() * 3, 0.0);
    bool on = true;
    for (int row = 0; row < size; ++row) {
        for (int col = 0; col < size; ++col) {
            if (unit(rng) < 0.15) {
                on = !on;
            }
            const std::size_t i = static_cast<std::size_t>(row) * size + col;
            f.has[i] = on ? 1 : 0;
            const Vec3 d = ViewToScan(up, FaceDirection(face, (col + 0.5 + off(rng)) / size,
                                                        (row + 0.5 + off(rng)) / size));
            const double s = range(rng) / std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
            for (int k = 0; k < 3; ++k) {
                f.xyz[i * 3 + k] = d[k] * s;
            }
        }
    }
    return f;
}

double Dist(const double* a, double x, double y, double z) {
    return std::sqrt((a[0] - x) * (a[0] - x) + (a[1] - y) * (a[1] - y) + (a[2] - z) * (a[2] - z));
}

std::string WriteOrDie(const TempDir& dir, const std::string& name, const FacePoints& f) {
    const std::string path = (dir / name).string();
    std::string error;
    EXPECT_TRUE(WriteFacePoints(path, f, &error)) << error;
    return path;
}

// Compares every pixel with the face written: presence, and the point within
// half a range quantum plus the direction's quantisation (0 for centre rays).
// Returns the worst error as a share of that bound.
double ExpectFace(const ImpCubeFaceReader& r, const FacePoints& f, double directionSlack) {
    const int size = f.size;
    const double q = r.GetRangeQuantum();
    std::size_t measured = 0;
    double worst = 0.0;
    for (std::size_t i = 0; i < f.has.size(); ++i) {
        const int col = static_cast<int>(i % size), row = static_cast<int>(i / size);
        double x = 0, y = 0, z = 0, vx = 0, vy = 0, vz = 0;
        EXPECT_EQ(r.HasPoint(col, row), f.has[i] != 0) << i;
        if (r.GetPoint(col, row, x, y, z, true) != (f.has[i] != 0) || !f.has[i]) {
            EXPECT_FALSE(f.has[i]) << i;
            continue;
        }
        ++measured;
        const double* p = &f.xyz[i * 3];
        const double range = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
        const double bound = q / 2 + directionSlack * range * std::sqrt(2.0) / (63.0 * size);
        const double err = Dist(p, x, y, z);
        worst = std::max(worst, err / bound);
        EXPECT_LE(err, bound * (1 + 1e-9) + 1e-12) << i;
        // The view frame is the scan frame mapped back.
        EXPECT_TRUE(r.GetPoint(col, row, vx, vy, vz, false));
        EXPECT_LE(Dist(ScanToView(f.upDirection, {x, y, z}).data(), vx, vy, vz), 1e-12);
    }
    EXPECT_EQ(r.GetPointCount(), measured);
    return worst;
}

void ExpectEmpty(const ImpCubeFaceReader& r) {
    EXPECT_EQ(r.GetSize(), 0);
    EXPECT_EQ(r.GetPointCount(), 0u);
    double x = 7, y = 8, z = 9;
    for (int i = 0; i < 4; ++i) {
        EXPECT_FALSE(r.HasPoint(i, i));
        EXPECT_FALSE(r.GetPoint(i, i, x, y, z, true));
    }
    EXPECT_EQ(x, 7);
}

}  // namespace

TEST(PointFile, PointsOnPixelCentresKeepTheirDirectionAndFacesMayBeEmptyOrFull) {
    TempDir dir;
    // On the centre rays only the range is quantised.
    FacePoints f = MakeFace(4, 16, 0, 0.0, 7);
    f.has.assign(f.has.size(), 1);
    f.xyz[0] = f.xyz[1] = f.xyz[2] = 0.0;  // a point at the centre itself
    ImpCubeFaceReader r;
    ASSERT_TRUE(r.Read(WriteOrDie(dir, "full.DAT", f).c_str())) << r.GetError();
    EXPECT_EQ(r.GetPointCount(), 256u);
    ExpectFace(r, f, 0.0);

    // No point at all: a valid, empty face; any read replaces the last one.
    f.has.assign(f.has.size(), 0);
    ASSERT_TRUE(r.Read(WriteOrDie(dir, "none.DAT", f).c_str())) << r.GetError();
    EXPECT_EQ(r.GetSize(), 16);
    EXPECT_EQ(r.GetPointCount(), 0u);
    EXPECT_FALSE(r.HasPoint(5, 5));

    // Queries outside the face answer false and leave the outputs alone.
    f.has.assign(f.has.size(), 1);
    ASSERT_TRUE(r.Read(WriteOrDie(dir, "f.DAT", f).c_str()));
    double x = 7, y = 7, z = 7;
    EXPECT_TRUE(r.HasPoint(15, 15));
    for (auto [c, w] : {std::pair{-1, 0}, {0, -1}, {16, 0}, {0, 16}, {INT_MIN, 0}, {0, INT_MAX}}) {
        EXPECT_FALSE(r.HasPoint(c, w)) << c << " " << w;
        EXPECT_FALSE(r.GetPoint(c, w, x, y, z, true)) << c << " " << w;
    }
    EXPECT_EQ(x, 7);
}

TEST(PointFile, SparseFacesCostLittleAndBlockBoundariesFindTheirWords) {
    TempDir dir;
    for (const int size : {1024, 23}) {
        // About 1 % measured, plus the pixels on each side of the 64- and
        // 512-pixel boundaries and the last pixel; at size 23 (529 pixels)
        // the last block is partial and the last superblock holds 17 pixels.
        FacePoints f = MakeFace(5, size, 0, 0.4, 31u + size);
        const std::size_t pixels = f.has.size();
        std::mt19937 rng(size);
        for (auto& h : f.has) {
            h = rng() % 100 == 0 ? 1 : 0;
        }
        for (std::size_t i : {63, 64, 511, 512, 1023, 1024, 4095}) {
            if (i < pixels) {
                f.has[i] = 1;
            }
        }
        for (std::size_t i : {62, 65, 510, 513}) {
            f.has[i] = 0;
        }
        f.has[pixels - 1] = 1;
        const std::string path = WriteOrDie(dir, "sparse.DAT", f);
        ImpCubeFaceReader r;
        ASSERT_TRUE(r.Read(path.c_str())) << r.GetError();
        // Ranges are random, so a neighbour's word would land far off.
        ExpectFace(r, f, 1.0);
        if (size == 1024) {
            // The bitmap and ranks only: the words stay in the file.
            EXPECT_LT(static_cast<double>(r.GetMemoryBytes()) / pixels, 17.0 / 128 + 0.001);
            EXPECT_GT(r.GetMemoryBytes(), pixels / 8);
        }
    }
}

TEST(PointFile, AnswersFromTheOpenFileRemovedOrCutShortAfterRead) {
    TempDir dir;
    FacePoints f = MakeFace(0, 32, 0, 0.3, 9);
    f.has.assign(f.has.size(), 1);
    const std::string path = WriteOrDie(dir, "open.DAT", f);
    ImpCubeFaceReader r;
    ASSERT_TRUE(r.Read(path.c_str())) << r.GetError();
    std::filesystem::remove(path);  // the open file still answers
    ExpectFace(r, f, 1.0);

    // Cut short by one word: the last pixel's point is gone, the others stay.
    ASSERT_TRUE(r.Read(WriteOrDie(dir, "cut.DAT", f).c_str()));
    const std::filesystem::path cut = dir / "cut.DAT";
    std::filesystem::resize_file(cut, std::filesystem::file_size(cut) - 4);
    double x = 7, y = 7, z = 7;
    EXPECT_TRUE(r.HasPoint(31, 31));
    EXPECT_FALSE(r.GetPoint(31, 31, x, y, z, true));
    EXPECT_EQ(x, 7);
    EXPECT_TRUE(r.GetPoint(30, 31, x, y, z, true));
}

TEST(PointFile, WriterRejectsInconsistentInput) {
    TempDir dir;
    const std::string path = (dir / "bad.DAT").string();
    const FacePoints good = MakeFace(1, 4, 0, 0.0, 5);
    const std::pair<void (*)(FacePoints&), const char*> cases[] = {
        {[](FacePoints& f) { f.face = 6; }, "face 6 is not 0 to 5"},
        {[](FacePoints& f) { f.size = 16385; }, "size 16385 is not 1 to 16384"},
        {[](FacePoints& f) { f.has.pop_back(); }, "presence holds 15 entries, expected 16"},
        {[](FacePoints& f) { f.has[5] = 1, f.xyz[16] = NAN; },
         "point of pixel (1, 1) is not finite"},
        // The front face looks along scan +y with up 0.
        {[](FacePoints& f) { f.has[2] = 1, f.xyz[7] = -1.0, f.xyz[8] = 3.0; },
         "point of pixel (2, 0) lies behind face 1"},
        {[](FacePoints& f) { f.has[0] = 1, std::copy(&f.xyz[9], &f.xyz[12], &f.xyz[0]); },
         "point of pixel (0, 0) lies more than half a pixel outside it"},
    };
    for (const auto& [mutate, text] : cases) {
        FacePoints f = good;
        mutate(f);
        std::string error;
        EXPECT_FALSE(WriteFacePoints(path, f, &error));
        EXPECT_EQ(error, text);
    }
    EXPECT_FALSE(std::filesystem::exists(path));

    std::string error;
    EXPECT_FALSE(WriteFacePoints((dir / "no/such/folder/x.DAT").string(), good, &error));
    EXPECT_EQ(error, "cannot write " + (dir / "no/such/folder/x.DAT").string());
}

TEST(PointFile, DamagedFilesAreRejectedAndLeaveTheReaderEmpty) {
    TempDir dir;
    const FacePoints f = MakeFace(3, 6, 0, 0.4, 11);
    const std::string good = ReadFile(WriteOrDie(dir, "good.DAT", f));
    ASSERT_GT(good.size(), 48u);

    ImpCubeFaceReader r;
    auto rejects = [&](const std::string& bytes, const std::string& text) {
        ASSERT_TRUE(r.Read((dir / "good.DAT").string().c_str()));  // content to drop
        const std::string path = dir.Write("bad.DAT", bytes).string();
        EXPECT_FALSE(r.Read(path.c_str()));
        if (!text.empty()) {
            EXPECT_EQ(r.GetError(), text);
        } else {
            EXPECT_NE(r.GetError(), "");
        }
        ExpectEmpty(r);
    };
    auto patched = [&](std::size_t at, const void* bytes, std::size_t n) {
        std::string s = good;
        std::memcpy(s.data() + at, bytes, n);
        return s;
    };
    // Fields are patched in host order: the tests run little-endian.

    rejects("", "file is empty");
    for (std::size_t n = 1; n < good.size(); ++n) {
        rejects(good.substr(0, n), "");
    }
    rejects(good.substr(0, 47), "file is shorter than a point file header");
    rejects(good + "x", "");
    rejects(patched(1, "Q", 1), "not a point file");
    rejects(std::string("Pnt file\n") + good, "not a point file");
    rejects(patched(8, "\x02", 1), "unsupported point file version 2.0");
    rejects(patched(10, "\x07", 1), "face 7 is not 0 to 5");
    rejects(patched(11, "\x01", 1), "reserved header fields are not zero");
    const std::uint32_t zero = 0, seven = 7;
    rejects(patched(12, &zero, 4), "face size 0 is not 1 to 16384");
    rejects(patched(12, &seven, 4), "");  // more pixels than the runs cover
    const double nan = NAN;
    rejects(patched(24, &nan, 8), "range quantum is not a positive number");
    const std::uint64_t tooMany = 37;
    rejects(patched(32, &tooMany, 8), "point count 37 exceeds the face's 36 pixels");

    // A lying count or run length must not make the reader allocate for it.
    std::uint64_t count = 0, maskBytes = 0;
    std::memcpy(&count, good.data() + 32, 8);
    std::memcpy(&maskBytes, good.data() + 40, 8);
    const std::uint64_t hugeMask = std::uint64_t{1} << 62;
    rejects(patched(40, &hugeMask, 8), "file holds " + std::to_string(good.size()) +
                                           " bytes, its header announces " +
                                           std::to_string(48 + 4 * count));
    const std::uint64_t fewer = count - 1;
    rejects(patched(32, &fewer, 8), "file holds " + std::to_string(good.size()) +
                                        " bytes, its header announces " +
                                        std::to_string(good.size() - 4));
    // Counts that agree with the file's length but not with the runs.
    {
        std::string s = patched(32, &count, 8);
        const std::uint64_t more = count + 1;
        std::memcpy(s.data() + 32, &more, 8);
        s += std::string("\x00\x10\x00\x00", 4);
        rejects(s, "presence runs announce fewer points than the file holds");
    }
    // A run beyond the face, a run that never ends.
    rejects(patched(48, "\x7f", 1), "presence runs do not match the face size");
    {
        std::string s = good;
        s.replace(48 + maskBytes - 1, 1, 1, '\x80');
        rejects(s, "presence runs are damaged");
    }
    // A stored word without a range code.
    {
        std::string s = good;
        std::memset(s.data() + 48 + maskBytes + 4, 0, 4);
        rejects(s, "a point has no range code");
    }
    // An absurd but self-consistent header: 2^28 pixels, no points, one run.
    {
        std::string s = good.substr(0, 48);
        const std::uint32_t side = 16384;
        const std::uint64_t none = 0, five = 5;
        std::memcpy(s.data() + 12, &side, 4);
        std::memcpy(s.data() + 32, &none, 8);
        std::memcpy(s.data() + 40, &five, 8);
        s += std::string("\x80\x80\x80\x80\x02", 5);  // 2^29: twice the face
        rejects(s, "presence runs do not match the face size");
    }

    EXPECT_FALSE(r.Read((dir / "missing.DAT").string().c_str()));
    EXPECT_EQ(r.GetError(), "cannot open " + (dir / "missing.DAT").string());
    EXPECT_FLOAT_EQ(r.GetVersion(), 0.0f);
    EXPECT_FALSE(r.Read(dir.path().string().c_str()));  // a folder
    ExpectEmpty(r);
    // A generated file lists no length, however much it holds.
    EXPECT_FALSE(r.Read("/proc/self/status"));
    EXPECT_EQ(r.GetError(), "file is empty");
}

// A face whose words are read in several pieces and held in pages of their
// own: every pixel still finds its word, and a word without a range code is
// refused wherever it lies (first word, either side of a piece's end, the
// last ones), while range code 1 (range 0) is a point at the station.
TEST(PointFile, LargeFacesReadInPiecesAndRefuseAWordWithoutRangeAnywhere) {
    TempDir dir;
    const FacePoints f = MakeFace(2, 600, 0, 0.3, 3);
    const std::string good = ReadFile(WriteOrDie(dir, "large.DAT", f));
    std::uint64_t count = 0, maskBytes = 0;
    std::memcpy(&count, good.data() + 32, 8);
    std::memcpy(&maskBytes, good.data() + 40, 8);
    ASSERT_GT(count, 2u * 65536);
    ImpCubeFaceReader r;
    ASSERT_TRUE(r.Read((dir / "large.DAT").string().c_str())) << r.GetError();
    ExpectFace(r, f, 1.0);

    const std::size_t words = 48 + maskBytes;
    const auto withWord = [&](std::uint64_t at, std::uint32_t word) {
        std::string s = good;
        std::memcpy(s.data() + words + 4 * at, &word, 4);
        return dir.Write("patched.DAT", s).string();
    };
    for (const std::uint64_t at : {std::uint64_t{0}, std::uint64_t{65535}, std::uint64_t{65536},
                                   count - 65, count - 64, count - 1}) {
        EXPECT_FALSE(r.Read(withWord(at, at % 2 == 0 ? 0u : 0xfffu).c_str())) << at;
        EXPECT_EQ(r.GetError(), "a point has no range code") << at;
        ExpectEmpty(r);
    }
    ASSERT_TRUE(r.Read(withWord(count - 1, 1u << 12).c_str())) << r.GetError();
    double x = 1, y = 1, z = 1;
    int last = 600 * 600 - 1;
    while (!f.has[static_cast<std::size_t>(last)]) {
        --last;
    }
    ASSERT_TRUE(r.GetPoint(last % 600, last / 600, x, y, z, true));
    EXPECT_EQ(std::tuple(x, y, z), std::tuple(0.0, 0.0, 0.0));
}

TEST(PointFile, AFileWrittenByHandFromTheFormatDescriptionReads) {
    // 2 x 2 right face, up direction 1, only pixel (1, 0) measured, range
    // code 1001 with quantum 0.01 (range 10), column offset +31, row -32.
    std::string s("\x89PNRDAT\n", 8);
    s += std::string("\x01\x00\x02\x00", 4);
    s += std::string("\x02\x00\x00\x00", 4) + std::string("\x01\x00\x00\x00", 4);
    s += std::string(4, '\0');
    const double q = 0.01;
    s.append(reinterpret_cast<const char*>(&q), 8);
    s += std::string("\x01\0\0\0\0\0\0\0", 8) + std::string("\x03\0\0\0\0\0\0\0", 8);
    s += std::string("\x01\x01\x02", 3);
    const std::uint32_t word = (1001u << 12) | (31u << 6) | 32u;
    s.append(reinterpret_cast<const char*>(&word), 4);
    TempDir dir;
    ImpCubeFaceReader r;
    ASSERT_TRUE(r.Read(dir.Write("hand.DAT", s).string().c_str())) << r.GetError();
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(r.HasPoint(i % 2, i / 2), i == 1) << i;
    }
    // u = (1.5 + 31/63) / 2, v = (0.5 - 32/63) / 2; right face: (1, t, s).
    const double su = 2 * (1.5 + 31.0 / 63) / 2 - 1, tv = 1 - 2 * (0.5 - 32.0 / 63) / 2;
    const double len = std::sqrt(1 + su * su + tv * tv);
    double x = 0, y = 0, z = 0;
    ASSERT_TRUE(r.GetPoint(1, 0, x, y, z, true));
    EXPECT_NEAR(x, 10.0 / len, 1e-9);
    EXPECT_NEAR(y, 10.0 * tv / len, 1e-9);
    EXPECT_NEAR(z, 10.0 * su / len, 1e-9);
}
