#include "control/VersionCheck.h"

#include <algorithm>
#include <tuple>

#include "host/HostUi.h"
#include "host/Resources.h"
#include "resources/StringTable.h"

namespace control {

Version ParseVersion(std::u16string_view text) {
    Version v;
    std::size_t pos = 0;
    for (int i = 0; i < 4; ++i) {
        if (i > 0) {
            if (pos >= text.size() || text[pos] != u'.') {
                break;
            }
            ++pos;
        }
        while (pos < text.size() && (text[pos] == u' ' || text[pos] == u'\t')) {
            ++pos;
        }
        bool negative = false;
        if (pos < text.size() && (text[pos] == u'-' || text[pos] == u'+')) {
            negative = text[pos] == u'-';
            ++pos;
        }
        const std::size_t start = pos;
        long long value = 0;
        while (pos < text.size() && text[pos] >= u'0' && text[pos] <= u'9') {
            value = std::min<long long>(value * 10 + (text[pos] - u'0'), 0x7fffffff);
            ++pos;
        }
        if (pos == start) {
            break;
        }
        v.part[i] = static_cast<int>(negative ? -value : value);
    }
    return v;
}

void RunVersionCheck(const std::u16string& controlVersion, const std::u16string& dataVersion,
                     const host::Resources& resources, HostUi& ui, std::u16string_view updatePage,
                     const OpenPage& openPage) {
    const Version control = ParseVersion(controlVersion);
    // The data version is read into a buffer of 255 characters.
    const Version data = ParseVersion(std::u16string_view(dataVersion).substr(0, 254));
    const bool dataIssue =
        data.part[0] == 1 && data.part[1] == 0 && data.part[2] == 48 && data.part[3] == 0;
    const auto c = std::tie(control.part[0], control.part[1], control.part[2]);
    const auto d = std::tie(data.part[0], data.part[1], data.part[2]);
    if (c < d) {
        std::u16string text;
        for (int id = resources::IDS_UPGRADE_FIRST; id < resources::IDS_UPGRADE_CAPTION; ++id) {
            text += resources.LoadStringWithFallback(id);
        }
        text += u"from " + std::u16string(updatePage) + u".";
        const int answer =
            ui.MessageBox(text, resources.LoadStringWithFallback(resources::IDS_UPGRADE_CAPTION),
                          HostUi::kYesNo | HostUi::kIconWarning);
        if (answer == HostUi::kIdYes && openPage) {
            openPage(std::u16string(updatePage));
        }
    } else if (c > d && dataIssue) {
        std::u16string text;
        for (int id = resources::IDS_DATA_ISSUE_FIRST; id < resources::IDS_DATA_ISSUE_CAPTION;
             ++id) {
            text += resources.LoadStringWithFallback(id);
        }
        ui.MessageBox(text, resources.LoadStringWithFallback(resources::IDS_DATA_ISSUE_CAPTION),
                      HostUi::kOk | HostUi::kIconWarning);
    }
}

}  // namespace control
