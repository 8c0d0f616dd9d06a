#include "trees/tree_deletion.h"
#include "support/faults.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "common/errors.h"
#include "common/file_io.h"
#include "photos/gallery_file.h"
#include "startup/settings.h"
#include "support/temp_dir.h"

using namespace tavo;
using tavo::test::TempDir;
namespace fs = std::filesystem;

namespace {

const std::string kTree = "26034140509042";
const std::string kOther = "26034140509999";

std::string galleryRecord(const std::string& name, const std::string& date) {
    const Bytes b = encodePhotoRecord({name, date, ""});
    return {b.begin(), b.end()};
}

struct TreeDeletionTest : ::testing::Test {
    TempDir dir;
    TreeDeletionTest() { dir.makeDataFolders(); }

    // The four files of a tree, and one stored photo per number.
    void makeTree(const std::string& id, std::initializer_list<int> photos) {
        test::writeBytes(dir / ("FICHES/" + id + ".SIG"), std::string(1234, '\0'));
        test::writeBytes(dir / ("FICHES/" + id + ".TRX"), "");
        test::writeBytes(dir / ("IMGREF/" + id + ".JPG"), "ref");
        std::string gal;
        for (int n : photos) {
            gal += galleryRecord(photoFileName(id, n), "01/01/2020");
            test::writeBytes(dir / ("GALERIES/" + photoFileName(id, n)), "jpeg");
        }
        test::writeBytes(dir / ("GALERIES/" + id + ".GAL"), gal);
    }

    // Every file of the data folder, as "FOLDER/name".
    std::vector<std::string> allFiles() const {
        std::vector<std::string> out;
        for (const auto& e : fs::recursive_directory_iterator(dir.path()))
            if (e.is_regular_file()) out.push_back(fs::relative(e.path(), dir.path()).string());
        std::sort(out.begin(), out.end());
        return out;
    }

    std::vector<std::string> removedSince(const std::vector<std::string>& before) const {
        const auto now = allFiles();
        std::vector<std::string> gone;
        std::set_difference(before.begin(), before.end(), now.begin(), now.end(),
                            std::back_inserter(gone));
        return gone;
    }
};

}  // namespace

TEST_F(TreeDeletionTest, RemovesTheTreesSevenFilesAndNothingElse) {
    makeTree(kTree, {1, 2, 3});
    makeTree(kOther, {1, 2});
    settings::setCardCounter(DataPaths{dir.path()}, 2);
    const auto before = allFiles();

    const TreeDeletionResult r = deleteTree(DataPaths{dir.path()}, kTree);
    EXPECT_EQ(
        removedSince(before),
        (std::vector<std::string>{"FICHES/" + kTree + ".SIG", "FICHES/" + kTree + ".TRX",
                                  "GALERIES/" + kTree + ".GAL", "GALERIES/" + kTree + "001.JPG",
                                  "GALERIES/" + kTree + "002.JPG", "GALERIES/" + kTree + "003.JPG",
                                  "IMGREF/" + kTree + ".JPG"}));
    EXPECT_EQ(allFiles().size(), before.size() - 7);  // the other tree is whole
    EXPECT_EQ(r.deletedPhotos.size(), 3u);
    EXPECT_TRUE(r.skippedPhotoNames.empty());
    EXPECT_EQ(r.cardCounter, 1);
    EXPECT_EQ(settings::cardCounter(DataPaths{dir.path()}), 1);
}

TEST_F(TreeDeletionTest, EmptyGalleryRemovesFourFilesAndCounterReachesZero) {
    makeTree(kTree, {});
    settings::setCardCounter(DataPaths{dir.path()}, 1);
    const auto before = allFiles();
    const TreeDeletionResult r = deleteTree(DataPaths{dir.path()}, kTree);
    EXPECT_EQ(removedSince(before).size(), 4u);
    EXPECT_EQ(r.cardCounter, 0);  // the window disables "Ouvrir"
    EXPECT_EQ(settings::cardCounter(DataPaths{dir.path()}), 0);
}

TEST_F(TreeDeletionTest, ACounterThatCannotBeWrittenStillReportsTheTreeDeleted) {
    makeTree(kTree, {1});
    settings::setCardCounter(DataPaths{dir.path()}, 3);
    const auto before = allFiles();
    const std::string settingsBefore = test::readText(dir / "Tavo.ini");
    test::failNthWrite(1);
    const TreeDeletionResult r = deleteTree(DataPaths{dir.path()}, kTree);
    test::failNthWrite(0);
    EXPECT_EQ(removedSince(before).size(), 5u);
    EXPECT_EQ(r.cardCounter, 3);
    EXPECT_NE(r.counterFailure.find("write"), std::string::npos);
    EXPECT_EQ(test::readText(dir / "Tavo.ini"), settingsBefore);
    EXPECT_FALSE(fs::exists(dir / "Tavo.ini.tmp"));
}

TEST_F(TreeDeletionTest, UnreadableGalleryDeletesNothingAndAMissingOneIsEmpty) {
    makeTree(kTree, {1});
    settings::setCardCounter(DataPaths{dir.path()}, 3);

    fs::rename(dir / ("GALERIES/" + kTree + ".GAL"), dir / "saved.GAL");
    fs::create_directory(dir / ("GALERIES/" + kTree + ".GAL"));  // cannot be read as a file
    const auto before = allFiles();
    EXPECT_THROW(deleteTree(DataPaths{dir.path()}, kTree), IoError);
    EXPECT_EQ(allFiles(), before);
    EXPECT_EQ(settings::cardCounter(DataPaths{dir.path()}), 3);

    // A tree whose creation stopped before its gallery file was made can still be deleted.
    fs::remove(dir / ("GALERIES/" + kTree + ".GAL"));
    const TreeDeletionResult r = deleteTree(DataPaths{dir.path()}, kTree);
    EXPECT_EQ(r.cardCounter, 2);
    EXPECT_FALSE(fs::exists(dir / ("FICHES/" + kTree + ".SIG")));
    EXPECT_TRUE(fs::exists(dir / ("GALERIES/" + photoFileName(kTree, 1))));  // named by no record
}

TEST_F(TreeDeletionTest, RecordNamesOutsideTheTreeAreNeverDeleted) {
    makeTree(kOther, {1});
    makeTree(kTree, {1});
    settings::setCardCounter(DataPaths{dir.path()}, 2);
    // Hand-edited records: one climbs out of GALERIES, one names the other tree's photo, the
    // others name files of this tree that are not its photos.
    const std::vector<std::string> foreign = {
        "../Tavo.ini",    photoFileName(kOther, 1), kTree + ".GAL",   kTree + "001.JP",
        kTree + "01.JPG", kTree + "0a1.JPG",        kTree + "001.jpg"};
    std::string gal = galleryRecord(photoFileName(kTree, 1), "01/01/2020");
    for (const auto& name : foreign) {
        gal += galleryRecord(name, "02/01/2020");
        if (name.find('/') == std::string::npos && name != kTree + ".GAL")
            test::writeBytes(dir / ("GALERIES/" + name), "keep");
    }
    test::writeBytes(dir / ("GALERIES/" + kTree + ".GAL"), gal);

    const TreeDeletionResult r = deleteTree(DataPaths{dir.path()}, kTree);
    EXPECT_TRUE(fs::exists(dir / "Tavo.ini"));
    EXPECT_TRUE(fs::exists(dir / ("GALERIES/" + photoFileName(kOther, 1))));
    EXPECT_FALSE(fs::exists(dir / ("GALERIES/" + photoFileName(kTree, 1))));
    EXPECT_FALSE(fs::exists(dir / ("GALERIES/" + kTree + ".GAL")));
    for (const auto& name : foreign) {
        if (name.find('/') == std::string::npos && name != kTree + ".GAL") {
            EXPECT_TRUE(fs::exists(dir / ("GALERIES/" + name))) << name;
        }
    }
    EXPECT_EQ(r.skippedPhotoNames, foreign);
    EXPECT_EQ(r.cardCounter, 1);
}

TEST_F(TreeDeletionTest, MissingFilesAreSkippedAndBadIdentifiersRefused) {
    makeTree(kTree, {1, 2});
    settings::setCardCounter(DataPaths{dir.path()}, 3);
    fs::remove(dir / ("FICHES/" + kTree + ".TRX"));
    fs::remove(dir / ("GALERIES/" + photoFileName(kTree, 2)));
    const TreeDeletionResult r = deleteTree(DataPaths{dir.path()}, kTree);
    EXPECT_EQ(r.deletedPhotos,
              (std::vector<fs::path>{dir / ("GALERIES/" + photoFileName(kTree, 1))}));
    EXPECT_EQ(test::listFolder(dir / "GALERIES"), std::vector<std::string>{});
    EXPECT_EQ(r.cardCounter, 2);

    // A stray reference photo with no card is cleared, however often, and the counter, which
    // counts cards, stays.
    for (int attempt = 0; attempt < 3; ++attempt) {
        test::writeBytes(dir / ("IMGREF/" + kTree + ".JPG"), "ref");
        EXPECT_EQ(deleteTree(DataPaths{dir.path()}, kTree).cardCounter, 2);
        EXPECT_FALSE(fs::exists(dir / ("IMGREF/" + kTree + ".JPG")));
    }

    makeTree(kOther, {1});
    const auto before = allFiles();
    EXPECT_THROW(deleteTree(DataPaths{dir.path()}, ""), RefusedError);
    EXPECT_THROW(deleteTree(DataPaths{dir.path()}, "../x"), RefusedError);
    EXPECT_EQ(allFiles(), before);
    EXPECT_EQ(settings::cardCounter(DataPaths{dir.path()}), 2);
}
