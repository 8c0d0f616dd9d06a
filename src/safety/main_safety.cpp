// The main window's tree archive command.
#include <string>
#include <vector>

#include "app/app_context.h"
#include "app/main_window.h"
#include "photos/gallery_file.h"
#include "safety/tree_archive.h"

namespace tavo {

void TF_Main::Fichierarchive1Click() {
    app_.guard(this, [this] {
        if (!app_.ui.question(this, app_.msg(53) + QLatin1Char('\n') + app_.msg(54))) return;
        // The chosen folder is not remembered: the browser opens on nothing each time.
        const QString chosen = app_.ui.browseFolder(this, app_.msg(52), QString());
        if (chosen.isEmpty()) return;
        BusyCursor busy;
        const std::string& treeId = app_.session.openTreeId;
        // The photo names are read before anything is written, so a gallery file that cannot be
        // read leaves no archive behind.
        std::vector<std::string> photos;
        for (const PhotoRecord& record : GalleryFile(app_.dataFolder(), treeId).readAll())
            photos.push_back(record.fileName);
        safety::makeTreeArchive(app_.dataFolder(), treeId, photos, qpath(chosen));
    });
}

}  // namespace tavo
