#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <QWheelEvent>
#include <algorithm>

#include "cards/card_file.h"
#include "cards/ui/thumbnail_chooser.h"
#include "imaging/imaging.h"
#include "support/program_fixture.h"
#include "support/ui_driving.h"
#include "ui_kit/qt_text.h"
#include "ui_kit/tags.h"
#include "works/works_file.h"

using namespace tavo;
using namespace tavo::test;

namespace {

constexpr Rgb kRed{200, 30, 40};

bool near(QColor c, Rgb want) {
    return std::abs(c.red() - want.r) <= 6 && std::abs(c.green() - want.g) <= 6 &&
           std::abs(c.blue() - want.b) <= 6;
}

class ChooserTest : public ProgramTest {
  protected:
    DataPaths data() const { return DataPaths{dir.path()}; }
    TF_Vignette* chooser() { return program->windows().vignette; }
    QScrollArea* area() { return child<QScrollArea>(chooser(), "ZoneImages"); }

    // A tree made the way the program makes one: card, empty works file and gallery, lines
    // added in date order, and its reference photo.
    void makeTree(const std::string& id, const std::string& name, int lines, Rgb colour = kRed) {
        TreeCard card;
        card.creationDate = "01/02/2026";
        card.treeName = name;
        card.botanicalName = "Acer palmatum";
        createCard(data(), id, card);
        createEmptyTreeFiles(data(), id);
        const WorksFile works(data(), id);
        for (int i = 0; i < lines; ++i) {
            const QString date = QStringLiteral("%1/%2/2020")
                                     .arg(i % 28 + 1, 2, 10, QLatin1Char('0'))
                                     .arg(i / 28 + 1, 2, 10, QLatin1Char('0'));
            works.add({toUtf8String(date), "Taille", name + " line " + std::to_string(i + 1)});
        }
        saveJpeg(Image(159, 106, colour), data().referencePhoto(id));
    }
    void photo(const std::string& name, Size size = {159, 159}) {
        saveJpeg(Image(size.width, size.height, kRed), data().imgref() / name);
    }
    ThumbnailImage* thumbnailOf(const QString& name) {
        for (ThumbnailImage* t : chooser()->thumbnails())
            if (t->toolTip() == name) return t;
        ADD_FAILURE() << "no thumbnail for " << name.toStdString();
        return nullptr;
    }
    void doubleClick(const QString& name) {
        if (ThumbnailImage* t = thumbnailOf(name))
            QTest::mouseDClick(t, Qt::LeftButton, {}, QPoint(78, 78));
    }
    // Opens through "Ouvrir", double-clicking the thumbnail of `name`.
    void openThrough(const QString& name) {
        ui.modal["TF_Vignette"].push_back([this, name](QDialog*) { doubleClick(name); });
        main().FormActivate();  // as on coming back to the window: "Ouvrir" sees the trees
        trigger(&main(), "OuvrirVign");
    }
    void wheel(QWidget* over, int delta) {
        QWheelEvent event(QPointF(20, 20), over->mapToGlobal(QPointF(20, 20)), QPoint(),
                          QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(over, &event);
    }
};

}  // namespace

TEST_F(ChooserTest, WindowHasItsControlsTagsAndTexts) {
    start();
    TF_Vignette* v = chooser();
    EXPECT_EQ(tagOf(v), 300);
    EXPECT_EQ(v->size(), QSize(537, 577));
    EXPECT_EQ(child<QScrollArea>(v, "ZoneImages")->size(), QSize(505, 489));
    EXPECT_EQ(child<QScrollArea>(v, "ZoneImages")->frameShape(), QFrame::NoFrame);
    EXPECT_EQ(tagOf(child<QLabel>(v, "Label2")), 301);
    EXPECT_EQ(tagOf(child<QPushButton>(v, "B_Annuler")), 302);
    // Translated from the shipped French language file.
    EXPECT_EQ(v->windowTitle(), "Ouvrir");
    EXPECT_EQ(textOf(v, "Label2"),
              "Double cliquez sur une vignette pour ouvrir la fiche de l'arbre");
    EXPECT_EQ(child<QPushButton>(v, "B_Annuler")->text(), "Annuler");
    EXPECT_EQ(child<QPushButton>(v, "B_Annuler")->toolTip(), "Annule et ferme la fenêtre.");
}

TEST_F(ChooserTest, SevenPhotosStandInThreeRowsOfThree) {
    start();
    for (int i = 1; i <= 7; ++i) photo("2600000000000" + std::to_string(i) + ".JPG");
    chooser()->show();
    const auto& thumbs = chooser()->thumbnails();
    ASSERT_EQ(thumbs.size(), 7u);
    ASSERT_EQ(chooser()->photoNames().size(), 7u);
    const QPoint expected[] = {{4, 4},     {164, 4},   {324, 4}, {4, 164},
                               {164, 164}, {324, 164}, {4, 324}};
    for (std::size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(thumbs[i]->geometry(), QRect(expected[i], QSize(156, 156))) << i;
        EXPECT_EQ(thumbs[i]->toolTip(), toQString(chooser()->photoNames()[i]));
        EXPECT_TRUE(thumbs[i]->isVisible());
    }
    EXPECT_EQ(area()->widget()->height(), 484);
    EXPECT_TRUE(ui.shown.empty());
    chooser()->reject();
}

TEST_F(ChooserTest, WidePhotoIsDrawnFramedAt150By100) {
    start();
    photo("26000000000001.JPG", {159, 106});
    chooser()->show();
    ThumbnailImage* t = thumbnailOf("26000000000001.JPG");
    ASSERT_NE(t, nullptr);
    const QImage shown = t->grab().toImage();
    const QColor background = main().palette().color(QPalette::Window);
    EXPECT_TRUE(near(shown.pixelColor(3, 28), kRed));
    EXPECT_TRUE(near(shown.pixelColor(152, 127), kRed));
    EXPECT_EQ(shown.pixelColor(2, 80), background);
    EXPECT_EQ(shown.pixelColor(153, 80), background);
    EXPECT_EQ(shown.pixelColor(80, 27), background);
    EXPECT_EQ(shown.pixelColor(80, 128), background);
    EXPECT_EQ(shown.pixelColor(80, 0), QColor(Qt::white));
    EXPECT_EQ(shown.pixelColor(0, 80), QColor(Qt::white));
    EXPECT_EQ(shown.pixelColor(80, 155), QColor(Qt::black));
    EXPECT_EQ(shown.pixelColor(155, 80), QColor(Qt::black));
    chooser()->reject();
}

TEST_F(ChooserTest, OnlyJpegNamesAreListedAndTheChoiceGivesTheIdentifier) {
    start();
    writeBytes(data().imgref() / "notes.txt", "some notes");
    photo("12345678901234.jpeg");
    ui.modal["TF_Vignette"].push_back([this](QDialog*) {
        EXPECT_EQ(chooser()->photoNames(), std::vector<std::string>{"12345678901234.jpeg"});
        doubleClick("12345678901234.jpeg");
    });
    EXPECT_EQ(app().showModal(chooser()), QDialog::Accepted);
    EXPECT_EQ(app().session.openTreeId, "12345678901234");
    EXPECT_FALSE(chooser()->isVisible());
}

TEST_F(ChooserTest, ShowingTwiceListsEachPhotoOnceAndSeesNewPhotos) {
    start();
    photo("26000000000001.JPG");
    photo("26000000000002.JPG");
    chooser()->show();
    chooser()->reject();
    photo("26000000000003.JPG");
    std::filesystem::remove(data().imgref() / "26000000000001.JPG");
    chooser()->show();
    EXPECT_EQ(chooser()->thumbnails().size(), 2u);
    EXPECT_EQ(area()->widget()->findChildren<ThumbnailImage*>().size(), 2);
    std::vector<std::string> names = chooser()->photoNames();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"26000000000002.JPG", "26000000000003.JPG"}));
    chooser()->reject();
}

TEST_F(ChooserTest, NoPhotoSaysThereIsNoTreeAndTheChooserStaysOpenAndEmpty) {
    start();
    writeBytes(data().imgref() / "notes.txt", "x");
    bool stayedOpen = false;
    ui.modal["TF_Vignette"].push_back([&](QDialog* d) { stayedOpen = d->isVisible(); });
    EXPECT_EQ(app().showModal(chooser()), QDialog::Rejected);
    EXPECT_TRUE(stayedOpen);
    ASSERT_EQ(ui.texts("message").size(), 1u);
    EXPECT_EQ(ui.texts("message")[0], msg(NoTreeToOpen));
    EXPECT_FALSE(msg(NoTreeToOpen).isEmpty());
    EXPECT_TRUE(chooser()->thumbnails().empty());
}

TEST_F(ChooserTest, DamagedPhotoIsReportedOnceAndTheOthersStillShow) {
    start();
    photo("26000000000001.JPG");
    writeBytes(data().imgref() / "26000000000002.JPG", "\xFF\xD8\xFF garbage");
    photo("26000000000003.JPG");
    chooser()->show();
    ASSERT_EQ(ui.texts("error").size(), 1u);
    EXPECT_TRUE(ui.texts("error")[0].contains("26000000000002.JPG"));
    ASSERT_EQ(chooser()->thumbnails().size(), 3u);
    const QColor background = main().palette().color(QPalette::Window);
    for (const char* name : {"26000000000001.JPG", "26000000000003.JPG"})
        EXPECT_TRUE(near(thumbnailOf(name)->grab().toImage().pixelColor(78, 78), kRed)) << name;
    const QImage damaged = thumbnailOf("26000000000002.JPG")->grab().toImage();
    EXPECT_EQ(damaged.pixelColor(78, 78), background);
    EXPECT_EQ(damaged.pixelColor(155, 78), QColor(Qt::black));
    chooser()->reject();
    // A second showing after the failure lists each photo once again.
    chooser()->show();
    EXPECT_EQ(chooser()->thumbnails().size(), 3u);
    EXPECT_EQ(ui.texts("error").size(), 2u);
    chooser()->reject();
}

TEST_F(ChooserTest, PhotoNamedShorterThanAnIdentifierOpensNothing) {
    start();
    makeTree("26000000000001", "Érable", 2);
    openThrough("26000000000001.JPG");
    ui.clear();
    photo("tree.jpg");
    bool stayedOpen = false;
    ui.modal["TF_Vignette"].push_back([&](QDialog* d) {
        doubleClick("tree.jpg");
        stayedOpen = d->isVisible();
    });
    trigger(&main(), "FermerFiche");
    main().FormActivate();
    trigger(&main(), "OuvrirVign");
    EXPECT_TRUE(stayedOpen);
    ASSERT_EQ(ui.texts("error").size(), 1u);
    EXPECT_TRUE(ui.texts("error")[0].contains("tree.jpg"));
    EXPECT_EQ(app().session.openTreeId, "26000000000001");
    EXPECT_FALSE(main().treeOpen());
    EXPECT_FALSE(enabled(&main(), "FermerFiche"));
}

TEST_F(ChooserTest, WheelScrollsOneLinePerNotchEvenOverAThumbnail) {
    start();
    for (int i = 10; i < 22; ++i) photo("260000000000" + std::to_string(i) + ".JPG");
    chooser()->show();
    QScrollBar* bar = area()->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 3 * bar->singleStep());
    EXPECT_EQ(bar->value(), 0);
    wheel(area()->viewport(), -120);
    EXPECT_EQ(bar->value(), bar->singleStep());
    wheel(chooser()->thumbnails()[0], -240);
    EXPECT_EQ(bar->value(), 3 * bar->singleStep());
    wheel(area()->viewport(), 120);
    EXPECT_EQ(bar->value(), 2 * bar->singleStep());
    // A new showing starts at the top again.
    chooser()->reject();
    chooser()->show();
    EXPECT_EQ(area()->verticalScrollBar()->value(), 0);
    chooser()->reject();
}

TEST_F(ChooserTest, AnnulerAndEscapeCloseWithoutChoosing) {
    start();
    photo("26000000000001.JPG");
    app().session.openTreeId = "previous";
    ui.modal["TF_Vignette"].push_back([this](QDialog*) { click(chooser(), "B_Annuler"); });
    EXPECT_EQ(app().showModal(chooser()), QDialog::Rejected);
    ui.modal["TF_Vignette"].push_back(
        [this](QDialog*) { QTest::keyClick(area(), Qt::Key_Escape); });
    EXPECT_EQ(app().showModal(chooser()), QDialog::Rejected);
    EXPECT_EQ(app().session.openTreeId, "previous");
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(ChooserTest, DoubleClickOpensTheChosenTreeWithItsCard) {
    makeTree("26000000000001", "Érable", 3);
    makeTree("26000000000002", "Genévrier", 25);
    start();
    openThrough("26000000000002.JPG");
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(app().session.openTreeId, "26000000000002");
    EXPECT_EQ(app().session.currentCard.treeName, "Genévrier");
    EXPECT_EQ(app().session.currentCard.botanicalName, "Acer palmatum");
    EXPECT_TRUE(main().treeOpen());
    EXPECT_TRUE(child(&main(), "GB_Travaux")->isVisibleTo(&main()));
    for (QAction* a :
         {child<QAction>(&main(), "FermerFiche"), child<QAction>(&main(), "SupprimerFiche"),
          child<QAction>(&main(), "ImprimerFiche"), child<QAction>(&main(), "ProprietesFiche"),
          child<QAction>(&main(), "Fichierarchive1"), child<QAction>(&main(), "Ligne1"),
          child<QAction>(&main(), "Galerie1")})
        EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
    const Msg heads[] = {DateHeading, InterventionTypeHeading, CommentHeading};
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(worksGrid().horizontalHeaderItem(c)->text(), msg(heads[c]));
}

// Needs the tree panel and the works grid refill of the main window.
TEST_F(ChooserTest, OpeningShowsNamesPhotoAndWorksLinesAndGrowsTheGrid) {
    makeTree("26000000000001", "Érable", 3);
    makeTree("26000000000002", "Genévrier", 25);
    start();
    openThrough("26000000000001.JPG");
    QTableWidget* grid = &worksGrid();
    auto cell = [grid](int row, int column) {
        const QTableWidgetItem* item = grid->item(row, column);
        return item ? item->text() : QString();
    };
    EXPECT_EQ(cell(2, 2), "Érable line 3");  // the head is not a table row
    openThrough("26000000000002.JPG");
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(textOf(&main(), "L_NomArbre"), "Genévrier (26000000000002)");
    EXPECT_EQ(textOf(&main(), "L_NomBotanique"), "Acer palmatum");
    EXPECT_FALSE(child<QLabel>(&main(), "I_PhotoRef")->pixmap().isNull());
    EXPECT_GE(grid->rowCount(), 25);  // 25 lines under the head
    EXPECT_EQ(cell(0, 2), "Genévrier line 1");
    EXPECT_EQ(cell(24, 2), "Genévrier line 25");
    EXPECT_EQ(cell(24, 1), "Taille");
}

TEST_F(ChooserTest, MissingCardShowsTheErrorWithTheTreeShownOpen) {
    start();
    makeTree("26000000000001", "Érable", 0);  // a card exists, so "Ouvrir" is there
    photo("26000000000009.JPG");
    openThrough("26000000000009.JPG");
    ASSERT_EQ(ui.texts("error").size(), 1u);
    EXPECT_TRUE(ui.texts("error")[0].contains("26000000000009.SIG"));
    EXPECT_EQ(app().session.openTreeId, "26000000000009");
    EXPECT_TRUE(main().treeOpen());
}

// Needs the works grid refill of the main window.
TEST_F(ChooserTest, MissingWorksFileShowsTheError) {
    makeTree("26000000000001", "Érable", 3);
    std::filesystem::remove(data().works("26000000000001"));
    start();
    openThrough("26000000000001.JPG");
    ASSERT_EQ(ui.texts("error").size(), 1u);
    EXPECT_TRUE(ui.texts("error")[0].contains("26000000000001.TRX"));
    EXPECT_EQ(app().session.currentCard.treeName, "Érable");
}

TEST_F(ChooserTest, LargeCollectionShowsAtOnceAndFillsInBehind) {
    start();
    for (int i = 10; i < 50; ++i) photo("260000000000" + std::to_string(i) + ".JPG");
    writeBytes(data().imgref() / "26000000000099.JPG", "damaged");
    const QColor background = main().palette().color(QPalette::Window);
    auto centre = [](ThumbnailImage* t) { return t->grab().toImage().pixelColor(78, 78); };

    // Closed before the fill ends: nothing more is drawn and nothing is reported.
    chooser()->show();
    const auto& thumbs = chooser()->thumbnails();
    ASSERT_EQ(thumbs.size(), 41u);
    EXPECT_FALSE(chooser()->thumbnailsComplete());
    chooser()->reject();
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    EXPECT_FALSE(chooser()->thumbnailsComplete());
    EXPECT_TRUE(ui.shown.empty());

    chooser()->show();
    // The first four rows are in view and drawn; the last row waits for its turn, unless the
    // user scrolls to it.
    EXPECT_TRUE(near(centre(thumbs[0]), kRed) || thumbs[0]->toolTip() == "26000000000099.JPG");
    EXPECT_EQ(centre(thumbs[39]), background);
    EXPECT_EQ(centre(thumbs[40]), background);
    area()->verticalScrollBar()->setValue(area()->verticalScrollBar()->maximum());
    const bool lastIsDamaged = thumbs[40]->toolTip() == "26000000000099.JPG";
    EXPECT_EQ(near(centre(thumbs[40]), kRed), !lastIsDamaged);
    EXPECT_TRUE(ui.shown.empty());

    QTRY_VERIFY(chooser()->thumbnailsComplete());
    for (ThumbnailImage* t : thumbs)
        EXPECT_EQ(near(centre(t), kRed), t->toolTip() != "26000000000099.JPG")
            << t->toolTip().toStdString();
    ASSERT_EQ(ui.texts("error").size(), 1u);
    EXPECT_TRUE(ui.texts("error")[0].contains("26000000000099.JPG"));
    chooser()->reject();
}
