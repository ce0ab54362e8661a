#include "control/BrowserDialogs.h"

#include <cstdio>
#include <mutex>

#include "control/SX_Control.h"
#include "host/HostUi.h"
#include "host/Resources.h"
#include "host/SX_Format.h"
#include "platform/Account.h"
#include "platform/Text.h"
#include "resources/StringTable.h"
#include "station/SX_PanoramaDataSet.h"

namespace control {

namespace {

constexpr std::size_t kMaxPart = 4095;

// The custom colours of the colour dialog: one table for the process, kept
// while it runs and shared by every control.
struct CustomColorTable {
    std::mutex mutex;
    HostUi::CustomColors colors{};
};

CustomColorTable& CustomColors() {
    static CustomColorTable table;
    return table;
}

std::u16string Part(std::u16string text) {
    if (text.size() > kMaxPart) {
        text.resize(kMaxPart);
    }
    return text;
}

std::u16string Limited(std::u16string path) {
    return path.size() > kMaxPathLength ? std::u16string() : path;
}

// "major.minor.build.revision" as four numbers (missing parts are 0).
std::array<int, 4> VersionParts(const std::u16string& version) {
    std::array<int, 4> parts{};
    std::sscanf(platform::ToUtf8(version).c_str(), "%d.%d.%d.%d", &parts[0], &parts[1], &parts[2],
                &parts[3]);
    return parts;
}

}  // namespace

std::u16string ChooseHtmlColor(HostUi& ui, const std::u16string& srcColor) {
    unsigned red = 0, green = 0, blue = 0;
    std::sscanf(platform::ToUtf8(srcColor).c_str(), "#%02x%02x%02x ", &red, &green, &blue);
    std::uint32_t rgb = ((red & 0xFFu) << 16) | ((green & 0xFFu) << 8) | (blue & 0xFFu);
    CustomColorTable& table = CustomColors();
    HostUi::CustomColors custom;
    {
        std::lock_guard lock(table.mutex);
        custom = table.colors;
    }
    const bool chosen = ui.ColorDialog(rgb, custom);
    {
        std::lock_guard lock(table.mutex);
        table.colors = custom;
    }
    if (!chosen) {
        return srcColor;
    }
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", (rgb >> 16) & 0xFFu, (rgb >> 8) & 0xFFu,
                  rgb & 0xFFu);
    return platform::FromUtf8(text);
}

std::u16string ChooseFileName(HostUi& ui, const std::u16string& title, const std::u16string& filter,
                              bool saveDialog) {
    HostUi::FileDialog dialog;
    dialog.title = title;
    // The first "label|pattern" pair of the filter.
    const std::size_t cut = filter.find_first_of(std::u16string_view(u"|\0", 2));
    dialog.filterLabel = filter.substr(0, cut);
    if (cut != std::u16string::npos) {
        const std::size_t end = filter.find_first_of(std::u16string_view(u"|\0", 2), cut + 1);
        dialog.pattern = filter.substr(cut + 1, end == std::u16string::npos ? end : end - cut - 1);
    }
    if (dialog.pattern.empty()) {
        dialog.pattern = u"*.*";
    }
    dialog.fileName = u"markup.xml";
    dialog.defaultExtension = u"xml";
    return Limited(saveDialog ? ui.SaveFileDialog(dialog) : ui.OpenFileDialog(dialog));
}

std::u16string FileNameFromFileDialog(HostUi& ui, const host::Resources& resources) {
    HostUi::FileDialog dialog;
    dialog.title = resources.LoadStringWithFallback(resources::IDS_CHOOSE_LINK_FILE);
    dialog.filterLabel = resources.LoadStringWithFallback(resources::IDS_ALL_FILES);
    dialog.pattern = u"*.*";
    return Limited(ui.OpenFileDialog(dialog));
}

std::u16string RetrieveUserName() {
    std::u16string name = platform::AccountName();
    if (name.empty()) {
        return u"N/A";
    }
    if (name.size() > kMaxPathLength) {
        name.resize(kMaxPathLength);
    }
    return name;
}

void ShowHelp(HostUi& ui, const host::Resources& resources, const std::u16string& helpPath) {
    if (helpPath.empty()) {
        ui.MessageBox(resources.Text(u"sx:Resource/sx:NoHelp", resources::IDS_NO_HELP),
                      resources.Text(u"sx:Resource/sx:Error", resources::IDS_ERROR),
                      HostUi::kOk | HostUi::kIconError);
        return;
    }
    ui.OpenHelpFile(helpPath);
}

std::u16string AboutText(const host::Resources& resources, const AboutFacts& facts) {
    const std::array<int, 4> v = VersionParts(facts.controlVersion);
    const std::u16string client =
        Part(u"\t" +
             SX_Format(resources.Text(u"sx:Resource/sx:VersionInformation/sx:ClientPanora",
                                      u"Client Panora Build: %d.%d.%d.%d"),
                       {v[0], v[1], v[2], v[3]}) +
             u"\n\n");
    const std::u16string publisher =
        Part(u"\t" +
             SX_Format(resources.Text(u"sx:Resource/sx:VersionInformation/sx:ServerPanora",
                                      u"Publisher compatible Panora Build: %s"),
                       {facts.publisherBuild}) +
             u"\n");
    const std::u16string data =
        Part(u"\t" +
             SX_Format(resources.Text(u"sx:Resource/sx:VersionInformation/sx:DataVer",
                                      u"Publisher Data Version: %s"),
                       {facts.dataVersion}) +
             u"\n");
    const std::u16string station = Part(
        u"\t" +
        SX_Format(resources.Text(u"sx:Resource/sx:VersionInformation/sx:Station", u"Station: %s"),
                  {facts.stationId.empty() ? std::u16string(u"none") : facts.stationId}) +
        u"\n");
    std::u16string text =
        resources.Text(u"sx:Resource/sx:VersionInformation/sx:Client", u"Client Information");
    text += u"\n" + client;
    text += resources.Text(u"sx:Resource/sx:VersionInformation/sx:Server", u"Server Information");
    text += u"\n" + publisher + data + station + u"\n";
    text += Part(resources.Text(u"sx:Resource/sx:CopyRight", resources::IDS_COPYRIGHT));
    return text;
}

void ShowAbout(SX_Control& control) {
    AboutFacts facts;
    facts.controlVersion = control.ControlVersion();
    const SX_PanoramaDataSet& station = control.DataSet();
    facts.publisherBuild = station.RequiredDataVersion();
    facts.dataVersion = station.DataSetVersion();
    facts.stationId = station.UniqueId();
    control.Ui().AboutBox(
        AboutText(control.Resources(), facts),
        control.Resources().Text(u"sx:Resource/sx:VersionInformation/sx:About", u"About Panora"));
}

}  // namespace control
