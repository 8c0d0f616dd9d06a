#include "photos/gallery_file.h"
#include "support/faults.h"

#include <gtest/gtest.h>

#include "common/errors.h"
#include "common/file_io.h"
#include "support/temp_dir.h"

using namespace tavo;
using tavo::test::TempDir;
namespace fs = std::filesystem;

namespace {

const std::string kId = "26034140509042";

// One field laid out by hand: length byte, text, then `filler` up to the capacity.
std::string field(const std::string& text, std::size_t capacity, char filler) {
    std::string s(1, static_cast<char>(text.size()));
    s += text;
    s.append(capacity - text.size(), filler);
    return s;
}

// A photo record laid out by hand; a non-zero filler mimics the leftovers of an old buffer.
std::string rec(const std::string& name, const std::string& date, const std::string& comment = "",
                char filler = '\0') {
    return field(name, 22, filler) + field(date, 10, filler) + field(comment, 100, filler);
}

std::string photo(int n) {
    return photoFileName(kId, n);
}

struct GalleryTest : ::testing::Test {
    TempDir dir;
    fs::path gal;
    GalleryTest() {
        dir.makeDataFolders();
        gal = dir / ("GALERIES/" + kId + ".GAL");
        test::writeBytes(gal, "");
        test::writeBytes(dir / "Tavo.ini", "[Fichiers]\r\nFiche=1\r\n");
    }
    ~GalleryTest() override { test::failNthWrite(0); }
    GalleryFile gallery() const { return GalleryFile(DataPaths{dir.path()}, kId); }
    std::string content() const { return test::readText(gal); }
    bool tmpLeft() const { return fs::exists(dir / "DATA.TMP"); }
};

}  // namespace

TEST(PhotoRecord, BytesSitAtTheirOffsets) {
    const Bytes b = encodePhotoRecord({"26034140509042001.JPG", "25/12/2019", "Taille"});
    ASSERT_EQ(b.size(), 135u);
    EXPECT_EQ(std::string(b.begin(), b.end()),
              rec("26034140509042001.JPG", "25/12/2019", "Taille", '\0'));
    EXPECT_EQ(b[0], 21);
    EXPECT_EQ(b[23], 10);
    EXPECT_EQ(b[24], '2');
    EXPECT_EQ(b[34], 6);
    EXPECT_EQ(b[35], 'T');

    // Leftovers behind the texts are ignored, a damaged length byte is clamped.
    std::string raw = rec("abc.JPG", "01/02/2003", "", 'x');
    raw[34] = '\xC8';  // 200 > capacity 100
    raw[35] = '\xE9';
    const PhotoRecord r =
        decodePhotoRecord(std::span(reinterpret_cast<const std::uint8_t*>(raw.data()), 135));
    EXPECT_EQ(r.fileName, "abc.JPG");
    EXPECT_EQ(r.date, "01/02/2003");
    EXPECT_EQ(r.comment.size(), 101u);  // "é" in UTF-8 + 99 fillers
    EXPECT_EQ(r.comment.substr(0, 2), "é");
}

TEST_F(GalleryTest, EmptyGalleryTakesPhotoOneFirst) {
    GalleryFile g = gallery();
    EXPECT_EQ(g.count(), 0u);
    EXPECT_TRUE(g.readAll().empty());
    const NewPhoto plan = planNewPhoto(g, "14/07/2005", "Premier rempotage");
    EXPECT_EQ(plan.number, 1);
    EXPECT_EQ(plan.record.fileName, kId + "001.JPG");
    EXPECT_EQ(plan.photoPath, dir / ("GALERIES/" + kId + "001.JPG"));

    EXPECT_EQ(commitNewPhoto(g, plan, Bytes{0xFF, 0xD8, 0xFF, 0xD9}), 1u);
    EXPECT_EQ(content(), rec(kId + "001.JPG", "14/07/2005", "Premier rempotage"));
    EXPECT_EQ(test::readBytes(plan.photoPath), (std::vector<std::uint8_t>{0xFF, 0xD8, 0xFF, 0xD9}));
    EXPECT_EQ(g.readAt(1), plan.record);
    EXPECT_FALSE(tmpLeft());
}

TEST_F(GalleryTest, AddKeepsDateOrderAndOtherRecordsByteForByte) {
    // Leftover bytes behind the texts must survive every rewrite.
    const std::string a = rec(photo(1), "10/05/2020", "a", 'x');
    const std::string b = rec(photo(2), "10/05/2020", "b", 'y');
    const std::string c = rec(photo(3), "02/01/2021", "c", 'z');
    test::writeBytes(gal, a + b + c);
    GalleryFile g = gallery();

    // Same date as the last record: appended.
    EXPECT_EQ(g.add({photo(4), "02/01/2021", "d"}), 4u);
    const std::string d = rec(photo(4), "02/01/2021", "d");
    EXPECT_EQ(content(), a + b + c + d);

    // Earlier than every record (though later as plain text): becomes record 1.
    EXPECT_EQ(g.add({photo(5), "31/12/2019", "e"}), 1u);
    const std::string e = rec(photo(5), "31/12/2019", "e");
    EXPECT_EQ(content(), e + a + b + c + d);

    // Same date as records in the middle: after them, before the first later one.
    EXPECT_EQ(g.add({photo(6), "10/05/2020", "f"}), 4u);
    const std::string f = rec(photo(6), "10/05/2020", "f");
    EXPECT_EQ(content(), e + a + b + f + c + d);

    // Between two dates.
    EXPECT_EQ(g.add({photo(7), "11/05/2020", "h"}), 5u);
    EXPECT_EQ(content(), e + a + b + f + rec(photo(7), "11/05/2020", "h") + c + d);
    EXPECT_FALSE(tmpLeft());
}

TEST_F(GalleryTest, FailedInsertionLeavesTheGalleryWhole) {
    const std::string before = rec(photo(1), "10/05/2020") + rec(photo(2), "11/05/2020");
    test::writeBytes(gal, before);
    GalleryFile g = gallery();
    test::failNthWrite(1);
    EXPECT_THROW(g.add({photo(3), "01/01/2001", ""}), IoError);
    EXPECT_EQ(content(), before);
    EXPECT_FALSE(tmpLeft());

    test::failNthWrite(1);
    EXPECT_THROW(g.add({photo(3), "01/01/2030", ""}), IoError);  // an append
    EXPECT_EQ(content(), before);

    test::failNthWrite(1, 60);  // the disk fills up in the middle of the appended record
    EXPECT_THROW(g.add({photo(3), "01/01/2030", ""}), IoError);
    EXPECT_EQ(content(), before);

    test::failNthWrite(1, 60);  // the disk fails in the middle of a comment changed in place
    EXPECT_THROW(g.changeComment(2, "une autre saison"), IoError);
    EXPECT_EQ(content(), before);
}

TEST_F(GalleryTest, RemovalShiftsLaterPositions) {
    test::writeBytes(gal, rec(photo(1), "01/01/2020", "un") + rec(photo(2), "02/01/2020", "deux") +
                              rec(photo(3), "03/01/2020", "trois"));
    GalleryFile g = gallery();
    EXPECT_EQ(g.remove(2), photo(2));
    EXPECT_EQ(content(), rec(photo(1), "01/01/2020", "un") + rec(photo(3), "03/01/2020", "trois"));
    EXPECT_EQ(g.readAt(2).comment, "trois");
    EXPECT_FALSE(tmpLeft());

    // No record there: an error, and nothing changes.
    const std::string before = content();
    EXPECT_THROW(g.remove(3), IoError);
    EXPECT_THROW(g.remove(0), IoError);
    EXPECT_THROW(g.readAt(3), IoError);
    EXPECT_EQ(content(), before);

    g.remove(1);
    g.remove(1);
    EXPECT_EQ(fs::file_size(gal), 0u);
}

TEST_F(GalleryTest, NumbersComeBackOnlyWhenTheyAreAgainTheHighest) {
    const std::string four = rec(photo(1), "01/01/2020") + rec(photo(2), "02/01/2020") +
                             rec(photo(3), "03/01/2020") + rec(photo(4), "04/01/2020");
    GalleryFile g = gallery();
    test::writeBytes(gal, four);
    g.remove(4);
    EXPECT_EQ(g.nextPhotoNumber(), 4);

    test::writeBytes(gal, four);
    g.remove(2);
    EXPECT_EQ(g.nextPhotoNumber(), 5);

    // The order of the records plays no part, only the highest number.
    test::writeBytes(gal, rec(photo(7), "01/01/2020") + rec(photo(3), "02/01/2020"));
    EXPECT_EQ(g.nextPhotoNumber(), 8);
}

TEST_F(GalleryTest, PhotoThatOutlivedItsRecordIsNeverReplaced) {
    // 002 outlived its record, 003 is a link planted in its place: both are passed over.
    test::writeBytes(gal, rec(photo(1), "01/01/2020"));
    const fs::path orphan = dir / "GALERIES" / photo(2);
    test::writeBytes(orphan, "the keeper's photo");
    fs::create_symlink(dir / "outside.JPG", dir / "GALERIES" / photo(3));
    GalleryFile g = gallery();
    const NewPhoto plan = planNewPhoto(g, "02/01/2020", "");
    EXPECT_EQ(plan.number, 4);
    EXPECT_EQ(commitNewPhoto(g, plan, Bytes(8, 1)), 2u);
    EXPECT_EQ(test::readText(orphan), "the keeper's photo");
    EXPECT_TRUE(fs::is_symlink(dir / "GALERIES" / photo(3)));
    EXPECT_FALSE(fs::exists(dir / "outside.JPG"));

    // Under the last number, a leftover leaves no number free.
    test::writeBytes(gal, rec(photo(998), "01/01/2020"));
    test::writeBytes(dir / "GALERIES" / photo(999), "another leftover");
    EXPECT_THROW(planNewPhoto(g, "02/01/2020", ""), RefusedError);
}

TEST_F(GalleryTest, NameWithoutNumberStopsTheAddBeforeWriting) {
    const std::string before = rec(photo(1), "01/01/2020") + rec(kId + "ab.JPG", "02/01/2020");
    test::writeBytes(gal, before);
    GalleryFile g = gallery();
    EXPECT_THROW(g.nextPhotoNumber(), ConversionError);
    EXPECT_THROW(planNewPhoto(g, "03/01/2020", ""), ConversionError);
    test::writeBytes(gal, rec("short.JPG", "02/01/2020"));
    EXPECT_THROW(g.nextPhotoNumber(), ConversionError);
}

TEST_F(GalleryTest, CommentChangeTouchesOnlyTheCommentField) {
    const std::string first = rec(photo(1), "01/01/2020", "old one", 'q');
    const std::string second = rec(photo(2), "02/01/2020", "old two", 'w');
    test::writeBytes(gal, first + second);
    GalleryFile g = gallery();

    g.changeComment(2, "nouveau");
    const std::string after = content();
    ASSERT_EQ(after.size(), 270u);
    EXPECT_EQ(after.substr(0, 135), first);
    EXPECT_EQ(after.substr(135, 34), second.substr(0, 34));  // name and date, leftovers too
    EXPECT_EQ(after.substr(135 + 34), field("nouveau", 100, '\0'));

    const std::string hundred(100, 'c');
    g.changeComment(1, hundred);
    EXPECT_EQ(g.readAt(1).comment, hundred);
    g.changeComment(1, hundred + "cut");
    EXPECT_EQ(g.readAt(1).comment, hundred);
    EXPECT_EQ(g.readAt(1).fileName, photo(1));

    EXPECT_THROW(g.changeComment(3, "x"), IoError);
    EXPECT_EQ(fs::file_size(gal), 270u);
}

TEST_F(GalleryTest, RecordNamesNeverReachOutsideTheTreesPhotos) {
    const std::string other = "99001000000000001.JPG";
    test::writeBytes(dir / ("GALERIES/" + other), "other tree");
    test::writeBytes(gal, rec("../Tavo.ini", "01/01/2020") + rec(other, "02/01/2020") +
                              rec(photo(3), "03/01/2020"));
    test::writeBytes(dir / ("GALERIES/" + photo(3)), "jpeg");
    GalleryFile g = gallery();

    EXPECT_THROW(g.photoPath("../Tavo.ini"), RefusedError);
    EXPECT_THROW(g.photoPath(""), RefusedError);
    EXPECT_EQ(g.photoPath(other), dir / ("GALERIES/" + other));  // may be shown
    EXPECT_THROW(g.ownedPhotoPath(other), RefusedError);         // never deleted

    // The bad records leave the gallery; the files they name stay.
    EXPECT_THROW(removePhoto(g, 1), RefusedError);
    EXPECT_TRUE(fs::exists(dir / "Tavo.ini"));
    EXPECT_THROW(removePhoto(g, 1), RefusedError);
    EXPECT_EQ(test::readText(dir / ("GALERIES/" + other)), "other tree");
    EXPECT_EQ(content(), rec(photo(3), "03/01/2020"));

    EXPECT_EQ(removePhoto(g, 1), dir / ("GALERIES/" + photo(3)));
    EXPECT_FALSE(fs::exists(dir / ("GALERIES/" + photo(3))));
    EXPECT_EQ(fs::file_size(gal), 0u);

    // A record naming the gallery file itself, or any other name of the tree that is not
    // identifier + three digits + ".JPG", deletes nothing.
    for (const std::string& name :
         {kId + ".GAL", kId + "1.JPG", kId + "001.JPGX", kId + "00x.JPG"}) {
        SCOPED_TRACE(name);
        test::writeBytes(gal, rec(name, "01/01/2020"));
        EXPECT_THROW(removePhoto(g, 1), RefusedError);
        EXPECT_TRUE(fs::exists(gal));
    }
}

TEST_F(GalleryTest, FullGalleryRefusesTheAdd) {
    const std::string before = rec(photo(999), "01/01/2020");
    test::writeBytes(gal, before);
    GalleryFile g = gallery();
    EXPECT_EQ(g.nextPhotoNumber(), 1000);
    try {
        planNewPhoto(g, "02/01/2020", "");
        FAIL() << "a thousandth photo was accepted";
    } catch (const RefusedError& e) {
        EXPECT_NE(std::string(e.what()).find("999"), std::string::npos);
    }
    EXPECT_EQ(content(), before);
    EXPECT_EQ(test::listFolder(dir / "GALERIES"), std::vector<std::string>{kId + ".GAL"});
}

TEST_F(GalleryTest, FailedPhotoSaveLeavesNothingBehind) {
    const std::string before = rec(photo(1), "01/01/2020");
    test::writeBytes(gal, before);
    GalleryFile g = gallery();
    const std::vector<std::string> folder = test::listFolder(dir / "GALERIES");

    // The picture fails half-way through its file.
    const NewPhoto plan = planNewPhoto(g, "02/01/2020", "");
    EXPECT_THROW(commitNewPhoto(g, plan,
                                [](const fs::path& target) {
                                    test::writeBytes(target, "half a jpeg");
                                    throw CodecError(target, "encoder failed");
                                }),
                 CodecError);
    EXPECT_EQ(content(), before);
    EXPECT_EQ(test::listFolder(dir / "GALERIES"), folder);

    // The picture is stored but the record cannot be written.
    test::failNthWrite(2);
    EXPECT_THROW(commitNewPhoto(g, plan, Bytes(64, 1)), IoError);
    EXPECT_EQ(content(), before);
    EXPECT_EQ(test::listFolder(dir / "GALERIES"), folder);
    EXPECT_FALSE(tmpLeft());

    // The same plan then succeeds; used twice it is stale.
    EXPECT_EQ(commitNewPhoto(g, plan, Bytes(64, 1)), 2u);
    EXPECT_THROW(commitNewPhoto(g, plan, Bytes(64, 1)), RefusedError);
    EXPECT_EQ(g.count(), 2u);
}

TEST_F(GalleryTest, MissingGalleryIsAnIoError) {
    fs::remove(gal);
    GalleryFile g = gallery();
    EXPECT_THROW(g.count(), IoError);
    EXPECT_THROW(g.add({photo(1), "01/01/2020", ""}), IoError);
    EXPECT_THROW(planNewPhoto(g, "01/01/2020", ""), IoError);
    EXPECT_FALSE(fs::exists(gal));
}
