#include <gtest/gtest.h>

#include "common/errors.h"
#include "common/file_io.h"
#include "lists/list_files.h"
#include "support/faults.h"
#include "support/temp_dir.h"

using namespace tavo;
using tavo::test::TempDir;

namespace {

std::string textAt(const Bytes& b, std::size_t offset) {
    return std::string(b.begin() + static_cast<std::ptrdiff_t>(offset + 1),
                       b.begin() + static_cast<std::ptrdiff_t>(offset + 1 + b[offset]));
}

class ListFilesTest : public ::testing::Test {
  protected:
    TempDir dir;
    DataPaths paths{dir.path()};
    LabelListFile types = LabelListFile::interventionTypes(paths);
    LabelListFile states = LabelListFile::acquisitionStates(paths);
    BotanicalNameListFile names{paths};
};

}  // namespace

TEST_F(ListFilesTest, LabelsAreAppendedInCreationOrder) {
    EXPECT_TRUE(types.createIfMissing());
    EXPECT_EQ(std::filesystem::file_size(types.path()), 0u);
    EXPECT_EQ(types.count(), 0u);
    types.append("Rempotage");
    types.append("");
    types.append("Rempotage");
    EXPECT_EQ(std::filesystem::file_size(types.path()), 153u);
    EXPECT_EQ(types.readAll(), (std::vector<std::string>{"Rempotage", "", "Rempotage"}));
    EXPECT_FALSE(types.createIfMissing());  // an existing list is left as it is
    EXPECT_EQ(types.count(), 3u);
    EXPECT_FALSE(std::filesystem::exists(states.path()));
}

TEST_F(ListFilesTest, LabelEntryBytes) {
    const Bytes r = encodeLabelEntry("Ligaturé");
    ASSERT_EQ(r.size(), 51u);
    EXPECT_EQ(r[0], 8);
    EXPECT_EQ(r[8], 0xE9);
    for (std::size_t i = 9; i < 51; ++i) ASSERT_EQ(r[i], 0);
    EXPECT_EQ(encodeLabelEntry(std::string(70, 'a'))[0], 50);

    // Hand-made: the bytes behind the label are ignored.
    Bytes hand(51, '#');
    hand[0] = 4;
    hand[1] = 'N';
    hand[2] = 0xE9;
    hand[3] = 'g';
    hand[4] = 'o';
    EXPECT_EQ(decodeLabelEntry(hand), "Négo");
}

TEST_F(ListFilesTest, BotanicalNameEntryBytes) {
    names.createIfMissing();
    names.append({"Acer palmatum", "Erable du Japon", "Japanese maple"});
    names.append({"Pinus", "", "Pine"});
    const Bytes b = test::readBytes(names.path());
    ASSERT_EQ(b.size(), 1408u);
    EXPECT_EQ(textAt(b, 0), "Acer palmatum");
    EXPECT_EQ(textAt(b, 151), "Erable du Japon");
    EXPECT_EQ(textAt(b, 302), "Japanese maple");
    for (std::size_t i = 453; i < 704; ++i) ASSERT_EQ(b[i], 0) << i;
    EXPECT_EQ(textAt(b, 704), "Pinus");
    EXPECT_EQ(b[704 + 151], 0);
    EXPECT_EQ(textAt(b, 704 + 302), "Pine");
}

TEST_F(ListFilesTest, LongLatinNamesAreKeptUpToTheCapacity) {
    names.createIfMissing();
    const std::string hundred(100, 'L'), longer(160, 'M');
    names.append({hundred, "c", "e"});
    names.append({longer, longer, longer});
    const auto all = names.readAll();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0], (BotanicalName{hundred, "c", "e"}));
    EXPECT_EQ(all[1].latin, std::string(150, 'M'));
    EXPECT_EQ(all[1].english, std::string(150, 'M'));
}

TEST_F(ListFilesTest, ReadsHandMadeBotanicalNames) {
    // Reserved bytes written by another program are never read.
    Bytes hand(704, 0x5A);
    hand[0] = 3;
    hand[1] = 'F';
    hand[2] = 'o';
    hand[3] = 'o';
    hand[151] = 0;
    hand[302] = 2;
    hand[303] = 'B';
    hand[304] = 0xE4;  // ä
    test::writeBytes(names.path(), std::string(hand.begin(), hand.end()) + "tail");
    EXPECT_EQ(names.count(), 1u);
    EXPECT_EQ(names.readAll(), (std::vector<BotanicalName>{{"Foo", "", "Bä"}}));
}

TEST_F(ListFilesTest, RemoveKeepsTheOthersInOrder) {
    states.createIfMissing();
    for (const char* s : {"A", "B", "C"}) states.append(s);
    states.remove(1);
    EXPECT_EQ(states.readAll(), (std::vector<std::string>{"A", "C"}));
    states.remove(5);
    EXPECT_EQ(states.count(), 2u);
    states.remove(0);
    states.remove(0);
    EXPECT_EQ(std::filesystem::file_size(states.path()), 0u);

    names.createIfMissing();
    for (const char* s : {"x", "y", "z"}) names.append({s, s, s});
    names.remove(1);
    EXPECT_EQ(std::filesystem::file_size(names.path()), 1408u);
    EXPECT_EQ(names.readAll()[1].latin, "z");
    EXPECT_EQ(test::listFolder(dir.path()),
              (std::vector<std::string>{"Etats.LIB", "NomsA.LIB"}));  // no DATA.TMP left
}

TEST_F(ListFilesTest, OverwriteInPlace) {
    types.createIfMissing();
    for (const char* s : {"a", "b", "c", "d", "e"}) types.append(s);
    types.overwrite(2, "Pincement");
    EXPECT_EQ(std::filesystem::file_size(types.path()), 255u);
    EXPECT_EQ(types.readAll(), (std::vector<std::string>{"a", "b", "Pincement", "d", "e"}));

    names.createIfMissing();
    names.append({"x", "y", "z"});
    names.append({"p", "q", "r"});
    names.overwrite(0, {"X", "", "Z"});
    EXPECT_EQ(std::filesystem::file_size(names.path()), 1408u);
    EXPECT_EQ(names.readAll(), (std::vector<BotanicalName>{{"X", "", "Z"}, {"p", "q", "r"}}));

    // An entry to replace must exist: writing past the end would leave a gap.
    EXPECT_THROW(types.overwrite(5, "f"), IoError);
    EXPECT_THROW(names.overwrite(7, {}), IoError);
    EXPECT_EQ(types.count(), 5u);
    EXPECT_EQ(names.count(), 2u);
}

TEST_F(ListFilesTest, MissingListIsAnErrorOutsideCreateIfMissing) {
    EXPECT_THROW(types.readAll(), IoError);
    EXPECT_THROW(names.readAll(), IoError);
    EXPECT_THROW(types.count(), IoError);
    EXPECT_THROW(types.append("x"), IoError);
    EXPECT_THROW(names.append({}), IoError);
    EXPECT_TRUE(test::listFolder(dir.path()).empty());
}

TEST_F(ListFilesTest, AFailedWriteLeavesEveryListAsItWas) {
    types.createIfMissing();
    types.append("Rempotage");
    names.createIfMissing();
    names.append({"Acer palmatum", "Erable", "Japanese maple"});
    const Bytes typesBefore = test::readBytes(types.path());
    const Bytes namesBefore = test::readBytes(names.path());
    // 0: nothing written; 20: the disk filled up in the middle of the entry.
    for (const std::size_t written : {std::size_t{0}, std::size_t{20}}) {
        test::failNthWrite(1, written);
        EXPECT_THROW(types.append("Taille"), IoError);
        test::failNthWrite(1, written);
        EXPECT_THROW(names.append({"Pinus", "Pin", "Pine"}), IoError);
        test::failNthWrite(1, written);
        EXPECT_THROW(names.remove(0), IoError);
        test::failNthWrite(0);
        EXPECT_EQ(test::readBytes(types.path()), typesBefore) << written;
        EXPECT_EQ(test::readBytes(names.path()), namesBefore) << written;
        EXPECT_FALSE(std::filesystem::exists(paths.dataTmp()));
    }
    for (const std::size_t written : {std::size_t{0}, std::size_t{20}}) {
        test::failNthWrite(1, written);
        EXPECT_THROW(types.overwrite(0, "Taille"), IoError);
        test::failNthWrite(1, written);
        EXPECT_THROW(names.overwrite(0, {"Pinus", "Pin", "Pine"}), IoError);
        test::failNthWrite(0);
        EXPECT_EQ(test::readBytes(types.path()), typesBefore) << written;
        EXPECT_EQ(test::readBytes(names.path()), namesBefore) << written;
    }
}
