#include "cards/ui/card_properties_window.h"

#include <QLabel>
#include <QPushButton>

#include "cards/card_file.h"
#include "trees/card_properties.h"
#include "ui_kit/app.h"
#include "ui_kit/controls.h"
#include "ui_kit/qt_text.h"

namespace tavo {
TF_ProprietesFiche::TF_ProprietesFiche(App& app)
    : TavoDialog(app, "TF_ProprietesFiche", 600, QStringLiteral("Propriétés")) {
    setClientSize(314, 172);
    Label1 = makeLabel(this, "Label1", 601, QStringLiteral("Date de création de la fiche"),
                       {16, 20, 206, 20});
    Label3 = makeLabel(this, "Label3", 602, QStringLiteral("Lignes de travaux"), {16, 52, 206, 20});
    Label4 = makeLabel(this, "Label4", 603, QStringLiteral("Nombre de photo dans la galerie"),
                       {16, 84, 206, 20});
    L_DatCre = makeLabel(this, "L_DatCre", 0, QString(), {228, 20, 78, 20});
    L_NbLigTra = makeLabel(this, "L_NbLigTra", 0, QString(), {228, 52, 78, 20});
    L_NbPhoto = makeLabel(this, "L_NbPhoto", 0, QString(), {228, 84, 78, 20});
    for (QLabel* value : {L_DatCre, L_NbLigTra, L_NbPhoto}) {
        QFont f = value->font();
        f.setBold(true);
        value->setFont(f);
    }
    Button1 = makeButton(this, "Button1", 604, QStringLiteral("OK"), QString(), {117, 128, 80, 28});
    onClick(Button1, [this] { Button1Click(); });
}

void TF_ProprietesFiche::FormActivate() {
    Session& s = app_.session;
    s.currentCard = readCard(app_.data(), s.openTreeId);
    const CardCounts counts = countCardContents(app_.data(), s.openTreeId);
    // Only once everything is read, so a failure leaves the labels as they were.
    L_DatCre->setText(toQString(s.currentCard.creationDate));
    L_NbLigTra->setText(QString::number(counts.worksLines));
    L_NbPhoto->setText(QString::number(counts.photos));
}

void TF_ProprietesFiche::Button1Click() {
    accept();
}

}  // namespace tavo
