#include "viewer/MarkupTools.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QToolBar>
#include <QWidget>

#include "host/SX_EventIds.h"

namespace viewer {

namespace {

std::int32_t ArgInt(const std::vector<platform::Variant>& args, std::int32_t fallback) {
    std::int32_t value = fallback;
    if (args.empty() || platform::FAILED(args[0].ToInt32(value))) {
        return fallback;
    }
    return value;
}

}  // namespace

MarkupTools::MarkupTools(ViewsClient& client, QWidget* window) : QObject(window), client_(client) {
    group_ = new QActionGroup(this);
    group_->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    const struct {
        DrawingTool tool;
        const char* text;
        const char* tip;
    } kTools[] = {
        {DrawingTool::kRectangle, "Rectangle", "Drag out a rectangle"},
        {DrawingTool::kCircle, "Circle", "Drag out a circle"},
        {DrawingTool::kLine, "Line", "Drag out a line"},
        {DrawingTool::kText, "Text", "Click where the text goes, then type it"},
        {DrawingTool::kDistance, "Distance", "Two clicks measure the distance between them"},
        {DrawingTool::kPosition, "Position", "A click shows the 3D position there"},
    };
    for (const auto& t : kTools) {
        auto* action = new QAction(QString::fromLatin1(t.text), this);
        action->setToolTip(QString::fromLatin1(t.tip));
        action->setCheckable(true);
        group_->addAction(action);
        const DrawingTool tool = t.tool;
        connect(action, &QAction::triggered, this, [this, tool] { Choose(tool); });
        tools_[static_cast<std::size_t>(tool)] = action;
    }
    delete_ = new QAction(QStringLiteral("Delete drawing"), this);
    delete_->setShortcut(QKeySequence::Delete);
    connect(delete_, &QAction::triggered, this, [this] { DeleteSelected(); });
    cancel_ = new QAction(QStringLiteral("Cancel drawing"), this);
    cancel_->setShortcut(QKeySequence(Qt::Key_Escape));
    connect(cancel_, &QAction::triggered, this, [this] { CancelAdd(); });
    // The shortcuts work wherever the window has the focus.
    window->addAction(delete_);
    window->addAction(cancel_);
    UpdateActions();
}

void MarkupTools::AddTo(QMenu& menu, QToolBar& bar) const {
    for (QAction* action : tools_) {
        menu.addAction(action);
        bar.addAction(action);
    }
    menu.addSeparator();
    menu.addAction(delete_);
    menu.addAction(cancel_);
}

void MarkupTools::Choose(DrawingTool tool) {
    if (adding_) {
        client_.StopDrawing();  // one add at a time
        adding_ = false;
    }
    const ViewRef view = client_.LockedView();
    if (onViewChanged) {
        onViewChanged();
    }
    std::int32_t id = -1;
    if (view) {
        id = client_.StartDrawing(view, tool);
    }
    if (id < 0) {
        EndAdd();
        if (onMessage) {
            onMessage(
                view
                    ? QStringLiteral("The view declined a new %1").arg(Tool(tool)->text().toLower())
                    : QStringLiteral("No station is shown: there is nothing to draw on"));
        }
        return;
    }
    adding_ = true;
    Tool(tool)->setChecked(true);
    UpdateActions();
}

void MarkupTools::DeleteSelected() {
    if (selected_ < 0) {
        return;
    }
    const std::int32_t id = selected_;
    if (client_.DeleteDrawing(client_.Current(), id)) {
        if (selected_ == id) {
            selected_ = -1;
        }
    } else if (onMessage) {
        onMessage(QStringLiteral("Drawing %1 could not be deleted").arg(id));
    }
    UpdateActions();
}

void MarkupTools::CancelAdd() {
    client_.StopDrawing();
    EndAdd();
}

void MarkupTools::OnEvent(platform::DISPID id, const std::vector<platform::Variant>& args) {
    namespace E = SX_ControlEvents;
    switch (id) {
        case E::kSelect2DChanged:
            selected_ = ArgInt(args, -1);
            break;
        case E::kShape2DAdded:
        case E::kStop2DAdd:
            EndAdd();
            return;
        case E::kShape2DRemoved:
            if (ArgInt(args, -1) == selected_) {
                selected_ = -1;
            }
            break;
        case E::kViewLockChanged: {
            bool locked = false;
            if (!args.empty()) {
                args[0].ToBool(locked);
            }
            locked_ = locked;
            if (!locked) {
                Forget();
            }
            break;
        }
        default:
            return;
    }
    UpdateActions();
}

void MarkupTools::SetShown(std::int32_t id, bool locked) {
    const bool nowLocked = id >= 0 && locked;
    if (nowLocked == locked_) {
        return;
    }
    locked_ = nowLocked;
    if (!locked_) {
        Forget();  // the view was left: a drag, measuring or another view
    }
    UpdateActions();
}

void MarkupTools::SetMeasureEnabled(bool enabled) {
    measureEnabled_ = enabled;
    UpdateActions();
}

void MarkupTools::EndAdd() {
    adding_ = false;
    if (QAction* checked = group_->checkedAction()) {
        checked->setChecked(false);
    }
    UpdateActions();
}

void MarkupTools::Forget() {
    selected_ = -1;
    EndAdd();
}

void MarkupTools::UpdateActions() {
    Tool(DrawingTool::kDistance)->setEnabled(measureEnabled_);
    Tool(DrawingTool::kPosition)->setEnabled(measureEnabled_);
    delete_->setEnabled(locked_ && selected_ >= 0);
    cancel_->setEnabled(adding_);
}

}  // namespace viewer
