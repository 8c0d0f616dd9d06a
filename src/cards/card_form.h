#pragma once
// The tree card form: creates a tree and changes its card.
#include "app/tavo_dialog.h"

namespace tavo {

class TF_Fiche : public TavoDialog {
    Q_OBJECT
public:
    explicit TF_Fiche(App& app);
};

}  // namespace tavo
