#pragma once
// Draws the hotlinks of a collection over the 3D view, after the neighbour
// icons: each visible hotlink whose position (a measured point, like a 3D
// mark's) projects in front of the
// camera and inside the client area (0 <= x <= width, 0 <= y <= height,
// top-down) gets its icon centred on that pixel, and, with a label, a leader
// line (3 px dark green under 1 px yellow) up and to the right to its label.
// The pixel is recorded as the hotlink's screen position for hit testing;
// every other hotlink is marked as not drawn.
//
// Icons: the hotlink's image file once it decodes (PNG with its alpha,
// JPEG or BMP opaque; decoded once per path and kept), else the default
// icon: the installation's icon file when it decodes, else the built-in
// one, a blue octagon the size of the hit area drawn here in code.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace StraleLib {
class SX_OpenGLCamera;
class SX_OpenGLWorld;
}  // namespace StraleLib

namespace view3d {

class SX_Hotlinks;

class HotlinkPainter {
  public:
    // B, G, R, A pixels, bottom row first (glDrawPixels order).
    struct Icon {
        int width = 0;
        int height = 0;
        std::vector<std::uint8_t> bgra;
        bool Empty() const { return bgra.empty(); }
    };

    HotlinkPainter();

    // The default icon from a file; false (icon unchanged) when it does not
    // decode.
    bool SetDefaultIconFile(const std::u16string& path);
    const Icon& DefaultIcon() const { return default_; }
    static Icon BuiltInIcon();
    // An icon from an image file; empty when it does not decode.
    static Icon LoadIcon(const std::u16string& path);

    // With the context current. Positions are taken from the scan frame
    // into the view frame as the 3D marks' are (ScanToViewFrame with the
    // station's up direction).
    void Draw(SX_Hotlinks& hotlinks, StraleLib::SX_OpenGLWorld& world,
              StraleLib::SX_OpenGLCamera* camera, int upDirection);

    // Offset of the label from the hotlink's position, right and up.
    static constexpr double kLabelOffset = 35.0;

  private:
    const Icon& IconFor(const std::u16string& imageFile);

    Icon default_;
    std::map<std::u16string, Icon> cache_;
};

}  // namespace view3d
