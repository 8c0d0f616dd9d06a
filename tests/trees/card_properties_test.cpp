#include "trees/card_properties.h"

#include <gtest/gtest.h>

#include "common/errors.h"
#include "support/temp_dir.h"

using namespace tavo;
using tavo::test::TempDir;

TEST(CardProperties, CountsWholeRecordsOfWorksAndGallery) {
    TempDir dir;
    dir.makeDataFolders();
    const std::string id = "26034140509042";
    test::writeBytes(dir / ("FICHES/" + id + ".TRX"), "");
    test::writeBytes(dir / ("GALERIES/" + id + ".GAL"), "");
    CardCounts c = countCardContents(DataPaths{dir.path()}, id);
    EXPECT_EQ(c.worksLines, 0u);
    EXPECT_EQ(c.photos, 0u);

    test::writeBytes(dir / ("FICHES/" + id + ".TRX"), std::string(3180, 'w'));
    test::writeBytes(dir / ("GALERIES/" + id + ".GAL"), std::string(405, 'g'));
    c = countCardContents(DataPaths{dir.path()}, id);
    EXPECT_EQ(c.worksLines, 10u);
    EXPECT_EQ(c.photos, 3u);

    // Read afresh each time; a damaged tail is not a record.
    test::writeBytes(dir / ("GALERIES/" + id + ".GAL"), std::string(135 * 4 + 100, 'g'));
    EXPECT_EQ(countCardContents(DataPaths{dir.path()}, id).photos, 4u);

    std::filesystem::remove(dir / ("FICHES/" + id + ".TRX"));
    EXPECT_THROW(countCardContents(DataPaths{dir.path()}, id), IoError);
}
