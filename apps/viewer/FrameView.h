#pragma once
// The widget that stands for the control's window: it paints the last frame
// the control rendered (at the graphic window's place inside the control, or
// the control's whole error page), and hands its mouse, wheel, key and size
// changes on as window messages. Its pixels are the control's client pixels.

#include <QImage>
#include <QPoint>
#include <QWidget>
#include <functional>

#include "platform/MessageLoopMessages.h"

namespace viewer {

class FrameView final : public QWidget {
  public:
    explicit FrameView(QWidget* parent = nullptr);

    // Called for every input message and every new size.
    std::function<void(const platform::Message&)> onInput;
    std::function<void(int width, int height)> onResize;

    // The frame and where its top-left corner lies in the widget.
    void SetFrame(QImage frame, QPoint origin);
    const QImage& Frame() const { return frame_; }
    // The size the window is first laid out for.
    void SetPreferredSize(QSize size) { preferred_ = size; }
    QSize sizeHint() const override { return preferred_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

  private:
    void Mouse(QMouseEvent* event);
    void Send(const platform::Message& message);

    QImage frame_;
    QPoint origin_;
    QSize preferred_{1024, 640};
};

}  // namespace viewer
