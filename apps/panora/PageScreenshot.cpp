#include "panora/PageScreenshot.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "control/SX_Control.h"
#include "platform/Image.h"
#include "platform/Text.h"
#include "view3d/SX_GraphicWindow.h"

namespace {

// How long a screenshot waits for the loader to let go of the context, and
// how often it tries again meanwhile.
constexpr auto kGiveUpAfter = std::chrono::seconds(10);
constexpr auto kRetryEvery = std::chrono::milliseconds(10);

// Draws a frame with a capture requested, or the control's error page while
// it shows; false when none could be drawn.
bool CaptureFrame(SX_Control& control, platform::RgbImage& image) {
    if (control.ShowsErrorPage()) {
        control.Redraw();
        image = control.ErrorPageImage();
        return image.width > 0;
    }
    SX_GraphicWindow* view = control.GraphicWindow();
    if (view == nullptr || !view->HasOpenGL() || control.ReadyState() != 4) {
        return false;
    }
    view->RequestCapture();
    const auto giveUp = std::chrono::steady_clock::now() + kGiveUpAfter;
    while (!control.RenderFrame()) {
        if (std::chrono::steady_clock::now() >= giveUp) {
            return false;
        }
        std::this_thread::sleep_for(kRetryEvery);
    }
    // A frame with nothing to draw into leaves the request standing.
    if (view->CaptureRequested() || view->Captured().width == 0) {
        return false;
    }
    image = view->Captured();
    return true;
}

bool EndsWithPng(const std::string& path) {
    if (path.size() < 4) {
        return false;
    }
    std::string tail = path.substr(path.size() - 4);
    std::transform(tail.begin(), tail.end(), tail.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return tail == ".png";
}

}  // namespace

bool AddPageScreenshot(scripthost::ScriptHost& host, SX_Control& control) {
    return host.AddHostFunction(
        "screenshot",
        [&host, &control](std::span<const platform::Variant> args, platform::Variant& result) {
            if (args.empty()) {
                return platform::DISP_E_BADPARAMCOUNT;
            }
            std::u16string text;
            if (const platform::HRESULT hr = args[0].ToString(text); platform::FAILED(hr)) {
                return hr;
            }
            result = platform::Variant(false);
            if (text.empty()) {
                return platform::S_OK;
            }
            std::filesystem::path path(platform::ToUtf8(text));
            if (path.is_relative()) {
                path = std::filesystem::path(platform::ToUtf8(host.BaseLocation())) / path;
            }
            platform::RgbImage image;
            if (!CaptureFrame(control, image)) {
                return platform::S_OK;
            }
            const std::string file = path.string();
            const bool written = EndsWithPng(file) ? platform::EncodePngFile(image, file)
                                                   : platform::EncodeJpegFile(image, file, 90);
            result = platform::Variant(written);
            return platform::S_OK;
        });
}
