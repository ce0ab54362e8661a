#include "support/HttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "support/TempDir.h"

namespace testsupport {

namespace {

// Longest a connection may sit idle before the server closes it.
constexpr auto kIdleLimit = std::chrono::seconds(10);
constexpr int kPollMs = 20;

std::string Lower(std::string s) {
    for (auto& c : s) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

std::string TrimSpaces(const std::string& s) {
    const auto b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos)
        return {};
    const auto e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string PercentDecode(std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && HexValue(s[i + 1]) >= 0 && HexValue(s[i + 2]) >= 0) {
            out += static_cast<char>(HexValue(s[i + 1]) * 16 + HexValue(s[i + 2]));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

std::string HttpDate(std::time_t t) {
    std::tm tm{};
    gmtime_r(&t, &tm);
    char buf[64];
    std::strftime(buf, sizeof buf, "%a, %d %b %Y %H:%M:%S GMT", &tm);
    return buf;
}

bool ParseHttpDate(const std::string& text, std::time_t& out) {
    std::tm tm{};
    const char* end = strptime(text.c_str(), "%a, %d %b %Y %H:%M:%S GMT", &tm);
    if (end == nullptr)
        return false;
    out = timegm(&tm);
    return true;
}

const char* Reason(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 301:
            return "Moved Permanently";
        case 302:
            return "Found";
        case 304:
            return "Not Modified";
        case 400:
            return "Bad Request";
        case 403:
            return "Forbidden";
        case 404:
            return "Not Found";
        case 405:
            return "Method Not Allowed";
        case 500:
            return "Internal Server Error";
        case 503:
            return "Service Unavailable";
        default:
            return "Status";
    }
}

bool SendAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

}  // namespace

HttpServer::HttpServer(std::filesystem::path root) : root_(std::move(root)) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return;
    const int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t len = sizeof addr;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 64) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        ::close(fd);
        return;
    }
    port_ = ntohs(addr.sin_port);
    listenFd_ = fd;
    acceptThread_ = std::thread([this] { AcceptLoop(); });
}

HttpServer::~HttpServer() {
    Stop();
}

void HttpServer::Stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (acceptThread_.joinable())
        acceptThread_.join();
    std::vector<std::thread> connections;
    {
        std::lock_guard lock(mutex_);
        connections.swap(connections_);
    }
    for (auto& t : connections)
        t.join();
    if (listenFd_ >= 0) {
        ::close(listenFd_);
        listenFd_ = -1;
    }
}

std::string HttpServer::Url(std::string_view path) const {
    std::string url = "http://127.0.0.1:" + std::to_string(port_);
    if (!path.starts_with("/"))
        url += "/";
    url += path;
    return url;
}

void HttpServer::SetStatus(const std::string& path, int status) {
    std::lock_guard lock(mutex_);
    overrides_[path].status = status;
}

void HttpServer::SetRedirect(const std::string& path, const std::string& location, int status) {
    std::lock_guard lock(mutex_);
    overrides_[path].status = status;
    overrides_[path].location = location;
}

void HttpServer::SetDrop(const std::string& path) {
    std::lock_guard lock(mutex_);
    overrides_[path].drop = true;
}

void HttpServer::SetTruncate(const std::string& path) {
    std::lock_guard lock(mutex_);
    overrides_[path].truncate = true;
}

void HttpServer::SetDelay(const std::string& path, std::chrono::milliseconds delay) {
    std::lock_guard lock(mutex_);
    overrides_[path].delay = delay;
}

void HttpServer::ClearOverrides() {
    std::lock_guard lock(mutex_);
    overrides_.clear();
}

void HttpServer::SetValidators(bool etag, bool lastModified) {
    std::lock_guard lock(mutex_);
    sendEtag_ = etag;
    sendLastModified_ = lastModified;
}

int HttpServer::Requests(const std::string& path) const {
    std::lock_guard lock(mutex_);
    int n = 0;
    for (const auto& r : log_)
        n += r.path == path ? 1 : 0;
    return n;
}

int HttpServer::TotalRequests() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(log_.size());
}

int HttpServer::FullAnswers(const std::string& path) const {
    std::lock_guard lock(mutex_);
    const auto it = fullAnswers_.find(path);
    return it == fullAnswers_.end() ? 0 : it->second;
}

std::vector<HttpServer::Request> HttpServer::Log() const {
    std::lock_guard lock(mutex_);
    return log_;
}

void HttpServer::AcceptLoop() {
    while (!stopping_) {
        pollfd p{listenFd_, POLLIN, 0};
        if (::poll(&p, 1, kPollMs) <= 0)
            continue;
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        // A client that stops reading cannot hold a sending thread past Stop for long.
        timeval sendLimit{2, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &sendLimit, sizeof sendLimit);
        std::lock_guard lock(mutex_);
        connections_.emplace_back([this, fd] {
            Serve(fd);
            ::close(fd);
        });
    }
}

bool HttpServer::WaitFor(std::chrono::milliseconds delay) {
    std::unique_lock lock(mutex_);
    return !wake_.wait_for(lock, delay, [this] { return stopping_.load(); });
}

void HttpServer::Serve(int fd) {
    std::string buffer;
    auto idleSince = std::chrono::steady_clock::now();
    while (!stopping_) {
        const auto end = buffer.find("\r\n\r\n");
        if (end == std::string::npos) {
            if (buffer.size() > 64 * 1024)
                return;
            pollfd p{fd, POLLIN, 0};
            const int ready = ::poll(&p, 1, kPollMs);
            if (ready < 0)
                return;
            if (ready == 0) {
                if (std::chrono::steady_clock::now() - idleSince > kIdleLimit)
                    return;
                continue;
            }
            char chunk[4096];
            const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
            if (n <= 0)
                return;
            buffer.append(chunk, static_cast<std::size_t>(n));
            continue;
        }

        const std::string head = buffer.substr(0, end);
        buffer.erase(0, end + 4);
        Request request;
        std::size_t lineEnd = head.find("\r\n");
        const std::string requestLine = head.substr(0, lineEnd);
        const auto s1 = requestLine.find(' ');
        const auto s2 = requestLine.rfind(' ');
        if (s1 == std::string::npos || s2 == s1) {
            SendAll(fd,
                    "HTTP/1.1 400 Bad Request\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
            return;
        }
        request.method = requestLine.substr(0, s1);
        request.target = requestLine.substr(s1 + 1, s2 - s1 - 1);
        const std::string version = requestLine.substr(s2 + 1);
        request.path = PercentDecode(request.target.substr(0, request.target.find('?')));
        while (lineEnd != std::string::npos) {
            const std::size_t next = head.find("\r\n", lineEnd + 2);
            const std::string line = head.substr(
                lineEnd + 2, next == std::string::npos ? std::string::npos : next - lineEnd - 2);
            lineEnd = next;
            const auto colon = line.find(':');
            if (colon == std::string::npos)
                continue;
            request.headers[Lower(line.substr(0, colon))] = TrimSpaces(line.substr(colon + 1));
        }
        // A request body (never expected from the clients under test) is skipped.
        if (request.Has("content-length")) {
            const std::size_t bodyLength =
                std::strtoul(request.headers["content-length"].c_str(), nullptr, 10);
            if (bodyLength > buffer.size())
                return;
            buffer.erase(0, bodyLength);
        }
        {
            std::lock_guard lock(mutex_);
            log_.push_back(request);
        }
        const bool keepAlive =
            version == "HTTP/1.1" && Lower(request.headers["connection"]) != "close";
        if (!Answer(fd, request, keepAlive) || !keepAlive)
            return;
        idleSince = std::chrono::steady_clock::now();
    }
}

bool HttpServer::Answer(int fd, const Request& request, bool keepAlive) {
    Override how;
    bool sendEtag = true;
    bool sendLastModified = true;
    {
        std::lock_guard lock(mutex_);
        const auto it = overrides_.find(request.path);
        if (it != overrides_.end())
            how = it->second;
        sendEtag = sendEtag_;
        sendLastModified = sendLastModified_;
    }
    if (how.delay.count() > 0 && !WaitFor(how.delay))
        return false;
    if (how.drop)
        return false;

    const std::string connection = keepAlive ? "" : "Connection: close\r\n";
    auto simple = [&](int status, const std::string& extra) {
        const std::string body = std::to_string(status) + " " + Reason(status) + "\n";
        std::string text =
            "HTTP/1.1 " + std::to_string(status) + " " + Reason(status) +
            "\r\nContent-Type: text/plain\r\nContent-Length: " + std::to_string(body.size()) +
            "\r\n" + extra + connection + "\r\n";
        if (request.method != "HEAD")
            text += body;
        return SendAll(fd, text);
    };

    if (request.method != "GET" && request.method != "HEAD") {
        return simple(405, "Allow: GET, HEAD\r\n");
    }
    if (how.status != 0 && how.status != 200) {
        const std::string extra =
            how.location.empty() ? std::string() : "Location: " + how.location + "\r\n";
        return simple(how.status, extra);
    }

    // The file: no way out of the root, no folders.
    std::filesystem::path relative = std::filesystem::path(request.path).relative_path();
    for (const auto& part : relative) {
        if (part == "..")
            return simple(403, "");
    }
    const std::filesystem::path file = root_ / relative;
    struct stat st {};
    if (request.path.empty() || request.path[0] != '/' || ::stat(file.c_str(), &st) != 0 ||
        !S_ISREG(st.st_mode)) {
        return simple(404, "");
    }
    const std::string body = ReadFile(file);
    char etagText[64];
    std::snprintf(etagText, sizeof etagText, "\"%llx-%llx-%lx\"",
                  static_cast<unsigned long long>(body.size()),
                  static_cast<unsigned long long>(st.st_mtim.tv_sec),
                  static_cast<long>(st.st_mtim.tv_nsec));
    const std::string etag = etagText;
    const std::string lastModified = HttpDate(st.st_mtim.tv_sec);

    std::string validators;
    if (sendEtag)
        validators += "ETag: " + etag + "\r\n";
    if (sendLastModified)
        validators += "Last-Modified: " + lastModified + "\r\n";

    // If-None-Match wins over If-Modified-Since when both are sent.
    bool notModified = false;
    if (request.Has("if-none-match")) {
        const std::string& tags = request.headers.at("if-none-match");
        notModified = tags == "*" || tags.find(etag) != std::string::npos;
    } else if (request.Has("if-modified-since")) {
        std::time_t since = 0;
        notModified = ParseHttpDate(request.headers.at("if-modified-since"), since) &&
                      st.st_mtim.tv_sec <= since;
    }
    if (notModified) {
        return SendAll(fd, "HTTP/1.1 304 Not Modified\r\n" + validators + connection + "\r\n");
    }

    std::string text =
        "HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\n"
        "Content-Length: " +
        std::to_string(body.size()) + "\r\n" + validators + connection + "\r\n";
    if (request.method == "HEAD")
        return SendAll(fd, text);
    {
        std::lock_guard lock(mutex_);
        ++fullAnswers_[request.path];
    }
    if (how.truncate) {
        SendAll(fd, text + body.substr(0, body.size() / 2));
        return false;
    }
    return SendAll(fd, text + body);
}

}  // namespace testsupport
