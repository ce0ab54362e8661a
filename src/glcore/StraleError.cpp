#include "glcore/StraleError.h"

#include <algorithm>
#include <array>
#include <utility>

namespace StraleLib {

namespace {

std::u16string Clip(std::u16string_view text) {
    return std::u16string(text.substr(0, std::min(text.size(), StraleError::kMaxCopied)));
}

constexpr std::array<std::pair<std::uint32_t, std::u16string_view>, 13> kFaultNames{{
    {0xC0000005u, u"EXCEPTION_ACCESS_VIOLATION"},
    {0x80000002u, u"EXCEPTION_DATATYPE_MISALIGNMENT"},
    {0x80000003u, u"EXCEPTION_BREAKPOINT"},
    {0xC000008Cu, u"EXCEPTION_ARRAY_BOUNDS_EXCEEDED"},
    {0xC000008Du, u"EXCEPTION_FLT_DENORMAL_OPERAND"},
    {0xC000008Eu, u"EXCEPTION_FLT_DIVIDE_BY_ZERO"},
    {0xC000008Fu, u"EXCEPTION_FLT_INEXACT_RESULT"},
    {0xC0000090u, u"EXCEPTION_FLT_INVALID_OPERATION"},
    {0xC0000091u, u"EXCEPTION_FLT_OVERFLOW"},
    {0xC0000092u, u"EXCEPTION_FLT_STACK_CHECK"},
    {0xC0000093u, u"EXCEPTION_FLT_UNDERFLOW"},
    {0xC0000094u, u"EXCEPTION_INT_DIVIDE_BY_ZERO"},
    {0xC0000095u, u"EXCEPTION_INT_OVERFLOW"},
}};

}  // namespace

StraleError::StraleError(std::uint32_t code, const void* exceptionInfo, std::u16string_view name,
                         std::u16string_view detail)
    : name_(Clip(name)), detail_(Clip(detail)), code_(code), exceptionInfo_(exceptionInfo) {}

StraleError::StraleError(const StraleError& other)
    : name_(Clip(other.name_)),
      detail_(Clip(other.detail_)),
      code_(other.code_),
      exceptionInfo_(other.exceptionInfo_) {}

StraleError& StraleError::operator=(const StraleError& other) {
    if (this != &other) {
        name_ = Clip(other.name_);
        detail_ = Clip(other.detail_);
        code_ = other.code_;
        exceptionInfo_ = other.exceptionInfo_;
    }
    return *this;
}

std::u16string_view StraleError::NameOfCode(std::uint32_t code) {
    for (const auto& [known, name] : kFaultNames) {
        if (known == code) {
            return name;
        }
    }
    return u"EXCEPTION_UNKNOWN";
}

void TranslateFault(std::uint32_t code, const void* exceptionInfo) {
    throw StraleError(code, exceptionInfo, StraleError::NameOfCode(code));
}

}  // namespace StraleLib
