#pragma once
// The botanical names editor and its entry dialog.
#include "app/tavo_dialog.h"

namespace tavo {

class TF_LIB_NomsArbres : public TavoDialog {
    Q_OBJECT
public:
    explicit TF_LIB_NomsArbres(App& app);
};

class TF_LIB_NomsArbres2 : public TavoDialog {
    Q_OBJECT
public:
    explicit TF_LIB_NomsArbres2(App& app);
};

}  // namespace tavo
