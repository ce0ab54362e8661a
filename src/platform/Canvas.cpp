#include "platform/Canvas.h"

#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "platform/Text.h"

namespace platform {

namespace {

constexpr double kPixelsPerPoint = 96.0 / 72.0;

double Channel(std::uint32_t argb, int shift) {
    return static_cast<double>((argb >> shift) & 0xFFu) / 255.0;
}

struct LayoutDeleter {
    void operator()(PangoLayout* layout) const { g_object_unref(layout); }
};
using Layout = std::unique_ptr<PangoLayout, LayoutDeleter>;

Layout MakeLayout(cairo_t* cr, std::u16string_view text, std::u16string_view fontName,
                  double sizePoints) {
    Layout layout(pango_cairo_create_layout(cr));
    PangoFontDescription* desc = pango_font_description_new();
    const std::string family = ToUtf8(fontName);
    pango_font_description_set_family(desc, family.empty() ? "Sans" : family.c_str());
    const double pixels = std::max(sizePoints, 0.1) * kPixelsPerPoint;
    pango_font_description_set_absolute_size(desc, pixels * PANGO_SCALE);
    pango_layout_set_font_description(layout.get(), desc);
    pango_font_description_free(desc);
    const std::string utf8 = ToUtf8(text);
    pango_layout_set_text(layout.get(), utf8.c_str(), static_cast<int>(utf8.size()));
    return layout;
}

}  // namespace

Canvas::Canvas(int width, int height) : width_(std::max(width, 1)), height_(std::max(height, 1)) {
    surface_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width_, height_);
    cr_ = cairo_create(surface_);
    cairo_set_antialias(cr_, CAIRO_ANTIALIAS_DEFAULT);
    Clear(0);
}

Canvas::~Canvas() {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
}

void Canvas::SetColor(std::uint32_t argb) {
    cairo_set_source_rgba(cr_, Channel(argb, 16), Channel(argb, 8), Channel(argb, 0),
                          Channel(argb, 24));
}

void Canvas::ApplyPen(const CanvasPen& pen) {
    SetColor(pen.argb);
    const double w = std::max(pen.width, 0.0);
    cairo_set_line_width(cr_, w);
    cairo_set_line_cap(cr_, CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(cr_, CAIRO_LINE_JOIN_MITER);
    const double u = std::max(w, 1.0);
    const double dash[] = {3 * u, u};
    const double dot[] = {u, u};
    const double dashDot[] = {3 * u, u, u, u};
    const double dashDotDot[] = {3 * u, u, u, u, u, u};
    switch (pen.dash) {
        case 1:
            cairo_set_dash(cr_, dash, 2, 0);
            break;
        case 2:
            cairo_set_dash(cr_, dot, 2, 0);
            break;
        case 3:
            cairo_set_dash(cr_, dashDot, 4, 0);
            break;
        case 4:
            cairo_set_dash(cr_, dashDotDot, 6, 0);
            break;
        default:
            cairo_set_dash(cr_, nullptr, 0, 0);
            break;
    }
}

void Canvas::Clear(std::uint32_t argb) {
    cairo_save(cr_);
    cairo_set_operator(cr_, CAIRO_OPERATOR_SOURCE);
    SetColor(argb);
    cairo_paint(cr_);
    cairo_restore(cr_);
}

std::uint32_t Canvas::PixelAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return 0;
    }
    cairo_surface_flush(surface_);
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    std::uint32_t p;
    std::copy_n(data + y * stride + x * 4, 4, reinterpret_cast<unsigned char*>(&p));
    const std::uint32_t a = p >> 24;
    if (a == 0) {
        return 0;
    }
    auto un = [a](std::uint32_t c) { return std::min<std::uint32_t>(255, (c * 255 + a / 2) / a); };
    return (a << 24) | (un((p >> 16) & 0xFF) << 16) | (un((p >> 8) & 0xFF) << 8) | un(p & 0xFF);
}

RgbImage Canvas::ToRgb() const {
    RgbImage out;
    out.width = width_;
    out.height = height_;
    out.rgb.resize(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) * 3);
    cairo_surface_flush(surface_);
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    std::size_t i = 0;
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            std::uint32_t p;
            std::copy_n(data + y * stride + x * 4, 4, reinterpret_cast<unsigned char*>(&p));
            // Premultiplied colour over black is the colour itself.
            out.rgb[i++] = static_cast<std::uint8_t>((p >> 16) & 0xFF);
            out.rgb[i++] = static_cast<std::uint8_t>((p >> 8) & 0xFF);
            out.rgb[i++] = static_cast<std::uint8_t>(p & 0xFF);
        }
    }
    return out;
}

RgbaImage Canvas::ToRgba() const {
    RgbaImage out;
    out.width = width_;
    out.height = height_;
    out.rgba.reserve(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) * 4);
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            const std::uint32_t p = PixelAt(x, y);
            out.rgba.push_back(static_cast<std::uint8_t>((p >> 16) & 0xFF));
            out.rgba.push_back(static_cast<std::uint8_t>((p >> 8) & 0xFF));
            out.rgba.push_back(static_cast<std::uint8_t>(p & 0xFF));
            out.rgba.push_back(static_cast<std::uint8_t>(p >> 24));
        }
    }
    return out;
}

void Canvas::DrawImage(const RgbImage& image, double x, double y, double w, double h,
                       double opacity) {
    if (image.width <= 0 || image.height <= 0 || w <= 0 || h <= 0 ||
        image.rgb.size() < static_cast<std::size_t>(image.width) * image.height * 3) {
        return;
    }
    cairo_surface_t* src =
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, image.width, image.height);
    cairo_surface_flush(src);
    unsigned char* data = cairo_image_surface_get_data(src);
    const int stride = cairo_image_surface_get_stride(src);
    for (int row = 0; row < image.height; ++row) {
        for (int col = 0; col < image.width; ++col) {
            const std::size_t s = (static_cast<std::size_t>(row) * image.width + col) * 3;
            const std::uint32_t p = 0xFF000000u | (std::uint32_t{image.rgb[s]} << 16) |
                                    (std::uint32_t{image.rgb[s + 1]} << 8) | image.rgb[s + 2];
            std::copy_n(reinterpret_cast<const unsigned char*>(&p), 4,
                        data + row * stride + col * 4);
        }
    }
    cairo_surface_mark_dirty(src);
    cairo_save(cr_);
    cairo_translate(cr_, x, y);
    cairo_scale(cr_, w / image.width, h / image.height);
    cairo_set_source_surface(cr_, src, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr_), CAIRO_FILTER_BILINEAR);
    cairo_pattern_set_extend(cairo_get_source(cr_), CAIRO_EXTEND_PAD);
    cairo_rectangle(cr_, 0, 0, image.width, image.height);
    cairo_clip(cr_);
    cairo_paint_with_alpha(cr_, std::clamp(opacity, 0.0, 1.0));
    cairo_restore(cr_);
    cairo_surface_destroy(src);
}

void Canvas::DrawCanvas(const Canvas& other, double opacity) {
    cairo_surface_flush(other.surface_);
    cairo_save(cr_);
    cairo_set_source_surface(cr_, other.surface_, 0, 0);
    cairo_paint_with_alpha(cr_, std::clamp(opacity, 0.0, 1.0));
    cairo_restore(cr_);
}

void Canvas::FillRect(double x, double y, double w, double h, std::uint32_t argb) {
    cairo_new_path(cr_);
    cairo_rectangle(cr_, x, y, w, h);
    SetColor(argb);
    cairo_fill(cr_);
}

void Canvas::StrokeRect(double x, double y, double w, double h, const CanvasPen& pen) {
    cairo_new_path(cr_);
    cairo_rectangle(cr_, x, y, w, h);
    ApplyPen(pen);
    cairo_stroke(cr_);
}

void Canvas::EllipsePath(double x, double y, double w, double h) {
    cairo_new_path(cr_);
    if (w == 0 || h == 0) {
        // A flat ellipse is its diameter.
        cairo_move_to(cr_, x, y);
        cairo_line_to(cr_, x + w, y + h);
        return;
    }
    cairo_save(cr_);
    cairo_translate(cr_, x + w / 2, y + h / 2);
    cairo_scale(cr_, w / 2, h / 2);
    cairo_arc(cr_, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr_);
    cairo_close_path(cr_);
}

void Canvas::FillEllipse(double x, double y, double w, double h, std::uint32_t argb) {
    EllipsePath(x, y, w, h);
    SetColor(argb);
    cairo_fill(cr_);
}

void Canvas::StrokeEllipse(double x, double y, double w, double h, const CanvasPen& pen) {
    EllipsePath(x, y, w, h);
    ApplyPen(pen);
    cairo_stroke(cr_);
}

void Canvas::Line(double x1, double y1, double x2, double y2, const CanvasPen& pen) {
    cairo_new_path(cr_);
    cairo_move_to(cr_, x1, y1);
    cairo_line_to(cr_, x2, y2);
    ApplyPen(pen);
    cairo_stroke(cr_);
}

void Canvas::FilledArrowHead(double tipX, double tipY, double fromX, double fromY, double width,
                             double height, std::uint32_t argb) {
    const double dx = tipX - fromX;
    const double dy = tipY - fromY;
    const double len = std::hypot(dx, dy);
    if (len == 0) {
        return;
    }
    const double ux = dx / len, uy = dy / len;
    const double bx = tipX - ux * height, by = tipY - uy * height;
    const double hx = -uy * width / 2, hy = ux * width / 2;
    cairo_new_path(cr_);
    cairo_move_to(cr_, tipX, tipY);
    cairo_line_to(cr_, bx + hx, by + hy);
    cairo_line_to(cr_, bx - hx, by - hy);
    cairo_close_path(cr_);
    SetColor(argb);
    cairo_fill(cr_);
}

void Canvas::FillCircle(double cx, double cy, double diameter, std::uint32_t argb) {
    FillEllipse(cx - diameter / 2, cy - diameter / 2, diameter, diameter, argb);
}

void Canvas::StrokeCircle(double cx, double cy, double diameter, const CanvasPen& pen) {
    StrokeEllipse(cx - diameter / 2, cy - diameter / 2, diameter, diameter, pen);
}

TextBox Canvas::MeasureText(std::u16string_view text, std::u16string_view fontName,
                            double sizePoints) const {
    Layout layout = MakeLayout(cr_, text, fontName, sizePoints);
    PangoRectangle logical;
    pango_layout_get_extents(layout.get(), nullptr, &logical);
    TextBox box;
    box.width = static_cast<double>(logical.width) / PANGO_SCALE;
    box.height = static_cast<double>(logical.height) / PANGO_SCALE;
    return box;
}

void Canvas::DrawText(double x, double y, std::u16string_view text, std::u16string_view fontName,
                      double sizePoints, std::uint32_t argb) {
    if (text.empty()) {
        return;
    }
    Layout layout = MakeLayout(cr_, text, fontName, sizePoints);
    PangoRectangle logical;
    pango_layout_get_extents(layout.get(), nullptr, &logical);
    cairo_new_path(cr_);
    cairo_move_to(cr_, x - static_cast<double>(logical.x) / PANGO_SCALE,
                  y - static_cast<double>(logical.y) / PANGO_SCALE);
    SetColor(argb);
    pango_cairo_show_layout(cr_, layout.get());
    cairo_new_path(cr_);
}

bool Canvas::HitStroke(double px, double py, double tolerance) const {
    cairo_save(cr_);
    cairo_set_line_width(cr_, std::max(tolerance, 0.0));
    cairo_set_dash(cr_, nullptr, 0, 0);
    cairo_set_line_cap(cr_, CAIRO_LINE_CAP_SQUARE);
    cairo_set_tolerance(cr_, 0.25);
    const bool hit = cairo_in_stroke(cr_, px, py) != 0;
    cairo_restore(cr_);
    cairo_new_path(cr_);
    return hit;
}

bool Canvas::HitRectOutline(double x, double y, double w, double h, double px, double py,
                            double tolerance) const {
    cairo_new_path(cr_);
    cairo_rectangle(cr_, x, y, w, h);
    return HitStroke(px, py, tolerance);
}

bool Canvas::HitEllipseOutline(double x, double y, double w, double h, double px, double py,
                               double tolerance) const {
    const_cast<Canvas*>(this)->EllipsePath(x, y, w, h);
    return HitStroke(px, py, tolerance);
}

bool Canvas::HitLine(double x1, double y1, double x2, double y2, double px, double py,
                     double tolerance) const {
    cairo_new_path(cr_);
    cairo_move_to(cr_, x1, y1);
    cairo_line_to(cr_, x2, y2);
    return HitStroke(px, py, tolerance);
}

}  // namespace platform
