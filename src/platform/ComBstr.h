#pragma once
// Automation strings and booleans.
//
// Bstr is a length-prefixed UTF-16 string value: it may hold embedded NUL
// characters, and it has a null state besides the empty one. Null and empty
// both read as empty text and compare equal; IsNull tells them apart for the
// few callers that care.
//
// VARIANT_BOOL is -1 for true and 0 for false. Where the system tests an
// incoming automation boolean only -1 counts as true (IsVariantTrue).

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace platform {

using VARIANT_BOOL = std::int16_t;
inline constexpr VARIANT_BOOL VARIANT_TRUE = -1;
inline constexpr VARIANT_BOOL VARIANT_FALSE = 0;

constexpr VARIANT_BOOL ToVariantBool(bool value) {
    return value ? VARIANT_TRUE : VARIANT_FALSE;
}
// Strict reading of an incoming boolean: any value other than -1 is false.
constexpr bool IsVariantTrue(VARIANT_BOOL value) {
    return value == VARIANT_TRUE;
}

class Bstr {
  public:
    Bstr() = default;  // null
    Bstr(std::u16string text) : text_(std::move(text)), null_(false) {}
    Bstr(std::u16string_view text) : text_(text), null_(false) {}
    // A null pointer gives a null string; otherwise reads up to the first NUL.
    Bstr(const char16_t* text) : null_(text == nullptr) {
        if (text != nullptr) {
            text_ = text;
        }
    }

    static Bstr Null() { return Bstr(); }

    bool IsNull() const { return null_; }
    bool IsEmpty() const { return text_.empty(); }
    // Length in UTF-16 code units (the length prefix counts bytes: twice this).
    std::uint32_t Length() const { return static_cast<std::uint32_t>(text_.size()); }
    std::uint32_t ByteLength() const { return Length() * 2; }

    // The text; empty for a null string.
    const std::u16string& Str() const { return text_; }
    std::u16string_view View() const { return text_; }
    // Never null: a null string reads as "".
    const char16_t* c_str() const { return text_.c_str(); }

    void Clear() {
        text_.clear();
        null_ = true;
    }

    friend bool operator==(const Bstr& a, const Bstr& b) { return a.text_ == b.text_; }

  private:
    std::u16string text_;
    bool null_ = true;
};

}  // namespace platform
