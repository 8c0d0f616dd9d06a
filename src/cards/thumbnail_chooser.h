#pragma once
// The thumbnail chooser: opens a tree from its reference photo.
#include "app/tavo_dialog.h"

namespace tavo {

class TF_Vignette : public TavoDialog {
    Q_OBJECT
public:
    explicit TF_Vignette(App& app);
};

}  // namespace tavo
