// The demo's sample trees are made by a script outside the program: they must read back through
// the program's own readers, so the demo never shows damaged data.
#include <gtest/gtest.h>

#include <cstdlib>

#include "cards/card_file.h"
#include "common/dates.h"
#include "imaging/imaging.h"
#include "photos/gallery_file.h"
#include "startup/settings.h"
#include "support/temp_dir.h"
#include "works/works_file.h"

using namespace tavo;

TEST(DemoTrees, ReadBackThroughTheProgramsReaders) {
    test::TempDir dir;
    const std::string command =
        std::string(TAVO_SOURCE_DIR) + "/scripts/make-demo-trees '" + dir.path().string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const DataPaths paths{dir.path()};
    int trees = 0;
    for (const auto& entry : std::filesystem::directory_iterator(paths.imgref())) {
        const std::string id = entry.path().stem().string();
        SCOPED_TRACE(id);
        ++trees;
        const TreeCard card = readCard(paths, id);
        EXPECT_FALSE(card.treeName.empty());
        EXPECT_TRUE(isValidDate(card.acquisitionDate));
        const auto works = WorksFile(paths, id).readAll();
        ASSERT_FALSE(works.empty());
        for (std::size_t i = 1; i < works.size(); ++i)
            EXPECT_LE(sortableDateKey(works[i - 1].date), sortableDateKey(works[i].date));
        GalleryFile gallery(DataPaths{dir.path()}, id);
        for (const PhotoRecord& r : gallery.readAll()) {
            const Image photo = loadJpeg(gallery.photoPath(r));
            EXPECT_EQ(std::max(photo.width, photo.height), 600);
        }
        const Image reference = loadJpeg(entry.path());
        EXPECT_EQ(std::max(reference.width, reference.height), 159);
    }
    EXPECT_EQ(trees, 2);
    EXPECT_EQ(settings::cardCounter(DataPaths{dir.path()}), 3);
}
