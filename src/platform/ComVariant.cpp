#include "platform/ComVariant.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "platform/Dispatchable.h"
#include "platform/Text.h"

namespace platform {

namespace {

constexpr std::size_t kEmpty = 0, kBool = 1, kInt32 = 2, kUInt32 = 3, kDouble = 4, kString = 5,
                      kObject = 6;

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

// Parses a whole decimal number (blanks around it allowed). Only ASCII text
// can be a number.
bool ParseNumber(const std::u16string& text, double& out) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && IsBlank(text[end - 1])) {
        --end;
    }
    if (begin < end && text[begin] == u'+') {
        ++begin;
    }
    if (begin == end) {
        return false;
    }
    std::string narrow;
    narrow.reserve(end - begin);
    for (std::size_t i = begin; i < end; ++i) {
        const char16_t c = text[i];
        const bool allowed = (c >= u'0' && c <= u'9') || c == u'.' || c == u'-' || c == u'e' ||
                             c == u'E' || c == u'+';
        if (!allowed) {
            return false;
        }
        narrow.push_back(static_cast<char>(c));
    }
    double value = 0.0;
    const char* first = narrow.data();
    const char* last = first + narrow.size();
    const auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || ptr != last || !std::isfinite(value)) {
        return false;
    }
    out = value;
    return true;
}

bool EqualsIgnoringCase(const std::u16string& text, std::u16string_view word) {
    if (text.size() != word.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c >= u'A' && c <= u'Z') {
            c = static_cast<char16_t>(c - u'A' + u'a');
        }
        if (c != word[i]) {
            return false;
        }
    }
    return true;
}

HRESULT RoundToRange(double value, double low, double high, double& out) {
    if (!std::isfinite(value)) {
        return DISP_E_OVERFLOW;
    }
    const double rounded = std::nearbyint(value);  // default mode: halves to even
    if (rounded < low || rounded > high) {
        return DISP_E_OVERFLOW;
    }
    out = rounded;
    return S_OK;
}

std::u16string FormatDouble(double value) {
    if (std::isnan(value)) {
        return u"NaN";
    }
    if (std::isinf(value)) {
        return value > 0 ? u"Infinity" : u"-Infinity";
    }
    char text[32];
    const auto [ptr, ec] = std::to_chars(text, text + sizeof text, value);
    return ec == std::errc() ? W(std::string_view(text, ptr - text)) : u"";
}

}  // namespace

Variant::Variant() = default;
Variant::Variant(bool value) : value_(value) {}
Variant::Variant(std::int32_t value) : value_(value) {}
Variant::Variant(std::uint32_t value) : value_(value) {}
Variant::Variant(double value) : value_(value) {}
Variant::Variant(std::u16string value) : value_(std::move(value)) {}
Variant::Variant(std::u16string_view value) : value_(std::u16string(value)) {}
Variant::Variant(const char16_t* value)
    : value_(value != nullptr ? std::u16string(value) : std::u16string()) {}
Variant::Variant(const Bstr& value) : value_(value.Str()) {}
Variant::Variant(ComPtr<Dispatchable> object) : value_(std::move(object)) {}
Variant::Variant(Dispatchable* object) : value_(ComPtr<Dispatchable>(object)) {}
Variant::Variant(std::nullptr_t) : value_(ComPtr<Dispatchable>()) {}
Variant::Variant(const Variant& other) = default;
Variant::Variant(Variant&& other) noexcept = default;
Variant& Variant::operator=(const Variant& other) = default;
Variant& Variant::operator=(Variant&& other) noexcept = default;
Variant::~Variant() = default;

VariantType Variant::Type() const {
    return static_cast<VariantType>(value_.index());
}

HRESULT Variant::ToDouble(double& out) const {
    switch (value_.index()) {
        case kEmpty:
            out = 0.0;
            return S_OK;
        case kBool:
            out = std::get<kBool>(value_) ? -1.0 : 0.0;
            return S_OK;
        case kInt32:
            out = std::get<kInt32>(value_);
            return S_OK;
        case kUInt32:
            out = std::get<kUInt32>(value_);
            return S_OK;
        case kDouble:
            out = std::get<kDouble>(value_);
            return S_OK;
        case kString:
            return ParseNumber(std::get<kString>(value_), out) ? S_OK : DISP_E_TYPEMISMATCH;
        default:
            return DISP_E_TYPEMISMATCH;
    }
}

HRESULT Variant::ToInt32(std::int32_t& out) const {
    if (value_.index() == kInt32) {
        out = std::get<kInt32>(value_);
        return S_OK;
    }
    double value = 0.0;
    HRESULT hr = ToDouble(value);
    if (FAILED(hr)) {
        return hr;
    }
    hr = RoundToRange(value, std::numeric_limits<std::int32_t>::min(),
                      std::numeric_limits<std::int32_t>::max(), value);
    if (SUCCEEDED(hr)) {
        out = static_cast<std::int32_t>(value);
    }
    return hr;
}

HRESULT Variant::ToUInt32(std::uint32_t& out) const {
    if (value_.index() == kUInt32) {
        out = std::get<kUInt32>(value_);
        return S_OK;
    }
    double value = 0.0;
    HRESULT hr = ToDouble(value);
    if (FAILED(hr)) {
        return hr;
    }
    hr = RoundToRange(value, 0.0, std::numeric_limits<std::uint32_t>::max(), value);
    if (SUCCEEDED(hr)) {
        out = static_cast<std::uint32_t>(value);
    }
    return hr;
}

HRESULT Variant::ToBool(bool& out) const {
    switch (value_.index()) {
        case kBool:
            out = std::get<kBool>(value_);
            return S_OK;
        case kString: {
            const std::u16string& text = std::get<kString>(value_);
            if (EqualsIgnoringCase(text, u"true")) {
                out = true;
                return S_OK;
            }
            if (EqualsIgnoringCase(text, u"false")) {
                out = false;
                return S_OK;
            }
            break;
        }
        case kObject:
            return DISP_E_TYPEMISMATCH;
        default:
            break;
    }
    double value = 0.0;
    const HRESULT hr = ToDouble(value);
    if (SUCCEEDED(hr)) {
        out = value != 0.0;
    }
    return hr;
}

HRESULT Variant::ToVariantBool(VARIANT_BOOL& out) const {
    bool value = false;
    const HRESULT hr = ToBool(value);
    if (SUCCEEDED(hr)) {
        out = platform::ToVariantBool(value);
    }
    return hr;
}

HRESULT Variant::ToString(std::u16string& out) const {
    switch (value_.index()) {
        case kEmpty:
            out.clear();
            return S_OK;
        case kBool:
            out = std::get<kBool>(value_) ? u"true" : u"false";
            return S_OK;
        case kInt32:
            out = W(std::to_string(std::get<kInt32>(value_)));
            return S_OK;
        case kUInt32:
            out = W(std::to_string(std::get<kUInt32>(value_)));
            return S_OK;
        case kDouble:
            out = FormatDouble(std::get<kDouble>(value_));
            return S_OK;
        case kString:
            out = std::get<kString>(value_);
            return S_OK;
        default:
            return DISP_E_TYPEMISMATCH;
    }
}

HRESULT Variant::ToObject(ComPtr<Dispatchable>& out) const {
    switch (value_.index()) {
        case kEmpty:
            out.Reset();
            return S_OK;
        case kObject:
            out = std::get<kObject>(value_);
            return S_OK;
        default:
            return DISP_E_TYPEMISMATCH;
    }
}

HRESULT Variant::ChangeType(VariantType type, Variant& out) const {
    HRESULT hr = S_OK;
    switch (type) {
        case VariantType::Empty:
            out = Variant();
            break;
        case VariantType::Bool: {
            bool v = false;
            hr = ToBool(v);
            if (SUCCEEDED(hr)) {
                out = Variant(v);
            }
            break;
        }
        case VariantType::Int32: {
            std::int32_t v = 0;
            hr = ToInt32(v);
            if (SUCCEEDED(hr)) {
                out = Variant(v);
            }
            break;
        }
        case VariantType::UInt32: {
            std::uint32_t v = 0;
            hr = ToUInt32(v);
            if (SUCCEEDED(hr)) {
                out = Variant(v);
            }
            break;
        }
        case VariantType::Double: {
            double v = 0.0;
            hr = ToDouble(v);
            if (SUCCEEDED(hr)) {
                out = Variant(v);
            }
            break;
        }
        case VariantType::String: {
            std::u16string v;
            hr = ToString(v);
            if (SUCCEEDED(hr)) {
                out = Variant(std::move(v));
            }
            break;
        }
        case VariantType::Object: {
            ComPtr<Dispatchable> v;
            hr = ToObject(v);
            if (SUCCEEDED(hr)) {
                out = Variant(std::move(v));
            }
            break;
        }
    }
    return hr;
}

bool Variant::BoolValue() const {
    const bool* v = std::get_if<kBool>(&value_);
    return v != nullptr && *v;
}

std::int32_t Variant::Int32Value() const {
    const std::int32_t* v = std::get_if<kInt32>(&value_);
    return v != nullptr ? *v : 0;
}

std::uint32_t Variant::UInt32Value() const {
    const std::uint32_t* v = std::get_if<kUInt32>(&value_);
    return v != nullptr ? *v : 0;
}

double Variant::DoubleValue() const {
    const double* v = std::get_if<kDouble>(&value_);
    return v != nullptr ? *v : 0.0;
}

const std::u16string& Variant::StringValue() const {
    static const std::u16string kNone;
    const std::u16string* v = std::get_if<kString>(&value_);
    return v != nullptr ? *v : kNone;
}

const ComPtr<Dispatchable>& Variant::ObjectValue() const {
    static const ComPtr<Dispatchable> kNone;
    const ComPtr<Dispatchable>* v = std::get_if<kObject>(&value_);
    return v != nullptr ? *v : kNone;
}

bool operator==(const Variant& a, const Variant& b) {
    return a.value_ == b.value_;
}

}  // namespace platform
