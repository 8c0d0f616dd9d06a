#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <map>

#include "exchange/exchange.h"
#include "exchange/ui/export_window.h"
#include "exchange/ui/import_window.h"
#include "support/data_folder.h"
#include "support/program_fixture.h"
#include "support/ui_driving.h"
#include "ui_kit/qt_text.h"
#include "ui_kit/translator.h"

using namespace tavo;
using namespace tavo::test;
namespace fs = std::filesystem;

namespace {

const std::string kId = "26034140509042";

class ExchangeWindows : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        DataFolder(dir.path())
            .tree({kId,
                   cardOf({{"name", "Érable – 120 €"},
                           {"botanical", "Acer palmatum"},
                           {"acquired", "15/03/2010"},
                           {"age", "5"}}),
                   {{"01/03/2020", "Taille", "légère"}, {"5/3/2020", "Rempotage", ""}},
                   {{kId + "001.JPG", "15/03/2012", "À l'achat"},
                    {kId + "002.JPG", "20/05/2020", ""}}})
            .lists({"Taille", "Rempotage"}, {"Bon état"}, {{"Acer palmatum", "Érable", "Maple"}});
        start();
        ui.clear();
    }

    // Options > Exporter... with the format's button, the folder chosen in the browser, then
    // "Exporter"; `during` runs just before the click.
    void exportThroughWindow(const char* formatButton, const fs::path& to,
                             std::function<void(ExportWindow*)> during = {}) {
        ui.folders.push_back(toQString(to));
        ui.modal["ExportWindow"].push_back([=](QDialog* d) {
            auto* w = static_cast<ExportWindow*>(d);
            w->today = "08/12/2026";
            child<QRadioButton>(w, formatButton)->setChecked(true);
            click(w, "B_Parcourir");
            if (during) during(w);
            click(w, "B_Exporter");
        });
        trigger(&main(), "Exporter1");
    }
    // Options > Importer... with the document and the folder chosen in the browsers.
    void importThroughWindow(const fs::path& document, const fs::path& into,
                             std::function<void(ImportWindow*)> during = {}) {
        ui.files.push_back(toQString(document));
        ui.folders.push_back(toQString(into));
        ui.modal["ImportWindow"].push_back([=](QDialog* d) {
            auto* w = static_cast<ImportWindow*>(d);
            click(w, "B_ParcourirFichier");
            click(w, "B_ParcourirDossier");
            if (during) during(w);
            click(w, "B_Importer");
        });
        trigger(&main(), "Importer1");
    }
    fs::path jsonExport() {
        exportCollection(DataPaths{dir.path()}, elsewhere / "json", {});
        return elsewhere / "json/collection.json";
    }
    // The data files of a folder (records, photos, lists), path -> bytes.
    static std::map<std::string, std::string> dataFiles(const fs::path& root) {
        std::map<std::string, std::string> out;
        for (const auto& e : fs::recursive_directory_iterator(root)) {
            const std::string rel = fs::relative(e.path(), root).string();
            if (e.is_regular_file() &&
                (rel.find('/') != std::string::npos || e.path().extension() == ".LIB") &&
                !rel.starts_with("Aide/"))
                out[rel] = readText(e.path());
        }
        return out;
    }

    TempDir elsewhere;
};

}  // namespace

TEST_F(ExchangeWindows, ExportsEachFormatIntoTheChosenFolder) {
    struct Case {
        const char* button;
        std::vector<std::string> files;
    };
    const Case cases[] = {
        {"RB_Html", {"index.html", "trees/" + kId + ".html", "photos/" + kId + "002.JPG"}},
        {"RB_Csv", {"trees.csv", "works.csv", "photos.csv", "lists.csv"}},
        {"RB_Json", {"collection.json", "photos/" + kId + "001.JPG"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        ui.clear();
        ui.answers.push_back(true);  // the album is offered to the browser
        const fs::path to = elsewhere / c.button;
        exportThroughWindow(c.button, to);
        for (const auto& f : c.files) EXPECT_TRUE(fs::is_regular_file(to / f)) << f;
        const bool album = std::string(c.button) == "RB_Html",
                   tables = std::string(c.button) == "RB_Csv";
        const QString done = tables ? msg(ExportedWithoutPhotos).arg(toQString(to)).arg(1)
                                    : msg(Exported).arg(toQString(to)).arg(1).arg(2);
        ASSERT_EQ(ui.texts(album ? "question" : "message").size(), 1u);
        EXPECT_TRUE(ui.texts(album ? "question" : "message")[0].startsWith(done));
        EXPECT_EQ(ui.texts("open"), album ? std::vector<QString>{toQString(to / "index.html")}
                                          : std::vector<QString>{});
        EXPECT_TRUE(ui.texts("error").empty());
    }
}

TEST_F(ExchangeWindows, CancelStopsTheRunAndLeavesNothing) {
    const fs::path document = jsonExport();
    // The click waits in the event queue; the run lets it through between two steps.
    const auto cancelSoon = [](ExchangeDialog* w) {
        QMetaObject::invokeMethod(w->findChild<QPushButton*>("B_Annuler"), "click",
                                  Qt::QueuedConnection);
    };
    exportThroughWindow("RB_Html", elsewhere / "album", cancelSoon);
    importThroughWindow(document, elsewhere / "data", cancelSoon);
    EXPECT_FALSE(fs::exists(elsewhere / "album"));
    EXPECT_FALSE(fs::exists(elsewhere / "data"));
    EXPECT_EQ(ui.texts("message"),
              (std::vector<QString>{msg(ExportCancelled).arg(toQString(elsewhere / "album")),
                                    msg(ImportCancelled).arg(toQString(elsewhere / "data"))}));
    EXPECT_TRUE(ui.texts("error").empty());
}

TEST_F(ExchangeWindows, ImportBuildsTheSameDataFilesAndOpensThem) {
    const fs::path document = jsonExport(), into = elsewhere / "nouveau";
    ui.answers.push_back(true);
    importThroughWindow(document, into);
    ASSERT_EQ(ui.texts("question").size(), 1u);
    EXPECT_EQ(ui.texts("question")[0],
              msg(Imported).arg(toQString(into)).arg(1).arg(2) + "\n\n" + msg(OpenImportedFolder));
    EXPECT_EQ(dataFiles(dir.path()), dataFiles(into));
    // The program works in the new folder from now on, in its own language.
    EXPECT_TRUE(fs::exists(into / "Français.lng"));
    EXPECT_TRUE(fs::exists(into / "Defaut.bmp"));
    EXPECT_EQ(fs::current_path(), into);
    EXPECT_EQ(app().session.dataFolder, into);
    EXPECT_EQ(app().translator->PathFiles(), toQString(into));
    EXPECT_TRUE(ui.texts("error").empty());
    EXPECT_TRUE(ui.texts("warning").empty());
}

TEST_F(ExchangeWindows, RefusalsAreToldInTheInterfaceLanguage) {
    const fs::path document = jsonExport();
    fs::create_directories(elsewhere / "full");
    writeBytes(elsewhere / "full/keep.txt", "x");
    exportThroughWindow("RB_Csv", elsewhere / "full");
    importThroughWindow(document, elsewhere / "full");
    importThroughWindow(document, dir / "FICHES");
    std::string bad = readText(document);
    const std::string date = "\"date\": \"2020-03-01\"";
    ASSERT_NE(std::string::npos, bad.find(date));
    bad.replace(bad.find(date), date.size(), "\"date\": \"2020-02-30\"");
    writeBytes(document, bad);
    importThroughWindow(document, elsewhere / "new");

    const QString full = toQString(elsewhere / "full");
    EXPECT_EQ(ui.texts("warning"),
              (std::vector<QString>{msg(FolderNotEmpty).arg(full), msg(FolderNotEmpty).arg(full),
                                    msg(FolderInsideData).arg(toQString(dir / "FICHES"))}));
    ASSERT_EQ(ui.texts("error").size(), 1u);
    EXPECT_TRUE(ui.texts("error")[0].startsWith(msg(CannotImport) + "\ntrees[0].works[0].date: "));
    EXPECT_FALSE(fs::exists(elsewhere / "new"));
    EXPECT_EQ(listFolder(elsewhere / "full"), std::vector<std::string>{"keep.txt"});
}
