#include "viewer/ViewsPanel.h"

#include <QGridLayout>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace viewer {

ViewsPanel::ViewsPanel(ViewsClient& client, QWidget* parent)
    : QDockWidget(QStringLiteral("Views"), parent), client_(client) {
    setObjectName(QStringLiteral("views"));
    auto* panel = new QWidget(this);
    list_ = new QListWidget(panel);
    list_->setObjectName(QStringLiteral("view-list"));
    list_->setToolTip(QStringLiteral("Saved views; double-click applies one"));

    const auto button = [panel](const QString& text, const char* name, const QString& tip) {
        auto* b = new QPushButton(text, panel);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(tip);
        return b;
    };
    save_ = button(QStringLiteral("Save current view"), "view-save",
                   QStringLiteral("Adds a view of the camera's direction"));
    apply_ = button(QStringLiteral("Apply"), "view-apply",
                    QStringLiteral("Shows the view's still image with its drawings"));
    draw_ = button(QStringLiteral("Draw"), "view-draw",
                   QStringLiteral("Shows the view locked for drawing"));
    unlock_ =
        button(QStringLiteral("Unlock"), "view-unlock", QStringLiteral("Back to the live view"));
    rename_ = button(QStringLiteral("Rename..."), "view-rename", QString());
    delete_ = button(QStringLiteral("Delete"), "view-delete", QString());

    auto* buttons = new QGridLayout;
    buttons->addWidget(save_, 0, 0, 1, 2);
    buttons->addWidget(apply_, 1, 0);
    buttons->addWidget(draw_, 1, 1);
    buttons->addWidget(unlock_, 2, 0);
    buttons->addWidget(rename_, 2, 1);
    buttons->addWidget(delete_, 3, 0);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(list_);
    layout->addLayout(buttons);
    setWidget(panel);

    connect(save_, &QPushButton::clicked, this, [this] { SaveCurrentView(); });
    connect(apply_, &QPushButton::clicked, this, [this] { ApplySelected(false); });
    connect(draw_, &QPushButton::clicked, this, [this] { ApplySelected(true); });
    connect(unlock_, &QPushButton::clicked, this, [this] { Unlock(); });
    connect(rename_, &QPushButton::clicked, this, [this] { RenameSelected(); });
    connect(delete_, &QPushButton::clicked, this, [this] { DeleteSelected(); });
    connect(list_, &QListWidget::currentRowChanged, this, [this] { UpdateButtons(); });
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] { ApplySelected(false); });

    askName_ = [this](const QString& current) -> std::optional<QString> {
        bool ok = false;
        const QString name = QInputDialog::getText(this, QStringLiteral("Rename view"),
                                                   QStringLiteral("Name of the view:"),
                                                   QLineEdit::Normal, current, &ok);
        return ok ? std::optional<QString>(name) : std::nullopt;
    };
    UpdateButtons();
}

void ViewsPanel::Refresh() {
    const int row = SelectedRow();
    const std::int32_t selectedId = row >= 0 ? rows_[static_cast<std::size_t>(row)].id : -1;
    rows_ = client_.List();
    list_->clear();
    int select = -1;
    int shownRow = -1;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const ViewInfo& v = rows_[i];
        QString text = v.name;
        const bool shown = v.id == shownId_;
        if (shown) {
            text += locked_ ? QStringLiteral("  [drawing]") : QStringLiteral("  [shown]");
        }
        auto* item = new QListWidgetItem(text, list_);
        item->setData(Qt::UserRole, v.id);
        item->setToolTip(QStringLiteral("azimuth %1°, altitude %2°, field of view %3°")
                             .arg(v.azimuth, 0, 'f', 1)
                             .arg(v.latitude, 0, 'f', 1)
                             .arg(v.aperture, 0, 'f', 1));
        QFont font = item->font();
        font.setBold(shown);
        item->setFont(font);
        if (v.id == selectedId) {
            select = static_cast<int>(i);
        }
        if (shown) {
            shownRow = static_cast<int>(i);
        }
    }
    // With nothing selected the view on show is (a drawing tool may have
    // just saved it).
    list_->setCurrentRow(select >= 0 ? select : shownRow);
    UpdateButtons();
}

void ViewsPanel::SetShown(std::int32_t id, bool locked) {
    if (id == shownId_ && locked == locked_) {
        return;
    }
    shownId_ = id;
    locked_ = locked;
    Refresh();
}

void ViewsPanel::Clear() {
    rows_.clear();
    list_->clear();
    shownId_ = -1;
    locked_ = false;
    UpdateButtons();
}

void ViewsPanel::SaveCurrentView() {
    const ViewRef view = client_.Capture();
    if (!view) {
        Say(QStringLiteral("No station is shown: there is no view to save"));
        return;
    }
    client_.Add(view);  // ViewAdded refreshes the list
    Refresh();
    list_->setCurrentRow(list_->count() - 1);
}

void ViewsPanel::ApplySelected(bool lockForDrawing) {
    const int row = SelectedRow();
    if (row < 0) {
        return;
    }
    if (!client_.Apply(rows_[static_cast<std::size_t>(row)].view, lockForDrawing)) {
        Say(QStringLiteral("The view could not be applied"));
    }
    ViewChanged();
}

void ViewsPanel::Unlock() {
    client_.Unlock();
    ViewChanged();
}

void ViewsPanel::RenameSelected() {
    const int row = SelectedRow();
    if (row < 0 || !askName_) {
        return;
    }
    // A copy: the dialog's own event loop may read the list again.
    const ViewInfo v = rows_[static_cast<std::size_t>(row)];
    const std::optional<QString> name = askName_(v.name);
    if (!name || name->isEmpty() || *name == v.name) {
        return;
    }
    client_.Rename(v.view, *name);
    Refresh();
}

void ViewsPanel::DeleteSelected() {
    const int row = SelectedRow();
    if (row < 0) {
        return;
    }
    const ViewRef shown = client_.Current();
    if (shown && shown.Get() == rows_[static_cast<std::size_t>(row)].view.Get()) {
        // A view that is gone from the collection cannot be left through it.
        client_.Unlock();
        ViewChanged();
    }
    if (!client_.Remove(row)) {
        Say(QStringLiteral("The view could not be deleted"));
    }
    Refresh();
    list_->setCurrentRow(std::min(row, list_->count() - 1));
}

int ViewsPanel::SelectedRow() const {
    const int row = list_->currentRow();
    return row >= 0 && row < static_cast<int>(rows_.size()) ? row : -1;
}

void ViewsPanel::UpdateButtons() {
    const bool selected = SelectedRow() >= 0;
    for (QPushButton* b : {apply_, draw_, rename_, delete_}) {
        b->setEnabled(selected);
    }
    unlock_->setEnabled(shownId_ >= 0);
}

void ViewsPanel::ViewChanged() {
    if (onViewChanged) {
        onViewChanged();
    }
}

void ViewsPanel::Say(const QString& message) {
    if (onMessage) {
        onMessage(message);
    }
}

}  // namespace viewer
