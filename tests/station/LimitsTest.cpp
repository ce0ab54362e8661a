// What a station's files may declare: descriptions too large, levels and
// neighbours beyond their number, images and point files that do not fit
// their face. Each refusal is one message; the load ends or goes on.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "cubeface/CubeFaceWriter.h"
#include "platform/Image.h"
#include "platform/Text.h"
#include "station/SX_CubeMap.h"
#include "station/SX_LoadingContext.h"
#include "station/StationLimits.h"
#include "support/DescriptionStation.h"

using platform::FromUtf8;

namespace {

struct Station : testsupport::DescriptionStation {
    bool LoadTiles() {
        SX_LoadingContext context(Path());
        return dataSet.LoadPhase2(context, Path());
    }
};
using testsupport::Meta;

std::string Lods(std::initializer_list<int> sizes) {
    std::string xml = "<Qvscan:PanoramaMeta><Qvscan:lods>";
    for (const int size : sizes) {
        xml += "<Qvscan:lod><Qvscan:size>" + std::to_string(size) + "</Qvscan:size></Qvscan:lod>";
    }
    return xml + "</Qvscan:lods></Qvscan:PanoramaMeta>";
}

platform::RgbImage Grey(int width, int height) {
    return {width, height,
            std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 3, 200)};
}

void WritePoints(const std::filesystem::path& path, int face, int size) {
    const std::size_t n = static_cast<std::size_t>(size) * size;
    const cubeface::FacePoints points{face, size, 0, std::vector<std::uint8_t>(n, 0),
                                      std::vector<double>(n * 3, 0.0)};
    ASSERT_TRUE(cubeface::WriteFacePoints(path.string(), points, nullptr));
}

}  // namespace

TEST(StationLimits, DescriptionSizeLevelsAndNeighbours) {
    // The size cap, at its boundary: a file of exactly the cap parses.
    {
        Station s;
        std::string xml = Meta(Lods({16}));
        const std::string open = "<!--", close = "-->";
        const std::size_t fill = static_cast<std::size_t>(station::kMaxDescriptionBytes) -
                                 xml.size() - open.size() - close.size();
        xml += open + std::string(fill, 'x') + close;
        EXPECT_TRUE(s.Load(xml));
        EXPECT_EQ(s.dataSet.CubeMap()->LevelSize(0), 16);
        EXPECT_FALSE(s.Load(xml + " "));
        EXPECT_EQ(s.dataSet.GetMessages(),
                  u"The description file " + s.Path() +
                      u" has 4194305 bytes, more than the 4194304 bytes a station description "
                      u"may have.\n");
    }
    // 22 lods: the first two would be levels 21 and 20. Face sizes outside
    // 1..16384 leave their level out; the load goes on.
    {
        Station s;
        EXPECT_TRUE(s.Load(Meta(Lods(
            {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 0, 16385, 16384, 1}))));
        const auto m = s.dataSet.Messages();
        ASSERT_EQ(m.size(), 3u);
        EXPECT_EQ(m[0], u"The description declares 22 levels of detail; at most 20 are read.");
        EXPECT_EQ(m[1],
                  u"Level 3 declares a face size of 0 pixels; a face has 1 to 16384 pixels a "
                  u"side. The level is ignored.");
        EXPECT_EQ(m[2].rfind(u"Level 2 declares a face size of 16385 pixels", 0), 0u);
        const SX_CubeMap& cube = *s.dataSet.CubeMap();
        EXPECT_EQ(cube.HighestLevel(), 19);
        EXPECT_EQ(cube.LevelSize(19), 3);
        EXPECT_FALSE(cube.LevelSize(3).has_value());
        EXPECT_FALSE(cube.LevelSize(2).has_value());
        EXPECT_EQ(cube.LevelSize(1), 16384);
        EXPECT_EQ(cube.LevelSize(0), 1);
    }
    // Neighbours beyond the cap are not read: the first ones in file order stay.
    {
        Station s;
        std::string list;
        for (int i = 0; i <= station::kMaxNeighbors; ++i) {
            list += "<Qvscan:Neighbor Name=\"n" + std::to_string(i) + "\" X=\"" +
                    std::to_string(station::kMaxNeighbors + 1 - i) + "\" Y=\"0\" Z=\"0\"/>";
        }
        EXPECT_TRUE(s.Load(Meta("<Qvscan:Neighbors>" + list + "</Qvscan:Neighbors>")));
        EXPECT_EQ(s.dataSet.Messages(),
                  std::vector<std::u16string>{
                      u"The description lists 1001 neighbour stations; only the first 1000 are "
                      u"read."});
        const auto& n = s.dataSet.Neighbors();
        ASSERT_EQ(n.size(), 1000u);
        EXPECT_EQ(n.front().name, u"n999");  // the nearest of those read
        EXPECT_EQ(n.back().name, u"n0");
    }
    // Data set cubes: a level outside 0..19 or a resolution no face has is
    // left out; a file left without cubes fails.
    {
        Station s;
        EXPECT_FALSE(s.Load(
            "<sx:Dataset xmlns:sx=\"s\"><sx:Camera/><sx:Cubemaps><sx:Cube level=\"20\" "
            "resolution=\"16\"/><sx:Cube level=\"-1\"/><sx:Cube level=\"0\" resolution=\"0\"/>"
            "</sx:Cubemaps></sx:Dataset>"));
        const auto m = s.dataSet.Messages();
        ASSERT_EQ(m.size(), 3u);
        EXPECT_EQ(m[0], u"A level 20 lies outside the levels 0 to 19 and is ignored.");
        EXPECT_EQ(m[1], u"A level -1 lies outside the levels 0 to 19 and is ignored.");
        EXPECT_EQ(m[2].rfind(u"Level 0 declares a face size of 0 pixels", 0), 0u);
        EXPECT_EQ(s.dataSet.CubeMap()->HighestLevel(), -1);
    }
}

TEST(StationLimits, ImagesAndPointFilesMustFitTheirFace) {
    Station s;
    const auto& d = s.dir;
    for (int f = 0; f < 6; ++f) {
        const std::string tail = std::to_string(f) + "_16";
        ASSERT_TRUE(
            platform::EncodeJpegFile(Grey(16, 16), (d / ("Rgb_" + tail + ".JPG")).string()));
        WritePoints(d / ("Point_" + tail + ".DAT"), f, 16);
    }
    // Face 0: one column too many. Face 1: a header declaring 20000 x 20000
    // over a few bytes; refused from its header, not by the decoder. Face 2:
    // a mask larger than the face is left out. Faces 3 and 4: point files
    // of another face and of another size.
    ASSERT_TRUE(platform::EncodeJpegFile(Grey(17, 16), (d / "Rgb_0_16.JPG").string()));
    std::string png = "\x89PNG\r\n\x1a\n";
    png += std::string("\0\0\0\x0dIHDR\0\0\x4e\x20\0\0\x4e\x20\x08\x02\0\0\0\0\0\0\0", 25);
    d.Write("Rgb_1_16.JPG", png);
    platform::Mask mask{32, 32, std::vector<std::uint8_t>(32 * 32, 1)};
    ASSERT_TRUE(platform::EncodeMaskPngFile(mask, (d / "Rgb_2_16.PNG").string()));
    WritePoints(d / "Point_3_16.DAT", 4, 16);
    WritePoints(d / "Point_4_16.DAT", 4, 8);

    ASSERT_TRUE(s.Load(Meta(Lods({16}))));
    EXPECT_FALSE(s.LoadTiles());
    const auto m = s.dataSet.Messages();
    const std::u16string dir = FromUtf8(d.path().string());
    EXPECT_EQ(m, (std::vector<std::u16string>{
                     u"The image Rgb_0_16.JPG declares 17 x 16 pixels; a face of this level has "
                     u"at most 16 x 16.",
                     u"The image Rgb_1_16.JPG declares 20000 x 20000 pixels; a face of this "
                     u"level has at most 16 x 16.",
                     u"The image " + dir +
                         u"/Rgb_2_16.PNG declares 32 x 32 pixels; a face of this level has at "
                         u"most 16 x 16.",
                     u"The point file Point_3_16.DAT holds face 4 of 16 pixels a side; it was "
                     u"named for face 3 of 16 pixels a side.",
                     u"The point file Point_4_16.DAT holds face 4 of 8 pixels a side; it was "
                     u"named for face 4 of 16 pixels a side."}));
    const SX_CubeMap& cube = *s.dataSet.CubeMap();
    EXPECT_FALSE(cube.HasImage(0, 0));
    EXPECT_TRUE(cube.HasPoints(0, 0));  // the face's point file is still read
    EXPECT_FALSE(cube.HasImage(1, 0));
    ASSERT_TRUE(cube.Image(2, 0).has_value());
    EXPECT_FALSE(cube.Image(2, 0)->hasMask);
    EXPECT_FALSE(cube.HasPoints(3, 0));
    EXPECT_FALSE(cube.HasPoints(4, 0));
    EXPECT_TRUE(cube.HasImage(5, 0) && cube.HasPoints(5, 0));
}
