#pragma once
// The botanical names editor (NomsA.LIB: Latin, common and English names) and its entry
// dialog, built on the same list window as the label lists, with three columns.
#include "lists/ui/list_window.h"

namespace tavo {

class TF_LIB_NomsArbres : public ListWindow {
    Q_OBJECT
  public:
    explicit TF_LIB_NomsArbres(App& app);

  private:
    QLabel* Label1;  // column heads above the grid
    QLabel* Label2;
    QLabel* Label3;
    QPushButton* BtnOK;
};

class TF_LIB_NomsArbres2 : public ListEntryDialog {
    Q_OBJECT
  public:
    explicit TF_LIB_NomsArbres2(App& app);

  private:
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLineEdit* EdtNomLatin;
    QLineEdit* EdtNomCommun;
    QLineEdit* EdtNomAnglais;
    QPushButton* BtnOK;
    QPushButton* Button2;

    void BtnOKClick() { carryOut(); }
};

}  // namespace tavo
