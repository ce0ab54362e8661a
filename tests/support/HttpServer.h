#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for tests: serves the files of one
// folder on an ephemeral port, one thread per connection. Answers carry an
// ETag and Last-Modified, and conditional requests that match get 304. Per
// path a test can make it answer another status, redirect, drop the
// connection, send half the body or answer late. Requests are logged; paths
// are percent-decoded, without the query, with a leading "/".

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
    void ClearOverrides();
    void SetValidators(bool etag, bool lastModified);  // both on by default

    int Requests(const std::string& path) const;
    int FullAnswers(const std::string& path) const;  // answered with a 200 body
    std::vector<Request> Log() const;

  private:
    struct Override {
        int status = 0;
        std::string location;
        bool drop = false;
        bool truncate = false;
        std::chrono::milliseconds delay{0};
    };

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
    std::map<std::string, int> fullAnswers_;
};

}  // namespace testsupport
