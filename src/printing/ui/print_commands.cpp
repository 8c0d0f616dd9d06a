#include "printing/ui/print_commands.h"

#include "printing/ui/print_dialog.h"
#include "ui_kit/app.h"

namespace tavo {

void PrintCommands::print() {
    app_.showModal(app_.windows.imprimer);
}

}  // namespace tavo
