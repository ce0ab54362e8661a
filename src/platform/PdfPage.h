#pragma once
// A one-page PDF document holding one image, drawn with Cairo: what headless
// hosts print into. A device pixel of the page is 72 / dotsPerInch PDF points
// (one point at 72, what headless hosts use); the image
// is scaled to its destination rectangle without smoothing, so each pixel
// stays a sharp block.

#include <string>

#include "platform/Image.h"

namespace platform {

struct PdfImagePage {
    std::string title;  // the document's title
    int pageWidth = 0;  // device pixels
    int pageHeight = 0;
    int x = 0;  // the image's destination rectangle, top-down page pixels
    int y = 0;
    int width = 0;
    int height = 0;
    int dotsPerInch = 72;  // of the device whose pixels these are
};

// False (with a reason) when the page or the rectangle is empty, the image
// is empty, or the file cannot be written.
bool WriteImagePdf(const std::string& path, const PdfImagePage& page, const RgbImage& image,
                   std::string* error = nullptr);

}  // namespace platform
