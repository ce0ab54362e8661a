// The desktop's open-file and colour dialogs for the control (QtHostUi).
#include <QColor>
#include <QColorDialog>
#include <QFileDialog>
#include <QString>
#include <QWidget>

#include "viewer/QtHostUi.h"

namespace viewer {

namespace {

QString ToQt(const std::u16string& text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

std::u16string QtHostUi::OpenFileDialog(const FileDialog& dialog) {
    QFileDialog box(view_ ? view_->window() : nullptr, ToQt(dialog.title));
    box.setAcceptMode(QFileDialog::AcceptOpen);
    box.setFileMode(QFileDialog::ExistingFile);
    box.setNameFilter(ToQt(dialog.filterLabel + u" (" + dialog.pattern + u")"));
    if (!dialog.fileName.empty()) {
        box.selectFile(ToQt(dialog.fileName));
    }
    if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty()) {
        return {};
    }
    return box.selectedFiles().front().toStdU16String();
}

bool QtHostUi::ColorDialog(std::uint32_t& rgb, CustomColors& customColors) {
    // The dialog's custom colours are its own process-wide table; the
    // control's table is copied in and read back around each showing.
    for (int i = 0; i < static_cast<int>(customColors.size()) && i < QColorDialog::customCount();
         ++i) {
        QColorDialog::setCustomColor(i, QColor::fromRgb(customColors[i] & 0xFFFFFFu));
    }
    QColorDialog box(QColor::fromRgb(rgb & 0xFFFFFFu), view_ ? view_->window() : nullptr);
    const bool chosen = box.exec() == QDialog::Accepted;
    for (int i = 0; i < static_cast<int>(customColors.size()) && i < QColorDialog::customCount();
         ++i) {
        customColors[i] = QColorDialog::customColor(i).rgb() & 0xFFFFFFu;
    }
    if (chosen) {
        rgb = box.selectedColor().rgb() & 0xFFFFFFu;
    }
    return chosen;
}

}  // namespace viewer
