// Point files: ImpCubeFaceReader::Read, then queries across the face. The
// header peek must agree with what Read accepted.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "FuzzSupport.h"
#include "cubeface/ImpCubeFaceReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = fuzz::WriteScratch("Pnt_0_16.DAT", data, size);
    ImpCubeFaceReader reader;
    const bool read = reader.Read(path.c_str());
    int face = -1;
    int side = -1;
    const bool header = ImpCubeFaceReader::ReadHeader(path.c_str(), face, side);
    if (!read) {
        return 0;
    }
    if (!header || face != reader.GetFace() || side != reader.GetSize()) {
        std::abort();
    }
    // Every pixel of a small face, a diagonal and the edges of a large one.
    const int n = reader.GetSize();
    const int step = n <= 64 ? 1 : n / 64;
    double x = 0.0, y = 0.0, z = 0.0;
    for (int row = -1; row <= n; row += (row < 0 || row >= n - 1) ? 1 : step) {
        for (int col = -1; col <= n; col += (col < 0 || col >= n - 1) ? 1 : step) {
            if (reader.HasPoint(col, row) != reader.GetPoint(col, row, x, y, z, (col & 1) != 0)) {
                std::abort();
            }
        }
    }
    return 0;
}
