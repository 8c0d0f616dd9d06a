#pragma once
// The two label list editors (intervention types, acquisition states) and their entry dialogs.
#include "app/tavo_dialog.h"

namespace tavo {

class TF_LIB_TypesIntervention : public TavoDialog {
    Q_OBJECT
public:
    explicit TF_LIB_TypesIntervention(App& app);
};

class TF_LIB_TypesIntervention2 : public TavoDialog {
    Q_OBJECT
public:
    explicit TF_LIB_TypesIntervention2(App& app);
};

class TF_LIB_EtatsAcquisition : public TavoDialog {
    Q_OBJECT
public:
    explicit TF_LIB_EtatsAcquisition(App& app);
};

class TF_LIB_EtatsAcquisition2 : public TavoDialog {
    Q_OBJECT
public:
    explicit TF_LIB_EtatsAcquisition2(App& app);
};

}  // namespace tavo
