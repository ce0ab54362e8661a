#include <gtest/gtest.h>

#include "cubeface/CubeFaceGeometry.h"

using namespace cubeface;

TEST(CubeFaceGeometry, PixelDirectionsLandBackOnTheirPixel) {
    const int size = 8;
    for (int face = 0; face < 6; ++face) {
        for (int row = 0; row < size; ++row) {
            for (int col = 0; col < size; ++col) {
                const Vec3 d = PixelDirection(face, col, row, size);
                const FaceHit hit = FaceOfDirection(d[0] * 3.0, d[1] * 3.0, d[2] * 3.0);
                ASSERT_EQ(hit.face, face);
                EXPECT_EQ(static_cast<int>(hit.u * size), col) << face << " " << col << " " << row;
                EXPECT_EQ(static_cast<int>(hit.v * size), row) << face << " " << col << " " << row;
            }
        }
    }
}

TEST(CubeFaceGeometry, FacesMeetSeamlesslyAndTiesPreferZThenX) {
    // The right edge of the front face is the left edge of the right face.
    const Vec3 frontRight = FaceDirection(1, 1.0, 0.25);
    const Vec3 rightLeft = FaceDirection(2, 0.0, 0.25);
    EXPECT_EQ(frontRight, rightLeft);
    // The top row of the front face is the bottom row of the top face.
    EXPECT_EQ(FaceDirection(1, 0.3, 0.0), FaceDirection(4, 0.3, 1.0));
    // The top row of the bottom face is the bottom row of the front face.
    EXPECT_EQ(FaceDirection(5, 0.3, 0.0), FaceDirection(1, 0.3, 1.0));
    // Ties: |dz| == |dx| -> front/back; |dx| == |dy| -> left/right.
    EXPECT_EQ(FaceOfDirection(1, 0, -1).face, 1);
    EXPECT_EQ(FaceOfDirection(-1, 0, 1).face, 3);
    EXPECT_EQ(FaceOfDirection(1, 1, 0).face, 2);
    EXPECT_EQ(FaceOfDirection(-1, -1, 0).face, 0);
    EXPECT_EQ(FaceOfDirection(0, 0, 0).face, 1);
}

TEST(CubeFaceGeometry, ScanFrameIsZUpForUpDirectionZero) {
    // Looking ahead (view -z) is scan +y; view up (+y) is scan +z.
    EXPECT_EQ(ViewToScan(0, {0, 0, -1}), (Vec3{0, 1, 0}));
    EXPECT_EQ(ViewToScan(0, {0, 1, 0}), (Vec3{0, 0, 1}));
    EXPECT_EQ(ScanToView(0, ViewToScan(0, {1, 2, 3})), (Vec3{1, 2, 3}));
    EXPECT_EQ(ViewToScan(1, {1, 2, 3}), (Vec3{1, 2, 3}));
}
