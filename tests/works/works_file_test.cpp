#include <gtest/gtest.h>

#include "common/errors.h"
#include "common/file_io.h"
#include "support/faults.h"
#include "support/temp_dir.h"
#include "works/works_file.h"

using namespace tavo;
using tavo::test::TempDir;

namespace {

const std::string kId = "20240315093012";

class WorksFileTest : public ::testing::Test {
  protected:
    WorksFileTest() : paths{dir.path()}, works(paths, kId) {
        dir.makeDataFolders();
        works.createEmpty();
    }
    ~WorksFileTest() override { test::failNthWrite(0); }

    // Lines added one by one; the comment tells lines with equal dates apart.
    void addAll(std::initializer_list<std::pair<const char*, const char*>> lines) {
        for (const auto& [date, comment] : lines) works.add({date, "Taille", comment});
    }

    std::vector<std::string> order() const {
        std::vector<std::string> out;
        for (const WorksLine& l : works.readAll()) out.push_back(l.date + " " + l.comment);
        return out;
    }

    // Neither DATA.TMP nor FICHES/<id>.TMP may outlive a procedure, even a failed one.
    void expectNoTemporaryFile() const {
        EXPECT_EQ(test::listFolder(dir.path()),
                  (std::vector<std::string>{"FICHES", "GALERIES", "IMGREF"}));
        EXPECT_EQ(test::listFolder(paths.fiches()), std::vector<std::string>{kId + ".TRX"});
    }

    TempDir dir;
    DataPaths paths;
    WorksFile works;
};

}  // namespace

TEST_F(WorksFileTest, AddKeepsDateOrderAndAddsAfterEqualDates) {
    addAll({{"01/03/2020", "a"}, {"15/03/2020", "b"}, {"01/04/2020", "c"}});
    works.add({"20/03/2020", "", "between"});
    works.add({"01/04/2020", "", "same day"});
    works.add({"01/01/2019", "", "first"});
    EXPECT_EQ(order(), (std::vector<std::string>{"01/01/2019 first", "01/03/2020 a", "15/03/2020 b",
                                                 "20/03/2020 between", "01/04/2020 c",
                                                 "01/04/2020 same day"}));
    EXPECT_EQ(works.count(), 6u);
    EXPECT_EQ(std::filesystem::file_size(works.path()), 6u * 318);
    expectNoTemporaryFile();
}

TEST_F(WorksFileTest, FirstLineOfAnEmptyLogAndASecondOnTheSameDay) {
    works.add({"10/05/2021", "Engrais", "one"});
    EXPECT_EQ(std::filesystem::file_size(works.path()), 318u);
    EXPECT_EQ(test::readBytes(works.path()), encodeWorksLine({"10/05/2021", "Engrais", "one"}));
    works.add({"10/05/2021", "Engrais", "two"});
    EXPECT_EQ(order(), (std::vector<std::string>{"10/05/2021 one", "10/05/2021 two"}));
}

TEST_F(WorksFileTest, EarlierLineGoesAfterEveryLineWithAnEqualOrSmallerKey) {
    // Not the last date, so the log is rewritten: the new line must still follow its equals.
    addAll({{"01/01/2020", "a"}, {"01/02/2020", "b"}, {"01/02/2020", "c"}, {"01/03/2020", "d"}});
    works.add({"01/02/2020", "", "new"});
    EXPECT_EQ(order(), (std::vector<std::string>{"01/01/2020 a", "01/02/2020 b", "01/02/2020 c",
                                                 "01/02/2020 new", "01/03/2020 d"}));
    expectNoTemporaryFile();
}

TEST_F(WorksFileTest, AppendingTouchesOnlyTheEnd) {
    addAll({{"01/01/2020", "a"}, {"01/02/2020", "b"}});
    // Bytes behind the texts that a rewrite would not keep: an append must leave them.
    Bytes raw = test::readBytes(works.path());
    raw[100] = 'z';
    raw[318 + 300] = 'y';
    test::writeBytes(works.path(), std::string(raw.begin(), raw.end()));
    works.add({"01/03/2020", "", "c"});
    const Bytes after = test::readBytes(works.path());
    ASSERT_EQ(after.size(), 3u * 318);
    EXPECT_TRUE(std::equal(raw.begin(), raw.end(), after.begin()));
}

TEST_F(WorksFileTest, AddOverwritesADamagedTail) {
    addAll({{"01/01/2020", "a"}});
    Bytes raw = test::readBytes(works.path());
    raw.resize(318 + 40, 'q');
    test::writeBytes(works.path(), std::string(raw.begin(), raw.end()));
    EXPECT_EQ(works.count(), 1u);
    works.add({"01/02/2020", "", "b"});
    EXPECT_EQ(std::filesystem::file_size(works.path()), 2u * 318);
    EXPECT_EQ(order(), (std::vector<std::string>{"01/01/2020 a", "01/02/2020 b"}));
}

TEST_F(WorksFileTest, ChangedDateMovesTheLineChangedCommentDoesNot) {
    addAll({{"01/01/2020", "a"}, {"01/02/2020", "b"}, {"01/03/2020", "c"}});
    works.change(0, {"01/01/2020", "Taille", "a2"}, "01/01/2020");
    EXPECT_EQ(order(), (std::vector<std::string>{"01/01/2020 a2", "01/02/2020 b", "01/03/2020 c"}));
    works.change(0, {"01/01/2021", "Taille", "a2"}, "01/01/2020");
    EXPECT_EQ(order(), (std::vector<std::string>{"01/02/2020 b", "01/03/2020 c", "01/01/2021 a2"}));
    expectNoTemporaryFile();
}

TEST_F(WorksFileTest, SameDateTextLeavesAnOutOfOrderLogAlone) {
    // Only a changed date text sorts, even if the log was out of order before.
    Bytes raw = encodeWorksLine({"01/05/2020", "", "late"});
    const Bytes early = encodeWorksLine({"01/01/2020", "", "early"});
    raw.insert(raw.end(), early.begin(), early.end());
    test::writeBytes(works.path(), std::string(raw.begin(), raw.end()));
    works.change(1, {"01/01/2020", "", "early, changed"}, "01/01/2020");
    EXPECT_EQ(order(), (std::vector<std::string>{"01/05/2020 late", "01/01/2020 early, changed"}));
    // The date is compared as stored, cut to 10 characters: still no change, no sort.
    works.change(0, {"01/05/2020 ", "", "late"}, "01/05/2020");
    EXPECT_EQ(works.readLine(0).comment, "late");
    // The comparison is of texts: another spelling of the same day sorts the log.
    works.change(0, {"01/05/2020", "", "late"}, "1/5/2020");
    EXPECT_EQ(order(), (std::vector<std::string>{"01/01/2020 early, changed", "01/05/2020 late"}));
}

TEST_F(WorksFileTest, ResortKeepsRecordOrderAmongEqualDates) {
    addAll({{"01/01/2020", "a"}, {"01/02/2020", "b"}, {"01/03/2020", "c"}});
    works.change(2, {"01/01/2020", "", "c"}, "01/03/2020");  // c follows a, the earlier record
    EXPECT_EQ(order(), (std::vector<std::string>{"01/01/2020 a", "01/01/2020 c", "01/02/2020 b"}));
    works.change(0, {"01/02/2020", "", "a"}, "01/01/2020");  // a was before b: stays before b
    EXPECT_EQ(order(), (std::vector<std::string>{"01/01/2020 c", "01/02/2020 a", "01/02/2020 b"}));

    // Many equal keys interleaved in a hand-made log.
    Bytes raw;
    for (int i = 0; i < 40; ++i) {
        const std::string date = i % 2 ? "05/06/2021" : "05/06/2020";
        const Bytes r = encodeWorksLine({date, "", std::to_string(i)});
        raw.insert(raw.end(), r.begin(), r.end());
    }
    test::writeBytes(works.path(), std::string(raw.begin(), raw.end()));
    works.resortByDate();
    const auto lines = works.readAll();
    ASSERT_EQ(lines.size(), 40u);
    for (int i = 0; i < 40; ++i) {
        const int expected = i < 20 ? 2 * i : 2 * (i - 20) + 1;
        EXPECT_EQ(lines[i].comment, std::to_string(expected)) << i;
    }
    expectNoTemporaryFile();
}

TEST_F(WorksFileTest, KeyComesFromFixedCharacterPositions) {
    // "5/3/2020" yields "20" + "/2" + "5/", which sorts before every four-digit year.
    addAll({{"01/01/2019", "a"}, {"01/01/2021", "b"}});
    works.change(1, {"5/3/2020", "", "b"}, "01/01/2021");
    EXPECT_EQ(order(), (std::vector<std::string>{"5/3/2020 b", "01/01/2019 a"}));
}

TEST_F(WorksFileTest, RemoveKeepsTheOtherLinesInOrder) {
    addAll({{"01/01/2020", "a"}, {"01/02/2020", "b"}, {"01/03/2020", "c"}});
    works.remove(1);
    EXPECT_EQ(std::filesystem::file_size(works.path()), 636u);
    EXPECT_EQ(order(), (std::vector<std::string>{"01/01/2020 a", "01/03/2020 c"}));
    works.remove(7);
    EXPECT_EQ(works.count(), 2u);
    works.remove(0);
    works.remove(0);
    EXPECT_EQ(std::filesystem::file_size(works.path()), 0u);
    expectNoTemporaryFile();
}

TEST_F(WorksFileTest, FailedRewriteLeavesTheLogByteForByte) {
    addAll({{"01/01/2020", "a"}, {"01/02/2020", "b"}, {"01/03/2020", "c"}});
    const Bytes before = test::readBytes(works.path());

    test::failNthWrite(1);  // the ordered insertion's rewrite
    EXPECT_THROW(works.add({"01/01/2019", "", "early"}), IoError);
    EXPECT_EQ(test::readBytes(works.path()), before);
    expectNoTemporaryFile();

    test::failNthWrite(1);  // the re-sort after a changed date
    EXPECT_THROW(works.change(0, {"01/01/2022", "", "a"}, "01/01/2020"), IoError);
    EXPECT_EQ(test::readBytes(works.path()), before);
    expectNoTemporaryFile();

    test::failNthWrite(1);
    EXPECT_THROW(works.remove(0), IoError);
    EXPECT_EQ(test::readBytes(works.path()), before);
    expectNoTemporaryFile();

    test::failNthWrite(1);
    EXPECT_THROW(works.add({"01/01/2023", "", "late"}), IoError);
    EXPECT_EQ(test::readBytes(works.path()), before);

    // A disk that fills up in the middle of the appended line, or fails in the middle of a
    // line changed in place.
    test::failNthWrite(1, 100);
    EXPECT_THROW(works.add({"01/01/2023", "", "late"}), IoError);
    EXPECT_EQ(test::readBytes(works.path()), before);
    test::failNthWrite(1, 100);
    EXPECT_THROW(works.change(1, {"01/02/2020", "Taille", "changed"}, "01/02/2020"), IoError);
    EXPECT_EQ(test::readBytes(works.path()), before);
}

TEST_F(WorksFileTest, LeftoverTemporaryFilesAreReplacedAndRemoved) {
    test::writeBytes(paths.dataTmp(), std::string(1000, 'x'));
    test::writeBytes(paths.worksTmp(kId), std::string(1000, 'x'));
    addAll({{"01/02/2020", "b"}, {"01/01/2020", "a"}});
    works.change(0, {"01/03/2020", "", "a"}, "01/01/2020");
    EXPECT_EQ(order(), (std::vector<std::string>{"01/02/2020 b", "01/03/2020 a"}));
    expectNoTemporaryFile();
}

TEST_F(WorksFileTest, LinesMustExist) {
    addAll({{"01/01/2020", "a"}});
    EXPECT_EQ(works.readLine(0).comment, "a");
    EXPECT_THROW(works.readLine(1), IoError);
    const Bytes before = test::readBytes(works.path());
    EXPECT_THROW(works.change(1, {"01/01/2020", "", "x"}, "01/01/2020"), IoError);
    EXPECT_THROW(works.change(1, {"01/01/2021", "", "x"}, "01/01/2020"), IoError);
    EXPECT_EQ(test::readBytes(works.path()), before);
}

TEST_F(WorksFileTest, MissingLogIsAnErrorAndIsNotCreated) {
    works.deleteFile();
    EXPECT_FALSE(std::filesystem::exists(works.path()));
    EXPECT_THROW(works.count(), IoError);
    EXPECT_THROW(works.readAll(), IoError);
    EXPECT_THROW(works.add({"01/01/2020", "", ""}), IoError);
    EXPECT_THROW(works.change(0, {"01/01/2020", "", ""}, "02/01/2020"), IoError);
    EXPECT_THROW(works.deleteFile(), IoError);
    EXPECT_FALSE(std::filesystem::exists(works.path()));
    works.createEmpty();
    EXPECT_EQ(works.count(), 0u);
}

TEST(WorksFile, RefusesAnIdentifierThatIsNotAFileName) {
    const DataPaths paths{"/nowhere"};
    EXPECT_THROW(WorksFile(paths, "../Tavo"), RefusedError);
    EXPECT_THROW(WorksFile(paths, ""), RefusedError);
}
