#include "works/ui/works_commands.h"

#include <QDialog>

#include "ui_kit/app.h"
#include "works/ui/works_editor.h"
#include "works/works_file.h"

namespace tavo {

void WorksCommands::addLine() {
    if (!app_.writable()) return;
    app_.session.worksEditorMode = WorksEditorMode::Create;
    if (app_.showModal(app_.windows.ligne) != QDialog::Accepted) return;
    app_.treeView->refillWorks(true);
    emit app_.events.treeChanged();
}

void WorksCommands::changeLine(QWidget* parent, int line) {
    if (!app_.writable(parent)) return;
    Session& s = app_.session;
    s.worksEditorMode = WorksEditorMode::Change;
    s.selectedLine = line;
    const std::size_t lines = WorksFile(app_.data(), s.openTreeId).count();
    if (lines < static_cast<std::size_t>(s.selectedLine)) {
        app_.ui.message(parent, app_.msg(Msg::EmptyGridRow));
        return;
    }
    if (app_.showModal(app_.windows.ligne) != QDialog::Accepted) return;
    app_.treeView->refillWorks(true);
    emit app_.events.treeChanged();
}

}  // namespace tavo
