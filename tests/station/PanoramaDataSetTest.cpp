#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "cubeface/CubeFaceWriter.h"
#include "host/Resources.h"
#include "platform/Image.h"
#include "platform/Text.h"
#include "station/SX_CubeMap.h"
#include "station/SX_LoadingContext.h"
#include "station/SX_PanoramaDataSet.h"
#include "support/CommaLocale.h"
#include "support/DescriptionStation.h"
#include "support/TempDir.h"

using testsupport::U;

namespace {

// A data set file with the levels in file order as (level, size).
std::string DataSetXml(const std::vector<std::pair<int, int>>& cubes) {
    std::string xml = "<sx:Dataset xmlns:sx=\"urn:panora:sx\"><sx:Camera/><sx:Cubemaps>";
    const char* faces[] = {"Left", "Front", "Right", "Back", "Top", "Bottom"};
    for (const auto& [level, size] : cubes) {
        xml += "<sx:Cube level=\"" + std::to_string(level) + "\" resolution=\"" +
               std::to_string(size) + "\">";
        for (int f = 0; f < 6; ++f) {
            const std::string tail = std::to_string(f) + "_" + std::to_string(size);
            xml += std::string("<sx:") + faces[f] + " border=\"1\">Rgb_" + tail +
                   ".JPG</sx:" + faces[f] + ">";
            xml += std::string("<sx:Depth") + faces[f] + ">Point_" + tail + ".DAT</sx:Depth" +
                   faces[f] + ">";
        }
        xml += "</sx:Cube>";
    }
    return xml + "</sx:Cubemaps></sx:Dataset>";
}

// Grey colour tiles and point files without measured pixels.
void WriteTiles(const std::filesystem::path& dir, int size) {
    const std::size_t n = static_cast<std::size_t>(size) * size;
    platform::RgbImage image{size, size, std::vector<std::uint8_t>(n * 3, 200)};
    for (int f = 0; f < 6; ++f) {
        const std::string tail = std::to_string(f) + "_" + std::to_string(size);
        ASSERT_TRUE(platform::EncodeJpegFile(image, (dir / ("Rgb_" + tail + ".JPG")).string()));
        const cubeface::FacePoints points{f, size, 0, std::vector<std::uint8_t>(n, 0),
                                          std::vector<double>(n * 3, 0.0)};
        ASSERT_TRUE(cubeface::WriteFacePoints((dir / ("Point_" + tail + ".DAT")).string(), points,
                                              nullptr));
    }
}

const char* kMessages = R"(<sx:Resource xmlns:sx="urn:panora:sx">
  <sx:Missing>Es fehlt: %s %s</sx:Missing>
  <sx:Camera>Kamera</sx:Camera>
  <sx:CubeLevel>Kubusstufe</sx:CubeLevel>
</sx:Resource>)";

using Station = testsupport::DescriptionStation;
using testsupport::Meta;
using testsupport::Neighbor;

}  // namespace

TEST(SX_PanoramaDataSet, MissingMandatoryElementsWithBuiltInAndResourceTexts) {
    struct Case {
        std::string xml;
        const char16_t* builtIn;
        const char16_t* reworded;
    };
    const Case cases[] = {
        {"<sx:Dataset xmlns:sx=\"s\"><sx:Cubemaps/></sx:Dataset>",
         u"Missing Camera information <sx:Camera>\n", u"Es fehlt: Kamera <sx:Camera>\n"},
        {"<sx:Dataset xmlns:sx=\"s\"><sx:Camera/><sx:Cubemaps/></sx:Dataset>",
         u"Missing Cube Level information <sx:Cube>\n", u"Es fehlt: Kubusstufe <sx:Cube>\n"},
    };
    testsupport::TempDir install;
    install.Write("Resource.xml", kMessages);
    for (const Case& c : cases) {
        Station plain;
        EXPECT_FALSE(plain.Load(c.xml));
        EXPECT_EQ(plain.dataSet.GetMessages(), c.builtIn);

        Station translated;
        ASSERT_TRUE(translated.resources.LoadMessageFile(U(install.path())));
        EXPECT_FALSE(translated.Load(c.xml));
        EXPECT_EQ(translated.dataSet.GetMessages(), c.reworded);
    }
}

TEST(SX_PanoramaDataSet, MetadataFieldsLevelsAndUnits) {
    const testsupport::CommaLocale comma;  // numbers are read with "." under any locale
    Station s;
    const std::string xml = Meta(R"(
      <Qvscan:CoordinateSystem><Qvscan:UpDirection>2</Qvscan:UpDirection>
        <Qvscan:azimuth>90</Qvscan:azimuth><Qvscan:centerPointX>10.5</Qvscan:centerPointX>
        <Qvscan:centerPointY>-2</Qvscan:centerPointY><Qvscan:centerPointZ>3</Qvscan:centerPointZ>
        <Qvscan:coordSysType>NEEI</Qvscan:coordSysType></Qvscan:CoordinateSystem>
      <Qvscan:ViewDefaults><Qvscan:fieldOfView>60</Qvscan:fieldOfView>
        <Qvscan:azimuth>180</Qvscan:azimuth><Qvscan:elevation>10</Qvscan:elevation>
        <Qvscan:distanceUnit>feet(US-Survey)</Qvscan:distanceUnit></Qvscan:ViewDefaults>
      <Qvscan:PanoramaMeta><Qvscan:version>2.0</Qvscan:version>
        <Qvscan:distanceUnit>mm</Qvscan:distanceUnit><Qvscan:angularUnit>radians</Qvscan:angularUnit>
        <Qvscan:hasPointData>True</Qvscan:hasPointData>
        <Qvscan:lods><Qvscan:lod><Qvscan:size>1</Qvscan:size></Qvscan:lod></Qvscan:lods>
        <Qvscan:lods2>
          <Qvscan:lod><Qvscan:size>512</Qvscan:size><Qvscan:maxPointError>0.5</Qvscan:maxPointError></Qvscan:lod>
          <Qvscan:lod><Qvscan:size>1024</Qvscan:size><Qvscan:maxPointError>0.25</Qvscan:maxPointError></Qvscan:lod>
          <Qvscan:lod><Qvscan:size>2048</Qvscan:size></Qvscan:lod>
        </Qvscan:lods2></Qvscan:PanoramaMeta>
)");
    ASSERT_TRUE(s.Load(xml));
    const SX_PanoramaDataSet& d = s.dataSet;
    // Degrees times pi/360: an azimuth of 90 is pi/4, negated for the rotation.
    EXPECT_DOUBLE_EQ(d.RotationAngle(), -0.7853981633974483);
    EXPECT_DOUBLE_EQ(d.DefaultAzimuth(), 1.5707963267948966);
    EXPECT_DOUBLE_EQ(d.MaxPointError(), 0.25);  // the last lod that has one
    // Version 2.0 reads lods2, coarsest first.
    const SX_CubeMap& cube = *d.CubeMap();
    EXPECT_EQ(cube.HighestLevel(), 2);
    EXPECT_EQ(cube.LevelSize(2), 512);
    EXPECT_EQ(cube.LevelSize(0), 2048);
    EXPECT_TRUE(cube.HasPointData());
    EXPECT_FALSE(d.HasNeighborPanoras());

    // No angular unit: radians. Fields the second file lacks carry over.
    ASSERT_TRUE(
        s.Load(Meta("<Qvscan:CoordinateSystem><Qvscan:azimuth>90</Qvscan:azimuth>"
                    "</Qvscan:CoordinateSystem>")));
    EXPECT_DOUBLE_EQ(s.dataSet.RotationAngle(), -90.0);
    EXPECT_EQ(s.dataSet.DataSetVersion(), u"2.0");
    EXPECT_EQ(s.dataSet.DefaultDistanceUnit(), 30);
}

TEST(SX_PanoramaDataSet, NeighborOrderTiesAndVisibleCount) {
    Station s;
    s.dir.Write("B.xml", "<x/>");
    const std::string list =
        "<Qvscan:Neighbors>" + Neighbor("A", 3, 4, 0) + Neighbor("B", 0, 3, 0) +
        Neighbor("C", 0, 0, -5) + Neighbor("D", 10, 0, 0) + Neighbor("E", 0, 0, 7) +
        Neighbor("F", 8, 0, 0) + Neighbor("G", 9, 0, 0) + "</Qvscan:Neighbors>";
    ASSERT_TRUE(s.Load(Meta(list)));
    std::string order;
    for (const auto& n : s.dataSet.Neighbors()) {
        order += platform::ToUtf8(n.name);
    }
    // A and C tie at 5: file order does not decide, C comes first.
    EXPECT_EQ(order, "BCAEFGD");
    EXPECT_EQ(s.dataSet.Neighbors()[0].resolvedUrl, U(s.dir / "B.xml"));
    EXPECT_EQ(s.dataSet.Neighbors()[1].resolvedUrl, u"");  // C.xml does not exist
    // Six visible by default; setting more caps at the number of neighbours.
    EXPECT_EQ(s.dataSet.GetMaxVisibleNeighbors(), 6);
    EXPECT_DOUBLE_EQ(s.dataSet.DistanceRange().max, 10.0);
    s.dataSet.SetMaxVisibleNeighbors(100);
    EXPECT_EQ(s.dataSet.GetMaxVisibleNeighbors(), 7);
    Station two;
    ASSERT_TRUE(
        two.Load(Meta("<Qvscan:MaxVisibleNeighbors>2</Qvscan:MaxVisibleNeighbors>" + list)));
    EXPECT_EQ(two.dataSet.VisibleNeighbors(), (std::vector<int>{0, 1}));
}

TEST(SX_PanoramaDataSet, FailedTilesAddOneMessageEachAndLoadingGoesOn) {
    Station s;
    WriteTiles(s.dir.path(), 16);
    std::filesystem::remove(s.dir / "Rgb_2_16.JPG");
    std::filesystem::remove(s.dir / "Point_3_16.DAT");
    s.dir.Write("Point_4_16.DAT", "not a point file");
    EXPECT_FALSE(s.Load(DataSetXml({{0, 16}})));
    const auto messages = s.dataSet.Messages();
    ASSERT_EQ(messages.size(), 3u);
    // Faces load front, back, left, right, top, bottom.
    EXPECT_EQ(messages[0], u"Error: File " + U(s.dir.path()) + u"/Point_3_16.DAT not found.");
    EXPECT_EQ(messages[1], u"Error: File Rgb_2_16.JPG not found.");
    EXPECT_EQ(messages[2].rfind(u"The point file Point_4_16.DAT (format version 0.0)", 0), 0u);
    EXPECT_TRUE(s.dataSet.HasError());
    EXPECT_TRUE(s.dataSet.CubeMap()->HasImage(5, 0));
    EXPECT_FALSE(s.dataSet.CubeMap()->HasPoints(4, 0));
}
