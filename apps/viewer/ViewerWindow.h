#pragma once
// The desktop viewer's main window: one control hosted the way a page hosts
// it, with a toolbar for the page's usual buttons, a dock of neighbour
// stations, a dock of the 3D marks made from picks, and a status line.
//
// The window thread of the control is the GUI thread. A timer pumps the
// control's message loop every few milliseconds; before each pump a capture
// of the next frame is requested, and once the control has drawn a frame
// (on a timer, a repaint, or input) the captured pixels are shown. Input from
// the view widget goes to the control at once (DeliverInput) and the frame
// it drew is taken right after.
//
// Re-entrancy: a popup menu or a message box runs a nested Qt event loop
// inside a call into the control. The pump does nothing while any call into
// the control is under way, so the control's own loop is never entered twice
// and a handler never runs inside another.
//
// Everything the page would call goes through the automation interface by
// name; a member that is missing or fails leaves the viewer as it was.

#include <QElapsedTimer>
#include <QMainWindow>
#include <QTimer>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ComObject.h"
#include "platform/ComVariant.h"
#include "platform/DispatchTable.h"
#include "platform/MessageLoop.h"

class QAction;
class QLabel;
class QListWidget;
class QListWidgetItem;
class SX_Control;
namespace control {
class Automation;
}  // namespace control

namespace viewer {

class FrameView;
class MarkupTools;
class QtHostUi;
class ViewsClient;
class ViewsPanel;

struct ViewerOptions {
    std::u16string station;  // a path or a URL; empty: start without one
    int width = 1024;        // of the view
    int height = 640;
    // Print the time from construction to the first frame showing the
    // station on standard error.
    bool reportStartup = false;
};

class ViewerWindow final : public QMainWindow {
  public:
    explicit ViewerWindow(const ViewerOptions& options);
    ~ViewerWindow() override;

    // Loads a station (path or URL) as soon as the control is ready.
    void Open(const std::u16string& location);
    // A station is in: views can be saved and drawn on.
    bool StationShown() const;
    // The Views dock and the drawing tools.
    ViewsPanel* Views() const { return viewsPanel_; }
    MarkupTools* Markup() const { return markupTools_; }
    // The widget of the control's frames, and the control's view state.
    FrameView& View() const { return *view_; }
    std::int32_t ShownViewId() const;
    bool LockedForDrawing() const;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    struct Point {
        double x = 0.0, y = 0.0, z = 0.0;
    };

    void BuildActions();
    void BuildDocks();
    void BuildStatusLine();
    void BuildViews();

    void Pump();
    void StartLoad();
    void TakeFrame();
    void SyncActions();
    // Hands the view on show and its lock to the Views dock and the tools.
    void SyncViewState();
    void Deliver(const platform::Message& message);
    void Shutdown();

    platform::HRESULT OnEvent(platform::DISPID id, const std::vector<platform::Variant>& args);
    void OnPointPicked(const Point& point);
    void AddMark(std::int32_t id, const QString& text);
    void RefreshNeighbors();
    void OpenNeighbor(QListWidgetItem* item);
    void UpdateCameraLabel();
    // The markup file: the station's auto-saved markup read once its views
    // can be made and written when it is replaced or closed; File > Save
    // markup... and Open markup....
    void RestoreMarkup();
    void AutoSaveMarkup();
    void SaveMarkupAs();
    void OpenMarkup();

    // A member of the automation interface by name: its result, or nothing
    // when it is missing or failed.
    std::optional<platform::Variant> Call(std::u16string_view name,
                                          std::vector<platform::Variant> args = {});
    bool Put(std::u16string_view name, const platform::Variant& value);
    double CallDouble(std::u16string_view name, std::vector<platform::Variant> args = {},
                      double fallback = 0.0);
    std::int32_t CallInt(std::u16string_view name, std::vector<platform::Variant> args = {},
                         std::int32_t fallback = -1);
    std::u16string CallText(std::u16string_view name, std::vector<platform::Variant> args = {});
    // A member of any automation object (the control, its views) by name;
    // PropertyPut puts, any other kind calls or gets.
    std::optional<platform::Variant> Invoke(platform::Dispatchable& target,
                                            std::u16string_view name, platform::DispatchKind kind,
                                            std::vector<platform::Variant> args);
    void Redraw();

    // Counts the calls into the control under way (see Re-entrancy).
    struct Busy {
        explicit Busy(int& depth) : depth_(depth) { ++depth_; }
        ~Busy() { --depth_; }
        Busy(const Busy&) = delete;
        Busy& operator=(const Busy&) = delete;
        int& depth_;
    };

    ViewerOptions options_;
    platform::MessageLoop loop_;
    FrameView* view_ = nullptr;
    std::unique_ptr<QtHostUi> ui_;
    std::unique_ptr<SX_Control> control_;
    platform::ComPtr<control::Automation> automation_;
    std::uint32_t sinkCookie_ = 0;
    QTimer pump_;
    int busy_ = 0;
    bool shutDown_ = false;

    std::u16string pendingSrc_;
    std::u16string currentSrc_;
    bool wasLoading_ = false;
    bool markupRestored_ = false;
    // The cube map's progress when the view was last redrawn for the load.
    std::uint64_t redrawnProgress_ = 0;
    QElapsedTimer sinceStart_;
    bool startupReported_ = false;
    bool neighbourOpened_ = false;
    std::optional<Point> firstPick_;

    QAction* navigateAction_ = nullptr;
    QAction* measureAction_ = nullptr;
    QAction* distanceAction_ = nullptr;
    QAction* spinAction_ = nullptr;
    QListWidget* neighbours_ = nullptr;
    QListWidget* marks_ = nullptr;
    QLabel* progressLabel_ = nullptr;
    QLabel* pickedLabel_ = nullptr;
    QLabel* cameraLabel_ = nullptr;

    std::unique_ptr<ViewsClient> viewsClient_;
    ViewsPanel* viewsPanel_ = nullptr;
    MarkupTools* markupTools_ = nullptr;
    // While a view is shown the overlay's image is taken after input and
    // automation calls, and otherwise every kOverlayFrameMs.
    bool overlayStale_ = true;
    QElapsedTimer overlayTaken_;
};

// The whole program: the application, the window, the event loop. Returns
// the exit code.
int RunViewer(int& argc, char** argv, const ViewerOptions& options);

}  // namespace viewer
