#include "viewer/HotlinkDialog.h"
#include "viewer/ViewerText.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace {

using viewer::ToQt;
QLineEdit* Field(const std::u16string& text, QWidget* parent) {
    auto* edit = new QLineEdit(ToQt(text), parent);
    edit->setMaxLength(static_cast<int>(HostUi::kHotlinkFieldLength));
    edit->setMinimumWidth(320);
    return edit;
}

}  // namespace

viewer::HotlinkDialog::HotlinkDialog(const HostUi::HotlinkFields& fields,
                                     const HostUi::HotlinkDialogTexts& texts, Accept accept,
                                     QWidget* parent)
    : QDialog(parent), texts_(texts), accept_(std::move(accept)) {
    setWindowTitle(ToQt(texts.title));
    setObjectName(QStringLiteral("hotlink-properties"));
    id_ = Field(fields.id, this);
    label_ = Field(fields.label, this);
    category_ = Field(fields.category, this);
    link_ = Field(fields.link, this);
    id_->setObjectName(QStringLiteral("id"));
    label_->setObjectName(QStringLiteral("label"));
    category_->setObjectName(QStringLiteral("category"));
    link_->setObjectName(QStringLiteral("link"));
    auto* browse = new QPushButton(QStringLiteral("..."), this);
    browse->setObjectName(QStringLiteral("browse"));
    connect(browse, &QPushButton::clicked, this, [this] { Browse(); });
    auto* linkRow = new QHBoxLayout;
    linkRow->addWidget(link_);
    linkRow->addWidget(browse);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Tag/Index:"), id_);
    form->addRow(QStringLiteral("Label:"), label_);
    form->addRow(QStringLiteral("Category:"), category_);
    form->addRow(QStringLiteral("Link:"), linkRow);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

HostUi::HotlinkFields viewer::HotlinkDialog::Fields() const {
    return {id_->text().toStdU16String(), label_->text().toStdU16String(),
            category_->text().toStdU16String(), link_->text().toStdU16String()};
}

void viewer::HotlinkDialog::SetFields(const HostUi::HotlinkFields& fields) {
    id_->setText(ToQt(fields.id));
    label_->setText(ToQt(fields.label));
    category_->setText(ToQt(fields.category));
    link_->setText(ToQt(fields.link));
}

void viewer::HotlinkDialog::accept() {
    HostUi::HotlinkFields fields = Fields();
    if (accept_ && !accept_(fields)) {
        return;  // stays open
    }
    SetFields(fields);
    QDialog::accept();
}

void viewer::HotlinkDialog::Browse() {
    // The filter's label without its Windows pattern: every file matches.
    const QString label = ToQt(texts_.browseFilterLabel).section(QLatin1Char('('), 0, 0).trimmed();
    const QString file = QFileDialog::getOpenFileName(this, ToQt(texts_.browseTitle), QString(),
                                                      label + QStringLiteral(" (*)"));
    if (!file.isEmpty()) {
        link_->setText(file);
    }
}
