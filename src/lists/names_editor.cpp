#include "lists/names_editor.h"

#include "app/app_context.h"

namespace tavo {

TF_LIB_NomsArbres::TF_LIB_NomsArbres(App& app) : TavoDialog(app, "TF_LIB_NomsArbres", 1600, QStringLiteral("Noms botaniques")) {
    setClientSize(724, 406);
}

TF_LIB_NomsArbres2::TF_LIB_NomsArbres2(App& app) : TavoDialog(app, "TF_LIB_NomsArbres2", 1700, QStringLiteral("Noms botaniques")) {
    setClientSize(389, 178);
}

}  // namespace tavo
