// A tree printed through the dialog to a real printing service: the CUPS PDF queue made by
// scripts/start-print-service, whose output folder receives the page as a PDF file.
#include <QCheckBox>
#include <QComboBox>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <chrono>
#include <cstdlib>
#include <set>
#include <thread>

#include "printing/print_test_support.h"
#include "printing/ui/print_dialog.h"
#include "support/program_fixture.h"
#include "support/ui_driving.h"
#include "ui_kit/printer_resolution.h"
#include "ui_kit/qt_ui_seam.h"

using namespace tavo;
using namespace tavo::test;

namespace {

QString envOr(const char* name, const char* fallback) {
    const char* v = std::getenv(name);
    return QString::fromUtf8(v && *v ? v : fallback);
}

// The scripted seam, with the printers of the program's own seam: the real printing service.
class CupsSeam : public FakeUiSeam {
  public:
    QStringList printers() override { return real.printers(); }
    QString defaultPrinter() override { return real.defaultPrinter(); }
    void targetPrinter(QPrinter& printer, const QString& name) override {
        targeted.push_back(name);
        real.targetPrinter(printer, name);
    }
    QtUiSeam real;
};

std::set<std::filesystem::path> pdfFiles(const std::filesystem::path& folder) {
    std::set<std::filesystem::path> files;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec))
        if (it->path().extension() == ".pdf") files.insert(it->path());
    return files;
}

class PrintServiceTest : public ProgramTest {
  protected:
    void SetUp() override {
        if (qEnvironmentVariable("TAVO_NO_CUPS") == "1")
            GTEST_SKIP() << "TAVO_NO_CUPS=1: no printing service on this machine";
        ProgramTest::SetUp();
    }
};

}  // namespace

TEST_F(PrintServiceTest, TreePrintedToTheCupsPdfQueueComesOutAsOnePage) {
    const QString queue = envOr("TAVO_PDF_QUEUE", "TavoPDF");
    const std::filesystem::path out = envOr("TAVO_PDF_DIR", "/var/spool/tavo-pdf").toStdString();
    CupsSeam cups;
    ASSERT_TRUE(cups.printers().contains(queue))
        << "the printing service has no queue " << queue.toStdString()
        << ": run scripts/start-print-service as root (or set TAVO_NO_CUPS=1 to skip)";

    // The page is drawn in the units of the resolution the queue is set to (600 dpi), not in
    // Qt's own 1200 dpi.
    ASSERT_EQ(printerDefaultResolution(queue.toStdString()), 600);
    {
        QPrinter probe(QPrinter::HighResolution);
        cups.real.targetPrinter(probe, queue);
        EXPECT_EQ(probe.printerName(), queue);
        EXPECT_EQ(probe.resolution(), 600);
    }
    EXPECT_EQ(printerDefaultResolution("NoSuchPrinter"), 0);

    // A tree of its own identifier, so its page is told from any other job's.
    const std::string id = "26" + std::to_string(100000000000LL + ::getpid() % 100000000000LL);
    makePrintableTree(dir.path(), id);
    const auto before = pdfFiles(out);

    program = std::make_unique<Program>(cups);
    program->main().FormActivate();
    program->app.session.openTreeId = id;
    cups.modal["TF_ImprimerFiche"].push_back([&](QDialog* d) {
        auto* p = static_cast<TF_ImprimerFiche*>(d);
        child<QComboBox>(p, "CB_Imprimante")
            ->setCurrentIndex(child<QComboBox>(p, "CB_Imprimante")->findText(queue));
        if (!checked(p, "CB_ImpFiche")) click(p, "CB_ImpFiche");
        if (!checked(p, "CB_ImpTravaux")) click(p, "CB_ImpTravaux");
        click(p, "Btn_Imprimer");
        EXPECT_FALSE(p->isVisible());
    });
    program->main().treeOpened();
    trigger(&program->main(), "ImprimerFiche");
    ASSERT_TRUE(cups.shown.empty()) << cups.shown.front().text.toStdString();
    ASSERT_EQ(cups.targeted, QStringList{queue});

    // The service converts and writes the page in the background: wait for it, bounded.
    std::filesystem::path page;
    QString text;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (page.empty() && std::chrono::steady_clock::now() < deadline) {
        for (const auto& f : pdfFiles(out)) {
            if (before.count(f)) continue;
            const QString t = pdfText(f);  // empty while the file is still being written
            if (t.contains(QString::fromStdString(id))) {
                page = f;
                text = t;
            }
        }
        if (page.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(250));
    }
    ASSERT_FALSE(page.empty()) << "no PDF for tree " << id << " appeared in " << out
                               << " within 30 s";
    EXPECT_EQ(pdfPages(page), 1);

    const std::vector<QString> lines = textLines(text);
    // The service's PostScript step drops the text of the font's "fi" ligature glyph, so the
    // identifier's label is matched from its second word.
    int at = findLine(lines, "de l'arbre : " + QString::fromStdString(id));
    EXPECT_TRUE(at >= 0 && lines[at].startsWith("Identi")) << text.toStdString();
    for (const QString& expected :
         {QString("--- Signalement ---"), QString("Nom de l'arbre : Mon érable"),
          QString("--- Acquisition ---"), QString("Etat à l'acquisition : Prébonsaï"),
          QString("--- Notes ---"), QString("Rempotage prévu au printemps."),
          QString("--- Travaux ---")}) {
        const int next = findLine(lines, expected, at + 1);
        EXPECT_GT(next, at) << expected.toStdString() << "\n" << text.toStdString();
        at = std::max(at, next);
    }
    for (const std::string& works : printedWorks()) {
        const QString expected = QString::fromStdString(works).simplified();
        int next = -1;
        for (int i = at + 1; i < static_cast<int>(lines.size()) && next < 0; ++i)
            if (lines[i].simplified() == expected) next = i;
        EXPECT_GT(next, at) << works << "\n" << text.toStdString();
        at = std::max(at, next);
    }
    std::filesystem::remove(page);
}
