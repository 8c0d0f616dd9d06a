#include "cards/ui/card_commands.h"

#include <QDialog>

#include "cards/card_file.h"
#include "cards/ui/card_form.h"
#include "cards/ui/card_properties_window.h"
#include "cards/ui/thumbnail_chooser.h"
#include "trees/tree_deletion.h"
#include "ui_kit/app.h"
#include "ui_kit/qt_text.h"

namespace tavo {

void CardCommands::create() {
    if (!app_.writable()) return;
    app_.session.cardFormMode = CardFormMode::Create;
    if (app_.showModal(app_.windows.fiche) != QDialog::Accepted) return;
    Session& s = app_.session;
    app_.treeView->treeCreated();
    s.currentCard = readCard(app_.data(), s.openTreeId);
    app_.treeView->showTree();
    // A new tree has no works line yet.
    app_.treeView->blankWorks();
    emit app_.events.treeChanged();
}

void CardCommands::showCard() {
    Session& s = app_.session;
    s.cardFormMode = CardFormMode::Modify;
    const std::string shownId = s.openTreeId;
    if (app_.showModal(app_.windows.fiche) != QDialog::Accepted) return;
    // "Créer" in the form makes a new tree of the form's content: it is shown as after a
    // creation, so the works grid does not keep the lines of the tree that was open.
    const bool created = s.openTreeId != shownId;
    if (created) app_.treeView->treeCreated();
    s.currentCard = readCard(app_.data(), s.openTreeId);
    app_.treeView->showTree();
    if (created) app_.treeView->blankWorks();
    emit app_.events.treeChanged();
}

void CardCommands::open() {
    if (app_.showModal(app_.windows.vignette) != QDialog::Accepted) return;
    openTree(app_.session.openTreeId);
}

void CardCommands::openTree(const std::string& id) {
    Session& s = app_.session;
    s.openTreeId = id;
    // Panels and commands come first: a card or works file that cannot be read is reported
    // with the tree already shown as open.
    app_.treeView->treeOpened();
    try {
        s.currentCard = readCard(app_.data(), s.openTreeId);
    } catch (const std::exception&) {
        // Nothing of the tree shown before stays on screen under the new tree's identifier.
        s.currentCard = TreeCard{};
        app_.treeView->blankWorks();
        try {
            app_.treeView->showTree();
        } catch (const std::exception&) {  // the card's error is the one to report
        }
        throw;
    }
    app_.treeView->showTree();
    app_.treeView->refillWorks(false);
}

void CardCommands::remove(QWidget* parent) {
    if (!app_.writable(parent)) return;
    if (!app_.ui.question(parent, app_.msg(Msg::ConfirmTreeDeletion))) return;
    // The deletion reads the gallery before it deletes anything: when it throws, the tree is
    // whole and stays shown, and the guard shows the error.
    const TreeDeletionResult result = deleteTree(app_.data(), app_.session.openTreeId);
    app_.treeView->treeDeleted(result.cardCounter);
    emit app_.events.treeChanged();
    // The tree is gone; only the counter could not follow.
    if (!result.counterFailure.empty()) app_.ui.error(parent, toQString(result.counterFailure));
}

void CardCommands::showProperties() {
    app_.showModal(app_.windows.proprietes);
}

}  // namespace tavo
