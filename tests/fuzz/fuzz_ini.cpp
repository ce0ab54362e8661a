// INI files: "Version.ini", "UI/Customization.ini" and the registry file,
// with the lookups the viewer makes in each.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "FuzzSupport.h"
#include "platform/IniFile.h"
#include "platform/Registry.h"
#include "platform/Text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    platform::IniFile ini;
    ini.LoadText(std::string_view(reinterpret_cast<const char*>(data), size));
    ini.ReadString(u"Panora Information", u"Build", u"1.0.48.0", 256);
    ini.ReadString(u"Station", u"Image", u"", 1024);
    ini.ReadString(u"Hotlink", u"Image", u"", 1024);
    ini.ReadString(u"Strings", u"117", u"", 0);
    ini.HasSection(u"");

    const std::u16string path = platform::FromUtf8(fuzz::WriteScratch("registry.ini", data, size));
    platform::ReadProfileString(u"Panora Information", u"Build", u"1.0.48.0", 256, path);
    const platform::Registry registry(path);
    platform::RegistryKey key;
    if (registry.OpenKey(platform::kLocalMachine,
                         u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
                         u"StralePanoraViewer",
                         key)) {
        std::u16string value;
        key.ReadString(u"InstallLocation", value, 520);
        key.ReadString(u"InstallLocation", value);
    }
    return 0;
}
