#pragma once
// The care calendar's wording in the interface language.
#include "care/care_plan.h"
#include "translation/language_table.h"

namespace tavo::care {

// Messages 140-147 of the language table; a missing or empty message keeps the English text.
CareWords careWords(const LanguageTable& table);

}  // namespace tavo::care
