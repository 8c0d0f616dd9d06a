#include <sys/stat.h>

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

struct Notice {
    fs::path source, dest;
    bool destExisted;
};

// Runs a backup of `data` into `parent`, named from a fixed clock, and records the notices.
BackupOutcome backupWithNotices(const fs::path& data, const fs::path& folder,
                                std::vector<Notice>& notices) {
    return runBackup(DataPaths{data}, folder, [&](const fs::path& s, const fs::path& d) {
        notices.push_back({s, d, fs::exists(d)});
    });
}

class SafetyHooks : public ::testing::Test {
  protected:
    void TearDown() override {
        test::setAfterFileCopyHook({});
        test::failNthWrite(0);
    }
};

}  // namespace

TEST(BackupName, MadeFromTheClockAtTheChoice) {
    Clock clock = [] { return LocalTime{2009, 3, 5, 14, 3, 9}; };
    EXPECT_EQ(backupName(clock()), "Tavo-20090305-140309");
    EXPECT_EQ(backupName({2024, 12, 31, 0, 0, 0}), "Tavo-20241231-000000");
    EXPECT_EQ(backupName(localNow()).size(), std::string("Tavo-20090305-140309").size());
}

TEST(BackupName, BrowserForgetsAFolderThatIsGone) {
    TempDir dir;
    fs::create_directory(dir / "Sauvegardes");
    EXPECT_EQ(browserStartFolder(dir / "Sauvegardes"), dir / "Sauvegardes");
    fs::remove(dir / "Sauvegardes");
    EXPECT_EQ(browserStartFolder(dir / "Sauvegardes"), fs::path());
}

TEST_F(SafetyHooks, FolderCopyCreatesOverwritesAndKeeps) {
    TempDir dir;
    fs::create_directories(dir / "src/a/b");
    writeBytes(dir / "src/a/b/deep.txt", "deep");
    writeBytes(dir / "src/top.txt", "new");
    fs::create_directories(dir / "dst");
    writeBytes(dir / "dst/top.txt", "old and longer");
    writeBytes(dir / "dst/extra.txt", "kept");

    EXPECT_TRUE(copyFolder(dir / "src", dir / "dst"));
    EXPECT_EQ(readText(dir / "dst/top.txt"), "new");
    EXPECT_EQ(readText(dir / "dst/a/b/deep.txt"), "deep");
    EXPECT_EQ(readText(dir / "dst/extra.txt"), "kept");
    EXPECT_TRUE(copyFolder(dir / "src", dir / "fresh/one"));  // parents made too
    EXPECT_EQ(snapshot(dir / "fresh/one"), snapshot(dir / "src"));

    // Into itself it would never end.
    EXPECT_FALSE(copyFolder(dir / "src", dir / "src/a/copy"));
    EXPECT_FALSE(fs::exists(dir / "src/a/copy"));
    EXPECT_FALSE(copyFolder(dir / "missing", dir / "x"));

    test::failNthWrite(1);
    const CopyResult failed = copyFolder(dir / "src", dir / "full");
    EXPECT_FALSE(failed);
    EXPECT_NE(failed.error.find("write"), std::string::npos);
}

TEST(FileCopy, RefusesWhatIsNotARegularFile) {
    TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0644), 0);
    EXPECT_FALSE(copyFile(dir / "fifo", dir / "out"));  // and does not block
    fs::create_symlink(dir / "nowhere", dir / "dangling");
    EXPECT_FALSE(copyFile(dir / "dangling", dir / "out"));
    fs::create_directory(dir / "folder");
    EXPECT_FALSE(copyFile(dir / "folder", dir / "out"));

    writeBytes(dir / "f", "content");
    fs::create_symlink(dir / "f", dir / "link");
    EXPECT_FALSE(copyFile(dir / "f", dir / "link"));  // would empty the source
    EXPECT_EQ(readText(dir / "f"), "content");
}

TEST(Backup, CopiesExactlyTheDataSetWithFourNotices) {
    TempDir dir;
    makeDataSet(dir / "data");
    fs::create_directory(dir / "Sauvegardes");
    const fs::path folder = dir / "Sauvegardes" / backupName({2009, 3, 5, 14, 3, 9});

    std::vector<Notice> notices;
    const BackupOutcome out = backupWithNotices(dir / "data", folder, notices);
    EXPECT_TRUE(out.succeeded());
    EXPECT_EQ(out.message, Msg::BackupDone);
    EXPECT_EQ(out.entriesCopied, 7);

    EXPECT_EQ(snapshot(folder), dataSetPart(snapshot(dir / "data")));
    EXPECT_EQ(listFolder(folder),
              (std::vector<std::string>{"Etats.LIB", "FICHES", "GALERIES", "IMGREF", "NomsA.LIB",
                                        "Tavo.ini", "Types.LIB"}));

    const char* files[] = {"Tavo.ini", "Etats.LIB", "Types.LIB", "NomsA.LIB"};
    ASSERT_EQ(notices.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(notices[i].source, dir / "data" / files[i]);
        EXPECT_EQ(notices[i].dest, folder / files[i]);
        EXPECT_FALSE(notices[i].destExisted) << "the notice comes before the copy";
    }
    EXPECT_EQ(copyNoticeText("/d/Tavo.ini", "/s/Tavo.ini"),
              "fichier source \"/d/Tavo.ini --- Fichier dest \"/s/Tavo.ini\"");
}

TEST(Backup, AMissingEntryStopsAtItsMessage) {
    const std::vector<int> messages = {15, 16, 17, 18, 19, 20, 55};
    for (std::size_t missing = 0; missing < 7; ++missing) {
        TempDir dir;
        makeDataSet(dir / "data");
        fs::remove_all(kBackupEntries[missing].in(DataPaths{dir / "data"}));
        std::vector<Notice> notices;
        const BackupOutcome out = backupWithNotices(dir / "data", dir / "b", notices);
        EXPECT_EQ(messageKey(out.message), messages[missing]) << kBackupEntries[missing].in({});
        EXPECT_EQ(out.entriesCopied, static_cast<int>(missing));
        EXPECT_FALSE(out.failure.empty());
        EXPECT_FALSE(fs::exists(dir / "b"));
        EXPECT_EQ(listFolder(dir / "b.partial").size(), missing);
        EXPECT_EQ(notices.size(), missing < 3 ? 0 : missing - 3 + 1);
    }
}

TEST_F(SafetyHooks, ACopyThatDoesNotReadBackEqualIsAFailure) {
    for (const char* bad : {"Types.LIB", "vieux"}) {
        TempDir dir;
        makeDataSet(dir / "data");
        // A device that silently changes one byte of one file.
        test::setAfterFileCopyHook([&](const fs::path& dest) {
            if (test::copiedName(dest) == bad || dest.parent_path().filename() == bad) {
                std::string bytes = readText(dest);
                bytes[0] ^= 1;
                writeBytes(dest, bytes);
            }
        });
        const BackupOutcome out = runBackup(DataPaths{dir / "data"}, dir / "b", {});
        EXPECT_EQ(out.message, std::string(bad) == "vieux" ? Msg::BackupGaleriesFailed
                                                           : Msg::BackupTypesListFailed);
        EXPECT_NE(out.failure.find("differs"), std::string::npos);
        EXPECT_FALSE(out.succeeded());
    }
}

TEST_F(SafetyHooks, AFailedWriteIsTheEntrysFailure) {
    TempDir dir;
    makeDataSet(dir / "data");
    test::failNthWrite(1);
    EXPECT_EQ(runBackup(DataPaths{dir / "data"}, dir / "b", {}).message, Msg::BackupFichesFailed);
}

TEST_F(SafetyHooks, ABackupCutShortByAFullDiskIsNeverAValidBackup) {
    TempDir dir;
    makeDataSet(dir / "data");
    const auto before = snapshot(dir / "data");
    // Every write of the backup in turn fails, after half of its bytes (a disk that fills up in
    // the middle of a file) or before any.
    int failures = 0;
    for (int n = 1;; ++n) {
        for (const std::size_t written : {std::size_t{0}, std::size_t{5}}) {
            const fs::path folder = dir / ("b" + std::to_string(n) + "-" + std::to_string(written));
            test::failNthWrite(n, written);
            const BackupOutcome out = runBackup(DataPaths{dir / "data"}, folder, {});
            test::failNthWrite(0);
            if (out.succeeded()) {
                EXPECT_GT(failures, 7) << "every entry has at least one write";
                EXPECT_TRUE(isValidBackup(DataPaths{folder}));
                EXPECT_EQ(snapshot(dir / "data"), before);
                return;
            }
            ++failures;
            EXPECT_FALSE(isValidBackup(DataPaths{folder})) << n << " " << written;
            EXPECT_FALSE(isValidBackup(DataPaths{partialBackupFolder(folder)}))
                << n << " " << written;
            // What was copied is whole: no file of the backup differs from its source.
            for (const auto& [rel, content] : snapshot(partialBackupFolder(folder)))
                EXPECT_EQ(content, before.at(rel)) << rel;
            EXPECT_EQ(snapshot(dir / "data"), before);
        }
        ASSERT_LT(n, 100);
    }
}

TEST(Backup, RefusedInsideTheDataFoldersWithNothingCopied) {
    TempDir dir;
    makeDataSet(dir / "data");
    const auto before = snapshot(dir / "data");
    fs::create_directory_symlink(dir / "data/GALERIES", dir / "alias");
    for (const fs::path& folder :
         {dir / "data/FICHES/Tavo-1", dir / "data/IMGREF", dir / "data/GALERIES/vieux/Tavo-1",
          dir / "alias/Tavo-1", dir / "data/FICHES/../IMGREF/Tavo-1"}) {
        EXPECT_THROW(runBackup(DataPaths{dir / "data"}, folder, {}), RefusedError) << folder;
        EXPECT_EQ(snapshot(dir / "data"), before);
    }
}

TEST(Backup, AnEmptyFolderOfThatNameIsTakenAFullOneIsNeverMixedIn) {
    TempDir dir;
    makeDataSet(dir / "data");
    fs::create_directories(dir / "empty");
    EXPECT_TRUE(runBackup(DataPaths{dir / "data"}, dir / "empty", {}).succeeded());
    EXPECT_TRUE(isValidBackup(DataPaths{dir / "empty"}));
    EXPECT_THROW(runBackup(DataPaths{dir / "data"}, dir / "empty", {}), Error);
    EXPECT_FALSE(fs::exists(partialBackupFolder(dir / "empty")));
}

TEST(Backup, AFolderThatCannotBeMadeIsAnError) {
    TempDir dir;
    makeDataSet(dir / "data");
    const fs::path folder = dir / "gone" / "Tavo-20090305-140309";
    try {
        runBackup(DataPaths{dir / "data"}, folder, {});
        FAIL() << "no error";
    } catch (const RefusedError&) {
        FAIL() << "wrong error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Impossible de créer le répertoire " + folder.string());
    }
}
