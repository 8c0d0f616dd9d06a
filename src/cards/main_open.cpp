// The main window's "Ouvrir" command: open a tree through the thumbnail chooser.
#include "app/app_context.h"
#include "app/main_window.h"

namespace tavo {

void TF_Main::OuvrirVignClick() {}

}  // namespace tavo
