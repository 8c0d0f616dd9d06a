#pragma once
// The export window: the whole collection into a new or empty folder, as an HTML album, CSV
// tables or a JSON document, with a progress bar and a cancel button.
#include "exchange/ui/exchange_dialog.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace tavo {

class ExportWindow : public ExchangeDialog {
    Q_OBJECT
  public:
    explicit ExportWindow(App& app);

    // The day the album counts the trees' ages to (dd/mm/yyyy); empty: today.
    std::string today;

  private:
    void FormActivate() override;

    QLabel* L_Dossier;
    QLineEdit* E_Dossier;
    QPushButton* B_Parcourir;
    QGroupBox* GB_Format;
    QRadioButton* RB_Html;
    QRadioButton* RB_Csv;
    QRadioButton* RB_Json;
    QProgressBar* PB_Progression;
    QPushButton* B_Exporter;
    QPushButton* B_Annuler;

    void B_ParcourirClick();
    void B_ExporterClick();

    Format format() const;
    AlbumLabels labels() const;
};

}  // namespace tavo
