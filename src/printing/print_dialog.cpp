#include "printing/print_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>

#include "app/app_context.h"
#include "printing/page_renderer.h"

namespace tavo {

namespace {
template <typename T>
T* named(T* widget, const char* name, int tag = 0) {
    widget->setObjectName(QString::fromLatin1(name));
    if (tag != 0) setTag(widget, tag);
    return widget;
}
}  // namespace

TF_ImprimerFiche::TF_ImprimerFiche(App& app)
    : TavoDialog(app, "TF_ImprimerFiche", 700, QStringLiteral("Impression")) {
    setClientSize(224, 226);
    setCloseOnEnter(true);

    Label1 = named(new QLabel(QStringLiteral("Imprimante :"), this), "Label1", 706);
    Label1->setGeometry(12, 10, 200, 18);
    CB_Imprimante = named(new QComboBox(this), "CB_Imprimante");
    CB_Imprimante->setEditable(true);
    CB_Imprimante->setInsertPolicy(QComboBox::NoInsert);
    CB_Imprimante->setGeometry(12, 30, 200, 26);

    GroupBox1 = named(new QGroupBox(QStringLiteral("Contenu à imprimer"), this), "GroupBox1", 703);
    GroupBox1->setGeometry(12, 66, 200, 94);
    CB_ImpFiche = named(new QCheckBox(QStringLiteral("Fiche"), GroupBox1), "CB_ImpFiche", 704);
    CB_ImpFiche->setGeometry(16, 26, 170, 22);
    CB_ImpTravaux =
        named(new QCheckBox(QStringLiteral("Travaux"), GroupBox1), "CB_ImpTravaux", 705);
    CB_ImpTravaux->setGeometry(16, 56, 170, 22);

    Btn_Imprimer = named(new QPushButton(QStringLiteral("Imprimer"), this), "Btn_Imprimer", 702);
    Btn_Imprimer->setGeometry(18, 180, 90, 30);
    Btn_Imprimer->setEnabled(false);
    Btn_Annuler = named(new QPushButton(QStringLiteral("Annuler"), this), "Btn_Annuler", 701);
    Btn_Annuler->setGeometry(116, 180, 90, 30);

    connect(CB_ImpFiche, &QCheckBox::clicked, this,
            [this] { app_.guard(this, [this] { CB_ImpFicheClick(); }); });
    connect(CB_ImpTravaux, &QCheckBox::clicked, this,
            [this] { app_.guard(this, [this] { CB_ImpTravauxClick(); }); });
    connect(Btn_Imprimer, &QPushButton::clicked, this,
            [this] { app_.guard(this, [this] { Btn_ImprimerClick(); }); });
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
        app_.ui.message(this, app_.msg(29));
        reject();
        return;
    }
    currentPrinter_ = selectedPrinter();
    const QString target = currentPrinter_.isEmpty() ? systemPrinter(printers) : currentPrinter_;

    const PrintChoice choice{CB_ImpFiche->isChecked(), CB_ImpTravaux->isChecked()};
    if (!choice.card && !choice.works) {
        app_.ui.message(this, app_.msg(30));
        return;
    }

    {
        BusyCursor busy;
        QPrinter printer(QPrinter::HighResolution);
        app_.ui.targetPrinter(printer, target);
        const std::string id = app_.session.openTreeId;
        TreePrintRequest request{DataPaths{app_.dataFolder()}, id, choice,
                                 [this](int n) { return ss(app_.msg(n)); },
                                 QStringLiteral("Tavo %1").arg(qs(id))};
        printTree(printer, request, &app_.session.currentCard);
        app_.ui.pause(1000);
    }
    accept();
}

}  // namespace tavo
