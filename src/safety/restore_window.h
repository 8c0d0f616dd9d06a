#pragma once
// The restore window.
#include "app/tavo_dialog.h"

namespace tavo {

class TF_DataRestore : public TavoDialog {
    Q_OBJECT
public:
    explicit TF_DataRestore(App& app);
};

}  // namespace tavo
