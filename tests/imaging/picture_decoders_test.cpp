#include "imaging/picture_decoders.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>
#include <string>

#include "common/errors.h"
#include "imaging/exif_samples.h"
#include "photos/gallery_pictures.h"
#include "support/picture_samples.h"
#include "support/temp_dir.h"

using namespace tavo;
using namespace tavo::test;
namespace ex = tavo::test::exif;

namespace {

class PictureDecoders : public ::testing::Test {
  protected:
    std::filesystem::path write(const std::string& name, const PictureBytes& bytes) {
        const auto p = dir_ / name;
        writeBytes(p, std::string(bytes.begin(), bytes.end()));
        return p;
    }
    TempDir dir_;
};

// EXIF data as a camera writes it: an APP1 segment carrying an orientation and a date.
ex::Tiff cameraTags(int orientation, const char* date = "2024:05:17 09:41:07") {
    ex::Tiff t(true);
    t.shortValue(ex::Ifd::Zero, ex::kOrientation, static_cast<std::uint16_t>(orientation))
        .text(ex::Ifd::Exif, ex::kDateTimeOriginal, date);
    return t;
}

// Pixel p of the upright picture of a 3 x 2 stored picture whose pixels are numbered 0-5 row by
// row, by orientation: how the picture is meant to be seen.
TEST_F(PictureDecoders, EachOrientationTurnsThePictureUpright) {
    Image stored(3, 2);
    for (int i = 0; i < 6; ++i) stored.setPixel(i % 3, i / 3, {static_cast<std::uint8_t>(i), 0, 0});
    const struct {
        int orientation;
        Size size;
        std::vector<int> upright;  // stored pixel numbers, upright row by row
    } cases[] = {
        {1, {3, 2}, {0, 1, 2, 3, 4, 5}}, {2, {3, 2}, {2, 1, 0, 5, 4, 3}},
        {3, {3, 2}, {5, 4, 3, 2, 1, 0}}, {4, {3, 2}, {3, 4, 5, 0, 1, 2}},
        {5, {2, 3}, {0, 3, 1, 4, 2, 5}}, {6, {2, 3}, {3, 0, 4, 1, 5, 2}},
        {7, {2, 3}, {5, 2, 4, 1, 3, 0}}, {8, {2, 3}, {2, 5, 1, 4, 0, 3}},
        {0, {3, 2}, {0, 1, 2, 3, 4, 5}}, {9, {3, 2}, {0, 1, 2, 3, 4, 5}},
    };
    for (const auto& c : cases) {
        const Image up = orientUpright(stored, c.orientation);
        ASSERT_EQ(up.size(), c.size) << c.orientation;
        EXPECT_EQ(uprightSize(stored.size(), c.orientation), c.size);
        std::vector<int> got;
        for (int y = 0; y < up.height; ++y)
            for (int x = 0; x < up.width; ++x) got.push_back(up.pixel(x, y).r);
        EXPECT_EQ(got, c.upright) << "orientation " << c.orientation;
    }
}

// Stored photos are the fit of the upright picture, whatever the orientation and the side, and
// the JPEG path (rows sampled while decoding) agrees with decoding the whole frame.
TEST_F(PictureDecoders, PortraitPhotosAreStoredUpright) {
    const Image camera = patternImage(157, 93);
    const PictureBytes plain = jpegBytes(camera);
    const Image decoded = decodeJpeg(plain, "plain");
    for (int orientation = 1; orientation <= 8; ++orientation) {
        const auto jpeg = write("o" + std::to_string(orientation) + ".jpg",
                                withSegment(plain, ex::app1(cameraTags(orientation).build())));
        const auto tiff = dir_ / ("o" + std::to_string(orientation) + ".tif");
        writeTiff(tiff, camera, orientation);
        const auto fitUpright = [&](const Image& full, int side) {
            const Image up = orientUpright(full, orientation);
            return side > 0 ? boxFit(up, side) : up;
        };
        for (const int side : {600, 61, 0}) {
            const std::string where =
                "orientation " + std::to_string(orientation) + ", side " + std::to_string(side);
            const ScaledPicture j = loadFittedPicture(jpeg, side);
            EXPECT_EQ(j.original, uprightSize(camera.size(), orientation)) << where;
            EXPECT_EQ(j.image.pixels, fitUpright(decoded, side).pixels) << where;
            EXPECT_EQ(loadFittedPicture(tiff, side).image.pixels, fitUpright(camera, side).pixels)
                << where;
        }
        // A phone's HEIC turns by its own boxes; its EXIF orientation repeats them and must not
        // turn the picture a second time.
        const auto heic =
            write("o.heic", heicBytes(camera, cameraTags(orientation).build(), orientation));
        const ScaledPicture h = loadFittedPicture(heic, 0);
        EXPECT_EQ(h.original, uprightSize(camera.size(), orientation));
        EXPECT_LT(meanDifference(h.image, fitUpright(camera, 0)), 4) << orientation;
        // The reduced decoding for previews and thumbnails is upright too.
        const ScaledPicture thumb = loadUprightPicture(jpeg, 40);
        EXPECT_EQ(thumb.original, uprightSize(camera.size(), orientation));
        EXPECT_LT(meanDifference(stretch(thumb.image, boxFitSize(thumb.original, 40)),
                                 boxFit(fitUpright(decoded, 0), 40)),
                  12)
            << orientation;
    }
}

// Photos that need no turning are stored byte for byte as before the rows were sampled while
// decoding: the whole frame decoded, box-fitted and encoded.
TEST_F(PictureDecoders, StoredJpegBytesMatchTheWholeFrameFit) {
    const struct {
        const char* name;
        Size size;
        int subsampling;
        bool progressive;
    } cases[] = {
        {"camera 4:2:0", {1201, 799}, TJSAMP_420, false},
        {"portrait 4:2:2", {333, 901}, TJSAMP_422, false},
        {"progressive 4:4:4", {640, 480}, TJSAMP_444, true},
        {"grey", {250, 250}, TJSAMP_GRAY, false},
        {"small, enlarged", {100, 50}, TJSAMP_420, false},
    };
    for (const auto& c : cases) {
        const PictureBytes bytes =
            jpegBytes(patternImage(c.size.width, c.size.height), c.subsampling, c.progressive);
        const auto path = write("s.jpg", bytes);
        EXPECT_EQ(storedGalleryPhoto(path),
                  encodeJpeg(boxFit(decodeJpeg(bytes, "s"), kGalleryPhotoStoredSide), 90))
            << c.name;
    }
}

// Each format gives the same stored picture as the pixels it was made from (lossless ones
// exactly), with the date of its EXIF data where the format has one.
TEST_F(PictureDecoders, EveryFormatIsReadWithItsDate) {
    const Image source = patternImage(120, 80);
    const ex::Bytes exif = cameraTags(1, "2023:11:02 17:05:59").build();
    Image halfWhite = source;  // the PNG with every other column transparent shows white there
    for (int y = 0; y < source.height; ++y)
        for (int x = 0; x < source.width; x += 2) halfWhite.setPixel(x, y, kWhite);
    const auto tiffWithDate = dir_ / "d.tif";
    writeTiff(tiffWithDate, source, 1, "2023:11:02 17:05:59");
    const auto tiffPlain = dir_ / "p.tif";
    writeTiff(tiffPlain, source);
    const PictureBytes heicDated = heicBytes(source, exif);
    ASSERT_FALSE(heicDated.empty()) << "no HEVC encoder installed";

    const struct {
        const char* name;
        std::filesystem::path path;
        PictureFormat format;
        Image expected;
        double tolerance;  // mean difference allowed: 0 for lossless formats
        std::optional<std::string> date;
    } cases[] = {
        {"png", write("a.png", pngBytes(source)), PictureFormat::Png, source, 0, {}},
        {"png alpha", write("b.png", pngBytes(source, true)), PictureFormat::Png, halfWhite, 0, {}},
        {"webp", write("c.webp", webpLosslessBytes(source)), PictureFormat::Webp, source, 0, {}},
        {"bmp", write("d.bmp", encodeBmp(source)), PictureFormat::Bmp, source, 0, {}},
        {"tiff", tiffPlain, PictureFormat::Tiff, source, 0, {}},
        {"tiff exif", tiffWithDate, PictureFormat::Tiff, source, 0, "02/11/2023"},
        {"heic", write("e.heic", heicBytes(source)), PictureFormat::Heif, source, 4, {}},
        {"heic exif", write("f.heic", heicDated), PictureFormat::Heif, source, 4, "02/11/2023"},
        {"jpeg named .png", write("g.png", withSegment(jpegBytes(source), ex::app1(exif))),
         PictureFormat::Jpeg, source, 4, "02/11/2023"},
    };
    for (const auto& c : cases) {
        const auto head = readBytes(c.path);
        EXPECT_EQ(pictureFormatOf(head), c.format) << c.name;
        const ScaledPicture full = loadFittedPicture(c.path, 0);
        EXPECT_EQ(full.original, source.size()) << c.name;
        EXPECT_LE(meanDifference(full.image, c.expected), c.tolerance) << c.name;
        EXPECT_EQ(exifPhotoDate(c.path), c.date) << c.name;
        // Stored as the same 600-pixel JPEG.
        const Image stored = decodeJpeg(storedGalleryPhoto(c.path), c.name);
        EXPECT_EQ(stored.size(), (Size{600, 400})) << c.name;
    }
}

// Real-world EXIF trouble never keeps a picture out: it only leaves the date unfilled.
TEST_F(PictureDecoders, ExifTroubleLeavesThePictureUsable) {
    const PictureBytes tiny = jpegBytes(patternImage(100, 50));
    // The block stops after the TIFF byte-order mark: the reader meets the picture's own data.
    PictureBytes cutExif = ex::app1(cameraTags(6).build());
    cutExif.resize(14);
    cutExif[2] = 0;
    cutExif[3] = 12;
    const PictureBytes xmp = [] {
        const std::string id = "http://ns.adobe.com/xap/1.0/";
        PictureBytes s{0xFF, 0xE1, 0, static_cast<std::uint8_t>(2 + id.size() + 1 + 40)};
        s.insert(s.end(), id.begin(), id.end());
        s.push_back(0);
        const std::string packet = "<x:xmpmeta xmlns:x='adobe:ns:meta/'/>   ";
        s.insert(s.end(), packet.begin(), packet.end());
        return s;
    }();
    const struct {
        const char* name;
        PictureBytes bytes;
        std::optional<std::string> date;
    } cases[] = {
        {"100 x 50 without EXIF", tiny, {}},
        {"EXIF block cut short", withSegment(tiny, cutExif), {}},
        {"EXIF directory beyond the end",
         withSegment(tiny, ex::app1(cameraTags(6).ifd0Offset(0xFFFFFFF0).build())),
         {}},
        {"XMP only", withSegment(tiny, xmp), {}},
        {"XMP before EXIF", withSegment(withSegment(tiny, ex::app1(cameraTags(1).build())), xmp),
         "17/05/2024"},
    };
    for (const auto& c : cases) {
        const auto path = write("t.jpg", c.bytes);
        EXPECT_EQ(exifPhotoDate(path), c.date) << c.name;
        EXPECT_EQ(decodeJpeg(storedGalleryPhoto(path), c.name).size(), (Size{600, 300})) << c.name;
        EXPECT_EQ(photoPreview(path, kWhite).size(), kFramedPictureSize) << c.name;
    }
}

// A damaged picture, one over the pixel cap, or a file of no known format is refused with an
// error naming the file, before any large allocation.
TEST_F(PictureDecoders, DamagedOrHugePicturesAreRefusedNamingTheFile) {
    const Image source = patternImage(64, 48);
    const auto cut = [](PictureBytes b) {
        b.resize(b.size() * 2 / 3);
        return b;
    };
    const auto tiff = dir_ / "whole.tif";
    writeTiff(tiff, source);
    // Strip data that cannot be decompressed, its directory intact.
    PictureBytes garbledTiff = readBytes(tiff);
    std::fill(garbledTiff.begin() + 8, garbledTiff.begin() + 200, 0xFF);
    // A PNG header announcing 20000 x 20000 pixels (400 million, over the cap).
    PictureBytes hugePng = pngBytes(source);
    for (int i : {16, 20}) {
        hugePng[i] = 0, hugePng[i + 1] = 0, hugePng[i + 2] = 0x4E, hugePng[i + 3] = 0x20;
    }
    const struct {
        const char* name;
        PictureBytes bytes;
    } cases[] = {
        {"cut.jpg", cut(jpegBytes(source))},
        {"cut.png", cut(pngBytes(source))},
        {"cut.webp", cut(webpLosslessBytes(source))},
        {"cut.tif", cut(readBytes(tiff))},
        {"cut.heic", cut(heicBytes(source))},
        {"cut.bmp", cut(encodeBmp(source))},
        {"garbled.tif", garbledTiff},
        {"huge.png", hugePng},
        {"notes.txt", {'h', 'e', 'l', 'l', 'o'}},
    };
    const auto openFiles = [] {
        return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
    };
    const auto openBefore = openFiles();
    for (const auto& c : cases) {
        const auto path = write(c.name, c.bytes);
        try {
            loadFittedPicture(path, kGalleryPhotoStoredSide);
            ADD_FAILURE() << c.name << " was read";
        } catch (const CodecError& e) {
            EXPECT_EQ(e.path(), path) << c.name;
        }
    }
    EXPECT_EQ(openFiles(), openBefore) << "a refused picture left its file open";
    // A pipe is refused at once instead of being waited on.
    const auto fifo = dir_ / "pipe.heic";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_THROW(loadFittedPicture(fifo, kGalleryPhotoStoredSide), IoError);
    EXPECT_EQ(exifPhotoDate(fifo), std::nullopt);
}

}  // namespace
