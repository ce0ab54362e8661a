// The control's plain properties: locations, ready state, switches.
#include <algorithm>

#include "control/SX_Control.h"
#include "station/SX_LoadingContext.h"
#include "station/SX_PanoramaDataSet.h"

using platform::Bstr;
using platform::HRESULT;
using platform::S_OK;
using platform::VARIANT_BOOL;

namespace {

constexpr std::size_t kPathBuffer = 255;
constexpr platform::DISPID kDispIdEnabled = -514;

// At most bufferSize - 1 characters, as a fixed buffer would hold.
std::u16string Cut(std::u16string_view text, std::size_t bufferSize) {
    return std::u16string(text.substr(0, std::min(text.size(), bufferSize - 1)));
}

}  // namespace

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

HRESULT SX_Control::get_SiteMap(Bstr* value) const {
    if (value == nullptr) {
        return platform::E_POINTER;
    }
    const std::shared_ptr<const SX_LoadingContext> context = loader_.Context();
    *value = context ? Bstr(dataSet_->SiteMap(*context)) : Bstr();
    return S_OK;
}

HRESULT SX_Control::get_helpPath(Bstr* value) const {
    if (value == nullptr) {
        return platform::E_POINTER;
    }
    *value = Bstr(Cut(installation_.helpPath, kPathBuffer));
    return S_OK;
}

HRESULT SX_Control::get_InstallPath(Bstr* value) const {
    if (value == nullptr) {
        return platform::E_POINTER;
    }
    *value = Bstr(Cut(installation_.path, kPathBuffer));
    return S_OK;
}

// The station is chosen through src alone: CubeMap is kept for old pages,
// takes any text and changes nothing.
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
    // The plain 1 for true, not the automation -1.
    *value = measureEnabled_ ? 1 : 0;
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
