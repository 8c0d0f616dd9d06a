#pragma once
// The print dialog of the tree card printout.
#include "app/tavo_dialog.h"

namespace tavo {

class TF_ImprimerFiche : public TavoDialog {
    Q_OBJECT
public:
    explicit TF_ImprimerFiche(App& app);
};

}  // namespace tavo
