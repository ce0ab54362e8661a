#include "platform/ComStatus.h"

#include <cstdio>

namespace platform {

std::string StatusName(HRESULT hr) {
    struct Known {
        HRESULT code;
        const char* name;
    };
    static constexpr Known kKnown[] = {
        {S_OK, "S_OK"},
        {S_FALSE, "S_FALSE"},
        {E_NOTIMPL, "E_NOTIMPL"},
        {E_NOINTERFACE, "E_NOINTERFACE"},
        {E_POINTER, "E_POINTER"},
        {E_FAIL, "E_FAIL"},
        {E_PENDING, "E_PENDING"},
        {E_UNEXPECTED, "E_UNEXPECTED"},
        {E_OUTOFMEMORY, "E_OUTOFMEMORY"},
        {E_INVALIDARG, "E_INVALIDARG"},
        {DISP_E_MEMBERNOTFOUND, "DISP_E_MEMBERNOTFOUND"},
        {DISP_E_TYPEMISMATCH, "DISP_E_TYPEMISMATCH"},
        {DISP_E_UNKNOWNNAME, "DISP_E_UNKNOWNNAME"},
        {DISP_E_OVERFLOW, "DISP_E_OVERFLOW"},
        {DISP_E_BADPARAMCOUNT, "DISP_E_BADPARAMCOUNT"},
        {CONNECT_E_NOCONNECTION, "CONNECT_E_NOCONNECTION"},
    };
    for (const Known& k : kKnown) {
        if (k.code == hr) {
            return k.name;
        }
    }
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X",
                  static_cast<unsigned>(static_cast<std::uint32_t>(hr)));
    return text;
}

namespace {
std::u16string& ThreadErrorDescription() {
    thread_local std::u16string description;
    return description;
}
}  // namespace

void SetErrorDescription(std::u16string_view text) {
    ThreadErrorDescription() = text;
}
const std::u16string& ErrorDescription() {
    return ThreadErrorDescription();
}
void ClearErrorDescription() {
    ThreadErrorDescription().clear();
}

}  // namespace platform
