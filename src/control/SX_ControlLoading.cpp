// The control's loads: starting and stopping the loader thread, the loader's
// work (location, "Station.bmp", "Version.ini", the description file, the
// version check, the tile pyramid), the monitor timer and the load-path
// automation members.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

#include "control/HostContainer.h"
#include "control/SX_Control.h"
#include "control/SX_ControlEvents.h"
#include "control/VersionCheck.h"
#include "platform/IniFile.h"
#include "platform/Path.h"
#include "station/SX_LoadingContext.h"
#include "station/SX_PanoramaDataSet.h"
#include "view3d/NeighborView.h"
#include "view3d/SX_GraphicWindow.h"

using platform::Bstr;
using platform::HRESULT;
using platform::S_OK;
using platform::VARIANT_BOOL;

namespace {

constexpr char16_t kDefaultDataVersion[] = u"1.0.48.0";

}  // namespace

void SX_Control::StartLoading() {
    StopLoading();
    FireEvent(SX_ControlEvents::kDownloadInProgress);
    const std::u16string src = src_;
    // The control's own list holds the faults of the current load only.
    errors_.ClearMessages();
    // A fault of the load is named in the control's error list and fails
    // the station, so the error panel shows it.
    auto onFault = [this](const std::u16string& name) {
        errors_.AddMessage(name);
        loadFailed_ = true;
    };
    if (!loader_.Start([this, src] { LoadThreadBody(src); }, onFault)) {
        errors_.AddMessage(u"The loader thread could not be started.");
        loadFailed_ = true;
    }
    SetTimer(kTimerMonitor, 500);
}

bool SX_Control::LoadThreadBody(const std::u16string& src) {
    auto context = hostContainer_
                       ? std::make_shared<SX_LoadingContext>(SX_LoadingContext::FromContainer{},
                                                             hostContainer_->BaseLocation())
                       : std::make_shared<SX_LoadingContext>(src);
    if (options_.downloadCache != nullptr) {
        context->SetDownloadCache(options_.downloadCache);
    }
    // A download in flight is abandoned on the stop request.
    context->SetCancelCheck([this] { return loader_.IsStopRequested(); });
    const std::u16string path = context->Resolve(src);
    loader_.SetLocation(path);
    const std::u16string stationBmp = context->Resolve(u"Station.bmp");
    if (!stationBmp.empty() && platform::FileExists(stationBmp)) {
        loader_.SetStationImage(stationBmp);
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
    loader_.KeepContext(std::move(context));
    bool foundVersionRecord = false;
    const bool readOk = dataSet_->LoadPhase1(ctx, src, foundVersionRecord);
    // The description's point-data flag, when it has one, decides measuring.
    measureEnabled_ = dataSet_->MeasureEnabled();
    neighbors_->Reset(*dataSet_);
    if (!readOk) {
        loadFailed_ = true;
        return false;
    }
    // A unit read from the defaults file wins over the station's.
    if (!defaults_.Loaded()) {
        defaultUnit_ = dataSet_->DefaultDistanceUnit();
    }
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
    control::RunVersionCheck(controlVersion_, dataSet_->RequiredDataVersion(), resources_, ui_,
                             kUpdatePage,
                             [this](const std::u16string&) { return OpenUpdatePage(); });
}

bool SX_Control::OpenUpdatePage() {
    return OpenLinkIn(std::u16string(kUpdatePage), u"_self");
}

void SX_Control::StopLoading() {
    if (IsAlive()) {
        KillTimer(kTimerMonitor);
        KillTimer(kTimerSpin);
    }
    if (loader_.Stop()) {
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
}

void SX_Control::MonitorTick() {
    double progress = 0.0;
    GetDownladProgress(&progress);
    const control::Loader::Report report = loader_.MonitorTick(progress);
    // Stopped before the event: a handler that starts another load starts
    // its own monitor.
    if (!loader_.IsRunning()) {
        KillTimer(kTimerMonitor);
    }
    switch (report) {
        case control::Loader::Report::kInProgress:
            FireEvent(SX_ControlEvents::kDownloadInProgress);
            break;
        case control::Loader::Report::kComplete:
            FireEvent(SX_ControlEvents::kDownloadComplete);
            break;
        case control::Loader::Report::kNothing:
            break;
    }
    if (!loop_.HasTimer(Id(), kTimerSpin)) {
        LayoutChildren();
        Repaint();
    }
}

HRESULT SX_Control::put_src(const Bstr& value) {
    if (readyState_ != 4 || value.IsEmpty()) {
        return S_OK;
    }
    loader_.BeginLoad();
    src_ = value.Str();
    StartLoading();
    return S_OK;
}

HRESULT SX_Control::GetDownladProgress(double* percent) const {
    if (percent == nullptr) {
        return platform::E_POINTER;
    }
    if (loader_.Finished()) {
        *percent = 100.0;
        return S_OK;
    }
    const double value = std::trunc(dataSet_->GetProgress() * 100.0 * 10.0) / 10.0;
    *percent = std::min(value, 100.0);
    return S_OK;
}

HRESULT SX_Control::PauseDownload(VARIANT_BOOL value) {
    loader_.Pause(value == platform::VARIANT_TRUE);
    return S_OK;
}

HRESULT SX_Control::ClearCubeMap() {
    StopLoading();
    Repaint();
    return S_OK;
}
