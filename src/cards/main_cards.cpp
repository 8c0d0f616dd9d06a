// The main window's card commands: create a tree, change its card, show it.
#include <QDialog>
#include <QLabel>
#include <QPixmap>
#include <QTableWidget>

#include "app/app_context.h"
#include "app/main_window.h"
#include "app/picture_box.h"
#include "cards/card_file.h"
#include "cards/card_form.h"
#include "photos/imaging.h"

namespace tavo {
namespace {

// A new tree has no works line yet: the rows stay, their cells are emptied.
void blankWorksRows(QTableWidget* grid) {
    grid->clearContents();
}

}  // namespace

void TF_Main::CreerFicheClick() {
    app_.session.cardFormMode = 'C';
    if (app_.showModal(app_.windows.fiche) != QDialog::Accepted) return;
    app_.guard(this, [this] {
        onTreeCreated();
        Session& s = app_.session;
        s.currentCard = readCard(DataPaths{s.dataFolder}, s.openTreeId);
        ShowTree();
        SetGridHeads();
        blankWorksRows(SG_LignesTravaux);
    });
}

void TF_Main::B_FicheClick() {
    Session& s = app_.session;
    s.cardFormMode = 'M';
    const std::string shownId = s.openTreeId;
    if (app_.showModal(app_.windows.fiche) != QDialog::Accepted) return;
    app_.guard(this, [&] {
        // "Créer" in the form makes a new tree of the form's content: it is shown as after a
        // creation, so the works grid does not keep the lines of the tree that was open.
        const bool created = s.openTreeId != shownId;
        if (created) onTreeCreated();
        s.currentCard = readCard(DataPaths{s.dataFolder}, s.openTreeId);
        ShowTree();
        if (created) {
            SetGridHeads();
            blankWorksRows(SG_LignesTravaux);
        }
    });
}

void TF_Main::ShowTree() {
    const Session& s = app_.session;
    L_NomArbre->setTextFormat(Qt::PlainText);
    L_NomBotanique->setTextFormat(Qt::PlainText);
    L_NomArbre->setText(qs(s.currentCard.treeName) + QStringLiteral(" (") + qs(s.openTreeId) +
                        QStringLiteral(")"));
    L_NomBotanique->setText(qs(s.currentCard.botanicalName));
    // The previous tree's photo must not stay when this one's cannot be read.
    const Rgb background = backgroundOf(this);
    I_PhotoRef->setPixmap(QPixmap::fromImage(toQImage(framedPicture(Image(), background))));
    const Image photo = loadJpeg(DataPaths{s.dataFolder}.referencePhoto(s.openTreeId));
    I_PhotoRef->setPixmap(QPixmap::fromImage(toQImage(framedPicture(photo, background))));
}

}  // namespace tavo
