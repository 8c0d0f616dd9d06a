#include "lists/label_list_editor.h"

#include "app/app_context.h"

namespace tavo {

TF_LIB_TypesIntervention::TF_LIB_TypesIntervention(App& app) : TavoDialog(app, "TF_LIB_TypesIntervention", 900, QStringLiteral("Types d'Intervention")) {
    setClientSize(310, 327);
}

TF_LIB_TypesIntervention2::TF_LIB_TypesIntervention2(App& app) : TavoDialog(app, "TF_LIB_TypesIntervention2", 1000, QStringLiteral("Types d'Intervention")) {
    setClientSize(283, 123);
}

TF_LIB_EtatsAcquisition::TF_LIB_EtatsAcquisition(App& app) : TavoDialog(app, "TF_LIB_EtatsAcquisition", 1100, QStringLiteral("Etats à l'acquisition")) {
    setClientSize(310, 327);
}

TF_LIB_EtatsAcquisition2::TF_LIB_EtatsAcquisition2(App& app) : TavoDialog(app, "TF_LIB_EtatsAcquisition2", 1200, QStringLiteral("Etats à l'acquisition")) {
    setClientSize(283, 123);
}

}  // namespace tavo
