// A station served by a failing web server, one file in each fault: the
// message the file's reader gives, whether the load fails, and a stop in the
// middle of each fault that returns within the loader's bound and leaves no
// loader thread behind.
#include <chrono>
#include <filesystem>
#include <fstream>

#include "support/ControlFixture.h"
#include "support/HttpServer.h"

using platform::Bstr;
using platform::Variant;
using testsupport::HttpServer;
using testsupport::U;

namespace {

// Threads of this process named like the control's loader.
int LoaderThreads() {
    int n = 0;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream comm(task.path() / "comm");
        std::string name;
        std::getline(comm, name);
        n += name == "SX_Loader" ? 1 : 0;
    }
    return n;
}

constexpr std::uint64_t kLimit = 64 * 1024;
constexpr auto kStopBound = std::chrono::milliseconds(2400);

struct FaultCase {
    const char* fault;
    std::string file;  // below the station's folder
    std::function<void(HttpServer&, const std::string& path)> apply;
    std::string message;  // "" when the load goes on without the file
    bool failsLoad = true;
    bool stalls = false;  // only a stop ends it
};

}  // namespace

TEST_F(ControlFixture, EachServerFaultGivesItsFilesMessageAndStopsInTime) {
    plan_ = testsupport::MakeSite(dir_ / "site", 2, {16});
    ASSERT_FALSE(HasFailure());
    const sitegen::LevelFiles& level = plan_.stations[0].levels[0];
    int maskedFace = -1;
    for (int f = 0; f < 6 && maskedFace < 0; ++f) {
        maskedFace = level.masked[f] ? f : -1;
    }
    ASSERT_GE(maskedFace, 0);
    const std::string mask = std::filesystem::path(level.mask[maskedFace]).filename().string();

    HttpServer server(dir_ / "site");
    auto options = cache_->GetOptions();
    options.maxBytes = kLimit;
    cache_->SetOptions(options);
    const auto notFound = [](const std::string& name) {
        return "Error: File " + name + " not found.";
    };
    const std::vector<FaultCase> table = {
        {"404", "Img_0_16.JPG", [](HttpServer& s, const std::string& p) { s.SetStatus(p, 404); },
         notFound("Img_0_16.JPG")},
        {"500", "Pnt_1_16.DAT", [](HttpServer& s, const std::string& p) { s.SetStatus(p, 500); },
         "File Pnt_1_16.DAT does not exist or can not be downloaded from the server. Please "
         "check with the system administrator."},
        {"refused", "st1.xml", nullptr, "File not found: %s"},
        {"cut short", "Img_2_16.JPG", [](HttpServer& s, const std::string& p) { s.SetTruncate(p); },
         notFound("Img_2_16.JPG")},
        {"silent", "Pnt_3_16.DAT", [](HttpServer& s, const std::string& p) { s.SetSilent(p); }, "",
         true, true},
        {"drip", "Img_4_16.JPG",
         [](HttpServer& s, const std::string& p) { s.SetDrip(p, std::chrono::seconds(1)); }, "",
         true, true},
        {"redirect loop", "Img_5_16.JPG",
         [](HttpServer& s, const std::string& p) { s.SetRedirect(p, p); },
         notFound("Img_5_16.JPG")},
        {"wrong content type", "Img_1_16.JPG",
         [](HttpServer& s, const std::string& p) {
             s.SetBody(p, "text/html", "<html><body>Not here</body></html>");
         },
         "Fail to load Img_1_16.JPG."},
        {"over the limit", "Pnt_0_16.DAT",
         [](HttpServer& s, const std::string& p) { s.SetLarge(p, 16 * kLimit, false); },
         "Error: File Pnt_0_16.DAT is larger than the download limit of 65536 bytes."},
        {"mask 500", mask, [](HttpServer& s, const std::string& p) { s.SetStatus(p, 500); }, "",
         false},
    };

    SX_Control& c = ReadyControl(MakeOptions());
    const Bstr intact(U(plan_.stations[1].description));  // on disk
    const auto loadToEnd = [&] { return Tick([&] { return c.LoadFinished(); }); };
    const auto noLoaderLeft = [&] {
        return testsupport::WaitUntil([] { return LoaderThreads() == 0; });
    };
    for (const FaultCase& fc : table) {
        SCOPED_TRACE(fc.fault);
        const std::string path = "/st1/" + fc.file;
        std::string src = server.Url("st1/st1.xml");
        if (fc.apply) {
            fc.apply(server, path);
        } else {
            src = HttpServer::RefusedUrl("st1/st1.xml");
        }
        int before = server.Requests(path);
        if (!fc.stalls) {
            c.put_src(Bstr(U(src)));
            ASSERT_TRUE(loadToEnd());
            std::vector<std::u16string> expected;
            if (!fc.message.empty()) {
                const auto at = fc.message.find("%s");
                expected.push_back(
                    U(at == std::string::npos ? fc.message : fc.message.substr(0, at) + src));
            }
            EXPECT_EQ(c.DataSet().Messages(), expected);
            EXPECT_EQ(c.LoadFailed(), fc.failsLoad);
            // The other faces load; a face whose mask failed loads too.
            if (fc.file.ends_with(".JPG") || fc.file == mask) {
                for (int f = 0; f < 6; ++f) {
                    EXPECT_EQ(c.DataSet().CubeMap()->HasImage(f, 0),
                              fc.file == mask || f != fc.file[4] - '0')
                        << f;
                }
            }
        }
        // Again, and a new src as soon as the faulty request is on its way.
        before = server.Requests(path);
        c.put_src(Bstr(U(src)));
        if (fc.apply) {
            ASSERT_TRUE(WaitFor([&] { return server.Requests(path) > before; }));
        }
        if (fc.stalls) {
            // The window thread goes on meanwhile.
            const auto start = std::chrono::steady_clock::now();
            c.Redraw();
            Call(u"SiteMap", {}, platform::DispatchKind::PropertyGet);
            EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
            EXPECT_TRUE(c.IsLoading());
        }
        const auto start = std::chrono::steady_clock::now();
        c.put_src(intact);
        EXPECT_LT(std::chrono::steady_clock::now() - start, kStopBound);
        ASSERT_TRUE(loadToEnd());
        EXPECT_FALSE(c.LoadFailed()) << platform::ToUtf8(c.DataSet().GetMessages());
        EXPECT_EQ(c.DataSet().UniqueId(), U(plan_.stations[1].uid));
        EXPECT_TRUE(noLoaderLeft());
        server.ClearOverrides();
    }

    // ClearCubeMap, then the control's end, in the middle of a silent answer.
    server.SetSilent("/st1/Img_3_16.JPG");
    for (int round = 1; round <= 2; ++round) {
        const int seen = server.Requests("/st1/Img_3_16.JPG");
        c.put_src(Bstr(U(server.Url("st1/st1.xml"))));
        ASSERT_TRUE(WaitFor([&] { return server.Requests("/st1/Img_3_16.JPG") > seen; }));
        const auto start = std::chrono::steady_clock::now();
        if (round == 1) {
            c.ClearCubeMap();
            EXPECT_FALSE(c.IsLoading());
        } else {
            c.Destroy();
        }
        EXPECT_LT(std::chrono::steady_clock::now() - start, kStopBound);
    }
    EXPECT_TRUE(noLoaderLeft());
    // Exactly one DownloadComplete in the control's life, however many loads.
    EXPECT_EQ(Count("DownloadComplete"), 1);
}

// The page's own markup and hotlink files are read on the window thread: a
// server that never answers holds it for the window thread's limit only.
TEST_F(ControlFixture, ASilentServerHoldsTheWindowThreadOnlyBriefly) {
    testsupport::TempDir root;
    root.Write("marks.xml", "<sx:Markup/>");
    HttpServer server(root.path());
    server.SetSilent("/marks.xml");
    ReadyControl(MakeOptions());
    const Variant url(U(server.Url("marks.xml")));
    for (const char16_t* member : {u"LoadMarks", u"LoadHotlinks"}) {
        const auto start = std::chrono::steady_clock::now();
        std::vector<Variant> args{url};
        if (member == std::u16string_view(u"LoadMarks")) {
            args.emplace_back(-1);
        }
        EXPECT_EQ(Call(member, args), platform::S_OK);
        EXPECT_LT(std::chrono::steady_clock::now() - start, kStopBound) << platform::ToUtf8(member);
    }
    EXPECT_EQ(server.Requests("/marks.xml"), 2);
}
