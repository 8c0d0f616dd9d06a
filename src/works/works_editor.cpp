#include "works/works_editor.h"

#include "app/app_context.h"

namespace tavo {

TF_Ligne::TF_Ligne(App& app) : TavoDialog(app, "TF_Ligne", 200, QStringLiteral("Ajouter une ligne")) {
    setClientSize(703, 191);
}

}  // namespace tavo
