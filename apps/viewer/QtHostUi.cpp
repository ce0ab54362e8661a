#include "viewer/QtHostUi.h"
#include "viewer/ViewerText.h"

#include "viewer/HotlinkDialog.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QMetaObject>
#include <QRect>
#include <QString>
#include <QThread>
#include <QToolTip>
#include <QWidget>
#include <algorithm>

namespace viewer {

namespace {}  // namespace

QtHostUi::QtHostUi(QWidget* view) : view_(view) {}

QtHostUi::~QtHostUi() {
    DismissAll();
}

QMessageBox::StandardButtons QtHostUi::Buttons(unsigned type) {
    switch (type & kButtonMask) {
        case kOkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case kYesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case kYesNo:
            return QMessageBox::Yes | QMessageBox::No;
        default:
            return QMessageBox::Ok;
    }
}

QMessageBox::Icon QtHostUi::Icon(unsigned type) {
    switch (type & 0xF0u) {
        case kIconError:
            return QMessageBox::Critical;
        case kIconQuestion:
            return QMessageBox::Question;
        case kIconWarning:
            return QMessageBox::Warning;
        case kIconInformation:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

int QtHostUi::Answer(QMessageBox::StandardButton button, unsigned type) {
    switch (button) {
        case QMessageBox::Ok:
            return kIdOk;
        case QMessageBox::Cancel:
            return kIdCancel;
        case QMessageBox::Yes:
            return kIdYes;
        case QMessageBox::No:
            return kIdNo;
        default:
            // Closed by the window manager or Escape without a Cancel button.
            return DismissedAnswer(type);
    }
}

int QtHostUi::DismissedAnswer(unsigned type) {
    switch (type & kButtonMask) {
        case kOkCancel:
        case kYesNoCancel:
            return kIdCancel;
        case kYesNo:
            return kIdNo;
        default:
            return kIdOk;
    }
}

QMenu* QtHostUi::BuildMenu(const std::vector<MenuItem>& items, QWidget* parent) {
    auto* menu = new QMenu(parent);
    for (const MenuItem& item : items) {
        if (item.separator) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(ToQt(item.label));
        action->setData(item.command);
        action->setEnabled(!item.grayed);
    }
    return menu;
}

Qt::CursorShape QtHostUi::CursorShape(Cursor cursor) {
    switch (cursor) {
        case Cursor::kHand:
            return Qt::PointingHandCursor;
        case Cursor::kSizeNS:
            return Qt::SizeVerCursor;
        case Cursor::kCross:
            return Qt::CrossCursor;
        case Cursor::kHidden:
            return Qt::BlankCursor;
        case Cursor::kArrow:
        default:
            return Qt::ArrowCursor;
    }
}

int QtHostUi::ShowBox(const std::u16string& text, const std::u16string& caption, unsigned type) {
    QWidget* parent = view_ ? view_->window() : nullptr;
    QMessageBox box(Icon(type), ToQt(caption), ToQt(text), Buttons(type), parent);
    const QMessageBox::StandardButton first =
        FirstButton(type) == kIdYes ? QMessageBox::Yes : QMessageBox::Ok;
    box.setDefaultButton(first);
    box.exec();
    return Answer(box.standardButton(box.clickedButton()), type);
}

int QtHostUi::MessageBox(const std::u16string& text, const std::u16string& caption, unsigned type) {
    if (QThread::currentThread() == thread()) {
        return ShowBox(text, caption, type);
    }
    auto pending = std::make_shared<Pending>();
    pending->type = type;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (dismissers_ > 0) {
            return DismissedAnswer(type);
        }
        pending_.push_back(pending);
    }
    QMetaObject::invokeMethod(
        this,
        [this, pending, text, caption, type] {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                if (pending->done) {
                    return;  // dismissed before its turn came
                }
            }
            Complete(pending, ShowBox(text, caption, type));
        },
        Qt::QueuedConnection);
    std::unique_lock<std::mutex> lock(mutex_);
    answered_.wait(lock, [&] { return pending->done; });
    return pending->answer;
}

void QtHostUi::Complete(const std::shared_ptr<Pending>& pending, int answer) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!pending->done) {
        pending->done = true;
        pending->answer = answer;
    }
    pending_.erase(std::remove(pending_.begin(), pending_.end(), pending), pending_.end());
    answered_.notify_all();
}

void QtHostUi::DismissAll() {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& pending : pending_) {
        pending->done = true;
        pending->answer = DismissedAnswer(pending->type);
    }
    pending_.clear();
    answered_.notify_all();
}

QtHostUi::Dismisser::Dismisser(QtHostUi& ui) : ui_(ui) {
    {
        std::lock_guard<std::mutex> lock(ui_.mutex_);
        ++ui_.dismissers_;
    }
    ui_.DismissAll();
}

QtHostUi::Dismisser::~Dismisser() {
    std::lock_guard<std::mutex> lock(ui_.mutex_);
    --ui_.dismissers_;
}

int QtHostUi::PopupMenu(const std::vector<MenuItem>& items, int x, int y) {
    if (!view_ || items.empty()) {
        return 0;
    }
    std::unique_ptr<QMenu> menu(BuildMenu(items, view_));
    const QAction* chosen = menu->exec(view_->mapToGlobal(QPoint(x, y)));
    if (chosen == nullptr || chosen->isSeparator() || !chosen->isEnabled()) {
        return 0;
    }
    return chosen->data().toInt();
}

void QtHostUi::SetCursor(Cursor cursor) {
    if (view_) {
        view_->setCursor(CursorShape(cursor));
    }
}

void QtHostUi::CaptureMouse(bool capture) {
    if (!view_) {
        return;
    }
    if (capture) {
        if (view_->isVisible()) {
            view_->grabMouse();
        }
    } else if (QWidget::mouseGrabber() == view_) {
        view_->releaseMouse();
    }
}

std::u16string QtHostUi::SaveFileDialog(const FileDialog& dialog) {
    QFileDialog box(view_ ? view_->window() : nullptr, ToQt(dialog.title));
    box.setAcceptMode(QFileDialog::AcceptSave);
    box.setNameFilter(ToQt(dialog.filterLabel + u" (" + dialog.pattern + u")"));
    box.setDefaultSuffix(ToQt(dialog.defaultExtension));
    if (!dialog.fileName.empty()) {
        box.selectFile(ToQt(dialog.fileName));
    }
    if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty()) {
        return {};
    }
    return box.selectedFiles().front().toStdU16String();
}

std::u16string QtHostUi::OpenFileDialog(const FileDialog& dialog) {
    QFileDialog box(view_ ? view_->window() : nullptr, ToQt(dialog.title));
    box.setAcceptMode(QFileDialog::AcceptOpen);
    box.setFileMode(QFileDialog::ExistingFile);
    box.setNameFilter(ToQt(dialog.filterLabel + u" (" + dialog.pattern + u")"));
    if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty()) {
        return {};
    }
    return box.selectedFiles().front().toStdU16String();
}

bool QtHostUi::HotlinkDialog(HotlinkFields& fields, const HotlinkDialogTexts& texts,
                             const std::function<bool(HotlinkFields&)>& accept) {
    viewer::HotlinkDialog box(fields, texts, accept, view_ ? view_->window() : nullptr);
    if (box.exec() != QDialog::Accepted) {
        return false;
    }
    fields = box.Fields();
    return true;
}

bool QtHostUi::PrintDialog(PrintTarget& target) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Panora Document"));
    QPrintDialog box(&printer, view_ ? view_->window() : nullptr);
    box.setOption(QAbstractPrintDialog::PrintPageRange, false);
    box.setOption(QAbstractPrintDialog::PrintCollateCopies, false);
    if (box.exec() != QDialog::Accepted) {
        return false;
    }
    const QRect page = printer.pageLayout().fullRectPixels(printer.resolution());
    target.pageWidth = page.width();
    target.pageHeight = page.height();
    target.dotsPerInch = printer.resolution();
    pendingPrinter_.clear();
    pendingPdf_.clear();
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
        target.pdfPath = printer.outputFileName().toStdU16String();
        return true;
    }
    printDir_ = std::make_unique<QTemporaryDir>();
    if (!printDir_->isValid()) {
        return false;
    }
    pendingPrinter_ = printer.printerName();
    pendingPdf_ = printDir_->filePath(QStringLiteral("Panora Document.pdf"));
    target.pdfPath = pendingPdf_.toStdU16String();
    return true;
}

QString QtHostUi::FinishPrint(bool printed) {
    QString problem;
    if (printed && !pendingPdf_.isEmpty()) {
        QProcess lp;
        lp.start(QStringLiteral("lp"), {QStringLiteral("-d"), pendingPrinter_, QStringLiteral("-t"),
                                        QStringLiteral("Panora Document"), pendingPdf_});
        if (!lp.waitForFinished(30000) || lp.exitStatus() != QProcess::NormalExit ||
            lp.exitCode() != 0) {
            problem = QStringLiteral("The page could not be sent to the printer %1 (lp: %2).")
                          .arg(pendingPrinter_,
                               lp.error() == QProcess::FailedToStart
                                   ? QStringLiteral("the CUPS client is not installed")
                                   : QString::fromLocal8Bit(lp.readAllStandardError()).trimmed());
        }
    }
    pendingPrinter_.clear();
    pendingPdf_.clear();
    printDir_.reset();
    return problem;
}

}  // namespace viewer

namespace viewer {

std::u16string QtHostUi::ClipboardText() {
    const QString text = QGuiApplication::clipboard()->text();
    return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()),
                          static_cast<std::size_t>(text.size()));
}

void QtHostUi::SetClipboardText(const std::u16string& text) {
    QGuiApplication::clipboard()->setText(ToQt(text));
}

void QtHostUi::ShowTooltip(const std::u16string& text, const Rect& box) {
    if (view_.isNull()) {
        return;
    }
    const QRect rect(box.x, box.y, box.width, box.height);
    QToolTip::showText(view_->mapToGlobal(rect.center()), ToQt(text), view_.data(), rect);
}

void QtHostUi::HideTooltip() {
    QToolTip::hideText();
}

}  // namespace viewer
