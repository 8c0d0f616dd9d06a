#pragma once
// The backup window.
#include "app/tavo_dialog.h"

namespace tavo {

class TF_DataSave : public TavoDialog {
    Q_OBJECT
public:
    explicit TF_DataSave(App& app);
};

}  // namespace tavo
