#include "care/ui/care_commands.h"

#include <QDialog>

#include "cards/card_file.h"
#include "care/ui/care_window.h"
#include "ui_kit/app.h"

namespace tavo {

void CareCommands::showCalendar() {
    CareWindow* window = app_.windows.care;
    if (app_.showModal(window) != QDialog::Accepted) return;
    // A row was chosen: its tree opens as through Fiche > Ouvrir.
    Session& s = app_.session;
    s.openTreeId = window->chosenTreeId();
    app_.treeView->treeOpened();
    s.currentCard = readCard(app_.data(), s.openTreeId);
    app_.treeView->showTree();
    app_.treeView->refillWorks(false);
}

}  // namespace tavo
