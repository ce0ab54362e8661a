#pragma once
// Writes a point file (".DAT") for one cube face at one level. The format is
// described byte by byte in docs/point-file-format.md; ImpCubeFaceReader
// reads it back.

#include <cstdint>
#include <string>
#include <vector>

namespace cubeface {

// One face's measured points as a scanner (or the station generator) delivers
// them: per pixel, row-major with rows top-down, whether it has a point and
// the point in the station's scan frame and internal unit.
struct FacePoints {
    int face = 0;         // 0 left, 1 front, 2 right, 3 back, 4 top, 5 bottom
    int size = 0;         // pixels per side
    int upDirection = 0;  // the station's up direction (see CubeFaceGeometry.h)
    std::vector<std::uint8_t> has;  // size * size entries, non-zero: measured
    std::vector<double> xyz;        // size * size * 3: x, y, z of each pixel
};

// Encodes and writes the file. False (with a reason in *error when given) when
// the input is inconsistent or the file cannot be written.
bool WriteFacePoints(const std::string& path, const FacePoints& points,
                     std::string* error = nullptr);

}  // namespace cubeface
