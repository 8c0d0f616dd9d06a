#include "cards/thumbnail_chooser.h"

#include "app/app_context.h"

namespace tavo {

TF_Vignette::TF_Vignette(App& app) : TavoDialog(app, "TF_Vignette", 300, QStringLiteral("Ouvrir")) {
    setClientSize(537, 577);
}

}  // namespace tavo
