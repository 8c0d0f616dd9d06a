// The main window's "Ouvrir" command: open a tree through the thumbnail chooser.
#include <QDialog>

#include "app/app_context.h"
#include "app/main_window.h"
#include "cards/card_file.h"
#include "cards/thumbnail_chooser.h"

namespace tavo {

void TF_Main::OuvrirVignClick() {
    app_.guard(this, [this] {
        if (app_.showModal(app_.windows.vignette) != QDialog::Accepted) return;
        // Panels and commands come first: a card or works file that cannot be read is reported
        // with the tree already shown as open.
        onTreeOpened();
        Session& s = app_.session;
        s.currentCard = readCard(DataPaths{s.dataFolder}, s.openTreeId);
        ShowTree();
        SetGridHeads();
        RefillWorksGrid(false);
    });
}

}  // namespace tavo
