#include "platform/IniFile.h"

#include <ini.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>

#include "platform/Path.h"
#include "platform/Text.h"

namespace platform {

namespace {

// The inih build on the system keeps its options in process-wide variables.
// Only this file parses INI text, so they are set once, before the first
// parse: no inline comments, no continuation lines, lines of any length.
void ConfigureInih() {
    static std::once_flag once;
    std::call_once(once, [] {
        ini_allow_inline_comments = false;
        ini_allow_multiline = false;
        ini_use_stack = false;
        ini_allow_realloc = true;
        ini_max_line = 1 << 24;
    });
}

char16_t FoldAscii(char16_t c) {
    return c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c;
}

std::u16string Fold(std::u16string_view text) {
    std::u16string out(text);
    std::transform(out.begin(), out.end(), out.begin(), FoldAscii);
    return out;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// UTF-16 text with a byte-order mark becomes UTF-8; a UTF-8 mark is dropped.
std::string ToUtf8Text(std::string_view bytes) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (bytes.size() >= 2 &&
        ((byte(0) == 0xFF && byte(1) == 0xFE) || (byte(0) == 0xFE && byte(1) == 0xFF))) {
        const bool little = byte(0) == 0xFF;
        std::u16string wide;
        wide.reserve(bytes.size() / 2);
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
            const unsigned lo = little ? byte(i) : byte(i + 1);
            const unsigned hi = little ? byte(i + 1) : byte(i);
            wide.push_back(static_cast<char16_t>(lo | (hi << 8)));
        }
        return ToUtf8(wide);
    }
    if (bytes.size() >= 3 && byte(0) == 0xEF && byte(1) == 0xBB && byte(2) == 0xBF) {
        bytes.remove_prefix(3);
    }
    return std::string(bytes);
}

}  // namespace

// Feeds inih line by line and follows the section headers itself, so that
// empty sections are known and a repeated section can be ignored (inih only
// reports keys, with the name of the section they are in).
struct IniParseState {
    std::string_view text;
    std::size_t pos = 0;
    bool at_line_start = true;
    IniFile::Values* current = nullptr;  // null while inside a repeated section
    IniFile* file = nullptr;

    void NoteLine(std::string_view line) {
        line = Trim(line);
        if (line.empty() || line.front() != '[') {
            return;
        }
        const auto close = line.find(']');
        if (close == std::string_view::npos) {
            return;  // inih rejects the line and stays in the section before
        }
        const std::u16string name = Fold(FromUtf8(Trim(line.substr(1, close - 1))));
        const auto [it, inserted] = file->sections_.try_emplace(name);
        current = inserted ? &it->second : nullptr;
    }

    static char* Read(char* out, int size, void* stream) {
        auto& self = *static_cast<IniParseState*>(stream);
        if (self.pos >= self.text.size() || size < 2) {
            return nullptr;
        }
        const std::string_view rest = self.text.substr(self.pos);
        const auto eol = rest.find('\n');
        if (self.at_line_start) {
            self.NoteLine(rest.substr(0, eol));
        }
        const std::size_t line = eol == std::string_view::npos ? rest.size() : eol + 1;
        const std::size_t n = std::min(line, static_cast<std::size_t>(size - 1));
        std::memcpy(out, rest.data(), n);
        out[n] = '\0';
        self.pos += n;
        self.at_line_start = n == line;
        return out;
    }

    static int Handle(void* user, const char* /*section*/, const char* name, const char* value) {
        auto& self = *static_cast<IniParseState*>(user);
        if (self.current == nullptr) {
            return 1;
        }
        std::string_view v = Trim(value);
        if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
            v = v.substr(1, v.size() - 2);
        }
        self.current->try_emplace(Fold(FromUtf8(name)), FromUtf8(v));
        return 1;
    }
};

bool IniFile::Load(std::u16string_view path) {
    sections_.clear();
    const std::string local = ToUtf8(NormalizeSeparators(path));
    struct stat info {};
    if (path.empty() || ::stat(local.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    std::ifstream in(local, std::ios::binary);
    if (!in) {
        return false;
    }
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        return false;
    }
    LoadText(bytes);
    return true;
}

void IniFile::LoadText(std::string_view bytes) {
    ConfigureInih();
    sections_.clear();
    const std::string text = ToUtf8Text(bytes);
    IniParseState state;
    state.text = text;
    state.file = this;
    // Keys before any header belong to the section with the empty name.
    state.current = &sections_[std::u16string()];
    // Lines inih cannot use are skipped; their number is of no interest here.
    ini_parse_stream(&IniParseState::Read, &state, &IniParseState::Handle, &state);
}

bool IniFile::HasSection(std::u16string_view section) const {
    return sections_.count(Fold(section)) != 0;
}

std::optional<std::u16string> IniFile::Find(std::u16string_view section,
                                            std::u16string_view key) const {
    const auto s = sections_.find(Fold(section));
    if (s == sections_.end()) {
        return std::nullopt;
    }
    const auto k = s->second.find(Fold(key));
    if (k == s->second.end()) {
        return std::nullopt;
    }
    return k->second;
}

std::u16string IniFile::ReadString(std::u16string_view section, std::u16string_view key,
                                   std::u16string_view fallback, std::size_t size) const {
    if (size == 0) {
        return {};
    }
    std::u16string out;
    if (auto value = Find(section, key)) {
        out = std::move(*value);
    } else {
        out = fallback;
        while (!out.empty() && out.back() == u' ') {
            out.pop_back();
        }
    }
    if (out.size() > size - 1) {
        out.resize(size - 1);
    }
    return out;
}

std::u16string ReadProfileString(std::u16string_view section, std::u16string_view key,
                                 std::u16string_view fallback, std::size_t size,
                                 std::u16string_view path) {
    IniFile file;
    file.Load(path);
    return file.ReadString(section, key, fallback, size);
}

}  // namespace platform
