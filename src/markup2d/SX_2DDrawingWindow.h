#pragma once
// The 2D overlay window ("2DDrawingWin"): a child of the control that will
// show a view's still image with its drawings. For now it only exists and
// keeps its rectangle.
#include "platform/MessageLoop.h"

class SX_2DDrawingWindow : public platform::Window {
  public:
    static constexpr const char16_t* kClassName = u"2DDrawingWin";

    explicit SX_2DDrawingWindow(platform::MessageLoop& loop);
    ~SX_2DDrawingWindow() override;

    void Move(int x, int y, int width, int height);
    int X() const { return x_; }
    int Y() const { return y_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void Show(bool show) { visible_ = show; }
    bool IsVisible() const { return visible_; }

  private:
    int x_ = 0;
    int y_ = 0;
    int width_ = 0;
    int height_ = 0;
    bool visible_ = true;
};
