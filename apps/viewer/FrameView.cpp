#include "viewer/FrameView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "viewer/InputTranslation.h"

namespace viewer {

FrameView::FrameView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);  // moves without a button drive the hover feedback
    setFocusPolicy(Qt::StrongFocus);
    // The control shows its own menu on the right button.
    setContextMenuPolicy(Qt::PreventContextMenu);
    setMinimumSize(64, 48);
}

void FrameView::SetFrame(QImage frame, QPoint origin) {
    frame_ = std::move(frame);
    origin_ = origin;
    update();
}

void FrameView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (!frame_.isNull()) {
        painter.drawImage(origin_, frame_);
    }
}

void FrameView::resizeEvent(QResizeEvent*) {
    if (onResize) {
        onResize(width(), height());
    }
}

void FrameView::Send(const platform::Message& message) {
    if (onInput) {
        onInput(message);
    }
}

void FrameView::Mouse(QMouseEvent* event) {
    const auto message = MouseMessage(event->type(), event->button(), event->buttons(),
                                      event->modifiers(), event->position().toPoint());
    if (message) {
        Send(*message);
    }
    event->accept();
}

void FrameView::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    Mouse(event);
}
void FrameView::mouseReleaseEvent(QMouseEvent* event) {
    Mouse(event);
}
void FrameView::mouseDoubleClickEvent(QMouseEvent* event) {
    Mouse(event);
}
void FrameView::mouseMoveEvent(QMouseEvent* event) {
    Mouse(event);
}

void FrameView::wheelEvent(QWheelEvent* event) {
    const auto message = WheelMessage(event->position().toPoint(), event->angleDelta(),
                                      event->buttons(), event->modifiers());
    if (message) {
        Send(*message);
    }
    event->accept();
}

void FrameView::keyPressEvent(QKeyEvent* event) {
    if (const std::uint32_t key = VirtualKey(event->key()); key != 0) {
        Send(platform::Message::Key(platform::kMsgKeyDown, key));
    }
    for (const QChar c : event->text()) {
        if (c.isPrint()) {
            Send(platform::Message::Key(platform::kMsgChar, c.unicode()));
        }
    }
    event->accept();
}

void FrameView::keyReleaseEvent(QKeyEvent* event) {
    if (const std::uint32_t key = VirtualKey(event->key()); key != 0) {
        Send(platform::Message::Key(platform::kMsgKeyUp, key));
    }
    event->accept();
}

}  // namespace viewer
