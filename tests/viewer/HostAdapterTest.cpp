// The Qt adapters of the desktop viewer, on the offscreen platform.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QWheelEvent>
#include <QWidget>
#include <atomic>
#include <thread>
#include <tuple>
#include <vector>

#include "support/WaitUntil.h"
#include "viewer/FrameView.h"
#include "viewer/InputTranslation.h"
#include "viewer/QtHostUi.h"
#include "viewer/QtTestApp.h"
#include "viewer/ViewerText.h"

using platform::Message;
using viewer::QtHostUi;

namespace {

void Send(QWidget& widget, QEvent::Type type, QPoint pos, Qt::MouseButton button,
          Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QMouseEvent event(type, QPointF(pos), QPointF(widget.mapToGlobal(pos)), button, buttons,
                      modifiers);
    QCoreApplication::sendEvent(&widget, &event);
}

// Runs the Qt event loop until done() holds or two seconds pass.
bool ProcessUntil(const std::function<bool()>& done) {
    return testsupport::WaitUntil(done, std::chrono::seconds(2), [] {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    });
}

}  // namespace

TEST(ViewerInput, QtEventsBecomeTheControlsMessages) {
    viewertest::OffscreenApp();
    viewer::FrameView view;
    view.resize(320, 200);
    std::vector<Message> got;
    view.onInput = [&](const Message& m) { got.push_back(m); };
    std::vector<std::pair<int, int>> sizes;
    view.onResize = [&](int w, int h) { sizes.emplace_back(w, h); };
    view.show();
    ASSERT_FALSE(sizes.empty());
    EXPECT_EQ(sizes.back(), std::make_pair(320, 200));

    // The held buttons are those after the event; an unknown button is dropped.
    Send(view, QEvent::MouseButtonPress, {10, 20}, Qt::LeftButton, Qt::LeftButton,
         Qt::ShiftModifier | Qt::ControlModifier);
    Send(view, QEvent::MouseMove, {15, 22}, Qt::NoButton, Qt::LeftButton | Qt::RightButton,
         Qt::ShiftModifier);
    Send(view, QEvent::MouseButtonRelease, {16, 23}, Qt::RightButton, Qt::LeftButton,
         Qt::AltModifier);
    Send(view, QEvent::MouseButtonRelease, {17, 24}, Qt::LeftButton, Qt::NoButton);
    Send(view, QEvent::MouseButtonDblClick, {5, 6}, Qt::MiddleButton, Qt::MiddleButton);
    Send(view, QEvent::MouseButtonPress, {5, 6}, Qt::BackButton, Qt::BackButton);
    using namespace platform;
    using Seen = std::vector<std::tuple<MessageId, int, std::int64_t>>;
    const auto seen = [&](auto value) {
        Seen s;
        for (const Message& m : got) {
            s.emplace_back(m.id, m.x, value(m));
        }
        got.clear();
        return s;
    };
    const auto keys = [](const Message& m) { return std::int64_t{m.keyState}; };
    EXPECT_EQ(seen(keys), (Seen{{kMsgLButtonDown, 10, kKeyLButton | kKeyShift | kKeyControl},
                                {kMsgMouseMove, 15, kKeyLButton | kKeyRButton | kKeyShift},
                                {kMsgRButtonUp, 16, kKeyLButton | kKeyAlt},
                                {kMsgLButtonUp, 17, 0},
                                {kMsgMButtonDblClk, 5, kKeyMButton}}));

    // Wheel: the vertical angle delta as it is (120 a notch); sideways none.
    for (const QPoint delta : {QPoint(0, 120), QPoint(0, -240), QPoint(120, 0)}) {
        QWheelEvent wheel(QPointF(40, 50), QPointF(view.mapToGlobal(QPoint(40, 50))), QPoint(),
                          delta, Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&view, &wheel);
    }
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].keyState, kKeyControl);
    EXPECT_EQ(seen([](const Message& m) { return m.wheelDelta; }),
              (Seen{{kMsgMouseWheel, 40, 120}, {kMsgMouseWheel, 40, -240}}));

    // Virtual key codes down and up, printable text as characters too.
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, QString(QChar(27)));
    QCoreApplication::sendEvent(&view, &escape);
    QKeyEvent a(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QCoreApplication::sendEvent(&view, &a);
    QKeyEvent up(QEvent::KeyRelease, Qt::Key_Delete, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &up);
    EXPECT_EQ(seen([](const Message& m) { return std::int64_t{m.key}; }),
              (Seen{{kMsgKeyDown, 0, kVkEscape},
                    {kMsgKeyDown, 0, 'A'},
                    {kMsgChar, 0, 'a'},
                    {kMsgKeyUp, 0, kVkDelete}}));
}

TEST(ViewerHostUi, PopupMenuAnswersTheChosenCommand) {
    viewertest::OffscreenApp();
    QWidget view;
    view.resize(300, 200);
    view.show();
    QtHostUi ui(&view);
    const std::vector<HostUi::MenuItem> items = {{124, u"Deselect", true, false},
                                                 {0, u"", false, true},
                                                 {402, u"Delete Hotlink", false, false},
                                                 {403, u"Edit Hotlink", true, false},
                                                 {0, u"", false, true},
                                                 {500, u"Print", false, false}};

    // Clicks the action of that index (-1: none), then Escape if still open.
    QPoint shownAt;
    const auto choose = [&](int index) {
        QTimer::singleShot(0, [&, index] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(menu, nullptr);
            shownAt = menu->pos();
            if (index >= 0) {
                const QPoint at = menu->actionGeometry(menu->actions()[index]).center();
                Send(*menu, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
                Send(*menu, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
            }
            QTimer::singleShot(0, [shown = QPointer<QMenu>(menu)] {
                if (shown && QApplication::activePopupWidget() == shown) {
                    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                    QCoreApplication::sendEvent(shown, &escape);
                }
            });
        });
    };
    choose(5);
    EXPECT_EQ(ui.PopupMenu(items, 30, 40), 500);
    EXPECT_EQ(shownAt, view.mapToGlobal(QPoint(30, 40)));
    choose(3);  // grayed: not chosen
    EXPECT_EQ(ui.PopupMenu(items, 0, 0), 0);
    choose(-1);
    EXPECT_EQ(ui.PopupMenu(items, 0, 0), 0);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

TEST(ViewerHostUi, LoaderBoxesAreShownOnTheGuiThreadOrDismissed) {
    viewertest::OffscreenApp();
    QWidget view;
    view.show();
    QtHostUi ui(&view);
    // Asked on another thread: shown here, answered there. The box runs its
    // own loop, so a timer looks at it and clicks No.
    std::atomic<int> answer{0};
    QString shown;
    QTimer clicker;
    QObject::connect(&clicker, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown =
                box->windowTitle() + "|" + box->text() + "|" +
                QString::number(box->icon() == QMessageBox::Warning) +
                QString::number(box->standardButtons() == (QMessageBox::Yes | QMessageBox::No)) +
                QString::number(box->defaultButton() == box->button(QMessageBox::Yes));
            box->button(QMessageBox::No)->click();
        }
    });
    clicker.start(5);
    std::thread loader([&] {
        answer = ui.MessageBox(u"Newer data", u"Upgrade", HostUi::kYesNo | HostUi::kIconWarning);
    });
    EXPECT_TRUE(ProcessUntil([&] { return answer != 0; }));
    loader.join();
    clicker.stop();
    EXPECT_EQ(answer, HostUi::kIdNo);
    // Title, text, a warning icon, Yes and No, Yes the default.
    EXPECT_EQ(shown, QStringLiteral("Upgrade|Newer data|111"));

    // The GUI thread is about to wait for the loader: a box still queued is
    // answered as dismissed and never shown, and so is one asked meanwhile.
    std::thread queued([&] { answer = ui.MessageBox(u"t", u"c", HostUi::kOkCancel); });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    {
        QtHostUi::Dismisser dismisser(ui);
        queued.join();
        EXPECT_EQ(answer, HostUi::kIdCancel);
        std::thread during([&] { answer = ui.MessageBox(u"t", u"c", HostUi::kYesNo); });
        during.join();
        EXPECT_EQ(answer, HostUi::kIdNo);
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(ViewerText, LengthsHaveThreeDecimalsAndTheUnitsLabel) {
    EXPECT_EQ(viewer::FormatPoint(1.23456, -2.0, -0.0001, 0),
              QStringLiteral("1.235, -2.000, 0.000 m"));
    EXPECT_EQ(viewer::FormatLength(12.5, 30), QStringLiteral("12.500 ft (US-Survey)"));
    EXPECT_EQ(viewer::FormatLength(3.0, 7), QStringLiteral("3.000"));
}
