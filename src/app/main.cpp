// Program entry: the data folder is the current directory; every window is created once, then
// the event loop runs until the main window closes.
#include <QApplication>

#include "app/main_window.h"
#include "app/program.h"
#include "app/qt_ui_seam.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavo"));
    tavo::QtUiSeam ui;
    tavo::Program program(ui);
    program.main().show();
    const int code = QApplication::exec();
    program.app.guard(nullptr, [&] { program.main().FormDestroy(); });
    return code;
}
