#include "safety/backup_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/app_context.h"

namespace tavo {

TF_DataSave::TF_DataSave(App& app)
    : TavoDialog(app, "TF_DataSave", 1300, QStringLiteral("Sauvegarde des données")) {
    setClientSize(520, 130);
    Label1 = new QLabel(QStringLiteral("Répertoire de sauvegarde :"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    setTag(Label1, 1301);
    Label1->setGeometry(16, 12, 320, 20);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    setTag(Edit1, 1302);
    Edit1->setToolTip(QStringLiteral("Répertoire sélectionné pour stocker la sauvegarde."));
    Edit1->setEnabled(false);
    Edit1->setFrame(false);
    Edit1->setGeometry(16, 36, 384, 26);
    btn_parcourir1 = new QPushButton(QStringLiteral("Parcourir..."), this);
    btn_parcourir1->setObjectName(QStringLiteral("btn_parcourir1"));
    setTag(btn_parcourir1, 1303);
    btn_parcourir1->setToolTip(
        QStringLiteral("Pour indiquer le répertoire où sera stocker la sauvegarde."));
    btn_parcourir1->setGeometry(408, 35, 100, 28);
    btn_Sauvegarde = new QPushButton(QStringLiteral("Sauvegarder"), this);
    btn_Sauvegarde->setObjectName(QStringLiteral("btn_Sauvegarde"));
    setTag(btn_Sauvegarde, 1304);
    btn_Sauvegarde->setToolTip(QStringLiteral("Lancer la sauvegarde."));
    btn_Sauvegarde->setEnabled(false);
    btn_Sauvegarde->setGeometry(154, 86, 100, 28);
    Button1 = new QPushButton(QStringLiteral("Annuler"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    setTag(Button1, 1305);
    Button1->setToolTip(QStringLiteral("Annuler la sauvegarde."));
    Button1->setGeometry(266, 86, 100, 28);
    connect(btn_parcourir1, &QPushButton::clicked, this,
            [this] { app_.guard(this, [this] { btn_parcourir1Click(); }); });
    connect(btn_Sauvegarde, &QPushButton::clicked, this,
            [this] { app_.guard(this, [this] { btn_SauvegardeClick(); }); });
    connect(Button1, &QPushButton::clicked, this, &QDialog::reject);
}

void TF_DataSave::FormActivate() {
    // The parent folder is remembered; the name is made again at the next choice.
    Edit1->clear();
    btn_Sauvegarde->setEnabled(false);
}

void TF_DataSave::btn_parcourir1Click() {
    // A remembered folder that has since gone is forgotten, so the browser opens on nothing.
    backupParentFolder_ = safety::browserStartFolder(backupParentFolder_);
    const QString chosen =
        app_.ui.browseFolder(this, app_.msg(14), qs(backupParentFolder_.string()));
    if (chosen.isEmpty()) return;
    backupParentFolder_ = qpath(chosen);
    btn_Sauvegarde->setEnabled(true);
    // The time in the name is the time of the choice, not of the copy.
    backupName_ = safety::backupName(clock());
    Edit1->setText(qs((backupParentFolder_ / backupName_).string()));
}

void TF_DataSave::btn_SauvegardeClick() {
    safety::BackupOutcome outcome;
    {
        BusyCursor busy;
        // A folder that cannot be made, or one inside the folders being copied, throws here:
        // the error box shows it and the window stays open.
        outcome = safety::runBackup(
            app_.dataFolder(), backupParentFolder_ / backupName_,
            [this](const std::filesystem::path& source, const std::filesystem::path& dest) {
                app_.ui.message(this, qs(safety::copyNoticeText(source, dest)));
            });
    }
    // Why the copy failed comes first, then the program's own message.
    if (!outcome.failure.empty()) app_.ui.error(this, qs(outcome.failure));
    app_.ui.message(this, app_.msg(outcome.message));
    if (outcome.succeeded())
        accept();
    else
        reject();
}

}  // namespace tavo
