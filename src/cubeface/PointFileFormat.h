#pragma once
// Constants and per-pixel coding of the point file (".DAT") shared by the
// writer and ImpCubeFaceReader. docs/point-file-format.md describes the
// layout byte by byte.
//
// Each measured pixel is one little-endian 32-bit word:
//   bits 31..12  range code c (1 .. 1048575); range = (c - 1) * quantum
//   bits 11..6   column offset ku, 6-bit two's complement (-32 .. 31)
//   bits  5..0   row offset kv, likewise
// The point lies at that range along the direction through
// (col + 0.5 + ku / 63, row + 0.5 + kv / 63) in pixel units of the face.
// The word 0 never occurs in a file (range code 0 makes a file invalid).

#include <cstddef>
#include <cstdint>

#include "cubeface/CubeFaceGeometry.h"

namespace cubeface::pointfile {

inline constexpr unsigned char kMagic[8] = {0x89, 'P', 'N', 'R', 'D', 'A', 'T', 0x0A};
inline constexpr int kVersionMajor = 1;
inline constexpr int kVersionMinor = 0;
inline constexpr std::size_t kHeaderSize = 48;
inline constexpr int kMaxSize = 16384;

inline constexpr int kRangeShift = 12;
inline constexpr std::uint32_t kMaxRangeCode = (1u << 20) - 1;  // code 0 is never written
inline constexpr int kOffsetBits = 6;
inline constexpr std::uint32_t kOffsetMask = (1u << kOffsetBits) - 1;
inline constexpr double kOffsetSteps = 63.0;  // offset steps per pixel
inline constexpr int kMinOffset = -32;
inline constexpr int kMaxOffset = 31;

// Header fields (little-endian) and their offsets.
//   0  8 bytes  kMagic
//   8  u8       major version, 9 u8 minor version
//  10  u8       face, 11 u8 reserved (0)
//  12  u32      size (pixels per side)
//  16  i32      up direction
//  20  u32      reserved (0)
//  24  f64      range quantum
//  32  u64      number of measured pixels
//  40  u64      bytes of the presence runs that follow the header
inline constexpr std::size_t kOffMajor = 8, kOffMinor = 9, kOffFace = 10, kOffReserved8 = 11,
                             kOffSize = 12, kOffUp = 16, kOffReserved32 = 20, kOffQuantum = 24,
                             kOffCount = 32, kOffMaskBytes = 40;

template <typename T>
inline void StoreLE(unsigned char* p, T value) {
    for (std::size_t i = 0; i < sizeof(T); ++i) {
        p[i] = static_cast<unsigned char>(static_cast<std::uint64_t>(value) >> (8 * i));
    }
}

template <typename T>
inline T LoadLE(const unsigned char* p) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i) {
        value |= static_cast<std::uint64_t>(p[i]) << (8 * i);
    }
    return static_cast<T>(value);
}

inline std::uint32_t PackWord(std::uint32_t rangeCode, int ku, int kv) {
    return (rangeCode << kRangeShift) |
           ((static_cast<std::uint32_t>(ku) & kOffsetMask) << kOffsetBits) |
           (static_cast<std::uint32_t>(kv) & kOffsetMask);
}

inline int SignExtendOffset(std::uint32_t bits) {
    const int value = static_cast<int>(bits & kOffsetMask);
    return value >= 32 ? value - 64 : value;
}

// Where a view-frame direction meets the plane of the given face: (u, v) as
// FaceDirection takes them, possibly outside 0..1. False when the direction
// does not point into the face's half-space.
inline bool DirectionToFaceUV(int face, const Vec3& d, double& u, double& v) {
    double s = 0.0, a = 0.0, b = 0.0;  // FaceDirection(face, u, v) = s^-1 * d
    switch (face) {
        case 0:
            s = -d[0], a = -d[2], b = d[1];
            break;
        case 1:
            s = -d[2], a = d[0], b = d[1];
            break;
        case 2:
            s = d[0], a = d[2], b = d[1];
            break;
        case 3:
            s = d[2], a = -d[0], b = d[1];
            break;
        case 4:
            s = d[1], a = d[0], b = d[2];
            break;
        case 5:
            s = -d[1], a = d[0], b = -d[2];
            break;
        default:
            return false;
    }
    if (!(s > 0.0)) {
        return false;
    }
    u = (a / s + 1.0) * 0.5;
    v = (1.0 - b / s) * 0.5;
    return true;
}

}  // namespace cubeface::pointfile
