#include <gtest/gtest.h>

#include "common/errors.h"
#include "common/file_io.h"
#include "imaging/exif.h"
#include "photos/gallery_pictures.h"
#include "support/temp_dir.h"

using namespace tavo;
using namespace tavo::test;

namespace {
constexpr Rgb kGrey{212, 208, 200};
constexpr Rgb kGreen{20, 180, 40};

bool near(Rgb a, Rgb b) {
    return std::abs(a.r - b.r) <= 16 && std::abs(a.g - b.g) <= 16 && std::abs(a.b - b.b) <= 16;
}
}  // namespace

TEST(PhotoDateFromExif, TurnsTheExifFormIntoDayMonthYear) {
    EXPECT_EQ(photoDateFromExif("2005:07:14 10:20:30"), "14/07/2005");
    EXPECT_EQ(photoDateFromExif(""), "//");
    EXPECT_EQ(photoDateFromExif("2005:07"), "/07/2005");
    EXPECT_EQ(photoDateFromExif("2005:07:1"), "1/07/2005");
    // Positions count characters, not the bytes of their UTF-8 form.
    EXPECT_EQ(photoDateFromExif("é005:07:14"), "14/07/é005");
}

TEST(PhotoPreview, FollowsTheFullPictureWhenDecodedReduced) {
    // 1300 x 609 fits to 159 x 74; its 1/8 decoding (163 x 77) would fit to 159 x 75.
    TempDir dir;
    io::writeFile(dir / "p.jpg", encodeJpeg(Image(1300, 609, kGreen)));
    const Image p = photoPreview(dir / "p.jpg", kGrey);
    ASSERT_EQ(p.size(), (Size{161, 161}));
    EXPECT_EQ(p.pixel(80, 43), kGrey);  // y = Round((161 - 74) / 2) = 44
    EXPECT_TRUE(near(p.pixel(80, 44), kGreen));
    EXPECT_TRUE(near(p.pixel(80, 117), kGreen));
    EXPECT_EQ(p.pixel(80, 118), kGrey);
    EXPECT_EQ(p.pixel(0, 80), kBlack);
    EXPECT_EQ(p.pixel(160, 80), kBlack);
}

TEST(StoredGalleryPhoto, IsReadAsJpegWhateverItsNameAndKeepsEveryFullPixel) {
    // Single-pixel black lines every 10 columns: the stored photo takes one source pixel per target
    // pixel (no smoothing), so of a 6000-wide picture at 600 it keeps exactly column 10x + 5.
    TempDir dir;
    Image src(6000, 40, kWhite);
    for (int x = 5; x < 6000; x += 10)
        for (int y = 0; y < 40; ++y) src.setPixel(x, y, kBlack);
    io::writeFile(dir / "picture.bmp", encodeJpeg(src, 100));
    const Image stored = decodeJpeg(storedGalleryPhoto(dir / "picture.bmp"), "stored");
    ASSERT_EQ(stored.size(), (Size{600, 4}));
    for (int x : {0, 300, 599}) EXPECT_TRUE(near(stored.pixel(x, 2), kBlack)) << x;
    EXPECT_THROW(storedGalleryPhoto(dir / "missing.jpg"), IoError);
}

TEST(GalleryThumbnail, LoadsByExtension) {
    TempDir dir;
    saveBmp(Image(100, 100, kGreen), dir / "a.bmp");
    io::writeFile(dir / "b.JPEG", encodeJpeg(Image(100, 100, kGreen)));
    io::writeFile(dir / "c.bmp", encodeJpeg(Image(100, 100, kGreen)));
    EXPECT_EQ(galleryThumbnail(dir / "a.bmp", kGrey).pixel(125, 125), kGreen);
    EXPECT_TRUE(near(galleryThumbnail(dir / "b.JPEG", kGrey).pixel(125, 125), kGreen));
    EXPECT_THROW(galleryThumbnail(dir / "c.bmp", kGrey), CodecError);
    const Image empty = emptyGalleryThumbnail(kGrey);
    EXPECT_EQ(empty.pixel(0, 0), kWhite);
    EXPECT_EQ(empty.pixel(249, 249), kBlack);
    EXPECT_EQ(empty.pixel(125, 125), kGrey);
}
