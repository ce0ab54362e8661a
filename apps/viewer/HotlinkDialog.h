#pragma once
// The "Hotlink Properties" dialog on the desktop: Tag/Index, Label, Category
// and Link fields (at most 259 characters each) and a "..." button beside
// Link that chooses a file for it. OK hands the fields to the accept check
// (the control's: blanks filled in, the link warning); a refusal keeps the
// dialog open.

#include <QDialog>
#include <functional>

#include "host/HostUi.h"

class QLineEdit;

namespace viewer {

class HotlinkDialog : public QDialog {
  public:
    using Accept = std::function<bool(HostUi::HotlinkFields&)>;

    HotlinkDialog(const HostUi::HotlinkFields& fields, const HostUi::HotlinkDialogTexts& texts,
                  Accept accept, QWidget* parent = nullptr);

    HostUi::HotlinkFields Fields() const;
    void SetFields(const HostUi::HotlinkFields& fields);

    void accept() override;

  private:
    void Browse();

    HostUi::HotlinkDialogTexts texts_;
    Accept accept_;
    QLineEdit* id_ = nullptr;
    QLineEdit* label_ = nullptr;
    QLineEdit* category_ = nullptr;
    QLineEdit* link_ = nullptr;
};

}  // namespace viewer
