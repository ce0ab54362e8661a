#include "control/ErrorPage.h"

#include "host/Resources.h"
#include "resources/StringTable.h"
#include "station/SX_ErrorLogger.h"

namespace control {

std::vector<std::u16string> ErrorPageLines(const host::Resources& resources, bool systemFit,
                                           std::initializer_list<const SX_ErrorLogger*> lists) {
    std::vector<std::u16string> lines;
    lines.push_back(resources.Text(u"sx:Resource/sx:CopyRight", resources::IDS_COPYRIGHT));
    lines.push_back(resources.Text(u"sx:Resource/sx:Errors", resources::IDS_ERRORS));
    if (!systemFit) {
        lines.push_back(
            resources.Text(u"sx:Resource/sx:SystemNotMeet", resources::IDS_SYSTEM_NOT_MEET));
        return lines;
    }
    for (const SX_ErrorLogger* list : lists) {
        if (list->HasError()) {
            for (std::u16string& message : list->Messages()) {
                lines.push_back(std::move(message));
            }
        }
    }
    return lines;
}

std::u16string JoinLines(const std::vector<std::u16string>& lines) {
    std::u16string text;
    for (const std::u16string& line : lines) {
        text += line;
        text += u'\n';
    }
    return text;
}

}  // namespace control
