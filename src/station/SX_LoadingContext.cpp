#include "station/SX_LoadingContext.h"

#include <filesystem>
#include <system_error>

#include "host/HostUi.h"
#include "host/Resources.h"
#include "host/SX_Format.h"
#include "platform/DownloadCache.h"
#include "platform/Text.h"
#include "resources/StringTable.h"

using platform::LocationKind;

namespace {

constexpr std::size_t kMaxContainerBase = 4095;

std::u16string ForwardSlashes(std::u16string text) {
    for (char16_t& c : text) {
        if (c == u'\\') {
            c = u'/';
        }
    }
    return text;
}

platform::DownloadCache& DefaultCache() {
    static platform::DownloadCache cache;
    return cache;
}

}  // namespace

std::u16string SX_LoadingContext::CurrentDirectory() {
    std::error_code error;
    const auto cwd = std::filesystem::current_path(error);
    return error ? std::u16string() : platform::FromUtf8(cwd.string());
}

SX_LoadingContext::SX_LoadingContext(FromContainer, std::u16string_view containerBase) {
    base_ = containerBase.empty() ? CurrentDirectory()
                                  : std::u16string(containerBase.substr(0, kMaxContainerBase));
    kind_ = platform::ClassifyLocation(base_);
    if (kind_ == LocationKind::Web) {
        base_ = ForwardSlashes(std::move(base_));
    }
    // A container may name its folder with a closing separator
    // ("file:///pages/"); the base never ends in one, since names are joined
    // to it with a separator of their own. Roots ("/", "C:\", "file:///")
    // stay as they are.
    if (base_.size() > 1 && (base_.back() == u'/' || base_.back() == u'\\')) {
        const char16_t before = base_[base_.size() - 2];
        if (before != u'/' && before != u'\\' && before != u':') {
            base_.pop_back();
        }
    }
}

SX_LoadingContext::SX_LoadingContext(std::u16string_view location) : source_(location) {
    kind_ = platform::ClassifyLocation(location);
    switch (kind_) {
        case LocationKind::Web: {
            const auto slash = location.rfind(u'/');
            base_ = std::u16string(slash == std::u16string_view::npos ? location
                                                                      : location.substr(0, slash));
            break;
        }
        case LocationKind::Relative:
            base_ = CurrentDirectory();
            kind_ = platform::ClassifyLocation(base_);
            if (kind_ == LocationKind::Web) {
                base_ = ForwardSlashes(std::move(base_));
            }
            break;
        case LocationKind::LocalAbsolute:
        case LocationKind::Network:
            base_ = platform::WithoutFileSpec(location);
            break;
    }
}

SX_LoadingContext::~SX_LoadingContext() = default;

platform::DownloadCache& SX_LoadingContext::GetDownloadCache() const {
    return cache_ != nullptr ? *cache_ : DefaultCache();
}

std::u16string SX_LoadingContext::Download(std::u16string_view name, std::u16string_view url,
                                           const std::function<bool()>& cancelled) const {
    platform::DownloadCache::Outcome outcome;
    std::u16string path = GetDownloadCache().Download(url, cancelled, &outcome);
    std::lock_guard lock(tooLargeLock_);
    if (outcome.tooLarge) {
        tooLarge_.emplace(name);
    } else if (const auto it = tooLarge_.find(name); it != tooLarge_.end()) {
        tooLarge_.erase(it);
    }
    return path;
}

std::u16string SX_LoadingContext::TooLargeMessage(std::u16string_view name,
                                                  const host::Resources& resources) const {
    {
        std::lock_guard lock(tooLargeLock_);
        if (tooLarge_.find(name) == tooLarge_.end()) {
            return {};
        }
    }
    const auto limit = static_cast<long long>(GetDownloadCache().GetOptions().maxBytes);
    return SX_Format(resources.Text(u"sx:Resource/sx:TooLarge",
                                    u"Error: File %s is larger than the download limit of %lld "
                                    u"bytes."),
                     {name, limit});
}

std::u16string SX_LoadingContext::Resolve(std::u16string_view name) const {
    return ResolveWith(name, cancelled_);
}

std::u16string SX_LoadingContext::ResolveWithin(std::u16string_view name,
                                                std::chrono::milliseconds limit) const {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    return ResolveWith(name, [this, deadline] {
        return std::chrono::steady_clock::now() >= deadline || (cancelled_ && cancelled_());
    });
}

std::u16string SX_LoadingContext::ResolveWith(std::u16string_view name,
                                              const std::function<bool()>& cancelled) const {
    switch (platform::ClassifyLocation(name)) {
        case LocationKind::Web:
            return Download(name, name, cancelled);
        case LocationKind::Relative:
            if (kind_ == LocationKind::Web) {
                return Download(name, base_ + u"/" + std::u16string(name), cancelled);
            }
            return platform::Join(base_, name);
        case LocationKind::LocalAbsolute:
        case LocationKind::Network:
            break;
    }
    return std::u16string(name);
}

std::u16string SX_LoadingContext::SubLocation(std::u16string_view name) const {
    const LocationKind nameKind = platform::ClassifyLocation(name);
    if (nameKind == LocationKind::Web) {
        return std::u16string(name);
    }
    switch (kind_) {
        case LocationKind::LocalAbsolute:
            return nameKind == LocationKind::Relative ? std::u16string() : std::u16string(name);
        case LocationKind::Web:
            return nameKind == LocationKind::Relative ? base_ + u"/" + std::u16string(name)
                                                      : std::u16string(name);
        case LocationKind::Relative:
            return {};
        case LocationKind::Network:
            return nameKind == LocationKind::Network ? std::u16string(name) : std::u16string();
    }
    return {};
}

std::unique_ptr<SX_LoadingContext> SX_LoadingContext::MakeSubContext(
    std::u16string_view name) const {
    auto sub = std::make_unique<SX_LoadingContext>(SubLocation(name));
    sub->glContext_ = glContext_;
    sub->cache_ = cache_;
    sub->cancelled_ = cancelled_;
    return sub;
}

bool SX_LoadingContext::ResolveLink(std::u16string_view link, std::u16string& out,
                                    std::size_t bufferSize, HostUi* ui,
                                    const host::Resources& resources) const {
    if (platform::ClassifyLocation(link) == LocationKind::Web) {
        return false;
    }
    const bool web = kind_ == LocationKind::Web;
    // Local paths use "/" as well as web locations; a local base from a page
    // may still hold "\", which counts as a separator when climbing.
    constexpr char16_t separator = u'/';
    const auto lastSeparator = [web](const std::u16string& text) {
        return web ? text.rfind(u'/') : text.find_last_of(u"/\\");
    };

    std::u16string base = base_;
    std::u16string rest(link);
    for (auto dots = rest.find(u".."); dots != std::u16string::npos; dots = rest.find(u"..")) {
        rest.erase(0, std::min(rest.size(), dots + 3));
        const auto cut = lastSeparator(base);
        if (cut == std::u16string::npos) {
            if (ui != nullptr) {
                const std::u16string text =
                    SX_Format(resources.LoadStringWithFallback(resources::IDS_RELATIVE_PATH_WRONG),
                              {link, base});
                ui->MessageBox(text, resources.LoadStringWithFallback(resources::IDS_WARNING),
                               HostUi::kOk);
            }
            return false;
        }
        base.erase(cut);
    }

    std::u16string joined = base;
    joined.push_back(separator);
    if (platform::IsRelative(rest)) {
        joined += rest;
    } else {
        joined = rest;
    }

    // A web target is not fetched: the window thread joins links (site map,
    // hotlinks, neighbours) and never waits on the network, and the cached
    // copy would not be used anyway.

    out = joined.substr(0, bufferSize == 0 ? 0 : bufferSize - 1);
    return TargetExists(link, joined);
}

bool SX_LoadingContext::TargetExists(std::u16string_view /*link*/, std::u16string_view target) {
    constexpr std::u16string_view kFileScheme = u"file://";
    if (target.substr(0, kFileScheme.size()) == kFileScheme &&
        !platform::FileExists(target.substr(kFileScheme.size()))) {
        return false;
    }
    return platform::ProbePath(target) != platform::PathProbe::FileNotFound;
}
