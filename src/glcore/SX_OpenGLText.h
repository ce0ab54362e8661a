#pragma once
// A text label drawn with the bitmap fonts of OpenGLFonts: neighbour
// labels, hotlink labels and the labels of 3D marks.
//
// Draw: the anchor is either window pixels (OpenGL orientation, origin bottom
// left, truncated to whole pixels) or a scene point that the camera projects;
// a point the camera reports as not visible draws nothing. In the world's
// overlay projection, with depth test off and blending (source alpha, one
// minus source alpha), the text is drawn four times in the outline colour at
// the diagonal neighbours (x + 1, y - 1), (x - 1, y + 1), (x + 1, y + 1),
// (x - 1, y - 1) and once in the text colour at (x, y), one display list per
// byte of the text converted to the fonts' code page.

#include <functional>
#include <string>

namespace StraleLib {

class SX_OpenGLCamera;
class SX_OpenGLWorld;

class SX_OpenGLText {
  public:
    // Projects a scene point to window pixels (origin bottom left) with the
    // camera, without the vertical flip; false when the point is not visible
    // (behind the eye). The camera owner supplies it with the camera.
    using Projector = std::function<bool(const SX_OpenGLCamera* camera, double x, double y,
                                         double z, double& windowX, double& windowY)>;

    explicit SX_OpenGLText(SX_OpenGLWorld* world) : world_(world) {}
    virtual ~SX_OpenGLText() = default;

    // With the context current and the font lists built.
    virtual void Draw();

    void SetText(std::u16string text) { text_ = std::move(text); }
    const std::u16string& Text() const { return text_; }
    void SetPosition(double x, double y, double z) {
        x_ = x;
        y_ = y;
        z_ = z;
    }
    double X() const { return x_; }
    double Y() const { return y_; }
    double Z() const { return z_; }
    void SetCamera(SX_OpenGLCamera* camera, Projector projector) {
        camera_ = camera;
        projector_ = std::move(projector);
    }
    SX_OpenGLCamera* Camera() const { return camera_; }
    // 0 font A (height 18, bold), 1 font B (height 22, semi-bold).
    void SetFont(int font) { font_ = font; }
    int Font() const { return font_; }
    void SetOutlineColour(double r, double g, double b) {
        outline_[0] = r;
        outline_[1] = g;
        outline_[2] = b;
    }
    void SetTextColour(double r, double g, double b) {
        colour_[0] = r;
        colour_[1] = g;
        colour_[2] = b;
    }
    const double* OutlineColour() const { return outline_; }
    const double* TextColour() const { return colour_; }
    // True: x and y are window pixels and nothing is projected.
    void SetPositionInPixels(bool inPixels) { inPixels_ = inPixels; }
    bool PositionInPixels() const { return inPixels_; }

  private:
    bool WindowPosition(int& x, int& y) const;

    SX_OpenGLWorld* world_;
    std::u16string text_;
    double x_ = 0.0;
    double y_ = 0.0;
    double z_ = 0.0;
    SX_OpenGLCamera* camera_ = nullptr;
    Projector projector_;
    int font_ = 0;
    double outline_[3] = {1.0, 1.0, 1.0};
    double colour_[3] = {1.0, 1.0, 1.0};
    bool inPixels_ = false;
};

}  // namespace StraleLib
