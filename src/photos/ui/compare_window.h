#pragma once
// Then and now: two photos of the open tree compared, side by side at the same height or one
// over the other with a slider. Left and right move the pair one photo back or forward in time.
// The pair can be printed, or saved as one JPEG with the captions drawn under the photos.
#include "photos/growth_timeline.h"
#include "ui_kit/tavo_dialog.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QSlider;

namespace tavo {

class CompareView;

class CompareWindow : public TavoDialog {
    Q_OBJECT
  public:
    explicit CompareWindow(App& app);

    // The timeline the pair belongs to and the pair to show first; set before showing.
    void setPair(Timeline timeline, ComparePair pair);
    ComparePair pair() const { return pair_; }

    // The caption lines of a photo: its date, the tree's age then, its comment.
    QStringList captionOf(const TimelinePhoto& photo) const;
    // The shared picture of the pair as it is saved and printed.
    Image pairPicture() const;

  protected:
    bool FormKeyPress(QKeyEvent* event) override;

  private:
    // Loads the pair's photos and captions.
    void FormActivate() override;

    CompareView* I_Comparaison;
    QLabel* L_Avant;
    QLabel* L_Apres;
    QCheckBox* ChB_Curseur;
    QSlider* SB_Curseur;
    QPushButton* B_Precedente;
    QPushButton* B_Suivante;
    QPushButton* B_Imprimer;
    QPushButton* B_Enregistrer;
    QPushButton* B_Fermer;

    void B_PrecedenteClick();
    void B_SuivanteClick();
    void ChB_CurseurClick();
    void B_ImprimerClick();
    void B_EnregistrerClick();

    void step(int direction);
    // Each caption under its own photo side by side; at the two halves in slider mode.
    void placeCaptions();

    Timeline timeline_;
    ComparePair pair_;
    Image earlier_, later_;
};

}  // namespace tavo
