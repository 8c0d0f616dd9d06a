// The print dialog driven through the main window's menu, printing to a PDF file.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "printing/print_test_support.h"
#include "printing/ui/print_dialog.h"
#include "support/program_fixture.h"
#include "support/ui_driving.h"
#include "ui_kit/tags.h"

using namespace tavo;
using namespace tavo::test;

namespace {

// The print dialog's printer box.
QComboBox* printers(const QDialog* d) {
    return child<QComboBox>(d, "CB_Imprimante");
}

// Records what the pointer looked like and how long the pause asked for.
class WatchingSeam : public FakeUiSeam {
  public:
    std::vector<int> pauses;
    std::vector<Qt::CursorShape> cursorsDuringPause;
    void pause(int ms) override {
        pauses.push_back(ms);
        const QCursor* c = QApplication::overrideCursor();
        cursorsDuringPause.push_back(c ? c->shape() : Qt::ArrowCursor);
    }
};

class PrintDialogTest : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        makePrintableTree(dir.path());
        ui.printerNames = {"Bureau", "Atelier", "Garage"};
        ui.currentPrinter = "Atelier";
        ui.pdfOutput = QString::fromStdString(pdf.string());
        start();
        app().session.openTreeId = kTreeId;
        main().treeOpened();
        dialog = program->windows().imprimer;
    }
    // Shows the dialog from the menu and runs `script` while it is shown.
    void use(std::function<void(TF_ImprimerFiche*)> script) {
        ui.modal["TF_ImprimerFiche"].push_back(
            [script](QDialog* d) { script(static_cast<TF_ImprimerFiche*>(d)); });
        trigger(&main(), "ImprimerFiche");
    }
    QString text() { return pdfText(pdf).simplified(); }

    std::filesystem::path pdf = dir / "out.pdf";
    TF_ImprimerFiche* dialog = nullptr;
};

}  // namespace

TEST_F(PrintDialogTest, ControlsCarryTheirNamesTagsAndStartClear) {
    EXPECT_EQ(tagOf(dialog), 700);
    EXPECT_EQ(dialog->size(), QSize(224, 226));
    const std::vector<std::pair<const char*, int>> tags = {
        {"Label1", 706},        {"GroupBox1", 703},    {"CB_ImpFiche", 704},
        {"CB_ImpTravaux", 705}, {"Btn_Imprimer", 702}, {"Btn_Annuler", 701}};
    for (const auto& [name, tag] : tags) {
        QWidget* w = dialog->findChild<QWidget*>(name);
        ASSERT_NE(w, nullptr) << name;
        EXPECT_EQ(tagOf(w), tag) << name;
    }
    EXPECT_EQ(child<QCheckBox>(dialog, "CB_ImpFiche")->parentWidget(),
              child<QGroupBox>(dialog, "GroupBox1"));
    EXPECT_TRUE(printers(dialog)->isEditable());
    EXPECT_FALSE(checked(dialog, "CB_ImpFiche"));
    EXPECT_FALSE(checked(dialog, "CB_ImpTravaux"));
    EXPECT_FALSE(enabled(dialog, "Btn_Imprimer"));
    // Captions come from the language file at each activation.
    EXPECT_EQ(child<QCheckBox>(dialog, "CB_ImpTravaux")->text(), "Travaux");
    EXPECT_EQ(textOf(dialog, "Label1"), "Imprimante :");
}

TEST_F(PrintDialogTest, ListsThePrintersAndSelectsTheCurrentOne) {
    use([&](TF_ImprimerFiche* d) {
        ASSERT_EQ(printers(d)->count(), 3);
        EXPECT_EQ(printers(d)->itemText(2), "Garage");
        EXPECT_EQ(printers(d)->currentText(), "Atelier");
        // The printer chosen for a printout becomes the current one.
        printers(d)->setCurrentIndex(2);
        click(d, "CB_ImpTravaux");
        click(d, "Btn_Imprimer");
    });
    EXPECT_EQ(ui.targeted, QStringList{"Garage"});
    ui.printerNames = {"Bureau", "Garage", "Nouvelle"};  // refilled at each showing
    use([&](TF_ImprimerFiche* d) {
        EXPECT_EQ(printers(d)->count(), 3);
        EXPECT_EQ(printers(d)->currentText(), "Garage");
    });
    // Once it is gone the system's default printer is selected again; typed text that names
    // no entry prints on the default printer.
    ui.printerNames = {"Bureau", "Atelier"};
    use([&](TF_ImprimerFiche* d) {
        EXPECT_EQ(printers(d)->currentText(), "Atelier");
        printers(d)->setEditText("Inconnue");
        click(d, "Btn_Imprimer");
    });
    EXPECT_EQ(ui.targeted, (QStringList{"Garage", "Atelier"}));
    // With no default printer set, the first installed printer stands in for it.
    ui.currentPrinter.clear();
    use([&](TF_ImprimerFiche* d) {
        EXPECT_EQ(printers(d)->currentText(), "Bureau");
        printers(d)->setEditText("");
        click(d, "Btn_Imprimer");
    });
    EXPECT_EQ(ui.targeted, (QStringList{"Garage", "Atelier", "Bureau"}));
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(PrintDialogTest, PrintButtonFollowsTheCheckBoxes) {
    use([&](TF_ImprimerFiche* d) {
        QPushButton* print = child<QPushButton>(d, "Btn_Imprimer");
        click(d, "CB_ImpFiche");
        EXPECT_TRUE(print->isEnabled());
        click(d, "CB_ImpTravaux");
        EXPECT_TRUE(print->isEnabled());
        click(d, "CB_ImpFiche");  // cleared, the other still ticked
        EXPECT_TRUE(print->isEnabled());
        click(d, "CB_ImpTravaux");
        EXPECT_FALSE(print->isEnabled());
        click(d, "CB_ImpTravaux");
        EXPECT_TRUE(print->isEnabled());
    });
}

TEST_F(PrintDialogTest, PrintsThePageAndKeepsTheChoicesForTheNextUse) {
    use([&](TF_ImprimerFiche* d) {
        click(d, "CB_ImpFiche");
        click(d, "CB_ImpTravaux");
        click(d, "Btn_Imprimer");
        EXPECT_FALSE(d->isVisible());
    });
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(pdfPages(pdf), 1);
    // Labels from the program's language file, then the works lines in file order.
    const QString first = text();
    EXPECT_TRUE(first.startsWith("Identifiant de l'arbre : 26034140509042 --- Signalement ---"))
        << first.toStdString();
    EXPECT_TRUE(first.contains("Nom de l'arbre : Mon érable"));
    EXPECT_TRUE(
        first.contains("--- Travaux --- 01/03/2020 *** Rempotage *** terre akadama "
                       "15/06/2021 *** Taille *** branches basses"));
    EXPECT_EQ(app().session.currentCard.treeName, "Mon érable");

    // Second use: the boxes are as they were left; clearing "Travaux" prints the card alone.
    std::filesystem::remove(pdf);
    use([&](TF_ImprimerFiche* d) {
        EXPECT_TRUE(checked(d, "CB_ImpFiche"));
        EXPECT_TRUE(checked(d, "CB_ImpTravaux"));
        EXPECT_TRUE(enabled(d, "Btn_Imprimer"));
        click(d, "CB_ImpTravaux");
        click(d, "Btn_Imprimer");
    });
    const QString second = text();
    EXPECT_TRUE(second.contains("--- Notes ---"));
    EXPECT_FALSE(second.contains("--- Travaux ---"));
    EXPECT_FALSE(second.contains("Rempotage ***"));

    // Third use: still "Fiche" alone.
    use([&](TF_ImprimerFiche* d) {
        EXPECT_TRUE(checked(d, "CB_ImpFiche"));
        EXPECT_FALSE(checked(d, "CB_ImpTravaux"));
    });
}

TEST_F(PrintDialogTest, NoPrinterSaysSoAndCloses) {
    ui.printerNames.clear();
    ui.currentPrinter.clear();
    use([&](TF_ImprimerFiche* d) {
        EXPECT_EQ(printers(d)->count(), 0);
        click(d, "CB_ImpFiche");
        click(d, "Btn_Imprimer");
        EXPECT_FALSE(d->isVisible());
    });
    EXPECT_EQ(ui.texts("message"), std::vector<QString>{"Aucune imprimante n'est installée."});
    EXPECT_TRUE(ui.targeted.isEmpty());
    EXPECT_FALSE(std::filesystem::exists(pdf));
}

TEST_F(PrintDialogTest, NothingChosenKeepsPrintOffAndStays) {
    use([&](TF_ImprimerFiche* d) {
        EXPECT_FALSE(enabled(d, "Btn_Imprimer"));
        click(d, "Btn_Imprimer");
        EXPECT_TRUE(d->isVisible());
        EXPECT_TRUE(ui.texts("message").empty());
        // Still usable: the user ticks a box and prints.
        click(d, "CB_ImpTravaux");
        click(d, "Btn_Imprimer");
        EXPECT_FALSE(d->isVisible());
    });
    EXPECT_EQ(pdfPages(pdf), 1);
}

TEST_F(PrintDialogTest, EnterAndEscapeCloseWithoutPrinting) {
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        use([&](TF_ImprimerFiche* d) {
            if (!checked(d, "CB_ImpFiche")) click(d, "CB_ImpFiche");
            child(d, "Btn_Imprimer")->setFocus();
            QTest::keyClick(child<QPushButton>(d, "Btn_Imprimer"), key);
            EXPECT_FALSE(d->isVisible());
        });
        use([&](TF_ImprimerFiche* d) {
            QTest::keyClick(printers(d), key);
            EXPECT_FALSE(d->isVisible());
        });
    }
    EXPECT_TRUE(ui.targeted.isEmpty());
    EXPECT_FALSE(std::filesystem::exists(pdf));
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(PrintDialogTest, AFailureShowsTheErrorRestoresThePointerAndKeepsTheDialog) {
    const DataPaths data{dir.path()};
    std::filesystem::remove(data.works(kTreeId));
    use([&](TF_ImprimerFiche* d) {
        click(d, "CB_ImpTravaux");
        click(d, "Btn_Imprimer");
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        ASSERT_EQ(ui.texts("error").size(), 1u);
        EXPECT_TRUE(ui.texts("error")[0].contains(QString::fromStdString(kTreeId + ".TRX")));
        EXPECT_FALSE(std::filesystem::exists(pdf));
        // Mended, the same dialog prints.
        WorksFile(data, kTreeId).createEmpty();
        click(d, "Btn_Imprimer");
        EXPECT_FALSE(d->isVisible());
    });
    EXPECT_TRUE(text().endsWith("--- Travaux ---"));
}

TEST(PrintDialogPointer, HourglassWhilePrintingThenOneSecondWait) {
    TempDir dir;
    copyTemplate(dir.path());
    makePrintableTree(dir.path());
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    {
        WatchingSeam ui;
        ui.printerNames = {"PDF"};
        ui.currentPrinter = "PDF";
        ui.pdfOutput = QString::fromStdString((dir / "out.pdf").string());
        Program program(ui);
        program.main().FormActivate();
        program.app.session.openTreeId = kTreeId;
        program.main().treeOpened();
        ui.modal["TF_ImprimerFiche"].push_back([](QDialog* d) {
            auto* p = static_cast<TF_ImprimerFiche*>(d);
            click(p, "CB_ImpFiche");
            click(p, "Btn_Imprimer");
        });
        trigger(&program.main(), "ImprimerFiche");
        EXPECT_EQ(ui.pauses, std::vector<int>{1000});
        EXPECT_EQ(ui.cursorsDuringPause, std::vector<Qt::CursorShape>{Qt::WaitCursor});
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(pdfPages(dir / "out.pdf"), 1);
    }
    std::filesystem::current_path(previous);
}
