#pragma once
// A headless OpenGL rendering context over EGL: no window and no X server.
//
// The display is the first of these that initialises: Mesa's surfaceless
// platform, the first EGL device (EGL_EXT_platform_device, as NVIDIA's driver
// offers), then EGL_DEFAULT_DISPLAY. A display is one per platform and
// process, shared with anything else in the process that uses EGL, so every
// Create initialises it and nothing terminates it. The context is a desktop OpenGL
// compatibility context (the renderer uses the fixed-function pipeline). It
// is made current without a surface (or with a 1x1 pbuffer where surfaceless
// contexts are not supported) and draws into its own framebuffer object:
// RGBA8 colour plus the deepest depth/stencil renderbuffer the driver takes
// (32-bit float depth with 8-bit stencil, else 24 + 8). A frame is read back
// with ReadPixels.
//
// The object itself is not locked: the owner serialises access (see
// StraleLib::SX_OpenGLContext). Every function reports failure by its result
// and keeps a reason in LastError(); none throws.

#include <memory>
#include <string>

#include "platform/Image.h"

namespace platform {

class EglContext {
  public:
    EglContext();
    ~EglContext();
    EglContext(const EglContext&) = delete;
    EglContext& operator=(const EglContext&) = delete;

    // Creates the display, the context and a framebuffer of width x height
    // pixels. The context is current on the calling thread during creation
    // and released again before this returns. An earlier context is
    // destroyed first. The environment variable PANORA_EGL_PLATFORM
    // ("surfaceless", "device" or "default") restricts the display to one way;
    // PANORA_EGL_UNAVAILABLE=1 makes every display fail to open (for tests
    // of a machine without graphics).
    bool Create(int width, int height);
    // Frees the framebuffer, the context and the surface (making the context
    // current on the calling thread for a moment when it is not); the thread
    // is left with no current context. Harmless when nothing was created.
    void Destroy();
    bool IsCreated() const;
    // Whether the context is current on the calling thread.
    bool IsCurrentHere() const;

    // Makes the context current on the calling thread with its framebuffer
    // bound for drawing and reading. Fails when the context is current on
    // another thread.
    bool MakeCurrent();
    // Leaves the calling thread with no current context.
    bool ReleaseCurrent();

    // With the context current: reallocates the framebuffer at the new size.
    // On failure the old framebuffer stays.
    bool Resize(int width, int height);
    // With the context current: the colour buffer as 24-bit RGB, rows
    // top-down (the first row is the top of the frame).
    bool ReadPixels(RgbImage& out);

    int Width() const;
    int Height() const;
    // Bits of the framebuffer actually obtained (red + green + blue + alpha).
    int ColorBits() const;
    int DepthBits() const;
    int StencilBits() const;
    // GL_MAX_TEXTURE_SIZE, capped by PANORA_MAX_TEXTURE_SIZE when that holds
    // a positive number.
    int MaxTextureSize() const;
    // The context takes the fixed-function matrix stack (a compatibility
    // context); false for a core-only driver.
    bool HasFixedFunction() const;
    const std::string& Renderer() const;
    const std::string& Vendor() const;
    const std::string& Version() const;
    // "surfaceless", "device" or "default": how the display was reached.
    const std::string& DisplayKind() const;
    // The reason of the last failure, empty after a success.
    const std::string& LastError() const;

  private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace platform
