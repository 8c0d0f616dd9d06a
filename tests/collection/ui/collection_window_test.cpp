#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <regex>

#include "collection/ui/collection_window.h"
#include "support/data_folder.h"
#include "support/program_fixture.h"
#include "support/run_program.h"
#include "support/ui_driving.h"
#include "trees/tree_deletion.h"
#include "ui_kit/qt_text.h"
#include "works/works_file.h"

using namespace tavo;
using namespace tavo::test;

namespace {

const std::string kMaple = "26001000000001", kJuniper = "26001000000002",
                  kFieldMaple = "26001000000003";

class CollectionWindowTest : public ProgramTest {
  protected:
    DataPaths data() const { return DataPaths{dir.path()}; }
    CollectionWindow* window() { return program->windows().collection; }
    QLineEdit* search() { return child<QLineEdit>(window(), "E_Recherche"); }

    void tree(const BuiltTree& t) { DataFolder(dir.path()).tree(t); }
    void SetUp() override {
        ProgramTest::SetUp();
        tree({kMaple,
              cardOf({{"name", "Érable de Fontainebleau"},
                      {"botanical", "Acer palmatum"},
                      {"acquired", "12/04/2015"},
                      {"price", "1 200,50 €"}}),
              {{"12/04/2021", "Ligature", "Ligature des branches basses"}}});
        tree({kJuniper,
              cardOf({{"name", "Genévrier"},
                      {"botanical", "Juniperus chinensis"},
                      {"acquired", "01/09/2019"},
                      {"price", "150"}}),
              {},
              {{"", "20/03/2023", "Après la ligature"}}});
        tree({kFieldMaple, cardOf({{"name", "erable champêtre"}, {"price", "cadeau"}})});
        start();
        trigger(&main(), "Collection1");
    }
    // The trees shown, in the table's order.
    std::vector<std::string> rows() {
        std::vector<std::string> ids;
        for (int r = 0; r < window()->model()->rowCount(); ++r)
            ids.push_back(window()->model()->tree(r).id);
        return ids;
    }
    void search(const QString& words) {
        search()->clear();
        QTest::keyClicks(search(), words);
    }
    QString excerpt(int row) {
        const CollectionModel::Excerpt& e = window()->model()->excerpt(row);
        QString text = e.where.isEmpty() ? QString() : e.where + QLatin1Char(' ');
        for (int i = 0; i < e.pieces.size(); ++i)
            text += i % 2 ? QStringLiteral("[%1]").arg(e.pieces[i]) : e.pieces[i];
        return text;
    }
};

TEST_F(CollectionWindowTest, SearchSortsAndOpensAsTheCommandLineFinds) {
    ASSERT_TRUE(window()->isVisible());
    EXPECT_EQ(rows(), (std::vector<std::string>{kFieldMaple, kMaple, kJuniper}));  // by name
    EXPECT_EQ(textOf(window(), "L_Nombre"), "Arbres affichés : 3 sur 3");
    EXPECT_EQ(textOf(window(), "L_Total"), "Prix total des arbres affichés : 1350,50");

    // Every word, in any text, accents and case folded; the excerpt shows the words in bold.
    const struct {
        QString words;
        std::vector<std::string> ids;
        QString excerpt;
    } searches[] = {
        {"erable FONTAINEBLEAU", {kMaple}, "Nom : [Érable] de [Fontainebleau]"},
        {"ligature", {kMaple, kJuniper}, "Travaux 12/04/2021 : [Ligature]"},
        {"ligature basses", {kMaple}, "Travaux 12/04/2021 : [Ligature] des branches [basses]"},
        {"apres", {kJuniper}, "Photo 20/03/2023 : [Après] la ligature"},
        {"juniperus acer", {}, ""},
    };
    for (const auto& s : searches) {
        search(s.words);
        EXPECT_EQ(rows(), s.ids) << s.words.toStdString();
        if (!s.ids.empty()) {
            EXPECT_EQ(excerpt(0), s.excerpt) << s.words.toStdString();
        }
        const ProgramRun cli =
            runProgram(TAVO_CLI, {"search", toUtf8String(s.words), "--json"}, dir.path());
        std::vector<std::string> found;
        const std::regex id("\"id\": \"([0-9]+)\"");
        for (std::sregex_iterator it(cli.out.begin(), cli.out.end(), id), end; it != end; ++it)
            found.push_back((*it)[1]);
        std::sort(found.begin(), found.end());
        std::vector<std::string> shown = s.ids;
        std::sort(shown.begin(), shown.end());
        EXPECT_EQ(found, shown) << s.words.toStdString();
    }
    EXPECT_EQ(textOf(window(), "L_Nombre"), "Arbres affichés : 0 sur 3");

    // A click on a header sorts by that column, numbers as numbers; the choice is remembered.
    QTest::keyClick(search(), Qt::Key_Escape);
    EXPECT_EQ(textOf(window(), "E_Recherche"), "");
    QHeaderView* header = child<QTableView>(window(), "SG_Collection")->horizontalHeader();
    const int price = static_cast<int>(Column::Price);
    const auto clickHeader = [&] {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(price) + 10, 5));
    };
    header->setSortIndicator(static_cast<int>(Column::TreeName), Qt::DescendingOrder);
    clickHeader();
    EXPECT_EQ(rows(), (std::vector<std::string>{kJuniper, kMaple, kFieldMaple}));
    clickHeader();
    // No price at all comes last in both orders.
    EXPECT_EQ(rows(), (std::vector<std::string>{kMaple, kJuniper, kFieldMaple}));
    const auto remembered = readWindowSettings(data().settings());
    EXPECT_EQ(remembered.column, Column::Price);
    EXPECT_FALSE(remembered.ascending);

    // Enter opens the chosen tree in the main window, as "Ouvrir" does.
    search("genevrier");
    QTest::keyClick(search(), Qt::Key_Return);
    EXPECT_EQ(app().session.openTreeId, kJuniper);
    EXPECT_EQ(app().session.currentCard.treeName, "Genévrier");
    EXPECT_TRUE(main().treeOpen());

    // Escape clears the search, then closes.
    QTest::keyClick(search(), Qt::Key_Escape);
    EXPECT_EQ(rows().size(), 3u);
    EXPECT_TRUE(window()->isVisible());
    QTest::keyClick(search(), Qt::Key_Escape);
    EXPECT_FALSE(window()->isVisible());
    for (const auto& s : ui.shown)
        ADD_FAILURE() << s.kind << " " << s.title.toStdString() << " " << s.text.toStdString();
}

TEST_F(CollectionWindowTest, FollowsChangesMadeElsewhere) {
    const std::string kNew = "26001000000009";
    const struct {
        const char* change;
        std::function<void()> make;
        QString words;
        std::vector<std::string> ids;
        QString count;
    } changes[] = {
        {"card changed",
         [&] {
             TreeCard c = readCard(data(), kJuniper);
             c.treeName = "Genévrier de Fontainebleau";
             rewriteCard(data(), kJuniper, c);
         },
         "fontainebleau",
         {kMaple, kJuniper},
         "2 sur 3"},
        {"tree created",
         [&] {
             tree({kNew, cardOf({{"name", "Pin de Fontainebleau"}})});
         },
         "fontainebleau",
         {kMaple, kJuniper, kNew},
         "3 sur 4"},
        {"tree deleted",
         [&] { deleteTree(data(), kMaple); },
         "fontainebleau",
         {kJuniper, kNew},
         "2 sur 3"},
        {"works line added",
         [&] {
             WorksFile(data(), kFieldMaple).add({"02/02/2025", "Taille", "Fontainebleau"});
         },
         "fontainebleau",
         {kFieldMaple, kJuniper, kNew},
         "3 sur 3"},
    };
    search("fontainebleau");
    for (const auto& c : changes) {
        c.make();
        emit app().events.treeChanged();
        EXPECT_EQ(textOf(window(), "E_Recherche"), c.words) << c.change;
        EXPECT_EQ(rows(), c.ids) << c.change;
        EXPECT_TRUE(textOf(window(), "L_Nombre").endsWith(c.count)) << c.change;
    }
    EXPECT_TRUE(ui.shown.empty());
}

}  // namespace
