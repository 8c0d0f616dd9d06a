#pragma once
// The care calendar's wording in the interface language.
#include <functional>
#include <string>

#include "care/care_plan.h"
#include "translation/language_table.h"

namespace tavo::care {

// Messages 140-147 as `message(n)` gives them; an empty message keeps the English text.
CareWords careWords(const std::function<std::string(int)>& message);

// The same from a language table's message section.
CareWords careWords(const LanguageTable& table);

}  // namespace tavo::care
