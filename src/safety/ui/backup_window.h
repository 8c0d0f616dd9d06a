#pragma once
// The backup window: the user picks a parent folder, then the data set is copied into a dated
// backup folder inside it.
#include <filesystem>
#include <string>

#include "safety/backup.h"
#include "ui_kit/tavo_dialog.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace tavo {

class TF_DataSave : public TavoDialog {
    Q_OBJECT
  public:
    explicit TF_DataSave(App& app);

    // Where the time in the backup name comes from; tests set a fixed one.
    Clock clock = localNow;

    // The parent folder last chosen (kept between showings) and the name made at that choice.
    const std::filesystem::path& backupParentFolder() const { return backupParentFolder_; }
    const std::string& backupName() const { return backupName_; }

  private:
    void FormActivate() override;

    QLabel* Label1;
    QLineEdit* Edit1;
    QPushButton* btn_parcourir1;
    QPushButton* btn_Sauvegarde;
    QPushButton* Button1;

    void btn_parcourir1Click();
    void btn_SauvegardeClick();

    std::filesystem::path backupParentFolder_;
    std::string backupName_;
};

}  // namespace tavo
