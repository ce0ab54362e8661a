#pragma once
// Where the product is installed and what the installation customises.
//
// The folder is the registry value "InstallLocation" of the product's
// uninstall key. A key that opens without the value leaves the folder empty
// (no help, no message file, no customisation); a key that does not open
// means the default folder. With a folder: the help file "Help/Panora.chm",
// the message file and side resource module found there (loaded into the
// control's resources), and the icon image files named in
// "UI/Customization.ini" (sections "Station" and "Hotlink", key "Image").
#include <string>
#include <string_view>

namespace host {
class Resources;
}  // namespace host

namespace control {

struct Installation {
    // The product's uninstall key below HKEY_LOCAL_MACHINE.
    static constexpr std::u16string_view kUninstallKey =
        u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
    static constexpr std::u16string_view kProductId = u"StralePanoraViewer";
    // Where the product installs when the registry does not say.
    static constexpr std::u16string_view kDefaultPath = u"/opt/strale/panora";

    // Reads the registry file ("" : the default registry) and loads the
    // installation's message file and side module into resources.
    static Installation Find(const std::u16string& registryFile, host::Resources& resources);

    std::u16string path;
    std::u16string helpPath;
    std::u16string stationIconFile;
    std::u16string hotlinkIconFile;
    // The installation has its own "UI/Customization.ini".
    bool customised = false;
};

}  // namespace control
