#pragma once
// Dates typed by the user (acquisition date, works line date, photo date) are texts of the form
// dd/mm/yyyy, stored as typed. Positions are fixed: 1-2 day, 3 separator, 4-5 month,
// 6 separator, 7-10 year. Only the first 10 characters count; missing positions are empty.
//
// Every date the program reads or writes goes through parseDate and formatDate here, so the
// subsystems agree on what a date is.
#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace tavo {

// A calendar day.
using Date = std::chrono::year_month_day;

enum class DateForm {
    // dd/mm/yyyy as typed:
    // - each of the four two-character groups (day, month, century, year in century) reads as a
    //   number: leading blanks are skipped, then at least one digit, and nothing but digits
    //   after it; a group with a letter, a sign or no digit at all is refused;
    // - the separators (positions 3 and 6) are not examined: 12-05-2020 and 12.05.2020 pass;
    // - only the first 10 characters count.
    // Written as dd/mm/yyyy, every part zero-padded.
    Typed,
    // yyyy-mm-dd exactly: 10 characters, digits and the two hyphens only.
    Iso,
};

// The day `text` (UTF-8) names, or nothing. In both forms the year is 1900 to 2099, the month
// 1 to 12 and the day within the month; 29 February only in leap years of the calendar (2000
// and 2004 yes, 1900 and 2023 no). An empty text is refused.
std::optional<Date> parseDate(std::string_view text, DateForm form = DateForm::Typed);

// The text of `date` in `form`: "05/03/2020" or "2020-03-05".
std::string formatDate(Date date, DateForm form = DateForm::Typed);

// True when `text` is an acceptable typed date (parseDate gives a day); callers that allow an
// empty date test for it first.
bool isValidDate(std::string_view text);

// Days since 1 January 1970 (negative before), so that two dates' distance is a subtraction.
int dayNumber(Date date);

// Whole years from `from` to `to`, counted on the anniversaries of `from` (one acquired on
// 29 February ages on 1 March in other years); negative (rounded down) when `to` comes first.
int wholeYears(Date from, Date to);

// The text that sorts in date order: year (positions 7-10), month (4-5), day (1-2), copied
// character by character without any test. "25/12/2019" gives "20191225". A text shorter than
// 10 characters gives a shorter key.
std::string sortableDateKey(std::string_view text);

// The same key taken from a date field as stored (Windows-1252 bytes), so that records compare
// byte for byte on what is on disk.
std::string storedDateKey(std::string_view stored);

}  // namespace tavo
