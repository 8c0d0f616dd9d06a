#include "translation/ui/language_chooser.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include <filesystem>

#include "ui_kit/app.h"
#include "ui_kit/controls.h"
#include "ui_kit/qt_text.h"
#include "ui_kit/translator.h"

namespace tavo {

TF_ChoixLangue::TF_ChoixLangue(App& app)
    : TavoDialog(app, "TF_ChoixLangue", 1500, QStringLiteral("Choix de la langue")) {
    setClientSize(300, 130);
    setCloseOnEnter(true);
    Label1 = makeLabel(this, "Label1", 1501, QStringLiteral("Choisissez la langue de l'interface"),
                       {16, 14, 268, 20});
    CB_ListeLangues = makeCombo(this, "CB_ListeLangues", 0, QString(), {16, 40, 268, 26});
    Btn_Traduire = makeButton(this, "Btn_Traduire", 1502, QStringLiteral("Traduire"),
                              QStringLiteral("Lance la traduction de l'interface du logiciel."),
                              {56, 86, 100, 28});
    Btn_Annuler = makeButton(this, "Btn_Annuler", 1503, QStringLiteral("Annuler"),
                             QStringLiteral("Ferme la fenêtre."), {166, 86, 100, 28});
    onClick(Btn_Traduire, [this] { Btn_TraduireClick(); });
    connect(Btn_Annuler, &QPushButton::clicked, this, &QDialog::reject);
}

void TF_ChoixLangue::FormActivate() {
    CB_ListeLangues->clear();
    std::error_code ec;
    std::filesystem::directory_iterator it(app_.session.dataFolder, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() < 4 || name.compare(name.size() - 4, 4, ".lng") != 0) continue;
        const QString entry = toQString(name.substr(0, name.size() - 4));
        CB_ListeLangues->addItem(entry);
        if (entry == toQString(app_.session.languageName))
            CB_ListeLangues->setCurrentIndex(CB_ListeLangues->count() - 1);
    }
    if (CB_ListeLangues->findText(toQString(app_.session.languageName),
                                  Qt::MatchExactly | Qt::MatchCaseSensitive) < 0)
        CB_ListeLangues->setCurrentIndex(-1);
}

void TF_ChoixLangue::Btn_TraduireClick() {
    // Only a listed entry counts; text typed into the field that names no entry is ignored,
    // so the interface never switches to a language file that does not exist.
    const int index = CB_ListeLangues->currentIndex();
    if (index < 0 || CB_ListeLangues->currentText() != CB_ListeLangues->itemText(index)) return;
    const QString chosen = CB_ListeLangues->itemText(index);
    if (chosen != toQString(app_.session.languageName)) {
        app_.session.languageName = toUtf8String(chosen);
        app_.translator->SetPathFiles(toQString(app_.session.dataFolder.string()));
        app_.translator->SetLanguageFile(chosen + QStringLiteral(".lng"));
        app_.translator->Translate();
        emit app_.events.languageChanged();
    }
    accept();
}

}  // namespace tavo
