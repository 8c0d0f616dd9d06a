#include "works/ui/works_editor.h"

#include <QComboBox>
#include <QCompleter>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <optional>

#include "common/dates.h"
#include "common/paths.h"
#include "lists/list_files.h"
#include "ui_kit/app.h"
#include "ui_kit/busy_cursor.h"
#include "ui_kit/controls.h"
#include "ui_kit/qt_text.h"
#include "works/works_file.h"

namespace tavo {
TF_Ligne::TF_Ligne(App& app)
    : TavoDialog(app, "TF_Ligne", 200, QStringLiteral("Ajouter une ligne")) {
    setClientSize(703, 191);

    L_DatTra = makeLabel(this, "L_DatTra", 209, QStringLiteral("Date"), {16, 14, 100, 18});
    L_TypTra = makeLabel(this, "L_TypTra", 210, QStringLiteral("Type"), {132, 14, 300, 18});
    L_ComTra = makeLabel(this, "L_ComTra", 208, QStringLiteral("Commentaires"), {16, 72, 300, 18});

    E_DatTra = makeEdit(
        this, "E_DatTra", 206,
        QStringLiteral("Donnée obligatoire - Date de l'intervention : au format jj/mm/aaaa."), 10,
        {16, 34, 100, 26});

    ComboBox1 = makeCombo(
        this, "ComboBox1", 205,
        QStringLiteral("Saisissez un type d'intervention, ou choisissez le dans la liste"),
        {132, 34, 360, 26});
    ComboBox1->lineEdit()->setMaxLength(50);
    // A type typed by hand is kept as typed: no case-blind match recases it to a list entry.
    ComboBox1->completer()->setCaseSensitivity(Qt::CaseSensitive);

    E_LibTra =
        makeEdit(this, "E_LibTra", 207, QStringLiteral("Commentaires - 255 caractères maximum."),
                 255, {16, 92, 671, 26});

    B_Creer =
        makeButton(this, "B_Creer", 202, QStringLiteral("Créer"),
                   QStringLiteral("Pour créer la ligne dans les travaux."), {16, 146, 110, 28});
    B_Modifier = makeButton(this, "B_Modifier", 203, QStringLiteral("Modifier"),
                            QStringLiteral("Pour modifier la ligne."), {136, 146, 110, 28});
    B_Supprimer = makeButton(this, "B_Supprimer", 204, QStringLiteral("Supprimer"),
                             QStringLiteral("Pour supprimer la ligne."), {256, 146, 110, 28});
    B_Annuler = makeButton(this, "B_Annuler", 201, QStringLiteral("Annuler"),
                           QStringLiteral("Annule et ferme la fenêtre."), {577, 146, 110, 28});

    setTabOrder(E_DatTra, ComboBox1);
    setTabOrder(ComboBox1, E_LibTra);
    setTabOrder(E_LibTra, B_Creer);
    setTabOrder(B_Creer, B_Modifier);
    setTabOrder(B_Modifier, B_Supprimer);
    setTabOrder(B_Supprimer, B_Annuler);

    markWriting({B_Creer, B_Modifier, B_Supprimer});
    onClick(B_Creer, [this] { B_CreerClick(); });
    onClick(B_Modifier, [this] { B_ModifierClick(); });
    onClick(B_Supprimer, [this] { B_SupprimerClick(); });
    connect(B_Annuler, &QPushButton::clicked, this, &TF_Ligne::B_AnnulerClick);
}

void TF_Ligne::FormActivate() {
    const Session& s = app_.session;
    E_DatTra->clear();
    ComboBox1->clear();
    ComboBox1->setEditText(QString());
    E_LibTra->clear();

    // A list that cannot be read is reported, and the editor stays usable with an empty list:
    // the type can still be typed by hand.
    app_.guard(this, [this] { fillTypeList(); });

    const bool change = s.worksEditorMode == WorksEditorMode::Change;
    B_Creer->setEnabled(!change);
    B_Modifier->setEnabled(change);
    B_Supprimer->setEnabled(change);
    B_Annuler->setEnabled(true);

    if (change) {
        const WorksLine line = WorksFile(app_.data(), s.openTreeId)
                                   .readLine(static_cast<std::size_t>(s.selectedLine - 1));
        app_.session.previousLineDate = line.date;
        E_DatTra->setText(toQString(line.date));
        ComboBox1->setEditText(toQString(line.type));
        E_LibTra->setText(toQString(line.comment));
    }
    E_DatTra->setFocus();
}

void TF_Ligne::fillTypeList() {
    const auto labels = LabelListFile::interventionTypes(app_.data()).readAll();
    for (const std::string& label : labels) ComboBox1->addItem(toQString(label));
    // Filling the list must not choose an entry: the type box stays as it was.
    ComboBox1->setCurrentIndex(-1);
    ComboBox1->setEditText(QString());
}

WorksLine TF_Ligne::typedLine() const {
    return WorksLine{toUtf8String(E_DatTra->text()), toUtf8String(ComboBox1->currentText()),
                     toUtf8String(E_LibTra->text())};
}

bool TF_Ligne::checkDate() {
    if (isValidDate(toUtf8String(E_DatTra->text()))) return true;
    app_.ui.message(this, app_.msg(Msg::InvalidDate));
    return false;
}

void TF_Ligne::B_CreerClick() {
    if (!app_.writable(this)) return;
    if (!checkDate()) return;
    const Session& s = app_.session;
    WorksFile(app_.data(), s.openTreeId).add(typedLine());
    accept();
}

void TF_Ligne::B_ModifierClick() {
    if (!app_.writable(this)) return;
    // A changed line passes the same date check as a new one: a text that is no date would
    // sort by meaningless character positions.
    if (!checkDate()) return;
    const Session& s = app_.session;
    const WorksLine line = typedLine();
    const WorksFile works(app_.data(), s.openTreeId);
    const auto record = static_cast<std::size_t>(s.selectedLine - 1);
    std::optional<BusyCursor> busy;
    if (line.date != s.previousLineDate) busy.emplace();  // a changed date re-sorts the log
    works.change(record, line, s.previousLineDate);
    busy.reset();
    accept();
}

void TF_Ligne::B_SupprimerClick() {
    if (!app_.writable(this)) return;
    const Session& s = app_.session;
    WorksFile(app_.data(), s.openTreeId).remove(static_cast<std::size_t>(s.selectedLine - 1));
    accept();
}

void TF_Ligne::B_AnnulerClick() {
    reject();
}

}  // namespace tavo
