// The main window's gallery commands: both show the open tree's gallery viewer.
#include "app/app_context.h"
#include "app/main_window.h"
#include "photos/gallery_viewer.h"

namespace tavo {

void TF_Main::B_EvolutionClick() {
    showWindow(app_.windows.galerie);
}
void TF_Main::Galerie1Click() {
    showWindow(app_.windows.galerie);
}

}  // namespace tavo
