#pragma once
// The procedural scene every generated station looks at: a closed room of
// 12 x 9 m, 3.2 m high, with walls of different hues carrying a tile grid, a
// large compass letter and an upward arrow each, a chequered floor with a
// north arrow, a gridded ceiling, three boxes, six chequered targets, and a
// window in the east wall through which only sky is seen (no point).
//
// Room frame (metres): x east 0..12, y north 0..9, z up 0..3.2 (floor at 0).
// The site frame is the room frame scaled to the internal unit and moved so
// that the room's south-west floor corner lies at `roomOrigin`:
//   site = roomOrigin + room * unitsPerMeter.
// Everything public is in site coordinates. Tracing is analytic (planes,
// axis-aligned boxes, discs) and deterministic.

#include <cstdint>
#include <string>
#include <vector>

#include "sitegen/SiteMath.h"

namespace sitegen {

enum class Surface { Sky, Floor, Ceiling, NorthWall, EastWall, SouthWall, WestWall, Box, Target };

struct SceneHit {
    Surface surface = Surface::Sky;
    bool hasPoint = false;  // false for the sky seen through the window
    Vec3 point{};           // site coordinates of the hit
    double distance = 0.0;  // from the ray's origin, site units
    Rgb colour{};
};

// A chequered disc: four quadrants alternately black and white inside
// `radius`, a rim of its own colour out to `rimRadius`.
struct Target {
    std::string name;
    Vec3 centre{};           // site coordinates
    Vec3 normal{};           // unit, facing into the room
    double radius = 0.0;     // site units
    double rimRadius = 0.0;  // site units
    Rgb rim{};
};

class SiteScene {
  public:
    static constexpr double kWidth = 12.0;  // along x (east)
    static constexpr double kDepth = 9.0;   // along y (north)
    static constexpr double kHeight = 3.2;

    SiteScene(const Vec3& roomOrigin, double unitsPerMeter, std::uint32_t seed);

    // The first surface a ray from `from` (inside the room) along `dir` (any
    // length but zero) meets.
    SceneHit Trace(const Vec3& from, const Vec3& dir) const;

    const std::vector<Target>& Targets() const { return targets_; }
    const Vec3& RoomOrigin() const { return origin_; }
    double UnitsPerMeter() const { return unitsPerMeter_; }

    Vec3 RoomToSite(const Vec3& room) const;
    Vec3 SiteToRoom(const Vec3& site) const;

    // Whether a station may stand at this room point: inside the room, at
    // least 0.3 m from every wall, floor, ceiling and box.
    static bool IsFreeRoomPosition(const Vec3& room);

  private:
    Rgb FloorColour(double x, double y) const;

    Vec3 origin_;
    double unitsPerMeter_;
    std::uint32_t seed_;
    std::vector<Target> targets_;
};

}  // namespace sitegen
