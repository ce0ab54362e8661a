// The viewer's Views dock and drawing tools, driven as a user would through
// their buttons, on a generated station and the offscreen platform.
#include <gtest/gtest.h>

#include <QAction>
#include <QImage>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <cmath>
#include <cstdlib>
#include <string>

#include "sitegen/SiteGenerator.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"
#include "support/WaitUntil.h"
#include "viewer/FrameView.h"
#include "viewer/MarkupTools.h"
#include "viewer/QtTestApp.h"
#include "viewer/ViewerWindow.h"
#include "viewer/ViewsPanel.h"

namespace {

bool ProcessUntil(const std::function<bool()>& done, int seconds = 5) {
    return testsupport::WaitUntil(done, std::chrono::seconds(seconds), [] {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    });
}

// Mean absolute channel difference of two frames of one size; 255 otherwise.
double Difference(const QImage& a, const QImage& b) {
    if (a.size() != b.size() || a.isNull()) {
        return 255.0;
    }
    const QImage x = a.convertToFormat(QImage::Format_RGB888);
    const QImage y = b.convertToFormat(QImage::Format_RGB888);
    double sum = 0.0;
    for (int row = 0; row < x.height(); ++row) {
        const uchar* p = x.constScanLine(row);
        const uchar* q = y.constScanLine(row);
        for (int i = 0; i < x.width() * 3; ++i) {
            sum += std::abs(p[i] - q[i]);
        }
    }
    return sum / (3.0 * x.width() * x.height());
}

void Mouse(QWidget& widget, QEvent::Type type, QPoint pos, Qt::MouseButton button,
           Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(pos), QPointF(widget.mapToGlobal(pos)), button, buttons,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &event);
}

// A left drag through the middle to `to`.
void Drag(QWidget& widget, QPoint from, QPoint to) {
    Mouse(widget, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    Mouse(widget, QEvent::MouseMove, (from + to) / 2, Qt::NoButton, Qt::LeftButton);
    Mouse(widget, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    Mouse(widget, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
}

QPushButton& Button(viewer::ViewsPanel& panel, const char* name) {
    auto* button = panel.findChild<QPushButton*>(QString::fromLatin1(name));
    EXPECT_NE(button, nullptr) << name;
    return *button;
}

}  // namespace

// Save, apply, draw, unlock, rename and delete through the dock: the frame
// the viewer paints is the view's still image (with the red markup frame
// while locked), the list marks the view on show, and leaving it brings the
// live view back at the view's camera.
TEST(ViewsPanel, SaveApplyDrawUnlockRenameDelete) {
    viewertest::OffscreenApp();
    testsupport::TempDir tmp;
    const testsupport::ScopedEnv data("XDG_DATA_HOME", (tmp / "data").string());
    sitegen::SiteOptions o;
    o.outputDir = (tmp / "site").string();
    o.stations = 1;
    o.sizes = {64, 128};
    sitegen::SitePlan plan;
    ASSERT_TRUE(sitegen::GenerateSite(o, &plan));

    viewer::ViewerOptions options;
    const std::string& description = plan.stations[0].description;
    options.station = std::u16string(description.begin(), description.end());
    options.width = 320;
    options.height = 200;
    viewer::ViewerWindow window(options);
    window.resize(1000, 640);
    window.show();
    ASSERT_TRUE(ProcessUntil([&] { return window.StationShown(); }, 20));
    viewer::ViewsPanel& panel = *window.Views();
    const QImage& frame = window.View().Frame();
    ProcessUntil([] { return false; }, 1);  // let the finest level settle
    const QImage live = frame.copy();

    // Nothing selected: only saving is possible.
    EXPECT_FALSE(Button(panel, "view-apply").isEnabled());
    EXPECT_FALSE(Button(panel, "view-unlock").isEnabled());
    Button(panel, "view-save").click();
    ASSERT_EQ(panel.Rows().size(), 1u);
    const std::int32_t first = panel.Rows()[0].id;
    EXPECT_NEAR(panel.Rows()[0].aperture, 80.0, 1e-6);
    EXPECT_EQ(panel.List()->currentRow(), 0);
    EXPECT_TRUE(Button(panel, "view-apply").isEnabled());

    // Zoomed in from the toolbar (the frame the control drew at once must
    // not wait for input), the live view differs; a second view remembers it.
    for (QAction* action : window.findChildren<QAction*>()) {
        if (action->text() == QStringLiteral("Zoom in")) {
            action->trigger();
        }
    }
    ASSERT_TRUE(ProcessUntil([&] { return Difference(frame, live) > 4.0; }));
    Button(panel, "view-save").click();
    ASSERT_EQ(panel.Rows().size(), 2u);
    EXPECT_EQ(panel.Rows()[1].id, first + 1);
    EXPECT_NEAR(panel.Rows()[1].aperture, 64.0, 1e-6);

    // Apply the first: the camera turns back and its still image is painted.
    panel.List()->setCurrentRow(0);
    Button(panel, "view-apply").click();
    EXPECT_EQ(window.ShownViewId(), first);
    EXPECT_FALSE(window.LockedForDrawing());
    ASSERT_TRUE(ProcessUntil([&] { return Difference(frame, live) < 3.0; }))
        << Difference(frame, live);
    EXPECT_TRUE(panel.List()->item(0)->text().endsWith(QStringLiteral("[shown]")));
    EXPECT_TRUE(Button(panel, "view-unlock").isEnabled());
    const auto reddish = [&](int x, int y) {
        const QColor c = frame.pixelColor(x, y);
        return c.red() > c.green() + 40 && c.red() > c.blue() + 40;
    };
    EXPECT_FALSE(reddish(frame.width() / 2, 5));

    // Draw: locked, the red markup frame 4 pixels in from the edge.
    Button(panel, "view-draw").click();
    EXPECT_TRUE(window.LockedForDrawing());
    EXPECT_TRUE(panel.List()->item(0)->text().endsWith(QStringLiteral("[drawing]")));
    ASSERT_TRUE(ProcessUntil([&] { return reddish(frame.width() / 2, 5); }));
    EXPECT_TRUE(reddish(5, frame.height() / 4));
    EXPECT_FALSE(reddish(frame.width() / 2, 14));  // the ceiling inside it

    // Unlock: the live view at the first view's camera, nothing on show.
    Button(panel, "view-unlock").click();
    EXPECT_EQ(window.ShownViewId(), -1);
    EXPECT_FALSE(Button(panel, "view-unlock").isEnabled());
    ASSERT_TRUE(ProcessUntil([&] { return !reddish(5, frame.height() / 2); }));
    EXPECT_LT(Difference(frame, live), 3.0);
    EXPECT_FALSE(panel.List()->item(0)->text().contains(QStringLiteral("[")));
    panel.SetAskName([](const QString&) { return QStringLiteral("Hall"); });
    Button(panel, "view-rename").click();

    // A drawing tool with no view on show saves one and locks it; the
    // rectangle dragged out lands where the pointer went and becomes the
    // selected drawing, which Delete removes.
    viewer::MarkupTools& tools = *window.Markup();
    EXPECT_FALSE(tools.DeleteAction()->isEnabled());
    panel.List()->setCurrentRow(-1);
    tools.Choose(viewer::DrawingTool::kRectangle);
    ASSERT_EQ(panel.Rows().size(), 3u);
    EXPECT_EQ(window.ShownViewId(), panel.Rows()[2].id);
    EXPECT_EQ(panel.List()->currentRow(), 2);  // nothing else was selected
    EXPECT_TRUE(window.LockedForDrawing());
    EXPECT_TRUE(tools.Adding());
    EXPECT_TRUE(tools.Tool(viewer::DrawingTool::kRectangle)->isChecked());
    EXPECT_TRUE(tools.CancelAction()->isEnabled());
    ASSERT_TRUE(ProcessUntil([&] { return reddish(frame.width() / 2, 5); }));
    const QImage locked = frame.copy();
    const QPoint a(100, 80), b(260, 180);
    Drag(window.View(), a, b);
    ASSERT_TRUE(ProcessUntil([&] { return tools.Selected() >= 0; }));
    EXPECT_FALSE(tools.Adding());
    EXPECT_FALSE(tools.Tool(viewer::DrawingTool::kRectangle)->isChecked());
    ASSERT_TRUE(ProcessUntil([&] { return Difference(frame, locked) > 0.1; }));
    const auto changed = [&](int x, int y) {
        const QColor p = frame.pixelColor(x, y), q = locked.pixelColor(x, y);
        return std::abs(p.red() - q.red()) + std::abs(p.green() - q.green()) +
                   std::abs(p.blue() - q.blue()) >
               60;
    };
    EXPECT_TRUE(changed(a.x() + 40, a.y()));  // the top edge
    EXPECT_TRUE(changed(b.x(), b.y() - 30));  // the right edge
    EXPECT_FALSE(changed(a.x() - 20, a.y() + 40));
    EXPECT_FALSE(changed(b.x() + 20, b.y() + 20));
    ASSERT_TRUE(tools.DeleteAction()->isEnabled());
    tools.DeleteAction()->trigger();
    EXPECT_EQ(tools.Selected(), -1);
    ASSERT_TRUE(ProcessUntil([&] { return !changed(a.x() + 40, a.y()); }));

    // Deleting the view on show leaves it first; Remove counts from 0.
    panel.List()->setCurrentRow(2);
    Button(panel, "view-delete").click();
    EXPECT_EQ(window.ShownViewId(), -1);
    ASSERT_EQ(panel.Rows().size(), 2u);
    EXPECT_EQ(panel.Rows()[0].name, QStringLiteral("Hall"));
    panel.List()->setCurrentRow(0);
    Button(panel, "view-delete").click();
    ASSERT_EQ(panel.Rows().size(), 1u);
    EXPECT_EQ(panel.Rows()[0].id, first + 1);
    EXPECT_EQ(panel.List()->currentRow(), 0);
    window.close();
}
