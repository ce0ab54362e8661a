// The frame and its capture as the view keeps them: a frame asked for while
// the loader holds the OpenGL context is skipped and the next one draws;
// masked faces are dimmed only where the mask is clear and only
// in alpha mode, and a face without its mask file draws opaque. A capture
// waits for a busy context in 10 ms steps and gives up at its limit; a print
// is enlarged by a whole factor and centred.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <thread>
#include <vector>

#include "glcore/OpenGLFonts.h"
#include "glcore/SX_OpenGLCamera.h"
#include "platform/Text.h"
#include "support/ControlFixture.h"
#include "support/ImageCompare.h"
#include "view3d/SX_GraphicWindow.h"

namespace {

// Another thread holding a context, as the loader does while it uploads,
// until Let() or the holder's end.
class ContextHolder {
  public:
    void Hold(StraleLib::SX_OpenGLContext& context) {
        held_ = {};
        let_ = {};
        thread_ = std::thread([&] {
            EXPECT_TRUE(context.Acquire());
            held_.set_value();
            let_.get_future().wait();
            context.Release();
        });
        held_.get_future().wait();
    }
    void Let() {
        if (thread_.joinable()) {
            let_.set_value();
            thread_.join();
        }
    }
    ~ContextHolder() { Let(); }

  private:
    std::promise<void> held_, let_;
    std::thread thread_;
};

class FrameCaptureTest : public ControlFixture {
  protected:
    SX_Control& Loaded(const sitegen::StationFiles& st, int width, int height) {
        SX_Control& c = LoadedControl(st.description, width, height);
        EXPECT_EQ(c.DataSet().GetMessages(), u"");
        return c;
    }
};

TEST_F(FrameCaptureTest, FrameWhileTheLoaderHoldsTheContextIsSkippedAndTheNextDraws) {
    const auto& st = Generate({32});
    SX_Control& c = Loaded(st, 64, 48);
    SX_GraphicWindow& view = *c.GraphicWindow();
    SX_CubeMap& cube = *c.DataSet().CubeMap();
    const platform::RgbImage before = Frame();
    ASSERT_EQ(before.width, 64);

    c.DataSet().Camera()->SetAzimuth(180.0);
    cube.SetInteractionState(2);
    view.RequestCapture();
    {
        ContextHolder loader;
        loader.Hold(*view.Context());
        EXPECT_FALSE(c.RenderFrame());
        // Nothing was drawn: the cube map did not go idle, the request
        // stands, and the last capture is still the earlier frame.
        EXPECT_EQ(cube.InteractionState(), 2);
        EXPECT_TRUE(view.CaptureRequested());
        EXPECT_EQ(view.Captured().rgb, before.rgb);
    }
    EXPECT_TRUE(c.RenderFrame());
    EXPECT_EQ(cube.InteractionState(), SX_CubeMap::kIdle);
    EXPECT_FALSE(view.CaptureRequested());
    ASSERT_EQ(view.Captured().width, 64);
    EXPECT_NE(view.Captured().rgb, before.rgb);  // the back face, not the front
}

TEST_F(FrameCaptureTest, ANewLoadForgetsTheFrameAndALargerViewCapturesWhole) {
    const auto& st = Generate({32});
    SX_Control& c = Loaded(st, 64, 48);
    ASSERT_EQ(Frame().width, 64);
    // The buffer stays for the next capture, the frame does not.
    c.put_src(platform::Bstr(platform::FromUtf8(st.description)));
    EXPECT_EQ(c.GraphicWindow()->Captured().width, 0);
    EXPECT_TRUE(c.GraphicWindow()->Captured().rgb.empty());
    ASSERT_TRUE(Tick([&] { return c.LoadFinished(); }));
    c.Resize(200, 150);
    const platform::RgbImage frame = Frame();
    ASSERT_EQ(frame.width, 200);
    ASSERT_EQ(frame.height, 150);
    ASSERT_EQ(frame.rgb.size(), 200u * 150u * 3u);
    // The last row is drawn too (a kept buffer too small would end early).
    const auto last = frame.rgb.end() - 200 * 3;
    EXPECT_TRUE(std::any_of(last, frame.rgb.end(), [](std::uint8_t v) { return v != 0; }));
}

TEST_F(FrameCaptureTest, TearDownWaitsForABusyContextThenDeletesTheFontLists) {
    std::vector<int> slept;
    ContextHolder loader;
    SX_Control::Options options = MakeOptions();
    options.sleeper = [&](int ms) {
        slept.push_back(ms);
        loader.Let();
    };
    SX_Control& c = ReadyControl(std::move(options));
    ASSERT_TRUE(StraleLib::OpenGLFonts::FontListsBuilt());
    SX_GraphicWindow& view = *c.GraphicWindow();
    loader.Hold(*view.Context());
    // The control's own stop finds the context busy too (a real 30 ms); the
    // window waits its 30 ms through the control's sleeper, which lets go.
    c.Destroy();
    loader.Let();
    EXPECT_EQ(slept, std::vector<int>{SX_GraphicWindow::kBusyTearDownWaitMs});
    EXPECT_FALSE(StraleLib::OpenGLFonts::FontListsBuilt());
    EXPECT_FALSE(view.HasOpenGL());
    control_.reset();  // before the sleeper's captures go
}

TEST_F(FrameCaptureTest, AlphaModeDimsUnmaskedPixelsAndAFaceWithoutMaskDrawsOpaque) {
    // One 64-pixel level seen on a 64 x 64 view at 90 degrees: the face
    // straight ahead fills the view, one texel per pixel.
    const auto& st = Generate({64});
    const sitegen::LevelFiles& level = st.levels.at(0);
    const double azimuthOfFace[4] = {-90.0, 0.0, 90.0, 180.0};
    int face = -1;
    for (int f = 0; f < 4 && face < 0; ++f) {
        face = level.masked[f] ? f : -1;
    }
    ASSERT_GE(face, 0) << "the window to the sky is on no side face";
    platform::Mask mask;
    ASSERT_TRUE(platform::DecodeMaskFile(level.mask[face], mask));
    ASSERT_EQ(mask.width, 64);

    const auto frames = [&](SX_Control& c, platform::RgbImage& opaque, platform::RgbImage& alpha) {
        StraleLib::SX_OpenGLCamera& camera = *c.DataSet().Camera();
        camera.SetAzimuth(azimuthOfFace[face]);
        camera.SetAltitude(0.0);
        camera.SetFieldOfView(90.0);
        c.DataSet().CubeMap()->SetAlphaMode(false);
        opaque = Frame();
        c.DataSet().CubeMap()->SetAlphaMode(true);
        alpha = Frame();
    };
    platform::RgbImage opaque, alpha;
    frames(Loaded(st, 64, 64), opaque, alpha);
    ASSERT_EQ(alpha.width, 64);
    // Top-down, texel for texel: the frame is the face image itself.
    platform::RgbImage faceImage;
    ASSERT_TRUE(platform::DecodeImageFile(level.image[face], faceImage));
    EXPECT_TRUE(testsupport::ImagesMatch(opaque, faceImage, {8, 0.02, 1.5}, "face-ahead"));

    // Away from the mask's edges (one pixel of slack each way), a clear bit
    // gives 64/255 of the colour, a set bit the colour itself.
    const auto uniform = [&](int x, int y, std::uint8_t& bit) {
        bit = mask.opaque[static_cast<std::size_t>(y) * 64 + x];
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                if (mask.opaque[static_cast<std::size_t>(y + dy) * 64 + x + dx] != bit) {
                    return false;
                }
            }
        }
        return true;
    };
    int dimmed = 0, kept = 0, wrong = 0;
    for (int y = 1; y < 63; ++y) {
        for (int x = 1; x < 63; ++x) {
            std::uint8_t bit = 0;
            if (!uniform(x, y, bit)) {
                continue;
            }
            const testsupport::Rgb o = testsupport::PixelAt(opaque, x, y);
            const testsupport::Rgb a = testsupport::PixelAt(alpha, x, y);
            const double f = bit ? 1.0 : 64.0 / 255.0;
            const bool ok = std::abs(a.r - o.r * f) <= 2.0 && std::abs(a.g - o.g * f) <= 2.0 &&
                            std::abs(a.b - o.b * f) <= 2.0;
            wrong += ok ? 0 : 1;
            (bit ? kept : dimmed) += 1;
        }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(dimmed, 20);
    EXPECT_GT(kept, 20);

    // Without its mask file the face loads and draws opaque in alpha mode.
    control_->Destroy();
    control_.reset();
    std::filesystem::remove(level.mask[face]);
    platform::RgbImage unmaskedOpaque, unmaskedAlpha;
    frames(Loaded(st, 64, 64), unmaskedOpaque, unmaskedAlpha);
    EXPECT_TRUE(testsupport::ImagesMatch(unmaskedAlpha, opaque, {2, 0.0, 0.5}, "mask-missing"));
}

}  // namespace

TEST_F(FrameCaptureTest, CaptureWaitsForTheLoaderInTenMillisecondStepsThenGivesUp) {
    // The context is held by another thread until `freeAfter` sleeps.
    std::vector<int> slept;
    std::size_t freeAfter = 3;
    ContextHolder loader;
    SX_Control::Options options = MakeOptions();
    options.sleeper = [&](int ms) {
        slept.push_back(ms);
        if (slept.size() == freeAfter) {
            loader.Let();
        }
    };
    SX_Control& c = ReadyControl(std::move(options), nullptr, 30, 10);
    SX_GraphicWindow& view = *c.GraphicWindow();
    slept.clear();
    loader.Hold(*view.Context());
    platform::RgbImage image;
    EXPECT_TRUE(c.CaptureView(image));
    EXPECT_EQ(slept, std::vector<int>(3, SX_Control::kCaptureRetryMs));
    EXPECT_EQ(image.width, 30);
    EXPECT_EQ(view.CaptureWidth(), 32u);

    // A context that never comes free: the capture gives up after its limit,
    // with no image and no request left standing.
    slept.clear();
    freeAfter = 0;
    loader.Hold(*view.Context());
    EXPECT_FALSE(c.CaptureView(image));
    loader.Let();
    EXPECT_EQ(slept.size(),
              static_cast<std::size_t>(SX_Control::kCaptureGiveUpMs / SX_Control::kCaptureRetryMs));
    EXPECT_EQ(image.width, 0);
    EXPECT_FALSE(view.CaptureRequested());
    control_.reset();  // before the sleeper's captures go
}

TEST_F(FrameCaptureTest, PrintEnlargesTheViewByAWholeFactorCentredOnThePage) {
    const SX_Control::PagePlacement p = SX_Control::PlaceOnPage(4800, 6600, 800, 600);
    EXPECT_EQ(p.factor, 6);  // min(6600 / 600, 4800 / 800)
    EXPECT_EQ(p.height, 3600);
    EXPECT_EQ(p.y, 1500);
    EXPECT_EQ(SX_Control::PlaceOnPage(700, 500, 800, 600).factor, 0);

    SX_Control& c = ReadyControl(MakeOptions(), nullptr, 800, 600);
    const std::filesystem::path pdf = dir_ / "page.pdf";
    ui_.QueuePrintAnswer({u"", 0, 0});
    ui_.QueuePrintAnswer({platform::FromUtf8(pdf.string()), 4800, 6600});
    platform::VARIANT_BOOL res = platform::VARIANT_TRUE;
    EXPECT_EQ(c.Print(platform::VARIANT_FALSE, &res), platform::S_OK);
    EXPECT_EQ(res, platform::VARIANT_FALSE);  // cancelled
    EXPECT_FALSE(std::filesystem::exists(pdf));
    EXPECT_EQ(c.Print(platform::VARIANT_FALSE, &res), platform::S_OK);
    EXPECT_EQ(res, platform::VARIANT_TRUE);
    EXPECT_EQ(ui_.PrintDialogsShown(), 2);
    std::ifstream in(pdf, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes.rfind("%PDF", 0), 0u);
    EXPECT_NE(bytes.find("Panora Document"), std::string::npos);
    EXPECT_NE(bytes.find("/MediaBox [ 0 0 4800 6600 ]"), std::string::npos);

    // A control of no size prints nothing and shows no dialog.
    c.Resize(0, 60);
    EXPECT_EQ(c.Print(platform::VARIANT_FALSE, &res), platform::S_OK);
    EXPECT_EQ(res, platform::VARIANT_FALSE);
    EXPECT_EQ(ui_.PrintDialogsShown(), 2);
}
