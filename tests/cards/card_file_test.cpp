#include <gtest/gtest.h>

#include <string>

#include "cards/card_file.h"
#include "common/errors.h"
#include "common/file_io.h"
#include "support/cards.h"
#include "support/faults.h"
#include "support/temp_dir.h"

using namespace tavo;
using tavo::test::TempDir;

namespace {

// Bytes of a fixed-string field: length byte, then the text's Windows-1252 bytes.
std::string field(const Bytes& rec, std::size_t offset) {
    return std::string(rec.begin() + static_cast<std::ptrdiff_t>(offset) + 1,
                       rec.begin() + static_cast<std::ptrdiff_t>(offset) + 1 + rec[offset]);
}

// Every field, with the characters Windows-1252 holds beyond Latin-1 and a line break.
TreeCard sampleCard() {
    TreeCard c = test::sampleCard();
    c.treeName = "Érable du Japon";
    c.commonName = "Érable";
    c.provenance = "Pépinière — Lyon";
    c.acquisitionDate = "12/05/2020";
    c.age = "12";
    c.state = "Pré-bonsaï";
    c.notes = "Rempoté en mars.\r\nŒil sur les racines.";
    c.reserved = "";
    return c;
}

struct CardFolder : ::testing::Test {
    TempDir dir;
    DataPaths data{dir.path()};
    void SetUp() override { dir.makeDataFolders(); }
    void TearDown() override { test::failNthWrite(0); }
};

LocalTime at(int y, int mo, int d, int h, int mi, int s, int ms) {
    return {y, mo, d, h, mi, s, ms};
}

}  // namespace

TEST(TreeId, MadeFromTheLocalTime) {
    const LocalTime t = at(2026, 2, 3, 14, 5, 9, 42);
    EXPECT_EQ(makeTreeId(t), "26034140509042");
    EXPECT_EQ(treeIdPartsText("26034140509042"), ":26:034:14:05:09:042:");
    EXPECT_EQ(shortDate(t), "03/02/2026");
    EXPECT_EQ(makeTreeId(at(2024, 12, 31, 0, 0, 0, 0)), "24366000000000");
    EXPECT_EQ(makeTreeId(at(2023, 12, 31, 23, 59, 59, 999)), "23365235959999");
    EXPECT_EQ(makeTreeId(at(2000, 3, 1, 1, 2, 3, 4)), "00061010203004");
}

TEST(TreeId, NextMillisecondCarriesIntoTheNextYear) {
    EXPECT_EQ(makeTreeId(nextMillisecond(at(2025, 12, 31, 23, 59, 59, 999))), "26001000000000");
    EXPECT_EQ(shortDate(nextMillisecond(at(2024, 2, 28, 23, 59, 59, 999))), "29/02/2024");
    EXPECT_EQ(shortDate(nextMillisecond(at(2023, 2, 28, 23, 59, 59, 999))), "01/03/2023");
}

TEST(TreeId, PhotoNameGivesTheIdentifier) {
    EXPECT_EQ(treeIdFromPhotoName("12345678901234.jpeg"), "12345678901234");
    EXPECT_EQ(treeIdFromPhotoName("26034140509042.JPG"), "26034140509042");
}

TEST_F(CardFolder, SameMillisecondNeverReplacesATree) {
    const Clock frozen = [] { return at(2026, 2, 3, 14, 5, 9, 42); };
    const NewTreeId first = newTreeId(data, frozen);
    EXPECT_EQ(first.id, "26034140509042");
    createCard(data, first.id, sampleCard());

    const NewTreeId second = newTreeId(data, frozen);
    EXPECT_EQ(second.id, "26034140509043");
    EXPECT_EQ(second.time.millisecond, 43);

    // Any file of a tree holds its identifier, not only the card.
    test::writeBytes(data.referencePhoto("26034140509043"), "x");
    test::writeBytes(data.gallery("26034140509044"), "");
    EXPECT_EQ(newTreeId(data, frozen).id, "26034140509045");

    EXPECT_THROW(createCard(data, first.id, TreeCard{}), RefusedError);
    EXPECT_EQ(readCard(data, first.id).treeName, "Érable du Japon");
}

TEST_F(CardFolder, CardWrittenAndReadBackFieldByField) {
    const TreeCard c = sampleCard();
    createCard(data, "26034140509042", c);
    const Bytes rec = test::readBytes(data.card("26034140509042"));
    ASSERT_EQ(rec.size(), 1234u);

    EXPECT_EQ(field(rec, 0), "03/02/2026");
    EXPECT_EQ(field(rec, 11), "\xC9rable du Japon");
    EXPECT_EQ(field(rec, 112), "Acer palmatum");
    EXPECT_EQ(field(rec, 213), "Deshojo");
    EXPECT_EQ(field(rec, 314), "\xC9rable");
    EXPECT_EQ(field(rec, 415), "Japanese maple");
    EXPECT_EQ(field(rec, 516), "P\xE9pini\xE8re \x97 Lyon");
    EXPECT_EQ(field(rec, 617), "12/05/2020");
    EXPECT_EQ(field(rec, 628), "12");
    EXPECT_EQ(rec[632], 1);
    EXPECT_EQ(rec[633], 'O');
    EXPECT_EQ(field(rec, 634), "Pr\xE9-bonsa\xEF");
    EXPECT_EQ(field(rec, 675), "45 \x80");
    EXPECT_EQ(field(rec, 691), "Rempot\xE9 en mars.\r\n\x8Cil sur les racines.");
    EXPECT_EQ(rec[942], 0);
    EXPECT_EQ(rec[1193], 0);
    // The bytes behind each text are zero.
    EXPECT_EQ(rec[11 + 1 + 15], 0);
    EXPECT_EQ(rec[1233], 0);

    const TreeCard back = readCard(data, "26034140509042");
    EXPECT_EQ(back.creationDate, c.creationDate);
    EXPECT_EQ(back.treeName, c.treeName);
    EXPECT_EQ(back.botanicalName, c.botanicalName);
    EXPECT_EQ(back.cultivar, c.cultivar);
    EXPECT_EQ(back.commonName, c.commonName);
    EXPECT_EQ(back.englishName, c.englishName);
    EXPECT_EQ(back.provenance, c.provenance);
    EXPECT_EQ(back.acquisitionDate, c.acquisitionDate);
    EXPECT_EQ(back.age, c.age);
    EXPECT_EQ(back.ageEstimated, c.ageEstimated);
    EXPECT_EQ(back.state, c.state);
    EXPECT_EQ(back.price, c.price);
    EXPECT_EQ(back.notes, c.notes);
    EXPECT_EQ(back.reserved, c.reserved);
}

TEST(CardRecord, NotesAreSplitOnCharactersAndJoinedAgain) {
    TreeCard c;
    c.notes = std::string(255, 'a') + std::string(5, 'b');  // 260 characters
    Bytes rec = encodeCard(c);
    EXPECT_EQ(rec[691], 250);
    EXPECT_EQ(rec[942], 10);
    EXPECT_EQ(field(rec, 942), "aaaaabbbbb");
    EXPECT_EQ(decodeCard(rec).notes, c.notes);

    std::string notes600;
    for (int i = 0; i < 600; ++i) notes600 += static_cast<char>('a' + i % 26);
    c.notes = notes600;
    rec = encodeCard(c);
    EXPECT_EQ(rec[691], 250);
    EXPECT_EQ(rec[942], 250);
    EXPECT_EQ(decodeCard(rec).notes, notes600.substr(0, 500));

    // Accented letters are one character each in the file, two bytes each in the program.
    std::string accented;
    for (int i = 0; i < 251; ++i) accented += "é";
    c.notes = accented;
    rec = encodeCard(c);
    EXPECT_EQ(rec[691], 250);
    EXPECT_EQ(rec[942], 1);
    EXPECT_EQ(rec[943], 0xE9);
    EXPECT_EQ(decodeCard(rec).notes, accented);
}

TEST(CardRecord, TextsAreCutToTheirCapacity) {
    TreeCard c;
    c.treeName = std::string(100, 'n') + std::string(20, 'x');
    c.creationDate = "03/02/2026 extra";
    c.age = "1234";
    c.ageEstimated = "NO";
    c.state = std::string(45, 's');
    const Bytes rec = encodeCard(c);
    EXPECT_EQ(rec[11], 100);
    EXPECT_EQ(field(rec, 11), std::string(100, 'n'));
    EXPECT_EQ(rec[112], 0);  // the next field starts untouched
    const TreeCard back = decodeCard(rec);
    EXPECT_EQ(back.treeName, std::string(100, 'n'));
    EXPECT_EQ(back.creationDate, "03/02/2026");
    EXPECT_EQ(back.age, "123");
    EXPECT_EQ(back.ageEstimated, "N");
    EXPECT_EQ(back.state, std::string(40, 's'));
    EXPECT_EQ(fitCard(c).treeName, back.treeName);
}

TEST_F(CardFolder, ReadsACardMadeByHand) {
    Bytes rec(1234, 0xEE);  // bytes behind the texts do not count
    const auto put = [&](std::size_t at, std::uint8_t len, const std::string& text) {
        rec[at] = len;
        std::copy(text.begin(), text.end(), rec.begin() + static_cast<std::ptrdiff_t>(at) + 1);
    };
    for (std::size_t at : {0, 11, 112, 213, 314, 415, 516, 617, 628, 632, 634, 675, 691, 942, 1193})
        rec[at] = 0;
    put(0, 10, "01/01/2001");
    put(11, 4, "Pin\xE9xxx");
    put(617, 255, "15/08/1999");  // damaged length byte: clamped to the capacity 10
    put(632, 1, "N");
    put(691, 3, "abc");
    put(942, 2, "de");
    put(1193, 7, "R\xE9serv\xE9");
    test::writeBytes(data.card("00001000000000"), std::string(rec.begin(), rec.end()));

    const TreeCard c = readCard(data, "00001000000000");
    EXPECT_EQ(c.creationDate, "01/01/2001");
    EXPECT_EQ(c.treeName, "Piné");
    EXPECT_EQ(c.acquisitionDate, "15/08/1999");
    EXPECT_EQ(c.ageEstimated, "N");
    EXPECT_EQ(c.notes, "abcde");
    EXPECT_EQ(c.reserved, "Réservé");
    EXPECT_EQ(c.botanicalName, "");
}

TEST_F(CardFolder, MissingOrShortCardIsAnIoError) {
    EXPECT_THROW(readCard(data, "00000000000000"), IoError);
    test::writeBytes(data.card("00000000000001"), std::string(1000, '\0'));
    EXPECT_THROW(readCard(data, "00000000000001"), IoError);
}

TEST_F(CardFolder, RewriteKeepsCreationDateReservedAndLength) {
    const std::string id = "26034140509042";
    Bytes rec = encodeCard(sampleCard());
    rec[1193] = 7;
    const std::string reserved = "R\xE9serv\xE9";
    std::copy(reserved.begin(), reserved.end(), rec.begin() + 1194);
    const std::string tail = "trailing!!";
    rec.insert(rec.end(), tail.begin(), tail.end());
    test::writeBytes(data.card(id), std::string(rec.begin(), rec.end()));

    TreeCard changed = sampleCard();
    changed.treeName = "Pin noir";
    changed.creationDate = "31/12/2099";  // ignored: set once at creation
    changed.reserved = "other";           // ignored: never changed by the program
    changed.notes = std::string(260, 'z');
    rewriteCard(data, id, changed);

    const Bytes after = test::readBytes(data.card(id));
    ASSERT_EQ(after.size(), 1244u);
    EXPECT_EQ(std::string(after.end() - 10, after.end()), tail);
    EXPECT_EQ(field(after, 1193), reserved);
    const TreeCard back = readCard(data, id);
    EXPECT_EQ(back.treeName, "Pin noir");
    EXPECT_EQ(back.creationDate, "03/02/2026");
    EXPECT_EQ(back.notes, std::string(260, 'z'));
    EXPECT_FALSE(std::filesystem::exists(data.dataTmp()));

    EXPECT_THROW(rewriteCard(data, "99999999999999", changed), IoError);
    EXPECT_FALSE(std::filesystem::exists(data.card("99999999999999")));
}

TEST_F(CardFolder, FailedRewriteLeavesTheOldCardWhole) {
    const std::string id = "26034140509042";
    createCard(data, id, sampleCard());
    const Bytes before = test::readBytes(data.card(id));
    TreeCard changed = sampleCard();
    changed.treeName = "Autre";
    test::failNthWrite(1);
    EXPECT_THROW(rewriteCard(data, id, changed), IoError);
    EXPECT_EQ(test::readBytes(data.card(id)), before);
    EXPECT_FALSE(std::filesystem::exists(data.dataTmp()));
}

TEST_F(CardFolder, FailedCreationLeavesNoHalfCard) {
    test::failNthWrite(1);
    EXPECT_THROW(createCard(data, "26034140509042", sampleCard()), IoError);
    EXPECT_FALSE(std::filesystem::exists(data.card("26034140509042")));
}

TEST_F(CardFolder, EmptyWorksAndGalleryFilesOfANewTree) {
    const std::string id = "26034140509042";
    createEmptyTreeFiles(data, id);
    EXPECT_EQ(std::filesystem::file_size(data.works(id)), 0u);
    EXPECT_EQ(std::filesystem::file_size(data.gallery(id)), 0u);
    EXPECT_THROW(createEmptyTreeFiles(data, id), RefusedError);
}
