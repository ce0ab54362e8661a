#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/Path.h"
#include "platform/Text.h"
#include "support/TempDir.h"

using testsupport::U;
using namespace platform;

TEST(Path, ClassifiesEveryLocationKind) {
    struct Case {
        std::u16string_view text;
        LocationKind kind;
    };
    const Case cases[] = {
        {u"HTTPS://HOST/A", LocationKind::Web},
        {u"file:///home/u/st1.xml", LocationKind::Web},
        // A one-letter scheme is a drive letter, and drive paths are absolute.
        {u"C://data", LocationKind::LocalAbsolute},
        {u"C:station.xml", LocationKind::LocalAbsolute},
        // Two separators and a server name make a network path; a third
        // separator or no server does not.
        {u"\\\\srv\\x", LocationKind::Network},
        {u"//srv/x", LocationKind::Network},
        {u"///x", LocationKind::LocalAbsolute},
        {u"//", LocationKind::LocalAbsolute},
        {u"station.xml", LocationKind::Relative},
        {u"", LocationKind::Relative},
        {u"http:/host/x", LocationKind::Relative},
        {u"://x", LocationKind::Relative},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ClassifyLocation(c.text), c.kind) << ToUtf8(c.text);
        // The predicates agree with the classification.
        EXPECT_EQ(IsUrl(c.text), c.kind == LocationKind::Web) << ToUtf8(c.text);
        EXPECT_EQ(IsRelative(c.text), c.kind == LocationKind::Relative) << ToUtf8(c.text);
        EXPECT_EQ(IsNetworkPath(c.text), c.kind == LocationKind::Network) << ToUtf8(c.text);
        EXPECT_EQ(IsAbsolutePath(c.text), c.kind == LocationKind::LocalAbsolute) << ToUtf8(c.text);
    }
}

TEST(Path, HttpsRetryReplacesOnlyTheFirstExactHttps) {
    EXPECT_EQ(WithHttpsAsHttp(u"https://h/https/x"), u"http://h/https/x");
    EXPECT_EQ(WithHttpsAsHttp(u"dir/https/https"), u"dir/http/https");
    EXPECT_EQ(WithHttpsAsHttp(u"HTTPS://h"), u"HTTPS://h");
    EXPECT_EQ(WithHttpsAsHttp(u"https"), u"http");
}

TEST(Path, RemoveFileSpecStopsAtTheRoot) {
    struct Case {
        std::u16string_view in;
        std::u16string_view out;
    };
    const Case cases[] = {
        {u"/", u"/"},
        {u"/data/st1/", u"/data/st1"},  // only the trailing separator goes
        {u"C:\\data", u"C:\\"},
        {u"C:\\", u"C:\\"},
        {u"C:a", u"C:"},
        {u"station.xml", u""},
        {u"a\\b/c", u"a\\b"},
        {u"\\\\srv\\share\\x.xml", u"\\\\srv\\share"},
        {u"http://host/", u"http://host"},
        {u"file:///", u"file:///"},
    };
    for (const auto& c : cases) {
        std::u16string path(c.in);
        const bool changed = RemoveFileSpec(path);
        EXPECT_EQ(path, c.out) << ToUtf8(c.in);
        EXPECT_EQ(changed, c.in != c.out) << ToUtf8(c.in);
        EXPECT_EQ(WithoutFileSpec(c.in), c.out);
    }
}

TEST(Path, JoinsAndNormalisesPageLocations) {
    EXPECT_EQ(NormalizeSeparators(u"\\\\srv\\share\\a"), u"//srv/share/a");
    EXPECT_EQ(Join(u"/data/st1", u"Img_0_1.JPG"), u"/data/st1/Img_0_1.JPG");
    EXPECT_EQ(Join(u"/data/st1/", u"sub\\Img.JPG"), u"/data/st1/sub/Img.JPG");
    EXPECT_EQ(Join(u"", u"a\\b"), u"a/b");
    EXPECT_EQ(Join(u"/data", u""), u"/data");
    EXPECT_EQ(Join(u"http://h/site", u"st1\\station.xml"), u"http://h/site/st1/station.xml");
}

TEST(Path, FileExistsAndProbeTellFilesFoldersAndMissingParts) {
    testsupport::TempDir dir;
    const auto file = dir.Write("st1/station.xml", "<x/>");
    const auto folder = dir / "st1";
    const auto fifo = dir / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);

    EXPECT_TRUE(FileExists(U(file)));
    EXPECT_TRUE(FileExists(U(folder) + u"/"));
    EXPECT_FALSE(FileExists(U(fifo)));  // neither a file nor a folder
    EXPECT_FALSE(FileExists(U(folder / "missing.xml")));
    // Separators from a page are accepted.
    std::u16string backslashed = U(file);
    backslashed.replace(backslashed.rfind(u'/'), 1, u"\\");
    EXPECT_TRUE(FileExists(backslashed));

    EXPECT_EQ(ProbePath(U(fifo)), PathProbe::Exists);
    EXPECT_EQ(ProbePath(U(folder / "missing.xml")), PathProbe::FileNotFound);
    EXPECT_EQ(ProbePath(U(dir / "nofolder/missing.xml")), PathProbe::PathNotFound);
    EXPECT_EQ(ProbePath(U(file / "below")), PathProbe::PathNotFound);
    EXPECT_EQ(ProbePath(u"http://host/a.xml"), PathProbe::InvalidName);
    EXPECT_EQ(ProbePath(u"surely-missing-relative-name.xml"), PathProbe::FileNotFound);
    EXPECT_EQ(ProbePath(U(dir.path()) + u"/" + std::u16string(300, u'n')), PathProbe::InvalidName);
}
