#include "care/care_plan.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <tuple>
#include <unordered_map>

#include "common/dates.h"
#include "common/text_fold.h"

namespace tavo {
namespace {

using std::chrono::days;

// Median of whole days, a tie between the two middle gaps going to their rounded mean.
int median(std::vector<int> v) {
    const std::size_t mid = v.size() / 2;
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(mid), v.end());
    const int upper = v[mid];
    if (v.size() % 2 == 1) return upper;
    const int lower = *std::max_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(mid));
    return (lower + upper + 1) / 2;
}

struct TypeHistory {
    std::string key;
    std::string type;  // spelling of the latest line
    Day latestLine{};
    std::vector<Day> lineDays;
};

// Interventions (first day of each) of one type, lines closer than kSameInterventionDays to the
// first line of an intervention joining it. Measuring from the first line, not the previous one,
// keeps a fortnightly feeding from melting into one endless intervention.
std::vector<Day> interventions(std::vector<Day> lineDays) {
    std::sort(lineDays.begin(), lineDays.end());
    std::vector<Day> starts;
    for (Day d : lineDays)
        if (starts.empty() || (d - starts.back()).count() >= kSameInterventionDays)
            starts.push_back(d);
    return starts;
}

// `last` + `interval` days; an interval of a whole number of years (give or take the leap day
// its span may hold) lands on the same calendar day, so a repotting every two years done on
// 15 March is next expected on 15 March, not a day off.
Day expectedAfter(Day last, int interval) {
    const long years = std::lround(interval / 365.2425);
    if (years >= 1 && std::abs(interval - std::lround(years * 365.2425)) <= 1) {
        const Date ymd{last};
        Date next = ymd + std::chrono::years{years};
        if (!next.ok()) next = next.year() / next.month() / std::chrono::last;  // 29 February
        return Day{next};
    }
    return last + days{interval};
}

}  // namespace

std::optional<Day> lineDay(std::string_view dateText) {
    const std::optional<Date> date = parseDate(dateText);
    if (!date) return std::nullopt;
    return Day{*date};
}

std::string dayText(Day day) {
    return formatDate(Date{day});
}

std::string isoDay(Day day) {
    return formatDate(Date{day}, DateForm::Iso);
}

std::string_view stateName(DueState state) {
    switch (state) {
        case DueState::Later:
            return "later";
        case DueState::Soon:
            return "soon";
        case DueState::Due:
            return "due";
        case DueState::LongOverdue:
            return "long-overdue";
        case DueState::None:
            break;
    }
    return "none";
}

DueState stateOn(Day next, int intervalDays, Day today) {
    const int ahead = (next - today).count();
    if (ahead > kSoonDays) return DueState::Later;
    if (ahead > 0) return DueState::Soon;
    return -ahead <= intervalDays ? DueState::Due : DueState::LongOverdue;
}

CarePlan computeCarePlan(const std::vector<TreeLog>& logs, Day today) {
    CarePlan plan;
    struct TreeTypes {
        const TreeLog* log;
        std::vector<TypeHistory> types;
    };
    std::vector<TreeTypes> trees;
    trees.reserve(logs.size());
    for (const TreeLog& log : logs) {
        TreeTypes tree{&log, {}};
        // Spellings met so far and the type each folds to: folding once per spelling, not per line.
        std::vector<std::pair<std::string_view, std::size_t>> spellings;
        for (const WorksLine& line : log.lines) {
            auto known = std::find_if(spellings.begin(), spellings.end(),
                                      [&](const auto& sp) { return sp.first == line.type; });
            if (known == spellings.end()) {
                std::string key = foldLabel(line.type);
                std::size_t index = SIZE_MAX;  // no type: no intervention
                if (!key.empty()) {
                    const auto it =
                        std::find_if(tree.types.begin(), tree.types.end(),
                                     [&](const TypeHistory& h) { return h.key == key; });
                    index = static_cast<std::size_t>(it - tree.types.begin());
                    if (it == tree.types.end())
                        tree.types.push_back({std::move(key), line.type, Day::min(), {}});
                }
                spellings.emplace_back(line.type, index);
                known = spellings.end() - 1;
            }
            if (known->second == SIZE_MAX) continue;
            const std::optional<Day> day = lineDay(line.date);
            if (!day) {
                ++plan.invalidDates;
                continue;
            }
            TypeHistory& h = tree.types[known->second];
            if (*day >= h.latestLine) {
                h.type = line.type;
                h.latestLine = *day;
            }
            h.lineDays.push_back(*day);
        }
        trees.push_back(std::move(tree));
    }

    // Each tree's interventions, and every gap of each type over the collection.
    std::unordered_map<std::string, std::vector<int>> collectionGaps;
    std::vector<std::vector<std::vector<Day>>> starts(trees.size());
    for (std::size_t t = 0; t < trees.size(); ++t) {
        for (TypeHistory& h : trees[t].types) {
            starts[t].push_back(interventions(std::move(h.lineDays)));
            const std::vector<Day>& s = starts[t].back();
            auto& gaps = collectionGaps[h.key];
            for (std::size_t i = 1; i < s.size(); ++i) gaps.push_back((s[i] - s[i - 1]).count());
        }
    }
    std::unordered_map<std::string, std::optional<int>> collectionMedian;
    for (auto& [key, gaps] : collectionGaps)
        collectionMedian[key] =
            gaps.size() >= kCollectionGapsNeeded ? std::optional<int>(median(gaps)) : std::nullopt;

    for (std::size_t t = 0; t < trees.size(); ++t) {
        for (std::size_t k = 0; k < trees[t].types.size(); ++k) {
            const TypeHistory& h = trees[t].types[k];
            const std::vector<Day>& s = starts[t][k];
            CareItem item;
            item.treeId = trees[t].log->id;
            item.treeName = trees[t].log->name;
            item.type = h.type;
            item.typeKey = h.key;
            item.last = s.back();
            item.interventions = s.size();
            if (s.size() >= 2) {
                std::vector<int> gaps;
                for (std::size_t i = 1; i < s.size(); ++i)
                    gaps.push_back((s[i] - s[i - 1]).count());
                item.intervalDays = median(std::move(gaps));
                item.source = IntervalSource::Tree;
            } else if (const auto& m = collectionMedian[h.key]) {
                item.intervalDays = *m;
                item.source = IntervalSource::Collection;
            }
            if (item.intervalDays && *item.intervalDays <= kLongestIntervalDays) {
                item.next = expectedAfter(item.last, *item.intervalDays);
                item.state = stateOn(*item.next, *item.intervalDays, today);
            }
            plan.items.push_back(std::move(item));
        }
    }
    return plan;
}

namespace {
auto orderKey(const CareItem& i) {
    return std::tie(*i.next, i.typeKey);
}
}  // namespace

std::vector<CareItem> dueWithin(const CarePlan& plan, Day today, int withinDays) {
    // Names compared as people read them: "érable" between "buis" and "orme".
    std::vector<std::pair<std::string, CareItem>> sorted;
    for (const CareItem& i : plan.items)
        if (i.next && (*i.next - today).count() <= withinDays)
            sorted.emplace_back(foldForCompare(i.treeName), i);
    std::sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) {
        return std::tie(*a.second.next, a.first, a.second.treeId, a.second.typeKey) <
               std::tie(*b.second.next, b.first, b.second.treeId, b.second.typeKey);
    });
    std::vector<CareItem> out;
    out.reserve(sorted.size());
    for (auto& [name, item] : sorted) out.push_back(std::move(item));
    return out;
}

std::optional<CareItem> nextForTree(const CarePlan& plan, std::string_view treeId) {
    const CareItem* best = nullptr;
    for (const CareItem& i : plan.items)
        if (i.treeId == treeId && i.next && (!best || orderKey(i) < orderKey(*best))) best = &i;
    if (!best) return std::nullopt;
    return *best;
}

RoughInterval roughInterval(int days) {
    using U = RoughInterval::Unit;
    // A month is 30.4375 days on average (365.25 / 12).
    const int months = static_cast<int>(std::lround(days / 30.4375));
    if (months < 1) return {U::Days, days};
    if (months < 12 || (months < 24 && months % 12 != 0)) return {U::Months, months};
    return {U::Years, static_cast<int>(std::lround(days / 365.25))};
}

std::string fillIn(std::string_view pattern, std::string_view a1, std::string_view a2,
                   std::string_view a3) {
    std::string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' &&
            pattern[i + 1] <= '3') {
            const char n = pattern[++i];
            out += n == '1' ? a1 : n == '2' ? a2 : a3;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

std::string intervalText(int days, const CareWords& words) {
    const RoughInterval r = roughInterval(days);
    const std::string n = std::to_string(r.count);
    switch (r.unit) {
        case RoughInterval::Unit::Days:
            return fillIn(words.everyDays, n);
        case RoughInterval::Unit::Months:
            return r.count == 1 ? words.everyMonth : fillIn(words.everyMonths, n);
        case RoughInterval::Unit::Years:
            break;
    }
    return r.count == 1 ? words.everyYear : fillIn(words.everyYears, n);
}

std::string nextLineText(const CarePlan& plan, std::string_view treeId, const CareWords& words) {
    const std::optional<CareItem> item = nextForTree(plan, treeId);
    if (!item) return {};
    const std::string monthYear = dayText(*item->next).substr(3);
    return fillIn(words.nextLine, item->type, monthYear, intervalText(*item->intervalDays, words));
}

std::vector<PastLine> thisMonthInPastYears(const std::vector<TreeLog>& logs, Day today) {
    const Date now{today};
    std::vector<PastLine> out;
    for (const TreeLog& log : logs) {
        for (const WorksLine& line : log.lines) {
            const std::optional<Day> day = lineDay(line.date);
            if (!day) continue;
            const Date ymd{*day};
            if (ymd.month() == now.month() && ymd.year() < now.year())
                out.push_back({log.id, log.name, line, *day});
        }
    }
    std::unordered_map<std::string, std::string> foldedNames;
    for (const PastLine& p : out) foldedNames.emplace(p.treeId, foldForCompare(p.treeName));
    std::stable_sort(out.begin(), out.end(), [&](const PastLine& a, const PastLine& b) {
        const std::string& na = foldedNames.at(a.treeId);
        const std::string& nb = foldedNames.at(b.treeId);
        return std::tie(na, a.treeId, b.day) < std::tie(nb, b.treeId, a.day);
    });
    return out;
}

}  // namespace tavo
