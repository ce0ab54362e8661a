#pragma once
// The per-frame OpenGL state of one graphic window: its size, the extension
// list read once the context is first current, and the state every frame
// starts from. All functions need the context current on the calling thread.

#include <string>

#include "glcore/CubeGeometry.h"

namespace StraleLib {

class SX_OpenGLWorld {
  public:
    static constexpr const char* kEdgeClampExtension = "GL_EXT_texture_edge_clamp";

    // Size of the graphic window's client area in pixels.
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetSize(int width, int height) {
        width_ = width;
        height_ = height;
    }

    const std::string& Extensions() const { return extensions_; }
    bool EdgeClampSupported() const { return edgeClamp_; }

    // Reads the extension list; edge clamp is supported when it names
    // GL_EXT_texture_edge_clamp.
    void Initialise();

    // Clear colour black (alpha 1), draw into the back buffer (the
    // framebuffer object's colour attachment when one is bound), lighting
    // and depth test off, clear the colour (the depth buffer is left as it
    // is), viewport (0, 0, width, height), 2D texturing on, pack and unpack
    // alignment 1, the bound texture's parameters as SetTextureParameters
    // sets them, texture environment decal.
    void BeginFrame();

    // On the bound 2D texture: wrap S and T clamp-to-edge when edgeClamp
    // (else, or when OpenGL reports an error, repeat), magnification nearest,
    // minification linear. Every face texture and tile is made with these.
    static void SetTextureParameters(bool edgeClamp);

    // One face of the cube as a quad in the current white, texture
    // coordinates 0 to 1 across it (the faces' drawing and the warm-up).
    static void DrawCubeFace(const CubeFaceCorners& corners);

    // A pixel projection for 2D overlays: origin at the bottom left, one unit
    // per pixel. Saves all attributes and both matrices; EndOverlay restores.
    void BeginOverlay();
    void EndOverlay();

    // Draws the cube around the eye in perspective, its faces without and
    // with a small face texture in the faces' state, and a blended pixel
    // image in the overlay, as the navigation controls do, and waits for
    // them, so that the driver has made those shaders (and touched the
    // framebuffer) before the first frames. Leaves the framebuffer's
    // contents undefined; the next frame clears.
    void WarmUp();

  private:
    int width_ = 0;
    int height_ = 0;
    std::string extensions_;
    bool edgeClamp_ = false;
};

}  // namespace StraleLib
