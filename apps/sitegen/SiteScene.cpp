#include "sitegen/SiteScene.h"

#include <algorithm>
#include <array>
#include <limits>

#include "sitegen/BlockGlyphs.h"

namespace sitegen {

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kEpsilon = 1e-9;

// The window in the east wall (x = kWidth): an opening to the sky.
constexpr double kWindowY0 = 6.2, kWindowY1 = 8.2;
constexpr double kWindowZ0 = 0.9, kWindowZ1 = 2.3;

struct Box {
    Vec3 lo;
    Vec3 hi;
    Rgb colour;
};

constexpr std::array<Box, 3> kBoxes = {{
    {{7.5, 1.0, 0.0}, {9.0, 2.2, 1.0}, {230, 130, 40}},
    {{1.0, 7.0, 0.0}, {2.0, 8.2, 1.5}, {140, 70, 170}},
    {{5.6, 4.6, 0.0}, {6.4, 5.4, 0.7}, {40, 160, 160}},
}};

struct RoomTarget {
    const char* name;
    Vec3 centre;
    Vec3 normal;
    Rgb rim;
};

// Each target stands 1 mm in front of the surface it is fixed to.
constexpr double kTargetRadius = 0.15;
constexpr double kTargetRimRadius = 0.2;
constexpr std::array<RoomTarget, 6> kTargets = {{
    {"T1", {6.0, SiteScene::kDepth - 0.001, 2.0}, {0, -1, 0}, {230, 40, 200}},
    {"T2", {SiteScene::kWidth - 0.001, 2.0, 1.5}, {-1, 0, 0}, {40, 220, 230}},
    {"T3", {3.0, 0.001, 1.2}, {0, 1, 0}, {250, 150, 0}},
    {"T4", {0.001, 5.0, 2.2}, {1, 0, 0}, {120, 230, 40}},
    {"T5", {8.25, 1.6, 1.001}, {0, 0, 1}, {230, 40, 40}},
    {"T6", {5.0, 6.5, 0.001}, {0, 0, 1}, {40, 80, 230}},
}};

Rgb Shade(Rgb c, double f) {
    auto s = [f](std::uint8_t v) {
        return static_cast<std::uint8_t>(std::clamp(v * f, 0.0, 255.0));
    };
    return {s(c.r), s(c.g), s(c.b)};
}

// Whether x lies within half a line width of a multiple of the spacing.
bool OnGridLine(double x, double spacing, double width) {
    const double r = x - spacing * std::floor(x / spacing);
    return r < width * 0.5 || r > spacing - width * 0.5;
}

std::uint32_t Hash(std::uint32_t seed, int a, int b) {
    std::uint32_t h = seed * 0x9E3779B1u;
    h ^= static_cast<std::uint32_t>(a) * 0x85EBCA77u;
    h = (h ^ (h >> 15)) * 0xC2B2AE3Du;
    h ^= static_cast<std::uint32_t>(b) * 0x27D4EB2Fu;
    h = (h ^ (h >> 13)) * 0x165667B1u;
    return h ^ (h >> 16);
}

// A wall seen from inside the room: s runs left to right along it, t is the
// height. The letter sits in the middle, the arrow to its right.
Rgb WallColour(Rgb base, char letter, double s, double t, double length) {
    const double cell = 0.3;
    const double glyphW = cell * kGlyphColumns, glyphH = cell * kGlyphRows;
    const double letterS0 = length * 0.5 - glyphW * 0.5;
    const double glyphT0 = 0.6;
    if (GlyphCovers(letter, (s - letterS0) / glyphW, (t - glyphT0) / glyphH)) {
        return {245, 245, 240};
    }
    const double arrowS0 = letterS0 + glyphW + 0.45;
    if (GlyphCovers('^', (s - arrowS0) / glyphW, (t - glyphT0) / glyphH)) {
        return {25, 25, 25};
    }
    if (t < 0.1) {
        return {70, 60, 55};  // skirting board
    }
    if (OnGridLine(s, 0.5, 0.03) || OnGridLine(t, 0.5, 0.03)) {
        return Shade(base, 0.6);
    }
    return base;
}

}  // namespace

SiteScene::SiteScene(const Vec3& roomOrigin, double unitsPerMeter, std::uint32_t seed)
    : origin_(roomOrigin), unitsPerMeter_(unitsPerMeter), seed_(seed) {
    for (const auto& t : kTargets) {
        targets_.push_back({t.name, RoomToSite(t.centre), t.normal, kTargetRadius * unitsPerMeter_,
                            kTargetRimRadius * unitsPerMeter_, t.rim});
    }
}

Vec3 SiteScene::RoomToSite(const Vec3& room) const {
    return Add(origin_, Scale(room, unitsPerMeter_));
}

Vec3 SiteScene::SiteToRoom(const Vec3& site) const {
    return Scale(Sub(site, origin_), 1.0 / unitsPerMeter_);
}

bool SiteScene::IsFreeRoomPosition(const Vec3& p) {
    const double m = 0.3;
    if (p[0] < m || p[0] > kWidth - m || p[1] < m || p[1] > kDepth - m || p[2] < m ||
        p[2] > kHeight - m) {
        return false;
    }
    for (const auto& b : kBoxes) {
        if (p[0] > b.lo[0] - m && p[0] < b.hi[0] + m && p[1] > b.lo[1] - m && p[1] < b.hi[1] + m &&
            p[2] < b.hi[2] + m) {
            return false;
        }
    }
    return true;
}

Rgb SiteScene::FloorColour(double x, double y) const {
    // North arrow with a letter N ahead of it, under the first station's
    // default place.
    const double cell = 0.3;
    if (GlyphCovers('^', (x - 3.25) / (cell * kGlyphColumns), (y - 2.45) / (cell * kGlyphRows))) {
        return {250, 250, 250};
    }
    if (GlyphCovers('N', (x - 3.5) / (0.2 * kGlyphColumns), (y - 4.7) / (0.2 * kGlyphRows))) {
        return {20, 20, 20};
    }
    if (OnGridLine(x, 1.0, 0.02) || OnGridLine(y, 1.0, 0.02)) {
        return {60, 55, 50};
    }
    const int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
    const Rgb base = ((ix + iy) & 1) != 0 ? Rgb{150, 140, 130} : Rgb{110, 100, 95};
    // Each quarter-metre patch a little lighter or darker, by the seed.
    const int jx = static_cast<int>(std::floor(x * 4.0)),
              jy = static_cast<int>(std::floor(y * 4.0));
    const double f = 0.92 + 0.16 * (Hash(seed_, jx, jy) % 1000) / 999.0;
    return Shade(base, f);
}

SceneHit SiteScene::Trace(const Vec3& from, const Vec3& dir) const {
    SceneHit hit;
    const Vec3 o = SiteToRoom(from);
    const Vec3 d = Normalised(dir);
    if (Length(d) == 0.0) {
        return hit;
    }

    // The room's walls, floor and ceiling: leave the box [0, W] x [0, D] x [0, H].
    const Vec3 hiBound = {kWidth, kDepth, kHeight};
    double best = kInf;
    int bestAxis = -1;
    for (int a = 0; a < 3; ++a) {
        double t = kInf;
        if (d[a] > 0) {
            t = (hiBound[a] - o[a]) / d[a];
        } else if (d[a] < 0) {
            t = -o[a] / d[a];
        }
        if (t < best) {
            best = t;
            bestAxis = a;
        }
    }
    if (bestAxis < 0 || best < 0) {
        return hit;  // outside the room, or no direction
    }
    Surface surface = Surface::Sky;
    const Vec3 p = Add(o, Scale(d, best));
    if (bestAxis == 0) {
        surface = d[0] > 0 ? Surface::EastWall : Surface::WestWall;
        if (d[0] > 0 && p[1] > kWindowY0 && p[1] < kWindowY1 && p[2] > kWindowZ0 &&
            p[2] < kWindowZ1) {
            surface = Surface::Sky;
        }
    } else if (bestAxis == 1) {
        surface = d[1] > 0 ? Surface::NorthWall : Surface::SouthWall;
    } else {
        surface = d[2] > 0 ? Surface::Ceiling : Surface::Floor;
    }

    // Boxes (slab test), nearer than the room surface.
    int boxIndex = -1, boxAxis = -1;
    for (int i = 0; i < static_cast<int>(kBoxes.size()); ++i) {
        double tNear = -kInf, tFar = kInf;
        int nearAxis = -1;
        bool miss = false;
        for (int a = 0; a < 3 && !miss; ++a) {
            if (d[a] == 0.0) {
                miss = o[a] < kBoxes[i].lo[a] || o[a] > kBoxes[i].hi[a];
                continue;
            }
            double t0 = (kBoxes[i].lo[a] - o[a]) / d[a];
            double t1 = (kBoxes[i].hi[a] - o[a]) / d[a];
            if (t0 > t1)
                std::swap(t0, t1);
            if (t0 > tNear) {
                tNear = t0;
                nearAxis = a;
            }
            tFar = std::min(tFar, t1);
            miss = tNear > tFar;
        }
        if (!miss && nearAxis >= 0 && tNear > kEpsilon && tNear < best) {
            best = tNear;
            boxIndex = i;
            boxAxis = nearAxis;
            surface = Surface::Box;
        }
    }

    // Targets: one-sided discs facing into the room.
    int targetIndex = -1;
    for (int i = 0; i < static_cast<int>(kTargets.size()); ++i) {
        const auto& tg = kTargets[i];
        const double denom = Dot(d, tg.normal);
        if (denom >= 0.0) {
            continue;
        }
        const double t = Dot(Sub(tg.centre, o), tg.normal) / denom;
        if (t <= kEpsilon || t >= best) {
            continue;
        }
        const Vec3 q = Add(o, Scale(d, t));
        if (Length(Sub(q, tg.centre)) <= kTargetRimRadius) {
            best = t;
            targetIndex = i;
            surface = Surface::Target;
        }
    }

    hit.surface = surface;
    if (surface == Surface::Sky) {
        hit.colour = {150, 200, 255};
        return hit;
    }
    const Vec3 q = Add(o, Scale(d, best));
    hit.hasPoint = true;
    hit.point = RoomToSite(q);
    hit.distance = best * unitsPerMeter_;

    switch (surface) {
        case Surface::NorthWall:
            hit.colour = WallColour({200, 60, 50}, 'N', q[0], q[2], kWidth);
            break;
        case Surface::EastWall:
            hit.colour = WallColour({60, 170, 70}, 'E', kDepth - q[1], q[2], kDepth);
            break;
        case Surface::SouthWall:
            hit.colour = WallColour({60, 90, 200}, 'S', kWidth - q[0], q[2], kWidth);
            break;
        case Surface::WestWall:
            hit.colour = WallColour({220, 190, 50}, 'W', q[1], q[2], kDepth);
            break;
        case Surface::Floor:
            hit.colour = FloorColour(q[0], q[1]);
            break;
        case Surface::Ceiling:
            if (q[0] > 5.0 && q[0] < 7.0 && q[1] > 4.0 && q[1] < 5.0) {
                hit.colour = {255, 255, 235};  // light panel
            } else if (OnGridLine(q[0], 1.0, 0.02) || OnGridLine(q[1], 1.0, 0.02)) {
                hit.colour = {180, 180, 175};
            } else {
                hit.colour = {225, 225, 215};
            }
            break;
        case Surface::Box: {
            const auto& b = kBoxes[boxIndex];
            // Dark edges, the top lit, the sides darker by axis.
            int edgeAxes = 0;
            for (int a = 0; a < 3; ++a) {
                if (a != boxAxis && (q[a] - b.lo[a] < 0.02 || b.hi[a] - q[a] < 0.02)) {
                    ++edgeAxes;
                }
            }
            const double f = boxAxis == 2 ? 1.0 : (boxAxis == 0 ? 0.8 : 0.68);
            hit.colour = edgeAxes > 0 ? Shade(b.colour, 0.35) : Shade(b.colour, f);
            break;
        }
        case Surface::Target: {
            const auto& tg = kTargets[targetIndex];
            const Vec3 r = Sub(q, tg.centre);
            if (Length(r) > kTargetRadius) {
                hit.colour = tg.rim;
                break;
            }
            // In-plane axes: x or y horizontally, z (or y on the floor) up.
            double du = 0.0, dv = 0.0;
            if (tg.normal[2] != 0.0) {
                du = r[0];
                dv = r[1];
            } else if (tg.normal[0] != 0.0) {
                du = r[1];
                dv = r[2];
            } else {
                du = r[0];
                dv = r[2];
            }
            hit.colour = (du >= 0) == (dv >= 0) ? Rgb{245, 245, 245} : Rgb{20, 20, 20};
            break;
        }
        case Surface::Sky:
            break;
    }
    return hit;
}

}  // namespace sitegen
