#include "platform/Path.h"

#include <sys/stat.h>

#include <cerrno>

#include "platform/Text.h"

namespace platform {

namespace {

bool IsAsciiLetter(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool IsSchemeChar(char16_t c) {
    return IsAsciiLetter(c) || (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.';
}

// Length of "scheme://" at the start of the text, 0 when there is none.
std::size_t SchemePrefixLength(std::u16string_view text) {
    if (text.empty() || !IsAsciiLetter(text[0])) {
        return 0;
    }
    std::size_t i = 1;
    while (i < text.size() && IsSchemeChar(text[i])) {
        ++i;
    }
    if (i < 2 || text.substr(i, 3) != u"://") {
        return 0;
    }
    return i + 3;
}

bool HasDriveLetter(std::u16string_view text) {
    return text.size() >= 2 && IsAsciiLetter(text[0]) && text[1] == u':';
}

// Length of the part RemoveFileSpec never removes.
std::size_t RootLength(std::u16string_view path) {
    if (const std::size_t scheme = SchemePrefixLength(path); scheme > 0) {
        std::size_t end = scheme;
        while (end < path.size() && !IsSeparator(path[end])) {
            ++end;
        }
        // Without an authority ("file:///x") the next separator is the root's.
        if (end == scheme && end < path.size()) {
            ++end;
        }
        return end;
    }
    if (IsNetworkPath(path)) {
        std::size_t end = 2;
        while (end < path.size() && !IsSeparator(path[end])) {
            ++end;
        }
        return end;
    }
    if (HasDriveLetter(path)) {
        return path.size() > 2 && IsSeparator(path[2]) ? 3 : 2;
    }
    if (!path.empty() && IsSeparator(path[0])) {
        return 1;
    }
    return 0;
}

bool StatPath(std::u16string_view path, struct stat& info) {
    const std::string local = ToUtf8(NormalizeSeparators(path));
    return ::stat(local.c_str(), &info) == 0;
}

}  // namespace

bool IsSeparator(char16_t c) {
    return c == u'/' || c == u'\\';
}

bool IsUrl(std::u16string_view text) {
    return SchemePrefixLength(text) > 0;
}

bool IsNetworkPath(std::u16string_view text) {
    return text.size() >= 3 && IsSeparator(text[0]) && IsSeparator(text[1]) &&
           !IsSeparator(text[2]);
}

bool IsAbsolutePath(std::u16string_view text) {
    if (IsNetworkPath(text)) {
        return false;
    }
    return (!text.empty() && IsSeparator(text[0])) || HasDriveLetter(text);
}

bool IsRelative(std::u16string_view text) {
    return !IsUrl(text) && !IsNetworkPath(text) && !IsAbsolutePath(text);
}

std::u16string WithHttpsAsHttp(std::u16string_view text) {
    std::u16string out(text);
    if (const auto at = out.find(u"https"); at != std::u16string::npos) {
        out.erase(at + 4, 1);
    }
    return out;
}

LocationKind ClassifyLocation(std::u16string_view text) {
    if (IsUrl(text) || IsUrl(WithHttpsAsHttp(text))) {
        return LocationKind::Web;
    }
    if (IsRelative(text)) {
        return LocationKind::Relative;
    }
    if (IsNetworkPath(text)) {
        return LocationKind::Network;
    }
    return LocationKind::LocalAbsolute;
}

std::u16string NormalizeSeparators(std::u16string_view text) {
    std::u16string out(text);
    for (auto& c : out) {
        if (c == u'\\') {
            c = u'/';
        }
    }
    return out;
}

std::u16string Join(std::u16string_view base, std::u16string_view name) {
    std::u16string out = NormalizeSeparators(base);
    std::u16string tail = NormalizeSeparators(name);
    if (out.empty()) {
        return tail;
    }
    if (tail.empty()) {
        return out;
    }
    const auto first = tail.find_first_not_of(u'/');
    tail.erase(0, first == std::u16string::npos ? tail.size() : first);
    if (out.back() != u'/') {
        out.push_back(u'/');
    }
    return out + tail;
}

bool RemoveFileSpec(std::u16string& path) {
    const std::size_t root = RootLength(path);
    if (path.size() <= root) {
        return false;
    }
    if (IsSeparator(path.back())) {
        path.pop_back();
        return true;
    }
    std::size_t cut = root;
    for (std::size_t i = path.size(); i > root; --i) {
        if (IsSeparator(path[i - 1])) {
            cut = i - 1;
            break;
        }
    }
    path.resize(cut);
    return true;
}

std::u16string WithoutFileSpec(std::u16string_view path) {
    std::u16string out(path);
    RemoveFileSpec(out);
    return out;
}

bool FileExists(std::u16string_view path) {
    struct stat info {};
    if (path.empty() || !StatPath(path, info)) {
        return false;
    }
    return S_ISREG(info.st_mode) || S_ISDIR(info.st_mode);
}

PathProbe ProbePath(std::u16string_view path) {
    if (path.empty() || IsUrl(path)) {
        return PathProbe::InvalidName;
    }
    struct stat info {};
    if (StatPath(path, info)) {
        return PathProbe::Exists;
    }
    switch (errno) {
        case ENOENT: {
            std::u16string folder = NormalizeSeparators(path);
            while (folder.size() > 1 && folder.back() == u'/') {
                folder.pop_back();
            }
            if (!RemoveFileSpec(folder)) {
                return PathProbe::PathNotFound;
            }
            if (folder.empty()) {
                folder.push_back(u'.');
            }
            struct stat parent {};
            return StatPath(folder, parent) && S_ISDIR(parent.st_mode) ? PathProbe::FileNotFound
                                                                       : PathProbe::PathNotFound;
        }
        case ENOTDIR:
            return PathProbe::PathNotFound;
        case ENAMETOOLONG:
            return PathProbe::InvalidName;
        default:
            return PathProbe::Unreadable;
    }
}

}  // namespace platform
