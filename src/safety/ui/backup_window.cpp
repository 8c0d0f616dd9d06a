#include "safety/ui/backup_window.h"

#include <QLineEdit>
#include <QPushButton>

#include "safety/ui/folder_action_layout.h"
#include "ui_kit/app.h"
#include "ui_kit/busy_cursor.h"
#include "ui_kit/qt_text.h"

namespace tavo {

TF_DataSave::TF_DataSave(App& app)
    : TavoDialog(app, "TF_DataSave", 1300, QStringLiteral("Sauvegarde des données")) {
    setClientSize(520, 130);
    const FolderActionControls c = buildFolderActionLayout(
        app_, this,
        {.labelTag = 1301,
         .label = QStringLiteral("Répertoire de sauvegarde :"),
         .pathTag = 1302,
         .pathHint = QStringLiteral("Répertoire sélectionné pour stocker la sauvegarde."),
         .browseTag = 1303,
         .browseHint = QStringLiteral("Pour indiquer le répertoire où sera stocker la sauvegarde."),
         .actionName = "btn_Sauvegarde",
         .actionTag = 1304,
         .actionCaption = QStringLiteral("Sauvegarder"),
         .actionHint = QStringLiteral("Lancer la sauvegarde."),
         .cancelName = "Button1",
         .cancelTag = 1305,
         .cancelHint = QStringLiteral("Annuler la sauvegarde.")},
        [this] { btn_parcourir1Click(); }, [this] { btn_SauvegardeClick(); });
    Label1 = c.label;
    Edit1 = c.path;
    btn_parcourir1 = c.browse;
    btn_Sauvegarde = c.action;
    Button1 = c.cancel;
}

void TF_DataSave::FormActivate() {
    // The parent folder is remembered; the name is made again at the next choice.
    Edit1->clear();
    btn_Sauvegarde->setEnabled(false);
}

void TF_DataSave::btn_parcourir1Click() {
    // A remembered folder that has since gone is forgotten, so the browser opens on nothing.
    backupParentFolder_ = browserStartFolder(backupParentFolder_);
    const QString chosen = app_.ui.browseFolder(this, app_.msg(Msg::ChooseBackupFolder),
                                                toQString(backupParentFolder_.string()));
    if (chosen.isEmpty()) return;
    backupParentFolder_ = toPath(chosen);
    btn_Sauvegarde->setEnabled(true);
    // The time in the name is the time of the choice, not of the copy.
    backupName_ = tavo::backupName(clock());
    Edit1->setText(toQString((backupParentFolder_ / backupName_).string()));
}

void TF_DataSave::btn_SauvegardeClick() {
    BackupOutcome outcome;
    {
        BusyCursor busy;
        // A folder that cannot be made, or one inside the folders being copied, throws here:
        // the error box shows it and the window stays open.
        outcome = runBackup(
            app_.data(), backupParentFolder_ / backupName_,
            [this](const std::filesystem::path& source, const std::filesystem::path& dest) {
                app_.ui.message(this, toQString(copyNoticeText(source, dest)));
            });
    }
    finishFolderAction(app_, this, outcome.failure, outcome.message, outcome.succeeded());
}

}  // namespace tavo
