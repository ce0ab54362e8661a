// The generated room: rays land on the surfaces where the room's geometry
// puts them, in site coordinates; station frames turn as the pose says.

#include <gtest/gtest.h>

#include <cmath>

#include "sitegen/SiteGenerator.h"
#include "sitegen/SiteScene.h"
#include "sitegen/StationPose.h"

using namespace sitegen;

namespace {

void ExpectNear(const Vec3& a, const Vec3& b, double tol) {
    EXPECT_LE(Length(Sub(a, b)), tol) << a[0] << "," << a[1] << "," << a[2];
}

}  // namespace

TEST(SiteScene, RaysMeetWallsWindowBoxesAndTargetsInSiteUnits) {
    // Centimetres, the room's corner far from the site origin.
    const Vec3 origin = {100000.0, -50000.0, 20.0};
    const SiteScene scene(origin, 100.0, 7);
    const Vec3 eye = scene.RoomToSite({4.0, 3.5, 1.6});
    ExpectNear(scene.SiteToRoom(eye), {4.0, 3.5, 1.6}, 1e-12);

    struct Case {
        Vec3 dir;
        Surface surface;
        Vec3 roomPoint;
    };
    const Case cases[] = {
        {{1, 0, 0}, Surface::EastWall, {12.0, 3.5, 1.6}},
        {{0, 0, -1}, Surface::Floor, {4.0, 3.5, 0.0}},
        // The west face of box A (x 7.5..9, y 1..2.2, z 0..1).
        {{3.5, -1.9, -1.1}, Surface::Box, {7.5, 1.6, 0.5}},
        // Just below the window sill (z 0.9) the east wall is solid.
        {{8.0, 3.7, -0.75}, Surface::EastWall, {12.0, 7.2, 0.85}},
    };
    for (const auto& c : cases) {
        const SceneHit hit = scene.Trace(eye, c.dir);
        EXPECT_EQ(hit.surface, c.surface) << c.dir[0] << "," << c.dir[1] << "," << c.dir[2];
        EXPECT_TRUE(hit.hasPoint);
        const Vec3 want = scene.RoomToSite(c.roomPoint);
        ExpectNear(hit.point, want, 1e-6);
        EXPECT_NEAR(hit.distance, Length(Sub(want, eye)), 1e-6);
    }

    // Through the window (y 6.2..8.2, z 0.9..2.3 in the east wall): sky, no point.
    const SceneHit sky = scene.Trace(eye, {8.0, 3.7, 0.0});
    EXPECT_EQ(sky.surface, Surface::Sky);
    EXPECT_FALSE(sky.hasPoint);

    // Targets: the four quadrants alternate black and white, the rim has the
    // target's colour, and the hit lies on the disc.
    ASSERT_EQ(scene.Targets().size(), 6u);
    for (const auto& t : scene.Targets()) {
        // In-plane axes: horizontal first, then up (north on the floor).
        Vec3 a{}, b{};
        if (t.normal[2] != 0) {
            a = {1, 0, 0}, b = {0, 1, 0};
        } else if (t.normal[0] != 0) {
            a = {0, 1, 0}, b = {0, 0, 1};
        } else {
            a = {1, 0, 0}, b = {0, 0, 1};
        }
        const Vec3 from = scene.RoomToSite({6.0, 4.5, 2.5});  // sees every target
        auto at = [&](double da, double db) {
            return scene.Trace(from, Sub(Add(t.centre, Add(Scale(a, da), Scale(b, db))), from));
        };
        const SceneHit white = at(5, 5), black = at(5, -5), rim = at(0, 17.5);
        EXPECT_EQ(white.colour, (Rgb{245, 245, 245})) << t.name;
        EXPECT_EQ(black.colour, (Rgb{20, 20, 20})) << t.name;
        EXPECT_EQ(rim.colour, t.rim) << t.name;
        ExpectNear(white.point, Add(t.centre, Add(Scale(a, 5), Scale(b, 5))), 1e-6);
        EXPECT_NE(at(0, 25).surface, Surface::Target) << t.name;
    }
}

TEST(StationPose, FramesTurnByTheAzimuthAndTheUpDirection) {
    StationPose pose;
    pose.centre = {10, 20, 30};
    pose.azimuthDeg = 90;
    // Up 0: the front face looks along the scan's +y, which azimuth 90 turns
    // to the east; the right face then looks south, the top face up.
    ExpectNear(pose.PixelRay(1, 1, 1, 3), {1, 0, 0}, 1e-12);
    ExpectNear(pose.PixelRay(4, 1, 1, 3), {0, 0, 1}, 1e-12);
    // Scan (1, 0, 0) is site south of the centre; the round trip is exact.
    ExpectNear(pose.ScanToSite({1, 0, 0}), {10, 19, 30}, 1e-12);
    ExpectNear(pose.SiteToScan(pose.ScanToSite({3, -4, 5})), {3, -4, 5}, 1e-12);
    // A neighbour due east lies straight ahead: the camera's azimuth formula
    // atan2(z, x) + 90 gives 0 for it.
    const Vec3 n = pose.SiteToNeighborOffset({15, 20, 30});
    ExpectNear(n, {0, 0, -5}, 1e-12);
    EXPECT_NEAR(std::atan2(n[2], n[0]) * 180 / M_PI + 90, 0.0, 1e-9);

    // Any other up direction: view and scan frames coincide, so the front
    // face (view -z) looks along the scan's -z, i.e. down.
    pose.upDirection = 1;
    ExpectNear(pose.PixelRay(1, 1, 1, 3), {0, 0, -1}, 1e-12);
}
