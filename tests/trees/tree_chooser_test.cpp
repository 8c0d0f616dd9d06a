#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/errors.h"
#include "imaging/imaging.h"
#include "support/temp_dir.h"
#include "trees/tree_chooser.h"

using namespace tavo;
using tavo::test::TempDir;
using tavo::test::writeBytes;

namespace {

std::vector<std::string> sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
}

// Channels within a few steps: a flat colour goes through JPEG nearly unchanged.
bool near(Rgb a, Rgb b) {
    return std::abs(a.r - b.r) <= 6 && std::abs(a.g - b.g) <= 6 && std::abs(a.b - b.b) <= 6;
}

constexpr Rgb kGrey{240, 240, 240};
constexpr Rgb kRed{200, 30, 40};

}  // namespace

TEST(TreeChooserList, TakesJpegNamesOnlyInAnyLetterCase) {
    TempDir dir;
    dir.makeDataFolders();
    const DataPaths data{dir.path()};
    for (const char* name : {"12345678901234.jpeg", "26034140509042.JPG", "a.Jpe", "b.jp", "c.J",
                             "notes.txt", "noextension", "dot.", "d.jpgx", "e.jpg.bak", "f.pjg"})
        writeBytes(data.imgref() / name, "x");
    std::filesystem::create_directories(data.imgref() / "folder.jpg");
    EXPECT_EQ(sorted(listReferencePhotos(data)),
              (std::vector<std::string>{"12345678901234.jpeg", "26034140509042.JPG", "a.Jpe",
                                        "b.jp", "c.J"}));
}

TEST(TreeChooserList, MissingFolderOffersNothingAndAnUnreadableOneIsAnError) {
    TempDir dir;
    EXPECT_TRUE(listReferencePhotos(DataPaths{dir.path()}).empty());
    writeBytes(dir / "IMGREF", "a file where the folder should be");
    EXPECT_THROW(listReferencePhotos(DataPaths{dir.path()}), IoError);
}

TEST(TreeChooserChoice, IdentifierIsTheFirstFourteenCharacters) {
    EXPECT_EQ(chosenTreeId("12345678901234.jpeg"), "12345678901234");
    EXPECT_EQ(chosenTreeId("26034140509042.JPG"), "26034140509042");
    // A longer name still names the tree of its first 14 characters.
    EXPECT_EQ(chosenTreeId("26034140509042 copie.jpg"), "26034140509042");
}

TEST(TreeChooserChoice, NamesThatCannotBeATreeAreRefused) {
    // Fewer than 14 characters before the extension: a plain cut would give "tree.jpg"
    // or "1234567890123." as an identifier, naming files that do not exist.
    for (const char* name : {"tree.jpg", "1234567890123.jpg", "x.j", ".jpg"})
        EXPECT_THROW(chosenTreeId(name), RefusedError) << name;
    // Names that would reach outside FICHES or IMGREF, where a separator is taken as one.
    for (const char* name : {"..\\..\\..\\x\\y.jpg", "..............jpg", "ab..cdefghijklmn.jpg",
                             "abc\\defghijklmn.jpg"})
        EXPECT_THROW(chosenTreeId(name), RefusedError) << name;
    try {
        chosenTreeId("tree.jpg");
        FAIL();
    } catch (const RefusedError& e) {
        EXPECT_NE(std::string(e.what()).find("tree.jpg"), std::string::npos);
    }
}

TEST(TreeChooserGeometry, SevenPhotosFillThreeRowsOfThree) {
    const int columns = chooserColumns(505);
    ASSERT_EQ(columns, 3);
    const std::vector<CellPosition> expected{{4, 4},     {164, 4},   {324, 4}, {4, 164},
                                             {164, 164}, {324, 164}, {4, 324}};
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(chooserCellPosition(i, columns), expected[i]) << i;
    EXPECT_EQ(chooserContentHeight(7, columns), 484);
    EXPECT_EQ(chooserContentHeight(0, columns), 0);
}

TEST(TreeChooserGeometry, ColumnsFollowTheBoxWidth) {
    EXPECT_EQ(chooserColumns(175), 1);  // 159 wide: one column
    EXPECT_EQ(chooserColumns(100), 1);  // too narrow for one: still stacked, never zero
    EXPECT_EQ(chooserColumns(336), 2);
    EXPECT_EQ(chooserColumns(655), 3);
    EXPECT_EQ(chooserColumns(656), 4);
    EXPECT_EQ(chooserCellPosition(4, 4), (CellPosition{4, 164}));
    EXPECT_EQ(chooserCellPosition(2, 1), (CellPosition{4, 324}));
}

TEST(TreeChooserThumbnail, LargePhotoIsDecodedReducedButDrawnByItsFullSize) {
    TempDir dir;
    // 1600 x 1200: decoded at 1/8 (200 x 150), drawn 150 x 113 from (3, 22) to (153, 134).
    Image photo(1600, 1200, kRed);
    fillRect(photo, {0, 0, 800, 1200}, Rgb{20, 40, 200});
    saveJpeg(photo, dir / "big.jpg");
    const Image t = chooserThumbnail(dir / "big.jpg", kGrey);
    EXPECT_TRUE(near(t.pixel(10, 60), (Rgb{20, 40, 200})));
    EXPECT_TRUE(near(t.pixel(145, 60), kRed));
    EXPECT_TRUE(near(t.pixel(3, 22), (Rgb{20, 40, 200})));
    EXPECT_EQ(t.pixel(80, 21), kGrey);
    EXPECT_TRUE(near(t.pixel(80, 133), kRed));
    EXPECT_EQ(t.pixel(80, 134), kGrey);
    EXPECT_EQ(t.pixel(80, 0), kWhite);
    EXPECT_EQ(t.pixel(155, 80), kBlack);

    // The compact form keeps only the photo, compressed, and where it goes: drawn over the
    // empty cell it shows the same thumbnail in a few kilobytes.
    const CompactThumbnail compact = compactChooserThumbnail(dir / "big.jpg", kGrey);
    EXPECT_EQ(compact.at, thumbnailPhotoRect({1600, 1200}, kChooserCell, kChooserPhotoSide));
    EXPECT_LT(compact.jpeg.size(), 30'000u);
    Image drawn = emptyChooserThumbnail(kGrey);
    drawAt(drawn, decodeJpeg(compact.jpeg, "compact"), compact.at.left, compact.at.top);
    for (const auto& [x, y] : {std::pair{10, 60}, {145, 60}, {80, 21}, {80, 134}, {80, 0}})
        EXPECT_TRUE(near(drawn.pixel(x, y), t.pixel(x, y))) << x << "," << y;
}

TEST(TreeChooserThumbnail, DamagedPhotoIsACodecErrorNamingTheFile) {
    TempDir dir;
    auto jpeg = encodeJpeg(Image(159, 159, kRed));
    jpeg.resize(jpeg.size() / 3);
    writeBytes(dir / "cut.jpg", std::string(jpeg.begin(), jpeg.end()));
    writeBytes(dir / "text.jpg", "not a picture");
    for (const char* name : {"cut.jpg", "text.jpg"}) {
        try {
            chooserThumbnail(dir / name, kGrey);
            ADD_FAILURE() << name;
        } catch (const CodecError& e) {
            EXPECT_EQ(e.path().filename(), name);
        }
    }
    EXPECT_THROW(chooserThumbnail(dir / "missing.jpg", kGrey), IoError);
    const Image empty = emptyChooserThumbnail(kGrey);
    EXPECT_EQ(empty.pixel(78, 78), kGrey);
    EXPECT_EQ(empty.pixel(155, 78), kBlack);
    EXPECT_EQ(empty.pixel(0, 78), kWhite);
}
