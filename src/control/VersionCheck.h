#pragma once
// The data-version check, run once per control after the first description
// file was read: the control's file version against the station's required
// data version (both "%d.%d.%d.%d"; the numbers read before the first that
// does not parse count, the rest are 0; only the first three are compared).
//   control older than the data -> the upgrade box (Yes/No); Yes opens the
//                                  update page
//   control newer, data "1.0.48.0" -> the data-issue box (OK)
//   otherwise nothing.
#include <functional>
#include <string>
#include <string_view>

class HostUi;
namespace host {
class Resources;
}  // namespace host

namespace control {

struct Version {
    int part[4] = {0, 0, 0, 0};
};
Version ParseVersion(std::u16string_view text);

// Opens the update page; true when it was opened.
using OpenPage = std::function<bool(const std::u16string& url)>;

void RunVersionCheck(const std::u16string& controlVersion, const std::u16string& dataVersion,
                     const host::Resources& resources, HostUi& ui, std::u16string_view updatePage,
                     const OpenPage& openPage);

}  // namespace control
