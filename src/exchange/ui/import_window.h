#pragma once
// The import window: a collection document (collection.json and its photos) becomes a new data
// folder, which the program can then open in place of the current one.
#include "exchange/ui/exchange_dialog.h"

class QLabel;
class QLineEdit;

namespace tavo {

class ImportWindow : public ExchangeDialog {
    Q_OBJECT
  public:
    explicit ImportWindow(App& app);

  private:
    void FormActivate() override;

    QLabel* L_Fichier;
    QLineEdit* E_Fichier;
    QPushButton* B_ParcourirFichier;
    QLabel* L_Dossier;
    QLineEdit* E_Dossier;
    QPushButton* B_ParcourirDossier;
    QProgressBar* PB_Progression;
    QPushButton* B_Importer;
    QPushButton* B_Annuler;

    void B_ParcourirFichierClick();
    void B_ParcourirDossierClick();
    void B_ImporterClick();

    void updateButtons();
    // Makes `folder` the data folder, as starting the program in it would; the main window's
    // activation, once this window closes, reads everything from there.
    void openDataFolder(const std::filesystem::path& folder);
};

}  // namespace tavo
