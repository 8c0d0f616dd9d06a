#pragma once
// The two label list editors, intervention types (Types.LIB) and acquisition states
// (Etats.LIB): one implementation, each twin given its file, texts, Tags and behaviours.
#include "lists/ui/list_window.h"

namespace tavo {

struct LabelListSetup;

class LabelListWindow : public ListWindow {
    Q_OBJECT
  protected:
    LabelListWindow(App& app, const LabelListSetup& setup);

  private:
    QLabel* Label1;
    QPushButton* Btn_OK;
};

class LabelEntryDialog : public ListEntryDialog {
    Q_OBJECT
  protected:
    LabelEntryDialog(App& app, const LabelListSetup& setup);

  private:
    QLabel* Label1;
    QLineEdit* Edit1;
    QPushButton* Btn_OK;
    QPushButton* Btn_Annuler;

    void Btn_OKClick() { carryOut(); }
};

class TF_LIB_TypesIntervention : public LabelListWindow {
    Q_OBJECT
  public:
    explicit TF_LIB_TypesIntervention(App& app);
};

class TF_LIB_TypesIntervention2 : public LabelEntryDialog {
    Q_OBJECT
  public:
    explicit TF_LIB_TypesIntervention2(App& app);
};

class TF_LIB_EtatsAcquisition : public LabelListWindow {
    Q_OBJECT
  public:
    explicit TF_LIB_EtatsAcquisition(App& app);
};

class TF_LIB_EtatsAcquisition2 : public LabelEntryDialog {
    Q_OBJECT
  public:
    explicit TF_LIB_EtatsAcquisition2(App& app);
};

}  // namespace tavo
