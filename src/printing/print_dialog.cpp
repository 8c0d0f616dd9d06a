#include "printing/print_dialog.h"

#include "app/app_context.h"

namespace tavo {

TF_ImprimerFiche::TF_ImprimerFiche(App& app) : TavoDialog(app, "TF_ImprimerFiche", 700, QStringLiteral("Impression")) {
    setClientSize(224, 226);
}

}  // namespace tavo
