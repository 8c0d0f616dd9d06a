#include "exchange/exchange_texts.h"

#include "common/dates.h"

namespace tavo {

std::optional<std::string> isoDate(std::string_view text) {
    const auto d = parseDate(text);
    if (!d) return std::nullopt;
    return formatDate(*d, DateForm::Iso);
}

bool isIsoDate(std::string_view iso) {
    return parseDate(iso, DateForm::Iso).has_value();
}

std::optional<int> ageAt(std::string_view age, std::string_view acquired, std::string_view when) {
    // Digits, blanks around them allowed: "12", " 5 ".
    const auto first = age.find_first_not_of(' ');
    if (first == std::string_view::npos) return std::nullopt;
    const auto last = age.find_last_not_of(' ');
    int years = 0;
    for (std::size_t i = first; i <= last; ++i) {
        if (age[i] < '0' || age[i] > '9') return std::nullopt;
        years = years * 10 + (age[i] - '0');
    }
    const auto a = parseDate(acquired), w = parseDate(when);
    if (!a || !w) return std::nullopt;
    const int between = wholeYears(*a, *w);
    if (years + between < 0) return std::nullopt;
    return years + between;
}

}  // namespace tavo
