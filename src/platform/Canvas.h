#pragma once
// The 2D canvas of the markup: an ARGB image of a fixed size drawn with Cairo,
// text laid out with Pango (fonts by family name through fontconfig, which
// substitutes a near family for one that is not installed). Lines and curves
// are antialiased; every colour carries its alpha and is blended over what is
// already there.
//
// Font sizes are points at 96 dots per inch (one point = 4/3 pixel), the
// resolution of the overlay the drawings were designed for.
//
// Dash styles are the numbers the markup file carries: 0 solid, 1 dash, 2 dot,
// 3 dash-dot, 4 dash-dot-dot (anything else is solid); the pattern scales
// with the pen width.

#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/Image.h"

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

namespace platform {

struct CanvasPen {
    std::uint32_t argb = 0xFF000000;
    double width = 1.0;
    int dash = 0;
};

struct TextBox {
    double x = 0, y = 0, width = 0, height = 0;
};

class Canvas {
  public:
    // Cleared to transparent. Sizes below 1 are taken as 1.
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    int Width() const { return width_; }
    int Height() const { return height_; }

    // Replaces every pixel (no blending).
    void Clear(std::uint32_t argb);

    // Pixels as non-premultiplied ARGB (0xAARRGGBB); 0 outside the canvas.
    std::uint32_t PixelAt(int x, int y) const;
    // Composited over black.
    RgbImage ToRgb() const;
    // Straight-alpha RGBA bytes, for hosts that blit the overlay.
    RgbaImage ToRgba() const;

    // The image stretched into the box, blended with the opacity (0..1).
    void DrawImage(const RgbImage& image, double x, double y, double w, double h,
                   double opacity = 1.0);
    // Another canvas painted over this one at (0, 0), its alpha multiplied by
    // `opacity` (the fading of drawings).
    void DrawCanvas(const Canvas& other, double opacity);

    void FillRect(double x, double y, double w, double h, std::uint32_t argb);
    void StrokeRect(double x, double y, double w, double h, const CanvasPen& pen);
    // The ellipse inscribed in the box.
    void FillEllipse(double x, double y, double w, double h, std::uint32_t argb);
    void StrokeEllipse(double x, double y, double w, double h, const CanvasPen& pen);
    // Butt caps.
    void Line(double x1, double y1, double x2, double y2, const CanvasPen& pen);
    // A filled triangle with its tip at (tipX, tipY), pointing away from
    // (fromX, fromY): `height` long along that direction and `width` wide at
    // its base. Nothing when the two points coincide.
    void FilledArrowHead(double tipX, double tipY, double fromX, double fromY, double width,
                         double height, std::uint32_t argb);
    void FillCircle(double cx, double cy, double diameter, std::uint32_t argb);
    void StrokeCircle(double cx, double cy, double diameter, const CanvasPen& pen);

    // The laid-out box of the text with its top-left at (0, 0); lines break
    // only at "\n". An empty text has the height of one line and no width.
    TextBox MeasureText(std::u16string_view text, std::u16string_view fontName,
                        double sizePoints) const;
    // The text with its laid-out box's top-left at (x, y).
    void DrawText(double x, double y, std::u16string_view text, std::u16string_view fontName,
                  double sizePoints, std::uint32_t argb);

    // Outline hit tests: true when (px, py) lies inside the outline widened
    // to `tolerance` pixels (half of it each side).
    bool HitRectOutline(double x, double y, double w, double h, double px, double py,
                        double tolerance) const;
    bool HitEllipseOutline(double x, double y, double w, double h, double px, double py,
                           double tolerance) const;
    bool HitLine(double x1, double y1, double x2, double y2, double px, double py,
                 double tolerance) const;

  private:
    void SetColor(std::uint32_t argb);
    void ApplyPen(const CanvasPen& pen);
    void EllipsePath(double x, double y, double w, double h);
    bool HitStroke(double px, double py, double tolerance) const;

    int width_;
    int height_;
    cairo_surface_t* surface_ = nullptr;
    cairo_t* cr_ = nullptr;
};

}  // namespace platform
