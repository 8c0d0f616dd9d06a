#include "safety/restore_window.h"

#include "app/app_context.h"

namespace tavo {

TF_DataRestore::TF_DataRestore(App& app) : TavoDialog(app, "TF_DataRestore", 1400, QStringLiteral("Restauration des données")) {
    setClientSize(400, 200);
}

}  // namespace tavo
