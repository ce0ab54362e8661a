// The desktop viewer's markup file: the station's auto-saved markup read
// when it opens and written when it closes, and File > Save markup... /
// Open markup....
#include <filesystem>

#include "control/SX_Control.h"
#include "persist/MarkupFile.h"
#include "platform/Text.h"
#include "station/SX_PanoramaDataSet.h"
#include "viewer/QtHostUi.h"
#include "viewer/ViewerText.h"
#include "viewer/ViewerWindow.h"

namespace viewer {

using platform::Variant;

void ViewerWindow::RestoreMarkup() {
    // Once per station, as soon as its views can be made: the station's
    // auto-saved markup (LoadMarks reads it for identifiers of more than 16
    // characters whatever the name given).
    if (markupRestored_ || currentSrc_.empty() || !control_->ViewsReady()) {
        return;
    }
    markupRestored_ = true;
    // A station opened for the first time has no such file: asking for it
    // would put a load error on the view's error panel.
    const std::u16string id = control_->DataSet().UniqueId();
    const std::u16string local = persist::AutoSavePath(id);
    if (id.size() > 16 && !local.empty() &&
        std::filesystem::exists(std::filesystem::path(platform::ToUtf8(local)))) {
        Call(u"LoadMarks", {Variant(std::u16string()), Variant(false)});
    }
}

void ViewerWindow::AutoSaveMarkup() {
    // Only over a file that was read first, so an early close never
    // replaces the saved views by none.
    if (markupRestored_) {
        Call(u"SaveMarkup");
    }
}

void ViewerWindow::SaveMarkupAs() {
    const std::u16string path =
        ui_->SaveFileDialog({u"Save markup", u"Markup files", u"*.xml", u"xml"});
    if (!path.empty()) {
        Call(u"SaveMarks", {Variant(path)});  // the control confirms with its box
    }
}

void ViewerWindow::OpenMarkup() {
    const std::u16string path =
        ui_->OpenFileDialog({u"Open markup", u"Markup files", u"*.xml", u"xml"});
    if (path.empty()) {
        return;
    }
    // Files of another station, or no markup at all, are refused here; the
    // control reports unreadable files itself (error list and box).
    const std::int32_t kind = CallInt(u"CheckMarkupFile", {Variant(path)});
    if (kind == -1 || kind == -2) {
        QMessageBox::warning(this, QStringLiteral("Open markup"),
                             (kind == -1 ? QStringLiteral("%1 holds the markup of another station.")
                                         : QStringLiteral("%1 is not a markup file."))
                                 .arg(ToQt(path)));
        return;
    }
    Call(u"LoadMarks", {Variant(path), Variant(true)});
    Redraw();
}

}  // namespace viewer
