#include "view3d/SX_GraphicWindow.h"

#include <algorithm>

#include "station/SX_CubeMap.h"
#include "station/SX_PanoramaDataSet.h"

SX_GraphicWindow::SX_GraphicWindow(platform::MessageLoop& loop, SX_PanoramaDataSet& dataSet)
    : platform::Window(loop), dataSet_(dataSet) {}

SX_GraphicWindow::~SX_GraphicWindow() {
    pixels_ = platform::RgbImage();
    if (context_ && context_->TryAcquire()) {
        if (SX_CubeMap* cube = dataSet_.CubeMap()) {
            cube->DropContent();
        }
        context_->Release();
    }
    if (context_) {
        context_->Destroy();
    }
}

bool SX_GraphicWindow::InitOpenGL() {
    auto context = std::make_unique<StraleLib::SX_OpenGLContext>();
    if (!context->Create(std::max(width_, 1), std::max(height_, 1))) {
        return false;
    }
    if (!context->Acquire()) {
        return false;
    }
    world_.SetSize(width_, height_);
    world_.Initialise();
    dataSet_.SetMaxTextureSize(context->MaxTextureSize());
    context->Release();
    context_ = std::move(context);
    return true;
}

void SX_GraphicWindow::DropPixelBuffer() {
    pixels_ = platform::RgbImage();
}

void SX_GraphicWindow::OnMessage(platform::Message& message) {
    if (message.id == platform::kMsgPaint && painter_) {
        painter_();
    }
}

void SX_GraphicWindow::ReadFrame() {
    if (!captureRequested_ || !context_) {
        return;
    }
    captureRequested_ = false;
    if (!context_->ReadPixels(pixels_)) {
        pixels_ = platform::RgbImage();
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
    width_ = width;
    height_ = height;
    world_.SetSize(width, height);
}
