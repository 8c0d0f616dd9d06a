// The timeline view of the gallery, the then-and-now window and the growth sheet, driven
// through their controls on a tree written to disk.
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <set>

#include "photos/growth_sources.h"
#include "photos/ui/compare_window.h"
#include "photos/ui/gallery_viewer.h"
#include "photos/ui/photo_editor.h"
#include "photos/ui/timeline_strip.h"
#include "printing/print_test_support.h"
#include "printing/ui/growth_sheet_dialog.h"
#include "support/growth_records.h"
#include "support/program_fixture.h"
#include "support/ui_driving.h"
#include "ui_kit/app.h"

using namespace tavo;
using namespace tavo::test;
namespace fs = std::filesystem;

namespace {

bool near(Rgb a, Rgb b, int tolerance = 20) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance;
}

// Dark pixels in a rectangle of a picture: drawn text.
int darkPixels(const Image& picture, Rect r) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            const Rgb p = picture.pixel(x, y);
            n += p.r + p.g + p.b < 200 ? 1 : 0;
        }
    return n;
}

class TimelineWindowsTest : public ProgramTest {
  protected:
    // Photos: one with a date that is none, two on one day, one before the acquisition.
    const std::vector<std::string> dates{"01/06/2020", "31/02/2021", "15/03/2019", "01/06/2020",
                                         "20/08/2022"};

    void SetUp() override {
        ProgramTest::SetUp();
        start();
        writeGrowthTree(dir.path(), acquiredCard("12/04/2019", "8", true), dates,
                        {"10/05/2020", "01/02/2022"}, Image(300, 200, kWhite));
        // Every photo its own colour, so the compare picture shows which is where.
        for (std::size_t i = 0; i < dates.size(); ++i) {
            const Rgb c{static_cast<std::uint8_t>(40 * i + 30), 90,
                        static_cast<std::uint8_t>(200 - 40 * i)};
            saveJpeg(Image(i % 2 ? 200 : 300, i % 2 ? 300 : 200, c),
                     dir / "GALERIES" / photoFileName(kGrowthTreeId, static_cast<int>(i + 1)));
        }
        app().session.openTreeId = kGrowthTreeId;
        main().treeOpened();
        ui.clear();
    }

    TF_Galerie& viewer() { return *program->windows().galerie; }
    CompareWindow& comparer() { return *program->windows().compare; }
    TimelineStrip& strip() { return *child<TimelineStrip>(&viewer(), "ZoneFrise"); }

    // Shows the viewer, switches it to the timeline and runs `inside` there.
    void inTimeline(const std::function<void()>& inside) {
        ui.modal["TF_Galerie"].push_back([this, inside](QDialog*) {
            click(&viewer(), "B_Frise");
            strip().decodePending();
            inside();
        });
        click(&main(), "B_Evolution");
    }

    QPoint cardCentre(std::size_t index) { return strip().cardRect(index).center(); }
};

}  // namespace

TEST_F(TimelineWindowsTest, TimelineShowsDatedPhotosOpensThemAndListsTheRest) {
    inTimeline([this] {
        EXPECT_TRUE(strip().isVisible());
        EXPECT_FALSE(child(&viewer(), "ZoneImages")->isVisible());
        ASSERT_EQ(strip().timeline().photos.size(), 4u);
        // Positions in time order: 3 (2019), 1 and 4 (same day), 5.
        std::vector<std::size_t> order;
        for (const auto& p : strip().timeline().photos) order.push_back(p.position);
        EXPECT_EQ(order, (std::vector<std::size_t>{3, 1, 4, 5}));
        EXPECT_TRUE(child(&viewer(), "L_SansDate")->isVisible());
        EXPECT_TRUE(textOf(&viewer(), "L_SansDate").contains("31/02/2021"));
        // Every card inside the window, nothing cut off.
        for (std::size_t i = 0; i < 4; ++i)
            EXPECT_TRUE(strip().viewport()->rect().contains(strip().cardRect(i))) << i;

        // A click opens the photo editor on that photo's gallery position.
        ui.modal["TF_Photo"].push_back([](QDialog* d) { d->reject(); });
        QTest::mouseClick(strip().viewport(), Qt::LeftButton, {}, cardCentre(2));
        EXPECT_EQ(app().session.selectedPhoto, 4);
        EXPECT_EQ(ui.modalShown.back(), "TF_Photo");

        // Ctrl+click on two photos, or "Comparer" on one then the other, opens the compare.
        std::vector<ComparePair> compared;
        ui.modal["CompareWindow"].push_back(
            [&](QDialog*) { compared.push_back(comparer().pair()); });
        ui.modal["CompareWindow"].push_back(
            [&](QDialog*) { compared.push_back(comparer().pair()); });
        QTest::mouseClick(strip().viewport(), Qt::LeftButton, Qt::ControlModifier, cardCentre(3));
        QTest::mouseClick(strip().viewport(), Qt::LeftButton, Qt::ControlModifier, cardCentre(0));
        strip().setCurrentPhoto(1);
        click(&viewer(), "B_Comparer");
        strip().setCurrentPhoto(2);
        click(&viewer(), "B_Comparer");
        EXPECT_EQ(compared, (std::vector<ComparePair>{{0, 3}, {1, 2}}));
    });
}

TEST(TimelineStrip, DecodesOnlyWhatItShowsAndZoomsAroundThePointer) {
    std::vector<std::string> dates;
    for (int i = 0; i < 60; ++i)
        dates.push_back("01/" + std::string(i % 12 < 9 ? "0" : "") + std::to_string(i % 12 + 1) +
                        "/" + std::to_string(2010 + i / 12 * 2));
    TimelineStrip strip;
    strip.resize(600, 400);
    strip.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&strip));
    std::set<std::size_t> loaded;
    strip.setTimeline(buildTimeline(acquiredCard("", ""), datedPhotos(dates), {}),
                      [&](const TimelinePhoto& p, int side) {
                          loaded.insert(p.position);
                          return Image(side, side * 3 / 4, kWhite);
                      });
    strip.zoomAround(+12, 0);
    strip.horizontalScrollBar()->setValue(0);
    strip.decodePending();
    const auto seen = [&] {
        const int left = strip.horizontalScrollBar()->value();
        const auto [first, last] =
            photosInBand(strip.layout(), 120, left, left + strip.viewport()->width());
        return last - first;
    };
    EXPECT_EQ(loaded.size(), seen());
    EXPECT_LT(loaded.size(), 20u);
    const std::size_t before = loaded.size();
    strip.horizontalScrollBar()->setValue(strip.horizontalScrollBar()->maximum());
    strip.decodePending();
    EXPECT_EQ(loaded.size(), before + seen());
    EXPECT_TRUE(loaded.count(60));

    // Ctrl+wheel zooms in and keeps the day under the pointer where it was.
    strip.horizontalScrollBar()->setValue(strip.horizontalScrollBar()->maximum() / 2);
    const double zoom = strip.zoom();
    const double dayAtPointer = strip.layout().dayAtX(strip.horizontalScrollBar()->value() + 100);
    QWheelEvent wheel(QPointF(100, 50), strip.viewport()->mapToGlobal(QPointF(100, 50)), {},
                      {0, 120}, Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(strip.viewport(), &wheel);
    EXPECT_DOUBLE_EQ(strip.zoom(), zoom * 1.25);
    EXPECT_NEAR(strip.layout().dayAtX(strip.horizontalScrollBar()->value() + 100), dayAtPointer,
                1.0);
}

TEST_F(TimelineWindowsTest, CompareStepsThroughTimeAndSavesBothPhotosWithCaptions) {
    const Timeline timeline = readTimeline(app().data(), kGrowthTreeId);
    comparer().setPair(timeline, {0, 2});
    const fs::path saved = dir / "pair.jpg";
    std::vector<ComparePair> seen;
    ui.modal["CompareWindow"].push_back([&](QDialog*) {
        EXPECT_FALSE(enabled(&comparer(), "B_Precedente"));
        EXPECT_TRUE(textOf(&comparer(), "L_Avant").contains("15/03/2019"));
        EXPECT_TRUE(textOf(&comparer(), "L_Avant").contains("~7 "));  // before the acquisition
        for (auto key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Left}) {
            QTest::keyClick(child<QSlider>(&comparer(), "SB_Curseur"), key);
            seen.push_back(comparer().pair());
        }
        ui.savePaths.push_back(QString::fromStdString(saved.string()));
        click(&comparer(), "B_Enregistrer");
    });
    app().showModal(&comparer());
    EXPECT_EQ(seen, (std::vector<ComparePair>{{1, 3}, {1, 3}, {0, 2}}));
    EXPECT_TRUE(ui.texts("error").empty());

    const Image picture = loadJpeg(saved);
    // Photo 3 (300 x 200) then photo 4 (200 x 300) at one height of 200.
    const SideBySide s = sideBySide({300, 200}, {200, 300}, 200, 16, 0);
    EXPECT_EQ(picture.width, s.canvas.width);
    EXPECT_TRUE(near(picture.pixel(s.first.left + 150, 100), Rgb{110, 90, 120}));
    EXPECT_TRUE(near(picture.pixel(s.second.left + 60, 100), Rgb{150, 90, 80}));
    // The captions under each photo, nothing drawn between them.
    const int below = s.first.bottom + 4;
    EXPECT_GT(darkPixels(picture, {s.first.left, below, s.first.right, picture.height}), 40);
    EXPECT_GT(darkPixels(picture, {s.second.left, below, s.second.right, picture.height}), 40);
    EXPECT_EQ(darkPixels(picture, {s.first.right + 2, 0, s.second.left - 2, picture.height}), 0);
}

TEST_F(TimelineWindowsTest, GrowthSheetPrintsNameDatesAndAges) {
    const fs::path pdf = dir / "growth.pdf";
    ui.printerNames = {"PDF"};
    ui.currentPrinter = "PDF";
    ui.pdfOutput = QString::fromStdString(pdf.string());
    ui.modal["GrowthSheetDialog"].push_back([](QDialog* d) {
        auto& w = *static_cast<GrowthSheetDialog*>(d);
        // The latest photo of 2019, 2020 and 2022 are ticked at first.
        EXPECT_EQ(w.chosenPhotos(), (std::vector<std::size_t>{0, 2, 3}));
        click(d, "Btn_Imprimer");
    });
    trigger(&main(), "ImprimerCroissance1");
    ASSERT_EQ(pdfPages(pdf), 1);
    const QString text = pdfText(pdf);
    for (const char* part : {"Mon érable", "26034140509042", "15/03/2019", "~7 ans", "01/06/2020",
                             "~9 ans", "20/08/2022", "~11 ans"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(part))) << part << "\n" << text.toStdString();
}
