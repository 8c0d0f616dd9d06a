#pragma once
// The checker window: checks the data folder at each showing and lists its problems in plain
// words; "Réparer" mends what is safe after a backup into a folder the user picks.
#include <QString>
#include <vector>

#include "safety/integrity_check.h"
#include "ui_kit/tavo_dialog.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace tavo {

class CheckWindow : public TavoDialog {
    Q_OBJECT
  public:
    explicit CheckWindow(App& app);

    // True once a repair changed the data folder in this showing.
    bool repaired() const { return repaired_; }

  private:
    void FormActivate() override;

    QLabel* L_Resume;
    QListWidget* LB_Problemes;
    QPushButton* B_Reparer;
    QPushButton* B_Fermer;

    void B_ReparerClick();

    // One line of the list: what is wrong in the interface language, where, and the detail.
    QString describe(const Problem& problem);
    void showProblems(const std::vector<Problem>& problems);
    bool repaired_ = false;
};

}  // namespace tavo
