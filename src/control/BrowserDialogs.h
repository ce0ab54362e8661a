#pragma once
// What the control does for the hosting page with the host's standard
// dialogs: the colour and file dialogs, the account's name, the help file
// and the About box. Everything here runs on the control's window thread.
#include <cstdint>
#include <string>
#include <string_view>

class HostUi;
class SX_Control;
namespace host {
class Resources;
}

namespace control {

// Paths and names handed to the page are cut at this many characters: a
// dialog answer longer than this is refused (the page gets "").
inline constexpr std::size_t kMaxPathLength = 254;

// Reads "#%02x%02x%02x" as sscanf does (a part that does not match, and every
// part after it, stays 0) and shows the colour dialog preset to it, with the
// process-wide table of 16 custom colours shared by every control. OK gives
// "#rrggbb" in lower case; Cancel gives srcColor exactly as it came.
std::u16string ChooseHtmlColor(HostUi& ui, const std::u16string& srcColor);

// A save dialog (saveDialog true) or an open dialog titled `title`. The
// filter is "LABEL|PATTERN[|...]" (NULs separate as well as "|"); the first
// pair is offered, "markup.xml" proposed and "xml" added to a name without
// an extension. The chosen path, or "" when cancelled.
std::u16string ChooseFileName(HostUi& ui, const std::u16string& title, const std::u16string& filter,
                              bool saveDialog);

// The open dialog of a hotlink's file: strings 122 ("Choose file to link")
// and 123 ("All Files (*.*)"), pattern "*.*". The chosen path, or "".
std::u16string FileNameFromFileDialog(HostUi& ui, const host::Resources& resources);

// The logged-on account's name (at most kMaxPathLength characters), or "N/A".
std::u16string RetrieveUserName();

// With no help file path, the error box "No help file availalble." (key
// sx:Resource/sx:NoHelp, caption sx:Resource/sx:Error); otherwise the path
// goes to the host's opener, whether or not the file exists.
void ShowHelp(HostUi& ui, const host::Resources& resources, const std::u16string& helpPath);

// What the About box shows.
struct AboutFacts {
    std::u16string controlVersion;  // "major.minor.build.revision"
    std::u16string publisherBuild;  // the station's required build
    std::u16string dataVersion;     // the station's data set version
    std::u16string stationId;       // the station's identifier ("" : none loaded)
};
// The About box's text: "Client Information", the client build line,
// "Server Information", the publisher build and data version lines, the
// station line, then the notice line; each part is looked up under
// sx:Resource/sx:VersionInformation/... and cut to 4095 characters.
std::u16string AboutText(const host::Resources& resources, const AboutFacts& facts);
// The About box of the control: AboutText of its station, captioned
// "About Panora".
void ShowAbout(SX_Control& control);

}  // namespace control
