#include "control/SX_Control.h"

#include "BuildVersion.h"
#include "control/ErrorPage.h"
#include "control/HostContainer.h"
#include "control/HotlinkController.h"
#include "control/SX_ControlEvents.h"
#include "control/SX_SystemEvaluator.h"
#include "control/ViewTargets.h"
#include "markup2d/SX_2DDrawingWindow.h"
#include "measure/SX_MeasureController.h"
#include "persist/DefaultsFile.h"
#include "persist/SxViews.h"
#include "platform/Folders.h"
#include "platform/NamedLock.h"
#include "platform/Path.h"
#include "platform/Text.h"
#include "station/SX_PanoramaDataSet.h"
#include "view3d/NavigationControls.h"
#include "view3d/NeighborView.h"
#include "view3d/SX_GraphicWindow.h"

using platform::HRESULT;

SX_Control::SX_Control(platform::MessageLoop& loop, HostUi& ui,
                       std::unique_ptr<control::HostContainer> container)
    : SX_Control(loop, ui, std::move(container), Options()) {}

SX_Control::SX_Control(platform::MessageLoop& loop, HostUi& ui,
                       std::unique_ptr<control::HostContainer> container, Options options)
    : platform::Window(loop),
      loop_(loop),
      ui_(ui),
      options_(std::move(options)),
      hostContainer_(std::move(container)),
      log_(options_.logFolder ? host::Log(*options_.logFolder) : host::Log()),
      loader_(options_.sleeper) {
    resources_.SetHostUi(&ui_);
    dataSet_ = std::make_unique<SX_PanoramaDataSet>(resources_, &ui_);
    dataSet_->Initialise();
    dataSet_->SetLoadControl(&loader_);

    evaluator_ = options_.evaluator ? options_.evaluator : std::make_shared<SX_SystemEvaluator>();
    systemFit_ = evaluator_->Score() > 10;
    readyState_ = 2;

    controlVersion_ =
        options_.controlVersion.empty() ? BuildVersionText() : options_.controlVersion;
    installation_ = control::Installation::Find(options_.registryFile, resources_);
    defaults_.Load(platform::PerUserPath(u"\\Panora\\Defaults.xml"), resources_);
    defaultUnit_ = defaults_.text.unit;
    defaultUnitLabel_ = defaults_.text.frmtUnit;
    CreateNeighborsAndNavigation();
}

bool SX_Control::SaveDefaults() {
    const std::u16string& path = defaults_.FilePath();
    if (path.empty()) {
        return false;
    }
    defaults_.text.unit = defaultUnit_.load();
    defaults_.text.frmtUnit = defaultUnitLabel_;
    const std::size_t slash = path.find_last_of(u'/');
    if (slash != std::u16string::npos) {
        platform::CreateFolders(std::u16string_view(path).substr(0, slash));
    }
    return persist::SaveDefaults(defaults_, path);
}

void SX_Control::CreateNeighborsAndNavigation() {
    const auto fire = [this](platform::DISPID id, const std::vector<platform::Variant>& args) {
        FireEvent(id, args);
    };
    neighbors_ = std::make_unique<view3d::NeighborView>();
    neighbors_->SetEventSink(fire);
    const std::u16string& iconFile = installation_.stationIconFile;
    if (!iconFile.empty()) {
        // A relative name is taken from the installation's UI folder.
        const std::u16string icon =
            platform::IsRelative(iconFile)
                ? platform::Join(platform::Join(installation_.path, u"UI"), iconFile)
                : iconFile;
        neighbors_->SetIconFromFile(icon);
    }
    // An installation with its own customisation file brings no button images.
    hotlinks_ = std::make_unique<control::HotlinkController>(*this);
    hotlinks_->SetAutoSaveHook([this] { SaveMarkup(); });
    if (const std::u16string& file = installation_.hotlinkIconFile; !file.empty()) {
        hotlinks_->Painter().SetDefaultIconFile(
            platform::IsRelative(file)
                ? platform::Join(platform::Join(installation_.path, u"UI"), file)
                : file);
    }
    navigation_ = std::make_unique<view3d::NavigationControls>(!installation_.customised);
    navigation_->SetEventSink(fire);
    navigation_->SetRenderer([this] {
        if (graphicWindow_) {
            graphicWindow_->RequestCapture();
        }
        RenderFrame();
    });
}

SX_Control::~SX_Control() {
    if (viewsLink_) {
        viewsLink_->host = nullptr;  // views the page holds become unbound
    }
    if (IsAlive()) {
        Window::Destroy();
    }
    StopLoading();
    // Written once more as the defaults go, without the lock: the file is
    // replaced whole, so a writer beside us never leaves it torn.
    SaveDefaults();
    // The children go before the data set they point into.
    drawingWindow_.reset();
    graphicWindow_.reset();
}

std::u16string SX_Control::BuildVersionText() {
    return platform::FromUtf8(
        std::to_string(PANORA_VERSION_MAJOR) + "." + std::to_string(PANORA_VERSION_MINOR) + "." +
        std::to_string(PANORA_VERSION_PATCH) + "." + std::to_string(PANORA_VERSION_TWEAK));
}

// ---------------------------------------------------------------------------
// Windows and timers

bool SX_Control::Create(int width, int height) {
    if (created_ || !IsAlive()) {
        return false;
    }
    created_ = true;
    width_ = width;
    height_ = height;
    if (!systemFit_) {
        SetReadyState(4);
        Invalidate();
        return false;
    }
    view3d::ViewHost& host = *this;
    graphicWindow_ = std::make_unique<SX_GraphicWindow>(loop_, *dataSet_, &host);
    graphicWindow_->SetMeasureController(std::make_unique<SX_MeasureController>(host));
    graphicWindow_->SetPainter([this] { return RenderFrame(); });
    graphicWindow_->SetSleeper([this](int milliseconds) { loader_.Sleep(milliseconds); });
    viewTargets_ = std::make_unique<control::ViewTargets>(*navigation_, *neighbors_, *hotlinks_);
    graphicWindow_->SetTargets(viewTargets_.get());
    platform::Message create = platform::Message::Of(platform::kMsgCreate);
    graphicWindow_->Send(create);
    // Attached to the view: a fresh camera drawing into the window's world.
    dataSet_->Initialise(&graphicWindow_->World());
    drawingWindow_ = std::make_unique<SX_2DDrawingWindow>(loop_);
    if (!graphicWindow_->IsAlive() || !drawingWindow_->IsAlive()) {
        return false;
    }
    CreateViews();
    CreateDrawingController();
    graphicWindow_->Show(true);
    LayoutChildren();
    graphicWindow_->PrepareOpenGL();
    SetTimer(kTimerInitGraphics, 100);
    SetReadyState(3);
    return true;
}

bool SX_Control::IsCreated() const {
    return created_;
}

void SX_Control::Destroy() {
    if (IsAlive()) {
        Window::Destroy();
    }
}

void SX_Control::Resize(int width, int height) {
    platform::Message message = platform::Message::Size(width, height);
    if (IsAlive()) {
        Send(message);
    }
}

void SX_Control::OnMessage(platform::Message& message) {
    switch (message.id) {
        case platform::kMsgTimer:
            OnTimer(message.timerId);
            break;
        case platform::kMsgSize:
            width_ = message.x;
            height_ = message.y;
            LayoutChildren();
            break;
        case platform::kMsgPaint:
            OnPaint();
            break;
        case platform::kMsgKeyDown:
            OnKeyDown(message.key);
            break;
        case platform::kMsgChar:
            // Characters type into a text drawing while the view is locked.
            if (lockedForDrawing_ && drawingWindow_ && drawingWindow_->IsAlive()) {
                platform::Message forwarded = message;
                drawingWindow_->Send(forwarded);
            }
            break;
        case platform::kMsgMouseWheel:
            if (drawingWindow_ && drawingWindow_->IsAlive() && drawingWindow_->IsVisible()) {
                // The still image does not zoom: the overlay leaves the wheel.
                platform::Message wheel = message;
                drawingWindow_->Send(wheel);
            } else if (graphicWindow_ && graphicWindow_->IsAlive()) {
                platform::Message wheel = message;
                wheel.x -= graphicWindow_->X();
                wheel.y -= graphicWindow_->Y();
                graphicWindow_->Send(wheel);
            }
            break;
        case platform::kMsgDestroy:
            OnDestroy();
            break;
        default:
            break;
    }
}

bool SX_Control::DeliverInput(platform::Message message) {
    if (!IsAlive()) {
        return false;
    }
    const bool mouse =
        message.id >= platform::kMsgMouseMove && message.id <= platform::kMsgMButtonDblClk;
    if (!mouse) {
        return Send(message);
    }
    SX_2DDrawingWindow* overlay = drawingWindow_.get();
    if (overlay != nullptr && overlay->IsAlive() && overlay->IsVisible()) {
        if (NavigationOverOverlay(message)) {
            return true;
        }
        return overlay->Send(message);  // it fills the client area
    }
    SX_GraphicWindow* view = graphicWindow_.get();
    if (view == nullptr || !view->IsAlive()) {
        return false;
    }
    const platform::WindowId capture = loop_.Capture();
    const bool inside = message.x >= view->X() && message.y >= view->Y() &&
                        message.x < view->X() + view->Width() &&
                        message.y < view->Y() + view->Height();
    if (capture != view->Id() && !(inside && view->IsVisible())) {
        return false;
    }
    message.x -= view->X();
    message.y -= view->Y();
    return view->Send(message);
}

void SX_Control::OnTimer(std::uint32_t timerId) {
    switch (timerId) {
        case kTimerInvalidate:
            KillTimer(kTimerInvalidate);
            Invalidate();
            break;
        case kTimerInitGraphics:
            KillTimer(kTimerInitGraphics);
            InitializeGraphics();
            break;
        case kTimerInitialized:
            KillTimer(kTimerInitialized);
            FireEvent(SX_ControlEvents::kControlInitialized);
            FireEvent(SX_ControlEvents::kNewAPIAdded, {platform::Variant(std::int32_t{1})});
            break;
        case kTimerMonitor:
            MonitorTick();
            break;
        case kTimerSpin:
            SpinTick();
            break;
        default:
            break;
    }
}

void SX_Control::InitializeGraphics() {
    log_.Write(u"Start Initializing Graphics\n");
    if (graphicWindow_ && graphicWindow_->InitOpenGL()) {
        log_.Write(u"\tsuccessful\n");
        Invalidate();  // the first frame
        SetReadyState(4);
        SetTimer(kTimerInitialized, 100);
    } else {
        log_.Write(u"\tfailed\n");
    }
}

void SX_Control::SetReadyState(std::int32_t state) {
    readyState_ = state;
    NotifyPropertyChanged(kDispIdReadyState);
}

void SX_Control::NotifyPropertyChanged(platform::DISPID id) {
    if (!eventsFrozen_) {
        propertyNotify_.Fire(id);
    }
}

HRESULT SX_Control::FireEvent(platform::DISPID id, const std::vector<platform::Variant>& args) {
    return events_.Fire(id, args);
}

void SX_Control::LayoutChildren() {
    if (!graphicWindow_) {
        return;
    }
    if ((viewShown_ || lockedForDrawing_) && drawingWindow_) {
        // The 3D window fills the new size first, so that the overlay's new
        // still image is taken at it.
        graphicWindow_->Move(0, 0, width_, height_);
        drawingWindow_->Move(0, 0, width_, height_);
        return;
    }
    if (dataSet_->HasError()) {
        graphicWindow_->Move(static_cast<int>(0.2 * width_), 0, static_cast<int>(0.8 * width_),
                             static_cast<int>(0.6 * height_));
    } else {
        graphicWindow_->Show(true);
        graphicWindow_->Move(0, 0, width_, height_);
    }
    if (drawingWindow_) {
        drawingWindow_->Move(0, 0, 0, 0);
    }
}

void SX_Control::OnPaint() {
    if (!ShowsErrorPage()) {
        errorPage_ = platform::RgbImage();
        if (graphicWindow_) {
            graphicWindow_->Invalidate();
        }
        return;
    }
    // The view moves aside and is drawn; its frame goes onto the page.
    const platform::RgbImage* view = nullptr;
    if (graphicWindow_) {
        graphicWindow_->Move(static_cast<int>(0.2 * width_), 0, static_cast<int>(0.8 * width_),
                             static_cast<int>(0.6 * height_));
        graphicWindow_->RequestCapture();
        const platform::RgbImage& frame = graphicWindow_->Captured();
        if (RenderFrame() && frame.width == graphicWindow_->Width() &&
            frame.height == graphicWindow_->Height()) {
            view = &frame;
        }
    }
    errorPage_ = control::DrawErrorPage(ErrorPageLines(), width_, height_, view,
                                        graphicWindow_ ? graphicWindow_->X() : 0,
                                        graphicWindow_ ? graphicWindow_->Y() : 0);
}

void SX_Control::Redraw() {
    if (!IsAlive()) {
        return;
    }
    Invalidate();
    loop_.UpdateWindow(Id());
    if (graphicWindow_ && graphicWindow_->IsAlive()) {
        loop_.UpdateWindow(graphicWindow_->Id());
    }
}

void SX_Control::Repaint() {
    if (IsAlive()) {
        Invalidate();
    }
}

void SX_Control::OnDestroy() {
    if (destroyed_) {
        return;
    }
    destroyed_ = true;
    SX_Trace("SX_Control::OnDestroy\r\n");
    {
        platform::NamedLock lock(u"Panora.Defaults.xml");
        if (!lock.IsHeld()) {
            SX_Trace("NamedLock fails to be created, error code:%d\r\n", lock.Error());
        }
        SaveDefaults();
        FireEvent(SX_ControlEvents::kDestroying);
        StopLoading();
    }
    if (viewsLink_) {
        viewsLink_->host = nullptr;
    }
    if (drawingWindow_) {
        drawingWindow_->ReleaseDrawings();
        drawingWindow_->Destroy();
    }
    if (graphicWindow_) {
        graphicWindow_->Destroy();
    }
}

// ---------------------------------------------------------------------------
// Error page

bool SX_Control::ShowsErrorPage() const {
    return !(systemFit_ && !dataSet_->HasError() && !loadFailed_.load());
}

std::vector<std::u16string> SX_Control::ErrorPageLines() const {
    return control::ErrorPageLines(resources_, systemFit_, {dataSet_.get(), &errors_});
}

std::u16string SX_Control::ErrorPageText() const {
    return control::JoinLines(ErrorPageLines());
}
