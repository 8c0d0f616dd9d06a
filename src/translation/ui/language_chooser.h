#pragma once
// The language chooser: lists the language files of the data folder and applies the chosen one
// to every window at once.
#include "ui_kit/tavo_dialog.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace tavo {

class TF_ChoixLangue : public TavoDialog {
    Q_OBJECT
  public:
    explicit TF_ChoixLangue(App& app);

  private:
    void FormActivate() override;

    QLabel* Label1;
    QComboBox* CB_ListeLangues;
    QPushButton* Btn_Traduire;
    QPushButton* Btn_Annuler;

    void Btn_TraduireClick();
};

}  // namespace tavo
