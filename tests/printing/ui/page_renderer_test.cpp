// The printed page drawn on a PDF printer and read back with the poppler tools.
#include <gtest/gtest.h>

#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>

#include "common/errors.h"
#include "printing/print_test_support.h"
#include "printing/ui/page_renderer.h"
#include "support/fake_ui_seam.h"
#include "support/temp_dir.h"

using namespace tavo;
using namespace tavo::test;

namespace {

std::string msg(Msg m) {
    return "Msg" + std::to_string(messageKey(m));
}

// One word of `pdftotext -bbox`, in points from the page's top-left corner.
struct Word {
    double xMin = 0, yMin = 0;
    QString text;
};

std::vector<Word> pdfWords(const std::filesystem::path& pdf) {
    const QString html = runTool("pdftotext", {"-bbox", QString::fromStdString(pdf.string()), "-"});
    static const QRegularExpression word(
        R"re(<word xMin="([0-9.]+)" yMin="([0-9.]+)"[^>]*>([^<]*)</word>)re");
    std::vector<Word> words;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        words.push_back({m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3)});
    }
    return words;
}

class PageRendererTest : public ::testing::Test {
  protected:
    void SetUp() override {
        makePrintableTree(dir.path());
        ui.pdfOutput = QString::fromStdString(pdf.string());
    }

    PagePlan print(PrintChoice choice) { return printAll(choice).front(); }
    std::vector<PagePlan> printAll(PrintChoice choice) {
        QPrinter printer(QPrinter::HighResolution);
        ui.targetPrinter(printer, QStringLiteral("PDF"));
        resolution = printer.resolution();
        origin = printer.pageLayout().paintRectPixels(resolution).topLeft();
        return printTree(printer, TreePrintRequest{DataPaths{dir.path()}, kTreeId, "Érable", choice,
                                                   msg, "Tavo"});
    }
    // A position of the PDF page (points) in the printer's device units, from the printable
    // area's corner.
    double unitsX(double points) const { return points * resolution / 72.0 - origin.x(); }
    double unitsY(double points) const { return points * resolution / 72.0 - origin.y(); }

    // Part of the page rendered at the printer's resolution without smoothing, so one device
    // unit is one pixel; read by device units.
    struct Region {
        QImage image;
        int x = 0, y = 0;
        QColor at(int ux, int uy) const { return image.pixelColor(ux - x, uy - y); }
    };
    Region region(int x, int y, int w, int h) const {
        const QString png = QString::fromStdString((dir / "region").string());
        int rc = -1;
        runTool("pdftoppm",
                {"-r", QString::number(resolution), "-aa", "no", "-aaVector", "no", "-x",
                 QString::number(origin.x() + x), "-y", QString::number(origin.y() + y), "-W",
                 QString::number(w), "-H", QString::number(h), "-singlefile", "-png",
                 QString::fromStdString(pdf.string()), png},
                &rc);
        Region r{QImage(png + ".png").convertToFormat(QImage::Format_RGB32), x, y};
        EXPECT_EQ(rc, 0);
        EXPECT_EQ(r.image.size(), QSize(w, h));
        return r;
    }

    TempDir dir;
    std::filesystem::path pdf = dir / "page.pdf";
    FakeUiSeam ui;
    int resolution = 0;
    QPoint origin;
};

std::vector<QString> simplified(const std::vector<QString>& lines) {
    std::vector<QString> out;
    for (const QString& l : lines) out.push_back(l.simplified());
    return out;
}

}  // namespace

TEST_F(PageRendererTest, BothPartsGiveOnePageWithEveryLineInOrder) {
    const PagePlan plan = print({true, true});
    ASSERT_EQ(pdfPages(pdf), 1);

    std::vector<QString> expected = {"Msg31 : 26034140509042",
                                     "--- Msg32 ---",
                                     "Msg33 : Mon érable",
                                     "Msg34 : Acer palmatum",
                                     "Msg35 : Érable du Japon",
                                     "Msg36 : Japanese maple",
                                     "--- Msg37 ---",
                                     "Msg38 : Prébonsaï",
                                     "Msg39 : Pépinière Kaede",
                                     "Msg40 : 12/04/2019",
                                     "Msg41 : 8",
                                     "Msg42 : O",
                                     "Msg43 : 45",
                                     "--- Msg44 ---",
                                     "Rempotage prévu au printemps.",
                                     "--- Msg45 ---"};
    for (const std::string& w : printedWorks()) expected.push_back(QString::fromStdString(w));
    EXPECT_EQ(simplified(textLines(pdfText(pdf))), simplified(expected));
    EXPECT_EQ(plan.lines.size(), 21u);  // the empty second notes part too

    // Titles in bold, the rest regular, in the printer's default face.
    const QString fonts = runTool("pdffonts", {QString::fromStdString(pdf.string())});
    EXPECT_TRUE(fonts.contains("-Bold")) << fonts.toStdString();
    EXPECT_EQ(fonts.split('\n', Qt::SkipEmptyParts).size(), 2 + 2) << fonts.toStdString();
}

TEST_F(PageRendererTest, EachTextHasItsTopAtThePlannedPosition) {
    const PagePlan plan = print({true, true});
    const std::vector<Word> words = pdfWords(pdf);
    // The first word of each of a few lines: identifier line, a bold title, a works line.
    for (const auto& [first, lineIndex] :
         std::vector<std::pair<QString, int>>{{"Msg31", 0}, {"Msg32", 1}, {"01/03/2020", 17}}) {
        SCOPED_TRACE(first.toStdString());
        auto w = std::find_if(words.begin(), words.end(),
                              [&text = first](const Word& w) { return w.text == text; });
        ASSERT_NE(w, words.end());
        const PlanText& line = plan.lines[static_cast<std::size_t>(lineIndex)];
        EXPECT_NEAR(unitsY(w->yMin), line.y, 10);  // drawn by the baseline, it would be ~70 up
        if (line.style == TextStyle::Regular) {
            EXPECT_NEAR(unitsX(w->xMin), line.x, 10);
        }
    }
    EXPECT_EQ(plan.lines[0].y, 7 * 159 + 300);
    EXPECT_EQ(plan.lines[17].y, 7 * 159 + 2600);
}

TEST(PageRenderer, FrameAndPhotoCoverTheirPixelsExactly) {
    // On a raster device every pixel is exact: the frame's outline and the photo's rectangle
    // exclude their right and bottom edges.
    const int w = 1400, h = 1800;
    QImage page(w + 4, h + 4, QImage::Format_RGB32);
    page.fill(Qt::white);
    const Image photo = printPhoto();
    PageInput in;
    in.treeId = kTreeId;
    in.photoWidth = photo.width;
    in.photoHeight = photo.height;
    in.page = {w, h};
    const PagePlan plan = layoutPages(in, msg).front();
    {
        QPainter painter(&page);
        renderPage(painter, plan,
                   QImage(photo.data(), photo.width, photo.height,
                          static_cast<qsizetype>(photo.stride()), QImage::Format_RGB888));
    }
    const QColor black(Qt::black), white(Qt::white);
    auto at = [&](int x, int y) { return page.pixelColor(x, y); };
    for (int y : {0, 100, h / 2, h - 1}) {
        EXPECT_EQ(at(0, y), black) << y;
        EXPECT_EQ(at(w - 1, y), black) << y;
        EXPECT_EQ(at(w, y), white) << y;
    }
    for (int x : {0, 100, w / 2, w - 1}) {
        EXPECT_EQ(at(x, 0), black) << x;
        EXPECT_EQ(at(x, h - 1), black) << x;
        EXPECT_EQ(at(x, h), white) << x;
    }
    EXPECT_EQ(at(1, h / 2), white);
    EXPECT_EQ(at(w / 2, 1), white);

    const PlanRect p = plan.photo;  // (201, 201)-(1039, 1312)
    const QColor red(220, 20, 20), blue(20, 20, 220);
    EXPECT_EQ(at(p.left, p.top), red);
    EXPECT_EQ(at(p.right - 1, p.top), red);
    EXPECT_EQ(at(p.left, p.bottom - 1), blue);
    EXPECT_EQ(at(p.right - 1, p.bottom - 1), blue);
    EXPECT_EQ(at(p.left - 1, p.top + 5), white);
    EXPECT_EQ(at(p.left + 5, p.top - 1), white);
    EXPECT_EQ(at(p.right, p.bottom - 5), white);
    EXPECT_EQ(at(p.right - 5, p.bottom), white);
    // Row 80 of the 159 photo rows begins about 80/159 of the way down.
    const int split = p.top + 80 * p.height() / 159;
    EXPECT_EQ(at(p.left + 5, split - 4), red);
    EXPECT_EQ(at(p.left + 5, split + 4), blue);
}

TEST_F(PageRendererTest, PrintedPageHasItsFrameAndThePhotoAboveTheText) {
    const PagePlan plan = print({false, true});
    // The PDF rendered again at the printer's resolution: edges may land one pixel off.
    auto dark = [](QColor c) { return c.lightness() < 100; };
    auto darkNear = [&](const Region& r, int x, int y, bool vertical) {
        for (int d = -1; d <= 1; ++d)
            if (dark(vertical ? r.at(x + d, y) : r.at(x, y + d))) return true;
        return false;
    };
    const QColor white(Qt::white);
    const int w = plan.frame.width(), h = plan.frame.height();
    const Region topLeft = region(-8, -8, 24, 24);
    EXPECT_TRUE(darkNear(topLeft, 0, 10, true));
    EXPECT_TRUE(darkNear(topLeft, 10, 0, false));
    EXPECT_EQ(topLeft.at(4, 10), white);
    EXPECT_EQ(topLeft.at(-4, 10), white);
    const Region bottomRight = region(w - 16, h - 16, 24, 24);
    EXPECT_TRUE(darkNear(bottomRight, w - 1, h - 10, true));
    EXPECT_TRUE(darkNear(bottomRight, w - 10, h - 1, false));
    EXPECT_EQ(bottomRight.at(w - 5, h - 10), white);
    EXPECT_EQ(bottomRight.at(w + 3, h - 10), white);

    const PlanRect p = plan.photo;
    const Region photo = region(p.left - 8, p.top - 8, p.width() + 16, p.height() + 16);
    auto red = [](QColor c) { return c.red() > 180 && c.blue() < 80; };
    auto blue = [](QColor c) { return c.blue() > 180 && c.red() < 80; };
    EXPECT_TRUE(red(photo.at(p.left + 2, p.top + 2)));
    EXPECT_TRUE(red(photo.at(p.right - 3, p.top + p.height() / 3)));
    EXPECT_TRUE(blue(photo.at(p.left + 2, p.bottom - 3)));
    EXPECT_TRUE(blue(photo.at(p.right - 3, p.bottom - 3)));
    EXPECT_EQ(photo.at(p.left - 3, p.top + 5), white);
    EXPECT_EQ(photo.at(p.left + 5, p.top - 3), white);
    EXPECT_EQ(photo.at(p.right + 2, p.bottom - 5), white);
    EXPECT_EQ(photo.at(p.right - 5, p.bottom + 2), white);

    // Every text starts below the photo.
    const std::vector<Word> words = pdfWords(pdf);
    ASSERT_FALSE(words.empty());
    for (const Word& word : words) EXPECT_GT(unitsY(word.yMin), p.bottom);
}

TEST_F(PageRendererTest, ALongWorksLogPrintsWholeOnNumberedPages) {
    WorksFile works(DataPaths{dir.path()}, kTreeId);
    std::string longComment;
    for (int i = 0; i < 25; ++i) longComment += "ramure" + std::to_string(i) + " ";
    for (int i = 1; i <= 100; ++i)
        works.add({"01/01/2024", "Arrosage",
                   "ligne " + std::to_string(100 + i) +
                       (i == 50 ? " " + longComment + "fin" : " des branches basses et du tronc")});
    const std::vector<PagePlan> pages = printAll({true, true});
    ASSERT_EQ(pdfPages(pdf), static_cast<int>(pages.size()));
    EXPECT_GE(pages.size(), 3u);

    // Every line is there once, in order, the long one whole; each page says which it is.
    const QString text = pdfText(pdf);
    qsizetype at = 0;
    for (int i = 1; i <= 100; ++i) {
        const qsizetype next = text.indexOf(QString("ligne %1 ").arg(100 + i), at);
        ASSERT_GT(next, at) << i;
        at = next;
    }
    EXPECT_TRUE(text.contains("ramure24 fin"));
    EXPECT_EQ(text.count(QString("Msg56")), static_cast<qsizetype>(pages.size()));
    for (const PagePlan& page : pages)
        for (const PlanText& line : page.lines) EXPECT_LT(line.y, page.frame.height() - 200);
}

TEST_F(PageRendererTest, AnUnreadableFileStopsThePrintoutBeforeTheDocumentStarts) {
    const DataPaths data{dir.path()};
    // Only "Travaux": the card is never read, so its loss does not matter.
    std::filesystem::remove(data.card(kTreeId));
    print({false, true});
    EXPECT_EQ(pdfPages(pdf), 1);
    std::filesystem::remove(pdf);

    EXPECT_THROW(print({true, true}), IoError);
    EXPECT_FALSE(std::filesystem::exists(pdf));

    makePrintableTree(dir / "other");
    std::filesystem::copy_file(DataPaths{dir / "other"}.card(kTreeId), data.card(kTreeId));
    writeBytes(data.referencePhoto(kTreeId), "not a picture");
    EXPECT_THROW(print({true, false}), CodecError);
    EXPECT_FALSE(std::filesystem::exists(pdf));
}
