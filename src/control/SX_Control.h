#pragma once
// The control object: life cycle, ready states, child windows, timers, the
// loader thread and its monitor, and the load-path automation members. Its
// work is spread over files by concern: SX_Control.cpp (life cycle, windows,
// timers, painting), SX_ControlLoading.cpp (loads, monitor, version check),
// SX_ControlView.cpp (frames, camera, transitions, spin), SX_ControlInput.cpp
// (modes, input), Automation*.cpp (automation members); the loader
// thread and its flags are control::Loader, the installation
// control::Installation, the error page and version check free functions.
//
// Ready states: 0 at allocation, 2 after construction, 3 once Create made the
// child windows (timer 1001 is started), 4 when graphics initialisation on
// timer 1001 succeeded (or at once in Create when the system is not fit).
// Timer 1003 fires ControlInitialized and NewAPIAdded(1) 100 ms after that.
//
// Load states: idle (loadFinished, no thread) -> loading (the loader thread
// runs LoadThreadBody; PauseDownload holds it) -> finished (the monitor saw
// the thread end). A new src or ClearCubeMap runs StopLoading first. The
// monitor (timer 1004, every 500 ms) fires DownloadInProgress while the
// progress moves and DownloadComplete at most once in the control's life:
// when the thread ends, or after the progress stood still for five ticks.
//
// Threads: everything here runs on the MessageLoop's thread except
// LoadThreadBody (the loader thread) and the loader's LoadControl answers it
// polls. The pause and stop flags are guarded by the loader's load lock.
// Events are fired only on the window thread.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "control/Installation.h"
#include "control/Loader.h"
#include "host/Log.h"
#include "host/Resources.h"
#include "markup2d/SX_Defaults.h"
#include "markup2d/SX_DrawingController.h"
#include "persist/MarkupFile.h"
#include "persist/ViewsHost.h"
#include "platform/ComBstr.h"
#include "platform/ComStatus.h"
#include "platform/ConnectionPoint.h"
#include "platform/Image.h"
#include "platform/MessageLoop.h"
#include "station/SX_ErrorLogger.h"
#include "view3d/ViewHost.h"

class HostUi;
class SX_GraphicWindow;
class SX_2DDrawingWindow;
namespace control {
class HostContainer;
class HotlinkController;
class ViewTargets;
}  // namespace control
namespace view3d {
class NavigationControls;
class NeighborView;
}  // namespace view3d
class SX_LoadingContext;
class SX_PanoramaDataSet;
class SX_SystemEvaluator;
class SxView;
class SxViews;
namespace platform {
class DownloadCache;
}
namespace StraleLib {
class SX_OpenGLCamera;
}

class SX_Control : private platform::Window,
                   private view3d::ViewHost,
                   private persist::ViewsHost,
                   private markup2d::OverlayHost {
  public:
    // Timer identifiers of the control window.
    static constexpr std::uint32_t kTimerInvalidate = 1000;
    static constexpr std::uint32_t kTimerInitGraphics = 1001;
    static constexpr std::uint32_t kTimerSpin = 1002;
    static constexpr std::uint32_t kTimerInitialized = 1003;
    static constexpr std::uint32_t kTimerMonitor = 1004;

    // Where the control's surroundings come from; defaults are the real ones.
    struct Options {
        // Capability check; null: the EGL-probing evaluator.
        std::shared_ptr<SX_SystemEvaluator> evaluator;
        // Folder of the log file ("" turns logging off); unset: the per-user
        // "Panora/" folder.
        std::optional<std::u16string> logFolder;
        // Registry file; "" : the default registry path.
        std::u16string registryFile;
        // File version of the control ("major.minor.build.revision"); empty:
        // the library's build version.
        std::u16string controlVersion;
        // Download cache for web loads; null: the per-user cache.
        platform::DownloadCache* downloadCache = nullptr;
        // How the loader sleeps between two looks at its flags; null: real
        // sleep.
        std::function<void(int milliseconds)> sleeper;
        // Opens links (the update page, hotlinks) when there is no browser
        // container; null: the desktop's opener (platform::OpenWithDesktop).
        std::function<bool(const std::u16string& url)> openBrowser;
    };

    // The browser container (may be null) is owned by the control.
    SX_Control(platform::MessageLoop& loop, HostUi& ui,
               std::unique_ptr<control::HostContainer> container = nullptr);
    SX_Control(platform::MessageLoop& loop, HostUi& ui,
               std::unique_ptr<control::HostContainer> container, Options options);
    ~SX_Control() override;
    SX_Control(const SX_Control&) = delete;
    SX_Control& operator=(const SX_Control&) = delete;

    // The create message: child windows, timer 1001, ready state 3. False
    // when a child window could not be made (or the system is not fit).
    bool Create(int width, int height);
    // The destroy message: named lock "Panora.Defaults.xml", Destroying,
    // StopLoading, lock released. Safe to call twice.
    void Destroy();
    bool IsCreated() const;
    void Resize(int width, int height);
    // Input from the host, as the desktop delivers it: mouse messages carry
    // control client pixels (top-down) and go to the window holding the
    // mouse capture, else to the graphic window when the pointer is over it
    // (coordinates made its own); wheel and key messages go to the control
    // window, which passes them on. False when nothing took the message.
    bool DeliverInput(platform::Message message);

    // Events: sinks connect here and are called in connection order.
    platform::ConnectionPoint& Events() { return events_; }
    // Fires one event of the events interface on the window thread.
    platform::HRESULT FireEvent(platform::DISPID id,
                                const std::vector<platform::Variant>& args = {}) override;
    // Property-change sinks (ready state -525, enabled -514).
    static constexpr platform::DISPID kDispIdReadyState = -525;
    platform::ConnectionPoint& PropertyNotify() { return propertyNotify_; }
    void FreezeEvents(bool freeze) { eventsFrozen_ = freeze; }

    // Parts.
    SX_PanoramaDataSet& DataSet() { return *dataSet_; }
    const SX_PanoramaDataSet& DataSet() const { return *dataSet_; }
    SX_ErrorLogger& ErrorList() { return errors_; }
    host::Resources& Resources() { return resources_; }
    const host::Resources& Resources() const override { return resources_; }
    SX_GraphicWindow* GraphicWindow() const { return graphicWindow_.get(); }
    SX_2DDrawingWindow* DrawingWindow() const { return drawingWindow_.get(); }
    control::HostContainer* HostContainer() const { return hostContainer_.get(); }
    // The neighbour stations as the view shows them, and the on-screen
    // navigation controls and logos (both made at construction).
    view3d::NeighborView& Neighbors() const { return *neighbors_; }
    view3d::NavigationControls& NavigationControls() const { return *navigation_; }
    // The hotlinks (made at construction; see HotlinkController).
    control::HotlinkController& Hotlinks() const { return *hotlinks_; }
    platform::MessageLoop& Loop() const { return loop_; }
    HostUi& Ui() const override { return ui_; }
    const host::Log& Log() const { return log_; }
    platform::WindowId WindowHandle() const { return Id(); }

    // State for hosts and tests.
    bool SystemFit() const { return systemFit_; }
    bool LoadFailed() const { return loadFailed_.load(); }
    bool LoadFinished() const { return loader_.Finished(); }
    bool IsLoading() const { return loader_.IsRunning(); }
    bool VersionCheckDone() const { return versionCheckDone_.load(); }
    std::u16string DataSetDirectory() const { return loader_.DataSetDirectory(); }
    int Width() const override { return width_; }
    int Height() const override { return height_; }

    // Saved views (SX_ControlViews.cpp). The state moves between live 3D (no
    // view shown), view shown (the overlay's still image with the view's
    // drawings replaces the 3D window) and locked for drawing (the same with
    // markup mode on); see SxView::Apply for the way in and LeaveViewMode for
    // the way out (ViewUnlock, a 5-pixel drag over the overlay, SetMode 1 or
    // 4, FocusOnMark3D).
    // The collection; null before Create.
    SxViews* Views() const { return views_.Get(); }
    // The collection for the page: E_INVALIDARG for a null result,
    // E_PENDING until the ready state is 4.
    platform::HRESULT get_Views(platform::ComPtr<SxViews>* views) const;
    std::int32_t ShownViewId() const override { return shownViewId_; }
    bool ViewShown() const { return viewShown_; }
    bool LockedForDrawing() const override { return lockedForDrawing_; }
    // Ready state 4 with a station loaded.
    bool ViewsReady() const override;
    // A new view, bound, holding the camera's direction; null when not
    // ready. Not added to the collection.
    platform::ComPtr<SxView> ViewCapture();
    // A new bound view with the given direction and aperture, stored as
    // given; null when not ready.
    platform::ComPtr<SxView> ViewNew(double longitude, double latitude, double angle);
    // view.Apply, then a redraw of the control window.
    bool ViewApply(SxView* view, bool lockForDrawing);
    // Leaves view mode when ready; ViewLockChanged(false) when the view was
    // locked and raiseEvent holds.
    void ViewUnlock(bool raiseEvent);
    // The collection's view with the ID on show while a view is shown or
    // locked (IDs below 100 give none).
    platform::ComPtr<SxView> ViewGetCurrent();
    bool LeaveViewMode() override;
    // Ends an interactive add of a 2D drawing without adding it (and
    // repaints); fires Stop2DAdd whether or not one was in progress.
    void StopShapeAdd();
    // While a view is shown: the overlay takes a new still image and paints.
    void RefreshOverlay();
    // What the host shows now: the overlay's painted image while a view is
    // shown, else the 3D view's capture (see CaptureView).
    bool HostFrame(platform::RgbImage& image);

    // The markup file (SX_ControlMarkup.cpp; the document is
    // persist::MarkupFile). SaveMarks writes the named file under the named
    // lock of its path and shows the success box; SaveMarkup writes the
    // station's auto-saved file when its identifier has 16 characters or
    // more. LoadMarks waits 500 ms, reads the auto-saved file instead of
    // the named one when the identifier has more than 16 characters and the
    // server's version is not forced, adds the views and hotlinks it holds,
    // replaces the neighbour ranges, and fires MarkupsLoaded. ClearViews
    // asks question 0, 1 or 2 (Yes/No) and removes every view on Yes.
    bool SaveMarks(const std::u16string& fileName);
    void SaveMarkup();
    bool LoadMarks(const std::u16string& fileName, bool forceServerVersion);
    bool MarksLocal() const { return marksLocal_; }
    // -3 unreadable, -2 no markup, 0 no identifier, 1 this station's, -1 another's.
    int CheckMarkupFile(const std::u16string& fileName) const;
    bool ClearViews(std::int32_t type);

    // The lines of the error page: product notice, heading, then the data
    // set's messages (or the not-fit text). ErrorPageText joins them with "\n".
    bool ShowsErrorPage() const;
    std::vector<std::u16string> ErrorPageLines() const;
    std::u16string ErrorPageText() const;
    // The control's area as its last paint drew the error page (see
    // control::DrawErrorPage), the view's frame at its place; empty when the
    // last paint showed the view instead. Hosts without a window of their
    // own show this image (Redraw paints at once).
    const platform::RgbImage& ErrorPageImage() const { return errorPage_; }

    // The loader's work, run on the loader thread; public for hosts that
    // load synchronously.
    bool LoadThreadBody(const std::u16string& src);
    void StartLoading();
    void StopLoading();
    // The data-version check (once per control).
    void VersionCheck();
    // The control's file version as "%d.%d.%d.%d".
    const std::u16string& ControlVersion() const { return controlVersion_; }
    static std::u16string BuildVersionText();

    // The loading context of the last load (null before one); links from
    // the station are joined against it.
    std::shared_ptr<const SX_LoadingContext> LoadingContext() const { return loader_.Context(); }
    // Opens a link in the browser container's target frame, or, without a
    // container, with the desktop opener (Options::openBrowser when set).
    bool OpenLink(const std::u16string& url, const std::u16string& target);

    // Automation members of the load path.
    platform::HRESULT put_src(const platform::Bstr& value);
    platform::HRESULT get_src(platform::Bstr* value) const;
    platform::HRESULT get_srcPath(platform::Bstr* value) const;
    // The station's site map joined with the current load's base, when the
    // target exists; else "".
    platform::HRESULT get_SiteMap(platform::Bstr* value) const;
    platform::HRESULT get_helpPath(platform::Bstr* value) const;
    platform::HRESULT get_InstallPath(platform::Bstr* value) const;
    platform::HRESULT put_CubeMap(const platform::Bstr& value);
    platform::HRESULT get_CubeMap(platform::Bstr* value) const;
    platform::HRESULT get_ReadyState(std::int32_t* value) const;
    platform::HRESULT put_ReadyState(std::int32_t value);
    platform::HRESULT get_Enabled(platform::VARIANT_BOOL* value) const;
    platform::HRESULT put_Enabled(platform::VARIANT_BOOL value);
    platform::HRESULT get_MeasureEnabled(platform::VARIANT_BOOL* value) const;
    platform::HRESULT get_MarksLocal(platform::VARIANT_BOOL* value) const;
    platform::HRESULT get_RaiseCameraEvents(platform::VARIANT_BOOL* value) const;
    platform::HRESULT put_RaiseCameraEvents(platform::VARIANT_BOOL value);
    platform::HRESULT GetDownladProgress(double* percent) const;
    platform::HRESULT PauseDownload(platform::VARIANT_BOOL value);
    platform::HRESULT ClearCubeMap();

    // The camera: the data set's, reached through it and never owned here.
    // Camera() is null unless the ready state is 4, so the automation
    // members quietly decline before that.
    StraleLib::SX_OpenGLCamera* Camera() const override;
    bool AnimateTransitions() const override { return animateTransitions_; }
    void SetAnimateTransitions(bool animate) { animateTransitions_ = animate; }
    // Turns the camera to (altitude, azimuth), animated when
    // AnimateTransitions holds, rendering each step at once (a busy context
    // is retried every 100 ms). Camera events are off during the turn and on
    // afterwards, whatever they were; the turn itself fires none. Only the
    // frame at the target is captured.
    void CameraTransition(double altitude, double azimuth);
    // Spin: a step above 0.01 degrees turns the view by it on every tick of
    // timer 1002 (mode 2), first at once and then every spin interval; any
    // other value stops it (mode 0).
    void SetSpin(double value) override;
    double SpinStep() const override { return spinStep_; }
    std::int32_t ViewMode() const override { return viewMode_; }
    // Timer 1002 for the view's continuous rotation: first tick after ms,
    // then every spin interval.
    void StartViewTimer(std::uint32_t ms) override;
    void StopViewTimer() override;
    // The view's pick operation (see SX_GraphicWindow::PickPoint); false
    // before the view exists.
    bool PickPoint(int x, int y, double& X, double& Y, double& Z) override;

    // The view's mode and mouse bindings (see SX_GraphicWindow and
    // SX_ViewController). SetMode: res false for a negative mode; otherwise
    // the "Deselect" menu item is grayed unless the old mode was 4 and
    // enabled for 4; modes 1 and 4 clear the measuring left-button flag,
    // others hide the cursor; repaints. SetMouseAction: res false for keys
    // out of range. SetAlphaMode: the cube map's alpha mode, repaints, res
    // always false.
    platform::HRESULT SetMode(std::int32_t mode, platform::VARIANT_BOOL* res);
    platform::HRESULT SetMouseAction(std::int32_t ctrlKey, std::int32_t mouseKey,
                                     std::int32_t actionType, platform::VARIANT_BOOL* res);
    platform::HRESULT SetAlphaMode(platform::VARIANT_BOOL value, platform::VARIANT_BOOL* res);
    // Repaints the control's window and the view at once (a busy context
    // skips the frame).
    void Redraw();
    // Draws one frame now; false when nothing was drawn: the context is busy,
    // or there is no OpenGL view or no camera (see CanDrawFrames).
    bool RenderFrame();
    // Captures the view: requests a capture, draws a frame (while the loader
    // holds the context it tries again every kCaptureRetryMs, sleeping as the
    // loader does) and hands out the frame just drawn, top-down and cropped
    // to the view's width. Gives up, false with the image emptied, when there
    // is nothing to draw into or after kCaptureGiveUpMs of retries (a context
    // that never comes free would otherwise hold the window thread forever).
    static constexpr int kCaptureRetryMs = 10;
    static constexpr int kCaptureGiveUpMs = 10000;
    bool CaptureView(platform::RgbImage& image);
    // Asks for a file with the save dialog (strings 220 and 221, "*.jpg"),
    // shown before the ready test; when the control is complete, writes the
    // view's capture there as a JPEG and answers true, whether or not the
    // dialog was cancelled or the file written; otherwise res stays false.
    // panZoom takes the drawing overlay's painted image while a view is
    // shown (the 3D view's capture otherwise).
    static constexpr int kJpegQuality = 90;
    platform::HRESULT SaveAsJpg(platform::VARIANT_BOOL panZoom, platform::VARIANT_BOOL* res);
    // Where the view lands on a printed page: enlarged by the largest whole
    // factor that fits both ways (0 when the view does not fit) and centred.
    struct PagePlacement {
        int factor = 0;
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
    };
    static PagePlacement PlaceOnPage(int pageWidth, int pageHeight, int viewWidth, int viewHeight);
    // When the control is complete and has a size: shows the print dialog
    // and prints the view's capture on one page of the document
    // kPrintDocumentName, placed by PlaceOnPage; res true when the page was
    // printed. A cancelled dialog, a failed capture or a failed document
    // leave res false. panZoom as for SaveAsJpg.
    static constexpr const char* kPrintDocumentName = "Panora Document";
    platform::HRESULT Print(platform::VARIANT_BOOL panZoom, platform::VARIANT_BOOL* res);
    bool CanDrawFrames() const;

    // Plain accessors for later parts.
    std::int32_t ReadyState() const { return readyState_; }
    bool RaiseCameraEvents() const override { return raiseCameraEvents_; }
    void SetMarksLocal(bool local) { marksLocal_ = local; }
    std::uint32_t SpinInterval() const { return spinInterval_; }
    const std::u16string& Src() const { return src_; }
    std::u16string SrcPath() const { return loader_.SrcPath(); }
    const std::u16string& InstallPath() const { return installation_.path; }
    const std::u16string& HelpPath() const { return installation_.helpPath; }
    // Icon image files named by the installation's customisation file (""
    // for the built-in bitmaps) and the station's own "Station.bmp".
    const std::u16string& StationIconFile() const { return installation_.stationIconFile; }
    const std::u16string& HotlinkIconFile() const { return installation_.hotlinkIconFile; }
    std::u16string StationImage() const { return loader_.StationImage(); }
    int DefaultUnit() const { return defaultUnit_.load(); }
    void SetDefaultUnit(int unit) { defaultUnit_.store(unit); }
    // The short label held beside the default unit; it follows the unit
    // only where a member says so.
    const std::u16string& DefaultUnitLabel() const { return defaultUnitLabel_; }
    void SetDefaultUnitLabel(std::u16string label) { defaultUnitLabel_ = std::move(label); }
    // The unit new 2D drawings take; -1 stands for the default unit and is
    // replaced by it when read.
    int CurrentDrawingUnit() override {
        if (currentDrawingUnit_ == -1) {
            currentDrawingUnit_ = DefaultUnit();
        }
        return currentDrawingUnit_;
    }
    void SetCurrentDrawingUnit(int unit) {
        currentDrawingUnit_ = unit == -1 ? DefaultUnit() : unit;
    }
    // The drawing defaults, read from the per-user file when the control was
    // built. Their text unit and its label live in DefaultUnit() and
    // DefaultUnitLabel() while the control runs.
    SX_Defaults& Defaults() override { return defaults_; }
    const SX_Defaults& Defaults() const { return defaults_; }
    // Writes the defaults (with the current default unit) to the file they
    // were read from; false when there is no file path or the write failed.
    bool SaveDefaults();

    // The product's identifier in the registry and its update page.
    static constexpr std::u16string_view kProductId = control::Installation::kProductId;
    static constexpr std::u16string_view kUpdatePage = u"https://panora.example.org/update";

  protected:
    void OnMessage(platform::Message& message) override;

  private:
    // persist::ViewsHost
    void SetRaiseCameraEvents(bool raise) override { raiseCameraEvents_ = raise; }
    void HideAllNeighbors() override;
    bool RenderView(bool capture) override;
    bool CanRenderView() const override { return CanDrawFrames(); }
    void SleepMs(int milliseconds) override;
    void SetShownViewId(std::int32_t id) override { shownViewId_ = id; }
    void EnterViewMode(bool fading) override;
    void LockForDrawing() override;
    SX_2DDrawingWindow* Overlay() const override { return drawingWindow_.get(); }
    markup2d::DrawingHost* DrawingOwner() const override;
    // markup2d::DrawingHost (SX_ControlDrawingHost.cpp): what the drawings
    // of the views ask of the control.
    int ClientWidth() const override { return width_; }
    int ClientHeight() const override { return height_; }
    bool PickPoint(double x, double y, std::array<double, 3>& scanPoint) override;
    double MaxPointError() const override;
    int InternalUnit() const override { return StationInternalUnit(); }
    SX_Mark::Transform RegistrationTransform() const override;
    const host::Resources& Strings() const override { return resources_; }
    std::u16string ClipboardText() override;
    void ShowTooltip(std::u16string_view text, const platform::TextBox& box) override;
    void HideTooltip() override;
    void SetCursorHidden(bool hidden) override;
    void FireUpdateText(std::u16string_view text) override;
    void RedrawControl() override { Repaint(); }
    const SX_Defaults& DrawingDefaults() const override { return defaults_; }
    int DrawingUnit() override { return CurrentDrawingUnit(); }
    int StationInternalUnit() const override;
    // The markup file: the parts of the document, the data set's identifier
    // (at most 259 characters), a write that shows entry 153 when the file
    // cannot be written, and the wait before a load.
    persist::MarkupParts MarkupParts() const;
    std::u16string DataSetIdentifier() const;
    bool WriteMarkup(const std::u16string& path);
    void MarkupWait();
    // The image Print and SaveAsJpg take (see SaveAsJpg).
    bool ExportImage(bool panZoom, platform::RgbImage& image);
    // Shows the overlay in place of the 3D window, sized to the client area.
    void ShowOverlay();
    void CreateViews();
    // A press and a drag that left the overlay, replayed to the 3D window.
    void HandOverToLiveView(const platform::Message& press, const platform::Message& move);

    // markup2d::OverlayHost beyond markup2d::DrawingHost (SX_ControlDrawing.cpp):
    // what the overlay's drawing controller asks of the control.
    void CreateDrawingController();
    bool MeasureEnabled() const override { return measureEnabled_.load(); }
    void OpenLink(const std::u16string& href) override;
    void UnlockView() override { ViewUnlock(true); }
    bool EditShownView() override;
    void RepaintControl() override { Repaint(); }
    // Outside markup mode the navigation buttons drawn over the still image
    // take left presses and releases before the overlay; a release they take
    // recaptures the still image. True when they took the message.
    bool NavigationOverOverlay(const platform::Message& message);

    void CreateNeighborsAndNavigation();
    void OnDestroy();
    void SetReadyState(std::int32_t state);
    void OnTimer(std::uint32_t timerId);
    void InitializeGraphics();
    void MonitorTick();
    void SpinTick();
    // Keys with a code of 47 or less: Escape in mode 1 fires StopMeasure.
    void OnKeyDown(std::uint32_t key);
    bool ViewUsable() const;
    void OnPaint();
    void Repaint();
    void LayoutChildren();
    void NotifyPropertyChanged(platform::DISPID id);
    bool OpenUpdatePage();

    platform::MessageLoop& loop_;
    HostUi& ui_;
    Options options_;
    host::Resources resources_;
    SX_ErrorLogger errors_;
    platform::RgbImage errorPage_;
    std::unique_ptr<SX_PanoramaDataSet> dataSet_;
    std::unique_ptr<SX_GraphicWindow> graphicWindow_;
    std::unique_ptr<SX_2DDrawingWindow> drawingWindow_;
    std::shared_ptr<SX_SystemEvaluator> evaluator_;
    std::unique_ptr<control::HostContainer> hostContainer_;
    std::unique_ptr<view3d::NeighborView> neighbors_;
    std::unique_ptr<view3d::NavigationControls> navigation_;
    std::unique_ptr<control::HotlinkController> hotlinks_;
    std::unique_ptr<control::ViewTargets> viewTargets_;
    platform::ConnectionPoint events_;
    platform::ConnectionPoint propertyNotify_;
    host::Log log_;

    control::Installation installation_;
    control::Loader loader_;
    std::u16string src_;
    std::u16string controlVersion_;
    std::int32_t readyState_ = 0;
    bool enabled_ = true;
    // Set by the station's point-data flag on each load (loader thread).
    std::atomic<bool> measureEnabled_{true};
    bool raiseCameraEvents_ = true;
    bool animateTransitions_ = true;
    double spinStep_ = 0.0;
    std::int32_t viewMode_ = 0;
    std::uint32_t spinInterval_ = 5;
    bool marksLocal_ = false;
    bool systemFit_ = false;
    bool eventsFrozen_ = false;
    std::atomic<bool> loadFailed_{false};
    std::atomic<bool> versionCheckDone_{false};
    std::atomic<int> defaultUnit_{0};
    std::u16string defaultUnitLabel_ = u"m";
    SX_Defaults defaults_;
    int currentDrawingUnit_ = -1;
    bool created_ = false;
    bool destroyed_ = false;
    int width_ = 0;
    int height_ = 0;
    // Saved views: the collection, the link views reach the control by
    // (cleared when the control goes) and the view state.
    persist::ViewsHostRef viewsLink_;
    platform::ComPtr<SxViews> views_;
    std::int32_t shownViewId_ = -1;
    bool viewShown_ = false;
    bool lockedForDrawing_ = false;
};
