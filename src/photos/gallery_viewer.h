#pragma once
// The gallery viewer: a column of the open tree's photos.
#include "app/tavo_dialog.h"

namespace tavo {

class TF_Galerie : public TavoDialog {
    Q_OBJECT
public:
    explicit TF_Galerie(App& app);
};

}  // namespace tavo
