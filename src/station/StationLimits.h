#pragma once
// What a station's files may declare. Each limit is checked before the work
// it guards (parsing, allocating, decoding, reading), so that a hostile or
// damaged station costs no more than a well-formed large one; each refusal
// adds a message to the station's error list. docs/reliability.md lists them.

#include <cstdint>

namespace station {

// A description file is a few KB (about 100 bytes per neighbour): larger
// files are not parsed.
inline constexpr std::int64_t kMaxDescriptionBytes = std::int64_t{4} << 20;
// Levels of detail are 0..19 (SX_CubeMap::kMaxLevels); lods and cubes beyond
// are ignored.
// A face is 1 to 16384 pixels a side, the largest size a point file can
// hold; a face image may add a border of one pixel on each side.
inline constexpr int kMaxFaceSize = 16384;
inline constexpr int kMaxFaceBorder = 1;
// Neighbour stations read from one description; the rest are ignored.
inline constexpr int kMaxNeighbors = 1000;

}  // namespace station
