#pragma once
// The registry the viewer reads (its installation folder, the display
// adapter's description) is a settings file, /etc/panora/registry.ini unless
// the environment variable PANORA_REGISTRY names another. Each key is a
// section named by its full path, root included, values are its lines:
//
//   [HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Panora]
//   InstallLocation=/opt/panora
//
// A key opens when its section exists (an empty section is an empty key) and a
// value reads when the section holds it. Key paths and value names match
// without regard to ASCII case; "/" in a key path counts as "\" and separators
// at either end of the sub-key are ignored. A missing file holds no key.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

class IniFile;

inline constexpr std::u16string_view kLocalMachine = u"HKEY_LOCAL_MACHINE";
inline constexpr std::u16string_view kCurrentUser = u"HKEY_CURRENT_USER";

class RegistryKey {
  public:
    RegistryKey() = default;

    bool IsOpen() const { return file_ != nullptr; }
    // Full path of the key as it was opened ("HKEY_LOCAL_MACHINE\SOFTWARE\...").
    const std::u16string& Path() const { return path_; }

    // Reads a text value. With max_bytes > 0 the value must fit a buffer of
    // that many bytes as UTF-16 with its terminator, else the read fails (a
    // too small buffer is an error, not a truncation). False when the key is
    // not open or the value is missing; `out` is then left as it was.
    bool ReadString(std::u16string_view name, std::u16string& out, std::size_t max_bytes = 0) const;

  private:
    friend class Registry;
    std::shared_ptr<const IniFile> file_;
    std::u16string path_;
};

class Registry {
  public:
    // Reads DefaultPath().
    Registry();
    // Reads the given settings file.
    explicit Registry(std::u16string_view file);

    // $PANORA_REGISTRY when set and not empty, else "/etc/panora/registry.ini".
    static std::u16string DefaultPath();

    // Opens root + "\" + sub_key. On failure `key` is closed.
    bool OpenKey(std::u16string_view root, std::u16string_view sub_key, RegistryKey& key) const;

  private:
    std::shared_ptr<const IniFile> file_;
};

}  // namespace platform
