#pragma once
// "À faire": what the keeper's own works log says is due or soon across the whole collection,
// and what was done in this calendar month in earlier years. A row opens its tree; the
// expected interventions can be exported as a calendar file for the desktop's calendar.
#include <functional>
#include <string>

#include "care/care_plan.h"
#include "ui_kit/tavo_dialog.h"

class QLabel;
class QPushButton;
class QTabWidget;
class QTableWidget;

namespace tavo {

class CareWindow : public TavoDialog {
    Q_OBJECT
  public:
    explicit CareWindow(App& app);

    // The tree of the row that closed the window with Accepted.
    const std::string& chosenTreeId() const { return chosenTreeId_; }

  protected:
    bool FormKeyPress(QKeyEvent* event) override;

  private:
    // Reads the collection again and refills both tabs.
    void FormActivate() override;

    QTabWidget* TC_Onglets;
    QLabel* L_AFaire;
    QTableWidget* SG_AFaire;
    QLabel* L_RienAFaire;
    QLabel* L_MoisPasse;
    QTableWidget* SG_MoisPasse;
    QLabel* L_RienMoisPasse;
    QLabel* L_Remarque;  // unreadable files, export result
    QPushButton* B_Exporter;
    QPushButton* B_Fermer;

    void B_ExporterClick();

    void setHeads();
    void fillDue(const std::vector<CareItem>& items);
    void fillPast(const std::vector<PastLine>& lines);
    // Closes the window on the tree of the grid's row, when the row names one.
    void openRow(QTableWidget* grid, int row);
    CareWords words() const;

    std::string chosenTreeId_;
    CarePlan plan_;  // as last read, for the export
};

}  // namespace tavo
