// The main window's "Supprimer" command: delete the open tree.
#include "app/app_context.h"
#include "app/main_window.h"
#include "cards/tree_deletion.h"

namespace tavo {

void TF_Main::SupprimerFicheClick() {
    if (!app_.ui.question(this, app_.msg(13))) return;
    // The deletion reads the gallery before it deletes anything: when it throws, the tree is
    // whole and stays shown, and the guard shows the error.
    const TreeDeletionResult result = deleteTree(app_.dataFolder(), app_.session.openTreeId);
    onTreeDeleted(result.cardCounter);
    // The tree is gone; only the counter could not follow.
    if (!result.counterFailure.empty()) app_.ui.error(this, qs(result.counterFailure));
}

}  // namespace tavo
