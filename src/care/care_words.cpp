#include "care/care_words.h"

namespace tavo::care {

namespace {
constexpr int kMessages = 9999;

void take(const LanguageTable& table, int key, std::string& into) {
    const std::optional<std::string> text = table.find(kMessages, key);
    if (text && !text->empty()) into = *text;
}
}  // namespace

CareWords careWords(const LanguageTable& table) {
    CareWords w;
    take(table, 140, w.nextLine);
    take(table, 141, w.everyDays);
    take(table, 142, w.everyMonth);
    take(table, 143, w.everyMonths);
    take(table, 144, w.everyYear);
    take(table, 145, w.everyYears);
    // A language file holds one line per message: the description's two lines are two messages,
    // the second one's date placeholder renumbered.
    std::string last = "Last time: %1", interval = "Usual interval: %1";
    take(table, 146, last);
    take(table, 147, interval);
    w.eventDescription = last + "\n" + fillIn(interval, "%2");
    return w;
}

}  // namespace tavo::care
