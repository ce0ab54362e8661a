#include "markup2d/SX_2DDrawingWindow.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

#include "markup2d/SX_DrawingController.h"

SX_2DDrawingWindow::SX_2DDrawingWindow(platform::MessageLoop& loop) : platform::Window(loop) {}

SX_2DDrawingWindow::~SX_2DDrawingWindow() = default;

void SX_2DDrawingWindow::SetController(std::unique_ptr<SX_DrawingController> controller) {
    controller_ = std::move(controller);
}

void SX_2DDrawingWindow::HandOverToLiveView(const platform::Message& press,
                                            const platform::Message& move) {
    if (handOver_) {
        handOver_(press, move);
    }
}

void SX_2DDrawingWindow::Move(int x, int y, int width, int height) {
    const bool resized = width != width_ || height != height_;
    x_ = x;
    y_ = y;
    width_ = width;
    height_ = height;
    if (resized && visible_ && width > 0 && height > 0) {
        CaptureBackground();
        Paint();
    }
}

bool SX_2DDrawingWindow::CaptureBackground() {
    platform::RgbImage image;
    if (!capturer_ || !capturer_(image) || image.width == 0) {
        return false;
    }
    background_ = std::move(image);
    return true;
}

void SX_2DDrawingWindow::SetDrawings(SX_DrawingList* drawings) {
    if (drawings != drawings_) {
        ReleaseDrawings();
    }
    drawings_ = drawings;
}

void SX_2DDrawingWindow::ReleaseDrawings() {
    if (controller_) {
        controller_->CancelAdd();  // an edited text goes back to its list
    }
    drawings_ = nullptr;
    adding_.reset();
    selected_ = nullptr;
    addMode_ = 0;
}

void SX_2DDrawingWindow::Paint(double fade) {
    if (!canvas_ || canvas_->Width() != std::max(1, width_) ||
        canvas_->Height() != std::max(1, height_)) {
        canvas_ = std::make_unique<platform::Canvas>(width_, height_);
    }
    platform::Canvas& canvas = *canvas_;
    canvas.Clear(0xFF000000);
    if (background_.width > 0) {
        canvas.DrawImage(background_, 0, 0, width_, height_);
    }
    if (markupMode_) {
        platform::CanvasPen pen;
        pen.argb = kFrameColor;
        pen.width = kFrameWidth;
        canvas.StrokeRect(kFrameInset, kFrameInset, width_ - 9, height_ - 9, pen);
    }
    if (drawings_ != nullptr) {
        for (const auto& drawing : *drawings_) {
            if (drawing.get() == adding_.get()) {
                continue;
            }
            if (fade < 1.0) {
                drawing->DrawFaded(canvas, fade);
            } else {
                drawing->Draw(canvas);
            }
        }
    }
    if (markupMode_ && adding_) {
        adding_->Draw(canvas);
    }
}

int SX_2DDrawingWindow::FadeIn() {
    int paints = 0;
    for (int k = 1;; ++k) {
        const double t = 0.1 * k;
        const double s = 0.5 - 0.5 * std::cos(std::numbers::pi * t);
        if (t > 0.999999999999999 || s >= 1.0) {
            break;
        }
        Paint(s);
        ++paints;
    }
    return paints;
}

platform::RgbImage SX_2DDrawingWindow::Image() const {
    return canvas_ ? canvas_->ToRgb() : platform::RgbImage();
}

bool SX_2DDrawingWindow::OnKey(std::uint32_t key) {
    return controller_ && controller_->KeyDown(key);
}

void SX_2DDrawingWindow::OnMessage(platform::Message& message) {
    if (controller_ && message.id != platform::kMsgPaint) {
        message.result = controller_->HandleMessage(message) ? 1 : 0;
        return;
    }
    switch (message.id) {
        case platform::kMsgPaint:
            Paint();
            break;
        case platform::kMsgKeyDown:
            OnKey(message.key);
            break;
        case platform::kMsgMouseMove:
        case platform::kMsgLButtonDown:
        case platform::kMsgLButtonUp:
        case platform::kMsgRButtonDown:
        case platform::kMsgRButtonUp:
        case platform::kMsgMButtonDown:
        case platform::kMsgMButtonUp:
            OnMouse(message);
            break;
        default:
            break;
    }
}

void SX_2DDrawingWindow::OnMouse(const platform::Message& message) {
    if (markupMode_) {
        return;  // the drawing controller's input
    }
    switch (message.id) {
        case platform::kMsgLButtonDown:
        case platform::kMsgRButtonDown:
        case platform::kMsgMButtonDown:
            pressed_ = true;
            press_ = message;
            break;
        case platform::kMsgMouseMove: {
            constexpr std::uint32_t kButtons =
                platform::kKeyLButton | platform::kKeyRButton | platform::kKeyMButton;
            if (!pressed_ || (message.keyState & kButtons) == 0) {
                break;
            }
            if (std::abs(message.x - press_.x) >= kHandOverDistance ||
                std::abs(message.y - press_.y) >= kHandOverDistance) {
                pressed_ = false;
                if (handOver_) {
                    handOver_(press_, message);
                }
            }
            break;
        }
        default:
            pressed_ = false;
            break;
    }
}
