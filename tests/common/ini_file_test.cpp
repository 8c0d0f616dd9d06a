#include <gtest/gtest.h>

#include "common/ini_file.h"
#include "support/temp_dir.h"

using namespace tavo;
using tavo::test::TempDir;

TEST(IniFile, WritesCreateFileSectionsAndKeysInOrder) {
    TempDir dir;
    const auto p = dir / "a.ini";
    ini::writeString(p, "One", "A", "1");
    ini::writeString(p, "Two", "B", "2");
    ini::writeString(p, "One", "C", "3");  // new key goes to the end of its section
    ini::writeString(p, "one", "a", "x");  // existing key rewritten in place, any case
    EXPECT_EQ(test::readText(p), "[One]\r\nA=x\r\nC=3\r\n[Two]\r\nB=2\r\n");
}

TEST(IniFile, ReadsWithDefaultsTrimsAndIgnoresCase) {
    TempDir dir;
    const auto p = dir / "a.ini";
    test::writeBytes(p,
                     "; comment\n[Interface]\n  Langage =  English  \n[Fichiers]\nFiche=12abc\n");
    EXPECT_EQ(ini::readString(p, "interface", "LANGAGE", "d"), "English");
    EXPECT_EQ(ini::readString(p, "Interface", "Other", "d"), "d");
    EXPECT_EQ(ini::readString(dir / "none.ini", "Interface", "Langage", "d"), "d");
    EXPECT_EQ(ini::readInt(p, "Fichiers", "Fiche", 0), 12);
    EXPECT_EQ(ini::readInt(p, "Fichiers", "Photo", 7), 7);
}

TEST(IniFile, StoresWindows1252) {
    TempDir dir;
    const auto p = dir / "a.ini";
    ini::writeString(p, "Interface", "Langage", "Français");
    EXPECT_EQ(test::readText(p),
              "[Interface]\r\nLangage=Fran\xE7"
              "ais\r\n");
    EXPECT_EQ(ini::readString(p, "Interface", "Langage", ""), "Français");
}
