#include "control/SX_Control.h"

#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

#include <GL/gl.h>
#include "BuildVersion.h"
#include "control/SX_ControlEvents.h"
#include "control/SX_ControlViewTargets.h"
#include "control/SX_HostContainer.h"
#include "control/SX_SystemEvaluator.h"

#include "glcore/SX_OpenGLCamera.h"
#include "host/HostUi.h"
#include "host/SX_Format.h"
#include "markup2d/SX_2DDrawingWindow.h"
#include "measure/SX_MeasureController.h"
#include "platform/IniFile.h"
#include "platform/NamedLock.h"
#include "platform/Path.h"
#include "platform/Registry.h"
#include "platform/Text.h"
#include "resources/StringTable.h"
#include "station/SX_CubeMap.h"
#include "station/SX_LoadingContext.h"
#include "station/SX_PanoramaDataSet.h"
#include "view3d/SX_GraphicWindow.h"
#include "view3d/SX_NavigationControls.h"
#include "view3d/SX_NeighborView.h"

extern char** environ;

using platform::Bstr;
using platform::HRESULT;
using platform::S_OK;
using platform::VARIANT_BOOL;
using StraleLib::AutoCriticalLock;

namespace {

constexpr std::size_t kPathBuffer = 255;
// The cube map's interaction state after a timer tick turned the camera.
constexpr int kInteractionTimerRotation = 2;
constexpr std::size_t kLoaderStack = 0x600000;
constexpr platform::DISPID kDispIdReadyState = -525;
constexpr platform::DISPID kDispIdEnabled = -514;
constexpr char16_t kDefaultDataVersion[] = u"1.0.48.0";
// Where the product installs when the registry does not say.
constexpr char16_t kDefaultInstallPath[] = u"/opt/strale/panora";

// At most bufferSize - 1 characters, as a fixed buffer would hold.
std::u16string Cut(std::u16string_view text, std::size_t bufferSize) {
    return std::u16string(text.substr(0, std::min(text.size(), bufferSize - 1)));
}

// "%d.%d.%d.%d": the numbers read before the first that does not parse;
// the rest stay 0.
struct Version {
    int part[4] = {0, 0, 0, 0};
};

Version ParseVersion(std::u16string_view text) {
    Version v;
    std::size_t pos = 0;
    for (int i = 0; i < 4; ++i) {
        if (i > 0) {
            if (pos >= text.size() || text[pos] != u'.') {
                break;
            }
            ++pos;
        }
        while (pos < text.size() && (text[pos] == u' ' || text[pos] == u'\t')) {
            ++pos;
        }
        bool negative = false;
        if (pos < text.size() && (text[pos] == u'-' || text[pos] == u'+')) {
            negative = text[pos] == u'-';
            ++pos;
        }
        const std::size_t start = pos;
        long long value = 0;
        while (pos < text.size() && text[pos] >= u'0' && text[pos] <= u'9') {
            value = std::min<long long>(value * 10 + (text[pos] - u'0'), 0x7fffffff);
            ++pos;
        }
        if (pos == start) {
            break;
        }
        v.part[i] = static_cast<int>(negative ? -value : value);
    }
    return v;
}

bool OpenWithDesktop(const std::u16string& url) {
    const std::string target = platform::ToUtf8(url);
    char program[] = "xdg-open";
    char* argv[] = {program, const_cast<char*>(target.c_str()), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, program, nullptr, nullptr, argv, environ) != 0) {
        return false;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

const std::u16string_view SX_Control::kProductId = u"StralePanoraViewer";
const std::u16string_view SX_Control::kUpdatePage = u"https://panora.example.org/update";

SX_Control::SX_Control(platform::MessageLoop& loop, HostUi& ui,
                       std::unique_ptr<SX_HostContainer> container)
    : SX_Control(loop, ui, std::move(container), Options()) {}

SX_Control::SX_Control(platform::MessageLoop& loop, HostUi& ui,
                       std::unique_ptr<SX_HostContainer> container, Options options)
    : platform::Window(loop),
      loop_(loop),
      ui_(ui),
      options_(std::move(options)),
      hostContainer_(std::move(container)),
      log_(options_.logFolder ? SX_Log(*options_.logFolder) : SX_Log()) {
    resources_.SetHostUi(&ui_);
    dataSet_ = std::make_unique<SX_PanoramaDataSet>(resources_, &ui_);
    dataSet_->Initialise();
    dataSet_->SetLoadControl(this);

    evaluator_ = options_.evaluator ? options_.evaluator : std::make_shared<SX_SystemEvaluator>();
    systemFit_ = evaluator_->Score() > 10;
    readyState_ = 2;

    controlVersion_ =
        options_.controlVersion.empty() ? BuildVersionText() : options_.controlVersion;
    FindInstallLocation();
    CreateNeighborsAndNavigation();
}

void SX_Control::CreateNeighborsAndNavigation() {
    const auto fire = [this](platform::DISPID id, const std::vector<platform::Variant>& args) {
        FireEvent(id, args);
    };
    neighbors_ = std::make_unique<SX_NeighborView>();
    neighbors_->SetEventSink(fire);
    if (!stationIconFile_.empty()) {
        // A relative name is taken from the installation's UI folder.
        const std::u16string icon =
            platform::IsRelative(stationIconFile_)
                ? platform::Join(platform::Join(installPath_, u"UI"), stationIconFile_)
                : stationIconFile_;
        neighbors_->SetIconFromFile(icon);
    }
    // An installation with its own customisation file brings no button images.
    const bool customised = !installPath_.empty() && platform::FileExists(platform::Join(
                                                         installPath_, u"UI/Customization.ini"));
    navigation_ = std::make_unique<SX_NavigationControls>(!customised);
    navigation_->SetEventSink(fire);
    navigation_->SetRenderer([this] {
        if (graphicWindow_) {
            graphicWindow_->RequestCapture();
        }
        RenderFrame();
    });
}

SX_Control::~SX_Control() {
    if (IsAlive()) {
        Window::Destroy();
    }
    StopLoading();
    // The children go before the data set they point into.
    drawingWindow_.reset();
    graphicWindow_.reset();
}

std::u16string SX_Control::BuildVersionText() {
    return platform::FromUtf8(
        std::to_string(PANORA_VERSION_MAJOR) + "." + std::to_string(PANORA_VERSION_MINOR) + "." +
        std::to_string(PANORA_VERSION_PATCH) + "." + std::to_string(PANORA_VERSION_TWEAK));
}

void SX_Control::FindInstallLocation() {
    const platform::Registry registry = options_.registryFile.empty()
                                            ? platform::Registry()
                                            : platform::Registry(options_.registryFile);
    platform::RegistryKey key;
    const std::u16string subKey = std::u16string(kUninstallKey) + std::u16string(kProductId);
    if (registry.OpenKey(platform::kLocalMachine, subKey, key)) {
        std::u16string location;
        if (key.ReadString(u"InstallLocation", location)) {
            installPath_ = location;
            helpPath_ = platform::Join(location, u"Help/Panora.chm");
            resources_.LoadMessageFile(installPath_);
        }
    } else {
        installPath_ = kDefaultInstallPath;
        helpPath_ = platform::Join(installPath_, u"Help/Panora.chm");
    }
    if (!installPath_.empty()) {
        resources_.LoadSideModule(installPath_);
        const std::u16string ini = platform::Join(installPath_, u"UI/Customization.ini");
        stationIconFile_ = platform::ReadProfileString(u"Station", u"Image", u"", 1024, ini);
        hotlinkIconFile_ = platform::ReadProfileString(u"Hotlink", u"Image", u"", 1024, ini);
    }
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
    viewTargets_ = std::make_unique<SX_ControlViewTargets>(*navigation_, *neighbors_);
    graphicWindow_->SetTargets(viewTargets_.get());
    platform::Message create = platform::Message::Of(platform::kMsgCreate);
    graphicWindow_->Send(create);
    // Attached to the view: a fresh camera drawing into the window's world.
    dataSet_->Initialise(&graphicWindow_->World());
    drawingWindow_ = std::make_unique<SX_2DDrawingWindow>(loop_);
    if (!graphicWindow_->IsAlive() || !drawingWindow_->IsAlive()) {
        return false;
    }
    graphicWindow_->Show(true);
    LayoutChildren();
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
        case platform::kMsgMouseWheel:
            if (graphicWindow_ && graphicWindow_->IsAlive()) {
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
        if (graphicWindow_) {
            graphicWindow_->Invalidate();
        }
        return;
    }
    if (graphicWindow_) {
        graphicWindow_->Move(static_cast<int>(0.2 * width_), 0, static_cast<int>(0.8 * width_),
                             static_cast<int>(0.6 * height_));
        graphicWindow_->Invalidate();
    }
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
        FireEvent(SX_ControlEvents::kDestroying);
        StopLoading();
    }
    if (drawingWindow_) {
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
    std::vector<std::u16string> lines;
    lines.push_back(resources_.Text(u"sx:Resource/sx:CopyRight", resources::IDS_COPYRIGHT));
    lines.push_back(resources_.Text(u"sx:Resource/sx:Errors", resources::IDS_ERRORS));
    if (systemFit_) {
        for (const auto* list : {static_cast<const SX_ErrorLogger*>(dataSet_.get()), &errors_}) {
            if (list->HasError()) {
                for (std::u16string& message : list->Messages()) {
                    lines.push_back(std::move(message));
                }
            }
        }
    } else {
        lines.push_back(
            resources_.Text(u"sx:Resource/sx:SystemNotMeet", resources::IDS_SYSTEM_NOT_MEET));
    }
    return lines;
}

std::u16string SX_Control::ErrorPageText() const {
    std::u16string text;
    for (const std::u16string& line : ErrorPageLines()) {
        text += line;
        text += u'\n';
    }
    return text;
}

// ---------------------------------------------------------------------------
// Loading

bool SX_Control::IsStopRequested() const {
    AutoCriticalLock lock(loadLock_);
    return !notCancelled_;
}

bool SX_Control::IsPaused() const {
    AutoCriticalLock lock(loadLock_);
    return !continueLoading_;
}

void SX_Control::Sleep(int milliseconds) {
    if (options_.sleeper) {
        options_.sleeper(milliseconds);
    } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
}

void SX_Control::StartLoading() {
    StopLoading();
    FireEvent(SX_ControlEvents::kDownloadInProgress);
    auto thread = std::make_unique<platform::Thread>();
    platform::Thread::Options threadOptions;
    threadOptions.stackSize = kLoaderStack;
    threadOptions.belowNormalPriority = true;
    threadOptions.name = "SX_Loader";
    const std::u16string src = src_;
    if (thread->Start([this, src] { LoadThreadBody(src); }, threadOptions)) {
        loaderThread_ = std::move(thread);
    } else {
        errors_.AddMessage(u"The loader thread could not be started.");
        loadFailed_ = true;
    }
    SetTimer(kTimerMonitor, 500);
}

bool SX_Control::LoadThreadBody(const std::u16string& src) {
    auto context = hostContainer_
                       ? std::make_unique<SX_LoadingContext>(SX_LoadingContext::FromContainer{},
                                                             hostContainer_->BaseLocation())
                       : std::make_unique<SX_LoadingContext>(src);
    if (options_.downloadCache != nullptr) {
        context->SetDownloadCache(options_.downloadCache);
    }
    const std::u16string path = context->Resolve(src);
    {
        AutoCriticalLock lock(loadLock_);
        srcPath_ = path;
        const std::size_t slash = path.find_last_of(u"/\\");
        dataSetDirectory_ =
            slash == std::u16string::npos ? std::u16string() : path.substr(0, slash);
    }
    const std::u16string stationBmp = context->Resolve(u"Station.bmp");
    if (!stationBmp.empty() && platform::FileExists(stationBmp)) {
        {
            AutoCriticalLock lock(loadLock_);
            stationImage_ = stationBmp;
        }
        neighbors_->SetIconFromFile(stationBmp);
    }
    const std::u16string versionIni = context->Resolve(u"Version.ini");
    dataSet_->SetRequiredDataVersion(
        versionIni.empty() ? std::u16string(kDefaultDataVersion)
                           : platform::ReadProfileString(u"Panora Information", u"Build",
                                                         kDefaultDataVersion, 256, versionIni));

    if (graphicWindow_) {
        context->SetOpenGLContext(graphicWindow_->Context());
    }
    SX_LoadingContext& ctx = *context;
    {
        AutoCriticalLock lock(loadLock_);
        loadingContext_ = std::move(context);
    }
    bool foundVersionRecord = false;
    const bool readOk = dataSet_->LoadPhase1(ctx, src, foundVersionRecord);
    neighbors_->Reset(*dataSet_);
    if (!readOk) {
        loadFailed_ = true;
        return false;
    }
    defaultUnit_ = dataSet_->DefaultDistanceUnit();
    if (foundVersionRecord) {
        versionCheckDone_ = true;
    }
    VersionCheck();
    const bool ok = dataSet_->LoadPhase2(ctx, src);
    loadFailed_ = !ok;
    return ok;
}

void SX_Control::VersionCheck() {
    if (versionCheckDone_.exchange(true)) {
        return;
    }
    const Version control = ParseVersion(controlVersion_);
    const Version data = ParseVersion(Cut(dataSet_->RequiredDataVersion(), 255));
    const bool dataIssue =
        data.part[0] == 1 && data.part[1] == 0 && data.part[2] == 48 && data.part[3] == 0;
    const auto c = std::tie(control.part[0], control.part[1], control.part[2]);
    const auto d = std::tie(data.part[0], data.part[1], data.part[2]);
    if (c < d) {
        std::u16string text;
        for (int id = resources::IDS_UPGRADE_FIRST; id < resources::IDS_UPGRADE_CAPTION; ++id) {
            text += resources_.LoadStringWithFallback(id);
        }
        text += u"from " + std::u16string(kUpdatePage) + u".";
        const int answer =
            ui_.MessageBox(text, resources_.LoadStringWithFallback(resources::IDS_UPGRADE_CAPTION),
                           HostUi::kYesNo | HostUi::kIconWarning);
        if (answer == HostUi::kIdYes) {
            OpenUpdatePage();
        }
    } else if (c > d && dataIssue) {
        std::u16string text;
        for (int id = resources::IDS_DATA_ISSUE_FIRST; id < resources::IDS_DATA_ISSUE_CAPTION;
             ++id) {
            text += resources_.LoadStringWithFallback(id);
        }
        ui_.MessageBox(text, resources_.LoadStringWithFallback(resources::IDS_DATA_ISSUE_CAPTION),
                       HostUi::kOk | HostUi::kIconWarning);
    }
}

bool SX_Control::OpenUpdatePage() {
    const std::u16string url(kUpdatePage);
    if (hostContainer_) {
        return hostContainer_->OpenLink(url, u"_self");
    }
    return options_.openBrowser ? options_.openBrowser(url) : OpenWithDesktop(url);
}

void SX_Control::StopLoading() {
    if (IsAlive()) {
        KillTimer(kTimerMonitor);
        KillTimer(kTimerSpin);
    }
    if (loaderThread_) {
        {
            AutoCriticalLock lock(loadLock_);
            continueLoading_ = false;
            notCancelled_ = false;
        }
        if (!loaderThread_->WaitFor(1000) && !loaderThread_->WaitFor(1000)) {
            // A thread cannot be killed safely here: it is given its last
            // 400 ms and then waited for; its waits all end on the stop flag.
            std::this_thread::sleep_for(std::chrono::milliseconds(400));
        }
        loaderThread_->Join();
        loaderThread_.reset();
        dataSet_->SetProgress(0.0);
    }
    if (graphicWindow_) {
        graphicWindow_->DropPixelBuffer();
        if (!graphicWindow_->ClearDataSet()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
        }
    } else {
        dataSet_->Clear();
    }
    neighbors_->Clear();
    AutoCriticalLock lock(loadLock_);
    continueLoading_ = true;
    notCancelled_ = true;
}

void SX_Control::MonitorTick() {
    const bool ended = !loaderThread_ || loaderThread_->WaitFor(10);
    if (!ended) {
        double progress = 0.0;
        GetDownladProgress(&progress);
        if (progress != lastProgress_) {
            lastProgress_ = progress;
            stallTicks_ = 0;
            FireEvent(SX_ControlEvents::kDownloadInProgress);
        } else if (stallTicks_ < 4) {
            ++stallTicks_;
            FireEvent(SX_ControlEvents::kDownloadInProgress);
        } else if (stallTicks_ == 4) {
            stallTicks_ = 5;
            if (!completeFired_) {
                completeFired_ = true;
                FireEvent(SX_ControlEvents::kDownloadComplete);
            }
        }
    } else {
        KillTimer(kTimerMonitor);
        if (loaderThread_) {
            loaderThread_->Join();
            loaderThread_.reset();
        }
        loadFinished_ = true;
        if (!completeFired_) {
            completeFired_ = true;
            FireEvent(SX_ControlEvents::kDownloadComplete);
        }
    }
    if (!loop_.HasTimer(Id(), kTimerSpin)) {
        LayoutChildren();
        Repaint();
    }
}

std::u16string SX_Control::SrcPath() const {
    AutoCriticalLock lock(loadLock_);
    return srcPath_;
}

std::u16string SX_Control::DataSetDirectory() const {
    AutoCriticalLock lock(loadLock_);
    return dataSetDirectory_;
}

std::u16string SX_Control::StationImage() const {
    AutoCriticalLock lock(loadLock_);
    return stationImage_;
}

// ---------------------------------------------------------------------------
// Automation members

HRESULT SX_Control::put_src(const Bstr& value) {
    if (readyState_ != 4 || value.IsEmpty()) {
        return S_OK;
    }
    loadFinished_ = false;
    {
        AutoCriticalLock lock(loadLock_);
        continueLoading_ = true;
    }
    src_ = value.Str();
    StartLoading();
    return S_OK;
}

HRESULT SX_Control::get_src(Bstr* value) const {
    if (value == nullptr) {
        return platform::E_POINTER;
    }
    *value = Bstr(Cut(src_, kPathBuffer));
    return S_OK;
}

HRESULT SX_Control::get_srcPath(Bstr* value) const {
    if (value == nullptr) {
        return platform::E_POINTER;
    }
    *value = Bstr(Cut(SrcPath(), kPathBuffer));
    return S_OK;
}

HRESULT SX_Control::get_helpPath(Bstr* value) const {
    if (value == nullptr) {
        return platform::E_POINTER;
    }
    *value = Bstr(Cut(helpPath_, kPathBuffer));
    return S_OK;
}

HRESULT SX_Control::get_InstallPath(Bstr* value) const {
    if (value == nullptr) {
        return platform::E_POINTER;
    }
    *value = Bstr(Cut(installPath_, kPathBuffer));
    return S_OK;
}

HRESULT SX_Control::put_CubeMap(const Bstr&) {
    return S_OK;
}

HRESULT SX_Control::get_CubeMap(Bstr* value) const {
    if (value == nullptr) {
        return platform::E_POINTER;
    }
    *value = Bstr(std::u16string());
    return S_OK;
}

HRESULT SX_Control::get_ReadyState(std::int32_t* value) const {
    if (value == nullptr) {
        return platform::E_POINTER;
    }
    *value = readyState_;
    return S_OK;
}

HRESULT SX_Control::put_ReadyState(std::int32_t value) {
    SetReadyState(value);
    return S_OK;
}

HRESULT SX_Control::get_Enabled(VARIANT_BOOL* value) const {
    if (value == nullptr) {
        return platform::E_POINTER;
    }
    *value = platform::ToVariantBool(enabled_);
    return S_OK;
}

HRESULT SX_Control::put_Enabled(VARIANT_BOOL value) {
    enabled_ = platform::IsVariantTrue(value);
    NotifyPropertyChanged(kDispIdEnabled);
    return S_OK;
}

HRESULT SX_Control::get_MeasureEnabled(VARIANT_BOOL* value) const {
    if (value == nullptr) {
        return platform::E_POINTER;
    }
    *value = platform::ToVariantBool(measureEnabled_);
    return S_OK;
}

HRESULT SX_Control::get_MarksLocal(VARIANT_BOOL* value) const {
    if (value == nullptr) {
        return platform::E_POINTER;
    }
    *value = platform::ToVariantBool(marksLocal_);
    return S_OK;
}

HRESULT SX_Control::get_RaiseCameraEvents(VARIANT_BOOL* value) const {
    if (value == nullptr) {
        return platform::E_POINTER;
    }
    *value = platform::ToVariantBool(raiseCameraEvents_);
    return S_OK;
}

HRESULT SX_Control::put_RaiseCameraEvents(VARIANT_BOOL value) {
    raiseCameraEvents_ = platform::IsVariantTrue(value);
    return S_OK;
}

HRESULT SX_Control::GetDownladProgress(double* percent) const {
    if (percent == nullptr) {
        return platform::E_POINTER;
    }
    if (loadFinished_) {
        *percent = 100.0;
        return S_OK;
    }
    const double value = std::trunc(dataSet_->GetProgress() * 100.0 * 10.0) / 10.0;
    *percent = std::min(value, 100.0);
    return S_OK;
}

HRESULT SX_Control::PauseDownload(VARIANT_BOOL value) {
    AutoCriticalLock lock(loadLock_);
    continueLoading_ = value != platform::VARIANT_TRUE;
    return S_OK;
}

HRESULT SX_Control::ClearCubeMap() {
    StopLoading();
    Repaint();
    return S_OK;
}

// ---------------------------------------------------------------------------
// Camera, transitions and spin

StraleLib::SX_OpenGLCamera* SX_Control::Camera() const {
    return readyState_ == 4 ? dataSet_->Camera() : nullptr;
}

bool SX_Control::RenderFrame() {
    StraleLib::SX_OpenGLCamera* camera = dataSet_->Camera();
    if (!graphicWindow_ || !graphicWindow_->HasOpenGL() || camera == nullptr) {
        return true;  // nothing to draw into
    }
    StraleLib::SX_OpenGLContext& context = *graphicWindow_->Context();
    if (!context.TryAcquire()) {
        return false;
    }
    // The framebuffer follows the view's size (a resize while the loader held
    // the context shows in the first frame after).
    const int width = std::max(1, graphicWindow_->Width());
    const int height = std::max(1, graphicWindow_->Height());
    if (context.Width() != width || context.Height() != height) {
        context.Resize(width, height);
    }
    graphicWindow_->World().BeginFrame();
    camera->Draw();
    if (SX_CubeMap* cube = dataSet_->CubeMap()) {
        const bool dragging = cube->InteractionState() < 2;
        cube->Draw();
        if (!dragging) {
            dataSet_->Marks().DrawAll();
        }
        cube->SetInteractionState(SX_CubeMap::kIdle);
    }
    graphicWindow_->World().BeginOverlay();
    graphicWindow_->DrawOverlay();
    graphicWindow_->World().EndOverlay();
    neighbors_->Draw(graphicWindow_->World(), camera, viewMode_);
    // later: hotlinks
    navigation_->Draw(graphicWindow_->World());
    glFinish();
    graphicWindow_->ReadFrame();
    context.Release();
    return true;
}

void SX_Control::CameraTransition(double altitude, double azimuth) {
    StraleLib::SX_OpenGLCamera* camera = dataSet_->Camera();
    if (camera == nullptr) {
        return;
    }
    raiseCameraEvents_ = false;
    camera->Transition(altitude, azimuth, animateTransitions_, [this] {
        while (!RenderFrame()) {
            Sleep(100);
        }
    });
    raiseCameraEvents_ = true;
}

void SX_Control::SetSpin(double value) {
    if (!graphicWindow_ || !IsAlive()) {
        return;
    }
    if (value > 0.01) {
        spinStep_ = value;
        viewMode_ = 2;
        SetTimer(kTimerSpin, 0);
    } else {
        spinStep_ = 0.0;
        viewMode_ = 0;
        KillTimer(kTimerSpin);
    }
}

bool SX_Control::ViewUsable() const {
    return systemFit_ && !dataSet_->HasError() && !loadFailed_.load();
}

void SX_Control::SpinTick() {
    if (!ViewUsable() || dataSet_->Camera() == nullptr || !graphicWindow_) {
        KillTimer(kTimerSpin);
        return;
    }
    if (graphicWindow_->OnViewTimer()) {
        if (SX_CubeMap* cube = dataSet_->CubeMap()) {
            cube->SetInteractionState(kInteractionTimerRotation);
        }
        RenderFrame();
        if (raiseCameraEvents_) {
            FireEvent(SX_ControlEvents::kCameraChanged);
        }
    }
    // A handler above may have stopped the timer.
    if (loop_.HasTimer(Id(), kTimerSpin)) {
        SetTimer(kTimerSpin, spinInterval_);
    }
}
