#pragma once
// One QApplication per test program, on Qt's offscreen platform so that no
// display is needed. Kept until the process ends.

#include <QApplication>
#include <QByteArray>

namespace viewertest {

inline QApplication& OffscreenApp() {
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
        static int argc = 1;
        static char name[] = "test_viewer";
        static char* argv[] = {name, nullptr};
        return new QApplication(argc, argv);
    }();
    return *app;
}

}  // namespace viewertest
