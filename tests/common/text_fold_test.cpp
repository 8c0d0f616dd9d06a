#include <gtest/gtest.h>

#include "common/cp1252.h"
#include "common/text_fold.h"

using namespace tavo;

TEST(TextFold, EveryWindows1252LetterFoldsToPlainLowercase) {
    // µ is left out: it carries no accent and has no capital in the code page.
    const auto isLetter = [](int b) {
        return (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || b == 0x83 || b == 0x8A ||
               b == 0x8C || b == 0x8E || b == 0x9A || b == 0x9C || b == 0x9E || b == 0x9F ||
               b == 0xAA || b == 0xBA || (b >= 0xC0 && b != 0xD7 && b != 0xF7);
    };
    for (int b = 0; b < 256; ++b) {
        if (!isLetter(b)) continue;
        const std::string folded = foldForCompare(cp1252::toUtf8(std::string(1, char(b))));
        ASSERT_FALSE(folded.empty()) << b;
        for (char c : folded) EXPECT_TRUE(c >= 'a' && c <= 'z') << "byte " << b << " -> " << folded;
    }
}

TEST(TextFold, FoldsCaseAndAccentsAndKeepsTheRest) {
    const struct {
        const char* text;
        const char* folded;
    } cases[] = {
        {"Érable de Fontainebleau", "erable de fontainebleau"},
        {"ÉRABLE érable Erable", "erable erable erable"},
        {"ŒUVRE œuvre Æ", "oeuvre oeuvre ae"},
        {"Straße Þ Ÿ Š ž ƒ Ñ ç Ø å", "strasse th y s z f n c o a"},
        {"l’été", "l'ete"},
        {"× ÷ € 松 12/04", "× ÷ € 松 12/04"},
        {"a\xFF\xC3", "a\xFF\xC3"},  // malformed bytes pass through
    };
    for (const auto& c : cases) EXPECT_EQ(foldForCompare(c.text), c.folded) << c.text;
}

TEST(TextFold, LabelsAreFoldedAndTrimmed) {
    const struct {
        const char* in;
        const char* want;
    } cases[] = {
        {"Rempotage", "rempotage"},
        {"  REMPÔTAGE\t", "rempotage"},
        {"\xC2\xA0taille d'été ", "taille d'ete"},  // no-break space
        {"a\xFF", "a\xFF"},  // malformed byte kept, never merged with another text
        {"   ", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(tavo::foldLabel(c.in), c.want) << c.in;
}
