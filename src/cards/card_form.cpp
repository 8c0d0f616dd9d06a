#include "cards/card_form.h"

#include "app/app_context.h"

namespace tavo {

TF_Fiche::TF_Fiche(App& app) : TavoDialog(app, "TF_Fiche", 100, QStringLiteral("Fiche \"Arbre\"")) {
    setClientSize(577, 475);
}

}  // namespace tavo
