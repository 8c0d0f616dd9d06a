#pragma once
// What is due: for each tree and each kind of intervention in its works log, the usual interval
// learned from the keeper's own dates, the last time it was done and when it is next expected.
// Pure computation over logs already read; "today" is given, never taken from the clock here.
#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "works/works_line.h"

namespace tavo {

using Day = std::chrono::sys_days;

// Lines of one type closer than this count as one intervention spread over several days (a big
// tree repotted over a weekend, wiring finished the next week).
inline constexpr int kSameInterventionDays = 14;
// An expected date this close ahead is "soon".
inline constexpr int kSoonDays = 30;
// A usual interval longer than ten years predicts nothing worth showing.
inline constexpr int kLongestIntervalDays = 3652;
// Gaps the whole collection must show before its median stands in for a tree's own.
inline constexpr std::size_t kCollectionGapsNeeded = 3;

// The day a works line's date names: a text that passes the date check, read as dd/mm/yyyy.
// Nothing for any other text.
std::optional<Day> lineDay(std::string_view dateText);

// The day as dd/mm/yyyy, as dates are typed and stored.
std::string dayText(Day day);
// The day as yyyy-mm-dd.
std::string isoDay(Day day);

// One tree's log as read from its files.
struct TreeLog {
    std::string id;
    std::string name;
    std::vector<WorksLine> lines;
};

enum class DueState {
    None,         // no expected date
    Later,        // more than kSoonDays ahead
    Soon,         // today < expected <= today + kSoonDays
    Due,          // expected on or before today, at most one interval ago
    LongOverdue,  // expected more than one interval ago
};

// The stable word for a state in machine-readable output: "none", "later", "soon", "due",
// "long-overdue".
std::string_view stateName(DueState state);

enum class IntervalSource {
    None,        // not enough dates to learn from
    Tree,        // the median of this tree's own gaps
    Collection,  // the median gap of that type over the whole collection
};

struct CareItem {
    std::string treeId;
    std::string treeName;
    std::string type;               // as the keeper last wrote it
    std::string typeKey;            // foldLabel(type): what lines are grouped by
    Day last{};                     // first day of the latest intervention
    std::size_t interventions = 0;  // after joining lines closer than kSameInterventionDays
    std::optional<int> intervalDays;
    IntervalSource source = IntervalSource::None;
    std::optional<Day> next;  // last + interval, unless the interval is over ten years
    DueState state = DueState::None;
};

struct CarePlan {
    // Trees in the order given, then types in the order first met in each log.
    std::vector<CareItem> items;
    // Lines left out because their date is not a valid date (all trees together).
    std::size_t invalidDates = 0;
};

// The plan of the given logs as it stands on `today`. Lines with an empty type are no
// intervention and are ignored.
CarePlan computeCarePlan(const std::vector<TreeLog>& logs, Day today);

// The state of an expected date `next` on `today`, for a usual interval of `intervalDays`.
DueState stateOn(Day next, int intervalDays, Day today);

// The items whose expected date is at most `withinDays` after `today` (every overdue one
// included), sorted by expected date, then tree name (case and accents aside), tree identifier
// and type.
std::vector<CareItem> dueWithin(const CarePlan& plan, Day today, int withinDays = kSoonDays);

// The item of tree `treeId` expected first (overdue ones first of all); nothing when the tree has
// no expected date.
std::optional<CareItem> nextForTree(const CarePlan& plan, std::string_view treeId);

// ---- Human wording ---------------------------------------------------------------------------

// An interval as people say it: in days below a month, in months below a year (and for a number
// of months that is no whole number of years below two years: "18 months"), else in years.
struct RoughInterval {
    enum class Unit { Days, Months, Years } unit = Unit::Days;
    int count = 0;
};
RoughInterval roughInterval(int days);

// The texts that wrap an interval and a date, in the interface language. "%1" stands for the
// number, the type or the tree's name, "%2" for the date, "%3" for the interval.
struct CareWords {
    std::string everyDays = "every %1 days";
    std::string everyMonth = "every month";
    std::string everyMonths = "every %1 months";
    std::string everyYear = "every year";
    std::string everyYears = "every %1 years";
    // The works panel's line: type, month/year of the expected date, interval.
    std::string nextLine = "Next: %1 around %2 (%3)";
    // The calendar event's description: last date, interval.
    std::string eventDescription = "Last time: %1\nUsual interval: %2";
};

// "every 2 years" and the like.
std::string intervalText(int days, const CareWords& words);

// The works panel's line for the tree, e.g. "Next: Repotting around 04/2026 (every 2 years)";
// empty when the tree has no expected date.
std::string nextLineText(const CarePlan& plan, std::string_view treeId, const CareWords& words);

// Replaces %1, %2 and %3 in `pattern`.
std::string fillIn(std::string_view pattern, std::string_view a1, std::string_view a2 = {},
                   std::string_view a3 = {});

// ---- This month in past years ----------------------------------------------------------------

struct PastLine {
    std::string treeId;
    std::string treeName;
    WorksLine line;
    Day day{};
};

// Every line dated in the calendar month of `today` in an earlier year, by tree (tree name, case
// and accents aside, then identifier), each tree's lines from the most recent year back.
std::vector<PastLine> thisMonthInPastYears(const std::vector<TreeLog>& logs, Day today);

}  // namespace tavo
