#include "common/dates.h"

#include <algorithm>

#include <optional>

#include "common/cp1252.h"

namespace tavo {
namespace {

// The date text as Windows-1252 characters (one byte each), cut to its first 10 characters.
std::string dateChars(std::string_view text) {
    std::string s = cp1252::fromUtf8(text);
    if (s.size() > 10) s.resize(10);
    return s;
}

// Characters `pos` (1-based) and the next one; positions beyond the end are empty.
std::string_view group(std::string_view s, std::size_t pos) {
    if (pos - 1 >= s.size()) return {};
    return s.substr(pos - 1, 2);
}

// Leading blanks, then digits only. Anything else (a sign, a letter, an empty group) makes the
// date unusable: it would be stored as typed and sort among the dates by its characters.
std::optional<int> readGroup(std::string_view g) {
    std::size_t i = 0;
    while (i < g.size() && g[i] == ' ') ++i;
    if (i == g.size()) return std::nullopt;
    int value = 0;
    for (; i < g.size(); ++i) {
        if (g[i] < '0' || g[i] > '9') return std::nullopt;
        value = value * 10 + (g[i] - '0');
    }
    return value;
}

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

}  // namespace

bool isValidDate(std::string_view text) {
    const std::string s = dateChars(text);
    const auto day = readGroup(group(s, 1));
    const auto month = readGroup(group(s, 4));
    const auto century = readGroup(group(s, 7));
    const auto yearInCentury = readGroup(group(s, 9));
    if (!day || !month || !century || !yearInCentury) return false;

    if (*century != 19 && *century != 20) return false;
    if (*month < 1 || *month > 12) return false;
    if (*day < 1 || *day > 31) return false;
    switch (*month) {
        case 4:
        case 6:
        case 9:
        case 11:
            return *day <= 30;
        case 2:
            if (*day > 29) return false;
            return *day < 29 || isLeapYear(*century * 100 + *yearInCentury);
        default:
            return true;
    }
}

std::string storedDateKey(std::string_view stored) {
    const std::string_view s = stored.substr(0, std::min<std::size_t>(stored.size(), 10));
    std::string key;
    key += group(s, 7);
    key += group(s, 9);
    key += group(s, 4);
    key += group(s, 1);
    return key;
}

std::string sortableDateKey(std::string_view text) {
    return cp1252::toUtf8(storedDateKey(dateChars(text)));
}

}  // namespace tavo
