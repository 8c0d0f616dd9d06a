#include "collection/ui/collection_commands.h"

#include "app/app.h"
#include "collection/ui/collection_window.h"

namespace tavo {

void CollectionCommands::show() {
    TF_Collection* window = app_.windows.collection;
    // The window stays open beside the main window, so it can follow what is done there.
    if (!window->isVisible()) window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace tavo
