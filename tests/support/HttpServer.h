#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for tests: serves the files of one
// folder on an ephemeral port, one thread per connection (threads named
// "http-accept" and "http-serve"). Answers carry an
// ETag and Last-Modified, and conditional requests that match get 304. Per
// path a test can make it answer another status, redirect, drop the
// connection, send half the body, answer late or never, drip the body a byte
// at a time, send another body (and content type) or an endless one.
// Requests are logged; paths are percent-decoded, without the query, with a
// leading "/". Every wait of the server ends on Stop.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace testsupport {

class HttpServer {
  public:
    struct Request {
        std::string target;                          // as sent: path and query, still encoded
        std::string path;                            // decoded, without the query
        std::map<std::string, std::string> headers;  // names in lower case

        bool Has(const std::string& lowerName) const { return headers.count(lowerName) != 0; }
        bool IsConditional() const { return Has("if-none-match") || Has("if-modified-since"); }
    };

    explicit HttpServer(std::filesystem::path root);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    bool IsRunning() const { return listenFd_ >= 0; }
    void Stop();  // joins the threads, cutting any delay short

    std::uint16_t Port() const { return port_; }
    // "http://127.0.0.1:<port>/" followed by path, used as given.
    std::string Url(std::string_view path) const;
    // A URL on a loopback port nothing listens on: connections are refused.
    static std::string RefusedUrl(std::string_view path);

    // Per-path answers: another status, a redirect (302), closing without an
    // answer, the full Content-Length but half the body, or a late answer.
    void SetStatus(const std::string& path, int status) {
        Change(path, [&](Override& o) { o.status = status; });
    }
    void SetRedirect(const std::string& path, const std::string& location) {
        Change(path, [&](Override& o) { o.status = 302, o.location = location; });
    }
    void SetDrop(const std::string& path) {
        Change(path, [](Override& o) { o.drop = true; });
    }
    void SetTruncate(const std::string& path) {
        Change(path, [](Override& o) { o.truncate = true; });
    }
    void SetDelay(const std::string& path, std::chrono::milliseconds delay) {
        Change(path, [&](Override& o) { o.delay = delay; });
    }
    // Takes the request and never answers (until Stop).
    void SetSilent(const std::string& path) { SetDelay(path, std::chrono::hours(24)); }
    // The full header, then one byte of the body per interval.
    void SetDrip(const std::string& path, std::chrono::milliseconds interval) {
        Change(path, [&](Override& o) { o.drip = interval; });
    }
    // A 200 answer with this body and content type instead of the file.
    void SetBody(const std::string& path, const std::string& contentType, const std::string& body) {
        Change(path, [&](Override& o) { o.contentType = contentType, o.body = body; });
    }
    // A 200 answer of `bytes` zero bytes, announced by Content-Length or sent
    // without one until the connection closes.
    void SetLarge(const std::string& path, std::uint64_t bytes, bool announced) {
        Change(path, [&](Override& o) { o.largeBytes = bytes, o.announced = announced; });
    }
    void ClearOverrides();
    void SetValidators(bool etag, bool lastModified);  // both on by default

    int Requests(const std::string& path) const;
    int FullAnswers(const std::string& path) const;  // answered with a 200 body
    std::vector<Request> Log() const;
    // Off: requests are only counted, not kept (for long runs).
    void SetLogging(bool on);

  private:
    struct Override {
        int status = 0;
        std::string location;
        bool drop = false;
        bool truncate = false;
        std::chrono::milliseconds delay{0};
        std::chrono::milliseconds drip{0};
        std::string contentType;
        std::string body;
        std::uint64_t largeBytes = 0;
        bool announced = true;
    };
    // Waits `time` unless Stop comes first; false when stopped.
    bool Pause(std::chrono::milliseconds time);

    void Change(const std::string& path, const std::function<void(Override&)>& change);
    void AcceptLoop();
    void Serve(int fd);
    bool Answer(int fd, const Request& request);  // false: close the connection

    std::filesystem::path root_;
    int listenFd_ = -1;
    std::uint16_t port_ = 0;
    std::atomic<bool> stopping_{false};
    std::thread acceptThread_;

    mutable std::mutex mutex_;  // guards everything below
    std::condition_variable wake_;
    std::vector<std::thread> connections_;
    std::map<std::string, Override> overrides_;
    bool sendEtag_ = true;
    bool sendLastModified_ = true;
    std::vector<Request> log_;
    bool logging_ = true;
    std::map<std::string, int> requests_;
    std::map<std::string, int> fullAnswers_;
};

}  // namespace testsupport
