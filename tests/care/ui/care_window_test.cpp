#include <QGroupBox>
#include <QLabel>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include "care/ui/care_window.h"
#include "support/data_folder.h"
#include "support/program_fixture.h"
#include "support/run_program.h"
#include "support/ui_driving.h"

using namespace tavo;
using namespace tavo::test;
using namespace std::chrono;

namespace {

const std::string kGenevrier = "26001100000001";
const std::string kErable = "26001100000002";

// Each row of a grid as its cells joined by " | ".
std::vector<std::string> rows(const QTableWidget& grid) {
    std::vector<std::string> out;
    for (int r = 0; r < grid.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < grid.columnCount(); ++c)
            cells << (grid.item(r, c) ? grid.item(r, c)->text() : QString());
        out.push_back(cells.join(QStringLiteral(" | ")).toStdString());
    }
    return out;
}

using CareWindowTest = ProgramTest;

}  // namespace

// Two trees repotted every two years, one also pruned long ago, seen on 1 April 2026: the three
// items in expected order with their states, April's lines of earlier years by tree, the
// calendar written through the save dialog, and a row opening its tree with its next line.
TEST_F(CareWindowTest, ListsExportsAndOpensTheTreeOfARow) {
    start();
    DataFolder(dir.path())
        .tree({kGenevrier, cardOf({{"name", "Genévrier"}}),
               worksLines({{"20/04/2022", "Rempotage"}, {"19/04/2024", "Rempotage"}})})
        .tree({kErable,
               cardOf({{"name", "Érable"}}),
               {{"01/03/2022", "Rempotage", ""},
                {"01/06/2023", "Taille", ""},
                {"01/09/2023", "Taille", ""},
                {"01/03/2024", "Rempotage", ""},
                {"10/04/2025", "Pincement", "bourgeons"}}});
    CareWindow* window = program->windows().care;
    const FixedClock april({2026, 4, 1});
    const std::filesystem::path ics = dir / "soins";
    ui.savePaths.push_back(QString::fromStdString(ics.string()));

    ui.modal["CareWindow"].push_back([&](QDialog*) {
        EXPECT_EQ(
            rows(*child<QTableWidget>(window, "SG_AFaire")),
            (std::vector<std::string>{
                "Érable | Taille | 01/09/2023 | tous les 3 mois | 02/12/2023 | En retard",
                "Érable | Rempotage | 01/03/2024 | tous les 2 ans | 01/03/2026 | À faire",
                "Genévrier | Rempotage | 19/04/2024 | tous les 2 ans | 19/04/2026 | Bientôt"}));
        EXPECT_EQ(rows(*child<QTableWidget>(window, "SG_MoisPasse")),
                  (std::vector<std::string>{"Érable | 10/04/2025 | Pincement | bourgeons",
                                            "Genévrier | 19/04/2024 | Rempotage | ",
                                            " | 20/04/2022 | Rempotage | "}));
        EXPECT_TRUE(child(window, "L_RienAFaire")->isHidden());

        click(window, "B_Exporter");
        EXPECT_NE(textOf(window, "L_Remarque").indexOf(QStringLiteral("soins.ics")), -1);

        child(window, "SG_AFaire")->setFocus();
        child<QTableWidget>(window, "SG_AFaire")->setCurrentCell(2, 0);
        QTest::keyClick(child<QTableWidget>(window, "SG_AFaire"), Qt::Key_Return);
    });
    trigger(&main(), "AFaire1");

    ASSERT_TRUE(ui.texts("error").empty()) << ui.texts("error").front().toStdString();
    const std::string script = std::string(TAVO_SOURCE_DIR) + "/tests/care/ics_dump.py";
    EXPECT_EQ(runShell("/usr/bin/python3 " + script + " " + ics.string() + ".ics"),
              kGenevrier +
                  "-rempotage@care.tavo\t2026-04-19\t2026-04-20\tGenévrier: Rempotage\t"
                  "Dernière fois : 19/04/2024|Intervalle habituel : tous les 2 ans\t"
                  "no alarm\n" +
                  kErable +
                  "-rempotage@care.tavo\t2026-03-01\t2026-03-02\tÉrable: Rempotage\t"
                  "Dernière fois : 01/03/2024|Intervalle habituel : tous les 2 ans\t"
                  "no alarm\n" +
                  kErable +
                  "-taille@care.tavo\t2023-12-02\t2023-12-03\tÉrable: Taille\t"
                  "Dernière fois : 01/09/2023|Intervalle habituel : tous les 3 mois\t"
                  "no alarm\n--\n");

    EXPECT_EQ(app().session.openTreeId, kGenevrier);
    EXPECT_TRUE(child(&main(), "GB_Travaux")->isVisibleTo(&main()));
    EXPECT_EQ(textOf(&main(), "L_Prochain"),
              QStringLiteral("Prochain : Rempotage vers 04/2026 (tous les 2 ans)"));
    EXPECT_TRUE(child(&main(), "L_Prochain")->isVisibleTo(&main()));
    main().treeClosed();
    EXPECT_FALSE(child(&main(), "L_Prochain")->isVisibleTo(&main()));
}
