#include <gtest/gtest.h>

#include "common/text_fold.h"

using tavo::foldForCompare;

TEST(TextFold, LowercasesStripsAccentsAndTrims) {
    const struct {
        const char* in;
        const char* want;
    } cases[] = {
        {"Rempotage", "rempotage"},
        {"  REMPÔTAGE\t", "rempotage"},
        {"\xC2\xA0taille d'été ", "taille d'ete"},  // no-break space
        {"ÀÂÄÇÉÈÊËÎÏÔÖÙÛÜŸÑ", "aaaceeeeiioouuuyn"},
        {"Œillet Æ ß Š Ž", "oeillet ae ss s z"},
        {"×÷ 松", "×÷ 松"},  // no letters of the code page: kept
        {"a\xFF", "a\xFF"},  // malformed byte kept, never merged with another text
        {"   ", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(foldForCompare(c.in), c.want) << c.in;
}
