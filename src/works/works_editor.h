#pragma once
// The works line editor: adds, changes or deletes one works line.
#include "app/tavo_dialog.h"

namespace tavo {

class TF_Ligne : public TavoDialog {
    Q_OBJECT
public:
    explicit TF_Ligne(App& app);
};

}  // namespace tavo
