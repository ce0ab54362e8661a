#pragma once
// Status codes of the automation interface. Every automation member and every
// event sink returns one; failure is a negative value. The values are the
// usual 32-bit codes so that a script host can show them as numbers.

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

using HRESULT = std::int32_t;

namespace detail {
constexpr HRESULT Code(std::uint32_t bits) {
    return static_cast<HRESULT>(bits);
}
}  // namespace detail

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = detail::Code(0x80004001u);
inline constexpr HRESULT E_NOINTERFACE = detail::Code(0x80004002u);
inline constexpr HRESULT E_POINTER = detail::Code(0x80004003u);
inline constexpr HRESULT E_FAIL = detail::Code(0x80004005u);
inline constexpr HRESULT E_PENDING = detail::Code(0x8000000Au);
inline constexpr HRESULT E_UNEXPECTED = detail::Code(0x8000FFFFu);
inline constexpr HRESULT E_OUTOFMEMORY = detail::Code(0x8007000Eu);
inline constexpr HRESULT E_INVALIDARG = detail::Code(0x80070057u);
inline constexpr HRESULT DISP_E_MEMBERNOTFOUND = detail::Code(0x80020003u);
inline constexpr HRESULT DISP_E_TYPEMISMATCH = detail::Code(0x80020005u);
inline constexpr HRESULT DISP_E_UNKNOWNNAME = detail::Code(0x80020006u);
inline constexpr HRESULT DISP_E_OVERFLOW = detail::Code(0x8002000Au);
inline constexpr HRESULT DISP_E_BADPARAMCOUNT = detail::Code(0x8002000Eu);
inline constexpr HRESULT CONNECT_E_NOCONNECTION = detail::Code(0x80040200u);

constexpr bool SUCCEEDED(HRESULT hr) {
    return hr >= 0;
}
constexpr bool FAILED(HRESULT hr) {
    return hr < 0;
}

// The symbolic name of a known code ("E_INVALIDARG"), otherwise "0x" and
// eight upper-case hexadecimal digits.
std::string StatusName(HRESULT hr);

// Error information of the calling thread: a description that a failing
// member or event sink may leave for whoever reports the failure (the script
// host turns it into the message of the error it throws). It stays until it
// is replaced or cleared.
void SetErrorDescription(std::u16string_view text);
const std::u16string& ErrorDescription();
void ClearErrorDescription();

}  // namespace platform
