#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>

#include "cubeface/ImpCubeFaceReader.h"
#include "platform/Image.h"
#include "sitegen/SiteGenerator.h"
#include "support/TempDir.h"

using namespace sitegen;
namespace fs = std::filesystem;

namespace {

SiteOptions Small(const fs::path& dir) {
    SiteOptions o;
    o.outputDir = dir.string();
    o.sizes = {16, 8};
    o.quality = 95;
    return o;
}

std::map<std::string, std::string> AllFiles(const fs::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        if (e.is_regular_file()) {
            files[fs::relative(e.path(), root).string()] = testsupport::ReadFile(e.path());
        }
    }
    return files;
}

}  // namespace

TEST(SiteGenerator, SameOptionsGiveTheSameBytesWhateverTheThreads) {
    testsupport::TempDir tmp;
    SiteOptions a = Small(tmp / "a");
    SiteOptions b = Small(tmp / "b");
    b.threads = 1;
    std::string error;
    ASSERT_TRUE(GenerateSite(a, nullptr, &error)) << error;
    ASSERT_TRUE(GenerateSite(b, nullptr, &error)) << error;
    const auto filesA = AllFiles(tmp / "a");
    const auto filesB = AllFiles(tmp / "b");
    EXPECT_GT(filesA.size(), 3u * 26);
    EXPECT_TRUE(filesA == filesB);
}

namespace {

// The end-to-end check of one generated site: for every pixel of every face
// and level, the decoded colour, the mask bit and the point read back from the
// point file agree with the scene traced along that pixel's ray.
void CheckSite(const SitePlan& plan) {
    int colourChecked = 0, pixels = 0, sky = 0;
    double colourError = 0.0;
    for (const auto& st : plan.stations) {
        for (const auto& lf : st.levels) {
            const int n = lf.size;
            for (int f = 0; f < 6; ++f) {
                SCOPED_TRACE(st.pose.name + " face " + std::to_string(f) + " size " +
                             std::to_string(n));
                platform::RgbImage image;
                ASSERT_TRUE(platform::DecodeImageFile(lf.image[f], image));
                ASSERT_EQ(image.width, n);
                ASSERT_EQ(image.height, n);
                platform::Mask mask;
                if (lf.masked[f]) {
                    ASSERT_TRUE(platform::DecodeMaskFile(lf.mask[f], mask));
                    ASSERT_EQ(mask.width, n);
                }
                ImpCubeFaceReader reader;
                ASSERT_TRUE(reader.Read(lf.points[f].c_str())) << reader.GetError();
                ASSERT_EQ(reader.GetSize(), n);
                EXPECT_EQ(reader.GetUpDirection(), st.pose.upDirection);

                std::vector<SceneHit> hits;
                for (int i = 0; i < n * n; ++i) {
                    hits.push_back(
                        plan.scene.Trace(st.pose.centre, st.pose.PixelRay(f, i % n, i / n, n)));
                }
                bool anyMissing = false;
                for (int row = 0; row < n; ++row) {
                    for (int col = 0; col < n; ++col) {
                        const SceneHit& hit = hits[row * n + col];
                        ++pixels;
                        anyMissing |= !hit.hasPoint;
                        ASSERT_EQ(reader.HasPoint(col, row), hit.hasPoint) << col << "," << row;
                        if (lf.masked[f]) {
                            ASSERT_EQ(mask.opaque[row * n + col] != 0, hit.hasPoint);
                        }
                        if (hit.hasPoint) {
                            double x = 0, y = 0, z = 0;
                            ASSERT_TRUE(reader.GetPoint(col, row, x, y, z, true));
                            const Vec3 site = st.pose.ScanToSite({x, y, z});
                            // On the pixel's centre ray only the range is rounded.
                            const double tol = reader.GetRangeQuantum() + 1e-9 * hit.distance;
                            ASSERT_LE(Length(Sub(site, hit.point)), tol) << col << "," << row;
                        } else {
                            ++sky;
                        }
                        // Colours where the 5 x 5 neighbourhood is of one colour,
                        // so that the JPEG's blocks and chroma halving leave it be.
                        bool uniform = true;
                        for (int dr = -2; dr <= 2 && uniform; ++dr) {
                            for (int dc = -2; dc <= 2 && uniform; ++dc) {
                                const int r = std::clamp(row + dr, 0, n - 1);
                                const int c = std::clamp(col + dc, 0, n - 1);
                                uniform = hits[r * n + c].colour == hit.colour;
                            }
                        }
                        if (uniform) {
                            ++colourChecked;
                            const std::uint8_t* px = &image.rgb[(row * n + col) * 3];
                            const int e = std::max({std::abs(px[0] - hit.colour.r),
                                                    std::abs(px[1] - hit.colour.g),
                                                    std::abs(px[2] - hit.colour.b)});
                            EXPECT_LE(e, 24) << col << "," << row;
                            colourError += e;
                        }
                    }
                }
                EXPECT_EQ(anyMissing, lf.masked[f]);
            }
        }
    }
    EXPECT_GT(colourChecked, pixels / 10);
    EXPECT_LT(colourError / colourChecked, 4.0);
    EXPECT_GT(sky, 0);
}

// Straight geometry, without the generator's frame code: the pixel of the
// panorama that looks at each target shows the target's point.
void CheckTargetsLandWhereTheGeometrySays(const SitePlan& plan) {
    int seen = 0;
    for (const auto& st : plan.stations) {
        const LevelFiles& lf = st.levels[0];
        for (const auto& t : plan.scene.Targets()) {
            const Vec3 d = Sub(t.centre, st.pose.centre);
            // Site -> scan: turn by +azimuth about z; scan -> view per up direction.
            const double a = st.pose.azimuthDeg * M_PI / 180.0;
            const Vec3 scan = {std::cos(a) * d[0] - std::sin(a) * d[1],
                               std::sin(a) * d[0] + std::cos(a) * d[1], d[2]};
            const Vec3 view = st.pose.upDirection == 0 ? Vec3{scan[0], scan[2], -scan[1]} : scan;
            const auto fh = cubeface::FaceOfDirection(view[0], view[1], view[2]);
            const int col = std::min(static_cast<int>(fh.u * lf.size), lf.size - 1);
            const int row = std::min(static_cast<int>(fh.v * lf.size), lf.size - 1);
            const SceneHit hit =
                plan.scene.Trace(st.pose.centre, st.pose.PixelRay(fh.face, col, row, lf.size));
            if (hit.surface != Surface::Target) {
                continue;  // hidden behind a box
            }
            ++seen;
            ImpCubeFaceReader reader;
            ASSERT_TRUE(reader.Read(lf.points[fh.face].c_str()));
            double x = 0, y = 0, z = 0;
            ASSERT_TRUE(reader.GetPoint(col, row, x, y, z, true));
            const Vec3 site = st.pose.ScanToSite({x, y, z});
            EXPECT_LT(Length(Sub(site, t.centre)), t.rimRadius) << st.pose.name << " " << t.name;
        }
    }
    EXPECT_GE(seen, static_cast<int>(plan.stations.size() * 3));
}

}  // namespace

TEST(SiteGenerator, PixelsMasksAndPointsAgreeWithTheSceneThroughTheFrames) {
    // Centimetres, a turned first station far from the site origin.
    testsupport::TempDir tmp;
    SiteOptions o = Small(tmp / "cm");
    o.sizes = {64, 20};
    o.azimuthDeg = 90;
    o.centre = Vec3{250000.5, -40000.25, 1234.0};
    o.unit = *FindLengthUnit("cm");
    SitePlan plan;
    std::string error;
    ASSERT_TRUE(GenerateSite(o, &plan, &error)) << error;
    EXPECT_EQ(plan.stations[0].pose.centre, *o.centre);
    EXPECT_EQ(plan.stations[2].pose.azimuthDeg, 290.0);
    CheckSite(plan);
    CheckTargetsLandWhereTheGeometrySays(plan);
}
