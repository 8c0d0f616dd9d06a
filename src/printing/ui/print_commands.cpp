#include "printing/ui/print_commands.h"

#include "app/app.h"
#include "printing/ui/print_dialog.h"

namespace tavo {

void PrintCommands::print() {
    app_.showModal(app_.windows.imprimer);
}

}  // namespace tavo
