#include "platform/PdfPage.h"

#include <cairo-pdf.h>
#include <cairo.h>

#include <cstdint>
#include <memory>

namespace platform {

namespace {

bool Fail(std::string* error, const std::string& reason) {
    if (error != nullptr) {
        *error = reason;
    }
    return false;
}

struct SurfaceDeleter {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextDeleter {
    void operator()(cairo_t* c) const { cairo_destroy(c); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
using Context = std::unique_ptr<cairo_t, ContextDeleter>;

}  // namespace

bool WriteImagePdf(const std::string& path, const PdfImagePage& page, const RgbImage& image,
                   std::string* error) {
    if (page.pageWidth <= 0 || page.pageHeight <= 0 || page.width <= 0 || page.height <= 0) {
        return Fail(error, "empty page or rectangle");
    }
    if (image.width <= 0 || image.height <= 0 ||
        image.rgb.size() < static_cast<std::size_t>(image.width) * image.height * 3) {
        return Fail(error, "empty image");
    }
    // The image as Cairo's 32-bit pixels (0xffRRGGBB in native order).
    Surface pixels(cairo_image_surface_create(CAIRO_FORMAT_RGB24, image.width, image.height));
    if (cairo_surface_status(pixels.get()) != CAIRO_STATUS_SUCCESS) {
        return Fail(error, "cannot hold the image");
    }
    cairo_surface_flush(pixels.get());
    unsigned char* data = cairo_image_surface_get_data(pixels.get());
    const int stride = cairo_image_surface_get_stride(pixels.get());
    for (int y = 0; y < image.height; ++y) {
        auto* row =
            reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
        const std::uint8_t* in = image.rgb.data() + static_cast<std::size_t>(y) * image.width * 3;
        for (int x = 0; x < image.width; ++x, in += 3) {
            row[x] = 0xff000000u | (std::uint32_t{in[0]} << 16) | (std::uint32_t{in[1]} << 8) |
                     std::uint32_t{in[2]};
        }
    }
    cairo_surface_mark_dirty(pixels.get());

    const double points = 72.0 / (page.dotsPerInch > 0 ? page.dotsPerInch : 72);
    Surface pdf(
        cairo_pdf_surface_create(path.c_str(), page.pageWidth * points, page.pageHeight * points));
    if (cairo_surface_status(pdf.get()) != CAIRO_STATUS_SUCCESS) {
        return Fail(error, "cannot write " + path);
    }
    cairo_pdf_surface_set_metadata(pdf.get(), CAIRO_PDF_METADATA_TITLE, page.title.c_str());
    {
        Context cr(cairo_create(pdf.get()));
        cairo_scale(cr.get(), points, points);
        cairo_rectangle(cr.get(), page.x, page.y, page.width, page.height);
        cairo_clip(cr.get());
        cairo_translate(cr.get(), page.x, page.y);
        cairo_scale(cr.get(), static_cast<double>(page.width) / image.width,
                    static_cast<double>(page.height) / image.height);
        cairo_set_source_surface(cr.get(), pixels.get(), 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr.get()), CAIRO_FILTER_NEAREST);
        cairo_paint(cr.get());
        cairo_show_page(cr.get());
    }
    cairo_surface_finish(pdf.get());
    if (cairo_surface_status(pdf.get()) != CAIRO_STATUS_SUCCESS) {
        return Fail(error, "cannot write " + path);
    }
    return true;
}

}  // namespace platform
