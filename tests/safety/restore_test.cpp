#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "common/errors.h"
#include "common/file_io.h"
#include "safety/backup.h"
#include "safety/data_set.h"
#include "safety/file_copy.h"
#include "safety/restore.h"
#include "support/faults.h"

using namespace tavo;
using namespace tavo::test;
namespace fs = std::filesystem;

namespace {

// A data folder and a backup of it taken before the data folder changed: a new card, a changed
// list file, a settings file with other content.
class Restore : public ::testing::Test {
  protected:
    using enum Msg;
    void SetUp() override {
        makeDataSet(data());
        ASSERT_TRUE(runBackup(DataPaths{data()}, backup(), {}).succeeded());
        changeData();
    }
    void changeData() const {
        writeBytes(data() / "FICHES/20010101000000.SIG", std::string(1234, 'X'));
        writeBytes(data() / "Etats.LIB", std::string(102, 'e'));
        writeBytes(data() / "Tavo.ini", "[Interface]\r\nLangage=English\r\n");
        fs::remove_all(data() / "GALERIES/vieux");
    }
    void TearDown() override {
        test::setAfterFileCopyHook({});
        test::setBeforeRenameHook({});
        test::failNthWrite(0);
    }
    fs::path data() const { return dir_ / "data"; }
    fs::path backup() const { return dir_ / "Tavo-20090305-140309"; }
    void expectRestored() const {
        EXPECT_EQ(dataSetPart(snapshot(data())), snapshot(backup()));
        EXPECT_FALSE(fs::exists(data() / kStagingFolder));
        EXPECT_FALSE(fs::exists(data() / kReplacedFolder));
    }
    TempDir dir_;
};

// Runs `body` in a child process that its hooks end abruptly (exit code 9), as a kill would.
int inKilledChild(const std::function<void()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        body();
        ::_exit(0);
    }
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

}  // namespace

TEST_F(Restore, RecognisesABackupByItsSevenEntries) {
    EXPECT_TRUE(isValidBackup(DataPaths{backup()}));
    EXPECT_TRUE(isValidBackup(DataPaths{data()}));
    fs::remove(backup() / "NomsA.LIB");
    EXPECT_FALSE(isValidBackup(DataPaths{backup()}));
    fs::create_directory(backup() / "NomsA.LIB");
    EXPECT_FALSE(isValidBackup(DataPaths{backup()}));
    EXPECT_FALSE(isValidBackup(DataPaths{dir_ / "nowhere"}));
    EXPECT_STREQ(kNotABackupText, "Ce répertoire ne contient pas une sauvegarde valide");
}

TEST_F(Restore, GivesExactlyTheBackupAndLeavesOtherFilesAlone) {
    const auto before = snapshot(data());
    const RestoreOutcome out = restoreBackup(DataPaths{backup()}, DataPaths{data()});
    EXPECT_EQ(out.message, RestoreDone);
    EXPECT_TRUE(out.failure.empty());
    expectRestored();
    EXPECT_FALSE(fs::exists(data() / "FICHES/20010101000000.SIG"));
    for (const char* other : {"Français.lng", "Defaut.bmp", "Aide/Français/Index.htm"})
        EXPECT_EQ(readText(data() / other), before.at(other));
}

TEST_F(Restore, MissingCurrentEntriesAreSimplyReplaced) {
    fs::remove(data() / "Types.LIB");
    fs::remove_all(data() / "IMGREF");
    EXPECT_EQ(restoreBackup(DataPaths{backup()}, DataPaths{data()}).message, RestoreDone);
    expectRestored();
}

TEST_F(Restore, AFailedCopyLeavesTheDataFolderAsItWas) {
    const auto before = snapshot(data());
    // An entry of the backup that cannot be read as a file, in a folder and at the top.
    ASSERT_EQ(::mkfifo((backup() / "GALERIES/pipe.JPG").c_str(), 0644), 0);
    RestoreOutcome out = restoreBackup(DataPaths{backup()}, DataPaths{data()});
    EXPECT_EQ(out.message, RestoreCopyFolderFailed);
    EXPECT_FALSE(out.failure.empty());
    EXPECT_EQ(snapshot(data()), before);
    fs::remove(backup() / "GALERIES/pipe.JPG");

    fs::remove(backup() / "Types.LIB");
    fs::create_symlink(backup() / "nowhere", backup() / "Types.LIB");
    EXPECT_EQ(restoreBackup(DataPaths{backup()}, DataPaths{data()}).message, RestoreCopyFileFailed);
    EXPECT_EQ(snapshot(data()), before);
}

TEST_F(Restore, EveryFailedWriteOrBadReadBackLeavesTheDataFolderAsItWas) {
    const auto before = snapshot(data());
    int failures = 0;
    for (int n = 1;; ++n) {
        test::failNthWrite(n);
        const RestoreOutcome out = restoreBackup(DataPaths{backup()}, DataPaths{data()});
        test::failNthWrite(0);
        if (out.succeeded()) break;
        ++failures;
        EXPECT_TRUE(out.message == RestoreCopyFileFailed || out.message == RestoreCopyFolderFailed);
        ASSERT_EQ(snapshot(data()), before) << "write " << n;
    }
    EXPECT_GE(failures, 10);
    expectRestored();

    test::setAfterFileCopyHook([](const fs::path& dest) {
        if (test::copiedName(dest) == "NomsA.LIB") writeBytes(dest, "short");
    });
    changeData();
    const auto again = snapshot(data());
    EXPECT_EQ(restoreBackup(DataPaths{backup()}, DataPaths{data()}).message, RestoreCopyFileFailed);
    EXPECT_EQ(snapshot(data()), again);
}

TEST_F(Restore, AFailedSwapPutsBackWhatWasSwapped) {
    const auto before = snapshot(data());
    // Seven entries, each renamed aside then in: 14 renames; the first 8 are the four files.
    for (int n = 1; n <= 14; ++n) {
        int count = 0;
        test::setBeforeRenameHook([&](const fs::path& from, const fs::path&) {
            if (++count == n) throw IoError("rename", from, "injected");
        });
        const RestoreOutcome out = restoreBackup(DataPaths{backup()}, DataPaths{data()});
        test::setBeforeRenameHook({});
        EXPECT_EQ(out.message, n <= 8 ? RestoreDeleteFileFailed : RestoreDeleteFolderFailed)
            << "rename " << n;
        ASSERT_EQ(snapshot(data()), before) << "rename " << n;
    }
}

TEST_F(Restore, AKillAtAnyStepIsRecoveredWithoutLoss) {
    const auto before = dataSetPart(snapshot(data()));
    // Killed while copying into the staging folder: the data folder was not touched.
    for (int n : {1, 4, 9}) {
        ASSERT_EQ(inKilledChild([this, n] {
                      int count = 0;
                      test::setAfterFileCopyHook([&](const fs::path&) {
                          if (++count == n) ::_exit(9);
                      });
                      restoreBackup(DataPaths{backup()}, DataPaths{data()});
                  }),
                  9);
        ASSERT_TRUE(fs::exists(data() / kStagingFolder));
        EXPECT_TRUE(recoverInterruptedRestore(DataPaths{data()}));
        EXPECT_EQ(dataSetPart(snapshot(data())), before) << "copy " << n;
        EXPECT_FALSE(fs::exists(data() / kStagingFolder));
    }
    // Killed in the middle of the swap: the complete staged copy is swapped in.
    for (int n = 1; n <= 14; ++n) {
        changeData();
        ASSERT_NE(dataSetPart(snapshot(data())), snapshot(backup()));
        ASSERT_EQ(inKilledChild([this, n] {
                      int count = 0;
                      test::setBeforeRenameHook([&](const fs::path&, const fs::path&) {
                          if (++count == n) ::_exit(9);
                      });
                      restoreBackup(DataPaths{backup()}, DataPaths{data()});
                  }),
                  9);
        EXPECT_TRUE(recoverInterruptedRestore(DataPaths{data()}));
        expectRestored();
    }
    EXPECT_FALSE(recoverInterruptedRestore(DataPaths{data()}));
}

TEST_F(Restore, ABackupInsideTheDataFoldersIsRefused) {
    fs::rename(backup(), data() / "FICHES/Tavo-1");
    const auto before = snapshot(data());
    EXPECT_THROW(restoreBackup(DataPaths{data() / "FICHES/Tavo-1"}, DataPaths{data()}),
                 RefusedError);
    EXPECT_EQ(snapshot(data()), before);
}

TEST_F(Restore, AnUnfinishedOrDamagedBackupIsRefusedWithNothingChanged) {
    // A backup killed at any of its copies leaves only a ".partial" folder, never one that
    // carries a backup's name.
    for (int n : {1, 5, 9}) {
        const fs::path cut = dir_ / ("Tavo-cut-" + std::to_string(n));
        ASSERT_EQ(inKilledChild([&] {
                      int count = 0;
                      test::setAfterFileCopyHook([&](const fs::path&) {
                          if (++count == n) ::_exit(9);
                      });
                      runBackup(DataPaths{data()}, cut, {});
                  }),
                  9);
        EXPECT_FALSE(fs::exists(cut)) << n;
        EXPECT_TRUE(fs::exists(partialBackupFolder(cut))) << n;
    }

    const auto before = snapshot(data());
    const std::pair<const char*, std::function<void()>> damages[] = {
        {"partial", [&] { fs::rename(backup(), partialBackupFolder(backup())); }},
        {"works log", [&] { fs::resize_file(backup() / ("FICHES/" + kTreeId + ".TRX"), 317); }},
        {"gallery", [&] { fs::resize_file(backup() / ("GALERIES/" + kTreeId + ".GAL"), 271); }},
        {"card", [&] { fs::resize_file(backup() / ("FICHES/" + kTreeId + ".SIG"), 1233); }},
        {"list", [&] { fs::resize_file(backup() / "NomsA.LIB", 700); }},
    };
    for (const auto& [name, damage] : damages) {
        SCOPED_TRACE(name);
        TempDir copy;
        fs::copy(backup(), copy / "b", fs::copy_options::recursive);
        damage();
        const fs::path source = fs::exists(backup()) ? backup() : partialBackupFolder(backup());
        if (std::string(name) == "partial") {
            EXPECT_FALSE(isValidBackup(DataPaths{source}));
        }
        EXPECT_THROW(restoreBackup(DataPaths{source}, DataPaths{data()}), RefusedError);
        EXPECT_EQ(snapshot(data()), before);
        fs::remove_all(source);
        fs::copy(copy / "b", backup(), fs::copy_options::recursive);
    }
    EXPECT_EQ(restoreBackup(DataPaths{backup()}, DataPaths{data()}).message, RestoreDone);
}
