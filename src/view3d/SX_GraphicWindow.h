#pragma once
// The 3D view window ("GraphicWin"), a child of the control. It owns the
// OpenGL context and the per-frame world, both made by InitOpenGL when the
// control initialises its graphics; InitOpenGL also stores the largest
// texture size the driver takes in the data set.
//
// Input: the window keeps the mouse status and routes mouse messages by the
// control's view mode: 0 navigate (view controller), 1 and 4 measuring (the
// measure controller first, the view controller when it declines), 2 spin (a
// left release stops the spin; nothing else), any other mode ignores mouse
// buttons, moves and the wheel. The navigation controls, hotlinks and
// neighbour icons (view3d::ViewTargets) get their say first where that class
// tells. Modifiers are refreshed from the message's key state on every move
// and left press; left and middle presses capture the mouse until their
// release. A handler answering true renders a frame.
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
#include <thread>
#include <vector>

#include "glcore/SX_OpenGLContext.h"
#include "glcore/SX_OpenGLWorld.h"
#include "host/HostUi.h"
#include "measure/SX_EventController.h"
#include "measure/SX_MouseStatus.h"
#include "platform/Image.h"
#include "platform/MessageLoop.h"
#include "view3d/ViewHost.h"

class SX_PanoramaDataSet;
class SX_ViewController;
namespace view3d {
class ViewTargets;
}  // namespace view3d

class SX_GraphicWindow : public platform::Window {
  public:
    static constexpr const char16_t* kClassName = u"GraphicWin";

    // Commands of the context menu.
    static constexpr int kCommandDeselect = 124;
    static constexpr int kCommandDeleteHotlink = 402;
    static constexpr int kCommandEditHotlink = 403;
    static constexpr int kCommandPrint = 500;

    // Without a host (the control) the window only paints (no input, no
    // menu).
    SX_GraphicWindow(platform::MessageLoop& loop, SX_PanoramaDataSet& dataSet,
                     view3d::ViewHost* host = nullptr);
    ~SX_GraphicWindow() override;

    // Creates the context (framebuffer of the window's size, at least 1 x 1)
    // and the world; false when OpenGL is not available. Takes the context
    // PrepareOpenGL made when there is one (waiting for it to be done).
    bool InitOpenGL();
    // Starts making the context on a second thread while the control waits
    // for its start-up timer: the context at the window's present size, one
    // warm-up drawing (the driver compiles its shaders) and the fonts'
    // glyphs. Nothing of it is visible until InitOpenGL takes it.
    void PrepareOpenGL();
    // Destroying the window (or deleting it) ends its OpenGL: the capture
    // buffer goes, the station's textures are dropped while the context is
    // held (a busy context is waited for 30 ms, then left to its holder), and
    // when the context can be taken the font lists are deleted; then the
    // context is destroyed.
    static constexpr int kBusyTearDownWaitMs = 30;
    // How the tear-down waits (default: the thread sleeps).
    void SetSleeper(std::function<void(int milliseconds)> sleeper) {
        sleeper_ = std::move(sleeper);
    }
    bool HasOpenGL() const { return context_ && context_->IsCreated(); }
    StraleLib::SX_OpenGLContext* Context() const { return context_.get(); }
    StraleLib::SX_OpenGLWorld& World() { return world_; }

    // Forgets the last captured frame (keeping the memory for the next).
    void DropPixelBuffer();
    // Forgets the last captured frame and frees its memory.
    void FreePixelBuffer();
    // What a paint of this window draws (the control's frame); a busy context
    // skips the frame.
    void SetPainter(std::function<bool()> painter) { painter_ = std::move(painter); }
    void RequestCapture() { captureRequested_ = true; }
    void DropCaptureRequest() { captureRequested_ = false; }
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

    // Input.
    const SX_MouseStatus& MouseStatus() const { return status_; }
    SX_ViewController* ViewController() const { return viewController_.get(); }
    // The controller offered input first in the measuring modes (1 and 4);
    // the host hands it over (none: the view controller alone).
    SX_EventController* MeasureController() const { return measureController_.get(); }
    void SetMeasureController(std::unique_ptr<SX_EventController> controller);
    // What lies over the view (not owned; null: nothing).
    void SetTargets(view3d::ViewTargets* targets) { targets_ = targets; }
    view3d::ViewTargets& Targets() const;
    // The context menu: "Deselect", separator, "Delete Hotlink", "Edit
    // Hotlink", separator, "Print", built by the create message; all but
    // "Print" start grayed.
    const std::vector<HostUi::MenuItem>& MenuItems() const { return menu_; }
    void SetMenuItemGrayed(int command, bool grayed);
    bool IsMenuItemGrayed(int command) const;
    // Set by a left press in a measuring mode, cleared by its release (a
    // right release and SetMode clear it too); the rotation timer drives the
    // view controller in modes 1 and 4 only while it is set.
    bool LeftHeldMeasuring() const { return leftHeldMeasuring_; }
    void SetLeftHeldMeasuring(bool held) { leftHeldMeasuring_ = held; }
    // One tick of the control's timer 1002: in mode 2 the spin step turns the
    // view (AzimuthChanged); in mode 0, and in 1 and 4 while the left button
    // is held, the view controller's tick (continuous rotation). True when
    // the camera changed.
    bool OnViewTimer();
    // The view controller's overlay, inside the frame's overlay projection.
    void DrawOverlay();

  protected:
    void OnMessage(platform::Message& message) override;

  private:
    void BuildMenu();
    void TearDownOpenGL();
    std::unique_ptr<StraleLib::SX_OpenGLContext> TakePrepared();
    // Bytes of one read-back of a view of that size (rows padded as read).
    std::size_t CaptureBytes(int width, int height) const;
    void Sleep(int milliseconds);
    bool Render();
    std::int32_t Mode() const;
    bool Measuring() const;
    void Capture(bool capture);
    void OnLeftDown(const platform::Message& message);
    void OnLeftUp(const platform::Message& message);
    void OnLeftDoubleClick(const platform::Message& message);
    void OnMouseMove(const platform::Message& message);
    void OnMiddle(const platform::Message& message, bool down);
    void OnRightDown(const platform::Message& message);
    void OnRightUp(const platform::Message& message);
    void OnWheel(const platform::Message& message);

    SX_PanoramaDataSet& dataSet_;
    view3d::ViewHost* host_ = nullptr;
    SX_MouseStatus status_;
    std::unique_ptr<SX_ViewController> viewController_;
    std::unique_ptr<SX_EventController> measureController_;
    view3d::ViewTargets* targets_ = nullptr;
    std::vector<HostUi::MenuItem> menu_;
    bool leftHeldMeasuring_ = false;
    std::function<bool()> painter_;
    std::function<void(int)> sleeper_;
    std::unique_ptr<StraleLib::SX_OpenGLContext> context_;
    // PrepareOpenGL's thread and what it made (read only after the join).
    std::thread preparer_;
    std::unique_ptr<StraleLib::SX_OpenGLContext> prepared_;
    std::unique_ptr<std::uint8_t[]> preparedCapture_;
    std::size_t preparedCaptureBytes_ = 0;
    std::vector<std::uint8_t> preparedPixels_;
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
