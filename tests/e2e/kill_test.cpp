// Ends a process in the middle of the program's rewrites, at each write and rename in turn and at
// random moments, and checks after each end that every data file is whole and the next run
// carries on from it.
#include <gtest/gtest.h>

#include <random>

#include "common/dates.h"
#include "common/folder_lock.h"
#include "common/paths.h"
#include "photos/gallery_file.h"
#include "safety/integrity_check.h"
#include "startup/settings.h"
#include "support/data_folder.h"
#include "support/run_program.h"
#include "support/temp_dir.h"
#include "works/works_line.h"

using namespace tavo;
namespace fs = std::filesystem;

namespace {
constexpr const char* kTree = "26034140509042";

// The worker's exit status (-1 when killed by a signal). With `end`, it ends itself before its
// end-th write or rename (status 9); with `alarm`, a signal kills it after that many microseconds.
int runWorker(const fs::path& folder, unsigned seed, long steps, long end = 0, long alarm = 0) {
    const auto s = [](auto n) { return std::to_string(n); };
    const std::vector<std::string> args{folder, s(seed), s(steps), s(end), s(alarm)};
    return test::runProgram(TAVO_REWRITE_WORKER, args, folder).status;
}

// Sizes are whole records and records are in date order; every photo record has its photo.
void checkWhole(const DataPaths& paths) {
    const auto works = test::readBytes(paths.works(kTree));
    ASSERT_EQ(works.size() % WorksLine::kSize, 0u);
    std::string previous;
    for (std::size_t at = 0; at < works.size(); at += WorksLine::kSize) {
        const WorksLine line = decodeWorksLine(std::span(works).subspan(at, WorksLine::kSize));
        ASSERT_TRUE(isValidDate(line.date)) << line.date;
        const std::string key = sortableDateKey(line.date);
        ASSERT_LE(previous, key);
        previous = key;
    }
    const auto gal = test::readBytes(paths.gallery(kTree));
    ASSERT_EQ(gal.size() % PhotoRecord::kSize, 0u);
    previous.clear();
    for (std::size_t at = 0; at < gal.size(); at += PhotoRecord::kSize) {
        const PhotoRecord r = decodePhotoRecord(std::span(gal).subspan(at, PhotoRecord::kSize));
        ASSERT_LE(previous, sortableDateKey(r.date));
        previous = sortableDateKey(r.date);
        ASSERT_TRUE(fs::exists(paths.galeries() / r.fileName)) << r.fileName;
    }
    if (fs::exists(paths.typesList())) {
        ASSERT_EQ(fs::file_size(paths.typesList()) % 51, 0u);
    }
}
// The checker finds only what its repair mends, and after the repair (on a copy, so the next
// run still meets what the kill left) finds nothing.
void checkMended(const fs::path& folder, int kill) {
    const auto problems = checkDataFolder(DataPaths{folder});
    for (const auto& p : problems) ASSERT_TRUE(isRepairable(p.kind)) << reportText({p});
    if (problems.empty()) return;
    test::TempDir scratch;
    fs::copy(folder, scratch / "data", fs::copy_options::recursive);
    const auto lock = FolderLock::take(DataPaths{scratch / "data"});
    ASSERT_NE(lock.lock, nullptr);
    const auto outcome =
        repairDataFolder(*lock.lock, scratch.path(), {2026, 12, 8, 0, 0, kill % 60});
    EXPECT_EQ(reportText(outcome.remaining), "");
}
// After an abrupt end: whole files, only mendable problems, and a next run that carries on.
void checkAfterEnd(const fs::path& folder, int n, const char* how) {
    SCOPED_TRACE(how + std::to_string(n));
    const DataPaths paths{folder};
    checkWhole(paths);
    checkMended(folder, n);
    ASSERT_EQ(runWorker(folder, 5000 + n, 3), 0);
    checkWhole(paths);
}
}  // namespace

TEST(KillDuringRewrites, EveryFileStaysWholeAndTheNextRunCarriesOn) {
    test::TempDir start, dir;
    test::DataFolder(start.path()).tree({kTree, test::cardOf({}), {}, {}}).lists({}, {}, {});
    settings::setCardCounter(DataPaths{start.path()}, 2);
    ASSERT_EQ(runWorker(start.path(), 1, 200), 0);  // some data to start from

    // A run with every kind of rewrite (seed 21, ten steps), ended at each write and rename.
    const auto folder = dir / "data";
    int k = 1;
    for (;; ++k) {
        fs::remove_all(folder);
        fs::copy(start.path(), folder, fs::copy_options::recursive);
        const int status = runWorker(folder, 21, 10, k);
        if (status == 0) break;  // the run has fewer events
        ASSERT_EQ(status, 9);
        checkAfterEnd(folder, k, "after event ");
        if (HasFatalFailure()) return;
    }
    EXPECT_GT(k, 30);
    // A few kills at random moments, which also land inside writes and between their calls.
    std::mt19937 rng(20261207);
    for (int i = 0; i < 8; ++i) {
        ASSERT_EQ(runWorker(folder, 1000 + i, 0, 0, 2000 + rng() % 30000), -1) << "kill " << i;
        checkAfterEnd(folder, i, "after kill ");
        if (HasFatalFailure()) return;
    }
    // A temporary file left by the last kill stays until its procedure runs again; a longer
    // run uses every procedure and leaves none behind.
    ASSERT_EQ(runWorker(folder, 99, 300), 0);
    checkWhole(DataPaths{folder});
    for (const char* tmp : {"DATA.TMP", "FICHES/26034140509042.TMP"})
        EXPECT_FALSE(fs::exists(folder / tmp)) << tmp;
    checkMended(folder, 99);
}
