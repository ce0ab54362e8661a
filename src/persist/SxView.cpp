#include "persist/SxView.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <numbers>

#include "glcore/SX_OpenGLCamera.h"
#include "markup2d/SX_2DDrawingWindow.h"
#include "markup2d/SX_Defaults.h"
#include "persist/ViewDrawings.h"
#include "platform/Guid.h"
#include "platform/SL_XMLWriter.h"
#include "platform/Text.h"
#include "platform/XmlDocument.h"

using namespace platform;
using StraleLib::SX_OpenGLCamera;

namespace {

std::atomic<std::int32_t> nextViewId{100};

std::u16string SnapshotName(std::int32_t id) {
    char text[32];
    std::snprintf(text, sizeof text, "Snapshot#%03d", id);
    return FromUtf8(text);
}

// "%lf" of an attribute in the "C" locale; `fallback` when it is missing,
// empty or not a number.
double ReadNumber(const XmlNode& node, std::u16string_view name, double fallback) {
    if (!node) {
        return fallback;
    }
    const std::optional<std::u16string> text = node.Attribute(name);
    double value = fallback;
    if (!text || text->empty() || ScanInCLocale(ToUtf8(*text).c_str(), "%lf", &value) != 1) {
        return fallback;
    }
    return value;
}

std::u16string ChildText(const XmlNode& element, std::u16string_view name) {
    const XmlNode child = element.SelectSingleNode(name);
    return child ? child.Text() : std::u16string();
}

double ClampLatitude(double degrees) {
    return std::clamp(degrees, -SxView::kMaxLatitude, SxView::kMaxLatitude);
}

double ClampAperture(double degrees) {
    return std::clamp(degrees, SxView::kMinAperture, SxView::kMaxAperture);
}

double WrapAzimuth(double degrees) {
    if (degrees > 180.0) {
        degrees -= 360.0;
    } else if (degrees < -180.0) {
        degrees += 360.0;
    }
    return degrees;
}

void SetCamera(SX_OpenGLCamera& camera, double azimuth, double latitude, double aperture) {
    camera.SetAltitude(ClampLatitude(latitude));
    camera.SetAzimuth(WrapAzimuth(azimuth));
    camera.SetFieldOfView(ClampAperture(aperture));
}

}  // namespace

SxView::SxView() : id_(nextViewId.fetch_add(1)), guid_(NewGuidText()), name_(SnapshotName(id_)) {}

SxView::~SxView() {
    // The overlay must not keep showing a list that goes.
    persist::ViewsHost* host = Host();
    SX_2DDrawingWindow* overlay = host != nullptr ? host->Overlay() : nullptr;
    if (overlay != nullptr && overlay->Drawings() == &drawings_) {
        overlay->ReleaseDrawings();
    }
}

std::int32_t SxView::NextId() {
    return nextViewId.load();
}

void SxView::SetOrientation(double azimuth, double latitude, double aperture) {
    azimuth_ = azimuth;
    latitude_ = latitude;
    aperture_ = aperture;
}

bool SxView::Capture() {
    persist::ViewsHost* host = Host();
    if (host == nullptr) {
        return false;
    }
    if (const SX_OpenGLCamera* camera = host->Camera()) {
        SetOrientation(camera->Azimuth(), camera->Altitude(), camera->FieldOfView());
    }
    return true;
}

void SxView::RenderUntilDrawn(persist::ViewsHost& host, bool capture) {
    while (!host.RenderView(capture)) {
        if (!host.CanRenderView()) {
            return;  // nothing to draw into: the turn goes on without frames
        }
        host.SleepMs(kRenderRetryMs);
    }
}

bool SxView::TurnCamera(persist::ViewsHost& host) {
    SX_OpenGLCamera* camera = host.Camera();
    if (camera == nullptr) {
        return false;
    }
    const double a0 = camera->Azimuth();
    const double t0 = camera->Altitude();
    const double p0 = camera->FieldOfView();
    double a = azimuth_;
    // Across the seam: 170 seen from -170 is -190, twenty degrees away.
    if (a0 - a > 180.0) {
        a += 360.0;
    } else if (a0 - a < -180.0) {
        a -= 360.0;
    }
    const double largest =
        std::max({std::fabs(a0 - a), std::fabs(t0 - latitude_), 2.0 * std::fabs(p0 - aperture_)});
    const bool animated = host.AnimateTransitions() && largest > 2.0;
    if (animated) {
        const double n = std::trunc(largest);
        const double step = n < 26.0 ? 1.0 / 25.0 : 1.0 / n;
        for (int k = 1;; ++k) {
            const double t = k * step;
            if (t > 0.999999999999999) {
                break;
            }
            const double s = t < 1e-15 ? 0.0 : 0.5 - 0.5 * std::cos(std::numbers::pi * t);
            if (s >= 1.0) {
                break;
            }
            SetCamera(*camera, (1.0 - s) * a0 + s * a, s * latitude_ + (1.0 - s) * t0,
                      s * aperture_ + (1.0 - s) * p0);
            RenderUntilDrawn(host, false);
        }
    }
    SetCamera(*camera, a, latitude_, aperture_);
    RenderUntilDrawn(host, true);
    return animated;
}

bool SxView::Apply(bool lockForDrawing) {
    persist::ViewsHost* host = Host();
    if (host == nullptr) {
        return false;
    }
    host->HideAllNeighbors();
    if (host->ShownViewId() == id_ && host->LockedForDrawing() == lockForDrawing) {
        return true;
    }
    host->SetRaiseCameraEvents(false);
    host->LeaveViewMode();
    const bool animated = TurnCamera(*host);
    if (SX_2DDrawingWindow* overlay = host->Overlay()) {
        overlay->SetDrawings(&drawings_);
    }
    if (lockForDrawing) {
        host->EnterViewMode(animated);
        host->LockForDrawing();
    } else {
        host->EnterViewMode(true);
    }
    host->SetShownViewId(id_);
    host->SetRaiseCameraEvents(true);
    return true;
}

bool SxView::WriteXml(StraleLib::SL_XMLWriter& w) const {
    persist::ViewsHost* host = Host();
    if (host == nullptr || !w.StartElement(u"sx:View", kSxNamespace)) {
        return false;
    }
    w.AddAttribute(u"Name", name_);
    w.AddAttribute(u"GUID", guid_);
    w.StartElement(u"sx:Created");
    w.SetText(createdOn_);
    w.EndElement();
    w.StartElement(u"sx:User");
    w.SetText(userName_);
    w.EndElement();
    w.StartElement(u"sx:Camera");
    w.StartElement(u"sx:Orientation");
    w.AddAttribute(u"Azimuth", azimuth_);
    w.AddAttribute(u"Latitude", latitude_);
    w.AddAttribute(u"Aperture", aperture_);
    w.EndElement();
    w.EndElement();
    if (!drawings_.empty()) {
        w.StartElement(u"sx:Marks");
        w.AddAttribute(u"RefWidth", static_cast<double>(host->Width()));
        w.AddAttribute(u"RefHeight", static_cast<double>(host->Height()));
        for (const auto& drawing : drawings_) {
            drawing->WriteXml(w);
        }
        w.EndElement();
    }
    return true;
}

platform::XmlNode SxView::XmlElement() const {
    StraleLib::SL_XMLWriter fragment(1);
    if (!WriteXml(fragment)) {
        return {};
    }
    return fragment.EndElement();
}

bool SxView::ReadXml(const XmlNode& element) {
    persist::ViewsHost* host = Host();
    if (host == nullptr) {
        return false;
    }
    if (const auto name = element.Attribute(u"Name"); name && !name->empty()) {
        name_ = *name;
    }
    if (const auto guid = element.Attribute(u"GUID"); guid && !guid->empty()) {
        guid_ = *guid;
    }
    createdOn_ = ChildText(element, u"sx:Created");
    userName_ = ChildText(element, u"sx:User");
    if (const XmlNode camera = element.SelectSingleNode(u"sx:Camera")) {
        const XmlNode orientation = camera.SelectSingleNode(u"sx:Orientation");
        azimuth_ = ReadNumber(orientation, u"Azimuth", 0.0);
        latitude_ = ReadNumber(orientation, u"Latitude", 0.0);
        aperture_ = ReadNumber(orientation, u"Aperture", kDefaultAperture);
    }
    const XmlNode marks = element.SelectSingleNode(u"sx:Marks");
    if (!marks) {
        return true;
    }
    const double refWidth = ReadNumber(marks, u"RefWidth", host->Width());
    const double refHeight = ReadNumber(marks, u"RefHeight", host->Height());
    if (SX_2DDrawingWindow* overlay = host->Overlay()) {
        overlay->SetDrawings(&drawings_);
    }
    bool ok = true;
    for (const XmlNode& child : marks.Children()) {
        std::unique_ptr<SX_DrawingBase> drawing = persist::MakeDrawing(child.Name(), *host);
        if (!drawing) {
            continue;  // not a drawing element
        }
        ok = drawing->ReadXml(child) && ok;  // a drawing that fails stays
        drawing->SetHost(host->DrawingOwner());
        drawing->SetReferenceSize(static_cast<float>(refWidth), static_cast<float>(refHeight));
        drawings_.push_back(std::move(drawing));
    }
    return ok;
}
