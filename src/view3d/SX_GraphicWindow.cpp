#include "view3d/SX_GraphicWindow.h"

#include "glcore/OpenGLFonts.h"

#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "station/SX_CubeMap.h"
#include "station/SX_PanoramaDataSet.h"
#include "view3d/SX_ViewController.h"

namespace {

// The measuring modes' controller until the host hands one over: it takes
// nothing, so the view controller acts alone.
class PassThroughController final : public SX_EventController {
  public:
    explicit PassThroughController(measure::ControllerHost& host) : SX_EventController(host) {}
    bool MiddleButtonUp(const SX_MouseStatus&) override { return false; }
    bool MiddleButtonDown(const SX_MouseStatus&) override { return false; }
    bool LeftButtonUp(const SX_MouseStatus&) override { return false; }
    bool LeftButtonDown(const SX_MouseStatus&) override { return false; }
    bool RightButtonUp(const SX_MouseStatus&) override { return false; }
    bool RightButtonDown(const SX_MouseStatus&) override { return false; }
    bool LeftDoubleClick(const SX_MouseStatus&) override { return false; }
    bool MouseMove(const SX_MouseStatus&, bool) override { return false; }
    bool Wheel(const SX_MouseStatus&) override { return false; }
};

}  // namespace

SX_GraphicWindow::SX_GraphicWindow(platform::MessageLoop& loop, SX_PanoramaDataSet& dataSet,
                                   view3d::ViewHost* host)
    : platform::Window(loop), dataSet_(dataSet), host_(host) {
    if (host_ != nullptr) {
        viewController_ = std::make_unique<SX_ViewController>(*host_, *this);
        measureController_ = std::make_unique<PassThroughController>(*host_);
    }
}

void SX_GraphicWindow::SetMeasureController(std::unique_ptr<SX_EventController> controller) {
    if (controller) {
        measureController_ = std::move(controller);
    } else if (host_ != nullptr) {
        measureController_ = std::make_unique<PassThroughController>(*host_);
    }
}

SX_GraphicWindow::~SX_GraphicWindow() {
    TearDownOpenGL();
}

void SX_GraphicWindow::TearDownOpenGL() {
    TakePrepared().reset();
    FreePixelBuffer();
    if (!HasOpenGL()) {
        return;
    }
    if (context_->TryAcquire()) {
        if (SX_CubeMap* cube = dataSet_.CubeMap()) {
            cube->DropContent();
        }
        context_->Release();
    } else {
        // The loader is uploading: give it a moment, then go on without.
        Sleep(kBusyTearDownWaitMs);
    }
    if (context_->TryAcquire()) {
        StraleLib::OpenGLFonts::DeleteFontLists();
        context_->Destroy();
        context_->Release();
    }
    // Still held elsewhere: the context object destroys it once it is free.
}

void SX_GraphicWindow::Sleep(int milliseconds) {
    if (sleeper_) {
        sleeper_(milliseconds);
    } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
}

void SX_GraphicWindow::PrepareOpenGL() {
    if (preparer_.joinable() || context_) {
        return;
    }
    const int width = std::max(width_, 1);
    const int height = std::max(height_, 1);
    preparer_ = std::thread([this, width, height] {
        auto context = std::make_unique<StraleLib::SX_OpenGLContext>();
        if (context->Create(width, height) && context->Acquire()) {
            StraleLib::SX_OpenGLWorld world;
            world.SetSize(width, height);
            world.Initialise();
            world.WarmUp();
            // The buffers of the first frame's capture, touched here rather
            // than while that frame holds the context the loader waits for;
            // a read-back of the warm-up frame makes llvmpipe's read path.
            preparedCaptureBytes_ = CaptureBytes(width, height) * 2;
            preparedCapture_ = std::make_unique<std::uint8_t[]>(preparedCaptureBytes_);
            glPixelStorei(GL_PACK_ALIGNMENT, 1);
            glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, preparedCapture_.get());
            std::fill_n(preparedCapture_.get(), CaptureBytes(width, height), std::uint8_t{0});
            preparedPixels_.resize(static_cast<std::size_t>(width) *
                                   static_cast<std::size_t>(height) * 3);
            preparedPixels_.clear();  // the pages stay, the image is empty
            context->Release();
            prepared_ = std::move(context);
        }
        StraleLib::OpenGLFonts::PrepareGlyphs();
    });
}

std::unique_ptr<StraleLib::SX_OpenGLContext> SX_GraphicWindow::TakePrepared() {
    if (preparer_.joinable()) {
        preparer_.join();
    }
    if (preparedCapture_ && !captureBuffer_) {
        captureBuffer_ = std::move(preparedCapture_);
        captureAllocated_ = preparedCaptureBytes_;
    }
    preparedCapture_.reset();
    if (pixels_.rgb.empty()) {
        pixels_.rgb = std::move(preparedPixels_);
    }
    preparedPixels_ = {};
    return std::move(prepared_);
}

bool SX_GraphicWindow::InitOpenGL() {
    // A context the preparation could not make is tried again here, so a
    // failure is reported as it always was.
    auto context = TakePrepared();
    if (!context) {
        context = std::make_unique<StraleLib::SX_OpenGLContext>();
        if (!context->Create(std::max(width_, 1), std::max(height_, 1))) {
            return false;
        }
    }
    if (!context->Acquire()) {
        return false;
    }
    // The window may have changed its size while the context was made.
    if (context->Width() != std::max(width_, 1) || context->Height() != std::max(height_, 1)) {
        context->Resize(std::max(width_, 1), std::max(height_, 1));
    }
    world_.SetSize(width_, height_);
    world_.Initialise();
    // Labels (neighbours, marks) draw with the bitmap fonts; without them the
    // view still works, the labels are left out.
    StraleLib::OpenGLFonts::BuildFontLists();
    dataSet_.SetMaxTextureSize(context->MaxTextureSize());
    context->Release();
    context_ = std::move(context);
    return true;
}

void SX_GraphicWindow::DropPixelBuffer() {
    // The memory stays for the next capture (a fresh 1920 x 1080 buffer cost
    // the first frame of every load 5 ms of page faults), cleared so that it
    // reads as a fresh one.
    pixels_.width = pixels_.height = 0;
    pixels_.rgb.clear();
    if (captureBuffer_) {
        std::fill_n(captureBuffer_.get(), captureAllocated_, std::uint8_t{0});
    }
    captureWidth_ = captureHeight_ = 0;
}

void SX_GraphicWindow::FreePixelBuffer() {
    pixels_ = platform::RgbImage();
    captureBuffer_.reset();
    captureAllocated_ = 0;
    captureWidth_ = captureHeight_ = 0;
}

void SX_GraphicWindow::OnMessage(platform::Message& message) {
    switch (message.id) {
        case platform::kMsgCreate:
            BuildMenu();
            break;
        case platform::kMsgDestroy:
            TearDownOpenGL();
            break;
        case platform::kMsgSize:
            width_ = message.x;
            height_ = message.y;
            world_.SetSize(width_, height_);
            break;
        case platform::kMsgPaint:
            Render();
            break;
        case platform::kMsgLButtonDown:
            OnLeftDown(message);
            break;
        case platform::kMsgLButtonUp:
            OnLeftUp(message);
            break;
        case platform::kMsgLButtonDblClk:
            OnLeftDoubleClick(message);
            break;
        case platform::kMsgMouseMove:
            OnMouseMove(message);
            break;
        case platform::kMsgMButtonDown:
            OnMiddle(message, true);
            break;
        case platform::kMsgMButtonUp:
            OnMiddle(message, false);
            break;
        case platform::kMsgRButtonDown:
            OnRightDown(message);
            break;
        case platform::kMsgRButtonUp:
            OnRightUp(message);
            break;
        case platform::kMsgMouseWheel:
            OnWheel(message);
            break;
        default:
            break;
    }
}

bool SX_GraphicWindow::Render() {
    return painter_ ? painter_() : false;
}

std::size_t SX_GraphicWindow::CaptureBytes(int width, int height) const {
    const std::size_t w = static_cast<std::size_t>(std::max(width, 0));
    const std::size_t padded = padRows_ && w % 4 != 0 ? w + 4 - w % 4 : w;
    return padded * 3 * static_cast<std::size_t>(std::max(height, 0));
}

void SX_GraphicWindow::ReadFrame() {
    if (!captureRequested_ || !context_) {
        return;
    }
    captureRequested_ = false;
    const std::uint32_t width = static_cast<std::uint32_t>(std::max(width_, 0));
    const std::uint32_t height = static_cast<std::uint32_t>(std::max(height_, 0));
    captureWidth_ = padRows_ && width % 4 != 0 ? width + 4 - width % 4 : width;
    captureHeight_ = height;
    const std::size_t row = static_cast<std::size_t>(captureWidth_) * 3;
    const std::size_t needed = row * captureHeight_;
    if (needed == 0) {
        pixels_ = platform::RgbImage();
        return;
    }
    if (!captureBuffer_ || needed > captureAllocated_) {
        // Zeroed: glReadPixels leaves what lies beyond the framebuffer as it
        // was, so a fresh buffer shows it black.
        captureBuffer_ = std::make_unique<std::uint8_t[]>(needed * 2);
        captureAllocated_ = needed * 2;
    }
    // The frame is still in the framebuffer the context draws into, so this
    // reads the frame just drawn; rows come bottom-up.
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glGetError();
    glReadPixels(0, 0, static_cast<GLsizei>(captureWidth_), static_cast<GLsizei>(captureHeight_),
                 GL_RGB, GL_UNSIGNED_BYTE, captureBuffer_.get());
    if (glGetError() != GL_NO_ERROR) {
        pixels_ = platform::RgbImage();
        return;
    }
    // Top-down and cropped to the view's width for the image handed out.
    const std::size_t outRow = static_cast<std::size_t>(width) * 3;
    pixels_.width = static_cast<int>(width);
    pixels_.height = static_cast<int>(height);
    pixels_.rgb.resize(outRow * height);
    for (std::uint32_t y = 0; y < height; ++y) {
        std::memcpy(pixels_.rgb.data() + outRow * y, captureBuffer_.get() + row * (height - 1 - y),
                    outRow);
    }
}

bool SX_GraphicWindow::ClearDataSet() {
    if (!HasOpenGL()) {
        dataSet_.Clear();
        return true;
    }
    if (!context_->TryAcquire()) {
        return false;
    }
    dataSet_.Clear();
    context_->Release();
    return true;
}

void SX_GraphicWindow::Move(int x, int y, int width, int height) {
    x_ = x;
    y_ = y;
    platform::Message size = platform::Message::Size(width, height);
    if (!IsAlive() || !Send(size)) {
        width_ = width;
        height_ = height;
        world_.SetSize(width, height);
    }
}
