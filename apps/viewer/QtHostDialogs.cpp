// The desktop's colour dialog for the control (QtHostUi).
#include <QColor>
#include <QColorDialog>
#include <QWidget>

#include "viewer/QtHostUi.h"

namespace viewer {

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
