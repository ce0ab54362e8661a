#pragma once
// INI files read the way the viewer's profile-string lookups expect
// ("Version.ini", "UI/Customization.ini", the registry file):
//
// - section and key names match without regard to ASCII case;
// - names and values are trimmed of surrounding blanks, and a value wrapped
//   in a matching pair of quotes ('...' or "...") loses them;
// - the first section of a name counts (a later section with the same name
//   is ignored), and within it the first line of a key;
// - ";" and "#" start a comment only at the start of a line, so a value may
//   hold ";"; a line may be any length; indented lines are ordinary lines;
// - "=" separates key and value, and so does ":" (keys cannot hold ":");
// - the file is UTF-8 (with or without a byte-order mark) or UTF-16 with a
//   byte-order mark.
// A missing or unreadable file reads as an empty one.

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

class IniFile {
  public:
    IniFile() = default;

    // Reads the file, replacing what was held. False when it cannot be read
    // (the object is then empty).
    bool Load(std::u16string_view path);
    // Reads INI text held in memory (same encodings as a file).
    void LoadText(std::string_view bytes);

    bool HasSection(std::u16string_view section) const;
    // The value of a key, trimmed and unquoted; nothing when the section or
    // the key is missing.
    std::optional<std::u16string> Find(std::u16string_view section, std::u16string_view key) const;

    // A profile-string read into a buffer of `size` characters: the value, or
    // `fallback` with trailing spaces removed when the key is missing, cut to
    // size - 1 characters (empty for size 0).
    std::u16string ReadString(std::u16string_view section, std::u16string_view key,
                              std::u16string_view fallback, std::size_t size) const;

  private:
    friend struct IniParseState;
    using Values = std::map<std::u16string, std::u16string>;  // folded key -> value
    std::map<std::u16string, Values> sections_;               // folded name -> values
};

// One-shot read of a key from a file; a missing file gives the fallback.
std::u16string ReadProfileString(std::u16string_view section, std::u16string_view key,
                                 std::u16string_view fallback, std::size_t size,
                                 std::u16string_view path);

}  // namespace platform
