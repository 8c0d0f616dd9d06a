#pragma once
// Small helpers the export formats share: dates as ISO 8601 and the age of a tree at a date.
#include <optional>
#include <string>
#include <string_view>

namespace tavo {

// "yyyy-mm-dd" for a stored date text (UTF-8) that passes the date check, otherwise nothing.
std::optional<std::string> isoDate(std::string_view text);

// True when `iso` is "yyyy-mm-dd" naming a day the date check accepts.
bool isIsoDate(std::string_view iso);

// The age in years at `when` of a tree aged `age` (whole years, as typed on its card) on
// `acquired`; nothing when a date is not valid, the age is not a number, or the result is
// negative.
std::optional<int> ageAt(std::string_view age, std::string_view acquired, std::string_view when);

}  // namespace tavo
