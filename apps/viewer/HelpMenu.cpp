#include "viewer/HelpMenu.h"

#include <QAction>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace viewer {

void AddHelpMenu(QMainWindow& window, std::function<void(std::u16string_view member)> call) {
    QMenu* help = window.menuBar()->addMenu(QStringLiteral("&Help"));
    QAction* helpFile = help->addAction(QStringLiteral("Help"));
    helpFile->setShortcut(QKeySequence::HelpContents);
    QObject::connect(helpFile, &QAction::triggered, &window, [call] { call(u"ShowHelp"); });
    QAction* about = help->addAction(QStringLiteral("About Panora"));
    about->setMenuRole(QAction::AboutRole);
    QObject::connect(about, &QAction::triggered, &window, [call] { call(u"ShowAbout"); });
}

}  // namespace viewer
