#pragma once
// The "Views" dock of the desktop viewer: the control's saved views in the
// collection's order, and the buttons a page would offer for them. "Save
// current view" captures the camera and adds the view; "Apply" shows the
// selected view (the still image with its drawings), "Draw" shows it locked
// for drawing, "Unlock" goes back to the live view; "Rename" puts a new name,
// "Delete" removes the view (leaving it first when it is on show).
//
// The list is read again on ViewAdded and ViewLockChanged, after each of its
// own changes, and whenever the view on show changes (the window hands that
// in from the control's state, as leaving a view by a drag fires nothing).
// The view on show is marked, with "drawing" while it is locked, and selected
// when nothing else is.

#include <QDockWidget>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "viewer/ViewsClient.h"

class QListWidget;
class QPushButton;

namespace viewer {

class ViewsPanel final : public QDockWidget {
  public:
    // Asks for a view's new name; nothing when the user cancels.
    using AskName = std::function<std::optional<QString>(const QString& current)>;

    ViewsPanel(ViewsClient& client, QWidget* parent = nullptr);

    // The name prompt (a Qt input dialog unless replaced).
    void SetAskName(AskName ask) { askName_ = std::move(ask); }

    // Reads the collection again; keeps the selection by view ID.
    void Refresh();
    // The view on show (-1 none) and whether it is locked; refreshes when
    // either changed.
    void SetShown(std::int32_t id, bool locked);
    // Forgets the views (the control is going or loads another station).
    void Clear();

    // The buttons' work, also for the window's menu.
    void SaveCurrentView();
    void ApplySelected(bool lockForDrawing);
    void Unlock();
    void RenameSelected();
    void DeleteSelected();

    QListWidget* List() const { return list_; }
    const std::vector<ViewInfo>& Rows() const { return rows_; }

    // Reports a refused action to the status line.
    std::function<void(const QString& message)> onMessage;
    // Called after a button changed the view on show, so that the window
    // hands the new state in at once (the events come before it is complete).
    std::function<void()> onViewChanged;

  private:
    int SelectedRow() const;
    void UpdateButtons();
    void Say(const QString& message);
    void ViewChanged();

    ViewsClient& client_;
    AskName askName_;
    std::vector<ViewInfo> rows_;
    std::int32_t shownId_ = -1;
    bool locked_ = false;
    QListWidget* list_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* apply_ = nullptr;
    QPushButton* draw_ = nullptr;
    QPushButton* unlock_ = nullptr;
    QPushButton* rename_ = nullptr;
    QPushButton* delete_ = nullptr;
};

}  // namespace viewer
