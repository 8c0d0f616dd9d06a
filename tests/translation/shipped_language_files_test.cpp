// The language files of the data-folder template, read by the program's own loader.
#include <gtest/gtest.h>

#include <filesystem>

#include "translation/language_table.h"

using tavo::LanguageTable;

namespace {
const std::filesystem::path kTemplate = std::filesystem::path(TAVO_SOURCE_DIR) / "data";
const int kWindowTitles[] = {1,   100,  200,  300,  400,  500,  600,  700,  800,
                             900, 1000, 1100, 1200, 1300, 1400, 1500, 1600, 1700};
// Each shipped language with the locale of its Qt translations and one accented text.
struct Shipped {
    const char* file;
    const char* locale;
    int section, key;
    const char* accented;
};
const Shipped kShipped[] = {
    {"Français.lng", "fr_FR", 9, 0, "Propriétés"},
    {"English.lng", "en_GB", 9, 0, "Properties"},
    {"Deutsch.lng", "de_DE", 8, 0, "Schließen"},
    {"Español.lng", "es_ES", 24, 0, "Árbol"},
    {"Italiano.lng", "it_IT", 9, 0, "Proprietà"},
    {"Nederlands.lng", "nl_NL", 9999, 29, "Er is geen printer geïnstalleerd."},
    {"Português.lng", "pt_BR", 14, 0, "Opções"},
};
}  // namespace

TEST(ShippedLanguageFiles, HoldEveryMessageAndWindowTitle) {
    for (const Shipped& shipped : kShipped) {
        SCOPED_TRACE(shipped.file);
        LanguageTable t;
        ASSERT_TRUE(t.load(kTemplate / shipped.file));
        for (int n = 1; n <= 55; ++n) {
            auto text = t.find(9999, n);
            ASSERT_TRUE(text.has_value()) << "message " << n;
            EXPECT_FALSE(text->empty()) << "message " << n;
        }
        for (int section : kWindowTitles) {
            auto text = t.find(section, 0);
            ASSERT_TRUE(text.has_value()) << "window " << section;
            EXPECT_FALSE(text->empty()) << "window " << section;
        }
        // Edit boxes are refilled from key 0 by every pass: found, and empty.
        EXPECT_EQ(t.find(103, 0), "");
        EXPECT_EQ(t.find(206, 0), "");
        EXPECT_FALSE(t.find(206, 1).value_or("").empty());
        EXPECT_EQ(t.find(990, 0), shipped.locale);
        EXPECT_EQ(t.find(shipped.section, shipped.key), shipped.accented);
    }
}

TEST(ShippedLanguageFiles, AccentedTextsComeOutIntact) {
    LanguageTable fr;
    ASSERT_TRUE(fr.load(kTemplate / "Français.lng"));
    EXPECT_EQ(fr.find(9, 0), "Propriétés");
    EXPECT_EQ(fr.find(1100, 0), "Etats à l'acquision");
    EXPECT_EQ(fr.find(26, 1), "Ouvre la galerie \"Evolution\" de l'arbre.");
    LanguageTable en;
    ASSERT_TRUE(en.load(kTemplate / "English.lng"));
    EXPECT_EQ(en.find(9, 0), "Properties");
}
