#include "host/Resources.h"

#include "host/HostUi.h"
#include "platform/IniFile.h"
#include "platform/Path.h"
#include "resources/StringTable.h"

namespace {

std::u16string Unescape(std::u16string_view text) {
    std::u16string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\\' && i + 1 < text.size() && text[i + 1] == u'n') {
            out.push_back(u'\n');
            ++i;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

}  // namespace

host::Resources::Resources() = default;
host::Resources::~Resources() = default;

bool host::Resources::LoadMessageFile(std::u16string_view installFolder) {
    messagesLoaded_ = false;
    if (installFolder.empty()) {
        return false;
    }
    const std::u16string path = platform::Join(installFolder, u"Resource.xml");
    if (!platform::FileExists(path)) {
        return false;
    }
    messagesLoaded_ = messages_.Load(path);
    return messagesLoaded_;
}

bool host::Resources::LoadSideModule(std::u16string_view installFolder) {
    if (installFolder.empty()) {
        return false;
    }
    platform::IniFile ini;
    const std::u16string path = platform::Join(installFolder, kSideModuleName);
    if (!platform::FileExists(path) || !ini.Load(path)) {
        return false;
    }
    auto table = std::make_shared<Table>();
    // Entries are probed by number: the module overrides entries of the
    // control's own identifier range and may add further ones below 1000.
    for (int id = 0; id < 1000; ++id) {
        std::u16string key;
        for (const char c : std::to_string(id)) {
            key.push_back(static_cast<char16_t>(c));
        }
        if (const auto value = ini.Find(u"Strings", key)) {
            (*table)[id] = Unescape(*value);
        }
    }
    sideModule_.store(std::shared_ptr<const Table>(std::move(table)));
    return true;
}

bool host::Resources::HasSideModule() const {
    return sideModule_.load() != nullptr;
}

bool host::Resources::GetMessage(std::u16string_view key, std::u16string& text, bool multiLine,
                                 std::size_t bufferSize) const {
    if (!messagesLoaded_) {
        return false;
    }
    const platform::XmlNode node = messages_.SelectSingleNode(key);
    if (!node) {
        return false;
    }
    std::u16string value;
    if (multiLine) {
        bool first = true;
        for (const platform::XmlNode& line : node.Children(u"Line")) {
            if (!first) {
                value.push_back(u'\n');
            }
            value += line.Text();
            first = false;
        }
    } else {
        value = node.Text();
    }
    if (bufferSize == 0) {
        value.clear();
    } else if (value.size() > bufferSize - 1) {
        value.resize(bufferSize - 1);
    }
    text = std::move(value);
    return true;
}

std::u16string host::Resources::LoadString(int id) const {
    if (const auto side = sideModule_.load()) {
        const auto it = side->find(id);
        return it == side->end() ? std::u16string() : it->second;
    }
    return resources::BuiltInString(id).value_or(std::u16string());
}

std::u16string host::Resources::LoadStringWithFallback(int id) const {
    if (const auto side = sideModule_.load()) {
        const auto it = side->find(id);
        if (it != side->end()) {
            return it->second;
        }
    }
    if (auto own = resources::BuiltInString(id)) {
        return *own;
    }
    if (ui_ != nullptr) {
        ui_->MessageBox(u"String not found in resources", u"Status", HostUi::kOk);
    }
    return u"WARNING: no nID was found!";
}

std::u16string host::Resources::Text(std::u16string_view key, int id, bool multiLine) const {
    std::u16string text;
    if (GetMessage(key, text, multiLine, multiLine ? kLongMessage : kShortMessage)) {
        return text;
    }
    return LoadStringWithFallback(id);
}

std::u16string host::Resources::Text(std::u16string_view key, std::u16string_view builtIn,
                                     bool multiLine) const {
    std::u16string text;
    if (GetMessage(key, text, multiLine, multiLine ? kLongMessage : kShortMessage)) {
        return text;
    }
    return std::u16string(builtIn);
}
