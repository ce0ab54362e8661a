#include <gtest/gtest.h>

#include <filesystem>

#include "platform/Folders.h"
#include "platform/Text.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

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

TEST(Folders, CreatesFoldersOnDemand) {
    testsupport::TempDir dir;
    const std::u16string base = FromUtf8(dir.path().string());
    const std::u16string nested = base + u"/a/b\\c";
    EXPECT_TRUE(CreateFolders(nested));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "a/b/c"));
    EXPECT_TRUE(CreateFolders(nested));  // already there
    dir.Write("file", "x");
    EXPECT_FALSE(CreateFolders(base + u"/file"));
    EXPECT_FALSE(CreateFolders(base + u"/file/below"));
    EXPECT_FALSE(CreateFolders(u""));

    ScopedEnv data("XDG_DATA_HOME", dir.path().string());
    const std::u16string panora = PerUserPath(u"\\Panora\\");
    EXPECT_TRUE(CreateFolders(panora));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "Panora"));
}
