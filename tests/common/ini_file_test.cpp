#include <sys/stat.h>

#include <gtest/gtest.h>

#include "common/errors.h"
#include "common/ini_file.h"
#include "support/system_faults.h"
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

TEST(IniFile, AWriteThatChangesNothingLeavesTheFileAlone) {
    TempDir dir;
    const auto p = dir / "Tavo.ini";
    ini::writeString(p, "Intro", "Auteur", "Vendrane");
    const auto inode = [&] {
        struct stat st {};
        ::stat(p.c_str(), &st);
        return st.st_ino;
    };
    const auto first = inode();
    ini::writeString(p, "intro", "AUTEUR", "Vendrane");
    EXPECT_EQ(inode(), first);  // not replaced
    ini::writeString(p, "Intro", "Auteur", "Autre");
    EXPECT_NE(inode(), first);
    EXPECT_EQ(test::readText(p), "[Intro]\r\nAuteur=Autre\r\n");
}

TEST(IniFile, AnUnreadableFileIsNeverReplacedByOneKey) {
    TempDir dir;
    const auto p = dir / "Tavo.ini";
    const std::string whole = "[Fichiers]\r\nFiche=12\r\n[Interface]\r\nLangage=English\r\n";
    test::writeBytes(p, whole);
    std::filesystem::permissions(dir.path(), std::filesystem::perms::all);
    std::filesystem::permissions(p, std::filesystem::perms::none);
    {
        test::ActAsNobody nobody;  // root reads anything
        EXPECT_THROW(ini::writeString(p, "Intro", "Auteur", "Vendrane"), IoError);
        EXPECT_EQ(ini::readString(p, "Interface", "Langage", "none"), "none");
    }
    std::filesystem::permissions(p, std::filesystem::perms::owner_read);
    EXPECT_EQ(test::readText(p), whole);
    EXPECT_FALSE(std::filesystem::exists(dir / "Tavo.ini.tmp"));
}
