#include "host/SX_Format.h"

#include <cstdio>
#include <string>
#include <vector>

#include "platform/Text.h"

namespace {

bool IsFlag(char16_t c) {
    return c == u'-' || c == u'+' || c == u' ' || c == u'#' || c == u'0';
}

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

std::u16string Widen(const char* text) {
    std::u16string out;
    for (; *text; ++text) {
        out.push_back(static_cast<unsigned char>(*text));
    }
    return out;
}

// Runs snprintf with an ASCII conversion specification, in the "C" locale:
// a decimal point is "." whatever the user's locale.
template <typename T>
std::u16string Number(const std::string& spec, T value) {
    char buffer[512];
    const int n = platform::FormatInCLocale(buffer, sizeof buffer, spec.c_str(), value);
    if (n < 0) {
        return {};
    }
    if (static_cast<std::size_t>(n) < sizeof buffer) {
        return Widen(buffer);
    }
    std::vector<char> big(static_cast<std::size_t>(n) + 1);
    platform::FormatInCLocale(big.data(), big.size(), spec.c_str(), value);
    return Widen(big.data());
}

// "%s" with flags, width and precision applied to UTF-16 code units.
std::u16string Text(std::u16string_view text, bool leftAlign, int width, int precision) {
    std::u16string out(text.substr(
        0, precision >= 0 ? std::min<std::size_t>(text.size(), precision) : text.size()));
    if (width > 0 && out.size() < static_cast<std::size_t>(width)) {
        const std::u16string pad(static_cast<std::size_t>(width) - out.size(), u' ');
        out = leftAlign ? out + pad : pad + out;
    }
    return out;
}

}  // namespace

std::u16string SX_Format(std::u16string_view format, std::initializer_list<host::FormatArg> args) {
    std::u16string out;
    out.reserve(format.size() + 16);
    auto next = args.begin();
    std::size_t i = 0;
    while (i < format.size()) {
        const char16_t c = format[i];
        if (c != u'%') {
            out.push_back(c);
            ++i;
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == u'%') {
            out.push_back(u'%');
            i += 2;
            continue;
        }
        // Parse %[flags][width][.precision][length]conversion.
        const std::size_t start = i++;
        std::string spec = "%";
        bool leftAlign = false;
        while (i < format.size() && IsFlag(format[i])) {
            leftAlign = leftAlign || format[i] == u'-';
            spec.push_back(static_cast<char>(format[i++]));
        }
        int width = 0;
        while (i < format.size() && IsDigit(format[i]) && width < 1000) {
            width = width * 10 + (format[i] - u'0');
            spec.push_back(static_cast<char>(format[i++]));
        }
        int precision = -1;
        if (i < format.size() && format[i] == u'.') {
            spec.push_back('.');
            ++i;
            precision = 0;
            while (i < format.size() && IsDigit(format[i]) && precision < 1000) {
                precision = precision * 10 + (format[i] - u'0');
                spec.push_back(static_cast<char>(format[i++]));
            }
        }
        while (i < format.size() && (format[i] == u'l' || format[i] == u'h')) {
            ++i;
        }
        const char16_t conv = i < format.size() ? format[i] : u'\0';
        const bool known = conv == u's' || conv == u'S' || conv == u'd' || conv == u'i' ||
                           conv == u'u' || conv == u'x' || conv == u'X' || conv == u'f' ||
                           conv == u'F' || conv == u'e' || conv == u'E' || conv == u'g' ||
                           conv == u'G' || conv == u'c';
        if (!known || width >= 1000 || precision >= 1000 || next == args.end()) {
            // Written as it stands; an unknown conversion character follows as text.
            out.append(format.substr(start, i - start));
            continue;
        }
        const host::FormatArg& arg = *next;
        ++i;
        bool used = true;
        switch (conv) {
            case u's':
            case u'S':
                used = arg.kind() == host::FormatArg::Kind::Text;
                if (used) {
                    out += Text(arg.text(), leftAlign, width, precision);
                }
                break;
            case u'c':
                used = arg.kind() == host::FormatArg::Kind::Integer;
                if (used) {
                    out += Text(std::u16string(1, static_cast<char16_t>(arg.integer())), leftAlign,
                                width, -1);
                }
                break;
            case u'd':
            case u'i':
                used = arg.kind() == host::FormatArg::Kind::Integer;
                if (used) {
                    out += Number(spec + "lld", static_cast<long long>(arg.integer()));
                }
                break;
            case u'u':
            case u'x':
            case u'X':
                used = arg.kind() == host::FormatArg::Kind::Integer;
                if (used) {
                    // Negative values print as their 32-bit pattern, as an
                    // unsigned int would.
                    auto value = static_cast<unsigned long long>(arg.integer());
                    if (arg.integer() < 0 && arg.integer() >= INT32_MIN) {
                        value &= 0xFFFFFFFFull;
                    }
                    out += Number(spec + "ll" + static_cast<char>(conv), value);
                }
                break;
            default:
                used = arg.kind() != host::FormatArg::Kind::Text;
                if (used) {
                    const double value = arg.kind() == host::FormatArg::Kind::Real
                                             ? arg.real()
                                             : static_cast<double>(arg.integer());
                    out += Number(spec + static_cast<char>(conv), value);
                }
                break;
        }
        ++next;
        if (!used) {
            out.append(format.substr(start, i - start));
        }
    }
    return out;
}
