#include "exchange/ui/import_window.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include "startup/settings.h"
#include "ui_kit/app.h"
#include "ui_kit/controls.h"
#include "ui_kit/qt_text.h"

namespace tavo {

namespace fs = std::filesystem;

ImportWindow::ImportWindow(App& app)
    : ExchangeDialog(app, "ImportWindow", 1920, QStringLiteral("Importer une collection")) {
    setClientSize(560, 220);
    L_Fichier =
        makeLabel(this, "L_Fichier", 1921,
                  QStringLiteral("Document à importer (collection.json) :"), {16, 12, 528, 20});
    // The document is chosen with the browser only, so it always names an existing file.
    E_Fichier = makeEdit(this, "E_Fichier", 1922, QString(), 0, {16, 36, 412, 26});
    E_Fichier->setReadOnly(true);
    B_ParcourirFichier = makeButton(this, "B_ParcourirFichier", 1923,
                                    QStringLiteral("Parcourir..."), QString(), {436, 35, 108, 28});
    L_Dossier = makeLabel(this, "L_Dossier", 1924,
                          QStringLiteral("Nouveau dossier de données (nouveau ou vide) :"),
                          {16, 74, 528, 20});
    E_Dossier = makeEdit(this, "E_Dossier", 1925, QString(), 0, {16, 98, 412, 26});
    B_ParcourirDossier = makeButton(this, "B_ParcourirDossier", 1926,
                                    QStringLiteral("Parcourir..."), QString(), {436, 97, 108, 28});
    PB_Progression =
        placeControl(new QProgressBar(this), "PB_Progression", 0, QString(), {16, 142, 528, 18});
    B_Importer = makeButton(this, "B_Importer", 1927, QStringLiteral("Importer"), QString(),
                            {166, 176, 110, 30});
    B_Annuler = makeButton(this, "B_Annuler", 1928, QStringLiteral("Annuler"), QString(),
                           {284, 176, 110, 30});
    progressBar_ = PB_Progression;
    cancelButton_ = B_Annuler;
    inputs_ = {B_ParcourirFichier, E_Dossier, B_ParcourirDossier, B_Importer};
    setTabOrder(B_ParcourirFichier, E_Dossier);
    setTabOrder(E_Dossier, B_ParcourirDossier);
    setTabOrder(B_ParcourirDossier, B_Importer);
    setTabOrder(B_Importer, B_Annuler);
    E_Fichier->setFocusPolicy(Qt::NoFocus);

    connect(E_Dossier, &QLineEdit::textChanged, this, [this] { updateButtons(); });
    connect(E_Dossier, &QLineEdit::returnPressed, B_Importer, &QPushButton::click);
    onClick(B_ParcourirFichier, [this] { B_ParcourirFichierClick(); });
    onClick(B_ParcourirDossier, [this] { B_ParcourirDossierClick(); });
    onClick(B_Importer, [this] { B_ImporterClick(); });
    connect(B_Annuler, &QPushButton::clicked, this, &ImportWindow::reject);
}

void ImportWindow::FormActivate() {
    E_Fichier->clear();
    E_Dossier->clear();
    PB_Progression->setRange(0, 1);
    PB_Progression->setValue(0);
    updateButtons();
    B_ParcourirFichier->setFocus();
}

void ImportWindow::updateButtons() {
    B_Importer->setEnabled(!E_Fichier->text().isEmpty() && !E_Dossier->text().trimmed().isEmpty());
}

void ImportWindow::B_ParcourirFichierClick() {
    const QString start =
        E_Fichier->text().isEmpty() ? QString() : QFileInfo(E_Fichier->text()).absolutePath();
    const QString chosen =
        app_.ui.openFile(this, app_.msg(Msg::ChooseImportDocument), start,
                         app_.msg(Msg::JsonDocuments) + QStringLiteral(" (*.json)"));
    if (chosen.isEmpty()) return;
    E_Fichier->setText(chosen);
    updateButtons();
}

void ImportWindow::B_ParcourirDossierClick() {
    const QString chosen =
        app_.ui.browseFolder(this, app_.msg(Msg::ChooseNewDataFolder), E_Dossier->text().trimmed());
    if (!chosen.isEmpty()) E_Dossier->setText(chosen);
}

void ImportWindow::B_ImporterClick() {
    const fs::path into = folderOf(E_Dossier->text());
    if (into.empty() || !acceptsFolder(into)) return;
    ImportResult result;
    try {
        Run run(*this);
        result = importCollection(toPath(E_Fichier->text()), into, progress());
    } catch (const ImportRefused& e) {
        // The core names the first faulty place of the document: the user can find it there.
        app_.ui.error(
            this, app_.msg(Msg::CannotImport) + QStringLiteral("\n") + QString::fromUtf8(e.what()));
        return;
    }
    if (result.cancelled) {
        PB_Progression->setValue(0);
        app_.ui.message(this, app_.msg(Msg::ImportCancelled).arg(toQString(into)));
        return;
    }
    // Without its language files, help pages and default picture the program could not work
    // in the new folder, now or at a later start there.
    addProgramFiles(app_.data(), DataPaths{into});
    const QString done =
        app_.msg(Msg::Imported).arg(toQString(into)).arg(result.trees).arg(result.photos);
    if (app_.ui.question(this, done + QStringLiteral("\n\n") + app_.msg(Msg::OpenImportedFolder)))
        openDataFolder(into);
    accept();
}

void ImportWindow::openDataFolder(const fs::path& folder) {
    Session& s = app_.session;
    // Leaving a data folder keeps its language, as the end of the program does.
    app_.guard(this, [&] { settings::writeLanguageName(app_.data(), s.languageName); });
    if (!QDir::setCurrent(toQString(folder))) {
        app_.ui.warning(this, QStringLiteral("Tavo"), app_.msg(Msg::DataFolderNotCurrent));
        return;
    }
    s.dataFolder = folder;
    s.openTreeId.clear();
    s.currentCard = TreeCard{};
    if (app_.treeView) app_.treeView->treeClosed();
    emit app_.events.treeChanged();
}

}  // namespace tavo
