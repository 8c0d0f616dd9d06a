// The main window's tree archive command.
#include "app/app_context.h"
#include "app/main_window.h"
#include "safety/tree_archive.h"

namespace tavo {

void TF_Main::Fichierarchive1Click() {
    app_.guard(this, [this] {
        if (!app_.ui.question(this, app_.msg(53) + QLatin1Char('\n') + app_.msg(54))) return;
        // The chosen folder is not remembered: the browser opens on nothing each time.
        const QString chosen = app_.ui.browseFolder(this, app_.msg(52), QString());
        if (chosen.isEmpty()) return;
        BusyCursor busy;
        safety::makeTreeArchive(app_.dataFolder(), app_.session.openTreeId, qpath(chosen));
    });
}

}  // namespace tavo
