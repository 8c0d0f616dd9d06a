#include "collection/ui/collection_commands.h"

#include "collection/ui/collection_window.h"
#include "ui_kit/app.h"

namespace tavo {

void CollectionCommands::show() {
    CollectionWindow* window = app_.windows.collection;
    // The window stays open beside the main window, so it can follow what is done there.
    if (!window->isVisible()) window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace tavo
