#include <gtest/gtest.h>

#include "platform/Registry.h"
#include "platform/Text.h"
#include "support/TempDir.h"

using namespace platform;

namespace {

constexpr std::u16string_view kUninstall =
    u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Panora";

const char* const kSettings =
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Panora]\n"
    "InstallLocation=/opt/panora\n"
    "Empty=\n"
    "[HKEY_LOCAL_MACHINE\\HARDWARE\\DEVICEMAP\\VIDEO]\n"
    "\\Device\\Video0=\\Registry\\Machine\\System\\Video\\{A}\\0000\n"
    "[HKEY_LOCAL_MACHINE\\System\\Video\\{A}\\0000]\n"
    "Device Description=NVIDIA RTX\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Bare]\n";

}  // namespace

TEST(Registry, KeysOpenByCaseInsensitivePathAndValuesMustExist) {
    testsupport::TempDir dir;
    const Registry registry(FromUtf8(dir.Write("r.ini", kSettings).string()));
    RegistryKey key;

    EXPECT_TRUE(registry.OpenKey(
        u"hkey_local_machine",
        u"\\software\\microsoft/windows\\currentversion\\uninstall\\PANORA\\", key));
    EXPECT_TRUE(key.IsOpen());
    EXPECT_EQ(key.Path(),
              u"hkey_local_machine\\software\\microsoft\\windows\\currentversion"
              u"\\uninstall\\PANORA");
    std::u16string value = u"untouched";
    EXPECT_TRUE(key.ReadString(u"installlocation", value));
    EXPECT_EQ(value, u"/opt/panora");
    EXPECT_TRUE(key.ReadString(u"Empty", value));
    EXPECT_EQ(value, u"");
    value = u"untouched";
    EXPECT_FALSE(key.ReadString(u"Missing", value));
    EXPECT_EQ(value, u"untouched");

    // A missing section does not open and leaves the key closed.
    EXPECT_FALSE(registry.OpenKey(kLocalMachine, u"SOFTWARE\\Other", key));
    EXPECT_FALSE(key.IsOpen());
    EXPECT_FALSE(key.ReadString(u"InstallLocation", value));
    EXPECT_FALSE(registry.OpenKey(kCurrentUser, kUninstall, key));
    EXPECT_FALSE(registry.OpenKey(u"", u"", key));
    EXPECT_FALSE(registry.OpenKey(kLocalMachine, u"SOFTWARE", key));  // parents are no keys
}

TEST(Registry, AdapterDescriptionChainAndBufferLimit) {
    testsupport::TempDir dir;
    const Registry registry(FromUtf8(dir.Write("r.ini", kSettings).string()));
    RegistryKey video;
    ASSERT_TRUE(registry.OpenKey(kLocalMachine, u"HARDWARE\\DEVICEMAP\\VIDEO", video));
    std::u16string device;
    ASSERT_TRUE(video.ReadString(u"\\Device\\Video0", device, 1024));
    const auto at = device.find(u"System");
    ASSERT_NE(at, std::u16string::npos);
    RegistryKey adapter;
    ASSERT_TRUE(registry.OpenKey(kLocalMachine, device.substr(at), adapter));
    std::u16string description;
    EXPECT_TRUE(adapter.ReadString(u"Device Description", description, 1024));
    EXPECT_EQ(description, u"NVIDIA RTX");

    // "NVIDIA RTX" needs 22 bytes with its terminator: 21 is too small.
    description.clear();
    EXPECT_TRUE(adapter.ReadString(u"Device Description", description, 22));
    EXPECT_FALSE(adapter.ReadString(u"Device Description", description, 21));

    // Without a settings file no key opens.
    const Registry none(FromUtf8((dir / "missing.ini").string()));
    EXPECT_FALSE(none.OpenKey(kLocalMachine, kUninstall, video));
}
