#include "support/HttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <pthread.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ctime>

#include "support/TempDir.h"

namespace testsupport {

namespace {

constexpr auto kIdleLimit = std::chrono::seconds(10);  // then an idle connection is closed
constexpr int kPollMs = 20;
constexpr const char* kDateFormat = "%a, %d %b %Y %H:%M:%S GMT";

std::string PercentDecode(std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        unsigned value = 0;
        if (s[i] == '%' && i + 2 < s.size() &&
            std::sscanf(std::string(s.substr(i + 1, 2)).c_str(), "%2x", &value) == 1) {
            out += static_cast<char>(value);
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
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
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 64) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        ::close(fd);
        return;
    }
    port_ = ntohs(addr.sin_port);
    listenFd_ = fd;
    acceptThread_ = std::thread([this] {
        pthread_setname_np(pthread_self(), "http-accept");
        AcceptLoop();
    });
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
    return "http://127.0.0.1:" + std::to_string(port_) + (path.starts_with("/") ? "" : "/") +
           std::string(path);
}

std::string HttpServer::RefusedUrl(std::string_view path) {
    // Bound and closed again without listen: the port is free, and nothing
    // takes connections on it.
    std::uint16_t port = 9;
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd >= 0) {
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
            ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0) {
            port = ntohs(addr.sin_port);
        }
        ::close(fd);
    }
    return "http://127.0.0.1:" + std::to_string(port) + (path.starts_with("/") ? "" : "/") +
           std::string(path);
}

bool HttpServer::Pause(std::chrono::milliseconds time) {
    std::unique_lock lock(mutex_);
    return !wake_.wait_for(lock, time, [this] { return stopping_.load(); });
}

void HttpServer::Change(const std::string& path, const std::function<void(Override&)>& change) {
    std::lock_guard lock(mutex_);
    change(overrides_[path]);
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
    const auto it = requests_.find(path);
    return it == requests_.end() ? 0 : it->second;
}

void HttpServer::SetLogging(bool on) {
    std::lock_guard lock(mutex_);
    logging_ = on;
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
            pthread_setname_np(pthread_self(), "http-serve");
            Serve(fd);
            ::close(fd);
        });
    }
}

void HttpServer::Serve(int fd) {
    std::string buffer;
    auto idleSince = std::chrono::steady_clock::now();
    while (!stopping_) {
        const auto end = buffer.find("\r\n\r\n");
        if (end == std::string::npos) {
            pollfd p{fd, POLLIN, 0};
            const int ready = ::poll(&p, 1, kPollMs);
            if (ready == 0 && std::chrono::steady_clock::now() - idleSince < kIdleLimit)
                continue;
            char chunk[4096];
            const ssize_t n = ready > 0 ? ::recv(fd, chunk, sizeof chunk, 0) : 0;
            if (n <= 0)
                return;
            buffer.append(chunk, static_cast<std::size_t>(n));
            continue;
        }
        // Request line, then "Name: value" lines; the clients under test send no body.
        const std::string head = buffer.substr(0, end);
        buffer.erase(0, end + 4);
        Request request;
        std::size_t lineEnd = head.find("\r\n");
        const std::string requestLine = head.substr(0, lineEnd);
        const auto s1 = requestLine.find(' ');
        request.target = requestLine.substr(s1 + 1, requestLine.rfind(' ') - s1 - 1);
        request.path = PercentDecode(request.target.substr(0, request.target.find('?')));
        while (lineEnd != std::string::npos) {
            const std::size_t next = head.find("\r\n", lineEnd + 2);
            const std::string line = head.substr(lineEnd + 2, next - lineEnd - 2);
            lineEnd = next;
            const auto colon = line.find(':');
            if (colon == std::string::npos)
                continue;
            std::string name = line.substr(0, colon);
            for (auto& c : name)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            const auto value = line.find_first_not_of(' ', colon + 1);
            request.headers[name] = value == std::string::npos ? "" : line.substr(value);
        }
        {
            std::lock_guard lock(mutex_);
            ++requests_[request.path];
            if (logging_)
                log_.push_back(request);
        }
        if (!Answer(fd, request))
            return;
        idleSince = std::chrono::steady_clock::now();
    }
}

bool HttpServer::Answer(int fd, const Request& request) {
    Override how;
    bool sendEtag = true;
    bool sendLastModified = true;
    {
        std::unique_lock lock(mutex_);
        const auto it = overrides_.find(request.path);
        if (it != overrides_.end())
            how = it->second;
        sendEtag = sendEtag_;
        sendLastModified = sendLastModified_;
        if (how.delay.count() > 0 &&
            wake_.wait_for(lock, how.delay, [this] { return stopping_.load(); }))
            return false;
    }
    if (how.drop)
        return false;
    auto simple = [&](int status, const std::string& extra) {
        const std::string body = std::to_string(status) + "\n";
        return SendAll(fd, "HTTP/1.1 " + std::to_string(status) +
                               " Status\r\nContent-Type: text/plain\r\nContent-Length: " +
                               std::to_string(body.size()) + "\r\n" + extra + "\r\n" + body);
    };
    if (how.status != 0 && how.status != 200)
        return simple(how.status, how.location.empty() ? "" : "Location: " + how.location + "\r\n");
    if (!how.contentType.empty()) {
        return SendAll(fd, "HTTP/1.1 200 OK\r\nContent-Type: " + how.contentType +
                               "\r\nContent-Length: " + std::to_string(how.body.size()) +
                               "\r\n\r\n" + how.body);
    }
    if (how.largeBytes > 0) {
        const std::string head = how.announced
                                     ? "Content-Length: " + std::to_string(how.largeBytes) + "\r\n"
                                     : std::string("Connection: close\r\n");
        if (!SendAll(fd, "HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\n" + head +
                             "\r\n"))
            return false;
        const std::string zeros(64 * 1024, '\0');
        for (std::uint64_t left = how.largeBytes; left > 0 && !stopping_;) {
            const std::size_t n =
                static_cast<std::size_t>(std::min<std::uint64_t>(left, zeros.size()));
            if (!SendAll(fd, std::string_view(zeros).substr(0, n)))
                return false;
            left -= n;
        }
        return how.announced;
    }

    const std::filesystem::path relative = std::filesystem::path(request.path).relative_path();
    for (const auto& part : relative) {
        if (part == "..")
            return simple(403, "");
    }
    const std::filesystem::path file = root_ / relative;
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return simple(404, "");
    const std::string body = ReadFile(file);
    char etag[64];
    std::snprintf(etag, sizeof etag, "\"%zx-%llx-%lx\"", body.size(),
                  static_cast<unsigned long long>(st.st_mtim.tv_sec),
                  static_cast<long>(st.st_mtim.tv_nsec));
    std::tm tm{};
    gmtime_r(&st.st_mtim.tv_sec, &tm);
    char lastModified[64];
    std::strftime(lastModified, sizeof lastModified, kDateFormat, &tm);
    std::string validators;
    if (sendEtag)
        validators += std::string("ETag: ") + etag + "\r\n";
    if (sendLastModified)
        validators += std::string("Last-Modified: ") + lastModified + "\r\n";

    // If-None-Match wins over If-Modified-Since when both are sent.
    bool notModified = false;
    if (request.Has("if-none-match")) {
        const std::string& tags = request.headers.at("if-none-match");
        notModified = tags == "*" || tags.find(etag) != std::string::npos;
    } else if (request.Has("if-modified-since")) {
        std::tm since{};
        notModified =
            strptime(request.headers.at("if-modified-since").c_str(), kDateFormat, &since) &&
            st.st_mtim.tv_sec <= timegm(&since);
    }
    // A faulty transfer is a fault whatever the client has cached.
    if (notModified && !how.truncate && how.drip.count() == 0)
        return SendAll(fd, "HTTP/1.1 304 Not Modified\r\n" + validators + "\r\n");

    const std::string text =
        "HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\n"
        "Content-Length: " +
        std::to_string(body.size()) + "\r\n" + validators + "\r\n";
    {
        std::lock_guard lock(mutex_);
        ++fullAnswers_[request.path];
    }
    if (how.truncate) {
        SendAll(fd, text + body.substr(0, body.size() / 2));
        return false;
    }
    if (how.drip.count() > 0) {
        if (!SendAll(fd, text))
            return false;
        for (char c : body) {
            if (!Pause(how.drip) || !SendAll(fd, std::string_view(&c, 1)))
                return false;
        }
        return true;
    }
    return SendAll(fd, text + body);
}

}  // namespace testsupport
