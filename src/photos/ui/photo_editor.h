#pragma once
// The photo editor: adds a photo to the open tree's gallery (mode "C"), or shows one photo of it
// (any other mode) to change its comment or remove it. Opened by the gallery viewer only.
#include <QString>

#include "ui_kit/tavo_dialog.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tavo {

class TImage;

class TF_Photo : public TavoDialog {
    Q_OBJECT
  public:
    explicit TF_Photo(App& app);

    // True once a readable picture was chosen since the window was shown.
    bool photoChosen() const { return photoChosen_; }
    // The file last chosen in the picture dialog.
    const QString& chosenPicture() const { return chosenPicture_; }

  private:
    void FormActivate() override;

    QGroupBox* GB_Photo;
    TImage* I_Photo;
    QPushButton* B_Parcourir;
    QLabel* L_NomFic;
    QLabel* L_Resolution;
    QGroupBox* GB_Signalement;
    QLabel* L_Date;
    QLineEdit* E_DatPhoto;
    QLabel* L_Comment;
    QLineEdit* E_Comment;
    QPushButton* B_Ajouter;
    QPushButton* B_Modifier;
    QPushButton* B_Supprimer;
    QPushButton* B_Fermer;

    void B_ParcourirClick();
    void B_AjouterClick();
    void B_ModifierClick();
    void B_SupprimerClick();
    void B_FermerClick();

    // Shows the framed preview of a JPEG file; the empty frame stays when it cannot be read.
    void showPreview(const QString& path);

    bool photoChosen_ = false;
    QString chosenPicture_;
};

}  // namespace tavo
