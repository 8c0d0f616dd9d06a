#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "common/folder_lock.h"
#include "safety/integrity_check.h"
#include "safety/restore.h"
#include "safety/ui/check_window.h"
#include "support/data_folder.h"
#include "support/program_fixture.h"
#include "support/ui_driving.h"
#include "ui_kit/translator.h"

using namespace tavo;
using namespace tavo::test;
namespace fs = std::filesystem;

namespace {

class FolderCheck : public ProgramTest {
  protected:
    // The program on a whole folder: one tree and the lists.
    void begin() {
        start();
        DataFolder(dir.path()).tree(kId, {"01/01/2020"}, {"01/01/2021"}).lists().cardCounter(2);
        ui.clear();
    }
    // Shows the checker through the menu command; `script` runs while it is shown.
    void showChecker(std::function<void(CheckWindow&)> script) {
        ui.modal["CheckWindow"].push_back(
            [script = std::move(script)](QDialog* d) { script(*static_cast<CheckWindow*>(d)); });
        app().guard(nullptr, [this] { program->commands.safety.check(); });
    }
    static QStringList lines(const CheckWindow& w) {
        QStringList out;
        for (int i = 0; i < child<QListWidget>(&w, "LB_Problemes")->count(); ++i)
            out << child<QListWidget>(&w, "LB_Problemes")->item(i)->text();
        return out;
    }
    const std::string kId = "26034140509042";
};

TEST_F(FolderCheck, ASecondProgramOnAHeldFolderReadsOnlyOrQuits) {
    // A program on another computer holds the folder: its lock file, locked here.
    writeBytes(dir / FolderLock::kFileName,
               "host=atelier\npid=4242\nstarted=2026-12-08 01:35:18\n");
    const int held = ::open((dir / FolderLock::kFileName).c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    writeBytes(dir / "DATA.TMP", "x");  // something the checker could mend
    struct Case {
        int answer;  // 0 read only, 1 quit, -1 box closed
        bool quits;
    };
    for (const Case c : {Case{1, true}, Case{-1, true}, Case{0, false}}) {
        SCOPED_TRACE(c.answer);
        program.reset();
        ui.clear();
        ui.choices = {c.answer};
        const std::string iniBefore =
            fs::exists(dir / "Tavo.ini") ? readText(dir / "Tavo.ini") : std::string();
        start();
        ASSERT_EQ(ui.texts("choice").size(), 1u);
        const QString box = ui.texts("choice").front();
        for (const char* shown : {"4242", "atelier", "2026-12-08 01:35:18"})
            EXPECT_TRUE(box.contains(QString::fromLatin1(shown))) << shown;
        EXPECT_FALSE(msg(OpenReadOnly).isEmpty());
        for (const Shown& s : ui.shown)
            if (s.kind == "choice") {
                EXPECT_EQ(s.title, msg(OpenReadOnly) + '|' + msg(Quit));
            }
        EXPECT_EQ(main().quitAtStart(), c.quits);
        if (c.quits) continue;

        EXPECT_TRUE(app().readOnly());
        EXPECT_TRUE(main().windowTitle().endsWith(msg(ReadOnlyMark)));
        for (const QAction* a :
             {child<QAction>(&main(), "CreerFiche"), child<QAction>(&main(), "Restaurer1"),
              child<QAction>(&main(), "TypesIntervention1"),
              child<QAction>(&main(), "Nomsdesarbres1")})
            EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
        EXPECT_FALSE(enabled(&main(), "B_AjoutLigneTravail"));
        EXPECT_TRUE(enabled(&main(), "Verifier1"));
        // A writing command reached without its menu item still refuses, and says why.
        ui.clear();
        program->commands.cards.create();
        program->commands.safety.restore();
        EXPECT_EQ(ui.texts("message"), std::vector<QString>(2, msg(DataReadOnly)));
        EXPECT_TRUE(ui.modalShown.empty());
        // The checker reads, but does not mend.
        showChecker([&](CheckWindow& w) {
            EXPECT_EQ(child<QListWidget>(&w, "LB_Problemes")->count(), 1);
            EXPECT_FALSE(enabled(&w, "B_Reparer"));
        });
        main().FormDestroy();
        EXPECT_EQ(readText(dir / "Tavo.ini"), iniBefore);
        EXPECT_TRUE(fs::exists(dir / "DATA.TMP"));
    }
    // The holder keeps its lock; once it ends, the next program takes the folder without asking.
    program.reset();
    EXPECT_EQ(FolderLock::holderOf(DataPaths{dir.path()}).pid, 4242);
    ::close(held);
    fs::remove(dir / FolderLock::kFileName);
    ui.clear();
    start();
    EXPECT_TRUE(ui.texts("choice").empty());
    EXPECT_FALSE(app().readOnly());
    EXPECT_EQ(FolderLock::holderOf(DataPaths{dir.path()}).pid, static_cast<long>(::getpid()));
    program.reset();
    EXPECT_FALSE(fs::exists(dir / FolderLock::kFileName));
}

TEST_F(FolderCheck, ListsTheProblemsThenRepairsAfterABackup) {
    begin();
    showChecker([&](CheckWindow& w) {
        EXPECT_EQ(textOf(&w, "L_Resume"), msg(DataWhole));
        EXPECT_TRUE(lines(w).isEmpty());
        EXPECT_FALSE(enabled(&w, "B_Reparer"));
    });
    // Two things a crash leaves behind, one only a person can sort out.
    writeBytes(dir / "DATA.TMP", "x");
    writeBytes(dir / "GALERIES/perdue.JPG", "jpeg");
    writeBytes(dir / "Types (conflicted copy).LIB", "");
    TempDir backups;
    ui.folders.push_back(QString::fromStdString(backups.path().string()));
    showChecker([&](CheckWindow& w) {
        EXPECT_EQ(textOf(&w, "L_Resume"), msg(ProblemsFound).arg(3).arg(2));
        const QStringList found = lines(w);
        ASSERT_EQ(found.size(), 3);
        // What is wrong in the interface language, then where.
        const QString temp = found.filter(QStringLiteral("DATA.TMP")).value(0);
        EXPECT_TRUE(temp.startsWith(app().translator->GetTranslation(2217, 0)))
            << temp.toStdString();
        EXPECT_EQ(found.filter(QStringLiteral("GALERIES/perdue.JPG")).size(), 1);
        ASSERT_TRUE(enabled(&w, "B_Reparer"));
        click(&w, "B_Reparer");
        EXPECT_TRUE(textOf(&w, "L_Resume").startsWith(msg(RepairDoneSomeRemain).arg(2).arg(1)));
        EXPECT_EQ(lines(w).filter(msg(Mended).arg(QString())).size(), 2);
        EXPECT_FALSE(enabled(&w, "B_Reparer"));
    });
    EXPECT_EQ(ui.texts("error"), std::vector<QString>{});
    // Mended, and the backup came first.
    fs::remove(dir / "Types (conflicted copy).LIB");
    EXPECT_TRUE(checkDataFolder(DataPaths{dir.path()}).empty());
    EXPECT_TRUE(fs::exists(dir / "LOST+FOUND/GALERIES/perdue.JPG"));
    std::vector<fs::path> made(fs::directory_iterator(backups.path()), fs::directory_iterator());
    ASSERT_EQ(made.size(), 1u);
    EXPECT_TRUE(isValidBackup(DataPaths{made.front()}));
    EXPECT_TRUE(fs::exists(made.front() / "GALERIES/perdue.JPG"));
}

}  // namespace
