#pragma once
// The about box: the program's name, its version and the credits.
#include "ui_kit/tavo_dialog.h"

class QFrame;
class QLabel;
class QPushButton;

namespace tavo {

class TF_APropos : public TavoDialog {
    Q_OBJECT
  public:
    explicit TF_APropos(App& app);

  private:
    void FormActivate() override;

    QFrame* Panel1;
    QLabel* Label1;
    QLabel* L_Version;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label8;
    QLabel* Label6;
    QLabel* Label7;
    QLabel* Label9;
    QPushButton* Button1;
};

}  // namespace tavo
