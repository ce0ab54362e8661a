#pragma once
// Download of a URL into the per-user download cache: the local copy of a
// web file that the loading context hands to the readers and decoders.
//
// Layout of the cache folder (default $XDG_CACHE_HOME/panora, else
// ~/.cache/panora):
//   <hash><.ext>        the cached bytes; the name keeps the URL's extension
//                       (".JPG", ".xml", ".DAT") so readers see the usual type
//   index/<hash>        side file: the URL, its ETag, Last-Modified and size
//   index/<hash>.lock   held (flock) while the entry is fetched or revalidated
//   .<hash>.XXXXXX      a download in progress; renamed over the final name
//                       only once the whole body has arrived
//
// A request for a URL already in the cache is revalidated with a conditional
// request (If-None-Match / If-Modified-Since); a 304 answer reuses the cached
// file, anything else is downloaded in full. Every failure (unsupported
// scheme, unresolvable host, refused connection, time-out, HTTP status 300 and
// up, a broken transfer, a file that cannot be written) yields the empty path
// and leaves the text of the error in LastError(); nothing throws. A failure
// never leaves a partial file under the final name; an older cached copy stays
// as it was.
//
// Threads: one instance may be used by several threads at once, and several
// instances (in this or other processes) may share a folder. Requests for the
// same URL are serialised by the entry's lock file, so the second one
// revalidates what the first one fetched; requests for different URLs run in
// parallel. LastError() is the error of the most recent failed request of the
// instance, whichever thread made it.
//
// Size: a body longer than Options::maxBytes is refused, whether the server
// announces it (Content-Length) or simply keeps sending; the request fails
// with "The file is larger than the download limit of N bytes" and the
// outcome says so (Outcome::tooLarge), so the caller can name the cause.
//
// Cancelling: a caller may hand Download a check that is asked before the
// request, every 20 ms while it waits for the entry's lock and at least every
// 100 ms while the transfer runs (also while the server sends nothing). When
// the check answers true the request is abandoned within about that time and
// Download fails with "The download was cancelled".

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class DownloadCache {
  public:
    struct Options {
        // Time allowed to resolve the host and connect.
        std::chrono::milliseconds connectTimeout{15000};
        // Time allowed for a whole request, transfer included (0: no limit).
        std::chrono::milliseconds totalTimeout{600000};
        // A transfer that receives nothing for this long is abandoned
        // (0: never).
        std::chrono::milliseconds stallTimeout{60000};
        // Redirects followed before giving up.
        int maxRedirects = 10;
        // Largest body accepted, in bytes (also for error pages, which are
        // read and dropped). The largest tile a station may hold, a point
        // file of a 16384-pixel face with every pixel measured, is about
        // 1.07 GB; 2 GiB leaves room for it and stops a server that never
        // ends its body before it fills the disk.
        std::uint64_t maxBytes = std::uint64_t{2} << 30;
    };

    // Why a request failed, for callers that report causes apart.
    struct Outcome {
        bool tooLarge = false;  // the body passed maxBytes
        bool cancelled = false;
        std::u16string error;  // as LastError(), empty on success
    };

    // Network activity of one instance, for traces and tests.
    struct Counters {
        std::uint64_t requests = 0;   // HTTP transfers started
        std::uint64_t downloads = 0;  // full bodies stored in the cache
        std::uint64_t reuses = 0;     // 304 answers that reused a cached copy
        std::uint64_t failures = 0;   // calls that returned the empty path
    };

    // Cache in the default per-user folder.
    DownloadCache();
    // Cache in the given folder (created when first needed).
    explicit DownloadCache(std::u16string folder);
    DownloadCache(std::u16string folder, const Options& options);
    ~DownloadCache();
    DownloadCache(const DownloadCache&) = delete;
    DownloadCache& operator=(const DownloadCache&) = delete;

    // True when the request in progress is to be abandoned.
    using CancelCheck = std::function<bool()>;

    // Local path of the cached copy of url (http or https only), fetched or
    // revalidated now; the empty string on failure or when cancelled.
    // The outcome of this call goes to `outcome` when given.
    std::u16string Download(std::u16string_view url, const CancelCheck& cancelled = {},
                            Outcome* outcome = nullptr);

    // For a "file://" URL (any case; host empty or "localhost") the local
    // path it names, percent-escapes decoded; an empty path for a file URL of
    // another host; nullopt for any other URL. Download returns that path
    // when the file exists, so a page opened from disk works like one served
    // from a web folder.
    static std::optional<std::u16string> LocalPathOfFileUrl(std::u16string_view url);

    // Text of the last failure of this instance (empty when none yet).
    std::u16string LastError() const;
    Counters GetCounters() const;

    Options GetOptions() const;
    void SetOptions(const Options& options);

    const std::u16string& Folder() const { return folder_; }

    // $XDG_CACHE_HOME/panora, else $HOME/.cache/panora.
    static std::u16string DefaultFolder();

    // The URL as it is requested and keyed: the fragment removed; spaces,
    // control characters, non-ASCII characters (as UTF-8) and characters that
    // may not appear in a URL percent-encoded; existing escapes kept.
    static std::string NormaliseUrl(std::u16string_view url);

  private:
    struct Entry;
    struct Handle;
    std::unique_ptr<Handle> TakeHandle();
    void GiveHandle(std::unique_ptr<Handle> handle);
    std::u16string Fail(std::string text, Outcome* outcome);
    bool Fetch(const std::string& url, const Entry& entry, const CancelCheck& cancelled,
               std::string& error, Outcome* outcome);

    std::u16string folder_;
    mutable std::mutex mutex_;  // guards everything below
    Options options_;
    Counters counters_;
    std::u16string lastError_;
    // Curl handles kept for connection reuse.
    std::vector<std::unique_ptr<Handle>> idleHandles_;
};

}  // namespace platform
