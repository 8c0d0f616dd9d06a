#pragma once
// The properties window of the open tree.
#include "app/tavo_dialog.h"

namespace tavo {

class TF_ProprietesFiche : public TavoDialog {
    Q_OBJECT
public:
    explicit TF_ProprietesFiche(App& app);
};

}  // namespace tavo
