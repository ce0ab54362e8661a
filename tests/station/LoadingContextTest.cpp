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

    // A relative location and the empty one sit on the current directory.
    const std::u16string cwd = SX_LoadingContext::CurrentDirectory();
    ASSERT_FALSE(cwd.empty());
    for (const char16_t* location : {u"station.xml", u""}) {
        const SX_LoadingContext relative(location);
        EXPECT_EQ(relative.Kind(), LocationKind::LocalAbsolute);
        EXPECT_EQ(relative.Base(), cwd);
    }

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

TEST(SX_LoadingContext, ResolveAndSubLocationTablesForEveryBaseKind) {
    WebFixture web;
    web.root.Write("other.JPG", "remote bytes");
    web.root.Write("site/st1/a.JPG", "tile bytes");
    const std::u16string webName = web.Url("other.JPG");

    SX_LoadingContext local(u"/data/st1/station.xml");
    SX_LoadingContext onWeb(web.Url("site/st1/station.xml"));
    SX_LoadingContext relative(SX_LoadingContext::FromContainer{}, u"pages/site");
    SX_LoadingContext network(u"//srv/share/st1/station.xml");
    for (SX_LoadingContext* c : {&local, &onWeb, &relative, &network}) {
        c->SetDownloadCache(&web.cache);
        // Absolute, network and web names do not depend on the base.
        EXPECT_EQ(c->Resolve(u"//srv/x/a.JPG"), u"//srv/x/a.JPG");
        const std::u16string cached = c->Resolve(webName);
        ASSERT_FALSE(cached.empty());
        EXPECT_EQ(testsupport::ReadFile(platform::ToUtf8(cached)), "remote bytes");
        EXPECT_EQ(c->SubLocation(webName), webName);
    }
    EXPECT_EQ(relative.Resolve(u"a.JPG"), u"pages/site/a.JPG");
    EXPECT_EQ(network.Resolve(u"a.JPG"), u"//srv/share/st1/a.JPG");
    const std::u16string tile = onWeb.Resolve(u"a.JPG");
    ASSERT_FALSE(tile.empty());
    EXPECT_EQ(testsupport::ReadFile(platform::ToUtf8(tile)), "tile bytes");
    EXPECT_EQ(web.server.Requests("/site/st1/a.JPG"), 1);
    // A failed download is the empty path.
    EXPECT_EQ(onWeb.Resolve(u"missing.JPG"), u"");

    // SubLocation: only web bases join relative names; relative and network bases
    // give absolute local names nothing.
    EXPECT_EQ(local.SubLocation(u"s.xml"), u"");
    EXPECT_EQ(onWeb.SubLocation(u"sub/s.xml"), web.Url("site/st1/sub/s.xml"));
    EXPECT_EQ(network.SubLocation(u"/x/s.xml"), u"");

    // A sub-context shares the download cache.
    const auto sub = onWeb.MakeSubContext(u"sub/s.xml");
    EXPECT_EQ(sub->Base(), web.Url("site/st1/sub"));
    EXPECT_EQ(&sub->GetDownloadCache(), &web.cache);
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

    testsupport::TempDir dir;
    dir.Write("here.txt", "x");
    const std::u16string here = U(dir / "here.txt");
    EXPECT_TRUE(SX_LoadingContext::TargetExists(u"", u"file://" + here));
    EXPECT_FALSE(SX_LoadingContext::TargetExists(u"", u"file://" + U(dir / "gone.txt")));
    // Only "file not found" in an existing folder says no: a missing folder
    // on the way and web addresses count as existing.
    EXPECT_TRUE(SX_LoadingContext::TargetExists(u"", U(dir / "nofolder" / "x.txt")));
    EXPECT_TRUE(SX_LoadingContext::TargetExists(u"", u"http://nowhere.invalid/x"));
}
