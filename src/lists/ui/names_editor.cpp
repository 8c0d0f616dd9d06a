#include "lists/ui/names_editor.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>

#include "lists/list_files.h"
#include "ui_kit/app.h"
#include "ui_kit/qt_text.h"

namespace tavo {
namespace {

QStringList nameRow(const BotanicalName& n) {
    return {toQString(n.latin), toQString(n.common), toQString(n.english)};
}
BotanicalName rowName(const QStringList& row) {
    return {toUtf8String(row.value(0)), toUtf8String(row.value(1)), toUtf8String(row.value(2))};
}

const FileRows<BotanicalNameListFile, BotanicalName> kNames{
    [](const DataPaths& data) { return BotanicalNameListFile(data); }, &nameRow, &rowName};

const ListWindowSetup kWindow{
    "TF_LIB_NomsArbres",
    1600,
    "Noms botaniques",
    {{"Label1", 1601, "Nom latin", nullptr},
     {"Label2", 1602, "Nom commun", nullptr},
     {"Label3", 1603, "Nom anglais", nullptr}},
    {200, 200, 200},
    {"BtnCreer", 1604, "Créer", "Pour créer une nouvelle ligne"},
    {"BtnModifier", 1605, "Modifier",
     "Pour modifier les informations de la ligne sélectionnée dans la liste"},
    {"BtnSupprimer", 1606, "Supprimer", "Pour supprimer la ligne sélectionnée dans la liste"},
    {"BtnOK", 1607, "OK", "Pour fermer cette fenêtre"},
    false,
    std::nullopt,
    [](const Windows& w) -> ListEntryDialog* { return w.noms2; }};

const ListEntryDialogSetup kDialog{"TF_LIB_NomsArbres2",
                                   1700,
                                   "Noms botaniques",
                                   {{"Label1", 1701, "Nom latin", nullptr},
                                    {"Label2", 1702, "Nom commun", nullptr},
                                    {"Label3", 1703, "Nom anglais", nullptr}},
                                   {"EdtNomLatin", "EdtNomCommun", "EdtNomAnglais"},
                                   100,
                                   {"BtnOK", 1704, "OK", "Pour prendre en compte la manipulation"},
                                   {"Button2", 1705, "Annuler", "Pour annuler et sortir"}};

}  // namespace

TF_LIB_NomsArbres::TF_LIB_NomsArbres(App& app)
    : ListWindow(app, kWindow, kNames),
      Label1(heads_[0]),
      Label2(heads_[1]),
      Label3(heads_[2]),
      BtnOK(close_) {
    setClientSize(724, 406);
    int x = 12;
    for (std::size_t c = 0; c < heads_.size(); ++c) {
        heads_[c]->setGeometry(x + 4, 10, kWindow.columnWidths[c] - 4, 18);
        x += kWindow.columnWidths[c];
    }
    SGrid->setGeometry(12, 30, x - 12 + SGrid->verticalScrollBar()->sizeHint().width() + 4, 364);
    BtnCreer->setGeometry(638, 30, 74, 26);
    BtnModifier->setGeometry(638, 64, 74, 26);
    BtnSupprimer->setGeometry(638, 98, 74, 26);
    BtnOK->setGeometry(638, 368, 74, 26);
}

TF_LIB_NomsArbres2::TF_LIB_NomsArbres2(App& app)
    : ListEntryDialog(app, kDialog, kNames),
      Label1(labels_[0]),
      Label2(labels_[1]),
      Label3(labels_[2]),
      EdtNomLatin(edits_[0]),
      EdtNomCommun(edits_[1]),
      EdtNomAnglais(edits_[2]),
      BtnOK(ok_),
      Button2(cancel_) {
    setClientSize(389, 178);
    for (std::size_t i = 0; i < edits_.size(); ++i) {
        const int y = 16 + 36 * static_cast<int>(i);
        labels_[i]->setGeometry(12, y + 3, 96, 18);
        edits_[i]->setGeometry(112, y, 265, 24);
    }
    BtnOK->setGeometry(196, 136, 85, 28);
    Button2->setGeometry(292, 136, 85, 28);
}

}  // namespace tavo
