// The main window's works commands and the works grid.
#include <QTableWidget>

#include "app/app_context.h"
#include "app/main_window.h"
#include "common/paths.h"
#include "works/works_editor.h"
#include "works/works_file.h"
#include "works/works_grid.h"

namespace tavo {

void TF_Main::B_AjoutLigneTravailClick() {
    app_.guard(this, [this] {
        app_.session.worksEditorMode = 'C';
        if (app_.showModal(app_.windows.ligne) == QDialog::Accepted) RefillWorksGrid(true);
    });
}

void TF_Main::Ligne1Click() {
    B_AjoutLigneTravailClick();
}

void TF_Main::SG_LignesTravauxDblClick() {
    app_.guard(this, [this] {
        // A click on the header selects nothing, so the double click acts on the row selected
        // before it (row 1 while none was ever selected).
        const int current = SG_LignesTravaux->currentRow();
        if (current >= 0) worksGridRow_ = works_grid::gridRow(current);
        Session& s = app_.session;
        s.worksEditorMode = '2';
        s.selectedLine = worksGridRow_;
        const std::size_t lines = WorksFile(DataPaths{s.dataFolder}, s.openTreeId).count();
        if (lines < static_cast<std::size_t>(s.selectedLine)) {
            app_.ui.message(this, app_.msg(12));
            return;
        }
        if (app_.showModal(app_.windows.ligne) == QDialog::Accepted) RefillWorksGrid(true);
    });
}

void TF_Main::RefillWorksGrid(bool reportEmpty) {
    QTableWidget& grid = *SG_LignesTravaux;
    // The grid keeps its rows: lines past the end of the log leave blank rows.
    grid.clearContents();
    const Session& s = app_.session;
    const std::vector<WorksLine> lines = WorksFile(DataPaths{s.dataFolder}, s.openTreeId).readAll();
    if (lines.empty()) {
        if (reportEmpty) app_.ui.message(this, app_.msg(11));
        return;
    }
    int row = 1;
    for (const WorksLine& line : lines) {
        if (row >= works_grid::rowCount(grid)) works_grid::addRow(grid);
        const int at = works_grid::tableRow(row);
        grid.setItem(at, 0, new QTableWidgetItem(qs(line.date)));
        grid.setItem(at, 1, new QTableWidgetItem(qs(line.type)));
        grid.setItem(at, 2, new QTableWidgetItem(qs(line.comment)));
        ++row;
    }
}

}  // namespace tavo
