#pragma once
// Galerie > Imprimer la croissance: the printer and the photos of the growth sheet (up to 12,
// the latest of each year ticked at first), printed on one page through the card printout's
// printer path.
#include <vector>

#include "photos/growth_timeline.h"
#include "ui_kit/tavo_dialog.h"

class QComboBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace tavo {

class GrowthSheetDialog : public TavoDialog {
    Q_OBJECT
  public:
    explicit GrowthSheetDialog(App& app);

    // The ticked photos, as indices into the timeline's photos, in date order.
    std::vector<std::size_t> chosenPhotos() const;

  private:
    // Lists the printers and the open tree's dated photos, the default choice ticked.
    void FormActivate() override;

    QLabel* Label1;
    QComboBox* CB_Imprimante;
    QLabel* Label2;
    QListWidget* LB_Photos;
    QLabel* L_Compte;
    QPushButton* Btn_Imprimer;
    QPushButton* Btn_Annuler;

    void LB_PhotosItemChanged(QListWidgetItem* item);
    void Btn_ImprimerClick();

    void updateCount();

    Timeline timeline_;
};

}  // namespace tavo
