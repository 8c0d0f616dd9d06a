// The main window's works commands and the works grid.
#include "app/app_context.h"
#include "app/main_window.h"

namespace tavo {

void TF_Main::B_AjoutLigneTravailClick() {}
void TF_Main::SG_LignesTravauxDblClick() {}
void TF_Main::Ligne1Click() {}
void TF_Main::RefillWorksGrid(bool) {}

}  // namespace tavo
