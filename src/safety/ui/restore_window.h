#pragma once
// The restore window: the user picks a backup folder, then the data set of the data folder is
// replaced with the backup's.
#include <filesystem>

#include "ui_kit/tavo_dialog.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace tavo {

class TF_DataRestore : public TavoDialog {
    Q_OBJECT
  public:
    explicit TF_DataRestore(App& app);

    // The last chosen folder that passed the backup check (kept between showings).
    const std::filesystem::path& restoreSource() const { return restoreSource_; }

  private:
    void FormActivate() override;

    QLabel* Label1;
    QLineEdit* Edit1;
    QPushButton* btn_parcourir1;
    QPushButton* btn_Restaurer;
    QPushButton* Button2;

    void btn_parcourir1Click();
    void btn_RestaurerClick();

    std::filesystem::path restoreSource_;
};

}  // namespace tavo
