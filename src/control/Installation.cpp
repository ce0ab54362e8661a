#include "control/Installation.h"

#include "host/Resources.h"
#include "platform/IniFile.h"
#include "platform/Path.h"
#include "platform/Registry.h"

namespace control {

Installation Installation::Find(const std::u16string& registryFile, host::Resources& resources) {
    Installation found;
    const platform::Registry registry =
        registryFile.empty() ? platform::Registry() : platform::Registry(registryFile);
    platform::RegistryKey key;
    const std::u16string subKey = std::u16string(kUninstallKey) + std::u16string(kProductId);
    if (registry.OpenKey(platform::kLocalMachine, subKey, key)) {
        std::u16string location;
        if (key.ReadString(u"InstallLocation", location)) {
            found.path = location;
            found.helpPath = platform::Join(location, u"Help/Panora.chm");
            resources.LoadMessageFile(found.path);
        }
    } else {
        found.path = kDefaultPath;
        found.helpPath = platform::Join(found.path, u"Help/Panora.chm");
    }
    if (!found.path.empty()) {
        resources.LoadSideModule(found.path);
        const std::u16string ini = platform::Join(found.path, u"UI/Customization.ini");
        found.customised = platform::FileExists(ini);
        found.stationIconFile = platform::ReadProfileString(u"Station", u"Image", u"", 1024, ini);
        found.hotlinkIconFile = platform::ReadProfileString(u"Hotlink", u"Image", u"", 1024, ini);
    }
    return found;
}

}  // namespace control
