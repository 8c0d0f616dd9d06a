#include "safety/backup_window.h"

#include "app/app_context.h"

namespace tavo {

TF_DataSave::TF_DataSave(App& app) : TavoDialog(app, "TF_DataSave", 1300, QStringLiteral("Sauvegarde des données")) {
    setClientSize(400, 200);
}

}  // namespace tavo
