#pragma once
// The care calendar's wording in the interface language.
#include <functional>
#include <string>

#include "care/care_plan.h"
#include "translation/language_table.h"
#include "translation/messages.h"

namespace tavo {

// The care messages (from Msg::CareNext to Msg::CareUsualInterval) as `message` gives them; an
// empty message keeps the English text.
CareWords careWords(const std::function<std::string(Msg)>& message);

// The same from a language table's message section.
CareWords careWords(const LanguageTable& table);

}  // namespace tavo
