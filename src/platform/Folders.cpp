#include "platform/Folders.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/Path.h"
#include "platform/Text.h"

namespace platform {

namespace {

// The variable's value when it is an absolute path, else empty.
std::u16string AbsoluteFromEnv(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || value[0] != '/') {
        return {};
    }
    std::u16string out = FromUtf8(value);
    while (out.size() > 1 && out.back() == u'/') {
        out.pop_back();
    }
    return out;
}

// $<variable>, else $HOME/<below_home>; empty when neither is usable.
std::u16string XdgFolder(const char* variable, std::u16string_view below_home) {
    if (auto folder = AbsoluteFromEnv(variable); !folder.empty()) {
        return folder;
    }
    const std::u16string home = AbsoluteFromEnv("HOME");
    if (home.empty()) {
        return {};
    }
    return Join(home, below_home);
}

}  // namespace

std::u16string LocalAppDataFolder() {
    return XdgFolder("XDG_DATA_HOME", u".local/share");
}

std::u16string PerUserPath(std::u16string_view relative) {
    const std::u16string folder = LocalAppDataFolder();
    if (folder.empty()) {
        return {};
    }
    return Join(folder, relative);
}

std::u16string CacheFolder() {
    const std::u16string folder = XdgFolder("XDG_CACHE_HOME", u".cache");
    return folder.empty() ? folder : Join(folder, u"panora");
}

std::u16string TempFolder() {
    std::u16string folder = AbsoluteFromEnv("TMPDIR");
    return folder.empty() ? u"/tmp" : folder;
}

std::u16string RuntimeFolder() {
    std::u16string folder = AbsoluteFromEnv("XDG_RUNTIME_DIR");
    return folder.empty() ? TempFolder() : folder;
}

bool CreateFolders(std::u16string_view path) {
    if (path.empty()) {
        return false;
    }
    const std::filesystem::path local(ToUtf8(NormalizeSeparators(path)));
    std::error_code ec;
    std::filesystem::create_directories(local, ec);
    return std::filesystem::is_directory(local, ec);
}

}  // namespace platform
