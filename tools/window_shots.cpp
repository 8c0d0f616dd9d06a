// Draws every window of the program, one PNG each, for looking them over in each language and
// at each scale: the main window with the folder's first tree open, then every other window as
// it shows from the menu. The main window is drawn twice: at the start, with the splash picture,
// and with the tree open. Boxes a window would raise are counted, not shown.
// Usage: window_shots DATA_FOLDER OUTPUT_PREFIX
// Writes OUTPUT_PREFIX<window name>.png; the scale is Qt's (QT_SCALE_FACTOR).
#include <QApplication>
#include <QPixmap>
#include <cstdio>
#include <filesystem>
#include <string>

#include "app/main_window.h"
#include "app/program.h"
#include "support/fake_ui_seam.h"
#include "ui_kit/tavo_dialog.h"

using namespace tavo;
namespace fs = std::filesystem;

namespace {

bool save(QWidget* window, const std::string& prefix, const char* suffix = "") {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
    const std::string file = prefix + window->objectName().toStdString() + suffix + ".png";
    if (window->grab().save(QString::fromStdString(file))) return true;
    std::fprintf(stderr, "window_shots: cannot write %s\n", file.c_str());
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: window_shots DATA_FOLDER OUTPUT_PREFIX\n");
        return 2;
    }
    QApplication qapp(argc, argv);
    const std::string prefix = fs::absolute(argv[2]).string();
    fs::current_path(argv[1]);

    test::FakeUiSeam ui;
    ui.printerNames = {QStringLiteral("Bureau")};  // the print windows as with a printer set up
    ui.currentPrinter = ui.printerNames.front();
    Program program(ui);
    TF_Main& main = program.main();
    main.FormActivate();
    main.show();
    bool ok = save(&main, prefix, "-start");  // the splash picture, as at the first start
    std::string first;
    for (const auto& e : fs::directory_iterator(program.app.data().fiches()))
        if (e.path().extension() == ".SIG" && (first.empty() || e.path().stem() < first))
            first = e.path().stem().string();
    if (!first.empty()) program.commands.cards.openTree(first);
    program.session.cardFormMode = CardFormMode::Modify;  // the open tree's card, not a blank one
    ok = save(&main, prefix) && ok;
    int shots = 2;
    for (QWidget* window : program.windows().all) {
        auto* dialog = qobject_cast<TavoDialog*>(window);
        if (!dialog) continue;
        dialog->show();
        ok = save(dialog, prefix) && ok;
        ++shots;
        dialog->hide();
    }
    std::printf("window_shots: %d windows drawn to %s*.png; boxes raised: %zu\n", shots,
                prefix.c_str(), ui.shown.size());
    return ok ? 0 : 1;
}
