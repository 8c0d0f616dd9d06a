#include "safety/integrity_check.h"

#include "safety/check_command.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>

#include "common/file_io.h"
#include "common/folder_lock.h"
#include "safety/data_set.h"
#include "safety/restore.h"
#include "support/data_folder.h"

using namespace tavo;
using namespace tavo::test;
namespace fs = std::filesystem;

namespace {

const std::string kT1 = "26034140509042", kT2 = "26035101010101";
const std::string kHalf = "26036000000001", kReverse = "26036000000002";

// A whole folder: two trees, the lists, the counter.
DataPaths wholeFolder(const TempDir& dir) {
    return DataFolder(dir.path())
        .tree(kT1, {"01/01/2020", "15/03/2020"}, {"01/01/2021"})
        .tree(kT2, {}, {"01/01/2021", "02/01/2021"})
        .lists()
        .cardCounter(3)
        .paths();
}

TreeCard card(const std::string& acquisitionDate) {
    TreeCard c;
    c.creationDate = "03/02/2026";
    c.acquisitionDate = acquisitionDate;
    return c;
}

using Found = std::vector<std::pair<std::string, std::string>>;  // key, path

Found found(const std::vector<Problem>& problems) {
    Found out;
    for (const Problem& p : problems) out.emplace_back(problemKey(p.kind), p.path.string());
    return out;
}

}  // namespace

TEST(IntegrityCheck, AWholeFolderHasNoProblem) {
    TempDir dir;
    const DataPaths paths = wholeFolder(dir);
    const auto lock = FolderLock::take(DataPaths{dir.path()});
    fs::create_directories(dir / "LOST+FOUND/GALERIES");
    writeBytes(dir / "Français.lng", "#9999-0001=Bonjour");
    EXPECT_EQ(found(checkDataFolder(DataPaths{dir.path()})), Found{});
    EXPECT_EQ(reportText({}), "");
    EXPECT_NE(reportJson({}).find("\"whole\": true"), std::string::npos);
}

TEST(IntegrityCheck, RepairTouchesOnlyTreeIdentifiersAndASecondRunChangesNothing) {
    TempDir dir;
    const DataPaths paths = wholeFolder(dir);
    for (const std::string& name : {std::string("."), std::string("a\nb"), std::string(200, '7')})
        io::writeFile(paths.card(name), encodeCard(card("")));
    io::writeFile(paths.card(kHalf), encodeCard(card("")));
    const auto lock = FolderLock::take(DataPaths{dir.path()});
    ASSERT_NE(lock.lock, nullptr);
    TempDir backups;
    const RepairOutcome first =
        repairDataFolder(*lock.lock, backups.path(), {2026, 12, 8, 2, 0, 0});
    EXPECT_FALSE(first.repaired.empty());
    for (const std::string& odd : {std::string("."), std::string(200, '7')})
        EXPECT_FALSE(fs::exists(paths.works(odd)) || fs::exists(paths.referencePhoto(odd))) << odd;
    const auto after = snapshot(dir.path());
    const RepairOutcome second =
        repairDataFolder(*lock.lock, backups.path(), {2026, 12, 8, 3, 0, 0});
    EXPECT_EQ(found(second.repaired), Found{});
    EXPECT_TRUE(second.backupFolder.empty());
    EXPECT_TRUE(snapshot(dir.path()) == after);
}

TEST(IntegrityCheck, ALockThatIsNoPlainFileIsReported) {
    TempDir dir;
    wholeFolder(dir);
    ASSERT_EQ(::mkfifo((dir / "Tavo.lock").c_str(), 0644), 0);
    EXPECT_EQ(found(checkDataFolder(DataPaths{dir.path()})), (Found{{"not-regular", "Tavo.lock"}}));
}

TEST(IntegrityCheck, FindsEveryKindOfDamageAndRepairsWhatIsSafeAfterABackup) {
    TempDir dir;
    const DataPaths paths = wholeFolder(dir);
    const std::string photo2 = photoFileName(kT2, 2);
    // Each damage with what the check must say about it; repairable ones first.
    const std::vector<std::tuple<std::function<void()>, std::string, std::string>> damages = {
        {[&] {
             DataFolder(dir.path()).tree(kT1, {"02/01/2020", "01/01/2020"}, {"01/01/2021"});
         },
         "works-order", "FICHES/" + kT1 + ".TRX"},
        {[&] { writeBytes(paths.galeries() / photoFileName(kT1, 9), "jpeg"); }, "orphan-photo",
         "GALERIES/" + photoFileName(kT1, 9)},
        {[&] { writeBytes(paths.imgref() / "copie.jpg", "jpeg"); }, "orphan-photo",
         "IMGREF/copie.jpg"},
        {[&] { io::writeFile(paths.card(kHalf), encodeCard(card(""))); }, "half-made-tree",
         "FICHES/" + kHalf + ".SIG"},
        {[&] { writeBytes(paths.works(kReverse), ""), writeBytes(paths.gallery(kReverse), ""); },
         "half-made-tree", "FICHES/" + kReverse + ".TRX"},
        {[&] { writeBytes(paths.dataTmp(), "x"); }, "leftover-temp", "DATA.TMP"},
        {[&] { writeBytes(paths.worksTmp(kT1), "x"); }, "leftover-temp", "FICHES/" + kT1 + ".TMP"},
        {[&] { settings::setCardCounter(DataPaths{dir.path()}, 7); }, "card-counter", "Tavo.ini"},
        {[&] { fs::create_directory(dir / kStagingFolder); }, "leftover-temp", kStagingFolder},
        {[&] { writeBytes(dir / "Tavo.ini.tmp", "x"); }, "leftover-temp", "Tavo.ini.tmp"},
        // What needs a person:
        {[&] { writeBytes(paths.namesList(), std::string(705, '\0')); }, "record-size",
         "NomsA.LIB"},
        {[&] { writeBytes(paths.typesList(), std::string(1, '\x3C') + std::string(50, 'a')); },
         "field-length", "Types.LIB"},
        {[&] { io::writeFile(paths.card(kT2), encodeCard(card("31/02/2020"))); }, "bad-date",
         "FICHES/" + kT2 + ".SIG"},
        {[&] { writeBytes(paths.card(kT1), ""); }, "record-size", "FICHES/" + kT1 + ".SIG"},
        {[&] { fs::remove(paths.galeries() / photo2); }, "missing-photo", "GALERIES/" + photo2},
        {[&] { ::mkfifo((dir / "English.lng").c_str(), 0644); }, "not-regular", "English.lng"},
        {[&] { fs::create_symlink(paths.typesList(), paths.imgref() / "lien.JPG"); }, "not-regular",
         "IMGREF/lien.JPG"},
        {[&] { writeBytes(dir / "Types (conflicted copy).LIB", ""); }, "sync-conflict",
         "Types (conflicted copy).LIB"},
    };
    const std::size_t kFirstForAPerson = 10;
    Found expected, needsPerson;
    for (std::size_t i = 0; i < damages.size(); ++i) {
        const auto& [damage, key, path] = damages[i];
        damage();
        expected.emplace_back(key, path);
        if (i >= kFirstForAPerson) needsPerson.emplace_back(key, path);
    }
    std::sort(expected.begin(), expected.end(), [](const auto& a, const auto& b) {
        return a.second != b.second ? a.second < b.second : a.first < b.first;
    });
    const auto problems = checkDataFolder(DataPaths{dir.path()});
    auto got = found(problems);
    std::sort(got.begin(), got.end(), [](const auto& a, const auto& b) {
        return a.second != b.second ? a.second < b.second : a.first < b.first;
    });
    EXPECT_EQ(got, expected);
    const std::string text = reportText(problems);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), static_cast<long>(problems.size()));

    const auto lock = FolderLock::take(DataPaths{dir.path()});
    ASSERT_NE(lock.lock, nullptr);
    TempDir backups;
    const RepairOutcome r = repairDataFolder(*lock.lock, backups.path(), {2026, 12, 8, 2, 0, 0});
    EXPECT_TRUE(isValidBackup(DataPaths{r.backupFolder}));
    EXPECT_NE(readText(r.backupFolder / "Tavo.ini").find("Fiche=7"), std::string::npos);
    std::sort(needsPerson.begin(), needsPerson.end(), [](const auto& a, const auto& b) {
        return a.second != b.second ? a.second < b.second : a.first < b.first;
    });
    EXPECT_EQ(found(r.remaining), needsPerson);

    // Mended as promised: orphans kept aside, trees openable, the log sorted, the counter right.
    EXPECT_TRUE(fs::exists(dir / ("LOST+FOUND/GALERIES/" + photoFileName(kT1, 9))));
    EXPECT_TRUE(fs::exists(dir / "LOST+FOUND/IMGREF/copie.jpg"));
    EXPECT_EQ(readCard(paths, kReverse).treeName, kReverse);
    EXPECT_EQ(fs::file_size(paths.works(kHalf)), 0u);
    EXPECT_GT(fs::file_size(paths.referencePhoto(kHalf)), 100u);
    EXPECT_EQ(readText(paths.works(kT1)).substr(1, 10), "01/01/2020");
    EXPECT_EQ(settings::cardCounter(DataPaths{dir.path()}), 5);
    for (const char* gone : {"DATA.TMP", "Tavo.ini.tmp", "RESTORE.TMP"})
        EXPECT_FALSE(fs::exists(dir / gone)) << gone;
    EXPECT_NE(repairJson(r).find("\"whole\": false"), std::string::npos);

    // Once a person mended the rest, the folder is whole.
    fs::remove(paths.imgref() / "lien.JPG");
    fs::remove(dir / "English.lng");
    fs::remove(dir / "Types (conflicted copy).LIB");
    DataFolder(dir.path())
        .lists()
        .cardCounter(5)
        .tree(kT2, {}, {"01/01/2021", "02/01/2021"})
        .tree(kT1, {"01/01/2020", "15/03/2020"}, {"01/01/2021"});
    EXPECT_EQ(found(checkDataFolder(DataPaths{dir.path()})), Found{});
}

TEST(IntegrityCheck, TheCommandAnswersByItsExitStatus) {
    TempDir dir, backups;
    const DataPaths paths = wholeFolder(dir);
    const LocalTime now{2026, 12, 8, 2, 0, 0};
    const auto run = [&](bool repair, bool json, fs::path backupTo, fs::path folder = {}) {
        return runCheckCommand({folder.empty() ? dir.path() : folder, repair, json, backupTo}, now);
    };
    EXPECT_EQ(run(false, false, {}).exitStatus, 0);
    EXPECT_EQ(run(false, false, {}).out, "");
    writeBytes(paths.dataTmp(), "x");

    struct Case {
        CommandResult result;
        int status;
        const char* inOut;
        const char* inErr;
    };
    std::vector<Case> cases;
    cases.push_back({run(false, false, {}), 1, "DATA.TMP: temporary file", ""});
    cases.push_back({run(false, true, {}), 1, "\"kind\": \"leftover-temp\"", ""});
    cases.push_back({run(true, false, {}), 2, "", "--backup-to"});
    cases.push_back({run(false, false, {}, dir / "nowhere"), 2, "", "not a folder"});
    {
        const auto held = FolderLock::take(DataPaths{dir.path()});
        cases.push_back({run(true, false, backups.path()), 1, "", "in use by process"});
    }
    cases.push_back({run(true, true, backups.path()), 0, "\"repaired\"", ""});
    cases.push_back({run(false, false, {}), 0, "", ""});
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        const Case& c = cases[i];
        EXPECT_EQ(c.result.exitStatus, c.status);
        EXPECT_NE(c.result.out.find(c.inOut), std::string::npos) << c.result.out;
        EXPECT_NE(c.result.err.find(c.inErr), std::string::npos) << c.result.err;
        EXPECT_EQ(c.result.err.empty(), std::string(c.inErr).empty());
    }
    EXPECT_FALSE(fs::exists(paths.dataTmp()));
}
