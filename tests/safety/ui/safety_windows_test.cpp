#include <sys/stat.h>
#include <zip.h>

#include <QLineEdit>
#include <QPushButton>
#include <cstdio>

#include "common/errors.h"
#include "photos/gallery_file.h"
#include "safety/backup.h"
#include "safety/data_set.h"
#include "safety/file_copy.h"
#include "safety/restore.h"
#include "safety/ui/backup_window.h"
#include "safety/ui/restore_window.h"
#include "support/faults.h"
#include "support/program_fixture.h"
#include "support/ui_driving.h"
#include "support/zip_reading.h"
#include "ui_kit/qt_text.h"

using namespace tavo;
using namespace tavo::test;
namespace fs = std::filesystem;

namespace {

const std::string kId = "09064143512123";

// A photo name of the open tree; the gallery lists them out of name order on purpose.
std::string photo(int n) {
    return photoFileName(kId, n);
}

class SafetyWindows : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        // One tree with three gallery photos (and a sub-folder, so folder copies must recurse),
        // the three list files. Contents are repetitive so the archive really deflates them.
        writeBytes(dir / ("FICHES/" + kId + ".SIG"), std::string(1234, 'S'));
        writeBytes(dir / ("FICHES/" + kId + ".TRX"), std::string(318 * 2, 'T'));
        std::string gallery;
        for (const auto& [n, date] : std::vector<std::pair<int, std::string>>{
                 {3, "01/02/2003"}, {1, "05/06/2007"}, {2, "09/10/2011"}}) {
            const Bytes rec = encodePhotoRecord({photo(n), date, "Photo " + std::to_string(n)});
            gallery.append(rec.begin(), rec.end());
            writeBytes(dir / ("GALERIES/" + photo(n)), std::string(5000 + n, char('0' + n)));
        }
        writeBytes(dir / ("GALERIES/" + kId + ".GAL"), gallery);
        fs::create_directories(dir / "GALERIES/vieux");
        writeBytes(dir / "GALERIES/vieux/ancien.JPG", std::string(300, 'v'));
        writeBytes(dir / ("IMGREF/" + kId + ".JPG"), std::string(2000, 'R'));
        writeBytes(dir / "Etats.LIB", std::string(51 * 2, 'E'));
        writeBytes(dir / "Types.LIB", std::string(51 * 3, 'Y'));
        writeBytes(dir / "NomsA.LIB", std::string(704, 'N'));
    }
    void TearDown() override {
        test::setAfterFileCopyHook({});
        test::setBeforeRenameHook({});
        ProgramTest::TearDown();
    }
    // The program started, its boxes of the start-up forgotten, the backup clock fixed.
    void begin() {
        start();
        EXPECT_TRUE(ui.shown.empty());  // the shipped language file has every text of the windows
        ui.clear();
        ASSERT_FALSE(
            msg(BackupDone).isEmpty());  // the messages come from the shipped language file
        program->windows().dataSave->clock = [] { return LocalTime{2009, 3, 5, 14, 3, 9}; };
    }
    fs::path data() const { return program->app.data().root; }
    fs::path backupFolder() const { return elsewhere.path() / "Tavo-20090305-140309"; }
    std::vector<std::string> kinds() const {
        std::vector<std::string> out;
        for (const auto& s : ui.shown) out.push_back(s.kind);
        return out;
    }

    // Changes made after a backup: a new card, a changed list, a photo gone.
    void changeData() const {
        writeBytes(data() / "FICHES/20010101000000.SIG", std::string(1234, 'X'));
        writeBytes(data() / "Etats.LIB", std::string(51, 'e'));
        fs::remove(data() / ("GALERIES/" + photo(2)));
        fs::remove_all(data() / "GALERIES/vieux");
    }

    TempDir elsewhere;
};

}  // namespace

TEST_F(SafetyWindows, BackupCopiesTheDataSetWithFourNoticesThenSaysItIsDone) {
    begin();
    ui.folders.push_back(toQString(elsewhere.path().string()));
    ui.modal["TF_DataSave"].push_back([this](QDialog* d) {
        auto* w = static_cast<TF_DataSave*>(d);
        EXPECT_TRUE(textOf(w, "Edit1").isEmpty());
        EXPECT_FALSE(enabled(w, "btn_Sauvegarde"));
        click(w, "btn_parcourir1");
        EXPECT_EQ(textOf(w, "Edit1"), toQString(backupFolder().string()));
        EXPECT_TRUE(enabled(w, "btn_Sauvegarde"));
        EXPECT_FALSE(fs::exists(backupFolder()));  // nothing is made before "Sauvegarder"
        click(w, "btn_Sauvegarde");
        EXPECT_FALSE(w->isVisible());
    });
    EXPECT_EQ(app().showModal(program->windows().dataSave), QDialog::Accepted);

    ASSERT_EQ(kinds(), (std::vector<std::string>{"browse", "message", "message", "message",
                                                 "message", "message"}));
    EXPECT_EQ(ui.shown[0].title, msg(ChooseBackupFolder));
    EXPECT_EQ(ui.shown[0].text, "");  // nothing remembered yet
    int i = 1;
    for (const char* file : {"Tavo.ini", "Etats.LIB", "Types.LIB", "NomsA.LIB"})
        EXPECT_EQ(ui.shown[i++].text,
                  toQString("fichier source \"" + (data() / file).string() +
                            " --- Fichier dest \"" + (backupFolder() / file).string() + "\""));
    EXPECT_EQ(ui.shown[5].text, msg(BackupDone));
    EXPECT_EQ(snapshot(backupFolder()), dataSetPart(snapshot(data())));
    EXPECT_FALSE(fs::exists(backupFolder() / "Defaut.bmp"));

    // Shown again: path field empty, button disabled, the browser opens on the parent; a
    // cancelled browser changes nothing.
    ui.clear();
    ui.modal["TF_DataSave"].push_back([](QDialog* d) {
        auto* w = static_cast<TF_DataSave*>(d);
        EXPECT_TRUE(textOf(w, "Edit1").isEmpty());
        EXPECT_FALSE(enabled(w, "btn_Sauvegarde"));
        click(w, "btn_parcourir1");
        EXPECT_TRUE(textOf(w, "Edit1").isEmpty());
        EXPECT_FALSE(enabled(w, "btn_Sauvegarde"));
    });
    app().showModal(program->windows().dataSave);
    ASSERT_EQ(kinds(), std::vector<std::string>{"browse"});
    EXPECT_EQ(ui.shown[0].text, toQString(elsewhere.path().string()));

    // A parent folder deleted since: the browser opens on nothing.
    fs::remove_all(elsewhere.path());
    ui.clear();
    ui.modal["TF_DataSave"].push_back([](QDialog* d) { click(d, "btn_parcourir1"); });
    app().showModal(program->windows().dataSave);
    ASSERT_EQ(kinds(), std::vector<std::string>{"browse"});
    EXPECT_EQ(ui.shown[0].text, "");
}

TEST_F(SafetyWindows, MissingNomsALibGivesItsFailureAfterSixEntries) {
    fs::remove(dir / "NomsA.LIB");
    begin();
    backUpThroughWindow(elsewhere.path());
    EXPECT_FALSE(program->windows().dataSave->isVisible());
    ASSERT_EQ(kinds(), (std::vector<std::string>{"browse", "message", "message", "message",
                                                 "message", "error", "message"}));
    EXPECT_NE(ui.shown[5].text.indexOf("NomsA.LIB"), -1);
    EXPECT_EQ(ui.shown[6].text, msg(BackupNamesListFailed));
    // An unfinished backup keeps its ".partial" name: the restore never takes it for a backup.
    EXPECT_FALSE(fs::exists(backupFolder()));
    EXPECT_EQ(listFolder(partialBackupFolder(backupFolder())),
              (std::vector<std::string>{"Etats.LIB", "FICHES", "GALERIES", "IMGREF", "Tavo.ini",
                                        "Types.LIB"}));
}

TEST_F(SafetyWindows, BackupThatCannotStartShowsTheErrorAndKeepsTheWindowOpen) {
    begin();
    // A parent inside a folder being copied would copy itself without end.
    const auto before = snapshot(data());
    ui.folders.push_back(toQString((data() / "GALERIES").string()));
    ui.modal["TF_DataSave"].push_back([](QDialog* d) {
        auto* w = static_cast<TF_DataSave*>(d);
        click(w, "btn_parcourir1");
        click(w, "btn_Sauvegarde");
        EXPECT_TRUE(w->isVisible());
    });
    app().showModal(program->windows().dataSave);
    EXPECT_EQ(kinds(), (std::vector<std::string>{"browse", "error"}));
    EXPECT_EQ(snapshot(data()), before);

    // A parent folder removed after it was chosen: the backup folder cannot be made.
    ui.clear();
    const fs::path gone = elsewhere.path() / "gone";
    fs::create_directory(gone);
    ui.folders.push_back(toQString(gone.string()));
    ui.modal["TF_DataSave"].push_back([&](QDialog* d) {
        auto* w = static_cast<TF_DataSave*>(d);
        click(w, "btn_parcourir1");
        fs::remove(gone);
        click(w, "btn_Sauvegarde");
        EXPECT_TRUE(w->isVisible());
        EXPECT_TRUE(enabled(w, "btn_Sauvegarde"));
    });
    app().showModal(program->windows().dataSave);
    ASSERT_EQ(kinds(), (std::vector<std::string>{"browse", "error"}));
    EXPECT_EQ(ui.shown[1].text, toQString("Impossible de créer le répertoire " +
                                          (gone / "Tavo-20090305-140309").string()));
    EXPECT_FALSE(fs::exists(gone));
}

TEST_F(SafetyWindows, RestoreOfAWindowBackupGivesExactlyTheBackup) {
    begin();
    ASSERT_EQ(backUpThroughWindow(elsewhere.path()), QDialog::Accepted);
    const auto backup = snapshot(backupFolder());
    changeData();
    const auto others = snapshot(data());
    ui.clear();

    EXPECT_EQ(restoreThroughWindow(backupFolder()), QDialog::Accepted);
    ASSERT_EQ(kinds(), (std::vector<std::string>{"browse", "message"}));
    EXPECT_EQ(ui.shown[0].title, msg(ChooseBackupToRestore));
    EXPECT_EQ(ui.shown[1].text, msg(RestoreDone));
    EXPECT_EQ(dataSetPart(snapshot(data())), backup);
    EXPECT_FALSE(fs::exists(data() / "FICHES/20010101000000.SIG"));
    EXPECT_FALSE(fs::exists(data() / kStagingFolder));
    EXPECT_FALSE(fs::exists(data() / kReplacedFolder));
    const auto after = snapshot(data());
    for (const auto& [rel, content] : others)  // files outside the data set are left alone
        if (dataSetPart({{rel, content}}).empty()) {
            EXPECT_EQ(after.at(rel), content) << rel;
        }
    EXPECT_EQ(snapshot(backupFolder()), backup);  // the backup is only read
}

TEST_F(SafetyWindows, RestoreChecksTheChosenFolderAndRemembersTheLastGoodOne) {
    begin();
    backUpThroughWindow(elsewhere.path());
    const fs::path notABackup = elsewhere.path() / "incomplete";
    fs::copy(backupFolder(), notABackup, fs::copy_options::recursive);
    fs::remove(notABackup / "NomsA.LIB");
    ui.clear();

    ui.folders = {toQString(notABackup.string()), toQString(backupFolder().string()),
                  toQString(notABackup.string())};
    ui.modal["TF_DataRestore"].push_back([this, notABackup](QDialog* d) {
        auto* w = static_cast<TF_DataRestore*>(d);
        click(w, "btn_parcourir1");  // refused
        EXPECT_TRUE(textOf(w, "Edit1").isEmpty());
        EXPECT_FALSE(enabled(w, "btn_Restaurer"));
        click(w, "btn_parcourir1");  // accepted
        click(w, "btn_parcourir1");  // refused: the good one stays
        EXPECT_EQ(textOf(w, "Edit1"), toQString(backupFolder().string()));
        EXPECT_TRUE(enabled(w, "btn_Restaurer"));
        EXPECT_EQ(w->restoreSource(), backupFolder());
    });
    app().showModal(program->windows().dataRestore);
    ASSERT_EQ(ui.texts("message"),
              (std::vector<QString>{"Ce répertoire ne contient pas une sauvegarde valide",
                                    "Ce répertoire ne contient pas une sauvegarde valide"}));
    EXPECT_EQ(ui.texts("browse")[0], "");
    EXPECT_EQ(ui.texts("browse")[2], toQString(backupFolder().string()));

    // Shown again: nothing chosen in this showing, so "Restaurer" is disabled; the browser
    // opens on the remembered source.
    ui.clear();
    ui.modal["TF_DataRestore"].push_back([](QDialog* d) {
        auto* w = static_cast<TF_DataRestore*>(d);
        EXPECT_TRUE(textOf(w, "Edit1").isEmpty());
        EXPECT_FALSE(enabled(w, "btn_Restaurer"));
        click(w, "btn_parcourir1");
    });
    app().showModal(program->windows().dataRestore);
    EXPECT_EQ(ui.texts("browse"), std::vector<QString>{toQString(backupFolder().string())});
}

TEST_F(SafetyWindows, RestoreBrokenInTheMiddleChangesNothing) {
    begin();
    backUpThroughWindow(elsewhere.path());
    changeData();
    const auto before = snapshot(data());

    // The fifth entry (FICHES) cannot be swapped in, after the four files were.
    int renames = 0;
    test::setBeforeRenameHook([&](const fs::path& from, const fs::path&) {
        if (++renames == 9) throw IoError("rename", from, "injected");
    });
    ui.clear();
    EXPECT_EQ(restoreThroughWindow(backupFolder()), QDialog::Rejected);
    test::setBeforeRenameHook({});
    ASSERT_EQ(kinds(), (std::vector<std::string>{"browse", "error", "message"}));
    EXPECT_EQ(ui.shown[2].text, msg(RestoreDeleteFolderFailed));
    EXPECT_EQ(snapshot(data()), before);

    // A backup file that cannot be read as a file stops the copy half-way.
    ASSERT_EQ(::mkfifo((backupFolder() / "GALERIES/pipe.JPG").c_str(), 0644), 0);
    ui.clear();
    restoreThroughWindow(backupFolder());
    ASSERT_EQ(kinds(), (std::vector<std::string>{"browse", "error", "message"}));
    EXPECT_EQ(ui.shown[2].text, msg(RestoreCopyFolderFailed));
    EXPECT_EQ(snapshot(data()), before);
}

TEST_F(SafetyWindows, RestoreIntoADataFolderWithoutTypesLib) {
    begin();
    backUpThroughWindow(elsewhere.path());
    fs::remove(data() / "Types.LIB");
    ui.clear();
    restoreThroughWindow(backupFolder());
    EXPECT_EQ(ui.texts("message"), std::vector<QString>{msg(RestoreDone)});
    EXPECT_EQ(dataSetPart(snapshot(data())), snapshot(backupFolder()));
}

TEST_F(SafetyWindows, StartUpFinishesAnInterruptedRestore) {
    // A restore killed during the swap: the complete staged copy waits in RESTORE.TMP.
    makeDataSet(elsewhere / "backup");
    const fs::path staging = dir / kStagingFolder;
    fs::create_directory(staging);
    for (const auto& e : kBackupEntries)
        fs::copy(e.in(DataPaths{elsewhere / "backup"}), e.in(DataPaths{staging}),
                 fs::copy_options::recursive);
    writeBytes(staging / kStagingReadyMarker, "");
    program = std::make_unique<Program>(ui);
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(dataSetPart(snapshot(dir.path())), dataSetPart(snapshot(elsewhere / "backup")));
    EXPECT_FALSE(fs::exists(staging));
    EXPECT_FALSE(fs::exists(dir / kReplacedFolder));
}

TEST_F(SafetyWindows, StartUpReportsLeftoversItCannotSortOutAndKeepsThem) {
    // An entry set aside that the data folder also has: neither copy may be thrown away.
    fs::create_directory(dir / kReplacedFolder);
    writeBytes(dir / kReplacedFolder / "Etats.LIB", "aside");
    const auto before = snapshot(dir.path());
    program = std::make_unique<Program>(ui);
    EXPECT_EQ(kinds(), std::vector<std::string>{"error"});
    EXPECT_EQ(snapshot(dir.path()), before);
}

TEST_F(SafetyWindows, TreeArchiveListsTheTreeFilesThenThePhotosInGalleryOrder) {
    begin();
    app().session.openTreeId = kId;
    main().treeOpened();
    const fs::path cwd = fs::current_path();
    const fs::path zip = elsewhere.path() / ("Tavo-" + kId + ".zip");

    ui.answers = {true};
    ui.folders = {toQString(elsewhere.path().string())};
    trigger(&main(), "Fichierarchive1");
    ASSERT_EQ(kinds(), (std::vector<std::string>{"question", "browse"}));
    EXPECT_EQ(ui.shown[0].text, msg(ConfirmArchive) + "\n" + msg(ArchiveContents));
    EXPECT_EQ(ui.shown[1].title, msg(ChooseArchiveFolder));
    EXPECT_EQ(ui.shown[1].text, "");
    EXPECT_EQ(fs::current_path(), cwd);

    const std::vector<std::string> expected = {
        kId + ".JPG", kId + ".SIG", kId + ".TRX", kId + ".GAL", photo(3), photo(1), photo(2)};
    const std::vector<fs::path> sources = {
        data() / ("IMGREF/" + kId + ".JPG"), data() / ("FICHES/" + kId + ".SIG"),
        data() / ("FICHES/" + kId + ".TRX"), data() / ("GALERIES/" + kId + ".GAL"),
        data() / ("GALERIES/" + photo(3)),   data() / ("GALERIES/" + photo(1)),
        data() / ("GALERIES/" + photo(2))};
    const auto entries = readZip(zip);
    ASSERT_EQ(entries.size(), 7u);
    for (std::size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(entries[i].name, expected[i]);
        EXPECT_EQ(entries[i].method, ZIP_CM_DEFLATE) << entries[i].name;
        EXPECT_EQ(entries[i].content, readText(sources[i])) << entries[i].name;
    }
    ASSERT_TRUE(fs::exists("/usr/bin/unzip")) << "scripts/install-deps installs unzip";
    EXPECT_EQ(unzipListNames(zip), expected);

    // A second run makes the archive afresh: a photo gone from the folder is no longer in it.
    fs::remove(data() / ("GALERIES/" + photo(1)));
    ui.answers = {true};
    ui.folders = {toQString(elsewhere.path().string())};
    trigger(&main(), "Fichierarchive1");
    EXPECT_EQ(unzipListNames(zip),
              (std::vector<std::string>{kId + ".JPG", kId + ".SIG", kId + ".TRX", kId + ".GAL",
                                        photo(3), photo(2)}));
    EXPECT_EQ(listFolder(elsewhere.path()), std::vector<std::string>{zip.filename()});
    EXPECT_TRUE(ui.texts("error").empty());
    EXPECT_TRUE(ui.texts("message").empty());
}

TEST_F(SafetyWindows, TreeArchiveWritesNothingWhenRefusedCancelledOrFailing) {
    begin();
    app().session.openTreeId = kId;
    main().treeOpened();
    ui.answers = {false};
    ui.folders = {toQString(elsewhere.path().string())};
    trigger(&main(), "Fichierarchive1");
    EXPECT_EQ(kinds(), std::vector<std::string>{"question"});  // No: not even the browser

    ui.clear();
    ui.answers = {true};
    ui.folders.clear();
    trigger(&main(), "Fichierarchive1");
    EXPECT_EQ(kinds(), (std::vector<std::string>{"question", "browse"}));
    EXPECT_TRUE(listFolder(elsewhere.path()).empty());

    // A gallery file that cannot be read: the error box, and no archive at all.
    fs::remove(data() / ("GALERIES/" + kId + ".GAL"));
    ui.clear();
    ui.answers = {true};
    ui.folders = {toQString(elsewhere.path().string())};
    trigger(&main(), "Fichierarchive1");
    EXPECT_EQ(kinds(), (std::vector<std::string>{"question", "browse", "error"}));
    EXPECT_TRUE(listFolder(elsewhere.path()).empty());
}
