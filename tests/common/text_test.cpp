#include <gtest/gtest.h>

#include "common/cp1252.h"
#include "common/fixed_string.h"
#include "common/paths.h"

using namespace tavo;

TEST(Cp1252, RoundTripsEveryByte) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(cp1252::fromUtf8(cp1252::toUtf8(all)), all);
    EXPECT_EQ(cp1252::toUtf8("\x80\xE9\x9C"), "€éœ");
}

TEST(Cp1252, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(cp1252::fromUtf8("Ä Ω 松 😀"), "\xC4 ? ? ?");
    EXPECT_EQ(cp1252::fromUtf8("a\xFF\xC3"), "a??");  // malformed UTF-8
}

TEST(Cp1252, LeftNeverCutsInsideACharacter) {
    EXPECT_EQ(cp1252::left("Érable", 1), "É");
    EXPECT_EQ(cp1252::length("Érable"), 6u);
    EXPECT_EQ(cp1252::mid("ééé", 2), "é");
}

TEST(FixedString, WritesLengthTextAndZeros) {
    Bytes rec(20, 0xAA);
    writeFixed(rec, 2, 10, "Piné");
    const Bytes want{0xAA, 0xAA, 4, 'P', 'i', 'n', 0xE9, 0, 0, 0, 0, 0, 0, 0xAA};
    EXPECT_EQ(Bytes(rec.begin(), rec.begin() + 14), want);
    EXPECT_EQ(readFixed(rec, 2, 10), "Piné");
}

TEST(FixedString, CutsToCapacityInCharactersAndClampsDamagedLength) {
    Bytes rec(11, 0);
    writeFixed(rec, 0, 10, "ééééééééééééé");  // 13 characters, 26 UTF-8 bytes
    EXPECT_EQ(rec[0], 10);
    EXPECT_EQ(readFixed(rec, 0, 10), "éééééééééé");
    rec[0] = 200;  // damaged length byte
    EXPECT_EQ(readFixed(rec, 0, 10), "éééééééééé");
    EXPECT_EQ(fitFixed("abcdef", 3), "abc");
}

TEST(Paths, BareFileNames) {
    EXPECT_TRUE(isBareFileName("26034140509042001.JPG"));
    EXPECT_TRUE(isBareFileName("a..b.jpg"));
    for (const char* bad : {"", ".", "..", "../Tavo.ini", "a/b", "a\\b", "/etc/passwd", "c:x.JPG"})
        EXPECT_FALSE(isBareFileName(bad)) << bad;
    EXPECT_FALSE(isBareFileName(std::string("a\0b", 3)));
}
