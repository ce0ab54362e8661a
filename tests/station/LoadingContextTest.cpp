#include <gtest/gtest.h>

#include <chrono>

#include "host/Resources.h"
#include "host/ScriptedHostUi.h"
#include "platform/DownloadCache.h"
#include "platform/Text.h"
#include "station/SX_LoadingContext.h"
#include "support/HttpServer.h"
#include "support/TempDir.h"

using platform::FromUtf8;
using platform::LocationKind;
using testsupport::U;

namespace {

struct WebFixture {
    testsupport::TempDir root;
    testsupport::TempDir cacheDir;
    testsupport::HttpServer server{root.path()};
    platform::DownloadCache cache{U(cacheDir.path())};

    std::u16string Url(std::string_view path) const { return FromUtf8(server.Url(path)); }
};

}  // namespace

TEST(SX_LoadingContext, ConstructionKinds) {
    const SX_LoadingContext local(u"/data/st1/station.xml");
    EXPECT_EQ(local.Kind(), LocationKind::LocalAbsolute);
    EXPECT_EQ(local.Base(), u"/data/st1");

    // The empty location sits on the current directory.
    const std::u16string cwd = SX_LoadingContext::CurrentDirectory();
    ASSERT_FALSE(cwd.empty());
    EXPECT_EQ(SX_LoadingContext(u"").Base(), cwd);

    // From the container: its base, "\" made "/" for the web; none: cwd.
    const SX_LoadingContext page(SX_LoadingContext::FromContainer{}, u"http://h/pages\\site");
    EXPECT_EQ(page.Kind(), LocationKind::Web);
    EXPECT_EQ(page.Base(), u"http://h/pages/site");
    const SX_LoadingContext noContainer(SX_LoadingContext::FromContainer{}, u"");
    EXPECT_EQ(noContainer.Base(), cwd);
    const std::u16string longBase = u"/" + std::u16string(5000, u'a');
    EXPECT_EQ(SX_LoadingContext(SX_LoadingContext::FromContainer{}, longBase).Base().size(), 4095u);
    // A folder named with its closing separator loses it; roots keep theirs.
    const SX_LoadingContext filePage(SX_LoadingContext::FromContainer{}, u"file:///pages/");
    EXPECT_EQ(filePage.Base(), u"file:///pages");
    EXPECT_EQ(filePage.Resolve(u"missing.xml"), u"");
    EXPECT_EQ(SX_LoadingContext(SX_LoadingContext::FromContainer{}, u"/").Base(), u"/");
}

TEST(SX_LoadingContext, ResolveLinkClimbsJoinsAndWarns) {
    testsupport::TempDir dir;
    dir.Write("data/site.htm", "<html/>");
    dir.Write("data/st1/station.xml", "<x/>");
    const std::u16string root = U(dir.path());
    host::Resources res;
    ScriptedHostUi ui;
    const SX_LoadingContext ctx(root + u"/data/st1/station.xml");

    std::u16string out;
    EXPECT_TRUE(ctx.ResolveLink(u"..\\site.htm", out, 4095, &ui, res));
    EXPECT_EQ(out, root + u"/data/site.htm");
    // Existing folder, missing file: the target does not exist.
    EXPECT_FALSE(ctx.ResolveLink(u"../nothing.htm", out, 4095, &ui, res));
    EXPECT_EQ(out, root + u"/data/nothing.htm");
    // An absolute link stands alone.
    EXPECT_TRUE(ctx.ResolveLink(root + u"/data/site.htm", out, 4095, &ui, res));
    EXPECT_EQ(out, root + u"/data/site.htm");
    // The buffer size cuts the text, not the check.
    EXPECT_TRUE(ctx.ResolveLink(u"../site.htm", out, 5, &ui, res));
    EXPECT_EQ(out, root.substr(0, 4));
    EXPECT_TRUE(ui.Boxes().empty());

    // A web link is the caller's: false, out untouched, no box.
    out = u"kept";
    EXPECT_FALSE(ctx.ResolveLink(u"http://h/site.htm", out, 4095, &ui, res));
    EXPECT_EQ(out, u"kept");

    // Climbing above the base's first folder: the 101 box captioned "Warning".
    const SX_LoadingContext shallow(SX_LoadingContext::FromContainer{}, u"C:\\st1");
    EXPECT_FALSE(shallow.ResolveLink(u"../../x.xml", out, 4095, &ui, res));
    EXPECT_EQ(out, u"kept");
    ASSERT_EQ(ui.Boxes().size(), 1u);
    EXPECT_EQ(ui.Boxes()[0].text,
              u"The relative path ../../x.xml is not right. Current path is C:.");
    EXPECT_EQ(ui.Boxes()[0].caption, u"Warning");
}

TEST(SX_LoadingContext, ResolveLinkOnAWebBaseAndTargetExists) {
    WebFixture web;
    web.root.Write("site/map.htm", "<html/>");
    // A server that takes the request and never answers must not hold the
    // window thread, which joins the links: nothing is fetched.
    web.server.SetSilent("/site/map.htm");
    platform::DownloadCache::Options options;
    options.totalTimeout = std::chrono::milliseconds(3000);
    web.cache.SetOptions(options);
    SX_LoadingContext ctx(web.Url("site/st1/station.xml"));
    ctx.SetDownloadCache(&web.cache);
    host::Resources res;
    std::u16string out;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(ctx.ResolveLink(u"../map.htm", out, 4095, nullptr, res));  // web: exists
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    EXPECT_EQ(out, web.Url("site/map.htm"));
    EXPECT_EQ(web.server.Requests("/site/map.htm"), 0);

    // Only "file not found" in an existing folder says no (a missing file
    // URL: the hotlink test); a missing folder on the way and web addresses
    // count as existing.
    testsupport::TempDir dir;
    EXPECT_TRUE(SX_LoadingContext::TargetExists(u"", U(dir / "nofolder" / "x.txt")));
    EXPECT_TRUE(SX_LoadingContext::TargetExists(u"", u"http://nowhere.invalid/x"));
}
