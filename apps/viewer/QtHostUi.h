#pragma once
// The control's host services on the desktop, with Qt widgets.
//
// - Message boxes: a QMessageBox with the caption, text, buttons and icon of
//   the HostUi type, answering the HostUi button ids. A box asked for on
//   another thread (the loader shows the data-version warnings) is queued to
//   the GUI thread, and the asking thread waits for the answer there. Unlike
//   a plain blocking invocation, that wait can be ended: while a Dismisser
//   lives (the GUI thread is about to wait for the loader, when a load is
//   stopped or the viewer closes) every box not yet answered, and every box
//   asked for meanwhile, gets the dismissed answer (No for Yes/No, Cancel
//   where there is one, else OK) without being shown.
// - Popup menus: a QMenu at the pointer; grayed items are disabled;
//   separators; the chosen command, or 0 when the menu was dismissed.
// - Cursors on the view widget: arrow, pointing hand, vertical sizing,
//   cross, blank.
// - Mouse capture: the view widget grabs the mouse, and lets it go.
// - Clipboard: the application clipboard's text.
// - Tooltips: QToolTip over the box, in the view's pixels.

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

#include "host/HostUi.h"

class QMenu;
class QTemporaryDir;
class QWidget;

namespace viewer {

class QtHostUi final : public QObject, public HostUi {
  public:
    // `view` shows the control's frames: menus are placed in its pixels,
    // cursors and the capture apply to it, boxes are its window's children.
    // Construct on the GUI thread.
    explicit QtHostUi(QWidget* view);
    ~QtHostUi() override;

    int MessageBox(const std::u16string& text, const std::u16string& caption,
                   unsigned type) override;
    int PopupMenu(const std::vector<MenuItem>& items, int x, int y) override;
    void SetCursor(Cursor cursor) override;
    void CaptureMouse(bool capture) override;
    std::u16string ClipboardText() override;
    void SetClipboardText(const std::u16string& text) override;
    void ShowTooltip(const std::u16string& text, const Rect& box) override;
    void HideTooltip() override;
    // The desktop's save dialog, a child of the view's window; a name without
    // an extension gets the default one.
    std::u16string SaveFileDialog(const FileDialog& dialog) override;
    // The desktop's print dialog; the page is measured in the printer's
    // device pixels. "Print to file" names the PDF the control writes; a
    // printer gets a temporary PDF that FinishPrint hands to CUPS.
    bool PrintDialog(PrintTarget& target) override;
    // After the control printed: sends a printer's page to CUPS (lp) and
    // removes the temporary file. An empty text on success or when nothing
    // was pending, else what went wrong.
    QString FinishPrint(bool printed);

    // While one lives, boxes from other threads are answered as dismissed.
    class Dismisser {
      public:
        explicit Dismisser(QtHostUi& ui);
        ~Dismisser();
        Dismisser(const Dismisser&) = delete;
        Dismisser& operator=(const Dismisser&) = delete;

      private:
        QtHostUi& ui_;
    };

    // The pieces, for tests.
    static QMessageBox::StandardButtons Buttons(unsigned type);
    static QMessageBox::Icon Icon(unsigned type);
    static int Answer(QMessageBox::StandardButton button, unsigned type);
    static int DismissedAnswer(unsigned type);
    // Actions carry their command in data(); separators have none.
    static QMenu* BuildMenu(const std::vector<MenuItem>& items, QWidget* parent);
    static Qt::CursorShape CursorShape(Cursor cursor);

  private:
    QString pendingPrinter_;
    QString pendingPdf_;
    std::unique_ptr<QTemporaryDir> printDir_;
    struct Pending {
        unsigned type = 0;
        bool done = false;
        int answer = 0;
    };

    int ShowBox(const std::u16string& text, const std::u16string& caption, unsigned type);
    void Complete(const std::shared_ptr<Pending>& pending, int answer);
    void DismissAll();

    QPointer<QWidget> view_;
    std::mutex mutex_;
    std::condition_variable answered_;
    std::vector<std::shared_ptr<Pending>> pending_;  // guarded by mutex_
    int dismissers_ = 0;                             // guarded by mutex_
};

}  // namespace viewer
