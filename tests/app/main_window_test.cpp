#include <QAction>
#include <QComboBox>
#include <QCommandLinkButton>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableWidget>

#include "app/about_box.h"
#include "startup/settings.h"
#include "support/data_folder.h"
#include "support/program_fixture.h"
#include "support/ui_driving.h"
#include "translation/ui/language_chooser.h"
#include "ui_kit/tags.h"
#include "ui_kit/translator.h"

using namespace tavo;
using namespace tavo::test;

namespace {
// A language file with a caption and a hint for every section a window may use, and the
// messages: "<word> <section>", "<word> hint <section>", "<word> message <n>".
std::string languageFile(const std::string& word) {
    std::string s = "Test language " + word + "\r\n";
    char line[96];
    for (int tag = 1; tag < 2300; ++tag) {
        std::snprintf(line, sizeof line, "#%04d 0000  %s %d\r\n#%04d 0001  %s hint %d\r\n", tag,
                      word.c_str(), tag, tag, word.c_str(), tag);
        s += line;
    }
    for (int n = 1; n <= 55; ++n) {
        std::snprintf(line, sizeof line, "#9999 %04d  %s message %d\r\n", n, word.c_str(), n);
        s += line;
    }
    return s;
}

class MainWindowTest : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        writeBytes(dir /
                       "Fran\xC3\xA7"
                       "ais.lng",
                   languageFile("fr"));
        writeBytes(dir / "English.lng", languageFile("en"));
    }
    std::vector<bool> treeStates() {
        TF_Main& m = main();
        return {child(&m, "GB_Arbre")->isVisibleTo(&m),
                enabled(&m, "FermerFiche"),
                enabled(&m, "SupprimerFiche"),
                enabled(&m, "ImprimerFiche"),
                enabled(&m, "ProprietesFiche"),
                enabled(&m, "Fichierarchive1"),
                enabled(&m, "Ligne1"),
                enabled(&m, "Galerie1"),
                enabled(&m, "OuvrirVign")};
    }
};
}  // namespace

TEST_F(MainWindowTest, FirstStartCreatesSettingsAndTranslatesEveryWindow) {
    start();
    EXPECT_EQ(settings::readLanguageName(DataPaths{dir.path()}), "Français");
    EXPECT_EQ(main().windowTitle(), "fr 1");
    EXPECT_EQ(program->windows().all.size(), 25u);
    EXPECT_EQ(program->windows().all.back()->windowTitle(), "fr 2200");
    EXPECT_EQ(child<QMenu>(&main(), "Arbre1")->menuAction()->text(), "fr 2");
    EXPECT_EQ(child<QAction>(&main(), "Apropos1")->text(), "fr 23");
    EXPECT_EQ(child<QPushButton>(&main(), "B_Fiche")->text(), "fr 25");
    EXPECT_EQ(child<QPushButton>(&main(), "B_Fiche")->toolTip(), "fr hint 25");
    EXPECT_EQ(worksGrid().horizontalHeaderItem(2)->text(), "fr message 10");
    EXPECT_TRUE(ui.shown.empty());  // no missing entry, no box
}

TEST_F(MainWindowTest, WindowsAreCreatedInOrderWithTheirTags) {
    start();
    const char* order[] = {"TF_Main",
                           "TF_APropos",
                           "TF_Fiche",
                           "TF_Galerie",
                           "TF_Ligne",
                           "TF_Photo",
                           "TF_Vignette",
                           "TF_ProprietesFiche",
                           "TF_ImprimerFiche",
                           "TF_LIB_TypesIntervention",
                           "TF_LIB_TypesIntervention2",
                           "TF_LIB_EtatsAcquisition",
                           "TF_LIB_EtatsAcquisition2",
                           "TF_DataSave",
                           "TF_DataRestore",
                           "TF_ChoixLangue",
                           "TF_LIB_NomsArbres",
                           "TF_LIB_NomsArbres2",
                           "CompareWindow",
                           "GrowthSheetDialog",
                           "CareWindow"};
    const int tags[] = {1,    800,  100,  400,  200,  500,  300,  600,  700,  900, 1000,
                        1100, 1200, 1300, 1400, 1500, 1600, 1700, 2100, 2120, 2000};
    for (int i = 0; i < 21; ++i) {
        EXPECT_EQ(program->windows().all[i]->objectName(), order[i]);
        EXPECT_EQ(tagOf(program->windows().all[i]), tags[i]);
    }
}

TEST_F(MainWindowTest, MenuStatesFollowTheOpenTree) {
    start();
    using V = std::vector<bool>;
    EXPECT_EQ(treeStates(), V({false, false, false, false, false, false, false, false, false}));
    main().treeCreated();  // properties stay as they were
    EXPECT_EQ(treeStates(), V({true, true, true, true, false, true, true, true, true}));
    main().treeOpened();
    EXPECT_EQ(treeStates(), V({true, true, true, true, true, true, true, true, true}));
    trigger(&main(), "FermerFiche");
    EXPECT_EQ(treeStates(), V({false, false, false, false, false, false, false, false, true}));
    EXPECT_TRUE(enabled(&main(), "CreerFiche"));
    main().treeOpened();
    main().treeDeleted(1);
    EXPECT_TRUE(enabled(&main(), "OuvrirVign"));
    main().treeOpened();
    main().treeDeleted(0);
    EXPECT_FALSE(enabled(&main(), "OuvrirVign"));
}

TEST_F(MainWindowTest, ActivationEnablesOuvrirOnceACardExists) {
    start();
    main().FormActivate();
    EXPECT_FALSE(enabled(&main(), "OuvrirVign"));
    writeBytes(dir / "FICHES/26034140509042.SIG", std::string(1234, '\0'));
    main().FormActivate();
    EXPECT_TRUE(enabled(&main(), "OuvrirVign"));
}

TEST_F(MainWindowTest, SwitchingLanguageRetranslatesAndMissingFileKeepsTexts) {
    start();
    TF_ChoixLangue* chooser = program->windows().choixLangue;
    ui.modal["TF_ChoixLangue"].push_back([](QDialog* d) {
        auto* c = static_cast<TF_ChoixLangue*>(d);
        // The template's seven files listed without extension, the current language selected.
        ASSERT_EQ(child<QComboBox>(c, "CB_ListeLangues")->count(), 7);
        EXPECT_EQ(textOf(c, "CB_ListeLangues"), "Français");
        child<QComboBox>(c, "CB_ListeLangues")
            ->setCurrentIndex(child<QComboBox>(c, "CB_ListeLangues")->findText("English"));
        click(c, "Btn_Traduire");
    });
    trigger(&main(), "Langue1");
    EXPECT_FALSE(chooser->isVisible());
    EXPECT_EQ(app().session.languageName, "English");
    EXPECT_EQ(main().windowTitle(), "en 1");
    EXPECT_EQ(child<QAction>(&main(), "Quitter")->text(), "en 10");
    EXPECT_EQ(child<QPushButton>(chooser, "Btn_Traduire")->text(), "en 1502");
    EXPECT_EQ(worksGrid().horizontalHeaderItem(0)->text(), "en message 8");
    // The settings file keeps the old name until the program ends.
    EXPECT_EQ(settings::readLanguageName(DataPaths{dir.path()}), "Français");
    main().FormDestroy();
    EXPECT_EQ(settings::readLanguageName(DataPaths{dir.path()}), "English");
    // The next start draws the splash picture's subtitle in that language.
    program.reset();
    start();
    EXPECT_EQ(child<QLabel>(&main(), "I_Splash")->accessibleName(), "en 802");

    // A language whose file went missing keeps every text of the previous one.
    std::filesystem::remove(dir / "English.lng");
    app().session.languageName = "English";
    main().FormActivate();
    EXPECT_EQ(main().windowTitle(), "en 1");
    EXPECT_EQ(msg(DateHeading), "en message 8");
}

TEST_F(MainWindowTest, ChooserSelectionIsCaseSensitiveAndCurrentLanguageRunsNoPass) {
    start();
    app().session.languageName = "français";
    ui.modal["TF_ChoixLangue"].push_back(
        [](QDialog* d) { EXPECT_EQ(child<QComboBox>(d, "CB_ListeLangues")->currentIndex(), -1); });
    trigger(&main(), "Langue1");
    app().session.languageName = "Français";
    int passes = 0;
    QObject::connect(app().translator, &TEdtTranslator::OnBeforeTranslate,
                     [&](QObject*) { ++passes; });
    ui.modal["TF_ChoixLangue"].push_back([&](QDialog* d) {
        click(d, "Btn_Traduire");
        EXPECT_FALSE(d->isVisible());
        EXPECT_EQ(passes, 0);  // the current language: the window closes, no pass
    });
    trigger(&main(), "Langue1");
    EXPECT_EQ(passes, 1);  // the main window's own activation after the dialog closed
    EXPECT_EQ(ui.modalShown.size(), 2u);
}

TEST_F(MainWindowTest, MissingMessageWarnsInDebugModeButMissingHintDoesNot) {
    writeBytes(dir /
                   "Fran\xC3\xA7"
                   "ais.lng",
               "#0001 0000  Titre\r\n");
    start();
    ui.clear();
    EXPECT_EQ(app().translator->GetTranslation(9999, 99), "");
    EXPECT_EQ(app().translator->GetTranslation(25, 1), "");
    ASSERT_EQ(ui.texts("warning").size(), 1u);
    EXPECT_EQ(ui.texts("warning")[0], "Translation 9999, 99 not found.");
    EXPECT_EQ(ui.shown[0].title, "Error in language file");
}

TEST_F(MainWindowTest, MalformedLanguageFileShowsErrorAndSkipsGridHeads) {
    start();
    const QString before = worksGrid().horizontalHeaderItem(0)->text();
    writeBytes(dir /
                   "Fran\xC3\xA7"
                   "ais.lng",
               "#0001 0000  Nouveau\r\n#00x1 0000  bad\r\n");
    ui.clear();
    EXPECT_FALSE(app().guard(&main(), [&] { main().FormActivate(); }));
    EXPECT_EQ(ui.texts("error").size(), 1u);
    EXPECT_EQ(main().windowTitle(), "fr 1");  // no text set by the failed pass
    EXPECT_EQ(worksGrid().horizontalHeaderItem(0)->text(), before);
}

TEST_F(MainWindowTest, TranslatorKindRules) {
    start();
    // A menu branch with Tag 0 keeps its captions, sub-items included.
    QMenu* branch = main().menuBar()->addMenu("Untagged");
    QAction* inner = branch->addAction("inner");
    setTag(inner, 3);
    // A combo box with a Tag keeps its count; an empty one stays empty.
    auto* combo = new QComboBox(main().centralWidget());
    setTag(combo, 2);
    combo->addItems({"a", "b", "c"});
    auto* empty = new QComboBox(main().centralWidget());
    setTag(empty, 2);
    // A derived kind is not translated.
    auto* link = new TEdtURLLabel(&ui, main().centralWidget());
    setTag(link, 2);
    auto* derived = new QCommandLinkButton("keep", main().centralWidget());
    setTag(derived, 2);
    ui.clear();
    main().FormActivate();
    // List entries past the hint are refilled quietly: the windows refill these lists anyway.
    EXPECT_TRUE(ui.texts("warning").empty());
    EXPECT_EQ(branch->title(), "Untagged");
    EXPECT_EQ(inner->text(), "inner");
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(0), "fr 2");
    EXPECT_EQ(combo->itemText(1), "fr hint 2");
    EXPECT_EQ(combo->itemText(2), "");
    EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_EQ(empty->count(), 0);
    EXPECT_EQ(link->text(), "fr 2");
    EXPECT_EQ(derived->text(), "keep");
}

TEST_F(MainWindowTest, HelpPagesOpenForTheLanguage) {
    start();
    trigger(&main(), "Aide1");
    trigger(&main(), "Lauteur1");
    ASSERT_EQ(ui.texts("open").size(), 2u);
    const auto page = [this](const char* name) {
        return QString::fromStdString((dir.path() / "Aide" / "Français" / name).string());
    };
    EXPECT_EQ(ui.texts("open")[0], page("Index.htm"));
    EXPECT_EQ(ui.texts("open")[1], page("Lauteur.htm"));
}

TEST_F(MainWindowTest, AboutBoxShowsVersionAndCreditRule) {
    start();
    TF_APropos* about = program->windows().aPropos;
    trigger(&main(), "Apropos1");
    EXPECT_EQ(textOf(about, "L_Version"), "Version " + App::version());
    EXPECT_FALSE(child(about, "Label8")->isVisibleTo(about));
    app().session.languageName = "Langage non trouvée";
    trigger(&main(), "Apropos1");
    EXPECT_TRUE(child(about, "Label8")->isVisibleTo(about));
}

TEST_F(MainWindowTest, WorksGridKeepsColumnWidthsAndGrowsWithTheWindow) {
    start();
    main().show();
    main().treeOpened();
    const QTableWidget* grid = &worksGrid();
    // The comments fill the rest of the row: whole at the designed size, wider in a wider window.
    int comments = 0;
    for (int width : {919, 1200}) {
        main().resize(width, 800);
        EXPECT_EQ(grid->columnWidth(0), 72);
        EXPECT_EQ(grid->columnWidth(1), 145);
        EXPECT_EQ(grid->columnWidth(0) + grid->columnWidth(1) + grid->columnWidth(2),
                  grid->viewport()->width());
        EXPECT_GT(grid->columnWidth(2), comments);
        comments = grid->columnWidth(2);
    }
    EXPECT_EQ(grid->rowCount(), 9);
    const int before = grid->height();
    main().resize(1200, 900);
    EXPECT_EQ(grid->height(), before + 100);
}

TEST_F(MainWindowTest, ALongNameShowsWholeAndAFailedOpenLeavesNothingOfTheTreeBefore) {
    const DataPaths data{dir.path()};
    const std::string first = "26000000000001", second = "26000000000002";
    DataFolder(dir.path())
        .tree({first, cardOf({{"name", "Pin sylvestre de Fontainebleau"}}),
               worksLines({{"01/02/2020", "Taille"}})})
        .tree({second, cardOf({{"name", "Érable"}})});
    start();
    main().show();
    const auto openThroughChooser = [&](const std::string& id) {
        ui.modal["TF_Vignette"].push_back([&, id](QDialog* d) {
            app().session.openTreeId = id;
            d->accept();
        });
        trigger(&main(), "OuvrirVign");
    };
    openThroughChooser(first);
    const QLabel* name = child<QLabel>(&main(), "L_NomArbre");
    EXPECT_LE(name->heightForWidth(name->width()), name->height());
    EXPECT_LE(child(&main(), "L_NomBotanique")->geometry().bottom(),
              child<QPushButton>(&main(), "B_Fiche")->y());
    EXPECT_EQ(worksGrid().item(0, 1)->text(), "Taille");

    std::filesystem::remove(data.card(second));
    openThroughChooser(second);
    EXPECT_EQ(ui.texts("error").size(), 1u);
    EXPECT_EQ(name->text(), QString::fromStdString(" (" + second + ")"));
    EXPECT_EQ(worksGrid().item(0, 1), nullptr);
}
