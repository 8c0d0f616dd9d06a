#include <gtest/gtest.h>

#include "cards/card_file.h"
#include "common/errors.h"
#include "common/file_io.h"
#include "safety/data_set.h"
#include "startup/settings.h"
#include "support/faults.h"
#include "support/temp_dir.h"
#include "trees/tree_creation.h"

using namespace tavo;
using namespace tavo::test;
namespace fs = std::filesystem;

namespace {

const std::string kId = "26034140509042";

TreeCard card(const std::string& name) {
    TreeCard c;
    c.creationDate = "03/02/2026";
    c.treeName = name;
    c.ageEstimated = "N";
    return c;
}

struct TreeCreation : ::testing::Test {
    TempDir dir;
    DataPaths data{dir.path()};
    const Bytes photo = Bytes(3000, 0xD8);
    void SetUp() override {
        dir.makeDataFolders();
        settings::activate(DataPaths{dir.path()}, "1.0.0.0", "01/01/2026");
        settings::setCardCounter(DataPaths{dir.path()}, 4);
    }
    void TearDown() override { test::failNthWrite(0); }
};

}  // namespace

TEST_F(TreeCreation, WritesTheFourFilesThenRaisesTheCounter) {
    long seen = -1;
    EXPECT_EQ(createTree(data, kId, card("Pin"), photo,
                         [&](long counter) {
                             seen = counter;
                             EXPECT_TRUE(fs::exists(data.referencePhoto(kId)));
                         }),
              5);
    EXPECT_EQ(seen, 4);
    EXPECT_EQ(settings::cardCounter(DataPaths{dir.path()}), 5);
    EXPECT_EQ(readCard(data, kId).treeName, "Pin");
    EXPECT_EQ(fs::file_size(data.works(kId)), 0u);
    EXPECT_EQ(fs::file_size(data.gallery(kId)), 0u);
    EXPECT_EQ(readBytes(data.referencePhoto(kId)), photo);
    EXPECT_EQ(listFolder(data.imgref()), std::vector<std::string>{kId + ".JPG"});

    // A second tree of the same identifier would replace the first: refused, nothing touched.
    const auto before = snapshot(dir.path());
    EXPECT_THROW(createTree(data, kId, card("Autre"), photo), RefusedError);
    EXPECT_EQ(snapshot(dir.path()), before);
}

TEST_F(TreeCreation, AFailureAtAnyWriteLeavesNoPartOfTheTree) {
    const auto before = snapshot(dir.path());
    // Write 1 is the card, 2 the reference photo, 3 the counter; each fails in turn, before any
    // byte or in the middle of its bytes.
    for (int n = 1; n <= 3; ++n) {
        for (const std::size_t written : {std::size_t{0}, std::size_t{7}}) {
            test::failNthWrite(n, written);
            EXPECT_THROW(createTree(data, kId, card("Pin"), photo), IoError) << n;
            test::failNthWrite(0);
            EXPECT_EQ(snapshot(dir.path()), before) << n << " " << written;
        }
    }
    test::failNthWrite(4);
    EXPECT_EQ(createTree(data, kId, card("Pin"), photo), 5);
    test::failNthWrite(0);
}

TEST_F(TreeCreation, ChangesOfTheCardAndPhotoAreSavedBothOrNeither) {
    createTree(data, kId, card("Pin"), photo);
    const Bytes newPhoto(5000, 0x42);
    const auto before = snapshot(dir.path());
    for (int n = 1; n <= 2; ++n) {
        test::failNthWrite(n, 10);
        EXPECT_THROW(saveCardChanges(data, kId, card("Pin noir"), &newPhoto), IoError);
        test::failNthWrite(0);
        EXPECT_EQ(snapshot(dir.path()), before) << n;
    }
    saveCardChanges(data, kId, card("Pin noir"), &newPhoto);
    EXPECT_EQ(readCard(data, kId).treeName, "Pin noir");
    EXPECT_EQ(readBytes(data.referencePhoto(kId)), newPhoto);

    // Without a new photo only the card changes; its creation date stays the first one.
    TreeCard later = card("Pin sylvestre");
    later.creationDate = "01/01/1999";
    saveCardChanges(data, kId, later, nullptr);
    EXPECT_EQ(readCard(data, kId).treeName, "Pin sylvestre");
    EXPECT_EQ(readCard(data, kId).creationDate, "03/02/2026");
    EXPECT_EQ(readBytes(data.referencePhoto(kId)), newPhoto);
    EXPECT_EQ(fs::file_size(data.card(kId)), TreeCard::kSize);
    EXPECT_FALSE(fs::exists(data.dataTmp()));
    EXPECT_EQ(listFolder(data.imgref()), std::vector<std::string>{kId + ".JPG"});
    EXPECT_THROW(saveCardChanges(data, "99999999999999", later, nullptr), IoError);
}
