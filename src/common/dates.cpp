#include "common/dates.h"

#include <algorithm>
#include <cstdio>

#include "common/cp1252.h"

namespace tavo {
namespace {

constexpr std::size_t kDateChars = 10;

// The date text as Windows-1252 characters (one byte each), cut to its first 10 characters.
// When its first 10 bytes are ASCII they are those characters: the usual date needs no
// conversion, and a log of a thousand trees holds many of them.
std::string_view dateChars(std::string_view text, std::string& converted) {
    const std::string_view head = text.substr(0, std::min(text.size(), kDateChars));
    if (std::all_of(head.begin(), head.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return head;
    converted = cp1252::fromUtf8(text);
    if (converted.size() > kDateChars) converted.resize(kDateChars);
    return converted;
}

// Characters `pos` (1-based) and the next one; positions beyond the end are empty.
std::string_view group(std::string_view s, std::size_t pos) {
    if (pos - 1 >= s.size()) return {};
    return s.substr(pos - 1, 2);
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Leading blanks, then digits only. Anything else (a sign, a letter, an empty group) makes the
// date unusable: it would be stored as typed and sort among the dates by its characters.
std::optional<int> readGroup(std::string_view g) {
    std::size_t i = 0;
    while (i < g.size() && g[i] == ' ') ++i;
    if (i == g.size()) return std::nullopt;
    int value = 0;
    for (; i < g.size(); ++i) {
        if (!isDigit(g[i])) return std::nullopt;
        value = value * 10 + (g[i] - '0');
    }
    return value;
}

int digits(std::string_view s) {
    int value = 0;
    for (char c : s) value = value * 10 + (c - '0');
    return value;
}

std::optional<Date> calendarDay(int year, int month, int day) {
    if (year < 1900 || year > 2099 || month < 1 || day < 1) return std::nullopt;
    const Date date{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                    std::chrono::day{static_cast<unsigned>(day)}};
    if (!date.ok()) return std::nullopt;
    return date;
}

std::optional<Date> parseTyped(std::string_view text) {
    std::string converted;
    const std::string_view s = dateChars(text, converted);
    const auto day = readGroup(group(s, 1));
    const auto month = readGroup(group(s, 4));
    const auto century = readGroup(group(s, 7));
    const auto yearInCentury = readGroup(group(s, 9));
    if (!day || !month || !century || !yearInCentury) return std::nullopt;
    return calendarDay(*century * 100 + *yearInCentury, *month, *day);
}

std::optional<Date> parseIso(std::string_view text) {
    if (text.size() != kDateChars || text[4] != '-' || text[7] != '-') return std::nullopt;
    for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (!isDigit(text[i])) return std::nullopt;
    return calendarDay(digits(text.substr(0, 4)), digits(text.substr(5, 2)),
                       digits(text.substr(8, 2)));
}

}  // namespace

std::optional<Date> parseDate(std::string_view text, DateForm form) {
    return form == DateForm::Iso ? parseIso(text) : parseTyped(text);
}

std::string formatDate(Date date, DateForm form) {
    const int y = static_cast<int>(date.year());
    const unsigned m = static_cast<unsigned>(date.month()), d = static_cast<unsigned>(date.day());
    char text[40];
    if (form == DateForm::Iso)
        std::snprintf(text, sizeof text, "%04d-%02u-%02u", y, m, d);
    else
        std::snprintf(text, sizeof text, "%02u/%02u/%04d", d, m, y);
    return text;
}

bool isValidDate(std::string_view text) {
    return parseDate(text).has_value();
}

int dayNumber(Date date) {
    return static_cast<int>(std::chrono::sys_days{date}.time_since_epoch().count());
}

int wholeYears(Date from, Date to) {
    using std::chrono::month_day;
    int years = static_cast<int>(to.year()) - static_cast<int>(from.year());
    if (month_day{to.month(), to.day()} < month_day{from.month(), from.day()}) --years;
    return years;
}

std::string storedDateKey(std::string_view stored) {
    const std::string_view s = stored.substr(0, std::min(stored.size(), kDateChars));
    std::string key;
    key += group(s, 7);
    key += group(s, 9);
    key += group(s, 4);
    key += group(s, 1);
    return key;
}

std::string sortableDateKey(std::string_view text) {
    std::string converted;
    return cp1252::toUtf8(storedDateKey(dateChars(text, converted)));
}

}  // namespace tavo
