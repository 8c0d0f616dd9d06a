#include <gtest/gtest.h>

#include "common/errors.h"
#include "common/file_io.h"
#include "common/record_file.h"
#include "support/faults.h"
#include "support/temp_dir.h"

using namespace tavo;
using tavo::test::TempDir;

namespace {
Bytes rec(std::size_t size, std::uint8_t fill) {
    return Bytes(size, fill);
}

void makeFile(const std::filesystem::path& p, std::size_t size, std::initializer_list<int> fills) {
    RecordFile f(p, size, RecordFile::Mode::Create);
    for (int v : fills) f.append(rec(size, static_cast<std::uint8_t>(v)));
    f.close();
}
}  // namespace

TEST(RecordFile, CreateAppendReadWriteTruncate) {
    TempDir dir;
    const auto p = dir / "x.dat";
    RecordFile f(p, 5, RecordFile::Mode::Create);
    EXPECT_EQ(f.count(), 0u);
    f.append(rec(5, 1));
    f.append(rec(5, 2));
    f.write(0, rec(5, 9));
    EXPECT_EQ(f.count(), 2u);
    EXPECT_EQ(f.read(0), rec(5, 9));
    EXPECT_EQ(f.read(1), rec(5, 2));
    f.truncate(1);
    EXPECT_EQ(f.count(), 1u);
    f.close();
    EXPECT_EQ(std::filesystem::file_size(p), 5u);
    EXPECT_THROW(RecordFile(p, 5, RecordFile::Mode::Read).read(1), IoError);
}

TEST(RecordFile, DamagedTailIsNotARecord) {
    TempDir dir;
    const auto p = dir / "x.dat";
    test::writeBytes(p, std::string(12, 'a'));
    RecordFile f(p, 5, RecordFile::Mode::Read);
    EXPECT_EQ(f.count(), 2u);
    EXPECT_EQ(f.readAll().size(), 2u);
}

TEST(RecordFile, FailuresNameOperationAndPath) {
    TempDir dir;
    const auto p = dir / "missing.dat";
    try {
        RecordFile f(p, 5, RecordFile::Mode::Read);
        FAIL();
    } catch (const IoError& e) {
        EXPECT_EQ(e.operation(), "open");
        EXPECT_EQ(e.path(), p);
        EXPECT_NE(std::string(e.what()).find("missing.dat"), std::string::npos);
    }
    EXPECT_THROW(RecordFile(p, 5, RecordFile::Mode::ReadWrite), IoError);
}

TEST(RemovalThroughTmp, RemovesOneRecordKeepingOrder) {
    TempDir dir;
    const auto p = dir / "w.TRX", tmp = dir / "DATA.TMP";
    makeFile(p, 318, {1, 2, 3});
    removeRecordThroughTmp(p, tmp, 318, 1);
    EXPECT_EQ(std::filesystem::file_size(p), 636u);
    RecordFile f(p, 318, RecordFile::Mode::Read);
    EXPECT_EQ(f.read(0), rec(318, 1));
    EXPECT_EQ(f.read(1), rec(318, 3));
    EXPECT_FALSE(std::filesystem::exists(tmp));
}

TEST(RemovalThroughTmp, OnlyRecordAndBeyondTheEnd) {
    TempDir dir;
    const auto p = dir / "l.LIB", tmp = dir / "DATA.TMP";
    makeFile(p, 51, {7});
    removeRecordThroughTmp(p, tmp, 51, 5);
    EXPECT_EQ(test::readBytes(p), rec(51, 7));
    removeRecordThroughTmp(p, tmp, 51, 0);
    EXPECT_EQ(std::filesystem::file_size(p), 0u);
    EXPECT_FALSE(std::filesystem::exists(tmp));
}

TEST(SafeRewrite, WriteFailureLeavesOriginalWholeAndNoTemporaryFile) {
    TempDir dir;
    const auto p = dir / "w.TRX", tmp = dir / "DATA.TMP";
    makeFile(p, 318, {1, 2, 3});
    const auto before = test::readBytes(p);
    test::failNthWrite(1);
    EXPECT_THROW(removeRecordThroughTmp(p, tmp, 318, 0), IoError);
    test::failNthWrite(0);
    EXPECT_EQ(test::readBytes(p), before);
    EXPECT_FALSE(std::filesystem::exists(tmp));
}

TEST(RecordFile, AnAppendCutShortByAFullDiskLeavesTheFileAsItWas) {
    TempDir dir;
    const auto p = dir / "w.TRX";
    makeFile(p, 318, {1, 2});
    // A damaged tail shorter than a record is kept too.
    std::string tail = test::readText(p) + "torn";
    test::writeBytes(p, tail);
    for (const std::size_t written : {std::size_t{0}, std::size_t{3}, std::size_t{200}}) {
        RecordFile f(p, 318, RecordFile::Mode::ReadWrite);
        test::failNthWrite(1, written);
        EXPECT_THROW(f.append(rec(318, 9)), IoError);
        test::failNthWrite(0);
        f.close();
        EXPECT_EQ(test::readText(p), tail) << written;
    }
    RecordFile f(p, 318, RecordFile::Mode::ReadWrite);
    f.append(rec(318, 9));
    f.close();
    EXPECT_EQ(std::filesystem::file_size(p), 3u * 318);
    EXPECT_EQ(RecordFile(p, 318, RecordFile::Mode::Read).read(2), rec(318, 9));
}

TEST(RecordFile, AnOverwriteCutShortPutsTheRecordBack) {
    TempDir dir;
    const auto p = dir / "w.TRX";
    makeFile(p, 318, {1, 2, 3});
    const auto before = test::readBytes(p);
    RecordFile f(p, 318, RecordFile::Mode::ReadWrite);
    test::failNthWrite(1, 100);  // the disk fails a third of the way into the record
    EXPECT_THROW(f.overwrite(1, rec(318, 9)), IoError);
    test::failNthWrite(0);
    EXPECT_EQ(test::readBytes(p), before);
    EXPECT_THROW(f.overwrite(3, rec(318, 9)), IoError);  // no record 4 to replace
    f.overwrite(1, rec(318, 9));
    f.close();
    EXPECT_EQ(RecordFile(p, 318, RecordFile::Mode::Read).read(1), rec(318, 9));
    EXPECT_EQ(std::filesystem::file_size(p), 3u * 318);
}
