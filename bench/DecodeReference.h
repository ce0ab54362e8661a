// The reference the load benchmarks measure against: reading JPEG files and
// decoding them to RGB with libturbojpeg alone, on the calling thread.
#pragma once

#include <turbojpeg.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace bench {

// Milliseconds of wall time for reading and decoding the files once; -1 when
// one does not decode. flags go to tjDecompress2.
inline double DecodeJpegFiles(const std::vector<std::string>& files, int flags) {
    tjhandle tj = tjInitDecompress();
    std::vector<unsigned char> pixels;
    const auto t0 = std::chrono::steady_clock::now();
    for (const std::string& file : files) {
        std::ifstream in(file, std::ios::binary);
        const std::vector<unsigned char> data((std::istreambuf_iterator<char>(in)),
                                              std::istreambuf_iterator<char>());
        int width = 0, height = 0, subsampling = 0, colourspace = 0;
        if (tjDecompressHeader3(tj, data.data(), data.size(), &width, &height, &subsampling,
                                &colourspace) != 0) {
            tjDestroy(tj);
            return -1.0;
        }
        pixels.resize(static_cast<std::size_t>(width) * height * 3);
        if (tjDecompress2(tj, data.data(), data.size(), pixels.data(), width, 0, height, TJPF_RGB,
                          flags) != 0) {
            tjDestroy(tj);
            return -1.0;
        }
    }
    const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - t0;
    tjDestroy(tj);
    return elapsed.count();
}

}  // namespace bench
