#include <gtest/gtest.h>

#include "platform/Folders.h"
#include "support/ScopedEnv.h"

using namespace platform;
using testsupport::ScopedEnv;

TEST(Folders, ApplicationDataFollowsXdgThenHome) {
    {
        ScopedEnv data("XDG_DATA_HOME", "/srv/data/");
        ScopedEnv home("HOME", "/home/u");
        EXPECT_EQ(LocalAppDataFolder(), u"/srv/data");
        EXPECT_EQ(PerUserPath(u"\\Panora\\Defaults.xml"), u"/srv/data/Panora/Defaults.xml");
        EXPECT_EQ(PerUserPath(u"\\Panora\\"), u"/srv/data/Panora/");
    }
    {
        // A relative XDG value does not count.
        ScopedEnv data("XDG_DATA_HOME", "relative/data");
        ScopedEnv home("HOME", "/home/u");
        EXPECT_EQ(LocalAppDataFolder(), u"/home/u/.local/share");
    }
    {
        ScopedEnv data("XDG_DATA_HOME", nullptr);
        ScopedEnv home("HOME", nullptr);
        EXPECT_EQ(LocalAppDataFolder(), u"");
        EXPECT_EQ(PerUserPath(u"\\Panora\\Defaults.xml"), u"");
        EXPECT_EQ(CacheFolder(), u"");
    }
}
