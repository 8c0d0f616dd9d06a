#include "lists/ui/list_commands.h"

#include "lists/ui/label_list_editor.h"
#include "lists/ui/names_editor.h"
#include "ui_kit/app.h"

namespace tavo {

void ListCommands::showInterventionTypes() {
    if (!app_.writable()) return;
    app_.showModal(app_.windows.types);
}

void ListCommands::showAcquisitionStates() {
    if (!app_.writable()) return;
    app_.showModal(app_.windows.etats);
}

void ListCommands::showBotanicalNames() {
    if (!app_.writable()) return;
    app_.showModal(app_.windows.noms);
}

}  // namespace tavo
