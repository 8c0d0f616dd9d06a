// The main window's tree commands: create, change, open and delete a tree.
#include "app/app_context.h"
#include "app/main_window.h"

namespace tavo {

void TF_Main::CreerFicheClick() {}
void TF_Main::B_FicheClick() {}
void TF_Main::OuvrirVignClick() {}
void TF_Main::SupprimerFicheClick() {}
void TF_Main::ShowTree() {}

}  // namespace tavo
