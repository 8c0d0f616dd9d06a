#pragma once
// The print dialog of the tree card printout: choice of the printer and of the parts to print.
#include "ui_kit/tavo_dialog.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace tavo {

class TF_ImprimerFiche : public TavoDialog {
    Q_OBJECT
  public:
    explicit TF_ImprimerFiche(App& app);

    // The printer chosen by the last printout; empty until then (the system's default).
    const QString& currentPrinter() const { return currentPrinter_; }

  private:
    void FormActivate() override;

    QLabel* Label1;
    QComboBox* CB_Imprimante;
    QGroupBox* GroupBox1;
    QCheckBox* CB_ImpFiche;
    QCheckBox* CB_ImpTravaux;
    QPushButton* Btn_Imprimer;
    QPushButton* Btn_Annuler;

    void CB_ImpFicheClick();
    void CB_ImpTravauxClick();
    void Btn_ImprimerClick();

    void updatePrintButton(bool nowTicked, const QCheckBox* other);
    QString selectedPrinter() const;
    QString systemPrinter(const QStringList& printers) const;

    QString currentPrinter_;
};

}  // namespace tavo
