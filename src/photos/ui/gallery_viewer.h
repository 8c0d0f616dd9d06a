#pragma once
// The gallery viewer: the open tree's photos as a column of thumbnails, oldest first. The only
// way into the photo editor: "Ajouter" adds a photo, a double click on a thumbnail shows it.
#include <QList>

#include "app/session.h"
#include "app/tavo_dialog.h"

class QFrame;
class QLabel;
class QPushButton;
class QScrollArea;

namespace tavo {

class TImage;

class TF_Galerie : public TavoDialog {
    Q_OBJECT
  public:
    explicit TF_Galerie(App& app);

    // Rebuilds the thumbnails from the gallery file and sets the caption.
    void FormActivate() override;

    QFrame* Panel1;
    QLabel* Label2;
    QScrollArea* ZoneImages;
    QPushButton* B_Ajouter;
    QPushButton* B_Fermer;
    QLabel* L_NomFic;

    // The thumbnails of the last activation, in gallery order.
    const QList<TImage*>& thumbnails() const { return thumbnails_; }
    // Number of photo records found at the last activation.
    int photoCount() const { return photoCount_; }

  public slots:
    void B_AjouterClick();
    void B_FermerClick();
    // Opens the photo editor on the photo whose position starts the thumbnail's hint.
    void ThumbnailDblClick(TImage* thumbnail);

  private:
    void freeThumbnails();
    // Shows the photo editor; closes the viewer after a change, rebuilds it otherwise.
    void runEditor(PhotoEditorMode mode);

    QWidget* zoneContent_;
    QList<TImage*> thumbnails_;
    int photoCount_ = 0;
};

}  // namespace tavo
