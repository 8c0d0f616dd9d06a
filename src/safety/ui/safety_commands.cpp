#include "safety/ui/safety_commands.h"

#include <string>
#include <vector>

#include "app/app.h"
#include "app/busy_cursor.h"
#include "app/qt_text.h"
#include "photos/gallery_file.h"
#include "safety/restore.h"
#include "safety/tree_archive.h"
#include "safety/ui/backup_window.h"
#include "safety/ui/restore_window.h"

namespace tavo {

void SafetyCommands::backup() {
    app_.showModal(app_.windows.dataSave);
}

void SafetyCommands::restore() {
    app_.showModal(app_.windows.dataRestore);
    // The whole data set may have changed.
    emit app_.events.treeChanged();
}

void SafetyCommands::archive(QWidget* parent) {
    if (!app_.ui.question(parent, app_.msg(53) + QLatin1Char('\n') + app_.msg(54))) return;
    // The chosen folder is not remembered: the browser opens on nothing each time.
    const QString chosen = app_.ui.browseFolder(parent, app_.msg(52), QString());
    if (chosen.isEmpty()) return;
    BusyCursor busy;
    const std::string& treeId = app_.session.openTreeId;
    // The photo names are read before anything is written, so a gallery file that cannot be
    // read leaves no archive behind.
    std::vector<std::string> photos;
    for (const PhotoRecord& record : GalleryFile(app_.data().root, treeId).readAll())
        photos.push_back(record.fileName);
    safety::makeTreeArchive(app_.data().root, treeId, photos, toPath(chosen));
}

}  // namespace tavo
