#include "cards/card_properties_window.h"

#include "app/app_context.h"

namespace tavo {

TF_ProprietesFiche::TF_ProprietesFiche(App& app) : TavoDialog(app, "TF_ProprietesFiche", 600, QStringLiteral("Propriétés")) {
    setClientSize(314, 172);
}

}  // namespace tavo
