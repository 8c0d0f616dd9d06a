// The main window's tree archive command.
#include "app/app_context.h"
#include "app/main_window.h"

namespace tavo {

void TF_Main::Fichierarchive1Click() {}

}  // namespace tavo
