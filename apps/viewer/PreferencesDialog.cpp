#include "viewer/PreferencesDialog.h"
#include "viewer/ViewerText.h"

#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>

#include "measure/Units.h"
#include "platform/Text.h"

using platform::Variant;

namespace viewer {

namespace {

// A "#rrggbb" field with a button that opens the colour chooser.
QWidget* ColourRow(QLineEdit*& field, QWidget* parent) {
    auto* row = new QWidget(parent);
    field = new QLineEdit(row);
    field->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("#[0-9A-Fa-f]{6}")), field));
    auto* pick = new QPushButton(QStringLiteral("Choose..."), row);
    QLineEdit* target = field;
    QObject::connect(pick, &QPushButton::clicked, row, [target, row] {
        const QColor c = QColorDialog::getColor(QColor(target->text()), row);
        if (c.isValid()) {
            target->setText(c.name(QColor::HexRgb));
        }
    });
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(field);
    layout->addWidget(pick);
    return row;
}

}  // namespace

PreferencesDialog::PreferencesDialog(Caller call, QWidget* parent)
    : QDialog(parent), call_(std::move(call)) {
    setWindowTitle(QStringLiteral("Preferences"));
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("Pen colour:"), ColourRow(penColor_, this));
    form->addRow(QStringLiteral("Fill colour:"), ColourRow(fillColor_, this));
    transparency_ = new QSpinBox(this);
    transparency_->setRange(0, 100);
    transparency_->setSuffix(QStringLiteral(" %"));
    form->addRow(QStringLiteral("Fill transparency:"), transparency_);
    lineWidth_ = new QDoubleSpinBox(this);
    lineWidth_->setRange(0.0, 100.0);
    lineWidth_->setDecimals(1);
    form->addRow(QStringLiteral("Line width:"), lineWidth_);
    fontSize_ = new QDoubleSpinBox(this);
    fontSize_->setRange(1.0, 200.0);
    fontSize_->setDecimals(1);
    form->addRow(QStringLiteral("Font size:"), fontSize_);
    unit_ = new QComboBox(this);
    using U = measure::Units;
    for (int code : {U::kMeters, U::kCentimeters, U::kMillimeters, U::kFeet, U::kInches,
                     U::kSurveyFeet, U::kSurveyInches, U::kYards}) {
        unit_->addItem(ToQt(U::UnitLabel(code)), code);
    }
    form->addRow(QStringLiteral("Default unit:"), unit_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        Apply();
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
    Read();
}

void PreferencesDialog::Read() {
    const auto text = [this](std::u16string_view name) {
        const auto v = call_(name, {});
        return v ? ToQt(v->StringValue()) : QString();
    };
    const auto number = [this](std::u16string_view name, std::vector<Variant> args,
                               double fallback) {
        const auto v = call_(name, std::move(args));
        double d = fallback;
        if (!v || platform::FAILED(v->ToDouble(d))) {
            d = fallback;
        }
        return d;
    };
    penColor_->setText(text(u"ShapeGetDefaultColor"));
    fillColor_->setText(text(u"ShapeGetDefaultFillColor"));
    transparency_->setValue(static_cast<int>(number(u"ShapeGetDefaultAlpha", {}, 0)));
    lineWidth_->setValue(number(u"ShapeGetDefaultLineWidth", {}, 2.0));
    fontSize_->setValue(number(u"ShapeGetDefaultFontSize", {Variant(std::int32_t{-1})}, 12.0));
    const int unit =
        static_cast<int>(number(u"ShapeGetDefaultUnit", {Variant(std::int32_t{-1})}, 0));
    const int index = unit_->findData(unit);
    unit_->setCurrentIndex(index >= 0 ? index : 0);
    read_ = Current();
}

PreferencesDialog::Values PreferencesDialog::Current() const {
    return Values{penColor_->text().toLower(), fillColor_->text().toLower(),
                  transparency_->value(),      lineWidth_->value(),
                  fontSize_->value(),          unit_->currentData().toInt()};
}

void PreferencesDialog::Apply() {
    const Values now = Current();
    const auto colour = [this](std::u16string_view name, const QLineEdit* field,
                               const QString& text, const QString& before) {
        if (text != before && field->hasAcceptableInput()) {
            call_(name, {Variant(platform::FromUtf8(text.toStdString()))});
        }
    };
    colour(u"ShapeSetDefaultColor", penColor_, now.pen, read_.pen);
    colour(u"ShapeSetDefaultFillColor", fillColor_, now.fill, read_.fill);
    if (now.transparency != read_.transparency) {
        call_(u"ShapeSetDefaultAlpha", {Variant(std::int32_t{now.transparency})});
    }
    if (now.lineWidth != read_.lineWidth) {
        call_(u"ShapeSetDefaultLineWidth", {Variant(now.lineWidth)});
    }
    if (now.fontSize != read_.fontSize) {
        call_(u"ShapeSetDefaultFontSize", {Variant(now.fontSize)});
    }
    if (now.unit != read_.unit) {
        call_(u"ShapeSetDefaultUnit", {Variant(std::int32_t{now.unit})});
    }
    read_ = now;
}

}  // namespace viewer
