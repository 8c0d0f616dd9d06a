#include "safety/restore_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/app_context.h"
#include "safety/backup.h"
#include "safety/restore.h"

namespace tavo {

TF_DataRestore::TF_DataRestore(App& app)
    : TavoDialog(app, "TF_DataRestore", 1400, QStringLiteral("Restauration des données")) {
    setClientSize(520, 130);
    Label1 = new QLabel(QStringLiteral("Sauvegarde à restaurer à partir de :"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    setTag(Label1, 1401);
    Label1->setGeometry(16, 12, 320, 20);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setToolTip(QStringLiteral("Répertoire où est stocké la sauvegarde à restaurer."));
    Edit1->setEnabled(false);
    Edit1->setFrame(false);
    Edit1->setGeometry(16, 36, 384, 26);
    btn_parcourir1 = new QPushButton(QStringLiteral("Parcourir..."), this);
    btn_parcourir1->setObjectName(QStringLiteral("btn_parcourir1"));
    setTag(btn_parcourir1, 1402);
    btn_parcourir1->setToolTip(
        QStringLiteral("Pour indiquer le répertoire où est stocké la sauvegarde à restaurer."));
    btn_parcourir1->setGeometry(408, 35, 100, 28);
    btn_Restaurer = new QPushButton(QStringLiteral("Restaurer"), this);
    btn_Restaurer->setObjectName(QStringLiteral("btn_Restaurer"));
    setTag(btn_Restaurer, 1403);
    btn_Restaurer->setToolTip(QStringLiteral("Pour lancer la restauration des données."));
    btn_Restaurer->setEnabled(false);
    btn_Restaurer->setGeometry(154, 86, 100, 28);
    Button2 = new QPushButton(QStringLiteral("Annuler"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    setTag(Button2, 1404);
    Button2->setToolTip(QStringLiteral("Pour annuler la restauration."));
    Button2->setGeometry(266, 86, 100, 28);
    connect(btn_parcourir1, &QPushButton::clicked, this,
            [this] { app_.guard(this, [this] { btn_parcourir1Click(); }); });
    connect(btn_Restaurer, &QPushButton::clicked, this,
            [this] { app_.guard(this, [this] { btn_RestaurerClick(); }); });
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

void TF_DataRestore::FormActivate() {
    // A folder chosen in an earlier showing must be chosen again before it can be restored.
    Edit1->clear();
    btn_Restaurer->setEnabled(false);
}

void TF_DataRestore::btn_parcourir1Click() {
    const QString chosen = app_.ui.browseFolder(
        this, app_.msg(50), qs(safety::browserStartFolder(restoreSource_).string()));
    if (chosen.isEmpty()) return;
    if (!safety::isValidBackup(qpath(chosen))) {
        app_.ui.message(this, QString::fromUtf8(safety::kNotABackupText));
        return;
    }
    restoreSource_ = qpath(chosen);
    btn_Restaurer->setEnabled(true);
    Edit1->setText(chosen);
}

void TF_DataRestore::btn_RestaurerClick() {
    safety::RestoreOutcome outcome;
    {
        BusyCursor busy;
        // A failure reported in the outcome has left the data folder as it was.
        outcome = safety::restoreBackup(restoreSource_, app_.dataFolder());
    }
    if (!outcome.failure.empty()) app_.ui.error(this, qs(outcome.failure));
    app_.ui.message(this, app_.msg(outcome.message));
    if (outcome.succeeded())
        accept();
    else
        reject();
}

}  // namespace tavo
