#include "exchange/exchange_texts.h"

#include <cstdio>

#include "common/cp1252.h"
#include "common/dates.h"

namespace tavo::exchange {

namespace {

struct Ymd {
    int y = 0, m = 0, d = 0;
};

// A group read as the date check reads it: leading blanks, then digits.
int group(std::string_view s, std::size_t at) {
    int v = 0;
    std::size_t i = at;
    while (i < at + 2 && i < s.size() && s[i] == ' ') ++i;
    for (; i < at + 2 && i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) v = v * 10 + (s[i] - '0');
    return v;
}

std::optional<Ymd> parse(std::string_view utf8) {
    // Positions count characters, so look at the Windows-1252 bytes (one per character).
    const std::string s = cp1252::fromUtf8(utf8);
    if (!isValidDate(s)) return std::nullopt;
    return Ymd{group(s, 6) * 100 + group(s, 8), group(s, 3), group(s, 0)};
}

}  // namespace

std::optional<std::string> isoDate(std::string_view text) {
    const auto d = parse(text);
    if (!d) return std::nullopt;
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d->y, d->m, d->d);
    return std::string(buf);
}

bool isIsoDate(std::string_view iso) {
    if (iso.size() != 10 || iso[4] != '-' || iso[7] != '-') return false;
    for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (iso[i] < '0' || iso[i] > '9') return false;
    const std::string typed = std::string(iso.substr(8, 2)) + "/" + std::string(iso.substr(5, 2)) +
                              "/" + std::string(iso.substr(0, 4));
    return isValidDate(typed);
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
    const auto a = parse(acquired), w = parse(when);
    if (!a || !w) return std::nullopt;
    int between = w->y - a->y;
    if (w->m < a->m || (w->m == a->m && w->d < a->d)) --between;
    if (years + between < 0) return std::nullopt;
    return years + between;
}

}  // namespace tavo::exchange
