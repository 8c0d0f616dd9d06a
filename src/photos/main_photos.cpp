// The main window's gallery commands.
#include "app/app_context.h"
#include "app/main_window.h"

namespace tavo {

void TF_Main::B_EvolutionClick() {}
void TF_Main::Galerie1Click() {}

}  // namespace tavo
