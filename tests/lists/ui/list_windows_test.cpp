// The three list editors driven through their windows: grid rows, messages, and the bytes
// they leave in Types.LIB, Etats.LIB and NomsA.LIB.
#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "lists/list_files.h"
#include "lists/ui/label_list_editor.h"
#include "lists/ui/names_editor.h"
#include "support/program_fixture.h"

using namespace tavo;
using namespace tavo::test;

namespace {

struct Editor {
    const char* window;
    const char* dialog;
    const char* item;  // its menu item in the main window
    const char* file;
    std::size_t recordSize;
    const char* ok;
    QStringList edits;
};

const Editor kTypes{"TF_LIB_TypesIntervention",
                    "TF_LIB_TypesIntervention2",
                    "TypesIntervention1",
                    "Types.LIB",
                    51,
                    "Btn_OK",
                    {"Edit1"}};
const Editor kStates{"TF_LIB_EtatsAcquisition",
                     "TF_LIB_EtatsAcquisition2",
                     "Etatslacquisition1",
                     "Etats.LIB",
                     51,
                     "Btn_OK",
                     {"Edit1"}};
const Editor kNames{"TF_LIB_NomsArbres",
                    "TF_LIB_NomsArbres2",
                    "Nomsdesarbres1",
                    "NomsA.LIB",
                    704,
                    "BtnOK",
                    {"EdtNomLatin", "EdtNomCommun", "EdtNomAnglais"}};

// A fixed string as stored: length byte, Windows-1252 text, zeros up to the capacity.
std::string field(const std::string& cp1252, std::size_t capacity) {
    std::string f(1, static_cast<char>(cp1252.size()));
    return f + cp1252 + std::string(capacity - cp1252.size(), '\0');
}
std::string label(const std::string& cp1252) {
    return field(cp1252, 50);
}
std::string name(const std::string& latin, const std::string& common, const std::string& english) {
    return field(latin, 150) + field(common, 150) + field(english, 150) + std::string(251, '\0');
}

std::vector<QStringList> gridRows(const QTableWidget* grid) {
    std::vector<QStringList> rows;
    for (int r = 0; r < grid->rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < grid->columnCount(); ++c)
            row << (grid->item(r, c) ? grid->item(r, c)->text() : QString());
        rows.push_back(row);
    }
    return rows;
}

QTableWidget* grid(const ListWindow& w) {
    return child<QTableWidget>(&w, "SGrid");
}

// Types like the keyboard, accented letters included.
void type(QLineEdit* edit, const QString& text) {
    for (const QChar c : text) QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, c, {});
}

void clickRow(QTableWidget* grid, int row) {
    const QRect cell = grid->visualRect(grid->model()->index(row, 0));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
}

// What the entry dialog showed when it opened.
struct Seen {
    QString okCaption;
    bool okEnabled = false;
    QStringList texts;
};

class ListWindowsTest : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        // Msg::Change made different from the fixed "Modifier" (a later entry wins).
        std::ofstream(dir /
                          "Fran\xC3\xA7"
                          "ais.lng",
                      std::ios::app)
            << "#9999 0028  Changer\r\n";
        start();
        ui.clear();
    }
    std::string bytes(const Editor& e) { return readText(dir / e.file); }

    // Opens the list window through its menu item and runs `steps` while it is shown.
    void open(const Editor& e, std::function<void(ListWindow&)> steps) {
        ui.modal[e.window].push_back([steps](QDialog* d) { steps(*static_cast<ListWindow*>(d)); });
        trigger(&main(), e.item);
    }

    // Clicks `button` of list window `w` and answers the entry dialog it opens: each non-null
    // text replaces the text of its edit box by typing, then OK is clicked (or the dialog is
    // left by Escape).
    Seen answer(const Editor& e, const ListWindow& w, const char* button, const QStringList& typed,
                bool confirm = true) {
        Seen seen;
        ui.modal[e.dialog].push_back([&](QDialog* d) {
            auto* ok = d->findChild<QPushButton*>(e.ok);
            seen = {ok->text(), ok->isEnabled(), static_cast<ListEntryDialog*>(d)->texts()};
            for (int i = 0; i < typed.size(); ++i) {
                if (typed[i].isNull()) continue;
                auto* edit = d->findChild<QLineEdit*>(e.edits[i]);
                edit->selectAll();
                if (typed[i].isEmpty())
                    QTest::keyClick(edit, Qt::Key_Delete);
                else
                    type(edit, typed[i]);
            }
            if (confirm)
                QTest::mouseClick(ok, Qt::LeftButton);
            else
                QTest::keyClick(d->findChild<QLineEdit*>(e.edits[0]), Qt::Key_Escape);
        });
        QTest::mouseClick(child<QPushButton>(&w, button), Qt::LeftButton);
        return seen;
    }
};

TEST_F(ListWindowsTest, FirstOpeningCreatesTheEmptyListAndTheFirstEntryLeavesABlankRow) {
    for (const Editor* e : {&kTypes, &kStates, &kNames}) {
        SCOPED_TRACE(e->file);
        ui.clear();
        ASSERT_FALSE(std::filesystem::exists(dir / e->file));
        open(*e, [&](ListWindow& w) {
            EXPECT_TRUE(std::filesystem::exists(dir / e->file));
            EXPECT_EQ(bytes(*e), "");
            EXPECT_EQ(ui.texts("message"), std::vector<QString>{msg(ListEmpty)});
            EXPECT_EQ(w.entryCount(), 0);
            const QStringList typed(static_cast<int>(e->edits.size()), QStringLiteral("Pin"));
            const Seen seen = answer(*e, w, "BtnCreer", typed);
            EXPECT_EQ(seen.okCaption, msg(Create));
            EXPECT_FALSE(seen.okEnabled);
            EXPECT_EQ(w.entryCount(), 1);
            const QStringList blank(typed.size(), QString());
            EXPECT_EQ(gridRows(grid(w)), (std::vector<QStringList>{typed, blank}));
        });
        EXPECT_EQ(bytes(*e).size(), e->recordSize);
    }
}

TEST_F(ListWindowsTest, LabelsCreatedChangedAndDeletedGiveTheExpectedBytes) {
    for (const Editor* e : {&kTypes, &kStates}) {
        SCOPED_TRACE(e->file);
        open(*e, [&](ListWindow& w) {
            for (const char* text : {"Taille", "Rempotage", "Ligature"})
                answer(*e, w, "BtnCreer", {QString::fromUtf8(text)});
            EXPECT_EQ(bytes(*e), label("Taille") + label("Rempotage") + label("Ligature"));

            grid(w)->setCurrentCell(1, 0);
            Seen seen = answer(*e, w, "BtnModifier", {QStringLiteral("Rempotage d'été")});
            EXPECT_EQ(seen.okCaption, e == &kTypes ? QStringLiteral("Changer") : "Modifier");
            EXPECT_FALSE(seen.okEnabled);
            EXPECT_EQ(seen.texts, QStringList{"Rempotage"});
            EXPECT_EQ(bytes(*e),
                      label("Taille") + label("Rempotage d'\xE9t\xE9") + label("Ligature"));

            grid(w)->setCurrentCell(0, 0);
            seen = answer(*e, w, "BtnSupprimer", {});
            EXPECT_EQ(seen.okCaption, msg(Delete));
            EXPECT_TRUE(seen.okEnabled);
            EXPECT_EQ(seen.texts, QStringList{"Taille"});
            // Opened empty (one row), three creations, one deletion: three rows.
            EXPECT_EQ(gridRows(grid(w)),
                      (std::vector<QStringList>{{"Rempotage d'été"}, {"Ligature"}, {""}}));
        });
        EXPECT_EQ(bytes(*e), label("Rempotage d'\xE9t\xE9") + label("Ligature"));
    }
}

TEST_F(ListWindowsTest, OnlyTheInterventionTypesGridReactsToAClickOnABlankRow) {
    for (const Editor* e : {&kTypes, &kStates, &kNames}) {
        SCOPED_TRACE(e->file);
        open(*e, [&](ListWindow& w) {
            answer(*e, w, "BtnCreer", {QStringLiteral("A")});
            ui.clear();
            clickRow(grid(w), 1);  // the blank row below the entry
            const bool reacts = e == &kTypes;
            EXPECT_EQ(enabled(&w, "BtnModifier"), !reacts);
            EXPECT_EQ(enabled(&w, "BtnSupprimer"), !reacts);
            if (!reacts) {
                const auto shownBefore = ui.modalShown.size();
                QTest::mouseClick(child<QPushButton>(&w, "BtnModifier"), Qt::LeftButton);
                QTest::mouseClick(child<QPushButton>(&w, "BtnSupprimer"), Qt::LeftButton);
                EXPECT_EQ(ui.texts("message"),
                          (std::vector<QString>{msg(SelectLineFirst), msg(SelectLineFirst)}));
                EXPECT_EQ(ui.modalShown.size(), shownBefore);  // no dialog opened
            }
            clickRow(grid(w), 0);
            EXPECT_TRUE(enabled(&w, "BtnModifier"));
            EXPECT_TRUE(enabled(&w, "BtnSupprimer"));
        });
    }
}

TEST_F(ListWindowsTest, ATypedThenErasedLabelIsStoredEmptyAndCancelWritesNothing) {
    open(kTypes, [&](ListWindow& w) {
        ui.modal[kTypes.dialog].push_back([&](QDialog* d) {
            auto& dialog = *static_cast<TF_LIB_TypesIntervention2*>(d);
            EXPECT_FALSE(enabled(&dialog, "Btn_OK"));
            QTest::keyClick(child<QLineEdit>(&dialog, "Edit1"), Qt::Key_X);
            QTest::keyClick(child<QLineEdit>(&dialog, "Edit1"), Qt::Key_Backspace);
            EXPECT_TRUE(enabled(&dialog, "Btn_OK"));
            QTest::mouseClick(child<QPushButton>(&dialog, "Btn_OK"), Qt::LeftButton);
        });
        QTest::mouseClick(child<QPushButton>(&w, "BtnCreer"), Qt::LeftButton);
        EXPECT_EQ(bytes(kTypes), label(""));
        EXPECT_EQ(w.entryCount(), 1);

        // Left without OK: neither the file nor the grid changes.
        grid(w)->setCurrentCell(0, 0);
        answer(kTypes, w, "BtnModifier", {QStringLiteral("Arrosage")}, false);
        answer(kTypes, w, "BtnSupprimer", {}, false);
        answer(kTypes, w, "BtnCreer", {QStringLiteral("Arrosage")}, false);
        EXPECT_EQ(bytes(kTypes), label(""));
        EXPECT_EQ(gridRows(grid(w)), (std::vector<QStringList>{{""}, {""}}));
    });
}

TEST_F(ListWindowsTest, BotanicalNamesCreatedChangedAndDeletedLeaveNoStaleCell) {
    const QString longLatin(120, QLatin1Char('a'));  // the box takes 100 characters
    open(kNames, [&](ListWindow& w) {
        answer(kNames, w, "BtnCreer", {"Acer palmatum", "Erable du Japon", "Japanese maple"});
        const Seen seen = answer(kNames, w, "BtnCreer", {longLatin, "", "Long"});
        EXPECT_EQ(seen.texts, (QStringList{"", "", ""}));  // emptied for a new entry
        answer(kNames, w, "BtnCreer", {"Pinus mugo", "Pin", "Mountain pine"});
        EXPECT_EQ(bytes(kNames).size(), 3 * 704u);

        grid(w)->setCurrentCell(2, 0);
        answer(kNames, w, "BtnModifier", {QString(), QString(), "Dwarf mountain pine"});
        grid(w)->setCurrentCell(0, 0);
        answer(kNames, w, "BtnSupprimer", {});
        // Opened empty, three creations (4 rows), one deletion: the third row is blank in
        // every column, holding nothing of the moved entries.
        EXPECT_EQ(gridRows(grid(w)),
                  (std::vector<QStringList>{{longLatin.left(100), "", "Long"},
                                            {"Pinus mugo", "Pin", "Dwarf mountain pine"},
                                            {"", "", ""}}));
    });
    EXPECT_EQ(bytes(kNames), name(std::string(100, 'a'), "", "Long") +
                                 name("Pinus mugo", "Pin", "Dwarf mountain pine"));
}

TEST_F(ListWindowsTest, ChangingTheEnglishNameKeepsALatinNameLongerThanTheTypingLimit) {
    // A file made elsewhere may fill the 150-character field; the boxes take 100 when typing.
    const std::string latin(150, 'L');
    writeBytes(dir / kNames.file, name("Acer", "Erable", "Maple") + name(latin, "Pin", "Pine"));
    open(kNames, [&](ListWindow& w) {
        grid(w)->setCurrentCell(1, 0);
        answer(kNames, w, "BtnModifier", {QString(), QString(), "Mountain pine"});
        const Seen created = answer(kNames, w, "BtnCreer", {QString(200, QLatin1Char('x'))});
        EXPECT_TRUE(created.texts[0].isEmpty());
    });
    EXPECT_EQ(bytes(kNames), name("Acer", "Erable", "Maple") + name(latin, "Pin", "Mountain pine") +
                                 name(std::string(100, 'x'), "", ""));
}

TEST_F(ListWindowsTest, AListOpenedFullSizesTheGridAndAListEmptiedMeanwhileShowsNoOldEntry) {
    const LabelListFile states = LabelListFile::acquisitionStates(DataPaths{dir.path()});
    states.createIfMissing();
    for (const char* s : {"A", "B", "C"}) states.append(s);
    open(kStates, [&](ListWindow& w) {
        EXPECT_EQ(gridRows(grid(w)), (std::vector<QStringList>{{"A"}, {"B"}, {"C"}}));
        grid(w)->setCurrentCell(0, 0);
        answer(kStates, w, "BtnSupprimer", {});
        EXPECT_EQ(gridRows(grid(w)), (std::vector<QStringList>{{"B"}, {"C"}}));
    });
    EXPECT_TRUE(ui.texts("message").empty());

    writeBytes(dir / kStates.file, "");  // as a restore of an empty list would leave it
    open(kStates, [&](ListWindow& w) {
        EXPECT_EQ(ui.texts("message"), std::vector<QString>{msg(ListEmpty)});
        EXPECT_EQ(gridRows(grid(w)), (std::vector<QStringList>{{""}, {""}}));
        EXPECT_EQ(w.entryCount(), 0);
    });
}

}  // namespace
