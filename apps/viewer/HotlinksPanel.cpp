#include "viewer/HotlinksPanel.h"
#include "viewer/ViewerText.h"

#include <QComboBox>
#include <QHeaderView>
#include <QPointer>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "host/HostUi.h"
#include "host/SX_EventIds.h"
#include "viewer/HotlinkDialog.h"

using platform::Variant;

namespace {

constexpr int kIdRole = Qt::UserRole;
constexpr int kCategoryRole = Qt::UserRole + 1;
constexpr int kIndexRole = Qt::UserRole + 2;

using viewer::ToQt;
std::u16string Text(const std::optional<Variant>& v) {
    std::u16string text;
    if (v) {
        v->ToString(text);
    }
    return text;
}

std::u16string Property(const platform::ComPtr<platform::Dispatchable>& object,
                        std::u16string_view name) {
    platform::InvokeResult r;
    if (!object ||
        platform::FAILED(object->InvokeByName(name, platform::DispatchKind::PropertyGet, {}, r))) {
        return {};
    }
    return Text(r.retval);
}

// The dialog's blanks filled in as the control fills them.
bool FillBlanks(HostUi::HotlinkFields& f) {
    const auto blank = [](const std::u16string& s) {
        return s.find_first_not_of(u" \t") == std::u16string::npos;
    };
    if (!blank(f.label) && blank(f.id)) {
        f.id = f.label;
    }
    if (blank(f.label)) {
        f.label = f.id;
    }
    if (blank(f.category)) {
        f.category = u"Misc";
    }
    return true;
}

HostUi::HotlinkDialogTexts Texts() {
    return {u"Hotlink Properties", u"Choose file to link", u"All Files (*.*)", u"*.*"};
}

}  // namespace

viewer::HotlinksPanel::HotlinksPanel(platform::ConnectionPoint& events, Caller call,
                                     QWidget* parent)
    : QDockWidget(QStringLiteral("Hotlinks"), parent), call_(std::move(call)) {
    setObjectName(QStringLiteral("hotlinks"));
    auto* panel = new QWidget(this);
    auto* bar = new QToolBar(panel);
    QAction* addPick = bar->addAction(QStringLiteral("Add at pick"));
    addPick->setToolTip(QStringLiteral("A hotlink at the point last picked in Measure mode"));
    connect(addPick, &QAction::triggered, this, [this] { AddAtPick(); });
    connect(bar->addAction(QStringLiteral("Edit...")), &QAction::triggered, this,
            [this] { EditSelected(); });
    connect(bar->addAction(QStringLiteral("Delete")), &QAction::triggered, this,
            [this] { DeleteSelected(); });
    show_ = new QComboBox(panel);
    show_->setObjectName(QStringLiteral("show"));
    show_->addItem(QStringLiteral("All"));
    connect(show_, &QComboBox::textActivated, this,
            [this](const QString& category) { ShowCategory(category); });
    tree_ = new QTreeWidget(panel);
    tree_->setColumnCount(2);
    tree_->setHeaderLabels({QStringLiteral("Label"), QStringLiteral("Link")});
    tree_->header()->setStretchLastSection(true);
    tree_->setToolTip(QStringLiteral("Double-click edits a hotlink"));
    connect(tree_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        tree_->setCurrentItem(item);
        EditSelected();
    });
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(bar);
    layout->addWidget(show_);
    layout->addWidget(tree_);
    setWidget(panel);

    // The sink outlives this panel (the control goes after its window's
    // children), so it only looks through a guarded pointer.
    QPointer<HotlinksPanel> self(this);
    events.Advise([self](platform::DISPID id, const std::vector<Variant>& args) {
        if (self) {
            self->OnEvent(id, args);
        }
        return platform::S_OK;
    });
}

void viewer::HotlinksPanel::OnEvent(platform::DISPID id, const std::vector<Variant>& args) {
    switch (id) {
        case SX_ControlEvents::kPointPicked:
            if (args.size() >= 3) {
                pick_ = Point{args[0].DoubleValue(), args[1].DoubleValue(), args[2].DoubleValue()};
            }
            break;
        case SX_ControlEvents::kHotlinkAdded:
        case SX_ControlEvents::kHotlinkRemoved:
        case SX_ControlEvents::kHotlinkChanged:
            // Read after the call that fired the event has returned.
            if (!refreshQueued_) {
                refreshQueued_ = true;
                QTimer::singleShot(0, this, [this] { Refresh(); });
            }
            break;
        default:
            break;
    }
}

void viewer::HotlinksPanel::Refresh() {
    refreshQueued_ = false;
    const QString shown = show_->currentText();
    tree_->clear();
    show_->clear();
    show_->addItem(QStringLiteral("All"));
    const std::int32_t categories = call_(u"GetCategoryCount", {}).value_or(Variant()).Int32Value();
    for (std::int32_t c = 0; c < categories; ++c) {
        const std::u16string name = Text(call_(u"GetNextCategory", {Variant(c)}));
        show_->addItem(ToQt(name));
        auto* top = new QTreeWidgetItem(tree_, {ToQt(name)});
        top->setExpanded(true);
        const std::int32_t count =
            call_(u"GetHotlinksCount", {Variant(name)}).value_or(Variant()).Int32Value();
        for (std::int32_t i = 0; i < count; ++i) {
            const auto h = call_(u"GetNextHotlink", {Variant(name), Variant(i)});
            if (!h) {
                continue;
            }
            const auto object = h->ObjectValue();
            auto* row = new QTreeWidgetItem(
                top, {ToQt(Property(object, u"Label")), ToQt(Property(object, u"Link"))});
            row->setData(0, kIdRole, ToQt(Property(object, u"UniqueIdForApp")));
            row->setData(0, kCategoryRole, ToQt(name));
            row->setData(0, kIndexRole, i);
        }
    }
    tree_->expandAll();
    const int keep = show_->findText(shown);
    show_->setCurrentIndex(keep >= 0 ? keep : 0);
}

platform::ComPtr<platform::Dispatchable> viewer::HotlinksPanel::HotlinkOf(QTreeWidgetItem* item) {
    if (item == nullptr || !item->data(0, kIdRole).isValid()) {
        return nullptr;
    }
    const auto h =
        call_(u"GetNextHotlink", {Variant(item->data(0, kCategoryRole).toString().toStdU16String()),
                                  Variant(std::int32_t{item->data(0, kIndexRole).toInt()})});
    return h ? h->ObjectValue() : nullptr;
}

void viewer::HotlinksPanel::AddAtPick() {
    if (!pick_) {
        return;
    }
    call_(u"HotlinkMark3D", {Variant(pick_->x), Variant(pick_->y), Variant(pick_->z),
                             Variant(std::int32_t{-1}), Variant(u"")});
    // The control's own redraw ran under the dialog's event loop, whose
    // frame the window may not have taken.
    call_(u"Redraw", {});
}

void viewer::HotlinksPanel::EditSelected() {
    const auto h = HotlinkOf(tree_->currentItem());
    if (!h) {
        return;
    }
    const HostUi::HotlinkFields old{Property(h, u"UniqueIdForApp"), Property(h, u"Label"),
                                    Property(h, u"Category"), Property(h, u"Link")};
    HotlinkDialog box(old, Texts(), FillBlanks, window());
    if (box.exec() != QDialog::Accepted) {
        return;
    }
    const HostUi::HotlinkFields f = box.Fields();
    call_(u"EditHotlink",
          {Variant(old.id), Variant(f.id), Variant(f.link), Variant(f.label), Variant(f.category)});
}

void viewer::HotlinksPanel::DeleteSelected() {
    QTreeWidgetItem* item = tree_->currentItem();
    if (item == nullptr || !item->data(0, kIdRole).isValid()) {
        return;
    }
    call_(u"RemoveHotlink", {Variant(item->data(0, kIdRole).toString().toStdU16String())});
    call_(u"Redraw", {});
}

void viewer::HotlinksPanel::ShowCategory(const QString& category) {
    call_(u"DisplaySelectedHotlinks", {Variant(category.toStdU16String())});
}
