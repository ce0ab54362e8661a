// `panora publish` end to end: generated PTX scans of a known room become
// stations that the control loads, picks and renders where the geometry
// says; a photo's faces match their expected resampling; bad input names its
// file and line, exits 1 and leaves no site behind.
#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <pugixml.hpp>
#include <sstream>

#include "control/Automation.h"
#include "cubeface/CubeFaceGeometry.h"
#include "publish/PtxReader.h"
#include "sitegen/SiteGenerator.h"
#include "station/SX_CubeMap.h"
#include "support/ControlFixture.h"
#include "support/ImageCompare.h"
#include "support/RunCommand.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;
using testsupport::RunPanora;

namespace {

constexpr double kDeg = 3.14159265358979323846 / 180.0;

// Generates a site of `stations` stations and its scans (one PTX file); the
// stations' own tiles are kept tiny, only the scans matter.
sitegen::SitePlan GenerateScans(const fs::path& dir, int stations, double azimuth,
                                const std::string& grid = "400x200") {
    sitegen::SiteOptions o;
    std::string error;
    bool help = false;
    EXPECT_TRUE(
        sitegen::ParseSiteOptions({(dir / "generated").string(), "--sizes", "8", "--stations",
                                   std::to_string(stations), "--azimuth", std::to_string(azimuth),
                                   "--ptx", (dir / "scans.ptx").string(), "--ptx-grid", grid},
                                  o, &error, &help))
        << error;
    sitegen::SitePlan plan;
    EXPECT_TRUE(sitegen::GenerateSite(o, &plan, &error)) << error;
    return plan;
}

pugi::xml_node Root(pugi::xml_document& doc, const fs::path& description) {
    EXPECT_TRUE(doc.load_file(description.c_str())) << description;
    return doc.child("Qvscan:CubeMap");
}

class PublishTest : public ControlFixture {};

}  // namespace

TEST_F(PublishTest, TwoScansBecomeNeighbourStationsPickedAtTheirTrueSiteCoordinates) {
    const sitegen::SitePlan plan = GenerateScans(dir_.path(), 2, 20.0, "800x400");
    const fs::path site = dir_ / "site";
    const auto r = RunPanora({"publish", (dir_ / "scans.ptx").string(), "-o", site.string(),
                              "--sizes", "256", "--threads", "2"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "scans-1: " + (site / "scans-1" / "scans-1.xml").string() +
                         "\nscans-2: " + (site / "scans-2" / "scans-2.xml").string() + "\n");

    for (int s = 0; s < 2; ++s) {
        const sitegen::StationPose& truth = plan.stations[s].pose;
        const std::string name = "scans-" + std::to_string(s + 1);
        SCOPED_TRACE(name);
        const fs::path description = site / name / (name + ".xml");

        // The other station at its true distance. (The pose from the
        // registration shows in the picks below: they land at site coordinates.)
        pugi::xml_document doc;
        const auto root = Root(doc, description);
        const auto n = root.child("Qvscan:Neighbors").child("Qvscan:Neighbor");
        ASSERT_TRUE(n);
        EXPECT_EQ(std::string(n.attribute("Name").value()), "scans-" + std::to_string(2 - s));
        const sitegen::Vec3 offset = {n.attribute("X").as_double(), n.attribute("Y").as_double(),
                                      n.attribute("Z").as_double()};
        const sitegen::Vec3 toOther = sitegen::Sub(plan.stations[1 - s].pose.centre, truth.centre);
        EXPECT_NEAR(sitegen::Length(offset), sitegen::Length(toOther), 1e-6);
        EXPECT_NEAR(offset[1], toOther[2], 1e-6);

        // Loaded by the control without a message; each target's centre
        // picked through the cube map and placed by the control's own frame.
        if (control_) {
            control_->Destroy();
            control_.reset();
        }
        SX_Control& c = LoadedControl(description.string(), 160, 120);
        ASSERT_EQ(c.DataSet().GetMessages(), u"");
        const double precision = c.DataSet().MaxPointError();
        EXPECT_GT(precision, 0.0);
        EXPECT_LT(precision, 0.2);
        int picked = 0;
        for (const auto& target : plan.scene.Targets()) {
            const sitegen::Vec3 toTarget = sitegen::Sub(target.centre, truth.centre);
            const auto hit = plan.scene.Trace(truth.centre, toTarget);
            if (hit.surface != sitegen::Surface::Target) {
                continue;  // hidden
            }
            const sitegen::Vec3 view = truth.SiteToViewDirection(toTarget);
            const auto fh = cubeface::FaceOfDirection(view[0], view[1], view[2]);
            double x = 0, y = 0, z = 0;
            ASSERT_TRUE(c.DataSet().CubeMap()->PointAt(fh.face, fh.u, fh.v, x, y, z))
                << target.name;
            ASSERT_EQ(Call(u"VertexMark3D", {x, y, z, std::int32_t{-1}, u"#ffffff"}),
                      platform::S_OK);
            const std::int32_t id = r_.retval.Int32Value();
            sitegen::Vec3 got{};
            int k = 0;
            for (const auto* member :
                 {u"Mark3DGetXCoord", u"Mark3DGetYCoord", u"Mark3DGetZCoord"}) {
                ASSERT_EQ(Call(member, {id}), platform::S_OK);
                got[k++] = r_.retval.DoubleValue();
            }
            // The stated precision holds across the pick ray; on a surface
            // seen at an angle it stretches by 1 / cos(incidence).
            const double cosIncidence =
                std::fabs(sitegen::Dot(sitegen::Normalised(toTarget), target.normal));
            EXPECT_LT(sitegen::Length(sitegen::Sub(got, target.centre)), precision / cosIncidence)
                << target.name;
            ++picked;
        }
        EXPECT_GE(picked, 3);
    }
}

// (The azimuth's sign is the picking test's above: picks land at their true
// site coordinates only when the pose turns the right way.)
TEST(PublishRender, SkyThroughTheWindowHasNoPointsButTheScansColour) {
    testsupport::TempDir tmp;
    GenerateScans(tmp.path(), 1, 0.0);
    const auto r = RunPanora(
        {"publish", (tmp / "scans.ptx").string(), "-o", (tmp / "site").string(), "--sizes", "128"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    int sky = 0;
    for (int f = 0; f < 4; ++f) {
        const fs::path mask = tmp / ("site/scans/Img_" + std::to_string(f) + "_128.PNG");
        if (!fs::exists(mask)) {
            continue;
        }
        platform::Mask m;
        ASSERT_TRUE(platform::DecodeMaskFile(mask.string(), m));
        const auto image = testsupport::LoadImageForCompare(
            tmp / ("site/scans/Img_" + std::to_string(f) + "_128.JPG"));
        for (int y = 1; y < 127; ++y) {
            for (int x = 1; x < 127; ++x) {
                if (m.opaque[y * 128 + x] || m.opaque[y * 128 + x - 1] ||
                    m.opaque[y * 128 + x + 1] || m.opaque[(y - 1) * 128 + x] ||
                    m.opaque[(y + 1) * 128 + x]) {
                    continue;
                }
                ++sky;
                EXPECT_TRUE(testsupport::PixelNear(image, x, y, {150, 200, 255}, 32));
            }
        }
    }
    EXPECT_GT(sky, 20);
}

TEST(PublishRender, ATiltedScanIsLevelledAndReported) {
    testsupport::TempDir tmp;
    GenerateScans(tmp.path(), 1, 40.0);
    // The same scan from a scanner leaning 5 degrees about its x axis: points
    // p' = Rx(-5) p in its frame, registered by A' = A Rx(5), whose rows
    // (the images of the axes) are row 0, c row 1 + s row 2, -s row 1 + c row 2.
    const double c = std::cos(5 * kDeg), s = std::sin(5 * kDeg);
    std::istringstream in(testsupport::ReadFile(tmp / "scans.ptx"));
    std::vector<std::vector<double>> lines;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        lines.emplace_back();
        for (double x = 0; fields >> x;) {
            lines.back().push_back(x);
        }
    }
    for (const int first : {3, 6}) {  // the axes, the matrix (0-based lines)
        auto& r1 = lines[first + 1];
        auto& r2 = lines[first + 2];
        for (std::size_t k = 0; k < 3; ++k) {
            const double a = r1[k], b = r2[k];
            r1[k] = c * a + s * b;
            r2[k] = -s * a + c * b;
        }
    }
    std::string tilted;
    char text[256];
    for (std::size_t n = 0; n < lines.size(); ++n) {
        auto v = lines[n];
        if (n >= 10) {
            const double y = v[1], z = v[2];
            v[1] = c * y + s * z;
            v[2] = -s * y + c * z;
        }
        for (std::size_t k = 0; k < v.size(); ++k) {
            std::snprintf(text, sizeof text, k + 1 < v.size() ? "%.9g " : "%.9g\n", v[k]);
            tilted += text;
        }
    }
    const fs::path tiltedPtx = tmp.Write("tilted.ptx", tilted);
    auto r =
        RunPanora({"publish", tiltedPtx.string(), "-o", (tmp / "t").string(), "--sizes", "128"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err,
              tiltedPtx.string() + ":1: the scan is tilted by 5.000 degrees; it is levelled\n");
    r = RunPanora(
        {"publish", (tmp / "scans.ptx").string(), "-o", (tmp / "u").string(), "--sizes", "128"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");

    for (const double azimuth : {0.0, 90.0}) {
        std::vector<platform::RgbImage> views;
        for (const char* site : {"t/tilted/tilted.xml", "u/scans/scans.xml"}) {
            const fs::path out = tmp / "view.jpg";
            r = RunPanora({"render", (tmp / site).string(), "-o", out.string(), "--size", "160x120",
                           "--no-controls", "--azimuth", std::to_string(azimuth)});
            EXPECT_EQ(r.exitCode, 0) << r.err;
            views.push_back(testsupport::LoadImageForCompare(out));
        }
        EXPECT_TRUE(testsupport::ImagesMatch(views[0], views[1], {64, 0.12, 14.0},
                                             "levelled" + std::to_string(azimuth)));
    }
}

TEST(PublishPhoto, FacesOfAnEquirectangularPhotoShowTheDirectionsTheyLookAlong) {
    testsupport::TempDir tmp;
    // Each photo pixel's colour encodes its view direction (x, y, z) -> 127.5 (1 + d).
    platform::RgbImage photo;
    photo.width = 512;
    photo.height = 256;
    photo.rgb.resize(512 * 256 * 3);
    for (int y = 0; y < photo.height; ++y) {
        for (int x = 0; x < photo.width; ++x) {
            const double az = ((x + 0.5) / photo.width * 360.0 - 180.0) * kDeg;
            const double el = (90.0 - (y + 0.5) / photo.height * 180.0) * kDeg;
            const double d[3] = {std::sin(az) * std::cos(el), std::sin(el),
                                 -std::cos(az) * std::cos(el)};
            for (int c = 0; c < 3; ++c) {
                photo.rgb[(y * photo.width + x) * 3 + c] =
                    static_cast<std::uint8_t>(std::lround(127.5 * (1.0 + d[c])));
            }
        }
    }
    const fs::path png = tmp / "room.png";
    ASSERT_TRUE(platform::EncodePngFile(photo, png.string()));
    const fs::path site = tmp / "site";
    const auto r = RunPanora({"publish", png.string(), "-o", site.string(), "--quality", "95"});
    ASSERT_EQ(r.exitCode, 0) << r.err;

    pugi::xml_document doc;
    const auto meta = Root(doc, site / "room/room.xml").child("Qvscan:PanoramaMeta");
    EXPECT_STREQ(meta.child_value("Qvscan:hasPointData"), "FALSE");
    // auto: width / 4, no level below 128 when that is under 256.
    ASSERT_EQ(meta.child("Qvscan:lods2").child("Qvscan:lod").child("Qvscan:size").text().as_int(),
              128);
    EXPECT_FALSE(fs::exists(site / "room/Pnt_1_128.DAT"));
    for (int f = 0; f < 6; ++f) {
        SCOPED_TRACE(f);
        platform::RgbImage expected;
        expected.width = expected.height = 128;
        for (int row = 0; row < 128; ++row) {
            for (int col = 0; col < 128; ++col) {
                const auto d = cubeface::PixelDirection(f, col, row, 128);
                const double len = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
                for (int c = 0; c < 3; ++c) {
                    expected.rgb.push_back(
                        static_cast<std::uint8_t>(std::lround(127.5 * (1.0 + d[c] / len))));
                }
            }
        }
        const auto actual =
            testsupport::LoadImageForCompare(site / ("room/Img_" + std::to_string(f) + "_128.JPG"));
        EXPECT_TRUE(testsupport::ImagesMatch(actual, expected, {6, 0.01, 2.0},
                                             "photo-face" + std::to_string(f)));
    }
}

namespace {

// A scan of one column of `rows` points, line `badLine` replaced (removed, and
// the file ending there, when `bad` is empty).
std::string Long(int rows, int badLine, const std::string& bad) {
    std::string text = "1\n" + std::to_string(rows) +
                       "\n0 0 0\n1 0 0\n0 1 0\n0 0 1\n1 0 0 0\n0 1 0 0\n0 0 1 0\n0 0 0 1\n";
    for (int line = 11; line < 11 + rows; ++line) {
        if (line == badLine) {
            if (bad.empty()) {
                break;
            }
            text += bad + "\n";
        } else {
            text += "1 0 " + std::to_string(line % 100) + " 0.5\n";
        }
    }
    return text;
}

}  // namespace

TEST(PublishInput, BadInputNamesFileAndLineExitsOneAndLeavesNoSite) {
    testsupport::TempDir tmp;
    const std::string header = "2\n2\n0 0 0\n1 0 0\n0 1 0\n0 0 1\n";
    const std::string identity = "1 0 0 0\n0 1 0 0\n0 0 1 0\n5 6 1.5 1\n";
    const std::string points = "1 0 0 0.5\n0 1 0 0.5\n0 0 1 0.5\n1 1 0 0.5\n";
    struct Case {
        const char* what;
        std::string text;
        std::string message;  // after "FILE:"
    };
    const Case cases[] = {
        {"columns", "two\n2\n", "1: the number of columns: expected a whole number, got 'two'"},
        {"rows", "2\n0\n", "2: the number of rows must be from 1 to 1000000, got 0"},
        {"position", "2\n2\n0 0\n", "3: the scanner position: expected 3 numbers, got 2"},
        {"matrix", header + "2 0 0 0\n0 1 0 0\n0 0 1 0\n0 0 0 1\n" + points,
         "7: the transformation matrix is not a rotation followed by a translation"},
        {"field", header + identity + "1 0 0 0.5\n0 1 x 0.5\n", "12: 'x' is not a number"},
        {"count", header + identity + "1 0 0 0.5\n0 1 0 0.5 3\n",
         "12: a point has 5 numbers; expected x y z intensity, and r g b or none"},
        {"mixed", header + identity + "1 0 0 0.5 1 2 3\n0 1 0 0.5\n",
         "12: a point has 4 numbers, the scan's first had 7"},
        {"truncated", header + identity + "1 0 0 0.5\n0 1 0 0.5\n0 0 1 0.5",
         "14: the scan ends after 3 of its 4 points"},
        {"second scan", header + identity + points + "\n2\n",
         "17: the file ends where the number of rows should follow"},
        {"empty", "\n\n", "1: no scan in the file"},
        // Far into a long scan, where blocks of lines are parsed ahead on other threads.
        {"late count", Long(250000, 240011, "1 0 1 0.5 1 2 3"),
         "240011: a point has 7 numbers, the scan's first had 4"},
        {"late end", Long(250000, 250010, ""),
         "250010: the scan ends after 249999 of its 250000 points"},
    };
    // An earlier site survives a failed run.
    tmp.Write("old/keep.txt", "earlier site");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path ptx = tmp.Write("bad.ptx", c.text);
        for (const char* siteName : {"site", "old"}) {
            const auto r = RunPanora({"publish", ptx.string(), "-o", (tmp / siteName).string()});
            EXPECT_EQ(r.exitCode, 1);
            EXPECT_EQ(r.err, ptx.string() + ":" + c.message + "\n");
        }
        EXPECT_FALSE(fs::exists(tmp / "site"));
        EXPECT_EQ(testsupport::ReadFile(tmp / "old/keep.txt"), "earlier site");
        int entries = 0;
        for ([[maybe_unused]] const auto& e : fs::directory_iterator(tmp.path())) {
            ++entries;
        }
        EXPECT_EQ(entries, 2);  // bad.ptx and old: no temporary folder left
    }
    // A good scan replaces the earlier site; a photo of the wrong shape does not.
    const fs::path good = tmp.Write("good.ptx", header + identity + points);
    auto r = RunPanora({"publish", good.string(), "-o", (tmp / "old").string(), "--sizes", "8"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_FALSE(fs::exists(tmp / "old/keep.txt"));
    EXPECT_TRUE(fs::exists(tmp / "old/good/good.xml"));
    platform::RgbImage square;
    square.width = square.height = 4;
    square.rgb.assign(48, 0);
    ASSERT_TRUE(platform::EncodePngFile(square, (tmp / "square.png").string()));
    r = RunPanora(
        {"publish", good.string(), (tmp / "square.png").string(), "-o", (tmp / "old").string()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, (tmp / "square.png").string() +
                         ": an equirectangular photo must be twice as wide as high, this one is "
                         "4 x 4\n");
    EXPECT_TRUE(fs::exists(tmp / "old/good/good.xml"));
    r = RunPanora({"publish", good.string(), "-o", (tmp / "x").string(), "--sizes", "0"});
    EXPECT_EQ(r.exitCode, 2);
}

TEST(PtxReader, ReadsScansOneLineAtATimeWhateverTheLineEnds) {
    // Two scans, CRLF line ends, a plus sign, blank lines between scans, the
    // last line without its end.
    std::string text =
        "1\r\n2\r\n1 2 3\r\n1 0 0\r\n0 1 0\r\n0 0 1\r\n"
        "0 -1 0 0\r\n1 0 0 0\r\n0 0 1 0\r\n1 2 3 1\r\n"
        "+1.5 0 0 0.25 10 20 30\r\n0 0 0 0 0 0 0\r\n\r\n\n"
        "1\n1\n0 0 0\n1 0 0\n0 1 0\n0 0 1\n1 0 0 0\n0 1 0 0\n0 0 1 0\n0 0 0 1\n2 2 2 1e-1";
    std::istringstream in(text);
    publish::PtxReader reader(in, "mem");
    publish::PtxScanHeader h;
    publish::PtxPoint p;
    ASSERT_TRUE(reader.NextScan(h)) << reader.Error();
    EXPECT_EQ(h.columns, 1);
    EXPECT_EQ(h.rows, 2);
    EXPECT_EQ(h.matrix[3][1], 2.0);
    ASSERT_TRUE(reader.NextPoint(p));
    EXPECT_TRUE(p.measured && p.hasColour);
    EXPECT_EQ(p.x, 1.5);
    EXPECT_EQ(p.b, 30);
    ASSERT_TRUE(reader.NextPoint(p));
    EXPECT_FALSE(p.measured);
    EXPECT_FALSE(reader.NextPoint(p));  // the scan is done
    EXPECT_EQ(reader.Error(), "");
    ASSERT_TRUE(reader.NextScan(h)) << reader.Error();
    EXPECT_EQ(h.line, 15);
    ASSERT_TRUE(reader.NextPoint(p));
    EXPECT_FALSE(p.hasColour);
    EXPECT_DOUBLE_EQ(p.intensity, 0.1);
    EXPECT_FALSE(reader.NextScan(h));
    EXPECT_EQ(reader.Error(), "");
    EXPECT_EQ(reader.BytesRead(), text.size());
}

TEST(PtxReader, BlocksAcrossTheReadBufferKeepEveryLineAndParseLikeFromChars) {
    // About 3 MB of points, so that blocks and lines cross the reader's 1 MB
    // buffer; the numbers mix short decimals with forms that need from_chars.
    const char* fields[] = {
        "-12.345", "0.001", "123456789012.345",   "-0.000", "7",      "1.",  "-1e-3",
        "+2.5",    ".25",   "1234567890.1234567", "0.1",    "99.999", "-0.3"};
    const int rows = 70001;
    std::string text = "1\n" + std::to_string(rows) +
                       "\n0 0 0\n1 0 0\n0 1 0\n0 0 1\n1 0 0 0\n0 1 0 0\n0 0 1 0\n0 0 0 1\n";
    std::vector<std::array<std::string, 3>> expected;
    for (int i = 0; i < rows; ++i) {
        expected.push_back({fields[i % 13], fields[(i * 7 + 3) % 13], fields[(i * 5 + 1) % 13]});
        text += expected.back()[0] + " " + expected.back()[1] + "  " + expected.back()[2] +
                " 0.5 " + std::to_string(i % 256) + " 0 255\n";
    }
    auto value = [](std::string f) {
        if (f[0] == '+') {
            f.erase(0, 1);
        }
        double v = 0;
        std::from_chars(f.data(), f.data() + f.size(), v);
        return v;
    };
    for (const bool broken : {false, true}) {
        std::string input = text;
        const long long badLine = 10 + 54321;  // the header's 10 lines, then points
        if (broken) {
            // The first number of line badLine gets a letter O for a zero.
            std::size_t pos = 0;
            for (long long l = 1; l < badLine; ++l) {
                pos = input.find('\n', pos) + 1;
            }
            input.replace(pos, input.find(' ', pos) - pos, "1O.5");
        }
        std::istringstream in(input);
        publish::PtxReader reader(in, "big");
        publish::PtxScanHeader h;
        ASSERT_TRUE(reader.NextScan(h)) << reader.Error();
        publish::PtxPointBlock block;
        std::vector<publish::PtxPoint> points;
        long long seen = 0;
        std::string error;
        while (reader.ReadPointBlock(7001, block)) {
            EXPECT_EQ(block.firstLine, 11 + seen);
            int n = 0;
            if (!publish::ParsePointBlock(block, reader.Name(), points, n, &error)) {
                break;
            }
            EXPECT_EQ(n, 7);
            for (long long k = 0; k < block.count; ++k, ++seen) {
                const auto& p = points[static_cast<std::size_t>(k)];
                const auto& e = expected[static_cast<std::size_t>(seen)];
                ASSERT_EQ(std::bit_cast<std::uint64_t>(p.x),
                          std::bit_cast<std::uint64_t>(value(e[0])))
                    << "line " << 11 + seen << ": " << e[0];
                ASSERT_EQ(std::bit_cast<std::uint64_t>(p.y),
                          std::bit_cast<std::uint64_t>(value(e[1])));
                ASSERT_EQ(std::bit_cast<std::uint64_t>(p.z),
                          std::bit_cast<std::uint64_t>(value(e[2])));
                ASSERT_EQ(p.r, seen % 256);
            }
        }
        if (broken) {
            EXPECT_EQ(error, "big:" + std::to_string(badLine) + ": '1O.5' is not a number");
        } else {
            EXPECT_EQ(error, "");
            EXPECT_EQ(seen, rows);
            EXPECT_EQ(reader.Error(), "");
            EXPECT_EQ(reader.BytesRead(), input.size());
        }
    }
}
