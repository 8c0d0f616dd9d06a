#include "care/care_words.h"

namespace tavo {

CareWords careWords(const std::function<std::string(Msg)>& message) {
    const auto take = [&](Msg m, std::string& into) {
        std::string text = message(m);
        if (!text.empty()) into = std::move(text);
    };
    CareWords w;
    take(Msg::CareNext, w.nextLine);
    take(Msg::EveryDays, w.everyDays);
    take(Msg::EveryMonth, w.everyMonth);
    take(Msg::EveryMonths, w.everyMonths);
    take(Msg::EveryYear, w.everyYear);
    take(Msg::EveryYears, w.everyYears);
    // A language file holds one line per message: the description's two lines are two messages,
    // the second one's date placeholder renumbered.
    std::string last = "Last time: %1", interval = "Usual interval: %1";
    take(Msg::CareLastTime, last);
    take(Msg::CareUsualInterval, interval);
    w.eventDescription = last + "\n" + fillIn(interval, "%2");
    return w;
}

CareWords careWords(const LanguageTable& table) {
    return careWords([&](Msg m) { return findMessage(table, m).value_or(std::string()); });
}

}  // namespace tavo
