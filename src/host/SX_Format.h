#pragma once
// printf-style formatting of UTF-16 message texts. Message texts come from the
// message file, the side module or the string table and are used as formats:
// "%s" takes a text, "%d"/"%i"/"%u"/"%x"/"%X" an integer, "%f"/"%e"/"%g" a
// double, with the usual flags, width and precision ("%2.1f", "%08X") and the
// length modifiers "l", "ll", "h" (ignored). "%%" is a percent sign.
//
// Formatting never fails: a placeholder without a matching argument, or whose
// argument has the wrong kind, is written as it stands in the format, so a
// reworded message with a stray "%" shows that "%" instead of crashing.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace host {

class FormatArg {
  public:
    enum class Kind { Text, Integer, Real };

    FormatArg(std::u16string_view text) : kind_(Kind::Text), text_(text) {}
    FormatArg(const std::u16string& text) : kind_(Kind::Text), text_(text) {}
    FormatArg(const char16_t* text) : kind_(Kind::Text), text_(text ? text : u"") {}
    FormatArg(int value) : kind_(Kind::Integer), integer_(value) {}
    FormatArg(long value) : kind_(Kind::Integer), integer_(value) {}
    FormatArg(long long value) : kind_(Kind::Integer), integer_(value) {}
    FormatArg(unsigned value) : kind_(Kind::Integer), integer_(value) {}
    FormatArg(unsigned long value)
        : kind_(Kind::Integer), integer_(static_cast<std::int64_t>(value)) {}
    FormatArg(double value) : kind_(Kind::Real), real_(value) {}

    Kind kind() const { return kind_; }
    std::u16string_view text() const { return text_; }
    std::int64_t integer() const { return integer_; }
    double real() const { return real_; }

  private:
    Kind kind_;
    std::u16string_view text_;
    std::int64_t integer_ = 0;
    double real_ = 0.0;
};

}  // namespace host

// The format with its placeholders replaced by the arguments, in order.
std::u16string SX_Format(std::u16string_view format, std::initializer_list<host::FormatArg> args);
