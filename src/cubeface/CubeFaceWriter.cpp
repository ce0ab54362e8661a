#include "cubeface/CubeFaceWriter.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <memory>

#include "cubeface/CubeFaceGeometry.h"
#include "cubeface/PointFileFormat.h"

namespace cubeface {

namespace {

using namespace pointfile;

bool Fail(std::string* error, std::string text) {
    if (error) {
        *error = std::move(text);
    }
    return false;
}

std::string PixelText(int col, int row) {
    return "(" + std::to_string(col) + ", " + std::to_string(row) + ")";
}

void AppendVarint(std::vector<unsigned char>& out, std::uint64_t value) {
    while (value >= 0x80) {
        out.push_back(static_cast<unsigned char>(value | 0x80));
        value >>= 7;
    }
    out.push_back(static_cast<unsigned char>(value));
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

bool WriteFacePoints(const std::string& path, const FacePoints& points, std::string* error) {
    if (points.face < 0 || points.face > 5) {
        return Fail(error, "face " + std::to_string(points.face) + " is not 0 to 5");
    }
    if (points.size < 1 || points.size > kMaxSize) {
        return Fail(error, "size " + std::to_string(points.size) + " is not 1 to " +
                               std::to_string(kMaxSize));
    }
    const int size = points.size;
    const std::size_t pixels = static_cast<std::size_t>(size) * size;
    if (points.has.size() != pixels) {
        return Fail(error, "presence holds " + std::to_string(points.has.size()) +
                               " entries, expected " + std::to_string(pixels));
    }
    if (points.xyz.size() != pixels * 3) {
        return Fail(error, "coordinates hold " + std::to_string(points.xyz.size()) +
                               " values, expected " + std::to_string(pixels * 3));
    }

    // Ranges first: the quantum follows from the largest one.
    std::size_t count = 0;
    double maxRange = 0.0;
    for (std::size_t i = 0; i < pixels; ++i) {
        if (!points.has[i]) {
            continue;
        }
        const double* p = &points.xyz[i * 3];
        const double r = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
        if (!std::isfinite(r)) {
            return Fail(error,
                        "point of pixel " +
                            PixelText(static_cast<int>(i % size), static_cast<int>(i / size)) +
                            " is not finite");
        }
        maxRange = std::max(maxRange, r);
        ++count;
    }
    const double quantum = maxRange > 0.0 ? maxRange / (kMaxRangeCode - 1) : 1.0;

    std::vector<unsigned char> runs;
    std::vector<unsigned char> words;
    words.reserve(count * 4);
    bool present = false;  // runs alternate, starting with pixels without a point
    std::uint64_t run = 0;
    for (std::size_t i = 0; i < pixels; ++i) {
        const bool has = points.has[i] != 0;
        if (has != present) {
            AppendVarint(runs, run);
            present = has;
            run = 0;
        }
        ++run;
        if (!has) {
            continue;
        }
        const int col = static_cast<int>(i % size), row = static_cast<int>(i / size);
        const double* p = &points.xyz[i * 3];
        const double r = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
        int ku = 0, kv = 0;
        if (r > 0.0) {
            const Vec3 view = ScanToView(points.upDirection, {p[0], p[1], p[2]});
            double u = 0.0, v = 0.0;
            if (!DirectionToFaceUV(points.face, view, u, v)) {
                return Fail(error, "point of pixel " + PixelText(col, row) + " lies behind face " +
                                       std::to_string(points.face));
            }
            const double su = u * size - col - 0.5, sv = v * size - row - 0.5;
            if (!(std::fabs(su) <= 1.0 && std::fabs(sv) <= 1.0)) {
                return Fail(error, "point of pixel " + PixelText(col, row) +
                                       " lies more than half a pixel outside it");
            }
            ku = std::clamp(static_cast<int>(std::lround(su * kOffsetSteps)), kMinOffset,
                            kMaxOffset);
            kv = std::clamp(static_cast<int>(std::lround(sv * kOffsetSteps)), kMinOffset,
                            kMaxOffset);
        }
        const auto code = static_cast<std::uint32_t>(
            1 + std::min<long long>(std::llround(r / quantum), kMaxRangeCode - 1));
        unsigned char word[4];
        StoreLE<std::uint32_t>(word, PackWord(code, ku, kv));
        words.insert(words.end(), word, word + 4);
    }
    AppendVarint(runs, run);

    unsigned char header[kHeaderSize] = {};
    std::copy(std::begin(kMagic), std::end(kMagic), header);
    header[kOffMajor] = kVersionMajor;
    header[kOffMinor] = kVersionMinor;
    header[kOffFace] = static_cast<unsigned char>(points.face);
    header[kOffReserved8] = 0;
    StoreLE<std::uint32_t>(header + kOffSize, static_cast<std::uint32_t>(size));
    StoreLE<std::uint32_t>(header + kOffUp, static_cast<std::uint32_t>(points.upDirection));
    StoreLE<std::uint32_t>(header + kOffReserved32, 0);
    StoreLE<std::uint64_t>(header + kOffQuantum, std::bit_cast<std::uint64_t>(quantum));
    StoreLE<std::uint64_t>(header + kOffCount, count);
    StoreLE<std::uint64_t>(header + kOffMaskBytes, runs.size());

    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file) {
        return Fail(error, "cannot write " + path);
    }
    bool ok =
        std::fwrite(header, 1, kHeaderSize, file.get()) == kHeaderSize &&
        std::fwrite(runs.data(), 1, runs.size(), file.get()) == runs.size() &&
        (words.empty() || std::fwrite(words.data(), 1, words.size(), file.get()) == words.size());
    ok = std::fclose(file.release()) == 0 && ok;
    if (!ok) {
        std::remove(path.c_str());
        return Fail(error, "cannot write " + path);
    }
    return true;
}

}  // namespace cubeface
