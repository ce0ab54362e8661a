#pragma once
// The 3D view window ("GraphicWin"), a child of the control. It owns the
// OpenGL context and the per-frame world, both made by InitOpenGL when the
// control initialises its graphics; InitOpenGL also stores the largest
// texture size the driver takes in the data set. Mouse and keys come later.
//
// Capture: when a capture is requested (so for the first frame, too), the
// frame just drawn is read back into the capture buffer and the request is
// cleared. The buffer holds 24-bit RGB rows bottom-up, as OpenGL reads them,
// each row widened to a multiple of 4 pixels; it only grows, and when it must
// it is reallocated at twice the size needed. Captured() is the same frame
// top-down and cropped to the view's width.
//
// Context lock: the loader uploads textures holding the context (blocking
// acquire); this window only tries it, so the window thread never waits.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "glcore/SX_OpenGLContext.h"
#include "glcore/SX_OpenGLWorld.h"
#include "platform/Image.h"
#include "platform/MessageLoop.h"

class SX_PanoramaDataSet;

class SX_GraphicWindow : public platform::Window {
  public:
    static constexpr const char16_t* kClassName = u"GraphicWin";

    SX_GraphicWindow(platform::MessageLoop& loop, SX_PanoramaDataSet& dataSet);
    ~SX_GraphicWindow() override;

    // Creates the context (framebuffer of the window's size, at least 1 x 1)
    // and the world; false when OpenGL is not available.
    bool InitOpenGL();
    bool HasOpenGL() const { return context_ && context_->IsCreated(); }
    StraleLib::SX_OpenGLContext* Context() const { return context_.get(); }
    StraleLib::SX_OpenGLWorld& World() { return world_; }

    // Forgets the last captured frame.
    void DropPixelBuffer();
    // What a paint of this window draws (the control's frame); a busy context
    // skips the frame.
    void SetPainter(std::function<bool()> painter) { painter_ = std::move(painter); }
    void RequestCapture() { captureRequested_ = true; }
    bool CaptureRequested() const { return captureRequested_; }
    // With the context held, after a frame: reads it when a capture is
    // requested and clears the request.
    void ReadFrame();
    // The last captured frame, rows top-down (empty before any).
    const platform::RgbImage& Captured() const { return pixels_; }
    // The capture buffer: the width read (the view's, widened), the height,
    // and the bytes allocated (0 before the first capture).
    std::uint32_t CaptureWidth() const { return captureWidth_; }
    std::uint32_t CaptureHeight() const { return captureHeight_; }
    std::size_t CaptureAllocated() const { return captureAllocated_; }
    // Clears the data set while holding the context (so no upload is half
    // done); false, with the data set unchanged, when the context is busy.
    bool ClearDataSet();

    // The 3D point under a client pixel (top-down): the measured point in
    // the scan frame, or in mode 4 the viewing ray's point itself. False when
    // there is none.
    bool PickPoint(int x, int y, double& X, double& Y, double& Z);

    void Move(int x, int y, int width, int height);
    int X() const { return x_; }
    int Y() const { return y_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void Show(bool show) { visible_ = show; }
    bool IsVisible() const { return visible_; }

  protected:
    void OnMessage(platform::Message& message) override;

  private:
    SX_PanoramaDataSet& dataSet_;
    std::function<bool()> painter_;
    std::unique_ptr<StraleLib::SX_OpenGLContext> context_;
    StraleLib::SX_OpenGLWorld world_;
    platform::RgbImage pixels_;
    std::unique_ptr<std::uint8_t[]> captureBuffer_;
    std::size_t captureAllocated_ = 0;
    std::uint32_t captureWidth_ = 0;
    std::uint32_t captureHeight_ = 0;
    bool padRows_ = true;
    int x_ = 0;
    int y_ = 0;
    int width_ = 0;
    int height_ = 0;
    bool visible_ = false;
    bool captureRequested_ = true;
};
