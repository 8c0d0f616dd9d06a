#include "care/care_words.h"

namespace tavo::care {

CareWords careWords(const std::function<std::string(int)>& message) {
    const auto take = [&](int key, std::string& into) {
        std::string text = message(key);
        if (!text.empty()) into = std::move(text);
    };
    CareWords w;
    take(140, w.nextLine);
    take(141, w.everyDays);
    take(142, w.everyMonth);
    take(143, w.everyMonths);
    take(144, w.everyYear);
    take(145, w.everyYears);
    // A language file holds one line per message: the description's two lines are two messages,
    // the second one's date placeholder renumbered.
    std::string last = "Last time: %1", interval = "Usual interval: %1";
    take(146, last);
    take(147, interval);
    w.eventDescription = last + "\n" + fillIn(interval, "%2");
    return w;
}

CareWords careWords(const LanguageTable& table) {
    return careWords([&](int key) { return table.find(9999, key).value_or(std::string()); });
}

}  // namespace tavo::care
