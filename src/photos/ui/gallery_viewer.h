#pragma once
// The gallery viewer: the open tree's photos as a column of thumbnails, oldest first. The only
// way into the photo editor: "Ajouter" adds a photo, a double click on a thumbnail shows it.
// The thumbnails in view are decoded before the window shows, the rest behind it.
#include <QList>
#include <QStringList>
#include <filesystem>
#include <vector>

#include "ui_kit/session.h"
#include "ui_kit/tavo_dialog.h"

class QFrame;
class QLabel;
class QPushButton;
class QScrollArea;
class QTimer;

namespace tavo {

class TImage;
class TimelineStrip;

class TF_Galerie : public TavoDialog {
    Q_OBJECT
  public:
    explicit TF_Galerie(App& app);

    // The thumbnails of the last activation, in gallery order.
    const QList<TImage*>& thumbnails() const { return thumbnails_; }
    // Decodes at once the thumbnails not yet shown (they fill in behind the window otherwise).
    void completeThumbnails();
    // Number of photo records found at the last activation.
    int photoCount() const { return photoCount_; }

  private:
    // Rebuilds the thumbnails from the gallery file and sets the caption.
    void FormActivate() override;

    QFrame* Panel1;
    QLabel* Label2;
    QScrollArea* ZoneImages;
    QPushButton* B_Ajouter;
    QPushButton* B_Fermer;
    QLabel* L_NomFic;
    // The second view: the photos along a time axis, and the records it could not place.
    QPushButton* B_Frise;
    QPushButton* B_Comparer;
    TimelineStrip* ZoneFrise;
    QLabel* L_SansDate;

    void B_AjouterClick();
    void B_FermerClick();
    // Switches between the thumbnails and the timeline.
    void B_FriseClick();
    // Marks the timeline's current photo to be compared; the second one opens the comparison.
    void B_ComparerClick();
    // Opens the photo editor on the photo whose position starts the thumbnail's hint.
    void ThumbnailDblClick(TImage* thumbnail);

    void showTimeline(bool on);
    void fillTimeline();
    void openTimelinePhoto(std::size_t index);
    void comparePhotos(std::size_t earlier, std::size_t later);
    void freeThumbnails();
    void fillThumbnail(int index);
    void fillVisibleThumbnails();
    void fillSomeThumbnails();
    void reportFailures();
    // Shows the photo editor; closes the viewer after a change, rebuilds it otherwise.
    void runEditor(PhotoEditorMode mode);

    QWidget* zoneContent_;
    QList<TImage*> thumbnails_;
    std::vector<std::filesystem::path> photoPaths_;  // of each thumbnail
    std::vector<bool> filled_;                       // whether each was tried
    QStringList failures_;                           // reasons not yet shown
    QTimer* fillTimer_;
    int photoCount_ = 0;
};

}  // namespace tavo
