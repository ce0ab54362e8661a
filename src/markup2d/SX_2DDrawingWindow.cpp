#include "markup2d/SX_2DDrawingWindow.h"

SX_2DDrawingWindow::SX_2DDrawingWindow(platform::MessageLoop& loop) : platform::Window(loop) {}

SX_2DDrawingWindow::~SX_2DDrawingWindow() = default;

void SX_2DDrawingWindow::Move(int x, int y, int width, int height) {
    x_ = x;
    y_ = y;
    width_ = width;
    height_ = height;
}
