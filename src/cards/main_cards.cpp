// The main window's card commands: create a tree, change its card, show it.
#include "app/app_context.h"
#include "app/main_window.h"

namespace tavo {

void TF_Main::CreerFicheClick() {}
void TF_Main::B_FicheClick() {}
void TF_Main::ShowTree() {}

}  // namespace tavo
