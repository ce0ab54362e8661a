#include "platform/DownloadCache.h"

#include <curl/curl.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <thread>

#include "BuildVersion.h"
#include "platform/Text.h"

namespace platform {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMaxIdleHandles = 4;
// How often a cancellable request looks at its cancel check: while it waits
// for the entry's lock, and at most this long between two looks while the
// transfer waits for the network.
constexpr auto kLockPoll = std::chrono::milliseconds(20);
constexpr int kTransferPollMs = 100;
constexpr const char* kCancelled = "The download was cancelled";

// libcurl and the 25 libraries it needs are loaded at the first download,
// not with the program: they made every start of `panora` about 6 ms slower,
// and most runs read local files only.
struct CurlLibrary {
    void* handle = nullptr;
    std::string error;
    CURLcode (*global_init)(long) = nullptr;
    CURL* (*easy_init)() = nullptr;
    CURLcode (*easy_setopt)(CURL*, CURLoption, ...) = nullptr;
    CURLcode (*easy_getinfo)(CURL*, CURLINFO, ...) = nullptr;
    void (*easy_reset)(CURL*) = nullptr;
    void (*easy_cleanup)(CURL*) = nullptr;
    const char* (*easy_strerror)(CURLcode) = nullptr;
    CURLM* (*multi_init)() = nullptr;
    CURLMcode (*multi_add_handle)(CURLM*, CURL*) = nullptr;
    CURLMcode (*multi_remove_handle)(CURLM*, CURL*) = nullptr;
    CURLMcode (*multi_perform)(CURLM*, int*) = nullptr;
    CURLMcode (*multi_poll)(CURLM*, struct curl_waitfd[], unsigned int, int, int*) = nullptr;
    CURLMsg* (*multi_info_read)(CURLM*, int*) = nullptr;
    CURLMcode (*multi_cleanup)(CURLM*) = nullptr;
    curl_slist* (*slist_append)(curl_slist*, const char*) = nullptr;
    void (*slist_free_all)(curl_slist*) = nullptr;

    template <typename F>
    bool Find(F& function, const char* name) {
        function = reinterpret_cast<F>(dlsym(handle, name));
        if (function == nullptr && error.empty()) {
            error = std::string("libcurl has no ") + name;
        }
        return function != nullptr;
    }

    CurlLibrary() {
        handle = dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) {
            const char* reason = dlerror();
            error = reason != nullptr ? reason : "libcurl.so.4 could not be loaded";
            return;
        }
        bool ok = Find(global_init, "curl_global_init");
        ok = Find(easy_init, "curl_easy_init") && ok;
        ok = Find(easy_setopt, "curl_easy_setopt") && ok;
        ok = Find(easy_getinfo, "curl_easy_getinfo") && ok;
        ok = Find(easy_reset, "curl_easy_reset") && ok;
        ok = Find(easy_cleanup, "curl_easy_cleanup") && ok;
        ok = Find(easy_strerror, "curl_easy_strerror") && ok;
        ok = Find(multi_init, "curl_multi_init") && ok;
        ok = Find(multi_add_handle, "curl_multi_add_handle") && ok;
        ok = Find(multi_remove_handle, "curl_multi_remove_handle") && ok;
        ok = Find(multi_perform, "curl_multi_perform") && ok;
        ok = Find(multi_poll, "curl_multi_poll") && ok;
        ok = Find(multi_info_read, "curl_multi_info_read") && ok;
        ok = Find(multi_cleanup, "curl_multi_cleanup") && ok;
        ok = Find(slist_append, "curl_slist_append") && ok;
        ok = Find(slist_free_all, "curl_slist_free_all") && ok;
        if (ok && global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
            error = "curl_global_init failed";
        }
    }
};

// Loaded and its global state set up once for the process, whichever thread
// gets here first; never unloaded or torn down (other users may still hold
// it). Used only after GlobalInit succeeded.
CurlLibrary& Curl() {
    static CurlLibrary library;
    return library;
}

bool GlobalInit(std::string* error) {
    const CurlLibrary& library = Curl();
    if (!library.error.empty() && error != nullptr) {
        *error = library.error;
    }
    return library.error.empty();
}

std::string ToLowerAscii(std::string_view s) {
    std::string out(s);
    for (auto& c : out) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

std::string Trim(std::string_view s) {
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r' || s[b] == '\n'))
        ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r' || s[e - 1] == '\n'))
        --e;
    return std::string(s.substr(b, e - b));
}

// 64-bit FNV-1a, written as 16 hexadecimal digits.
std::string HashName(std::string_view text) {
    std::uint64_t h = 0xcbf29ce484222325ULL;
    for (unsigned char c : text) {
        h ^= c;
        h *= 0x100000001b3ULL;
    }
    char buf[17];
    std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(h));
    return buf;
}

// Length of "http://" or "https://" at the start of url, 0 for any other scheme.
std::size_t SchemeLength(std::string_view url) {
    const std::string head = ToLowerAscii(url.substr(0, 8));
    if (head.starts_with("http://"))
        return 7;
    if (head.starts_with("https://"))
        return 8;
    return 0;
}

// ".ext" of the last path segment when it is short and plain, else "".
std::string Extension(std::string_view url, std::size_t schemeLength) {
    std::string_view rest = url.substr(schemeLength);
    rest = rest.substr(0, rest.find_first_of("?#"));
    const auto slash = rest.find('/');
    if (slash == std::string_view::npos)
        return {};
    rest = rest.substr(rest.rfind('/') + 1);
    const auto dot = rest.rfind('.');
    if (dot == std::string_view::npos)
        return {};
    const std::string_view ext = rest.substr(dot + 1);
    if (ext.empty() || ext.size() > 10)
        return {};
    for (char c : ext) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '_' || c == '-';
        if (!plain)
            return {};
    }
    return "." + std::string(ext);
}

// What the side file of an entry records.
struct SideInfo {
    std::string url;
    std::string etag;
    std::string lastModified;
    std::uintmax_t size = 0;
};

bool ReadSide(const fs::path& path, SideInfo& info) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::string line;
    bool haveSize = false;
    while (std::getline(in, line)) {
        const auto colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        const std::string key = line.substr(0, colon);
        const std::string value = Trim(std::string_view(line).substr(colon + 1));
        if (key == "URL") {
            info.url = value;
        } else if (key == "ETag") {
            info.etag = value;
        } else if (key == "Last-Modified") {
            info.lastModified = value;
        } else if (key == "Size") {
            char* end = nullptr;
            info.size = std::strtoull(value.c_str(), &end, 10);
            haveSize = end != value.c_str() && *end == '\0';
        }
    }
    return haveSize && !info.url.empty();
}

// A file created next to its final name and renamed over it once complete;
// removed when the object goes away without being committed.
class TempFile {
  public:
    explicit TempFile(const fs::path& pattern) {
        std::string name = pattern.string();
        const int fd = mkstemp(name.data());
        if (fd < 0)
            return;
        file_ = fdopen(fd, "wb");
        if (file_ == nullptr) {
            ::close(fd);
            ::unlink(name.c_str());
            return;
        }
        path_ = name;
    }
    ~TempFile() {
        if (file_ != nullptr)
            std::fclose(file_);
        if (!path_.empty())
            ::unlink(path_.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    FILE* file() const { return file_; }
    bool ok() const { return file_ != nullptr; }
    const std::string& path() const { return path_; }

    // Closes the file and renames it to target.
    bool Commit(const fs::path& target, std::string& error) {
        const bool flushed = std::fflush(file_) == 0;
        const bool closed = std::fclose(file_) == 0;
        file_ = nullptr;
        if (!flushed || !closed) {
            error = "Cannot write " + path_ + ": " + std::strerror(errno);
            return false;
        }
        if (std::rename(path_.c_str(), target.c_str()) != 0) {
            error =
                "Cannot rename " + path_ + " to " + target.string() + ": " + std::strerror(errno);
            return false;
        }
        path_.clear();
        return true;
    }

  private:
    FILE* file_ = nullptr;
    std::string path_;
};

bool WriteSide(const fs::path& path, const SideInfo& info, std::string& error) {
    TempFile temp(path.parent_path() / ("." + path.filename().string() + ".XXXXXX"));
    if (!temp.ok()) {
        error =
            "Cannot create a file in " + path.parent_path().string() + ": " + std::strerror(errno);
        return false;
    }
    std::ostringstream text;
    text << "URL: " << info.url << "\nETag: " << info.etag
         << "\nLast-Modified: " << info.lastModified << "\nSize: " << info.size << "\n";
    const std::string bytes = text.str();
    if (std::fwrite(bytes.data(), 1, bytes.size(), temp.file()) != bytes.size()) {
        error = "Cannot write " + temp.path() + ": " + std::strerror(errno);
        return false;
    }
    return temp.Commit(path, error);
}

// Exclusive lock of one entry (flock on its lock file), across threads and
// processes alike: each holder opens the file itself. With a cancel check the
// wait polls, and a cancel ends it unlocked (cancelled() true).
class EntryLock {
  public:
    EntryLock(const fs::path& path, const DownloadCache::CancelCheck& cancel) {
        fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd_ < 0)
            return;
        const int how = cancel ? LOCK_EX | LOCK_NB : LOCK_EX;
        while (::flock(fd_, how) != 0) {
            const int error = errno;
            if (error == EINTR)
                continue;
            if (error == EWOULDBLOCK && !cancel()) {
                std::this_thread::sleep_for(kLockPoll);
                continue;
            }
            cancelled_ = error == EWOULDBLOCK;
            ::close(fd_);
            fd_ = -1;
            errno = error;
            return;
        }
    }
    ~EntryLock() {
        if (fd_ >= 0)
            ::close(fd_);  // closing releases the lock
    }
    EntryLock(const EntryLock&) = delete;
    EntryLock& operator=(const EntryLock&) = delete;
    bool ok() const { return fd_ >= 0; }
    bool cancelled() const { return cancelled_; }

  private:
    int fd_ = -1;
    bool cancelled_ = false;
};

// State of one transfer, filled by libcurl's callbacks.
struct Transfer {
    FILE* out = nullptr;
    long status = 0;  // of the response being received
    std::string etag;
    std::string lastModified;
    std::uintmax_t bytes = 0;    // of the body being stored
    std::uint64_t received = 0;  // of every body, error pages included
    std::uint64_t maxBytes = 0;
    bool tooLarge = false;
    const DownloadCache::CancelCheck* cancel = nullptr;
};

// libcurl's progress callback: a non-zero answer abandons the transfer.
int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    const auto* t = static_cast<const Transfer*>(user);
    return *t->cancel && (*t->cancel)() ? 1 : 0;
}

std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* user) {
    auto* t = static_cast<Transfer*>(user);
    const std::size_t n = size * count;
    const std::string_view line(data, n);
    if (line.starts_with("HTTP/")) {
        // A new response (after a redirect or an interim answer) starts afresh.
        t->etag.clear();
        t->lastModified.clear();
        const auto space = line.find(' ');
        t->status = space == std::string_view::npos
                        ? 0
                        : std::atol(std::string(line.substr(space + 1, 3)).c_str());
        return n;
    }
    const auto colon = line.find(':');
    if (colon == std::string_view::npos)
        return n;
    const std::string name = ToLowerAscii(line.substr(0, colon));
    if (name == "etag") {
        t->etag = Trim(line.substr(colon + 1));
    } else if (name == "last-modified") {
        t->lastModified = Trim(line.substr(colon + 1));
    }
    return n;
}

std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto* t = static_cast<Transfer*>(user);
    const std::size_t n = size * count;
    t->received += n;
    if (t->received > t->maxBytes) {
        t->tooLarge = true;
        return 0;  // aborts the transfer
    }
    if (t->status < 200 || t->status > 299)
        return n;  // bodies of error pages are dropped
    if (std::fwrite(data, 1, n, t->out) != n)
        return 0;  // aborts the transfer
    t->bytes += n;
    return n;
}

std::string HomeCache() {
    const char* xdg = std::getenv("XDG_CACHE_HOME");
    if (xdg != nullptr && xdg[0] == '/')
        return std::string(xdg) + "/panora";
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0')
        return std::string(home) + "/.cache/panora";
    return (fs::temp_directory_path() / "panora-cache").string();
}

}  // namespace

struct DownloadCache::Entry {
    fs::path data;
    fs::path side;
};

// One request handle with the multi handle that drives it; the multi handle
// keeps the connections for reuse by the next request.
struct DownloadCache::Handle {
    CURLM* multi = Curl().multi_init();
    CURL* easy = Curl().easy_init();
    ~Handle() {
        if (multi != nullptr && easy != nullptr)
            Curl().multi_remove_handle(multi, easy);
        if (easy != nullptr)
            Curl().easy_cleanup(easy);
        if (multi != nullptr)
            Curl().multi_cleanup(multi);
    }
    bool ok() const { return multi != nullptr && easy != nullptr; }

    // Runs the transfer set up on `easy`; looks at the cancel check whenever
    // libcurl comes back, which is at least every kTransferPollMs.
    CURLcode Perform(const CancelCheck& cancel) {
        if (Curl().multi_add_handle(multi, easy) != CURLM_OK)
            return CURLE_FAILED_INIT;
        CURLcode result = CURLE_FAILED_INIT;
        for (bool done = false; !done;) {
            int running = 0;
            if (Curl().multi_perform(multi, &running) != CURLM_OK)
                break;
            int queued = 0;
            while (CURLMsg* message = Curl().multi_info_read(multi, &queued)) {
                if (message->msg == CURLMSG_DONE) {
                    result = message->data.result;
                    done = true;
                }
            }
            if (done || running == 0)
                break;
            if (cancel && cancel()) {
                result = CURLE_ABORTED_BY_CALLBACK;
                break;
            }
            Curl().multi_poll(multi, nullptr, 0, kTransferPollMs, nullptr);
        }
        Curl().multi_remove_handle(multi, easy);
        return result;
    }
};

DownloadCache::DownloadCache() : DownloadCache(DefaultFolder()) {}

DownloadCache::DownloadCache(std::u16string folder) : folder_(std::move(folder)) {}

DownloadCache::DownloadCache(std::u16string folder, const Options& options)
    : folder_(std::move(folder)), options_(options) {}

DownloadCache::~DownloadCache() = default;

std::u16string DownloadCache::DefaultFolder() {
    return FromUtf8(HomeCache());
}

std::string DownloadCache::NormaliseUrl(std::u16string_view url) {
    const std::string text = ToUtf8(url);
    static const char* const kHex = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '#')
            break;
        const bool escape = c <= 0x20 || c >= 0x7f || c == '"' || c == '<' || c == '>' ||
                            c == '\\' || c == '^' || c == '`' || c == '{' || c == '|' || c == '}';
        if (escape) {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::u16string DownloadCache::LastError() const {
    std::lock_guard lock(mutex_);
    return lastError_;
}

DownloadCache::Counters DownloadCache::GetCounters() const {
    std::lock_guard lock(mutex_);
    return counters_;
}

DownloadCache::Options DownloadCache::GetOptions() const {
    std::lock_guard lock(mutex_);
    return options_;
}

void DownloadCache::SetOptions(const Options& options) {
    std::lock_guard lock(mutex_);
    options_ = options;
}

std::unique_ptr<DownloadCache::Handle> DownloadCache::TakeHandle() {
    {
        std::lock_guard lock(mutex_);
        if (!idleHandles_.empty()) {
            std::unique_ptr<Handle> h = std::move(idleHandles_.back());
            idleHandles_.pop_back();
            Curl().easy_reset(h->easy);
            return h;
        }
    }
    auto h = std::make_unique<Handle>();
    return h->ok() ? std::move(h) : nullptr;
}

void DownloadCache::GiveHandle(std::unique_ptr<Handle> handle) {
    if (handle == nullptr)
        return;
    std::lock_guard lock(mutex_);
    if (idleHandles_.size() < kMaxIdleHandles) {
        idleHandles_.push_back(std::move(handle));
    }
}

std::optional<std::u16string> DownloadCache::LocalPathOfFileUrl(std::u16string_view url) {
    constexpr std::u16string_view kScheme = u"file://";
    if (url.size() < kScheme.size()) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < kScheme.size(); ++i) {
        char16_t c = url[i];
        if (c >= u'A' && c <= u'Z') {
            c = static_cast<char16_t>(c - u'A' + u'a');
        }
        if (c != kScheme[i]) {
            return std::nullopt;
        }
    }
    std::string rest = ToUtf8(url.substr(kScheme.size()));
    if (rest.starts_with("localhost/")) {
        rest.erase(0, 9);
    }
    if (rest.empty() || rest.front() != '/') {
        return std::u16string();  // another host's file: not reachable from here
    }
    std::string decoded;
    for (std::size_t i = 0; i < rest.size(); ++i) {
        const auto hex = [](char h) {
            return h >= '0' && h <= '9'   ? h - '0'
                   : h >= 'a' && h <= 'f' ? h - 'a' + 10
                   : h >= 'A' && h <= 'F' ? h - 'A' + 10
                                          : -1;
        };
        if (rest[i] == '%' && i + 2 < rest.size() && hex(rest[i + 1]) >= 0 &&
            hex(rest[i + 2]) >= 0) {
            decoded.push_back(static_cast<char>(hex(rest[i + 1]) * 16 + hex(rest[i + 2])));
            i += 2;
        } else if (rest[i] == '?' || rest[i] == '#') {
            break;
        } else {
            decoded.push_back(rest[i]);
        }
    }
    return FromUtf8(decoded);
}

std::u16string DownloadCache::Fail(std::string text, Outcome* outcome) {
    std::lock_guard lock(mutex_);
    ++counters_.failures;
    lastError_ = FromUtf8(text);
    if (outcome != nullptr) {
        outcome->error = lastError_;
    }
    return {};
}

std::u16string DownloadCache::Download(std::u16string_view url, const CancelCheck& cancelled,
                                       Outcome* outcome) {
    if (outcome != nullptr) {
        *outcome = Outcome{};
    }
    if (const auto local = LocalPathOfFileUrl(url)) {
        // A file URL names a local file: its "cached copy" is the file itself.
        std::error_code ec;
        if (!local->empty() && fs::is_regular_file(fs::path(ToUtf8(*local)), ec)) {
            return *local;
        }
        return Fail("File not found: " + ToUtf8(url), outcome);
    }
    const std::string target = NormaliseUrl(url);
    const std::size_t schemeLength = SchemeLength(target);
    if (schemeLength == 0 || target.size() == schemeLength || target[schemeLength] == '/') {
        return Fail("Not an http or https URL: " + target, outcome);
    }
    if (std::string reason; !GlobalInit(&reason)) {
        return Fail("The network library could not be initialised (" + reason + ")", outcome);
    }
    const auto cancel = [&] {
        if (outcome != nullptr) {
            outcome->cancelled = true;
        }
        return Fail(std::string(kCancelled) + " (" + target + ")", outcome);
    };
    if (cancelled && cancelled()) {
        return cancel();
    }

    const std::string hash = HashName(target);
    const fs::path folder(ToUtf8(folder_));
    Entry entry{folder / (hash + Extension(target, schemeLength)), folder / "index" / hash};
    std::error_code ec;
    fs::create_directories(entry.side.parent_path(), ec);
    if (ec) {
        return Fail("Cannot create the cache folder " + entry.side.parent_path().string() + ": " +
                        ec.message(),
                    outcome);
    }
    EntryLock lock(folder / "index" / (hash + ".lock"), cancelled);
    if (lock.cancelled()) {
        return cancel();
    }
    if (!lock.ok()) {
        return Fail("Cannot lock the cache entry of " + target + ": " + std::strerror(errno),
                    outcome);
    }

    std::string error;
    if (!Fetch(target, entry, cancelled, error, outcome)) {
        return Fail(error + " (" + target + ")", outcome);
    }
    return FromUtf8(entry.data.string());
}

// Runs one request for url with the entry locked: conditional when a complete
// copy of the same URL is cached. True when entry.data holds the current bytes.
bool DownloadCache::Fetch(const std::string& url, const Entry& entry, const CancelCheck& cancelled,
                          std::string& error, Outcome* outcome) {
    SideInfo cached;
    std::error_code ec;
    const bool haveCopy = ReadSide(entry.side, cached) && cached.url == url &&
                          fs::is_regular_file(entry.data, ec) &&
                          fs::file_size(entry.data, ec) == cached.size && !ec &&
                          (!cached.etag.empty() || !cached.lastModified.empty());

    TempFile temp(entry.data.parent_path() / ("." + entry.side.filename().string() + ".XXXXXX"));
    if (!temp.ok()) {
        error = "Cannot create a file in " + entry.data.parent_path().string() + ": " +
                std::strerror(errno);
        return false;
    }

    const Options options = GetOptions();
    std::unique_ptr<Handle> handle = TakeHandle();
    if (handle == nullptr) {
        error = "Cannot create a network request";
        return false;
    }
    CURL* curl = handle->easy;
    struct HandleReturn {
        DownloadCache* self;
        std::unique_ptr<Handle>& handle;
        curl_slist* headers = nullptr;
        ~HandleReturn() {
            Curl().slist_free_all(headers);
            self->GiveHandle(std::move(handle));
        }
    } handleReturn{this, handle};

    if (haveCopy) {
        if (!cached.etag.empty()) {
            handleReturn.headers = Curl().slist_append(handleReturn.headers,
                                                       ("If-None-Match: " + cached.etag).c_str());
        }
        if (!cached.lastModified.empty()) {
            handleReturn.headers = Curl().slist_append(
                handleReturn.headers, ("If-Modified-Since: " + cached.lastModified).c_str());
        }
    }

    Transfer transfer;
    transfer.out = temp.file();
    transfer.cancel = &cancelled;
    transfer.maxBytes = options.maxBytes;
    char curlError[CURL_ERROR_SIZE] = {};
    Curl().easy_setopt(curl, CURLOPT_URL, url.c_str());
    Curl().easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    Curl().easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    Curl().easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    Curl().easy_setopt(curl, CURLOPT_MAXREDIRS, static_cast<long>(options.maxRedirects));
    // A body announced larger than the limit is refused before it starts;
    // OnBody counts the rest.
    Curl().easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE,
                       static_cast<curl_off_t>(std::min<std::uint64_t>(
                           options.maxBytes, std::numeric_limits<curl_off_t>::max())));
    Curl().easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    Curl().easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS,
                       static_cast<long>(options.connectTimeout.count()));
    Curl().easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(options.totalTimeout.count()));
    if (options.stallTimeout.count() > 0) {
        Curl().easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
        Curl().easy_setopt(curl, CURLOPT_LOW_SPEED_TIME,
                           std::max(1L, static_cast<long>(options.stallTimeout.count() / 1000)));
    }
    Curl().easy_setopt(curl, CURLOPT_USERAGENT, "Panora/" PANORA_VERSION_TEXT);
    Curl().easy_setopt(curl, CURLOPT_HTTPHEADER, handleReturn.headers);
    Curl().easy_setopt(curl, CURLOPT_HEADERFUNCTION, &OnHeader);
    Curl().easy_setopt(curl, CURLOPT_HEADERDATA, &transfer);
    Curl().easy_setopt(curl, CURLOPT_WRITEFUNCTION, &OnBody);
    Curl().easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    Curl().easy_setopt(curl, CURLOPT_ERRORBUFFER, curlError);
    if (cancelled) {
        Curl().easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
        Curl().easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &OnProgress);
        Curl().easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
    }

    {
        std::lock_guard lock(mutex_);
        ++counters_.requests;
    }
    const CURLcode result = handle->Perform(cancelled);
    Curl().easy_setopt(curl, CURLOPT_ERRORBUFFER, nullptr);
    long status = 0;
    Curl().easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);

    if (result == CURLE_ABORTED_BY_CALLBACK) {
        if (outcome != nullptr) {
            outcome->cancelled = true;
        }
        error = kCancelled;
        return false;
    }
    if (transfer.tooLarge || result == CURLE_FILESIZE_EXCEEDED) {
        if (outcome != nullptr) {
            outcome->tooLarge = true;
        }
        error = "The file is larger than the download limit of " +
                std::to_string(options.maxBytes) + " bytes";
        return false;
    }
    if (result != CURLE_OK) {
        error = Curl().easy_strerror(result);
        if (curlError[0] != '\0')
            error += std::string(": ") + curlError;
        return false;
    }
    if (status == 304 && haveCopy) {
        std::lock_guard lock(mutex_);
        ++counters_.reuses;
        return true;
    }
    if (status < 200 || status > 299) {
        error = "HTTP status " + std::to_string(status);
        return false;
    }
    // The old side file goes first: bytes without a side file are fetched in
    // full next time, never revalidated against another version's validators.
    fs::remove(entry.side, ec);
    if (!temp.Commit(entry.data, error)) {
        return false;
    }
    SideInfo info{url, transfer.etag, transfer.lastModified, transfer.bytes};
    std::string sideError;
    WriteSide(entry.side, info, sideError);  // without it the bytes are still good
    std::lock_guard lock(mutex_);
    ++counters_.downloads;
    return true;
}

}  // namespace platform
