#include "imaging/exif.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "common/errors.h"
#include "imaging/exif_samples.h"
#include "imaging/exif_seeds.h"
#include "support/temp_dir.h"

using namespace tavo;
using namespace tavo::test::exif;
using tavo::test::TempDir;

namespace {

// Every property as "Name=value", in the order of the class.
std::vector<std::string> dump(const TExif& x) {
    auto n = [](auto v) { return std::to_string(static_cast<unsigned long>(v)); };
    return {"ImageDescription=" + x.ImageDescription(),
            "Make=" + x.Make(),
            "Model=" + x.Model(),
            "Orientation=" + n(x.Orientation()),
            "OrientationDesc=" + x.OrientationDesc(),
            "RightsNotice=" + x.RightsNotice(),
            "Valid=" + n(x.Valid()),
            "DateTime=" + x.DateTime(),
            "DateTimeOriginal=" + x.DateTimeOriginal(),
            "DateTimeDigitized=" + x.DateTimeDigitized(),
            "UserComment=" + x.UserComment(),
            "ExposureTime=" + x.ExposureTime(),
            "FNumber=" + x.FNumber(),
            "ShutterSpeedValue=" + x.ShutterSpeedValue(),
            "ApertureValue=" + x.ApertureValue(),
            "MaxApertureValue=" + x.MaxApertureValue(),
            "ExposureProgram=" + n(x.ExposureProgram()),
            "ExposureProgramDesc=" + x.ExposureProgramDesc(),
            "PixelXDimension=" + n(x.PixelXDimension()),
            "PixelYDimension=" + n(x.PixelYDimension()),
            "XResolution=" + n(x.XResolution()),
            "YResolution=" + n(x.YResolution()),
            "MeteringMode=" + n(x.MeteringMode()),
            "MeteringModeDesc=" + x.MeteringModeDesc(),
            "LightSource=" + n(x.LightSource()),
            "LightSourceDesc=" + x.LightSourceDesc(),
            "Flash=" + n(x.Flash()),
            "FlashDesc=" + x.FlashDesc(),
            "ISOSpeedRatings=" + n(x.ISOSpeedRatings()),
            "Software=" + x.Software(),
            "Artist=" + x.Artist(),
            "CompressedBitsPerPixel=" + x.CompressedBitsPerPixel()};
}

const std::vector<std::string> kEmpty = dump(TExif());

Bytes bytesOf(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

class ExifTest : public ::testing::Test {
  protected:
    // Writes the bytes to a file and reads it into a fresh object.
    TExif read(const Bytes& bytes) {
        TExif x;
        x.ReadFromFile(write(bytes));
        return x;
    }
    std::filesystem::path write(const Bytes& bytes) {
        const auto p = dir_ / ("sample" + std::to_string(++n_) + ".jpg");
        tavo::test::writeBytes(p, std::string(bytes.begin(), bytes.end()));
        return p;
    }
    TempDir dir_;
    int n_ = 0;
};

TEST_F(ExifTest, CameraFileGivesEveryProperty) {
    const TExif x = read(cameraJpeg(typicalCamera(true).build()));
    const std::vector<std::string> expected = {"ImageDescription=Juniperus chinensis, spring",
                                               "Make=Canon",
                                               "Model=Canon EOS 350D DIGITAL",
                                               "Orientation=6",
                                               "OrientationDesc=Rotated 90 right",
                                               "RightsNotice=(c) 2005",
                                               "Valid=1",
                                               "DateTime=2005:07:15 08:00:00",
                                               "DateTimeOriginal=2005:07:14 10:20:30",
                                               "DateTimeDigitized=2005:07:14 10:20:31",
                                               "UserComment=first repotting",
                                               "ExposureTime=1/60 seconds",
                                               "FNumber=2.8",
                                               "ShutterSpeedValue=1/125 seconds",
                                               "ApertureValue=2.97",
                                               "MaxApertureValue=5.6",
                                               "ExposureProgram=2",
                                               "ExposureProgramDesc=Normal Program",
                                               "PixelXDimension=1600",
                                               "PixelYDimension=1200",
                                               "XResolution=72",
                                               "YResolution=180",
                                               "MeteringMode=5",
                                               "MeteringModeDesc=Pattern",
                                               "LightSource=2",
                                               "LightSourceDesc=Flourescent",
                                               "Flash=16",
                                               "FlashDesc=No Flash",
                                               "ISOSpeedRatings=400",
                                               "Software=Firmware 1.0.2",
                                               "Artist=M. Durand",
                                               "CompressedBitsPerPixel=3.0"};
    EXPECT_EQ(dump(x), expected);
}

TEST_F(ExifTest, ByteOrdersAndLayoutsGiveEqualProperties) {
    const auto mm = dump(read(cameraJpeg(typicalCamera(true).build())));
    EXPECT_EQ(dump(read(cameraJpeg(typicalCamera(false).build()))), mm);
    // A JFIF file with its 16-byte APP0 segment, APP1 right behind it at offset 20.
    EXPECT_EQ(dump(read(jfifJpeg(typicalCamera(false).build()))), mm);
    // APP1 behind another segment, at an odd offset the 2-byte search meets.
    Bytes searched = soi();
    append(searched, segment(0xDB, 21));
    append(searched, app1(typicalCamera(true).build()));
    EXPECT_EQ(dump(read(searched)), mm);
}

TEST_F(ExifTest, FilesWithoutApp1StayInvalidAndEmpty) {
    Bytes noApp1 = soi();
    append(noApp1, jfifApp0());
    append(noApp1, segment(0xDB, 67));
    append(noApp1, eoi());
    Bytes farApp1 = soi();
    append(farApp1, jfifApp0());
    append(farApp1, segment(0xFE, 2101));  // beyond the 1001 reads of the search
    append(farApp1, app1(typicalCamera(true).build()));
    Bytes notJpeg = typicalCamera(true).build();  // a bare TIFF
    for (const Bytes& b : {noApp1, farApp1, notJpeg}) EXPECT_EQ(dump(read(b)), kEmpty);
}

// Layouts real cameras and editors write: an XMP APP1 before (or instead of) the EXIF one, and
// texts whose count leaves no room for the zero byte.
TEST_F(ExifTest, OnlyAnExifApp1IsReadAndUnterminatedTextsStayWhole) {
    const auto xmp = [](std::size_t size) {
        Bytes s = segment(0xE1, size);
        const std::string id = "http://ns.adobe.com/xap/1.0/";
        std::copy(id.begin(), id.end(), s.begin() + 4);
        s[4 + id.size()] = 0;
        return s;
    };
    const Tiff kodak =
        Tiff(true)
            .bytesAt(Ifd::Zero, kMake, 2, 21, bytesOf("EASTMAN KODAK COMPANY"))
            .bytesAt(Ifd::Exif, kDateTimeOriginal, 2, 19, bytesOf("2003:08:30 14:02:57"));
    Bytes xmpOnly = soi(), xmpThenExif = soi(), jfifXmpExif = soi();
    append(xmpOnly, xmp(40));
    append(xmpOnly, segment(0xDB, 67));
    append(xmpOnly, eoi());
    append(xmpThenExif, xmp(3000));  // longer than the bytes the marker search steps through
    append(xmpThenExif, app1(kodak.build()));
    append(jfifXmpExif, jfifApp0());
    append(jfifXmpExif, xmp(41));
    append(jfifXmpExif, segment(0xDB, 20));
    append(jfifXmpExif, app1(kodak.build()));
    Bytes exifLookalike = soi();  // "Exif" without its second zero byte
    append(exifLookalike, app1(kodak.build()));
    exifLookalike[11] = 'x';

    EXPECT_EQ(dump(read(xmpOnly)), kEmpty);
    EXPECT_EQ(dump(read(exifLookalike)), kEmpty);
    for (const Bytes& b : {cameraJpeg(kodak.build()), xmpThenExif, jfifXmpExif}) {
        const TExif x = read(b);
        EXPECT_EQ(x.Make(), "EASTMAN KODAK COMPANY");
        EXPECT_EQ(x.DateTimeOriginal(), "2003:08:30 14:02:57");
    }

    // The same structure as a TIFF file of its own, or as the bytes of an EXIF block.
    const Bytes tiff = kodak.build();
    TExif fromFile, fromBytes;
    fromFile.ReadFromTiffFile(write(tiff));
    fromBytes.ReadFromTiffBytes(tiff, "block");
    EXPECT_EQ(dump(fromFile), dump(read(cameraJpeg(tiff))));
    EXPECT_EQ(dump(fromBytes), dump(fromFile));
}

TEST_F(ExifTest, EachReadStartsFromEmptyAndMissingFileChangesNothing) {
    TExif x;
    x.ReadFromFile(write(cameraJpeg(typicalCamera(true).build())));
    const auto full = dump(x);
    x.ReadFromFile(dir_ / "missing.jpg");
    x.ReadFromFile(dir_.path());  // a folder is no file either
    EXPECT_EQ(dump(x), full);

    x.ReadFromFile(write(cameraJpeg(Tiff(true).text(Ifd::Zero, kMake, "Fuji").build())));
    auto expected = kEmpty;
    expected[1] = "Make=Fuji";
    expected[6] = "Valid=1";
    EXPECT_EQ(dump(x), expected);
}

TEST_F(ExifTest, TextsStopAtZeroOrCountAndLoseTrailingControls) {
    const Tiff t = Tiff(false)
                       // count 20: 19 characters, the zero byte not read
                       .text(Ifd::Exif, kDateTimeOriginal, "2005:07:14 10:20:30", 20)
                       // zero inside the count ends the text
                       .bytesAt(Ifd::Zero, kMake, 2, 12, Bytes{'O', 'l', 'y', 0, 'X', 'X'})
                       // without a zero, all n bytes: the count need not hold one
                       .bytesAt(Ifd::Zero, kModel, 2, 4, Bytes{'A', 'B', 'C', 'D', 'E', 'F'})
                       // trailing spaces, tabs and line ends removed, leading kept
                       .text(Ifd::Zero, kArtist, "  Jo Ann \t\r\n ")
                       // count 1 still reads one byte
                       .bytesAt(Ifd::Zero, kSoftware, 2, 1, Bytes{'Z', 'Q'})
                       // count 0 reads nothing
                       .text(Ifd::Zero, kDateTime, "2001:01:01 00:00:00", 0)
                       // Windows-1252 bytes become UTF-8
                       .text(Ifd::Zero, kImageDescription, "\xC9rable \x80 5")
                       // a huge count with a zero byte soon after is an ordinary text
                       .bytesAt(Ifd::Exif, kUserComment, 7, 0xFFFFFFFF, Bytes{'h', 'i', 0});
    const TExif x = read(cameraJpeg(t.build()));
    EXPECT_EQ(x.DateTimeOriginal(), "2005:07:14 10:20:30");
    EXPECT_EQ(x.Make(), "Oly");
    EXPECT_EQ(x.Model(), "ABCD");
    EXPECT_EQ(x.Artist(), "  Jo Ann");
    EXPECT_EQ(x.Software(), "Z");
    EXPECT_EQ(x.DateTime(), "");
    EXPECT_EQ(x.ImageDescription(), "\xC3\x89rable \xE2\x82\xAC 5");
    EXPECT_EQ(x.UserComment(), "hi");
}

TEST_F(ExifTest, TextRunningPastTheEndIsEmptyAndLongTextsAreCapped) {
    // The last value of the file, without zero byte, with a count far beyond the end.
    Bytes b = cameraJpeg(Tiff(true)
                             .text(Ifd::Zero, kMake, "Pentax")
                             .bytesAt(Ifd::Zero, kArtist, 2, 0xFFFFFFFF, Bytes(64, 'A'))
                             .build());
    b.pop_back();  // drop FF D9 so the text runs into the end
    b.pop_back();
    TExif x = read(b);
    EXPECT_EQ(x.Make(), "Pentax");
    EXPECT_EQ(x.Artist(), "");

    // No sound file holds a text longer than an APP1 segment: the rest is not kept.
    b.insert(b.end(), 100000, 'B');
    x = read(b);
    EXPECT_EQ(x.Artist().size(), 65535u);
    EXPECT_EQ(x.Artist().substr(60, 8), "AAAABBBB");
}

TEST_F(ExifTest, RationalsAsDecimalAndFraction) {
    struct Case {
        std::uint16_t tag;
        std::uint32_t num, den;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {kFNumber, 28, 10, "2.8"},
        {kFNumber, 4, 1, "4.0"},
        {kFNumber, 56, 10, "5.6"},
        {kFNumber, 1, 8, "0.13"},  // a half rounds up
        {kFNumber, 2, 3, "0.67"},
        {kFNumber, 0xFFFFFFFF, 1, "4294967295.0"},
        {kFNumber, 7, 0, ""},
        {kAperture, 1, 0xFFFFFFFF, "0.0"},
        {kCompressedBits, 5, 4, "1.25"},
        {kExposureTime, 1, 60, "1/60 seconds"},
        {kExposureTime, 10, 1250, "10/1250 seconds"},  // not reduced
        {kExposureTime, 12345, 1000000, "0 seconds"},
        {kExposureTime, 1, 0, "1/0 seconds"},
        {kShutterSpeed, 6970, 1000, "1/125 seconds"},  // 2^6.97 = 125.37
        {kShutterSpeed, 1, 2, "1/1 seconds"},          // 1.41
        {kShutterSpeed, 0, 0, "1/1 seconds"},          // failed division reads as 0
        {kShutterSpeed, 62, 1, "1/4611686018427387904 seconds"},
        {kShutterSpeed, 64, 1, ""},                   // too large to write
        {kShutterSpeed, 0xFFFFFFFB, 1, "1 seconds"},  // -5 stored as a signed rational
        {kShutterSpeed, 65535, 1, "1 seconds"},
    };
    for (const Case& c : cases) {
        for (bool mm : {true, false}) {
            const TExif x =
                read(cameraJpeg(Tiff(mm).rational(Ifd::Exif, c.tag, c.num, c.den).build()));
            const std::string got = c.tag == kFNumber          ? x.FNumber()
                                    : c.tag == kAperture       ? x.ApertureValue()
                                    : c.tag == kCompressedBits ? x.CompressedBitsPerPixel()
                                    : c.tag == kExposureTime   ? x.ExposureTime()
                                                               : x.ShutterSpeedValue();
            EXPECT_EQ(got, c.expected) << c.tag << " " << c.num << "/" << c.den << " mm=" << mm;
        }
    }
}

TEST_F(ExifTest, NumbersFollowTheTypeOfTheirEntryAndKeepTheirLowBits) {
    // SHORT: the first two bytes of the field, whatever follows; BYTE: the first byte;
    // any other type: the whole field.
    for (bool mm : {true, false}) {
        const std::uint32_t shortIso = mm ? 0x0190FFFF : 0xFFFF0190;   // 400, then junk
        const std::uint32_t byteFlash = mm ? 0x19FFFFFF : 0xFFFFFF19;  // 25, then junk
        const TExif x = read(cameraJpeg(Tiff(mm)
                                            .raw(Ifd::Exif, kIsoSpeed, 3, 1, shortIso)
                                            .raw(Ifd::Exif, kFlash, 1, 1, byteFlash)
                                            .raw(Ifd::Exif, kPixelX, 4, 1, 0x00012345)
                                            .raw(Ifd::Exif, kPixelY, 9, 1, 0xFFFFFFFF)
                                            .raw(Ifd::Exif, kMeteringMode, 4, 1, 0x1FF)
                                            .raw(Ifd::Zero, kOrientation, 4, 1, 0x106)
                                            .build()));
        EXPECT_EQ(x.ISOSpeedRatings(), 400);
        EXPECT_EQ(x.Flash(), 25);
        EXPECT_EQ(x.FlashDesc(), "Flash (Auto)");
        EXPECT_EQ(x.PixelXDimension(), 0x12345u);
        EXPECT_EQ(x.PixelYDimension(), 0xFFFFFFFFu);
        EXPECT_EQ(x.MeteringMode(), 255);
        EXPECT_EQ(x.MeteringModeDesc(), "Other");
        EXPECT_EQ(x.Orientation(), 6);
        EXPECT_EQ(x.OrientationDesc(), "Rotated 90 right");
    }
}

TEST_F(ExifTest, WordingTables) {
    struct Case {
        std::uint16_t tag;
        std::uint8_t value;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {kOrientation, 1, "Normal"},
        {kOrientation, 4, "Rotated 180, mirrored"},
        {kOrientation, 5, "Rotated 90 left, mirrored"},
        {kOrientation, 8, "Rotated 90 left"},
        {kOrientation, 0, "Unknown"},
        {kExposureProgram, 0, "Unknown"},
        {kExposureProgram, 2, "Normal Program"},
        {kExposureProgram, 8, "Landscape Mode"},
        {kExposureProgram, 9, "Unknown"},
        {kMeteringMode, 2, "Center Weighted Average"},
        {kMeteringMode, 6, "Partial"},
        {kMeteringMode, 7, "Unknown"},
        {kMeteringMode, 255, "Other"},
        {kLightSource, 2, "Flourescent"},
        {kLightSource, 17, "Standard Light A"},
        {kLightSource, 22, "D75"},
        {kLightSource, 4, "Unknown"},
        {kLightSource, 255, "Other"},
        {kFlash, 0, "No Flash"},
        {kFlash, 1, "Flash"},
        {kFlash, 5, "Flash No Strobe"},
        {kFlash, 7, "Flash Strobe"},
        {kFlash, 16, "No Flash"},
    };
    for (const Case& c : cases) {
        const Ifd ifd = c.tag == kOrientation ? Ifd::Zero : Ifd::Exif;
        const TExif x = read(cameraJpeg(Tiff(true).shortValue(ifd, c.tag, c.value).build()));
        const auto [number, desc] =
            c.tag == kOrientation       ? std::pair(x.Orientation(), x.OrientationDesc())
            : c.tag == kExposureProgram ? std::pair(x.ExposureProgram(), x.ExposureProgramDesc())
            : c.tag == kMeteringMode    ? std::pair(x.MeteringMode(), x.MeteringModeDesc())
            : c.tag == kLightSource     ? std::pair(x.LightSource(), x.LightSourceDesc())
                                        : std::pair(x.Flash(), x.FlashDesc());
        EXPECT_EQ(number, c.value) << c.tag;
        EXPECT_EQ(desc, c.expected) << c.tag << " " << int{c.value};
    }
}

TEST_F(ExifTest, EntryCountsAndTheZeroTag) {
    // IFD0 count 0 reads as 100: entries are read until the zero tag of the next-IFD field.
    TExif x = read(cameraJpeg(Tiff(false)
                                  .text(Ifd::Zero, kMake, "Nikon")
                                  .shortValue(Ifd::Zero, kOrientation, 3)
                                  .ifd0Count(0)
                                  .build()));
    EXPECT_EQ(x.Make(), "Nikon");
    EXPECT_EQ(x.OrientationDesc(), "Rotated 180");

    // A zero tag ends the directory; an Exif count of 0 reads no entry.
    x = read(cameraJpeg(Tiff(true)
                            .text(Ifd::Zero, kMake, "Nikon")
                            .raw(Ifd::Zero, 0, 3, 1, 0)
                            .text(Ifd::Zero, kModel, "D70")
                            .noExifPointer()
                            .build()));
    EXPECT_EQ(x.Make(), "Nikon");
    EXPECT_EQ(x.Model(), "");
    x = read(cameraJpeg(typicalCamera(true).exifCount(0).build()));
    EXPECT_EQ(x.Make(), "Canon");
    EXPECT_EQ(x.DateTimeOriginal(), "");
    EXPECT_EQ(x.ISOSpeedRatings(), 0);
}

TEST_F(ExifTest, HostileValueOffsetsOnlyEmptyTheirProperty) {
    for (bool mm : {true, false}) {
        const TExif x = read(cameraJpeg(Tiff(mm)
                                            .raw(Ifd::Zero, kMake, 2, 20, 0xFFFFFFFF)
                                            .raw(Ifd::Zero, kModel, 2, 0xFFFFFFFF, 0x80000000)
                                            .raw(Ifd::Zero, kXResolution, 5, 1, 0xFFFFFFFC)
                                            .text(Ifd::Zero, kArtist, "still read")
                                            .raw(Ifd::Exif, kFNumber, 5, 1, 0xFFFFFFF9)
                                            .raw(Ifd::Exif, kExposureTime, 5, 1, 0x7FFFFFF6)
                                            .raw(Ifd::Exif, kShutterSpeed, 10, 1, 0xFFFFFFF8)
                                            .raw(Ifd::Exif, kDateTimeOriginal, 2, 20, 0xFFFFFFF6)
                                            .shortValue(Ifd::Exif, kIsoSpeed, 200)
                                            .build()));
        EXPECT_TRUE(x.Valid());
        EXPECT_EQ(x.Make(), "");
        EXPECT_EQ(x.Model(), "");
        EXPECT_EQ(x.XResolution(), 0u);
        EXPECT_EQ(x.Artist(), "still read");
        EXPECT_EQ(x.FNumber(), "");
        EXPECT_EQ(x.ExposureTime(), "");
        EXPECT_EQ(x.ShutterSpeedValue(), "");
        EXPECT_EQ(x.DateTimeOriginal(), "");
        EXPECT_EQ(x.ISOSpeedRatings(), 200);
    }
}

TEST_F(ExifTest, StructureBeyondTheEndRaisesAndKeepsWhatWasRead) {
    TExif x;
    // IFD0 far beyond the end.
    EXPECT_THROW(
        x.ReadFromFile(write(cameraJpeg(typicalCamera(true).ifd0Offset(0xFFFFFFFF).build()))),
        IoError);
    EXPECT_TRUE(x.Valid());
    EXPECT_EQ(x.Make(), "");

    // Exif IFD beyond the end: the IFD0 values read before stay.
    EXPECT_THROW(x.ReadFromFile(write(cameraJpeg(Tiff(false)
                                                     .text(Ifd::Zero, kMake, "Canon")
                                                     .shortValue(Ifd::Zero, kOrientation, 8)
                                                     .raw(Ifd::Zero, kExifPointer, 4, 1, 0xFFFFFFF0)
                                                     .build()))),
                 IoError);
    EXPECT_EQ(x.Make(), "Canon");
    EXPECT_EQ(x.OrientationDesc(), "Rotated 90 left");

    // 65535 Exif entries announced: the real ones are read, then the file ends.
    EXPECT_THROW(x.ReadFromFile(write(cameraJpeg(Tiff(true)
                                                     .shortValue(Ifd::Zero, kOrientation, 8)
                                                     .shortValue(Ifd::Exif, kIsoSpeed, 400)
                                                     .longValue(Ifd::Exif, kPixelX, 1600)
                                                     .exifCount(65535)
                                                     .nextIfd(0x01010101)
                                                     .build()))),
                 IoError);
    EXPECT_EQ(x.Orientation(), 8);
    EXPECT_EQ(x.ISOSpeedRatings(), 400);
    EXPECT_EQ(x.PixelXDimension(), 1600u);

    // An APP0 announced but the file ends before offset 20; FF E1 as the last two bytes.
    Bytes app0Cut = soi();
    append(app0Cut, Bytes{0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0, 1});
    EXPECT_THROW(x.ReadFromFile(write(app0Cut)), IoError);
    EXPECT_FALSE(x.Valid());
    Bytes markerAtEnd = soi();
    append(markerAtEnd, segment(0xDB, 19));
    append(markerAtEnd, Bytes{0xFF, 0xE1});
    EXPECT_THROW(x.ReadFromFile(write(markerAtEnd)), IoError);
}

TEST_F(ExifTest, ExifDirectoryPointingAtIfd0EndsWithoutLooping) {
    const TExif x = read(cameraJpeg(
        Tiff(false).text(Ifd::Zero, kMake, "Canon").raw(Ifd::Zero, kExifPointer, 4, 1, 8).build()));
    EXPECT_EQ(x.Make(), "Canon");
}

TEST_F(ExifTest, EveryTruncationReturnsOrRaisesWithoutInventingValues) {
    for (const Bytes& full :
         {cameraJpeg(typicalCamera(true).build()), jfifJpeg(typicalCamera(false).build())}) {
        const auto complete = dump(read(full));
        for (std::size_t len = 0; len <= full.size(); ++len) {
            TExif x;
            const auto p = write(Bytes(full.begin(), full.begin() + static_cast<long>(len)));
            try {
                x.ReadFromFile(p);
            } catch (const IoError&) {
            }
            // A cut file can lose values, never change them.
            const auto got = dump(x);
            for (std::size_t i = 0; i < got.size(); ++i) {
                if (got[i] != kEmpty[i]) {
                    EXPECT_EQ(got[i], complete[i]) << "length " << len;
                }
            }
            std::filesystem::remove(p);
        }
    }
}

TEST_F(ExifTest, APipeIsRefusedInsteadOfWaitedOn) {
    const auto fifo = dir_ / "pipe.jpg";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    TExif x;
    EXPECT_THROW(x.ReadFromFile(fifo), IoError);
}

// The seed corpus of the fuzzer, with the crash samples it found, replayed as an ordinary test.
TEST(ExifCorpus, EverySampleReturnsOrRaisesTheIoError) {
    const std::filesystem::path folder =
        std::filesystem::path(TAVO_SOURCE_DIR) / "tests/fixtures/exif";
    std::size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (!entry.is_regular_file()) continue;
        TExif x;
        try {
            x.ReadFromFile(entry.path());
        } catch (const IoError&) {
        }
        ++count;
    }
    EXPECT_GE(count, seedSamples().size());
}

TEST(ExifCorpus, StoredSeedsMatchTheirGenerator) {
    const std::filesystem::path folder =
        std::filesystem::path(TAVO_SOURCE_DIR) / "tests/fixtures/exif";
    for (const auto& [name, bytes] : seedSamples()) {
        EXPECT_EQ(tavo::test::readBytes(folder / name), bytes)
            << name << ": run make_exif_samples tests/fixtures/exif";
    }
}

}  // namespace
