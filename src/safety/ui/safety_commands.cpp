#include "safety/ui/safety_commands.h"

#include "cards/card_file.h"
#include "safety/restore.h"
#include "safety/tree_archive.h"
#include "safety/ui/backup_window.h"
#include "safety/ui/check_window.h"
#include "safety/ui/restore_window.h"
#include "ui_kit/app.h"
#include "ui_kit/busy_cursor.h"
#include "ui_kit/qt_text.h"

namespace tavo {

void SafetyCommands::backup() {
    app_.showModal(app_.windows.dataSave);
}

void SafetyCommands::restore() {
    if (!app_.writable()) return;
    app_.showModal(app_.windows.dataRestore);
    // The whole data set may have changed.
    emit app_.events.treeChanged();
}

void SafetyCommands::check() {
    app_.showModal(app_.windows.check);
    if (!app_.windows.check->repaired()) return;
    // The repair may have completed, re-sorted or relinked the open tree's files.
    Session& s = app_.session;
    if (!s.openTreeId.empty() && app_.treeView->treeOpen()) {
        s.currentCard = readCard(app_.data(), s.openTreeId);
        app_.treeView->showTree();
        app_.treeView->refillWorks(false);
    }
    emit app_.events.treeChanged();
}

void SafetyCommands::archive(QWidget* parent) {
    if (!app_.ui.question(parent, app_.msg(Msg::ConfirmArchive) + QLatin1Char('\n') +
                                      app_.msg(Msg::ArchiveContents)))
        return;
    // The chosen folder is not remembered: the browser opens on nothing each time.
    const QString chosen =
        app_.ui.browseFolder(parent, app_.msg(Msg::ChooseArchiveFolder), QString());
    if (chosen.isEmpty()) return;
    BusyCursor busy;
    makeTreeArchive(app_.data(), app_.session.openTreeId, toPath(chosen));
}

}  // namespace tavo
