#pragma once
// The properties window of the open tree: when its card was created, how many works lines and
// gallery photos it has. It only reads.
#include "ui_kit/tavo_dialog.h"

class QLabel;
class QPushButton;

namespace tavo {

class TF_ProprietesFiche : public TavoDialog {
    Q_OBJECT
  public:
    explicit TF_ProprietesFiche(App& app);

  private:
    // Reads the card and counts the works file and gallery afresh at every showing.
    void FormActivate() override;

    QLabel* Label1;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* L_DatCre;
    QLabel* L_NbLigTra;
    QLabel* L_NbPhoto;
    QPushButton* Button1;

    void Button1Click();
};

}  // namespace tavo
