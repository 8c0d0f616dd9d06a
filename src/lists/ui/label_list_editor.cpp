#include "lists/ui/label_list_editor.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>

#include "lists/list_files.h"
#include "ui_kit/app.h"
#include "ui_kit/qt_text.h"

namespace tavo {

struct LabelListSetup {
    ListWindowSetup window;
    ListEntryDialogSetup dialog;
    FileRows<LabelListFile, std::string> rows;
};

namespace {

QStringList labelRow(const std::string& label) {
    return {toQString(label)};
}
std::string rowLabel(const QStringList& row) {
    return toUtf8String(row.value(0));
}

const char* const kCloseHint = "Pour fermer cette fenêtre";
const char* const kCancelHint = "Pour annuler et sortir";
const char* const kOkHint = "Pour prendre en compte la manipulation sur le libellé";

const LabelListSetup kInterventionTypes{
    {"TF_LIB_TypesIntervention",
     900,
     "Types d'Intervention",
     {{"Label1", 905, "Liste des types d'intervention", nullptr}},
     {170},
     {"BtnCreer", 902, "Créer", "Pour créer un nouveau type d'intervention"},
     {"BtnModifier", 903, "Modifier",
      "Pour modifier le type d'intervention sélectionné dans la liste"},
     {"BtnSupprimer", 904, "Supprimer",
      "Pour supprimer le type d'intervention sélectionné dans la liste"},
     {"Btn_OK", 901, "OK", kCloseHint},
     true,
     Msg::Change,
     [](const Windows& w) -> ListEntryDialog* { return w.types2; }},
    {"TF_LIB_TypesIntervention2",
     1000,
     "Types d'Intervention",
     {{"Label1", 1003, "Libellé", nullptr}},
     {"Edit1"},
     50,
     {"Btn_OK", 1002, "OK", kOkHint},
     {"Btn_Annuler", 1001, "Annuler", kCancelHint}},
    {&LabelListFile::interventionTypes, &labelRow, &rowLabel}};

const LabelListSetup kAcquisitionStates{
    {"TF_LIB_EtatsAcquisition",
     1100,
     "Etats à l'acquision",
     {{"Label1", 1101, "Liste des Etats à l'acquisition", nullptr}},
     {200},
     {"BtnCreer", 1102, "Créer", "Pour créer un nouvel état"},
     {"BtnModifier", 1103, "Modifier", "Pour modifier l'état sélectionné dans la liste"},
     {"BtnSupprimer", 1104, "Supprimer", "Pour supprimer l'état sélectionné dans la liste"},
     {"Btn_OK", 1105, "OK", kCloseHint},
     false,
     std::nullopt,
     [](const Windows& w) -> ListEntryDialog* { return w.etats2; }},
    {"TF_LIB_EtatsAcquisition2",
     1200,
     "Etats à l'acquisition",
     {{"Label1", 1201, "Libellé", nullptr}},
     {"Edit1"},
     50,
     {"Btn_OK", 1203, "OK", kOkHint},
     {"Btn_Annuler", 1204, "Annuler", kCancelHint}},
    {&LabelListFile::acquisitionStates, &labelRow, &rowLabel}};

}  // namespace

LabelListWindow::LabelListWindow(App& app, const LabelListSetup& setup)
    : ListWindow(app, setup.window, setup.rows), Label1(heads_[0]), Btn_OK(close_) {
    setClientSize(310, 327);
    Label1->setGeometry(12, 10, 286, 18);
    // The grid hugs its one column and the vertical scroll bar.
    const int gridWidth =
        setup.window.columnWidths[0] + SGrid->verticalScrollBar()->sizeHint().width() + 4;
    SGrid->setGeometry(12, 32, gridWidth, 248);
    BtnCreer->setGeometry(12, 290, 68, 26);
    BtnModifier->setGeometry(84, 290, 68, 26);
    BtnSupprimer->setGeometry(156, 290, 72, 26);
    Btn_OK->setGeometry(238, 290, 60, 26);
}

LabelEntryDialog::LabelEntryDialog(App& app, const LabelListSetup& setup)
    : ListEntryDialog(app, setup.dialog, setup.rows),
      Label1(labels_[0]),
      Edit1(edits_[0]),
      Btn_OK(ok_),
      Btn_Annuler(cancel_) {
    setClientSize(283, 123);
    Label1->setGeometry(12, 14, 259, 18);
    Edit1->setGeometry(12, 36, 259, 24);
    Btn_OK->setGeometry(100, 82, 80, 28);
    Btn_Annuler->setGeometry(191, 82, 80, 28);
}

TF_LIB_TypesIntervention::TF_LIB_TypesIntervention(App& app)
    : LabelListWindow(app, kInterventionTypes) {}
TF_LIB_TypesIntervention2::TF_LIB_TypesIntervention2(App& app)
    : LabelEntryDialog(app, kInterventionTypes) {}
TF_LIB_EtatsAcquisition::TF_LIB_EtatsAcquisition(App& app)
    : LabelListWindow(app, kAcquisitionStates) {}
TF_LIB_EtatsAcquisition2::TF_LIB_EtatsAcquisition2(App& app)
    : LabelEntryDialog(app, kAcquisitionStates) {}

}  // namespace tavo
