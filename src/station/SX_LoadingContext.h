#pragma once
// Where the files of one load come from. A context knows the base location of
// the load (a local or network folder, or a web folder) and turns the names
// of a station's files into local paths that can be opened, downloading web
// files into the download cache on the way.
//
// Resolve(name), by the kind of the base (rows) and of the name (columns);
// "download" yields the cache copy's path, or "" when the download fails:
//
//   base \ name   local absolute  web            relative                network
//   local         name            download name  base/name               name
//   web           name            download name  download base + "/" +   name
//   relative      name            download name  base/name               name
//   network       name            download name  base/name               name
//
// SubLocation(name), the location of the context for a file's own folder
// ("" makes a context on the current directory):
//
//   base \ name   local absolute  web            relative                network
//   local         name            name           ""                      name
//   web           name            name           base + "/" + name       name
//   relative      ""              name           ""                      ""
//   network       ""              name           ""                      name
//
// Contexts are made and used on the loader thread; the window thread only
// joins links against the current one (ResolveLink) after the load made it.

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <string_view>

#include "platform/Path.h"

namespace platform {
class DownloadCache;
}
namespace StraleLib {
class SX_OpenGLContext;
}
class HostUi;
namespace host {
class Resources;
}  // namespace host

class SX_LoadingContext {
  public:
    struct FromContainer {};

    // Base = the container's base location (the page's folder, at most 4095
    // characters), or the current directory when there is no container
    // (empty containerBase). A web base uses "/" only.
    SX_LoadingContext(FromContainer, std::u16string_view containerBase);
    // From a location: a URL's base is the text up to its last "/"; a relative
    // location puts the base on the current directory; a local or network
    // path's base is the path without its last component.
    explicit SX_LoadingContext(std::u16string_view location);
    virtual ~SX_LoadingContext();
    SX_LoadingContext(const SX_LoadingContext&) = delete;
    SX_LoadingContext& operator=(const SX_LoadingContext&) = delete;

    const std::u16string& Source() const { return source_; }
    const std::u16string& Base() const { return base_; }
    platform::LocationKind Kind() const { return kind_; }
    bool IsWeb() const { return kind_ == platform::LocationKind::Web; }

    // The view's OpenGL context, handed in before loading; tile uploads use it.
    void SetOpenGLContext(StraleLib::SX_OpenGLContext* context) { glContext_ = context; }
    StraleLib::SX_OpenGLContext* GetOpenGLContext() const { return glContext_; }

    // Where downloads go; the process-wide per-user cache unless set.
    void SetDownloadCache(platform::DownloadCache* cache) { cache_ = cache; }
    platform::DownloadCache& GetDownloadCache() const;

    // Asked by every download of this context (and of its sub-contexts)
    // before and while it runs: true abandons it, and Resolve gives "". The
    // loader hands in its stop flag, so a stop never waits on the network.
    void SetCancelCheck(std::function<bool()> cancelled) { cancelled_ = std::move(cancelled); }

    // A local path for the name, or "" when it cannot be fetched.
    std::u16string Resolve(std::u16string_view name) const;
    // Resolve for the window thread (markup and hotlink files the page asks
    // for): a download still running after `limit` is abandoned, so a silent
    // server holds the window thread no longer than a stop does.
    std::u16string ResolveWithin(std::u16string_view name, std::chrono::milliseconds limit) const;
    static constexpr std::chrono::milliseconds kWindowThreadLimit{2000};
    // When the last Resolve of `name` failed because the server's file is
    // larger than the download limit: the message naming the file and the
    // limit (key "sx:Resource/sx:TooLarge", else a built-in text); else "".
    // The callers show it instead of their "not found" text.
    std::u16string TooLargeMessage(std::u16string_view name,
                                   const host::Resources& resources) const;
    // The location of a context for the folder of the file `name`.
    std::u16string SubLocation(std::u16string_view name) const;
    // A context on SubLocation(name) sharing this one's OpenGL context,
    // download cache and cancel check.
    std::unique_ptr<SX_LoadingContext> MakeSubContext(std::u16string_view name) const;

    // Joins a link from the station (neighbour, site map, hotlink, update
    // page) with the base. A web link is left to the caller unchanged
    // (false, out untouched). Each ".." in the link takes one folder off the
    // base; climbing above the base's first folder shows string 101 in a box
    // captioned with string 103 and gives false. Otherwise the joined text
    // (not a cache path) goes to `out`, cut to bufferSize - 1 characters,
    // and the result is TargetExists. Nothing is downloaded: the window
    // thread calls this and never waits on the network.
    bool ResolveLink(std::u16string_view link, std::u16string& out, std::size_t bufferSize,
                     HostUi* ui, const host::Resources& resources) const;

    // False only when the target is a "file://" location whose path does not
    // exist, or a path whose file is missing from an existing folder; web
    // addresses and anything else that cannot be asked about count as existing.
    static bool TargetExists(std::u16string_view link, std::u16string_view target);

    // The process's current directory.
    static std::u16string CurrentDirectory();

  private:
    std::u16string ResolveWith(std::u16string_view name,
                               const std::function<bool()>& cancelled) const;
    std::u16string Download(std::u16string_view name, std::u16string_view url,
                            const std::function<bool()>& cancelled) const;

    std::u16string source_;
    std::u16string base_;
    platform::LocationKind kind_ = platform::LocationKind::Relative;
    StraleLib::SX_OpenGLContext* glContext_ = nullptr;
    platform::DownloadCache* cache_ = nullptr;
    std::function<bool()> cancelled_;
    // Names whose last download was refused for its size (loader threads
    // resolve names in parallel).
    mutable std::mutex tooLargeLock_;
    mutable std::set<std::u16string, std::less<>> tooLarge_;
};
