#include "imaging/imaging.h"
#include "support/faults.h"

#include <gtest/gtest.h>

#include <turbojpeg.h>
#include <cstdlib>
#include <set>
#include <string>

#include "common/errors.h"
#include "common/file_io.h"
#include "support/temp_dir.h"

using namespace tavo;
using tavo::test::TempDir;

namespace {

constexpr Rgb kRed{220, 30, 30}, kGreen{30, 200, 40}, kBlue{20, 40, 210}, kYellow{240, 220, 20};
constexpr Rgb kGrey{192, 192, 192};

// Four flat quadrants: red, green / blue, yellow.
Image quadrants(int w, int h) {
    Image img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y,
                         y < h / 2 ? (x < w / 2 ? kRed : kGreen) : (x < w / 2 ? kBlue : kYellow));
    return img;
}

bool near(Rgb a, Rgb b, int tolerance = 12) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance;
}

bool hasMarker(const std::vector<std::uint8_t>& jpeg, std::uint8_t marker) {
    for (std::size_t i = 0; i + 1 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == marker) return true;
    return false;
}

std::vector<std::uint8_t> bytesOf(const std::string& s) {
    return {s.begin(), s.end()};
}

}  // namespace

TEST(BoxFit, LongerSideTakesTheSizeAndHalvesGoToEven) {
    EXPECT_EQ(boxFitSize({300, 200}, 159), (Size{159, 106}));
    EXPECT_EQ(boxFitSize({200, 300}, 159), (Size{106, 159}));
    EXPECT_EQ(boxFitSize({500, 500}, 159), (Size{159, 159}));
    EXPECT_EQ(boxFitSize({2000, 1000}, 159), (Size{159, 80}));  // 79.5
    EXPECT_EQ(boxFitSize({1000, 2000}, 159), (Size{80, 159}));
    EXPECT_EQ(boxFitSize({318, 81}, 159), (Size{159, 40}));  // 40.5
    EXPECT_EQ(boxFitSize({512, 8}, 160), (Size{160, 2}));    // 2.5
    EXPECT_EQ(boxFitSize({512, 24}, 160), (Size{160, 8}));   // 7.5
    EXPECT_EQ(boxFitSize({2000, 1000}, 600), (Size{600, 300}));
    EXPECT_EQ(boxFitSize({100, 50}, 600), (Size{600, 300}));  // small pictures are enlarged
    EXPECT_EQ(boxFitSize({1000, 1}, 159), (Size{159, 1}));    // never 0 pixels
    EXPECT_EQ(roundHalfEven(27.5L), 28);
    EXPECT_EQ(roundHalfEven(62.5L), 62);
    EXPECT_EQ(roundHalfEven(-0.5L), 0);
    EXPECT_EQ(roundHalfEven(3.49L), 3);
}

TEST(Stretch, EachTargetPixelTakesTheSourcePixelUnderItsCentre) {
    const Image src = quadrants(2, 2);
    const Image big = stretch(src, {4, 4});
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(big.pixel(x, y), src.pixel(x / 2, y / 2));

    Image row(4, 1);
    for (int x = 0; x < 4; ++x) row.setPixel(x, 0, {static_cast<std::uint8_t>(x * 10), 0, 0});
    const Image half = stretch(row, {2, 1});
    EXPECT_EQ(half.pixel(0, 0).r, 10);  // centres 0.5 and 2.5 of 4 -> columns 1 and 3
    EXPECT_EQ(half.pixel(1, 0).r, 30);

    Image three(3, 1);
    for (int x = 0; x < 3; ++x) three.setPixel(x, 0, {static_cast<std::uint8_t>(x * 10), 0, 0});
    const Image five = stretch(three, {5, 1});  // repeats columns 0, 0, 1, 2, 2
    const int want[] = {0, 0, 10, 20, 20};
    for (int x = 0; x < 5; ++x) EXPECT_EQ(five.pixel(x, 0).r, want[x]);

    const Image same = stretch(quadrants(7, 5), {7, 5});
    EXPECT_EQ(same.pixels, quadrants(7, 5).pixels);
    EXPECT_TRUE(stretch(src, {0, 3}).empty());
}

TEST(Stretch, NoSmoothingKeepsOnlySourceColours) {
    const Image fitted = boxFit(quadrants(300, 200), 159);
    ASSERT_EQ(fitted.size(), (Size{159, 106}));
    std::set<std::tuple<int, int, int>> colours;
    for (int y = 0; y < fitted.height; ++y)
        for (int x = 0; x < fitted.width; ++x) {
            const Rgb c = fitted.pixel(x, y);
            colours.insert({c.r, c.g, c.b});
        }
    EXPECT_EQ(colours.size(), 4u);
}

TEST(FramedPicture, PhotoSitsInsideTheBlackFrame) {
    EXPECT_EQ(framedPhotoRect({159, 80}), (Rect{1, 40, 160, 120}));
    EXPECT_EQ(framedPhotoRect({159, 106}), (Rect{1, 28, 160, 134}));
    EXPECT_EQ(framedPhotoRect({106, 159}), (Rect{28, 1, 134, 160}));
    EXPECT_EQ(framedPhotoRect({159, 159}), (Rect{1, 1, 160, 160}));

    const Image photo(159, 80, kRed);
    const Image pic = framedPicture(photo, kGrey);
    ASSERT_EQ(pic.size(), (Size{161, 161}));
    for (int i = 0; i < 161; ++i) {
        EXPECT_EQ(pic.pixel(i, 0), kBlack);
        EXPECT_EQ(pic.pixel(i, 160), kBlack);
        EXPECT_EQ(pic.pixel(0, i), kBlack);
        EXPECT_EQ(pic.pixel(160, i), kBlack);
    }
    EXPECT_EQ(pic.pixel(1, 39), kGrey);
    EXPECT_EQ(pic.pixel(1, 40), kRed);
    EXPECT_EQ(pic.pixel(159, 119), kRed);
    EXPECT_EQ(pic.pixel(80, 120), kGrey);
    EXPECT_EQ(framedPicture(Image(), kGrey).pixel(80, 80), kGrey);
}

TEST(Thumbnail, MarginsAreRoundedAndTheRectangleFollowsThem) {
    EXPECT_EQ(thumbnailPhotoRect({600, 300}, kGalleryCell, kGalleryPhotoSide),
              (Rect{0, 62, 250, 188}));
    EXPECT_EQ(thumbnailPhotoRect({300, 600}, kGalleryCell, kGalleryPhotoSide),
              (Rect{62, 0, 188, 250}));
    EXPECT_EQ(thumbnailPhotoRect({600, 600}, kGalleryCell, kGalleryPhotoSide),
              (Rect{0, 0, 250, 250}));
    EXPECT_EQ(thumbnailPhotoRect({159, 106}, kChooserCell, kChooserPhotoSide),
              (Rect{3, 28, 153, 128}));
}

TEST(Thumbnail, EdgesAreDrawnOverThePhoto) {
    const Image t =
        thumbnail(Image(600, 300, kRed), {600, 300}, kGalleryCell, kGalleryPhotoSide, kGrey);
    ASSERT_EQ(t.size(), (Size{250, 250}));
    EXPECT_EQ(t.pixel(0, 100), kWhite);  // left edge over the photo
    EXPECT_EQ(t.pixel(249, 100), kBlack);
    EXPECT_EQ(t.pixel(100, 0), kWhite);
    EXPECT_EQ(t.pixel(100, 249), kBlack);
    EXPECT_EQ(t.pixel(100, 61), kGrey);
    EXPECT_EQ(t.pixel(100, 62), kRed);
    EXPECT_EQ(t.pixel(100, 187), kRed);
    EXPECT_EQ(t.pixel(100, 188), kGrey);

    // A reduced decoding is drawn where the full picture would be.
    const Image reduced =
        thumbnail(Image(300, 150, kRed), {600, 300}, kGalleryCell, kGalleryPhotoSide, kGrey);
    EXPECT_EQ(reduced.pixels, t.pixels);
}

TEST(Jpeg, RoundTripIsBaselineWithTheColoursKept) {
    TempDir dir;
    const auto path = dir / "photo.JPG";
    test::writeBytes(path, "old content");
    saveJpeg(quadrants(64, 48), path);
    EXPECT_FALSE(std::filesystem::exists(dir / "photo.JPG.tmp"));

    const auto bytes = test::readBytes(path);
    ASSERT_GE(bytes.size(), 4u);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0xD8);
    EXPECT_TRUE(hasMarker(bytes, 0xC0));   // baseline frame
    EXPECT_FALSE(hasMarker(bytes, 0xC2));  // not progressive

    const Image back = loadJpeg(path);
    ASSERT_EQ(back.size(), (Size{64, 48}));
    EXPECT_TRUE(near(back.pixel(10, 10), kRed));
    EXPECT_TRUE(near(back.pixel(50, 10), kGreen));
    EXPECT_TRUE(near(back.pixel(10, 40), kBlue));
    EXPECT_TRUE(near(back.pixel(50, 40), kYellow));
}

TEST(Jpeg, ScaledDecodingStaysAtLeastAsLargeAsWanted) {
    const auto jpeg = encodeJpeg(quadrants(1600, 1200));
    const ScaledPicture thumb = decodeJpegScaled(jpeg, "big.jpg", 250);
    EXPECT_EQ(thumb.original, (Size{1600, 1200}));
    EXPECT_EQ(thumb.image.size(), (Size{400, 300}));  // 1/4; 1/8 would give 200 x 150
    EXPECT_TRUE(near(thumb.image.pixel(50, 50), kRed));
    EXPECT_EQ(decodeJpegScaled(jpeg, "big.jpg", 150).image.size(), (Size{200, 150}));
    EXPECT_EQ(decodeJpegScaled(jpeg, "big.jpg", 5000).image.size(), (Size{1600, 1200}));
    EXPECT_EQ(decodeJpegScaled(jpeg, "big.jpg", 0).image.size(), (Size{1600, 1200}));
}

TEST(Jpeg, UnreadablePicturesGiveACodecErrorNamingTheFile) {
    TempDir dir;
    const auto notJpeg = dir / "notes.jpg";
    test::writeBytes(notJpeg, "This is not a picture at all, just some text.");
    // Noise, so that the cut falls inside the compressed pixels, past every header.
    Image noise(256, 256);
    unsigned seed = 7;
    for (auto& v : noise.pixels)
        v = static_cast<std::uint8_t>((seed = seed * 1103515245 + 12345) >> 16);
    const auto full = encodeJpeg(noise);
    const auto cut = dir / "cut.jpg";
    test::writeBytes(cut, std::string(full.begin(), full.begin() + full.size() * 3 / 4));
    const auto headerOnly = dir / "header.jpg";
    test::writeBytes(headerOnly, std::string(full.begin(), full.begin() + 20));
    const auto empty = dir / "empty.jpg";
    test::writeBytes(empty, "");

    for (const auto& p : {notJpeg, cut, headerOnly, empty}) {
        try {
            loadJpeg(p);
            ADD_FAILURE() << p << " was decoded";
        } catch (const CodecError& e) {
            EXPECT_EQ(e.path(), p);
            EXPECT_NE(std::string(e.what()).find(p.filename().string()), std::string::npos);
        }
    }
    EXPECT_THROW(loadJpeg(dir / "missing.jpg"), IoError);

    // Stray bytes before the end marker or after it leave a whole picture: accepted.
    auto stray = full;
    stray.insert(stray.end() - 2, {1, 2, 3});
    stray.insert(stray.end(), {9, 9});
    EXPECT_EQ(decodeJpeg(stray, "stray.jpg").size(), (Size{256, 256}));
}

TEST(Jpeg, HeaderAboveThePixelCapIsRefusedBeforeDecoding) {
    auto jpeg = encodeJpeg(Image(16, 16, kRed));
    // Patch the frame header (FF C0, length, precision, height, width) to 20000 x 20000.
    std::size_t sof = 0;
    for (std::size_t i = 0; i + 1 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) sof = i;
    ASSERT_NE(sof, 0u);
    for (std::size_t at : {sof + 5, sof + 7}) {
        jpeg[at] = 20000 >> 8;
        jpeg[at + 1] = 20000 & 0xFF;
    }
    try {
        decodeJpeg(jpeg, "huge.jpg");
        FAIL();
    } catch (const CodecError& e) {
        EXPECT_NE(std::string(e.what()).find("too large"), std::string::npos);
    }
}

TEST(Jpeg, CmykPicturesAreRefused) {
    const int w = 8, h = 8;
    std::vector<unsigned char> cmyk(w * h * 4, 0x40);
    tjhandle tj = tjInitCompress();
    unsigned char* buf = nullptr;
    unsigned long size = 0;
    ASSERT_EQ(tjCompress2(tj, cmyk.data(), w, w * 4, h, TJPF_CMYK, &buf, &size, TJSAMP_444, 90, 0),
              0);
    const std::vector<std::uint8_t> jpeg(buf, buf + size);
    tjFree(buf);
    tjDestroy(tj);
    EXPECT_THROW(decodeJpeg(jpeg, "cmyk.jpg"), CodecError);
}

TEST(Jpeg, FailedSaveLeavesThePreviousPhoto) {
    TempDir dir;
    const auto path = dir / "ref.JPG";
    saveJpeg(Image(10, 10, kRed), path);
    const auto before = test::readBytes(path);
    test::failNthWrite(1);
    EXPECT_THROW(saveJpeg(Image(10, 10, kBlue), path), IoError);
    test::failNthWrite(0);
    EXPECT_EQ(test::readBytes(path), before);
    EXPECT_THROW(encodeJpeg(Image()), CodecError);
}

TEST(Bitmap, TwentyFourBitRoundTripWithRowPadding) {
    TempDir dir;
    const Image img = quadrants(5, 3);
    saveBmp(img, dir / "Defaut.bmp");
    const auto bytes = test::readBytes(dir / "Defaut.bmp");
    EXPECT_EQ(bytes.size(), 54u + 16u * 3u);  // rows of 15 bytes padded to 16
    EXPECT_EQ(loadBmp(dir / "Defaut.bmp").pixels, img.pixels);
    EXPECT_EQ(loadPicture(dir / "Defaut.bmp").pixels, img.pixels);
}

TEST(Bitmap, PaletteBitmapsTopDownAndBottomUp) {
    // 3 x 2, 8 bits per pixel, two palette entries, rows padded to 4 bytes.
    auto make = [](int height, const std::string& rows) {
        std::string b = "BM";
        auto u32 = [&](std::uint32_t v) {
            for (int i = 0; i < 4; ++i) b += static_cast<char>(v >> (8 * i));
        };
        auto u16 = [&](std::uint16_t v) {
            b += static_cast<char>(v);
            b += static_cast<char>(v >> 8);
        };
        u32(0), u32(0), u32(14 + 40 + 8);
        u32(40), u32(3), u32(static_cast<std::uint32_t>(height)), u16(1), u16(8), u32(0), u32(0);
        u32(0), u32(0), u32(2), u32(0);
        b += std::string("\x10\x20\x30\x00", 4);  // entry 0: B G R x
        b += std::string("\xFF\x00\x00\x00", 4);  // entry 1: blue
        return b + rows;
    };
    const std::string rows =
        std::string("\x00\x01\x00\x00", 4) + std::string("\x01\x01\x00\x00", 4);
    const Rgb c0{0x30, 0x20, 0x10}, c1{0, 0, 0xFF};
    const Image bottomUp = decodeBmp(bytesOf(make(2, rows)), "a.bmp");
    ASSERT_EQ(bottomUp.size(), (Size{3, 2}));
    EXPECT_EQ(bottomUp.pixel(0, 1), c0);  // first stored row is the bottom one
    EXPECT_EQ(bottomUp.pixel(1, 1), c1);
    EXPECT_EQ(bottomUp.pixel(0, 0), c1);
    const Image topDown = decodeBmp(bytesOf(make(-2, rows)), "a.bmp");
    EXPECT_EQ(topDown.pixel(0, 0), c0);
    EXPECT_EQ(topDown.pixel(2, 1), c0);
    EXPECT_EQ(topDown.pixel(1, 1), c1);

    std::string cut = make(2, rows);
    cut.resize(cut.size() - 3);
    EXPECT_THROW(decodeBmp(bytesOf(cut), "cut.bmp"), CodecError);
    std::string rle = make(2, rows);
    rle[30] = 1;  // BI_RLE8
    EXPECT_THROW(decodeBmp(bytesOf(rle), "rle.bmp"), CodecError);
    EXPECT_THROW(decodeBmp(bytesOf("BM short"), "x.bmp"), CodecError);
}

TEST(PictureName, JpegExtensionsAreThePiecesOfJpgJpeg) {
    for (const char* n : {"a.jpg", "A.JPG", "b.jpeg", "c.JPE", "d.jp", "e.j", "x.y.jpg"})
        EXPECT_TRUE(hasJpegExtension(n)) << n;
    for (const char* n : {"notes.txt", "noext", "dot.", "a.jpgx", "a.bmp", "a.peg"})
        EXPECT_FALSE(hasJpegExtension(n)) << n;
}
