#include "viewer/ViewerWindow.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>

#include "control/Automation.h"
#include "control/HostContainer.h"
#include "control/SX_Control.h"
#include "control/SX_ControlEvents.h"
#include "glcore/SX_OpenGLContext.h"
#include "platform/Path.h"
#include "platform/Text.h"
#include "station/SX_CubeMap.h"
#include "station/SX_PanoramaDataSet.h"
#include "view3d/SX_GraphicWindow.h"
#include "viewer/FrameView.h"
#include "viewer/HelpMenu.h"
#include "viewer/HotlinksPanel.h"
#include "viewer/MarkupTools.h"
#include "viewer/PreferencesDialog.h"
#include "viewer/QtHostUi.h"
#include "viewer/ViewerText.h"
#include "viewer/ViewsClient.h"
#include "viewer/ViewsPanel.h"

namespace viewer {

using platform::Variant;

namespace {

constexpr int kPumpIntervalMs = 4;
// While a station loads, a frame every so often lets the view ask for the
// next finer level without waiting for the load monitor's repaint.
constexpr double kSpinStep = 0.1;  // degrees per spin tick
constexpr double kZoomFactor = 1.25;
constexpr double kInitialFieldOfView = 80.0;
// While a saved view is shown and nothing was done to it, its image is taken
// this often (the overlay paints on the control's own timers too).
constexpr qint64 kOverlayFrameMs = 100;
const char16_t* const kPositionColour = u"#ff0000";
const char16_t* const kDistanceColour = u"#ffff00";

double ArgDouble(const std::vector<Variant>& args, std::size_t i) {
    double value = 0.0;
    if (i < args.size()) {
        args[i].ToDouble(value);
    }
    return value;
}

}  // namespace

ViewerWindow::ViewerWindow(const ViewerOptions& options) : options_(options) {
    sinceStart_.start();
    setWindowTitle(QStringLiteral("Panora"));
    view_ = new FrameView(this);
    setCentralWidget(view_);
    view_->SetPreferredSize(QSize(options_.width, options_.height));

    ui_ = std::make_unique<QtHostUi>(view_);
    control_ = std::make_unique<SX_Control>(loop_, *ui_);
    automation_ = platform::MakeRef<control::Automation>(control_.get());
    sinkCookie_ =
        control_->Events().Advise([this](platform::DISPID id, const std::vector<Variant>& args) {
            return OnEvent(id, args);
        });
    control_->Create(options_.width, options_.height);

    view_->onInput = [this](const platform::Message& message) { Deliver(message); };
    view_->onResize = [this](int width, int height) {
        if (shutDown_) {
            return;
        }
        {
            Busy busy(busy_);
            control_->Resize(width, height);
            overlayStale_ = true;
        }
        // The control lays its windows out without drawing: a frame of the
        // new size is drawn now (a shown view's overlay has repainted).
        Redraw();
    };

    BuildActions();
    BuildDocks();
    BuildViews();
    BuildStatusLine();

    pump_.setTimerType(Qt::PreciseTimer);
    connect(&pump_, &QTimer::timeout, this, [this] { Pump(); });
    pump_.start(kPumpIntervalMs);
    if (!options_.station.empty()) {
        Open(options_.station);
    }
}

ViewerWindow::~ViewerWindow() {
    Shutdown();
}

// ---------------------------------------------------------------------------
// Building the window

void ViewerWindow::BuildActions() {
    QToolBar* bar = addToolBar(QStringLiteral("View"));
    bar->setObjectName(QStringLiteral("view-toolbar"));

    QAction* open = bar->addAction(QStringLiteral("Open..."));
    open->setShortcut(QKeySequence::Open);
    connect(open, &QAction::triggered, this, [this] {
        const QString file = QFileDialog::getOpenFileName(
            this, QStringLiteral("Open station"), QString(),
            QStringLiteral("Station description (*.xml);;All files (*)"));
        if (!file.isEmpty()) {
            Open(FromQt(QFileInfo(file).absoluteFilePath()));
        }
    });
    QAction* openUrl = bar->addAction(QStringLiteral("Open URL..."));
    connect(openUrl, &QAction::triggered, this, [this] {
        bool ok = false;
        const QString url =
            QInputDialog::getText(this, QStringLiteral("Open station"),
                                  QStringLiteral("Location of the description file:"),
                                  QLineEdit::Normal, QStringLiteral("http://"), &ok);
        if (ok && !url.trimmed().isEmpty()) {
            Open(FromQt(url.trimmed()));
        }
    });
    bar->addSeparator();

    auto* modes = new QActionGroup(this);
    navigateAction_ = bar->addAction(QStringLiteral("Navigate"));
    measureAction_ = bar->addAction(QStringLiteral("Measure"));
    for (QAction* a : {navigateAction_, measureAction_}) {
        a->setCheckable(true);
        modes->addAction(a);
    }
    navigateAction_->setChecked(true);
    connect(navigateAction_, &QAction::triggered, this,
            [this] { Call(u"SetMode", {Variant(std::int32_t{0})}); });
    connect(measureAction_, &QAction::triggered, this, [this] {
        firstPick_.reset();
        Call(u"SetMode", {Variant(std::int32_t{1})});
    });
    distanceAction_ = bar->addAction(QStringLiteral("Distance"));
    distanceAction_->setCheckable(true);
    distanceAction_->setToolTip(QStringLiteral("Two picks make a distance mark"));
    connect(distanceAction_, &QAction::toggled, this, [this] { firstPick_.reset(); });
    spinAction_ = bar->addAction(QStringLiteral("Spin"));
    spinAction_->setCheckable(true);
    connect(spinAction_, &QAction::triggered, this,
            [this](bool on) { Call(u"SetSpin", {Variant(on ? kSpinStep : 0.0)}); });
    bar->addSeparator();

    const auto zoom = [this](double factor) {
        const double fov = CallDouble(u"GetZoom", {}, kInitialFieldOfView);
        Call(u"SetZoom", {Variant(fov * factor)});
        Redraw();
    };
    QAction* zoomIn = bar->addAction(QStringLiteral("Zoom in"));
    zoomIn->setShortcut(QKeySequence::ZoomIn);
    connect(zoomIn, &QAction::triggered, this, [zoom] { zoom(1.0 / kZoomFactor); });
    QAction* zoomOut = bar->addAction(QStringLiteral("Zoom out"));
    zoomOut->setShortcut(QKeySequence::ZoomOut);
    connect(zoomOut, &QAction::triggered, this, [zoom] { zoom(kZoomFactor); });
    QAction* reset = bar->addAction(QStringLiteral("Reset view"));
    connect(reset, &QAction::triggered, this, [this] {
        Call(u"SetAltitudeAzimuth", {Variant(0.0), Variant(0.0)});
        Call(u"SetZoom", {Variant(kInitialFieldOfView)});
        Redraw();
    });

    bar->addSeparator();
    QAction* preferences = bar->addAction(QStringLiteral("Preferences..."));
    preferences->setToolTip(QStringLiteral("Drawing defaults: colours, widths, font, unit"));
    connect(preferences, &QAction::triggered, this, [this] {
        PreferencesDialog dialog(
            [this](std::u16string_view name, std::vector<Variant> args) {
                return Call(name, std::move(args));
            },
            this);
        dialog.exec();
    });

    // File > Export view as JPEG...: the control's own SaveAsJpg, which asks
    // for the file through the host's dialog.
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    QAction* exportJpeg = file->addAction(QStringLiteral("Export view as JPEG..."));
    connect(exportJpeg, &QAction::triggered, this,
            [this] { Call(u"SaveAsJpg", {Variant(false)}); });
    // File > Save markup... / Open markup...: the views, hotlinks and
    // neighbour ranges to and from a markup file the user names.
    QAction* saveMarkup = file->addAction(QStringLiteral("Save markup..."));
    connect(saveMarkup, &QAction::triggered, this, [this] { SaveMarkupAs(); });
    QAction* openMarkup = file->addAction(QStringLiteral("Open markup..."));
    connect(openMarkup, &QAction::triggered, this, [this] { OpenMarkup(); });
    // File > Print...: the control's own Print, which asks through the
    // desktop's print dialog; a printer's page then goes to CUPS.
    QAction* print = file->addAction(QStringLiteral("Print..."));
    print->setShortcut(QKeySequence::Print);
    connect(print, &QAction::triggered, this, [this] {
        const std::optional<Variant> printed = Call(u"Print", {Variant(false)});
        const QString problem = ui_->FinishPrint(printed && printed->BoolValue());
        if (!problem.isEmpty()) {
            QMessageBox::warning(this, QStringLiteral("Print"), problem);
        }
    });

    AddHelpMenu(*this, [this](std::u16string_view member) { Call(member, {}); });

    auto* quit = new QAction(QStringLiteral("Quit"), this);
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(quit, &QAction::triggered, this, &QWidget::close);
    addAction(quit);
}

void ViewerWindow::BuildDocks() {
    auto* neighbourDock = new QDockWidget(QStringLiteral("Neighbours"), this);
    neighbourDock->setObjectName(QStringLiteral("neighbours"));
    neighbours_ = new QListWidget(neighbourDock);
    neighbours_->setToolTip(QStringLiteral("Nearest first; double-click opens a station"));
    neighbourDock->setWidget(neighbours_);
    addDockWidget(Qt::RightDockWidgetArea, neighbourDock);
    connect(neighbours_, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { OpenNeighbor(item); });

    auto* markDock = new QDockWidget(QStringLiteral("3D marks"), this);
    markDock->setObjectName(QStringLiteral("marks"));
    auto* panel = new QWidget(markDock);
    marks_ = new QListWidget(panel);
    marks_->setToolTip(QStringLiteral("Double-click turns the view to a mark"));
    auto* clear = new QToolBar(panel);
    QAction* clearAction = clear->addAction(QStringLiteral("Clear marks"));
    connect(clearAction, &QAction::triggered, this, [this] {
        Call(u"Mark3DClear");
        marks_->clear();
        firstPick_.reset();
        Redraw();
    });
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(clear);
    layout->addWidget(marks_);
    markDock->setWidget(panel);
    addDockWidget(Qt::RightDockWidgetArea, markDock);
    connect(marks_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        Call(u"FocusOnMark3D", {Variant(std::int32_t{item->data(Qt::UserRole).toInt()})});
        Redraw();
    });
    tabifyDockWidget(markDock, new HotlinksPanel(
                                   control_->Events(),
                                   [this](std::u16string_view n, std::vector<Variant> a) {
                                       return Call(n, std::move(a));
                                   },
                                   this));
}

void ViewerWindow::BuildStatusLine() {
    progressLabel_ = new QLabel(this);
    pickedLabel_ = new QLabel(this);
    cameraLabel_ = new QLabel(this);
    statusBar()->addWidget(progressLabel_);
    statusBar()->addWidget(pickedLabel_, 1);
    statusBar()->addPermanentWidget(cameraLabel_);
}

void ViewerWindow::BuildViews() {
    viewsClient_ = std::make_unique<ViewsClient>(
        *automation_, [this](platform::Dispatchable& target, std::u16string_view name,
                             platform::DispatchKind kind, std::vector<Variant> args) {
            return Invoke(target, name, kind, std::move(args));
        });
    const auto say = [this](const QString& message) { statusBar()->showMessage(message, 5000); };

    viewsPanel_ = new ViewsPanel(*viewsClient_, this);
    viewsPanel_->onMessage = say;
    viewsPanel_->onViewChanged = [this] { SyncViewState(); };
    // A tab beside the 3D marks: stacked under the other docks it would make
    // the window taller than the view asks for. It comes to the front when a
    // view is added or drawn on, the marks when a mark is added.
    addDockWidget(Qt::RightDockWidgetArea, viewsPanel_);
    if (auto* marks = findChild<QDockWidget*>(QStringLiteral("marks"))) {
        tabifyDockWidget(marks, viewsPanel_);
        marks->raise();
    }

    markupTools_ = new MarkupTools(*viewsClient_, this);
    markupTools_->onMessage = say;
    markupTools_->onViewChanged = [this] { SyncViewState(); };
    QToolBar* bar = addToolBar(QStringLiteral("Markup"));
    bar->setObjectName(QStringLiteral("markup-toolbar"));
    QMenu* menu = menuBar()->addMenu(QStringLiteral("&Markup"));
    markupTools_->AddTo(*menu, *bar);
    connect(menu, &QMenu::aboutToShow, this,
            [this] { markupTools_->SetMeasureEnabled(viewsClient_->MeasureEnabled()); });
}

// ---------------------------------------------------------------------------
// The control's loop, its frames and its input

void ViewerWindow::Pump() {
    if (busy_ > 0 || shutDown_) {
        return;
    }
    Busy busy(busy_);
    if (SX_GraphicWindow* graphic = control_->GraphicWindow()) {
        graphic->RequestCapture();
    }
    loop_.ProcessPending();
    if (!pendingSrc_.empty() && control_->ReadyState() == 4) {
        StartLoad();
    }
    const bool loading = control_->IsLoading();
    // While loading, the view is redrawn when a face came in or was tried,
    // not on a timer: the redraw also asks for the next finer level.
    const SX_CubeMap* cube = control_->DataSet().CubeMap();
    const std::uint64_t progress = cube != nullptr ? cube->Progress() : 0;
    if (loading && progress != redrawnProgress_) {
        redrawnProgress_ = progress;
        Redraw();
    }
    RestoreMarkup();
    if (wasLoading_ && !loading) {
        progressLabel_->setText(control_->DataSet().HasError()
                                    ? QStringLiteral("Loaded with errors")
                                    : QStringLiteral("Loaded"));
        RefreshNeighbors();
        viewsPanel_->Refresh();
        markupTools_->SetMeasureEnabled(viewsClient_->MeasureEnabled());
    }
    wasLoading_ = loading;
    TakeFrame();
    SyncActions();
}

void ViewerWindow::StartLoad() {
    const std::u16string src = std::move(pendingSrc_);
    pendingSrc_.clear();
    AutoSaveMarkup();  // the station being replaced
    markupRestored_ = false;
    {
        // Stopping the previous load waits for its thread: no box of that
        // thread may wait for this one meanwhile.
        QtHostUi::Dismisser dismisser(*ui_);
        Put(u"src", Variant(src));
    }
    currentSrc_ = src;
    neighbours_->clear();
    marks_->clear();
    firstPick_.reset();
    pickedLabel_->clear();
    progressLabel_->setText(QStringLiteral("Loading"));
    const QString name = platform::IsUrl(src) ? ToQt(src) : QFileInfo(ToQt(src)).fileName();
    setWindowTitle(QStringLiteral("Panora - ") + name);
}

void ViewerWindow::Open(const std::u16string& location) {
    if (location.empty() || shutDown_) {
        return;
    }
    pendingSrc_ = location;  // the next pump starts it once the control is ready
}

void ViewerWindow::TakeFrame() {
    const auto show = [this](const platform::RgbImage& pixels, QPoint origin) {
        if (pixels.width > 0 && pixels.height > 0) {
            const QImage frame(pixels.rgb.data(), pixels.width, pixels.height, pixels.width * 3,
                               QImage::Format_RGB888);
            view_->SetFrame(frame.copy(), origin);
        }
    };
    SX_GraphicWindow* graphic = control_->GraphicWindow();
    if (control_->ShowsErrorPage()) {
        // The control draws its error page, the view on it, at each paint.
        show(control_->ErrorPageImage(), QPoint(0, 0));
        if (graphic != nullptr) {
            graphic->RequestCapture();
        }
    } else if (control_->ViewShown() || control_->LockedForDrawing()) {
        // A saved view is shown: the overlay's painted image, the size of the
        // control, replaces the view.
        if (!overlayStale_ && overlayTaken_.isValid() &&
            overlayTaken_.elapsed() < kOverlayFrameMs) {
            return;
        }
        overlayStale_ = false;
        overlayTaken_.start();
        platform::RgbImage painted;
        if (control_->HostFrame(painted)) {
            show(painted, QPoint(0, 0));
        }
    } else {
        if (graphic == nullptr || graphic->CaptureRequested()) {
            return;  // no frame drawn since the request
        }
        show(graphic->Captured(), QPoint(graphic->X(), graphic->Y()));
        graphic->RequestCapture();
    }
    {
        // Reading the camera changes nothing on show.
        const bool stale = overlayStale_;
        UpdateCameraLabel();
        overlayStale_ = stale;
    }

    if (options_.reportStartup && !startupReported_) {
        const SX_CubeMap* cube = control_->DataSet().CubeMap();
        bool drawn = false;
        for (int f = 0; cube != nullptr && f < SX_CubeMap::kFaceCount; ++f) {
            drawn = drawn || cube->DrawnLevel(f) >= 0;
        }
        if (drawn) {
            startupReported_ = true;
            std::fprintf(stderr, "panora view: first frame of the station after %lld ms\n",
                         static_cast<long long>(sinceStart_.elapsed()));
        }
    }
}

void ViewerWindow::SyncViewState() {
    viewsPanel_->SetShown(ShownViewId(), LockedForDrawing());
    markupTools_->SetShown(ShownViewId(), LockedForDrawing());
}

void ViewerWindow::SyncActions() {
    // Leaving a view by a drag or by measuring fires no event.
    SyncViewState();
    // The view changes its own mode too: a click stops the spin.
    const std::int32_t mode = control_->ViewMode();
    const QSignalBlocker blockSpin(spinAction_);
    spinAction_->setChecked(mode == 2);
    if (mode == 0 && !navigateAction_->isChecked()) {
        const QSignalBlocker block(navigateAction_);
        navigateAction_->setChecked(true);
    }
}

void ViewerWindow::Deliver(const platform::Message& message) {
    if (shutDown_) {
        return;
    }
    {
        Busy busy(busy_);
        control_->DeliverInput(message);
        overlayStale_ = true;
    }
    if (busy_ == 0) {
        TakeFrame();
    }
}

void ViewerWindow::Redraw() {
    Call(u"Redraw");
    // The control draws at once: the frame is taken before the next pump
    // requests another capture and the drawn one is lost.
    if (busy_ == 0) {
        TakeFrame();
    }
}

// ---------------------------------------------------------------------------
// Events of the control

platform::HRESULT ViewerWindow::OnEvent(platform::DISPID id, const std::vector<Variant>& args) {
    namespace E = SX_ControlEvents;
    switch (id) {
        case E::kDownloadInProgress: {
            const double percent = CallDouble(u"GetDownladProgress");
            progressLabel_->setText(QStringLiteral("Loading %1 %").arg(percent, 0, 'f', 1));
            if (neighbours_->count() == 0) {
                RefreshNeighbors();
            }
            break;
        }
        case E::kDownloadComplete:
            progressLabel_->setText(QStringLiteral("Loaded"));
            RefreshNeighbors();
            break;
        case E::kPointPicked:
            OnPointPicked(Point{ArgDouble(args, 0), ArgDouble(args, 1), ArgDouble(args, 2)});
            break;
        case E::kOpenNewPanora: {
            std::u16string url;
            if (!args.empty() && platform::SUCCEEDED(args[0].ToString(url)) && !url.empty()) {
                // The page navigates to the neighbour: a new src, after the
                // call that fired this has returned.
                neighbourOpened_ = true;
                QTimer::singleShot(0, this, [this, url] { Open(url); });
            }
            break;
        }
        case E::kStopMeasure:
            Call(u"SetMode", {Variant(std::int32_t{0})});
            navigateAction_->setChecked(true);
            firstPick_.reset();
            break;
        case E::kMark3DDeleted: {
            double markId = ArgDouble(args, 0);
            for (int i = marks_->count() - 1; i >= 0; --i) {
                if (marks_->item(i)->data(Qt::UserRole).toInt() == static_cast<int>(markId)) {
                    delete marks_->takeItem(i);
                }
            }
            break;
        }
        case E::kMenuEvent:
            if (ArgDouble(args, 0) == 20.0) {
                Call(u"Print", {Variant(false)});
            }
            break;
        case E::kCameraChanged:
            UpdateCameraLabel();
            break;
        case E::kViewAdded:
        case E::kViewLockChanged:
            viewsPanel_->Refresh();
            viewsPanel_->raise();
            break;
        default:
            break;
    }
    markupTools_->OnEvent(id, args);
    return platform::S_OK;
}

void ViewerWindow::OnPointPicked(const Point& p) {
    const int stationUnit = control_->DataSet().InternalDistanceUnit();
    pickedLabel_->setText(QStringLiteral("Picked ") + FormatPoint(p.x, p.y, p.z, stationUnit));
    const Variant defaultUnit(std::int32_t{-1});
    if (distanceAction_->isChecked()) {
        if (!firstPick_) {
            firstPick_ = p;
            statusBar()->showMessage(QStringLiteral("Pick the second point of the distance"), 5000);
            return;
        }
        const Point a = *firstPick_;
        firstPick_.reset();
        const std::int32_t id = CallInt(
            u"DistanceMark3D", {Variant(a.x), Variant(a.y), Variant(a.z), Variant(p.x),
                                Variant(p.y), Variant(p.z), defaultUnit, Variant(kDistanceColour)});
        if (id > 0) {
            const Variant markId(id);
            AddMark(id, QStringLiteral("Distance %1: ").arg(id) +
                            FormatLength(CallDouble(u"Mark3DGetValue", {markId}),
                                         CallInt(u"Mark3DGetUnit", {markId}, stationUnit)));
        }
    } else {
        const std::int32_t id = CallInt(u"VertexMark3D", {Variant(p.x), Variant(p.y), Variant(p.z),
                                                          defaultUnit, Variant(kPositionColour)});
        if (id > 0) {
            const Variant markId(id);
            AddMark(id, QStringLiteral("Position %1: ").arg(id) +
                            FormatPoint(CallDouble(u"Mark3DGetXCoord", {markId}, p.x),
                                        CallDouble(u"Mark3DGetYCoord", {markId}, p.y),
                                        CallDouble(u"Mark3DGetZCoord", {markId}, p.z),
                                        CallInt(u"Mark3DGetUnit", {markId}, stationUnit)));
        }
    }
    Redraw();
}

void ViewerWindow::AddMark(std::int32_t id, const QString& text) {
    auto* item = new QListWidgetItem(text, marks_);
    item->setData(Qt::UserRole, id);
    marks_->scrollToItem(item);
    if (auto* dock = findChild<QDockWidget*>(QStringLiteral("marks"))) {
        dock->raise();
    }
}

void ViewerWindow::RefreshNeighbors() {
    neighbours_->clear();
    const std::int32_t count = CallInt(u"GetNeighborPanoraCount", {}, 0);
    for (std::int32_t i = 0; i < count; ++i) {
        const std::u16string name = CallText(u"GetNextNeighborPanoraByDistance", {Variant(i)});
        if (!name.empty()) {
            neighbours_->addItem(ToQt(name));
        }
    }
}

void ViewerWindow::OpenNeighbor(QListWidgetItem* item) {
    // LoadSelectedPanora counts in the displayed list, which is by name.
    const std::u16string name = FromQt(item->text());
    const std::int32_t count = CallInt(u"GetNeighborPanoraCount", {}, 0);
    for (std::int32_t i = 0; i < count; ++i) {
        if (CallText(u"GetNextNeighborPanoraByAlpha", {Variant(i)}) == name) {
            neighbourOpened_ = false;
            Call(u"LoadSelectedPanora", {Variant(i)});
            if (!neighbourOpened_) {
                statusBar()->showMessage(QStringLiteral("%1 cannot be opened").arg(item->text()),
                                         5000);
            }
            return;
        }
    }
    statusBar()->showMessage(
        QStringLiteral("%1 is not among the displayed neighbours").arg(item->text()), 5000);
}

void ViewerWindow::UpdateCameraLabel() {
    if (control_->ReadyState() != 4) {
        return;
    }
    cameraLabel_->setText(QStringLiteral("azimuth %1°  altitude %2°  field of view %3°")
                              .arg(CallDouble(u"GetAzimuth"), 0, 'f', 1)
                              .arg(CallDouble(u"GetAltitude"), 0, 'f', 1)
                              .arg(CallDouble(u"GetZoom"), 0, 'f', 1));
}

// ---------------------------------------------------------------------------
// Automation by name

std::optional<Variant> ViewerWindow::Call(std::u16string_view name, std::vector<Variant> args) {
    if (!automation_) {
        return std::nullopt;
    }
    return Invoke(*automation_, name, platform::DispatchKind::Method, std::move(args));
}

std::optional<Variant> ViewerWindow::Invoke(platform::Dispatchable& target,
                                            std::u16string_view name, platform::DispatchKind kind,
                                            std::vector<Variant> args) {
    if (shutDown_) {
        return std::nullopt;
    }
    Busy busy(busy_);
    overlayStale_ = true;
    platform::InvokeResult result;
    const platform::DispatchKinds kinds =
        kind == platform::DispatchKind::PropertyPut
            ? platform::Kinds(kind)
            : platform::DispatchKind::Method | platform::DispatchKind::PropertyGet;
    if (platform::FAILED(target.InvokeByName(name, kinds, args, result))) {
        return std::nullopt;
    }
    return result.retval;
}

bool ViewerWindow::Put(std::u16string_view name, const Variant& value) {
    if (!automation_ || shutDown_) {
        return false;
    }
    Busy busy(busy_);
    platform::InvokeResult result;
    return platform::SUCCEEDED(
        automation_->InvokeByName(name, platform::DispatchKind::PropertyPut, {value}, result));
}

double ViewerWindow::CallDouble(std::u16string_view name, std::vector<Variant> args,
                                double fallback) {
    const auto result = Call(name, std::move(args));
    double value = fallback;
    if (result && platform::FAILED(result->ToDouble(value))) {
        value = fallback;
    }
    return value;
}

std::int32_t ViewerWindow::CallInt(std::u16string_view name, std::vector<Variant> args,
                                   std::int32_t fallback) {
    const auto result = Call(name, std::move(args));
    std::int32_t value = fallback;
    if (result && (result->IsEmpty() || platform::FAILED(result->ToInt32(value)))) {
        value = fallback;
    }
    return value;
}

bool ViewerWindow::StationShown() const {
    return control_->ViewsReady() && !control_->IsLoading();
}

std::int32_t ViewerWindow::ShownViewId() const {
    return control_->ViewShown() || control_->LockedForDrawing() ? control_->ShownViewId() : -1;
}

bool ViewerWindow::LockedForDrawing() const {
    return control_->LockedForDrawing();
}

std::u16string ViewerWindow::CallText(std::u16string_view name, std::vector<Variant> args) {
    const auto result = Call(name, std::move(args));
    std::u16string text;
    if (result) {
        result->ToString(text);
    }
    return text;
}

// ---------------------------------------------------------------------------
// The end

void ViewerWindow::closeEvent(QCloseEvent* event) {
    Shutdown();
    event->accept();
}

void ViewerWindow::Shutdown() {
    if (shutDown_) {
        return;
    }
    pump_.stop();
    AutoSaveMarkup();  // the station being closed
    // The views the panel holds go before the control does.
    viewsPanel_->Clear();
    {
        // The loader is stopped and waited for: none of its boxes may wait.
        QtHostUi::Dismisser dismisser(*ui_);
        control_->Destroy();
    }
    shutDown_ = true;
    automation_->Detach();
    control_->Events().Unadvise(sinkCookie_);
    if (QWidget::mouseGrabber() == view_) {
        view_->releaseMouse();
    }
}

int RunViewer(int& argc, char** argv, const ViewerOptions& options) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("panora"));
    ViewerWindow window(options);
    window.resize(window.sizeHint());
    window.show();
    return QApplication::exec();
}

}  // namespace viewer
