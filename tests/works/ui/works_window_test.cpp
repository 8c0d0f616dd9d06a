#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <functional>

#include "cards/card_file.h"
#include "common/paths.h"
#include "lists/list_files.h"
#include "support/program_fixture.h"
#include "support/ui_driving.h"
#include "works/ui/works_editor.h"
#include "works/ui/works_grid.h"
#include "works/works_file.h"

using namespace tavo;
using namespace tavo::test;

namespace {

const std::string kId = "20240315101530";

// One field of a record of the works file, as stored: length byte then that many characters.
std::string storedField(const std::vector<std::uint8_t>& file, std::size_t record,
                        std::size_t offset) {
    const std::size_t at = record * 318 + offset;
    return std::string(file.begin() + static_cast<std::ptrdiff_t>(at + 1),
                       file.begin() + static_cast<std::ptrdiff_t>(at + 1 + file[at]));
}

// The works editor's intervention type box.
QComboBox* typeBox(const TF_Ligne& e) {
    return child<QComboBox>(&e, "ComboBox1");
}

// The events of a double click by hand: press, release, double click, release.
void doubleClick(QWidget* target, QPoint at) {
    QTest::mouseClick(target, Qt::LeftButton, {}, at);
    QTest::mouseDClick(target, Qt::LeftButton, {}, at);
    QTest::mouseRelease(target, Qt::LeftButton, {}, at);
}

class WorksWindowTest : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        start();
    }

    DataPaths paths() const { return DataPaths{dir.path()}; }
    WorksFile works() const { return WorksFile(paths(), kId); }

    // A tree with an empty works log, open in the main window; an empty types list unless
    // told otherwise (the data template has none).
    void openTree(bool withTypesList = true) {
        if (withTypesList) LabelListFile::interventionTypes(paths()).createIfMissing();
        TreeCard card;
        card.treeName = "Erable du Japon";
        createCard(paths(), kId, card);
        createEmptyTreeFiles(paths(), kId);
        app().session.openTreeId = kId;
        main().treeOpened();
        main().refillWorks(false);
    }
    void addLines(const std::vector<WorksLine>& lines) {
        for (const WorksLine& l : lines) works().add(l);
        main().refillWorks(false);
    }
    void writeTypes(const std::vector<std::string>& labels) {
        const auto list = LabelListFile::interventionTypes(paths());
        list.createIfMissing();
        for (const auto& l : labels) list.append(l);
    }

    // Runs `script` in the works editor the next time it is shown.
    void inEditor(std::function<void(TF_Ligne&)> script) {
        ui.modal["TF_Ligne"].push_back(
            [script](QDialog* d) { script(*static_cast<TF_Ligne*>(d)); });
    }
    // "Ajouter une ligne", then "Créer" with the given texts.
    void addThroughEditor(const QString& date, const QString& type, const QString& comment) {
        inEditor([=](TF_Ligne& e) {
            setText(&e, "E_DatTra", date);
            typeBox(e)->setEditText(type);
            setText(&e, "E_LibTra", comment);
            click(&e, "B_Creer");
        });
        click(&main(), "B_AjoutLigneTravail");
    }
    // Selects grid row `row` and double-clicks the grid.
    void doubleClickRow(int row) {
        worksGrid().setCurrentCell(works_grid::tableRow(row), 0);
        test::doubleClick(&main(), "SG_LignesTravaux");
    }
    // One column of the grid's data rows, blank rows included.
    std::vector<QString> column(int c) {
        std::vector<QString> out;
        for (int r = 1; r < works_grid::rowCount(worksGrid()); ++r)
            out.push_back(works_grid::cellText(worksGrid(), c, r));
        return out;
    }
    std::vector<std::string> fileDates() {
        std::vector<std::string> out;
        for (const WorksLine& l : works().readAll()) out.push_back(l.date);
        return out;
    }
    bool temporaryFilesLeft() const {
        return std::filesystem::exists(paths().dataTmp()) ||
               std::filesystem::exists(paths().worksTmp(kId));
    }
};

TEST_F(WorksWindowTest, LinesAddedOutOfOrderAreStoredAndShownInDateOrder) {
    writeTypes({"Rempotage", "Taille",
                "D\xC3\xA9"
                "foliation"});
    openTree();
    inEditor([](TF_Ligne& e) {
        // A fresh editor: empty boxes, the list in file order, no entry chosen.
        EXPECT_TRUE(textOf(&e, "E_DatTra").isEmpty());
        EXPECT_TRUE(typeBox(e)->currentText().isEmpty());
        ASSERT_EQ(typeBox(e)->count(), 3);
        EXPECT_EQ(typeBox(e)->itemText(2), "Défoliation");
        EXPECT_TRUE(enabled(&e, "B_Creer"));
        EXPECT_FALSE(enabled(&e, "B_Modifier"));
        EXPECT_FALSE(enabled(&e, "B_Supprimer"));
        setText(&e, "E_DatTra", "15/03/2020");
        typeBox(e)->setCurrentIndex(0);
        setText(&e, "E_LibTra", "premier");
        click(&e, "B_Creer");
    });
    click(&main(), "B_AjoutLigneTravail");
    addThroughEditor("01/01/2019", "Taille", "");
    addThroughEditor("20/03/2020", "Défoliation", "feuilles coupées");
    // The menu item does the same as the button.
    inEditor([](TF_Ligne& e) {
        EXPECT_TRUE(textOf(&e, "E_LibTra").isEmpty());  // nothing left from the previous line
        setText(&e, "E_DatTra", "15/03/2020");
        typeBox(e)->setEditText("Ligature");
        setText(&e, "E_LibTra", "même jour");
        click(&e, "B_Creer");
    });
    trigger(&main(), "Ligne1");
    addThroughEditor("01/03/2020", "Taille", QString(255 + 20, 'x'));

    const auto file = readBytes(paths().works(kId));
    ASSERT_EQ(file.size(), 5u * 318);
    const std::vector<std::string> dates = {"01/01/2019", "01/03/2020", "15/03/2020", "15/03/2020",
                                            "20/03/2020"};
    const std::vector<std::string> types = {"Taille", "Taille", "Rempotage", "Ligature",
                                            "D\xE9"
                                            "foliation"};
    const std::vector<std::string> comments = {"", std::string(255, 'x'), "premier", "m\xEAme jour",
                                               "feuilles coup\xE9"
                                               "es"};
    for (std::size_t r = 0; r < 5; ++r) {
        EXPECT_EQ(storedField(file, r, 0), dates[r]) << r;
        EXPECT_EQ(storedField(file, r, 11), types[r]) << r;
        EXPECT_EQ(storedField(file, r, 62), comments[r]) << r;
    }
    EXPECT_EQ(column(0), std::vector<QString>({"01/01/2019", "01/03/2020", "15/03/2020",
                                               "15/03/2020", "20/03/2020", "", "", "", ""}));
    EXPECT_EQ(column(1)[4], "Défoliation");
    EXPECT_EQ(column(2)[3], "même jour");
    EXPECT_EQ(ui.modalShown.size(), 5u);
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_FALSE(temporaryFilesLeft());
}

TEST_F(WorksWindowTest, GridGrowsOneRowPerLineAndKeepsBlankRowsAfterDeletions) {
    openTree();
    EXPECT_EQ(works_grid::rowCount(worksGrid()), 10);
    std::vector<WorksLine> lines;
    for (int day = 1; day <= 11; ++day)
        lines.push_back({QString("%1/05/2021").arg(day, 2, 10, QChar('0')).toStdString(),
                         "Arrosage", "jour " + std::to_string(day)});
    addLines(lines);
    EXPECT_EQ(works_grid::rowCount(worksGrid()), 12);
    addThroughEditor("12/05/2021", "Arrosage", "jour 12");
    EXPECT_EQ(works_grid::rowCount(worksGrid()), 13);
    EXPECT_EQ(column(2).back(), "jour 12");
    EXPECT_EQ(column(0)[9], "10/05/2021");

    for (int i = 0; i < 3; ++i) {
        inEditor([i](TF_Ligne& e) {
            EXPECT_EQ(textOf(&e, "E_DatTra"), QString("%1/05/2021").arg(i + 1, 2, 10, QChar('0')));
            EXPECT_FALSE(enabled(&e, "B_Creer"));
            EXPECT_TRUE(enabled(&e, "B_Modifier"));
            EXPECT_TRUE(enabled(&e, "B_Supprimer"));
            click(&e, "B_Supprimer");
        });
        doubleClickRow(1);
    }
    EXPECT_EQ(readBytes(paths().works(kId)).size(), 9u * 318);
    EXPECT_EQ(works_grid::rowCount(worksGrid()), 13);
    const auto comments = column(2);
    EXPECT_EQ(comments[0], "jour 4");
    EXPECT_EQ(comments[8], "jour 12");
    EXPECT_EQ(std::vector<QString>(comments.begin() + 9, comments.end()),
              std::vector<QString>(3, QString()));
    EXPECT_TRUE(ui.shown.empty());  // no question before a deletion

    // A blank row below the last line opens nothing.
    const auto shownBefore = ui.modalShown.size();
    doubleClickRow(11);
    EXPECT_EQ(ui.texts("message"), std::vector<QString>({msg(EmptyGridRow)}));
    EXPECT_EQ(ui.modalShown.size(), shownBefore);
    EXPECT_EQ(app().session.worksEditorMode, WorksEditorMode::Change);
    EXPECT_EQ(app().session.selectedLine, 11);

    // The empty area below the rows acts on the current line.
    worksGrid().setCurrentCell(works_grid::tableRow(2), 0);
    doubleClick(worksGrid().viewport(), {40, worksGrid().viewport()->height() - 4});
    EXPECT_EQ(ui.modalShown.size(), shownBefore + 1);
    EXPECT_EQ(app().session.selectedLine, 2);
}

TEST_F(WorksWindowTest, DeletingTheOnlyLineBlanksTheGridAndSaysNoLineIsLeft) {
    openTree();
    addLines({{"02/02/2022", "Taille", "seule"}});
    inEditor([](TF_Ligne& e) { click(&e, "B_Supprimer"); });
    doubleClickRow(1);
    EXPECT_EQ(std::filesystem::file_size(paths().works(kId)), 0u);
    EXPECT_EQ(ui.texts("message"), std::vector<QString>({msg(NoWorksLine)}));
    EXPECT_EQ(column(0), std::vector<QString>(9, QString()));
    EXPECT_FALSE(temporaryFilesLeft());

    // Opening a tree with an empty log says nothing; a double click on the empty log says 12.
    ui.clear();
    main().refillWorks(false);
    EXPECT_TRUE(ui.shown.empty());
    doubleClickRow(1);
    EXPECT_EQ(ui.texts("message"), std::vector<QString>({msg(EmptyGridRow)}));
}

TEST_F(WorksWindowTest, ChangedDateMovesTheLineAndChangedCommentLeavesIt) {
    openTree();
    addLines({{"01/01/2020", "Taille", "a"},
              {"01/02/2020", "Taille", "b"},
              {"01/03/2020", "Taille", "c"}});
    inEditor([](TF_Ligne& e) {
        EXPECT_EQ(textOf(&e, "E_DatTra"), "01/01/2020");
        EXPECT_EQ(textOf(&e, "E_LibTra"), "a");
        setText(&e, "E_DatTra", "01/01/2021");
        click(&e, "B_Modifier");
    });
    doubleClickRow(1);
    EXPECT_EQ(app().session.previousLineDate, "01/01/2020");
    EXPECT_EQ(fileDates(), std::vector<std::string>({"01/02/2020", "01/03/2020", "01/01/2021"}));
    EXPECT_EQ(column(2)[2], "a");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);  // the hourglass is gone

    inEditor([](TF_Ligne& e) {
        setText(&e, "E_LibTra", "c2");
        click(&e, "B_Modifier");
    });
    doubleClickRow(2);
    EXPECT_EQ(fileDates(), std::vector<std::string>({"01/02/2020", "01/03/2020", "01/01/2021"}));
    EXPECT_EQ(column(2), std::vector<QString>({"b", "c2", "a", "", "", "", "", "", ""}));
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_FALSE(temporaryFilesLeft());
}

TEST_F(WorksWindowTest, InvalidDateIsRefusedOnCreateAndOnChange) {
    openTree();
    addLines({{"01/04/2020", "Taille", "a"}, {"10/04/2020", "Taille", "b"}});
    const auto before = readBytes(paths().works(kId));

    // A changed line is checked like a new one, and nothing is written.
    inEditor([this](TF_Ligne& e) {
        setText(&e, "E_DatTra", "31/04/2020");
        click(&e, "B_Modifier");
        EXPECT_TRUE(e.isVisible());
        EXPECT_EQ(ui.texts("message"), std::vector<QString>({msg(InvalidDate)}));
        setText(&e, "E_DatTra", "5/4/2020");
        click(&e, "B_Modifier");
        EXPECT_TRUE(e.isVisible());
        click(&e, "B_Annuler");
    });
    doubleClickRow(1);
    EXPECT_EQ(readBytes(paths().works(kId)), before);
    EXPECT_EQ(ui.texts("message").size(), 2u);

    ui.clear();
    inEditor([this, &before](TF_Ligne& e) {
        setText(&e, "E_DatTra", "31/04/2020");
        setText(&e, "E_LibTra", "gardé");
        click(&e, "B_Creer");
        EXPECT_TRUE(e.isVisible());
        EXPECT_EQ(textOf(&e, "E_DatTra"), "31/04/2020");
        EXPECT_EQ(textOf(&e, "E_LibTra"), "gardé");
        child<QLineEdit>(&e, "E_DatTra")->clear();
        click(&e, "B_Creer");
        EXPECT_EQ(ui.texts("message").size(), 2u);
        EXPECT_EQ(readBytes(paths().works(kId)), before);
        setText(&e, "E_DatTra", "30/04/2020");
        click(&e, "B_Creer");
        EXPECT_FALSE(e.isVisible());
    });
    click(&main(), "B_AjoutLigneTravail");
    EXPECT_EQ(fileDates(), std::vector<std::string>({"01/04/2020", "10/04/2020", "30/04/2020"}));
    EXPECT_EQ(column(2)[2], "gardé");
}

TEST_F(WorksWindowTest, MissingTypesListIsReportedAndTheEditorStillOpens) {
    ASSERT_FALSE(std::filesystem::exists(paths().typesList()));
    openTree(false);
    addLines({{"03/03/2023", "Pincement", "pousses"}});
    inEditor([this](TF_Ligne& e) {
        ASSERT_EQ(ui.texts("error").size(), 1u);
        EXPECT_TRUE(ui.texts("error")[0].contains("Types.LIB"));
        EXPECT_EQ(typeBox(e)->count(), 0);
        EXPECT_FALSE(enabled(&e, "B_Creer"));
        EXPECT_TRUE(enabled(&e, "B_Modifier"));
        EXPECT_TRUE(enabled(&e, "B_Supprimer"));
        EXPECT_EQ(textOf(&e, "E_DatTra"), "03/03/2023");
        EXPECT_EQ(typeBox(e)->currentText(), "Pincement");
        EXPECT_EQ(textOf(&e, "E_LibTra"), "pousses");
        setText(&e, "E_LibTra", "pousses longues");
        click(&e, "B_Modifier");
    });
    doubleClickRow(1);
    EXPECT_EQ(works().readLine(0).comment, "pousses longues");

    inEditor([](TF_Ligne& e) {
        EXPECT_TRUE(enabled(&e, "B_Creer"));
        EXPECT_FALSE(enabled(&e, "B_Modifier"));
    });
    click(&main(), "B_AjoutLigneTravail");
    EXPECT_EQ(ui.texts("error").size(), 2u);
    EXPECT_FALSE(std::filesystem::exists(paths().typesList()));  // reading never creates it
}

TEST_F(WorksWindowTest, TypeTypedByHandIsStoredAsTyped) {
    writeTypes({"Rempotage"});
    const auto list = readBytes(paths().typesList());
    openTree();
    inEditor([](TF_Ligne& e) {
        QTest::keyClicks(child<QLineEdit>(&e, "E_DatTra"), "06/06/2024");
        QTest::keyClicks(typeBox(e), "rempotage partiel");
        QTest::keyClick(typeBox(e), Qt::Key_Return);
        click(&e, "B_Creer");
    });
    click(&main(), "B_AjoutLigneTravail");
    EXPECT_EQ(storedField(readBytes(paths().works(kId)), 0, 11), "rempotage partiel");
    EXPECT_EQ(readBytes(paths().typesList()), list);

    inEditor([](TF_Ligne& e) {
        EXPECT_EQ(typeBox(e)->currentText(), "rempotage partiel");
        EXPECT_EQ(typeBox(e)->count(), 1);
    });
    doubleClickRow(1);
}

TEST_F(WorksWindowTest, CancelEscapeAndCloseBoxLeaveEverythingAsItWas) {
    openTree();
    addLines({{"01/01/2020", "Taille", "a"}});
    const auto before = readBytes(paths().works(kId));
    // A refill would overwrite this cell.
    worksGrid().setItem(works_grid::tableRow(1), 2, new QTableWidgetItem("marqueur"));

    const std::vector<std::function<void(TF_Ligne&)>> closers = {
        [](TF_Ligne& e) { click(&e, "B_Annuler"); },
        [](TF_Ligne& e) { QTest::keyClick(child<QLineEdit>(&e, "E_DatTra"), Qt::Key_Escape); },
        [](TF_Ligne& e) { e.close(); },
    };
    for (const auto& closeIt : closers) {
        inEditor([&closeIt](TF_Ligne& e) {
            setText(&e, "E_DatTra", "02/01/2020");
            setText(&e, "E_LibTra", "jamais");
            closeIt(e);
            EXPECT_FALSE(e.isVisible());
            EXPECT_EQ(e.result(), QDialog::Rejected);
        });
        click(&main(), "B_AjoutLigneTravail");
        inEditor([&closeIt](TF_Ligne& e) {
            setText(&e, "E_DatTra", "02/01/2020");
            closeIt(e);
            EXPECT_FALSE(e.isVisible());
        });
        doubleClickRow(1);
    }
    EXPECT_EQ(ui.modalShown.size(), 6u);
    EXPECT_EQ(readBytes(paths().works(kId)), before);
    EXPECT_EQ(works_grid::cellText(worksGrid(), 2, 1), "marqueur");
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(WorksWindowTest, MouseDoubleClickOnRowOrHeader) {
    openTree();
    std::vector<WorksLine> lines;
    for (int m = 1; m <= 5; ++m) lines.push_back({"01/0" + std::to_string(m) + "/2020", "T", "l"});
    addLines(lines);
    main().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main()));
    QHeaderView* header = worksGrid().horizontalHeader();
    const QPoint onHeader(header->sectionViewportPosition(1) + 20, header->height() / 2);

    std::vector<QString> opened;
    const auto record = [&opened](TF_Ligne& e) { opened.push_back(textOf(&e, "E_DatTra")); };
    // Before any row was selected, the header acts on row 1.
    inEditor(record);
    doubleClick(header->viewport(), onHeader);
    // Row 3 of 5 opens the third line.
    inEditor([&](TF_Ligne& e) {
        record(e);
        EXPECT_FALSE(enabled(&e, "B_Creer"));
    });
    const QRect row3 = worksGrid().visualItemRect(worksGrid().item(works_grid::tableRow(3), 1));
    doubleClick(worksGrid().viewport(), row3.center());
    // The header now acts on row 3, the row selected before.
    inEditor(record);
    doubleClick(header->viewport(), onHeader);
    EXPECT_EQ(opened, std::vector<QString>({"01/01/2020", "01/03/2020", "01/03/2020"}));
    EXPECT_EQ(app().session.selectedLine, 3);
}

}  // namespace
