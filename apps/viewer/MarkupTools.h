#pragma once
// The desktop viewer's drawing tools: a "Markup" menu and toolbar with
// Rectangle, Circle, Line, Text, Distance and Position, "Delete drawing" and
// "Cancel drawing".
//
// Choosing a tool locks the view on show for drawing (with no view on show,
// a view of the camera is saved first and applied locked) and starts an
// interactive add of that kind on it; the user then draws in the view, whose
// mouse and keys go to the control as always. Distance and Position need the
// station's measurements (MeasureEnabled).
//
// The tools follow the control's events: Select2DChanged names the selected
// drawing, which "Delete drawing" (Delete key) removes with the view's
// ShapeDelete; Shape2DAdded and Stop2DAdd end an add, which "Cancel drawing"
// (Escape key) ends through the control's StopShapeAdd. The two keys belong to
// these actions only while they have something to do; otherwise the view
// gets them. Leaving the locked view forgets the add and the selection.

#include <QObject>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/ComVariant.h"
#include "platform/DispatchTable.h"
#include "viewer/ViewsClient.h"

class QAction;
class QActionGroup;
class QMenu;
class QToolBar;
class QWidget;

namespace viewer {

class MarkupTools final : public QObject {
  public:
    MarkupTools(ViewsClient& client, QWidget* window);

    // The actions, for a menu and a toolbar.
    void AddTo(QMenu& menu, QToolBar& bar) const;
    QAction* Tool(DrawingTool tool) const { return tools_[static_cast<std::size_t>(tool)]; }
    QAction* DeleteAction() const { return delete_; }
    QAction* CancelAction() const { return cancel_; }

    // Starts an add of the tool's kind (see the header comment).
    void Choose(DrawingTool tool);
    void DeleteSelected();
    void CancelAdd();

    // An event of the control.
    void OnEvent(platform::DISPID id, const std::vector<platform::Variant>& args);
    // The view on show (-1 none) and whether it is locked for drawing.
    void SetShown(std::int32_t id, bool locked);
    void SetMeasureEnabled(bool enabled);

    bool Adding() const { return adding_; }
    std::int32_t Selected() const { return selected_; }

    // Reports a refused tool to the status line.
    std::function<void(const QString& message)> onMessage;
    // Called after a tool locked a view (see ViewsPanel::onViewChanged).
    std::function<void()> onViewChanged;

  private:
    void EndAdd();
    void Forget();
    void UpdateActions();

    ViewsClient& client_;
    std::array<QAction*, 6> tools_{};
    QActionGroup* group_ = nullptr;
    QAction* delete_ = nullptr;
    QAction* cancel_ = nullptr;
    bool measureEnabled_ = false;
    bool locked_ = false;
    bool adding_ = false;
    std::int32_t selected_ = -1;
};

}  // namespace viewer
