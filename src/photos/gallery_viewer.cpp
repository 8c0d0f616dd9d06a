#include "photos/gallery_viewer.h"

#include "app/app_context.h"

namespace tavo {

TF_Galerie::TF_Galerie(App& app) : TavoDialog(app, "TF_Galerie", 400, QStringLiteral("Galerie")) {
    setClientSize(400, 609);
}

}  // namespace tavo
