#pragma once
// The viewer's "Hotlinks" dock: the control's hotlinks by category, with
//   - Add at pick: the properties dialog for a hotlink at the point last
//     picked in Measure mode (HotlinkMark3D);
//   - Edit...: the dialog pre-filled with the selected hotlink
//     (EditHotlink); Delete: RemoveHotlink;
//   - Show: "All" or one category (DisplaySelectedHotlinks);
//   - a double click edits a hotlink as Edit... does.
// It calls the control through the automation interface, as a page would,
// and follows HotlinkAdded, HotlinkRemoved, HotlinkChanged and PointPicked
// from the control's events. Clicking an icon in the view opens its link with
// the desktop's browser or file viewer (the control's own doing).

#include <QDockWidget>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/ComVariant.h"
#include "platform/ConnectionPoint.h"
#include "platform/Dispatchable.h"

class QComboBox;
class QTreeWidget;
class QTreeWidgetItem;

namespace viewer {

class HotlinksPanel final : public QDockWidget {
  public:
    // Calls a member by name; nothing when it is missing or failed.
    using Caller = std::function<std::optional<platform::Variant>(std::u16string_view,
                                                                  std::vector<platform::Variant>)>;

    HotlinksPanel(platform::ConnectionPoint& events, Caller call, QWidget* parent = nullptr);

    // Reads the categories and hotlinks again.
    void Refresh();

  private:
    struct Point {
        double x = 0.0, y = 0.0, z = 0.0;
    };
    void OnEvent(platform::DISPID id, const std::vector<platform::Variant>& args);
    void AddAtPick();
    void EditSelected();
    void DeleteSelected();
    void ShowCategory(const QString& category);
    // The hotlink object of an item (a hotlink row, not a category).
    platform::ComPtr<platform::Dispatchable> HotlinkOf(QTreeWidgetItem* item);

    Caller call_;
    std::optional<Point> pick_;
    QTreeWidget* tree_ = nullptr;
    QComboBox* show_ = nullptr;
    bool refreshQueued_ = false;
};

}  // namespace viewer
