#pragma once
// Variant: one argument or result of a dispatch call.
//
// It holds nothing (empty), a boolean, a 32-bit signed or unsigned integer, a
// double, a UTF-16 string, or a reference to a dispatchable object (possibly
// null, which a script sees as null). The To* accessors coerce the way an
// automation host does and report a value that does not fit by status, never
// by throwing:
//
//   to integer   double: rounded to nearest, halves to even; NaN, infinity or
//                out of range -> DISP_E_OVERFLOW. true -> -1, false -> 0.
//                empty -> 0. A string that is a whole decimal number (blanks
//                around it allowed) converts like that number; any other
//                string -> DISP_E_TYPEMISMATCH.
//   to double    integers exactly; booleans -1/0; empty 0; strings as above.
//   to bool      numbers: non-zero is true; empty: false; strings "true",
//                "false" (any case) or a number.
//   to string    integers in decimal; doubles in the shortest text that reads
//                back to the same value ("NaN", "Infinity", "-Infinity");
//                booleans "true"/"false"; empty "".
//   to object    an object reference (null included); empty -> null.
//
// Anything else, and every conversion of an object to a scalar, is
// DISP_E_TYPEMISMATCH.

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "platform/ComBstr.h"
#include "platform/ComObject.h"
#include "platform/ComStatus.h"

namespace platform {

class Dispatchable;

enum class VariantType : std::uint8_t { Empty, Bool, Int32, UInt32, Double, String, Object };

class Variant {
  public:
    Variant();
    Variant(bool value);
    Variant(std::int32_t value);
    Variant(std::uint32_t value);
    Variant(double value);
    Variant(std::u16string value);
    Variant(std::u16string_view value);
    Variant(const char16_t* value);  // null -> empty string
    Variant(const Bstr& value);
    Variant(ComPtr<Dispatchable> object);
    Variant(Dispatchable* object);
    Variant(std::nullptr_t);  // a null object reference
    template <class T>
    requires(std::derived_from<T, Dispatchable> && !std::same_as<T, Dispatchable>)
        Variant(const ComPtr<T>& object)
        : Variant(ComPtr<Dispatchable>(object)) {}
    Variant(const Variant& other);
    Variant(Variant&& other) noexcept;
    Variant& operator=(const Variant& other);
    Variant& operator=(Variant&& other) noexcept;
    ~Variant();

    static Variant FromVariantBool(VARIANT_BOOL value) { return Variant(value != 0); }

    VariantType Type() const;
    bool IsEmpty() const { return Type() == VariantType::Empty; }

    HRESULT ToBool(bool& out) const;
    HRESULT ToVariantBool(VARIANT_BOOL& out) const;
    HRESULT ToInt32(std::int32_t& out) const;
    HRESULT ToUInt32(std::uint32_t& out) const;
    HRESULT ToDouble(double& out) const;
    HRESULT ToString(std::u16string& out) const;
    HRESULT ToObject(ComPtr<Dispatchable>& out) const;

    // The same value coerced to another type (rules above); Empty gives empty.
    HRESULT ChangeType(VariantType type, Variant& out) const;

    // Direct reads of a value of exactly that type (a default value when the
    // type differs); for code that has already coerced.
    bool BoolValue() const;
    std::int32_t Int32Value() const;
    std::uint32_t UInt32Value() const;
    double DoubleValue() const;
    const std::u16string& StringValue() const;
    const ComPtr<Dispatchable>& ObjectValue() const;

    // Same type and value; objects compare by identity.
    friend bool operator==(const Variant& a, const Variant& b);

  private:
    std::variant<std::monostate, bool, std::int32_t, std::uint32_t, double, std::u16string,
                 ComPtr<Dispatchable>>
        value_;
};

}  // namespace platform
