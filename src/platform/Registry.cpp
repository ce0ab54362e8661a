#include "platform/Registry.h"

#include <cstdlib>

#include "platform/IniFile.h"
#include "platform/Text.h"

namespace platform {

namespace {

// "\"-separated, without separators at either end.
std::u16string NormalizeKeyPart(std::u16string_view part) {
    std::u16string out(part);
    for (auto& c : out) {
        if (c == u'/') {
            c = u'\\';
        }
    }
    const auto first = out.find_first_not_of(u'\\');
    if (first == std::u16string::npos) {
        return {};
    }
    const auto last = out.find_last_not_of(u'\\');
    return out.substr(first, last - first + 1);
}

std::shared_ptr<const IniFile> ReadFile(std::u16string_view path) {
    auto file = std::make_shared<IniFile>();
    file->Load(path);
    return file;
}

}  // namespace

bool RegistryKey::ReadString(std::u16string_view name, std::u16string& out,
                             std::size_t max_bytes) const {
    if (!file_) {
        return false;
    }
    auto value = file_->Find(path_, name);
    if (!value) {
        return false;
    }
    if (max_bytes > 0 && (value->size() + 1) * sizeof(char16_t) > max_bytes) {
        return false;
    }
    out = std::move(*value);
    return true;
}

Registry::Registry() : Registry(DefaultPath()) {}

Registry::Registry(std::u16string_view file) : file_(ReadFile(file)) {}

std::u16string Registry::DefaultPath() {
    const char* env = std::getenv("PANORA_REGISTRY");
    if (env != nullptr && env[0] != '\0') {
        return FromUtf8(env);
    }
    return u"/etc/panora/registry.ini";
}

bool Registry::OpenKey(std::u16string_view root, std::u16string_view sub_key,
                       RegistryKey& key) const {
    key = RegistryKey();
    std::u16string path = NormalizeKeyPart(root);
    const std::u16string sub = NormalizeKeyPart(sub_key);
    if (!sub.empty()) {
        path += u'\\';
        path += sub;
    }
    if (path.empty() || !file_->HasSection(path)) {
        return false;
    }
    key.file_ = file_;
    key.path_ = std::move(path);
    return true;
}

}  // namespace platform
