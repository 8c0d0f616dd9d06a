#include "safety/ui/restore_window.h"

#include <QLineEdit>
#include <QPushButton>

#include "safety/backup.h"
#include "safety/restore.h"
#include "safety/ui/folder_action_layout.h"
#include "ui_kit/app.h"
#include "ui_kit/busy_cursor.h"
#include "ui_kit/qt_text.h"

namespace tavo {

TF_DataRestore::TF_DataRestore(App& app)
    : TavoDialog(app, "TF_DataRestore", 1400, QStringLiteral("Restauration des données")) {
    setClientSize(520, 130);
    const FolderActionControls c = buildFolderActionLayout(
        app_, this,
        {.labelTag = 1401,
         .label = QStringLiteral("Sauvegarde à restaurer à partir de :"),
         .pathTag = 0,
         .pathHint = QStringLiteral("Répertoire où est stocké la sauvegarde à restaurer."),
         .browseTag = 1402,
         .browseHint =
             QStringLiteral("Pour indiquer le répertoire où est stocké la sauvegarde à restaurer."),
         .actionName = "btn_Restaurer",
         .actionTag = 1403,
         .actionCaption = QStringLiteral("Restaurer"),
         .actionHint = QStringLiteral("Pour lancer la restauration des données."),
         .cancelName = "Button2",
         .cancelTag = 1404,
         .cancelHint = QStringLiteral("Pour annuler la restauration.")},
        [this] { btn_parcourir1Click(); }, [this] { btn_RestaurerClick(); });
    Label1 = c.label;
    Edit1 = c.path;
    btn_parcourir1 = c.browse;
    btn_Restaurer = c.action;
    Button2 = c.cancel;
    markWriting({btn_Restaurer});
}

void TF_DataRestore::FormActivate() {
    // A folder chosen in an earlier showing must be chosen again before it can be restored.
    Edit1->clear();
    btn_Restaurer->setEnabled(false);
}

void TF_DataRestore::btn_parcourir1Click() {
    const QString chosen =
        app_.ui.browseFolder(this, app_.msg(Msg::ChooseBackupToRestore),
                             toQString(browserStartFolder(restoreSource_).string()));
    if (chosen.isEmpty()) return;
    if (!isValidBackup(DataPaths{toPath(chosen)})) {
        app_.ui.message(this, QString::fromUtf8(kNotABackupText));
        return;
    }
    restoreSource_ = toPath(chosen);
    btn_Restaurer->setEnabled(true);
    Edit1->setText(chosen);
}

void TF_DataRestore::btn_RestaurerClick() {
    if (!app_.writable(this)) return;
    RestoreOutcome outcome;
    {
        BusyCursor busy;
        // A failure reported in the outcome has left the data folder as it was.
        outcome = restoreBackup(DataPaths{restoreSource_}, app_.data());
    }
    finishFolderAction(app_, this, outcome.failure, outcome.message, outcome.succeeded());
}

}  // namespace tavo
