// The view's capture and what is built on it: the JPEG export and printing.
#include <algorithm>

#include "control/SX_Control.h"
#include "platform/Image.h"
#include "platform/PdfPage.h"
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
    if (!path.empty() && ExportImage(platform::IsVariantTrue(panZoom), image)) {
        // A failed write leaves no file and is not reported.
        platform::EncodeJpegFile(image, platform::ToUtf8(path), kJpegQuality);
    }
    *res = platform::VARIANT_TRUE;
    return platform::S_OK;
}

SX_Control::PagePlacement SX_Control::PlaceOnPage(int pageWidth, int pageHeight, int viewWidth,
                                                  int viewHeight) {
    PagePlacement p;
    if (viewWidth <= 0 || viewHeight <= 0) {
        return p;
    }
    p.factor = std::min(pageHeight / viewHeight, pageWidth / viewWidth);
    p.width = viewWidth * p.factor;
    p.height = viewHeight * p.factor;
    p.x = pageWidth / 2 - p.width / 2;
    p.y = pageHeight / 2 - p.height / 2;
    return p;
}

platform::HRESULT SX_Control::Print(platform::VARIANT_BOOL panZoom, platform::VARIANT_BOOL* res) {
    *res = platform::VARIANT_FALSE;
    if (readyState_ != 4 || width_ <= 0 || height_ <= 0) {
        return platform::S_OK;
    }
    platform::RgbImage image;
    if (!ExportImage(platform::IsVariantTrue(panZoom), image)) {
        return platform::S_OK;
    }
    HostUi::PrintTarget target;
    if (!ui_.PrintDialog(target)) {
        return platform::S_OK;
    }
    // The view's client size is the source rectangle, as the capture is.
    const PagePlacement place = PlaceOnPage(target.pageWidth, target.pageHeight, width_, height_);
    platform::PdfImagePage page;
    page.title = kPrintDocumentName;
    page.pageWidth = target.pageWidth;
    page.pageHeight = target.pageHeight;
    page.x = place.x;
    page.y = place.y;
    page.width = place.width;
    page.height = place.height;
    page.dotsPerInch = target.dotsPerInch;
    if (place.factor > 0 &&
        platform::WriteImagePdf(platform::ToUtf8(target.pdfPath), page, image)) {
        *res = platform::VARIANT_TRUE;
    }
    return platform::S_OK;
}
