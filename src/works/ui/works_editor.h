#pragma once
// The works line editor: adds, changes or deletes one works line of the open tree. The main
// window sets the mode ('C' add, '2' change or delete) and the selected line before showing it.
#include "ui_kit/tavo_dialog.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tavo {

struct WorksLine;

class TF_Ligne : public TavoDialog {
    Q_OBJECT
  public:
    explicit TF_Ligne(App& app);

  private:
    void FormActivate() override;

    QLabel* L_DatTra;
    QLabel* L_TypTra;
    QLabel* L_ComTra;
    QLineEdit* E_DatTra;
    QComboBox* ComboBox1;
    QLineEdit* E_LibTra;
    QPushButton* B_Creer;
    QPushButton* B_Modifier;
    QPushButton* B_Supprimer;
    QPushButton* B_Annuler;

    void B_CreerClick();
    void B_ModifierClick();
    void B_SupprimerClick();
    void B_AnnulerClick();

    // The line as typed in the three boxes.
    WorksLine typedLine() const;
    // Msg::InvalidDate when the date box does not hold a valid date.
    bool checkDate();
    void fillTypeList();
};

}  // namespace tavo
