#include "photos/photo_editor.h"

#include "app/app_context.h"

namespace tavo {

TF_Photo::TF_Photo(App& app) : TavoDialog(app, "TF_Photo", 500, QStringLiteral("Ajouter une photo")) {
    setClientSize(433, 336);
}

}  // namespace tavo
