// The level hand-shake between the loader and the frames of a headless
// control, counted on a local web server, and a missing face image.
#include <filesystem>
#include <fstream>
#include <iterator>

#include "glcore/SX_OpenGLCamera.h"
#include "support/ControlFixture.h"
#include "support/HttpServer.h"

namespace {

class CubeMapLoadTest : public ControlFixture {
  protected:
    SX_Control& Started(int width, int height, const std::string& src) {
        SX_Control& c = MakeControl(MakeOptions());
        c.Create(width, height);
        clock_.Advance(100);
        clock_.Advance(100);
        c.put_src(platform::Bstr(platform::FromUtf8(src)));
        return c;
    }
};

TEST_F(CubeMapLoadTest, FinerLevelsAreFetchedOnlyWhenTheViewWantsThem) {
    Generate({16, 32, 64});
    testsupport::HttpServer server(dir_ / "site");
    // A 12-pixel view: the 16-pixel level is finer than the screen already.
    SX_Control& c = Started(12, 12, server.Url("st1/st1.xml"));
    SX_CubeMap& cube = *c.DataSet().CubeMap();
    const auto allDrawn = [&](int level) {
        for (int f = 0; f < 6; ++f) {
            if (cube.DrawnLevel(f) != level) {
                return false;
            }
        }
        return true;
    };
    ASSERT_TRUE(Tick([&] { return allDrawn(2); }));
    // The loader keeps waiting through six monitor ticks, sleeping a few
    // times after each.
    for (int i = 0; i < 6; ++i) {
        clock_.Advance(500);
        const int seen = *sleeps_;
        ASSERT_TRUE(WaitFor([&] { return *sleeps_ > seen + 2; }));
    }
    EXPECT_EQ(cube.WantedLevel(), 2);
    for (int f = 0; f < 6; ++f) {
        EXPECT_EQ(cube.LoadedLevel(f), 2) << f;
        EXPECT_EQ(server.Requests("/st1/Img_" + std::to_string(f) + "_16.JPG"), 1) << f;
        EXPECT_EQ(server.Requests("/st1/Img_" + std::to_string(f) + "_32.JPG"), 0) << f;
        EXPECT_EQ(server.Requests("/st1/Pnt_" + std::to_string(f) + "_64.DAT"), 0) << f;
    }
    EXPECT_TRUE(c.IsLoading());

    // Zooming in makes 16 pixels too coarse: level 1 is wanted and fetched,
    // and drawn once in; at 40 degrees it is fine enough, level 0 stays away.
    c.DataSet().Camera()->SetFieldOfView(40.0);
    ASSERT_TRUE(Tick([&] { return allDrawn(1); }));
    EXPECT_EQ(cube.WantedLevel(), 1);
    EXPECT_EQ(server.Requests("/st1/Img_5_32.JPG"), 1);
    EXPECT_EQ(server.Requests("/st1/Img_5_64.JPG"), 0);

    // While dragging a coarser level is accepted (threshold 0.5): 16 pixels
    // over 12 at 20 degrees is 0.30, 32 pixels 0.59.
    c.DataSet().Camera()->SetFieldOfView(20.0);
    cube.SetInteractionState(1);
    EXPECT_EQ(cube.ChooseLevel(1), 1);
    EXPECT_EQ(cube.WantedLevel(), 1);
    // At rest neither is fine enough: the finest loaded is drawn and the next
    // one wanted.
    cube.SetInteractionState(SX_CubeMap::kIdle);
    EXPECT_EQ(cube.ChooseLevel(1), 1);
    EXPECT_EQ(cube.WantedLevel(), 0);
    ASSERT_TRUE(Tick([&] { return c.LoadFinished(); }));
    EXPECT_EQ(server.Requests("/st1/Img_3_64.JPG"), 1);
    EXPECT_FALSE(c.LoadFailed());
}

TEST_F(CubeMapLoadTest, EachStationLoadedIntoTheControlLoadsAsTheFirstDid) {
    // Four levels with points, then two without, then two with points again.
    struct Plan {
        std::vector<int> sizes;
        bool points;
    };
    const Plan plans[] = {{{16, 32, 64, 128}, true}, {{16, 32}, false}, {{16, 32}, true}};
    std::vector<std::string> descriptions;
    for (const Plan& p : plans) {
        sitegen::SiteOptions o;
        o.outputDir = (dir_ / ("site" + std::to_string(descriptions.size()))).string();
        o.stations = 1;
        o.sizes = p.sizes;
        sitegen::SitePlan plan;
        std::string error;
        ASSERT_TRUE(sitegen::GenerateSite(o, &plan, &error)) << error;
        descriptions.push_back(plan.stations[0].description);
        if (!p.points) {
            std::ifstream in(descriptions.back());
            std::string xml((std::istreambuf_iterator<char>(in)), {});
            const auto at = xml.find(">TRUE</Qvscan:hasPointData>");
            ASSERT_NE(at, std::string::npos);
            xml.replace(at + 1, 4, "FALSE");
            std::ofstream(descriptions.back(), std::ios::trunc) << xml;
        }
    }
    // A 12-pixel view: 16 pixels at 80 degrees are fine enough, at 40 the
    // next finer level (32 pixels) is needed.
    SX_Control& c = Started(12, 12, descriptions[0]);
    for (std::size_t i = 0; i < 3; ++i) {
        if (i > 0) {
            c.DataSet().Camera()->SetFieldOfView(80.0);
            c.put_src(platform::Bstr(platform::FromUtf8(descriptions[i])));
        }
        const SX_CubeMap& cube = *c.DataSet().CubeMap();
        const int coarsest = static_cast<int>(plans[i].sizes.size()) - 1;
        const auto allDrawn = [&](int level) {
            for (int f = 0; f < 6; ++f) {
                if (cube.DrawnLevel(f) != level) {
                    return false;
                }
            }
            return true;
        };
        ASSERT_TRUE(Tick([&] { return allDrawn(coarsest); })) << "station " << i;
        EXPECT_EQ(cube.HighestLevel(), coarsest);
        c.DataSet().Camera()->SetFieldOfView(40.0);
        ASSERT_TRUE(Tick([&] { return allDrawn(coarsest - 1); })) << "station " << i;
        for (int f = 0; f < 6; ++f) {
            EXPECT_EQ(cube.HasPoints(f, coarsest - 1), plans[i].points) << i << " face " << f;
        }
    }
    double x = 0.0, y = 0.0, z = 0.0;
    EXPECT_TRUE(c.GraphicWindow()->PickPoint(6, 6, x, y, z));
}

TEST_F(CubeMapLoadTest, MissingFaceImageIsReportedAndTheRestLoads) {
    const auto& st = Generate({32});
    std::filesystem::remove(st.levels[0].image[3]);
    SX_Control& c = Started(100, 80, st.description);
    ASSERT_TRUE(Tick([&] { return c.LoadFinished(); }));
    const SX_CubeMap& cube = *c.DataSet().CubeMap();
    EXPECT_NE(c.DataSet().GetMessages().find(u"Error: File Img_3_32.JPG not found."),
              std::u16string::npos)
        << platform::ToUtf8(c.DataSet().GetMessages());
    EXPECT_EQ(cube.LoadedLevel(3), -1);
    EXPECT_TRUE(cube.HasPoints(3, 0));
    // The face without an image is drawn untextured, with no level.
    EXPECT_TRUE(c.RenderFrame());
    EXPECT_EQ(cube.DrawnLevel(3), -1);
    EXPECT_EQ(cube.DrawnLevel(1), 0);
    EXPECT_TRUE(c.LoadFailed());
}

}  // namespace
