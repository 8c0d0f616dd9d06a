#pragma once
// The photo editor: adds a photo to the gallery, changes its comment, removes it.
#include "app/tavo_dialog.h"

namespace tavo {

class TF_Photo : public TavoDialog {
    Q_OBJECT
public:
    explicit TF_Photo(App& app);
};

}  // namespace tavo
