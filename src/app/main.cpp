// Program entry: the data folder is the current directory (or the one --data-folder names);
// every window is created once, then the event loop runs until the main window closes.
#include <QApplication>
#include <QIcon>
#include <iostream>

#include "app/main_window.h"
#include "app/program.h"
#include "startup/command_line.h"
#include "ui_kit/focus_style.h"
#include "ui_kit/qt_ui_seam.h"

int main(int argc, char** argv) {
    // The pictures compiled into the window library (the icon): a static library's
    // resources are only linked in when something names them.
    Q_INIT_RESOURCE(resources);
    // Our options first, before the toolkit or any window exists.
    tavo::StartOptions options = tavo::parseStartOptions({argv, argv + argc});
    if (const int code = tavo::applyStartOptions(options, std::cout, std::cerr); code >= 0)
        return code;
    std::vector<char*> toolkitArgv;
    for (std::string& a : options.toolkitArgs) toolkitArgv.push_back(a.data());
    toolkitArgv.push_back(nullptr);
    int toolkitArgc = static_cast<int>(options.toolkitArgs.size());

    QApplication application(toolkitArgc, toolkitArgv.data());
    QApplication::setApplicationName(QStringLiteral("Tavo"));
    QApplication::setDesktopFileName(QStringLiteral("org.tavo.Tavo"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/tavo.png")));
    QApplication::setStyle(new tavo::FocusStyle);
    tavo::QtUiSeam ui;
    tavo::Program program(ui);
    // Another program holds the data folder and the user chose not to read it.
    if (program.main().quitAtStart()) return 0;
    program.main().show();
    // A window manager gives the new window the focus; without one (a bare X server) ask for
    // it, since the main window's activation prepares the settings and the language.
    program.main().activateWindow();
    const int code = QApplication::exec();
    program.app.guard(nullptr, [&] { program.main().FormDestroy(); });
    return code;
}
