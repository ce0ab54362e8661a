#include "panora/PageScreenshot.h"

#include <algorithm>
#include <filesystem>
#include <string>

#include "control/SX_Control.h"
#include "platform/Image.h"
#include "platform/Text.h"

namespace {

// Draws a frame with a capture requested (the overlay's painted image while
// a saved view is shown), or the control's error page while it shows; false
// when none could be drawn.
bool CaptureFrame(SX_Control& control, platform::RgbImage& image) {
    if (control.ShowsErrorPage()) {
        control.Redraw();
        image = control.ErrorPageImage();
        return image.width > 0;
    }
    return control.HostFrame(image);
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
