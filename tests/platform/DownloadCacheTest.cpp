#include "platform/DownloadCache.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/Text.h"
#include "support/HttpServer.h"
#include "support/TempDir.h"
#include "support/WaitUntil.h"

namespace {

namespace fs = std::filesystem;
using platform::DownloadCache;
using platform::FromUtf8;
using platform::ToUtf8;
using testsupport::HttpServer;
using testsupport::ReadFile;
using testsupport::TempDir;

// A served folder, a cache folder and a server on 127.0.0.1.
struct Fixture {
    TempDir site;
    TempDir cacheDir;
    HttpServer server{site.path()};
    DownloadCache cache{FromUtf8(cacheDir.path().string())};

    std::u16string Get(const std::string& path) {
        return cache.Download(FromUtf8(server.Url(path)));
    }
};

// Names in the cache folder that are not finished entries (downloads in progress).
std::vector<std::string> LeftoverTemporaries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::recursive_directory_iterator(folder)) {
        const std::string name = e.path().filename().string();
        if (name.starts_with("."))
            names.push_back(name);
    }
    return names;
}

std::size_t CountFiles(const fs::path& folder) {
    std::size_t n = 0;
    for (const auto& e : fs::directory_iterator(folder))
        n += e.is_regular_file() ? 1 : 0;
    return n;
}

TEST(DownloadCache, DownloadsRevalidatesAndRefetchesChangedFile) {
    Fixture f;
    f.site.Write("st1/Img_0_0.JPG", std::string("\xff\xd8 jpeg bytes \0 with a zero", 26));

    const std::u16string first = f.Get("st1/Img_0_0.JPG");
    ASSERT_FALSE(first.empty()) << ToUtf8(f.cache.LastError());
    const fs::path local(ToUtf8(first));
    EXPECT_EQ(local.extension(), ".JPG");
    EXPECT_EQ(ReadFile(local), ReadFile(f.site / "st1/Img_0_0.JPG"));

    // Unchanged on the server: a conditional request, a 304, the same file.
    const std::u16string second = f.Get("st1/Img_0_0.JPG");
    EXPECT_EQ(second, first);
    auto log = f.server.Log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_FALSE(log[0].IsConditional());
    EXPECT_TRUE(log[1].Has("if-none-match"));
    EXPECT_EQ(f.server.FullAnswers("/st1/Img_0_0.JPG"), 1);
    EXPECT_EQ(f.cache.GetCounters().reuses, 1u);

    // Changed on the server: fetched again into the same place.
    f.site.Write("st1/Img_0_0.JPG", "new content, longer than before");
    const std::u16string third = f.Get("st1/Img_0_0.JPG");
    EXPECT_EQ(third, first);
    EXPECT_EQ(ReadFile(local), "new content, longer than before");
    EXPECT_EQ(f.server.FullAnswers("/st1/Img_0_0.JPG"), 2);
    EXPECT_EQ(f.cache.GetCounters().downloads, 2u);
    // A second instance on the same folder reads the index and revalidates.
    DownloadCache other(FromUtf8(f.cacheDir.path().string()));
    EXPECT_EQ(other.Download(FromUtf8(f.server.Url("st1/Img_0_0.JPG"))), first);
    EXPECT_EQ(other.GetCounters().reuses, 1u);

    EXPECT_TRUE(LeftoverTemporaries(f.cacheDir.path()).empty());
}

TEST(DownloadCache, FailuresGiveTheEmptyPathAndAnErrorTextAndStoreNothing) {
    Fixture f;
    f.site.Write("gone.xml", "<x/>");
    f.site.Write("dropped.DAT", "points");
    f.site.Write("broken.xml", "<x/>");
    f.server.SetStatus("/gone.xml", 404);
    f.server.SetStatus("/broken.xml", 500);
    f.server.SetDrop("/dropped.DAT");

    // Each failure names its cause and the URL.
    for (const auto& [name, cause] : {std::pair{"gone.xml", "HTTP status 404"},
                                      {"broken.xml", "HTTP status 500"},
                                      {"dropped.DAT", "dropped.DAT"}}) {
        EXPECT_TRUE(f.Get(name).empty()) << name;
        const std::string error = ToUtf8(f.cache.LastError());
        EXPECT_NE(error.find(cause), std::string::npos) << error;
        EXPECT_NE(error.find(f.server.Url(name)), std::string::npos) << error;
    }
    DownloadCache::Options quick;
    quick.connectTimeout = std::chrono::milliseconds(2000);
    f.cache.SetOptions(quick);
    HttpServer stopped(f.site.path());
    const std::string refused = stopped.Url("a.xml");
    stopped.Stop();
    EXPECT_TRUE(f.cache.Download(FromUtf8(refused)).empty());
    EXPECT_NE(ToUtf8(f.cache.LastError()).find("connect"), std::string::npos)
        << ToUtf8(f.cache.LastError());

    // Only http and https go to the network (file URLs are answered locally).
    for (const char16_t* url : {u"ftp://127.0.0.1/a.xml", u"station.xml", u"https:///a.xml"}) {
        EXPECT_TRUE(f.cache.Download(url).empty()) << ToUtf8(url);
        EXPECT_NE(ToUtf8(f.cache.LastError()).find("Not an http or https URL"), std::string::npos);
    }
    EXPECT_EQ(f.cache.GetCounters().failures, 7u);
    EXPECT_EQ(CountFiles(f.cacheDir.path()), 0u);
    EXPECT_TRUE(LeftoverTemporaries(f.cacheDir.path()).empty());

    // A late answer times out.
    f.site.Write("slow.xml", "<x/>");
    f.server.SetDelay("/slow.xml", std::chrono::milliseconds(5000));
    quick.totalTimeout = std::chrono::milliseconds(300);
    f.cache.SetOptions(quick);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(f.Get("slow.xml").empty());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(4000));
    EXPECT_NE(ToUtf8(f.cache.LastError()).find("Timeout"), std::string::npos)
        << ToUtf8(f.cache.LastError());
    EXPECT_EQ(CountFiles(f.cacheDir.path()), 0u);
}

// A cancel ends a request to a server that never answers within a few
// polls, whether it waits for the answer or for another request of the same
// URL; a request cancelled before it starts sends nothing.
TEST(DownloadCache, CancelAbandonsAStalledRequestPromptly) {
    Fixture f;
    f.site.Write("stall.xml", "<x/>");
    f.server.SetDelay("/stall.xml", std::chrono::hours(1));
    const std::u16string url = FromUtf8(f.server.Url("stall.xml"));
    using Clock = std::chrono::steady_clock;
    std::atomic<bool> stopFirst{false};
    std::u16string first = u"-";
    std::thread waiting([&] { first = f.cache.Download(url, [&] { return stopFirst.load(); }); });
    ASSERT_TRUE(testsupport::WaitUntil([&] { return f.server.Requests("/stall.xml") == 1; },
                                       std::chrono::seconds(10)));

    // The second request waits for the first one's entry lock.
    auto start = Clock::now();
    const auto after100ms = [&] { return Clock::now() - start > std::chrono::milliseconds(100); };
    EXPECT_TRUE(f.cache.Download(url, after100ms).empty());
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(600));
    EXPECT_EQ(ToUtf8(f.cache.LastError()), "The download was cancelled (" + ToUtf8(url) + ")");

    start = Clock::now();
    stopFirst = true;
    waiting.join();
    EXPECT_TRUE(first.empty());
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(600));

    EXPECT_TRUE(f.cache.Download(url, [] { return true; }).empty());
    EXPECT_EQ(f.server.Requests("/stall.xml"), 1);
    EXPECT_EQ(CountFiles(f.cacheDir.path()), 0u);
    EXPECT_TRUE(LeftoverTemporaries(f.cacheDir.path()).empty());
}

// The byte limit holds at its boundary however the server sends the body:
// announced, unannounced (sent until the connection closes), or as an error
// page; a refused body leaves nothing behind and the outcome names the cause.
TEST(DownloadCache, BodiesOverTheLimitAreRefused) {
    Fixture f;
    DownloadCache::Options options;
    options.maxBytes = 100000;
    f.cache.SetOptions(options);
    f.site.Write("exact.DAT", std::string(100000, 'e'));
    DownloadCache::Outcome outcome;
    const std::u16string exact =
        f.cache.Download(FromUtf8(f.server.Url("exact.DAT")), {}, &outcome);
    ASSERT_FALSE(exact.empty()) << ToUtf8(outcome.error);
    EXPECT_FALSE(outcome.tooLarge);
    EXPECT_EQ(fs::file_size(ToUtf8(exact)), 100000u);

    f.server.SetLarge("/told.DAT", 100001, true);
    f.server.SetLarge("/untold.DAT", 100001, false);
    f.server.SetLarge("/endless.DAT", std::uint64_t{1} << 40, false);
    f.server.SetStatus("/error.DAT", 500);
    for (const char* name : {"told.DAT", "untold.DAT", "endless.DAT"}) {
        const auto start = std::chrono::steady_clock::now();
        EXPECT_TRUE(f.cache.Download(FromUtf8(f.server.Url(name)), {}, &outcome).empty()) << name;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << name;
        EXPECT_TRUE(outcome.tooLarge) << name;
        EXPECT_FALSE(outcome.cancelled) << name;
        EXPECT_EQ(ToUtf8(outcome.error),
                  "The file is larger than the download limit of 100000 bytes (" +
                      f.server.Url(name) + ")");
        EXPECT_EQ(outcome.error, f.cache.LastError());
    }
    EXPECT_TRUE(f.cache.Download(FromUtf8(f.server.Url("error.DAT")), {}, &outcome).empty());
    EXPECT_FALSE(outcome.tooLarge);
    EXPECT_EQ(CountFiles(f.cacheDir.path()), 1u);
    EXPECT_TRUE(LeftoverTemporaries(f.cacheDir.path()).empty());
}

TEST(DownloadCache, BrokenTransferNeverLeavesAPartialFile) {
    Fixture f;
    const std::string good(5000, 'g');
    f.site.Write("Pnt_0_0.DAT", good);
    const std::u16string path = f.Get("Pnt_0_0.DAT");
    ASSERT_FALSE(path.empty());

    // The server's new version arrives cut in half: the old copy stays intact.
    f.site.Write("Pnt_0_0.DAT", std::string(8000, 'n'));
    f.server.SetTruncate("/Pnt_0_0.DAT");
    EXPECT_TRUE(f.Get("Pnt_0_0.DAT").empty());
    EXPECT_EQ(ReadFile(ToUtf8(path)), good);

    // A first download cut short leaves nothing under its name.
    f.site.Write("Img_1_0.JPG", std::string(8000, 'j'));
    f.server.SetTruncate("/Img_1_0.JPG");
    EXPECT_TRUE(f.Get("Img_1_0.JPG").empty());
    EXPECT_EQ(CountFiles(f.cacheDir.path()), 1u);
    EXPECT_TRUE(LeftoverTemporaries(f.cacheDir.path()).empty());

    // Once the server is well again, the complete new version arrives.
    f.server.ClearOverrides();
    EXPECT_EQ(f.Get("Pnt_0_0.DAT"), path);
    EXPECT_EQ(ReadFile(ToUtf8(path)), std::string(8000, 'n'));
    const std::u16string image = f.Get("Img_1_0.JPG");
    ASSERT_FALSE(image.empty());
    EXPECT_EQ(ReadFile(ToUtf8(image)).size(), 8000u);

    // An entry whose bytes no longer match the recorded size, or that was
    // removed, is fetched in full, not revalidated.
    fs::resize_file(ToUtf8(image), 10);
    EXPECT_EQ(f.Get("Img_1_0.JPG"), image);
    fs::remove(ToUtf8(image));
    EXPECT_EQ(f.Get("Img_1_0.JPG"), image);
    EXPECT_EQ(ReadFile(ToUtf8(image)).size(), 8000u);
    const auto log = f.server.Log();
    EXPECT_FALSE(log[log.size() - 2].IsConditional());
    EXPECT_FALSE(log.back().IsConditional());
}

TEST(DownloadCache, QueryStringsSpacesAndRedirects) {
    Fixture f;
    f.site.Write("my station/Data Set.xml", "<sx:Dataset/>");

    const std::u16string a = f.Get("my station/Data Set.xml?v=1&name=a b");
    ASSERT_FALSE(a.empty()) << ToUtf8(f.cache.LastError());
    EXPECT_EQ(fs::path(ToUtf8(a)).extension(), ".xml");
    EXPECT_EQ(ReadFile(ToUtf8(a)), "<sx:Dataset/>");
    const auto log = f.server.Log();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].target, "/my%20station/Data%20Set.xml?v=1&name=a%20b");
    EXPECT_EQ(log[0].path, "/my station/Data Set.xml");

    // Another query is another entry; the fragment is not part of the key.
    const std::u16string b = f.Get("my station/Data Set.xml?v=2");
    ASSERT_FALSE(b.empty());
    EXPECT_NE(a, b);
    EXPECT_EQ(f.Get("my station/Data Set.xml?v=2#top"), b);
    EXPECT_EQ(f.Get("my%20station/Data%20Set.xml?v=2"), b);  // already encoded: same URL

    // Redirects are followed; the entry belongs to the URL asked for.
    f.site.Write("new/Img_0_1.PNG", "png bytes");
    f.server.SetRedirect("/old/Img_0_1.PNG", f.server.Url("new/Img_0_1.PNG"));
    const std::u16string moved = f.Get("old/Img_0_1.PNG");
    ASSERT_FALSE(moved.empty()) << ToUtf8(f.cache.LastError());
    EXPECT_EQ(ReadFile(ToUtf8(moved)), "png bytes");
    EXPECT_EQ(fs::path(ToUtf8(moved)).extension(), ".PNG");
    // A redirect loop ends in failure.
    f.server.SetRedirect("/loop.xml", f.server.Url("loop.xml"));
    EXPECT_TRUE(f.Get("loop.xml").empty());

    EXPECT_EQ(DownloadCache::NormaliseUrl(u"http://h/a b/\u00e9\\x.xml?q=\"1\"#frag"),
              "http://h/a%20b/%C3%A9%5Cx.xml?q=%221%22");
}

TEST(DownloadCache, ConcurrentRequestsForOneUrlDownloadOnce) {
    Fixture f;
    const std::string bytes(200000, 'p');
    f.site.Write("Pnt_2_3.DAT", bytes);
    f.server.SetDelay("/Pnt_2_3.DAT", std::chrono::milliseconds(100));

    std::u16string results[4];
    std::vector<std::thread> threads;
    for (auto& r : results) {
        threads.emplace_back([&f, &r] { r = f.Get("Pnt_2_3.DAT"); });
    }
    for (auto& t : threads)
        t.join();
    for (const auto& r : results) {
        ASSERT_FALSE(r.empty());
        EXPECT_EQ(r, results[0]);
    }
    EXPECT_EQ(ReadFile(ToUtf8(results[0])), bytes);
    EXPECT_EQ(f.server.Requests("/Pnt_2_3.DAT"), 4);
    EXPECT_EQ(f.server.FullAnswers("/Pnt_2_3.DAT"), 1);
    EXPECT_EQ(f.cache.GetCounters().reuses, 3u);
}

}  // namespace
