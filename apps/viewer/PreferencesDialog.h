#pragma once
// The Preferences dialog of the desktop viewer: the drawing defaults a user
// may change (pen and fill colours, transparency, line width, font size,
// default unit). It reads and writes them through the control's automation
// members, exactly as a page would; the control keeps them in its per-user
// defaults file.

#include <QDialog>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/ComVariant.h"

class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QSpinBox;

namespace viewer {

class PreferencesDialog : public QDialog {
  public:
    // Calls a member by name; nothing when it is missing or failed.
    using Caller = std::function<std::optional<platform::Variant>(std::u16string_view,
                                                                  std::vector<platform::Variant>)>;

    PreferencesDialog(Caller call, QWidget* parent = nullptr);

    // Fills the fields from the control's defaults.
    void Read();
    // Hands the fields changed since Read() to the control (an unchanged
    // transparency is not sent again: the percentage is truncated and would
    // move the stored alpha). A colour text that is not "#rrggbb" leaves
    // that colour as it was.
    void Apply();

    QLineEdit* PenColor() const { return penColor_; }
    QLineEdit* FillColor() const { return fillColor_; }
    QSpinBox* Transparency() const { return transparency_; }
    QDoubleSpinBox* LineWidth() const { return lineWidth_; }
    QDoubleSpinBox* FontSize() const { return fontSize_; }
    QComboBox* Unit() const { return unit_; }

  private:
    struct Values {
        QString pen;
        QString fill;
        int transparency = 0;
        double lineWidth = 0.0;
        double fontSize = 0.0;
        int unit = 0;
    };
    Values Current() const;

    Caller call_;
    Values read_;
    QLineEdit* penColor_ = nullptr;
    QLineEdit* fillColor_ = nullptr;
    QSpinBox* transparency_ = nullptr;
    QDoubleSpinBox* lineWidth_ = nullptr;
    QDoubleSpinBox* fontSize_ = nullptr;
    QComboBox* unit_ = nullptr;
};

}  // namespace viewer
