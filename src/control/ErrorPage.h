#pragma once
// The control's error page: shown instead of the view when the system is not
// fit, the station reported errors or the load failed. Its lines: the
// product notice, the heading, then the messages of each error list in turn
// (or, on an unfit system, the not-fit text).
#include <initializer_list>
#include <string>
#include <vector>

class SX_ErrorLogger;
namespace host {
class Resources;
}  // namespace host

namespace control {

std::vector<std::u16string> ErrorPageLines(const host::Resources& resources, bool systemFit,
                                           std::initializer_list<const SX_ErrorLogger*> lists);
// The lines, each followed by "\n".
std::u16string JoinLines(const std::vector<std::u16string>& lines);

}  // namespace control
