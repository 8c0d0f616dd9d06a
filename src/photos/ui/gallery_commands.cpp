#include "photos/ui/gallery_commands.h"

#include "photos/ui/gallery_viewer.h"
#include "printing/ui/growth_sheet_dialog.h"
#include "ui_kit/app.h"

namespace tavo {

void GalleryCommands::show() {
    app_.showModal(app_.windows.galerie);
    // Photos may have been added, changed or deleted.
    emit app_.events.treeChanged();
}

void GalleryCommands::printGrowth() {
    app_.showModal(app_.windows.growthSheet);
}

}  // namespace tavo
