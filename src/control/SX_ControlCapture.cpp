// The view's capture and what is built on it: the JPEG export.
#include "control/SX_Control.h"
#include "platform/Image.h"
#include "platform/Text.h"
#include "resources/StringTable.h"
#include "view3d/SX_GraphicWindow.h"

bool SX_Control::CaptureView(platform::RgbImage& image) {
    image = platform::RgbImage();
    if (!CanDrawFrames()) {
        return false;
    }
    graphicWindow_->RequestCapture();
    int waited = 0;
    while (!RenderFrame()) {
        if (!CanDrawFrames() || waited >= kCaptureGiveUpMs) {
            graphicWindow_->DropCaptureRequest();
            return false;
        }
        loader_.Sleep(kCaptureRetryMs);
        waited += kCaptureRetryMs;
    }
    // A view of no size reads nothing.
    if (graphicWindow_->CaptureRequested() || graphicWindow_->Captured().width == 0) {
        return false;
    }
    image = graphicWindow_->Captured();
    return true;
}

platform::HRESULT SX_Control::SaveAsJpg(platform::VARIANT_BOOL panZoom,
                                        platform::VARIANT_BOOL* res) {
    (void)panZoom;
    HostUi::FileDialog dialog;
    dialog.title = resources_.LoadString(resources::IDS_SAVE_JPG_TITLE);
    dialog.filterLabel = resources_.LoadString(resources::IDS_SAVE_JPG_FILTER);
    dialog.pattern = u"*.jpg";
    dialog.defaultExtension = u"jpg";
    const std::u16string path = ui_.SaveFileDialog(dialog);
    if (readyState_ != 4) {
        return platform::S_OK;
    }
    platform::RgbImage image;
    if (!path.empty() && CaptureView(image)) {
        // A failed write leaves no file and is not reported.
        platform::EncodeJpegFile(image, platform::ToUtf8(path), kJpegQuality);
    }
    *res = platform::VARIANT_TRUE;
    return platform::S_OK;
}
