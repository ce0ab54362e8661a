#pragma once
// The viewer's Help menu: "Help" (F1) asks the control for its help file
// (ShowHelp), "About Panora" for its About box (ShowAbout).
#include <functional>
#include <string_view>

class QMainWindow;

namespace viewer {

// `call` runs a control member without arguments by name.
void AddHelpMenu(QMainWindow& window, std::function<void(std::u16string_view member)> call);

}  // namespace viewer
