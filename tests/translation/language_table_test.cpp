#include <gtest/gtest.h>
#include <sys/resource.h>

#include "common/errors.h"
#include "support/temp_dir.h"
#include "translation/language_table.h"

using namespace tavo;
using tavo::test::TempDir;

namespace {
LanguageTable loaded(const TempDir& dir, const std::string& content) {
    test::writeBytes(dir / "t.lng", content);
    LanguageTable t;
    EXPECT_TRUE(t.load(dir / "t.lng"));
    return t;
}
}  // namespace

TEST(LanguagePath, JoinsWithOneSeparator) {
    EXPECT_EQ(joinLanguagePath("/data", "English.lng"), "/data/English.lng");
    EXPECT_EQ(joinLanguagePath("/data/", "English.lng"), "/data/English.lng");
    EXPECT_EQ(joinLanguagePath("", "English.lng"), "English.lng");
}

TEST(LanguageTable, ReadsEntriesByPositionAndTrims) {
    TempDir dir;
    auto t = loaded(dir,
                    "Title line\r\n"
                    "  #0019 0000  Langues  \r\n"
                    "#0019-0001==Hint text\n"
                    "#0020 0000\r"
                    "\r\n"
                    "#  21    3  Tr\xE8s\n");
    EXPECT_EQ(t.find(19, 0), "Langues");
    EXPECT_EQ(t.find(19, 1), "Hint text");
    EXPECT_EQ(t.find(20, 0), "");  // found and empty
    EXPECT_EQ(t.find(21, 3), "Très");
    EXPECT_EQ(t.find(21, 1), "");            // gap: found, empty
    EXPECT_EQ(t.find(21, 4), std::nullopt);  // above largest key: missing
    EXPECT_EQ(t.find(5, 0), std::nullopt);   // a section with no key
    EXPECT_EQ(t.find(0, 0), "");             // every load starts with section 0, key 0
    EXPECT_EQ(t.find(22, 0), std::nullopt);
}

TEST(LanguageTable, LaterEntryWinsAndCtrlZEndsTheFile) {
    TempDir dir;
    auto t = loaded(dir, "#0001 0000  A\n#0001 0000  B\n\x1A#0002 0000  C\n");
    EXPECT_EQ(t.find(1, 0), "B");
    EXPECT_EQ(t.find(2, 0), std::nullopt);
}

TEST(LanguageTable, ByteOrderMarkMakesFirstLineANonEntry) {
    TempDir dir;
    auto t = loaded(dir, "\xEF\xBB\xBF#0001 0000  A\n#0002 0000  B\n");
    EXPECT_EQ(t.find(1, 0), std::nullopt);
    EXPECT_EQ(t.find(2, 0), "B");
}

TEST(LanguageTable, MalformedNumberKeepsEntriesBeforeIt) {
    TempDir dir;
    test::writeBytes(dir / "t.lng", "#0001 0000  A\n#00x2 0000  B\n#0003 0000  C\n");
    LanguageTable t;
    EXPECT_THROW(t.load(dir / "t.lng"), ConversionError);
    EXPECT_EQ(t.find(1, 0), "A");
    EXPECT_EQ(t.find(3, 0), std::nullopt);
    test::writeBytes(dir / "u.lng", "#0001 \n");
    EXPECT_THROW(t.load(dir / "u.lng"), ConversionError);
}

TEST(LanguageTable, FailedLoadKeepsPreviousTable) {
    TempDir dir;
    auto t = loaded(dir, "#9999 0012  Hello\n");
    EXPECT_FALSE(t.load(dir / "missing.lng"));
    EXPECT_EQ(t.find(9999, 12), "Hello");
    LanguageTable fresh;
    EXPECT_TRUE(fresh.empty());
    EXPECT_EQ(fresh.find(0, 0), std::nullopt);
}

TEST(LanguageTable, NegativeNumbersAreIgnored) {
    TempDir dir;
    auto t = loaded(dir, "#  -1 0000  A\n#0001 0000  B\n");
    EXPECT_EQ(t.find(1, 0), "B");
}

TEST(LanguageTable, HostileFileLoadsInBoundedMemory) {
    // Key 9999 in every section 0..9999 would need 10^8 slots in a dense table.
    std::string content;
    for (int s = 0; s < 10000; ++s) {
        char line[32];
        std::snprintf(line, sizeof line, "#%04d 9999  x\n", s);
        content += line;
    }
    TempDir dir;
    test::writeBytes(dir / "t.lng", content);
    struct rusage before {
    }, after{};
    getrusage(RUSAGE_SELF, &before);
    LanguageTable t;
    ASSERT_TRUE(t.load(dir / "t.lng"));
    getrusage(RUSAGE_SELF, &after);
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64 * 1024);  // kilobytes
    EXPECT_EQ(t.find(9999, 9999), "x");
    EXPECT_EQ(t.find(1234, 5), "");
}
