// Reading a 2048 x 2048 point file against decoding a 2048 x 2048 JPEG face
// image with libturbojpeg, both made in this run, plus the file size, the
// reader's resident memory per pixel and the time of a point query (its word
// is read from the open file). Prints the measurements and ratios.
// Each run of the first figure reads into memory the last one gave back;
// the six faces held at once, as a loaded level holds them, each take memory
// the process has not touched before.
//
//   bench/bench_cubeface_read [size] [repetitions]

#include <malloc.h>
#include <turbojpeg.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "cubeface/CubeFaceGeometry.h"
#include "cubeface/CubeFaceWriter.h"
#include "cubeface/ImpCubeFaceReader.h"

namespace {

using Clock = std::chrono::steady_clock;

// A room as a station would see it from inside: a box around the centre
// (scan frame, z up), a window in the front wall where nothing is measured,
// scattered drop-outs, and points up to a third of a pixel off the pixel
// centre rays.
cubeface::FacePoints MakeRoomFace(int size) {
    cubeface::FacePoints f;
    f.face = 1;
    f.size = size;
    f.upDirection = 0;
    f.has.assign(static_cast<std::size_t>(size) * size, 0);
    f.xyz.assign(f.has.size() * 3, 0.0);
    const double lo[3] = {-4.0, -3.0, -1.6}, hi[3] = {6.0, 5.0, 1.4};
    std::mt19937 rng(17);
    std::uniform_real_distribution<double> jitter(-0.33, 0.33), unit(0.0, 1.0);
    for (int row = 0; row < size; ++row) {
        for (int col = 0; col < size; ++col) {
            const cubeface::Vec3 d =
                cubeface::ViewToScan(0, cubeface::FaceDirection(1, (col + 0.5 + jitter(rng)) / size,
                                                                (row + 0.5 + jitter(rng)) / size));
            double t = 1e300;
            for (int k = 0; k < 3; ++k) {
                if (d[k] > 0) {
                    t = std::min(t, hi[k] / d[k]);
                } else if (d[k] < 0) {
                    t = std::min(t, lo[k] / d[k]);
                }
            }
            const double p[3] = {d[0] * t, d[1] * t, d[2] * t};
            const bool window = p[1] > 4.999 && p[0] > -1.0 && p[0] < 2.5 && p[2] > -0.2;
            const std::size_t i = static_cast<std::size_t>(row) * size + col;
            f.has[i] = !window && unit(rng) > 0.003;
            std::copy(p, p + 3, &f.xyz[i * 3]);
        }
    }
    return f;
}

// A photo-like face image: smooth shading, edges and fine noise.
std::vector<unsigned char> MakeImage(int size) {
    std::vector<unsigned char> rgb(static_cast<std::size_t>(size) * size * 3);
    std::mt19937 rng(5);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const int tile = ((x / 97) + (y / 61)) % 3;
            const int noise = static_cast<int>(rng() % 24);
            unsigned char* px = &rgb[(static_cast<std::size_t>(y) * size + x) * 3];
            px[0] = static_cast<unsigned char>(
                std::clamp(60 + tile * 50 + x * 80 / size + noise, 0, 255));
            px[1] = static_cast<unsigned char>(std::clamp(90 + y * 100 / size + noise, 0, 255));
            px[2] = static_cast<unsigned char>(std::clamp(40 + tile * 30 + noise, 0, 255));
        }
    }
    return rgb;
}

long ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int size = argc > 1 ? std::atoi(argv[1]) : 2048;
    const int reps = argc > 2 ? std::max(1, std::atoi(argv[2])) : 15;
    const double pixels = static_cast<double>(size) * size;
    const auto dir = std::filesystem::temp_directory_path() /
                     ("panora-bench-cubeface-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::string pointPath = (dir / "Pnt_0_1.DAT").string();

    // Reference: a JPEG of the same face size, compressed and decoded here.
    const std::vector<unsigned char> image = MakeImage(size);
    tjhandle compressor = tjInitCompress();
    unsigned char* jpeg = nullptr;
    unsigned long jpegSize = 0;
    if (tjCompress2(compressor, image.data(), size, 0, size, TJPF_RGB, &jpeg, &jpegSize, TJSAMP_420,
                    90, 0) != 0) {
        std::fprintf(stderr, "cannot compress the reference JPEG\n");
        return 1;
    }
    tjDestroy(compressor);
    tjhandle decompressor = tjInitDecompress();
    std::vector<unsigned char> decoded(image.size());
    std::vector<double> jpegTimes;
    for (int i = 0; i < reps; ++i) {
        const auto t0 = Clock::now();
        tjDecompress2(decompressor, jpeg, jpegSize, decoded.data(), size, 0, size, TJPF_RGB,
                      TJFLAG_FASTDCT);
        jpegTimes.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    tjDestroy(decompressor);
    tjFree(jpeg);

    cubeface::FacePoints face = MakeRoomFace(size);
    std::string error;
    if (!cubeface::WriteFacePoints(pointPath, face, &error)) {
        std::fprintf(stderr, "cannot write the point file: %s\n", error.c_str());
        return 1;
    }
    std::size_t measured = 0;
    for (auto h : face.has) {
        measured += h != 0;
    }
    const double fileBytes = static_cast<double>(std::filesystem::file_size(pointPath));
    face = {};

    std::vector<double> readTimes;
    for (int i = 0; i < reps; ++i) {
        ImpCubeFaceReader reader;
        const auto t0 = Clock::now();
        const bool ok = reader.Read(pointPath.c_str());
        readTimes.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        if (!ok) {
            std::fprintf(stderr, "cannot read the point file: %s\n", reader.GetError().c_str());
            return 1;
        }
    }

    // Resident memory: six faces held at once, as a loaded level holds them,
    // measured from a heap given back to the system first.
    malloc_trim(0);
    const long before = ResidentBytes();
    std::vector<std::unique_ptr<ImpCubeFaceReader>> held;
    std::vector<double> heldTimes;
    for (int i = 0; i < 6; ++i) {
        held.push_back(std::make_unique<ImpCubeFaceReader>());
        const auto t0 = Clock::now();
        held.back()->Read(pointPath.c_str());
        heldTimes.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    const double residentPerPixel = static_cast<double>(ResidentBytes() - before) / (6 * pixels);
    const double heldPerPixel = static_cast<double>(held.back()->GetMemoryBytes()) / pixels;
    // Point queries read their word from the open file: a million of them
    // at pixels spread over the face.
    constexpr int kQueries = 1000000;
    std::mt19937 rng(5);
    int answered = 0;
    double sink = 0.0;
    const auto q0 = Clock::now();
    for (int i = 0; i < kQueries; ++i) {
        const int col = static_cast<int>(rng() % static_cast<unsigned>(size));
        const int row = static_cast<int>(rng() % static_cast<unsigned>(size));
        double x = 0.0, y = 0.0, z = 0.0;
        if (held.back()->GetPoint(col, row, x, y, z, true)) {
            ++answered;
            sink += x + y + z;
        }
    }
    const double queryUs =
        std::chrono::duration<double, std::micro>(Clock::now() - q0).count() / kQueries;
    held.clear();
    std::filesystem::remove_all(dir);

    const double jpegMs = Median(jpegTimes), readMs = Median(readTimes);
    std::printf("face %d x %d, %zu of %.0f pixels measured (%.1f %%), median of %d runs\n", size,
                size, measured, pixels, 100.0 * static_cast<double>(measured) / pixels, reps);
    std::printf("reference: JPEG decode (libturbojpeg, quality 90, 4:2:0)  %8.2f ms\n", jpegMs);
    std::printf("point file Read                                          %8.2f ms\n", readMs);
    std::printf("  ratio Read / JPEG decode                               %8.3f  (target < 1)\n",
                readMs / jpegMs);
    std::printf("  six faces held at once, as a level holds them           %8.2f ms a face\n",
                Median(heldTimes));
    std::printf("file bytes per measured pixel                            %8.3f  (target <= 8)\n",
                fileBytes / static_cast<double>(measured));
    std::printf("resident bytes per pixel                                 %8.3f  (target <= 4)\n",
                residentPerPixel);
    std::printf("  held by the reader (GetMemoryBytes; the words stay in the file) %8.3f\n",
                heldPerPixel);
    std::printf(
        "point query (GetPoint, word read from the file)          %8.3f us (%d of %d "
        "answered%s)\n",
        queryUs, answered, kQueries, sink == 0.0 ? ", all zero" : "");
    std::printf("  ratio resident / raw float triples (12 bytes)          %8.3f\n",
                residentPerPixel / 12.0);
    return 0;
}
