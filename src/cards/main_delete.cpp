// The main window's "Supprimer" command: delete the open tree.
#include "app/app_context.h"
#include "app/main_window.h"

namespace tavo {

void TF_Main::SupprimerFicheClick() {}

}  // namespace tavo
