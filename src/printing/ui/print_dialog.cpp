#include "printing/ui/print_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>

#include "printing/ui/page_renderer.h"
#include "ui_kit/app.h"
#include "ui_kit/busy_cursor.h"
#include "ui_kit/controls.h"
#include "ui_kit/qt_text.h"

namespace tavo {

TF_ImprimerFiche::TF_ImprimerFiche(App& app)
    : TavoDialog(app, "TF_ImprimerFiche", 700, QStringLiteral("Impression")) {
    setClientSize(224, 226);
    setCloseOnEnter(true);

    Label1 = makeLabel(this, "Label1", 706, QStringLiteral("Imprimante :"), {12, 10, 200, 18});
    CB_Imprimante = makeCombo(this, "CB_Imprimante", 0, QString(), {12, 30, 200, 26});

    GroupBox1 =
        makeGroup(this, "GroupBox1", 703, QStringLiteral("Contenu à imprimer"), {12, 66, 200, 94});
    CB_ImpFiche = makeCheckBox(GroupBox1, "CB_ImpFiche", 704, QStringLiteral("Fiche"), QString(),
                               {16, 26, 170, 22});
    CB_ImpTravaux = makeCheckBox(GroupBox1, "CB_ImpTravaux", 705, QStringLiteral("Travaux"),
                                 QString(), {16, 56, 170, 22});

    Btn_Imprimer = makeButton(this, "Btn_Imprimer", 702, QStringLiteral("Imprimer"), QString(),
                              {18, 180, 90, 30});
    Btn_Imprimer->setEnabled(false);
    Btn_Annuler = makeButton(this, "Btn_Annuler", 701, QStringLiteral("Annuler"), QString(),
                             {116, 180, 90, 30});

    onClick(CB_ImpFiche, [this] { CB_ImpFicheClick(); });
    onClick(CB_ImpTravaux, [this] { CB_ImpTravauxClick(); });
    onClick(Btn_Imprimer, [this] { Btn_ImprimerClick(); });
    connect(Btn_Annuler, &QPushButton::clicked, this, &QDialog::reject);
}

QString TF_ImprimerFiche::systemPrinter(const QStringList& printers) const {
    // Without a default printer set, the first installed one stands in, so that a printer is
    // always chosen once any is installed.
    const QString fallback = app_.ui.defaultPrinter();
    return fallback.isEmpty() && !printers.isEmpty() ? printers.front() : fallback;
}

void TF_ImprimerFiche::FormActivate() {
    CB_Imprimante->clear();
    const QStringList printers = app_.ui.printers();
    CB_Imprimante->addItems(printers);
    // The printer of the last printout stays the current one while it is installed.
    QString current = currentPrinter_;
    if (current.isEmpty() || !printers.contains(current)) current = systemPrinter(printers);
    CB_Imprimante->setCurrentIndex(printers.indexOf(current));
}

void TF_ImprimerFiche::updatePrintButton(bool nowTicked, const QCheckBox* other) {
    Btn_Imprimer->setEnabled(nowTicked || other->isChecked());
}

void TF_ImprimerFiche::CB_ImpFicheClick() {
    updatePrintButton(CB_ImpFiche->isChecked(), CB_ImpTravaux);
}

void TF_ImprimerFiche::CB_ImpTravauxClick() {
    updatePrintButton(CB_ImpTravaux->isChecked(), CB_ImpFiche);
}

QString TF_ImprimerFiche::selectedPrinter() const {
    // Only a listed entry counts: text typed into the field that names no entry selects
    // nothing, so the system's default printer is used.
    const int index = CB_Imprimante->currentIndex();
    if (index >= 0 && CB_Imprimante->currentText() == CB_Imprimante->itemText(index))
        return CB_Imprimante->itemText(index);
    return {};
}

void TF_ImprimerFiche::Btn_ImprimerClick() {
    const QStringList printers = app_.ui.printers();
    if (printers.isEmpty()) {
        app_.ui.message(this, app_.msg(Msg::NoPrinter));
        reject();
        return;
    }
    currentPrinter_ = selectedPrinter();
    const QString target = currentPrinter_.isEmpty() ? systemPrinter(printers) : currentPrinter_;

    const PrintChoice choice{CB_ImpFiche->isChecked(), CB_ImpTravaux->isChecked()};
    if (!choice.card && !choice.works) {
        app_.ui.message(this, app_.msg(Msg::TickCardOrWorks));
        return;
    }

    {
        BusyCursor busy;
        QPrinter printer(QPrinter::HighResolution);
        app_.ui.targetPrinter(printer, target);
        const std::string id = app_.session.openTreeId;
        TreePrintRequest request{app_.data(),
                                 id,
                                 app_.session.currentCard.treeName,
                                 choice,
                                 [this](Msg m) { return toUtf8String(app_.msg(m)); },
                                 QStringLiteral("Tavo %1").arg(toQString(id))};
        printTree(printer, request, &app_.session.currentCard);
        app_.ui.pause(1000);
    }
    accept();
}

}  // namespace tavo
