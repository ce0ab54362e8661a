#pragma once
// The library's error object for a processor fault (access violation,
// floating-point or integer fault), thrown by value and caught by reference.
//
// It carries the fault's name, an optional detail text, the fault code and an
// opaque pointer to the platform's record of the fault. Both texts keep at
// most kMaxCopied characters of what they are given (their buffers hold
// 4095 and 20479 characters with room for a terminator; only 4093 are ever
// copied in), in the constructors and the copy alike.
//
// On Linux no fault is turned into a StraleError: a SIGSEGV or SIGFPE handler
// cannot throw (the fault is not at a call site, and unwinding out of a
// signal handler is undefined), so such faults end the process as they
// always do. TranslateFault exists for code that learns of a fault by other
// means and for the name table; see docs/platform.md.
#include <cstdint>
#include <string>
#include <string_view>

namespace StraleLib {

class StraleError {
  public:
    static constexpr std::size_t kNameCapacity = 4095;
    static constexpr std::size_t kDetailCapacity = 20479;
    static constexpr std::size_t kMaxCopied = 4093;

    StraleError(std::uint32_t code, const void* exceptionInfo, std::u16string_view name,
                std::u16string_view detail = {});
    StraleError(const StraleError& other);
    StraleError& operator=(const StraleError& other);
    virtual ~StraleError() = default;

    const std::u16string& Name() const { return name_; }
    const std::u16string& Detail() const { return detail_; }
    std::uint32_t Code() const { return code_; }
    const void* ExceptionInfo() const { return exceptionInfo_; }

    // The name of a fault code ("EXCEPTION_ACCESS_VIOLATION", ...);
    // "EXCEPTION_UNKNOWN" for a code the table lacks.
    static std::u16string_view NameOfCode(std::uint32_t code);

  private:
    std::u16string name_;
    std::u16string detail_;
    std::uint32_t code_ = 0;
    const void* exceptionInfo_ = nullptr;
};

// Throws the StraleError of a fault: its code, the platform's record, the
// code's name and no detail.
[[noreturn]] void TranslateFault(std::uint32_t code, const void* exceptionInfo);

}  // namespace StraleLib
