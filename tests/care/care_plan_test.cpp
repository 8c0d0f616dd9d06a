#include <gtest/gtest.h>

#include "care/care_plan.h"
#include "care/care_words.h"
#include "support/data_folder.h"

using namespace tavo;
using namespace std::chrono;
using tavo::test::worksLines;

namespace {

const CareItem* find(const CarePlan& plan, const std::string& tree, const std::string& key) {
    for (const CareItem& i : plan.items)
        if (i.treeId == tree && i.typeKey == key) return &i;
    return nullptr;
}

// The wording of the shipped French language file.
CareWords french() {
    LanguageTable table;
    EXPECT_TRUE(table.load(std::filesystem::path(TAVO_SOURCE_DIR) / "data" / "Français.lng"));
    return careWords(table);
}

const Day kToday{2025y / March / 1};

}  // namespace

// What is learned from the logs: interval, its source, last and next dates.
TEST(CarePlan, LearnsIntervalsFromTheLogs) {
    const struct {
        const char* name;
        std::vector<WorksLine> tree;    // tree "A"
        std::vector<WorksLine> others;  // tree "B" (the rest of the collection)
        const char* key;
        Day last;
        std::size_t interventions;
        std::optional<int> interval;
        IntervalSource source;
        std::optional<Day> next;
    } cases[] = {
        {"repotting every two years keeps its calendar day",
         worksLines({{"15/03/2018", "Rempotage"},
                     {"15/03/2020", "Rempotage"},
                     {"15/03/2022", "Rempotage"},
                     {"15/03/2024", "Rempotage"}}),
         {},
         "rempotage",
         2024y / March / 15,
         4,
         731,
         IntervalSource::Tree,
         Day{2026y / March / 15}},
        {"irregular log: median of 100, 300 and 200 days",
         worksLines({{"01/01/2020", "Taille"},
                     {"10/04/2020", "Taille"},
                     {"04/02/2021", "Taille"},
                     {"23/08/2021", "Taille"}}),
         {},
         "taille",
         2021y / August / 23,
         4,
         200,
         IntervalSource::Tree,
         Day{2021y / August / 23} + days{200}},
        {"even number of gaps: mean of the two middle ones",
         worksLines(
             {{"01/01/2020", "Engrais"}, {"10/04/2020", "Engrais"}, {"27/10/2020", "Engrais"}}),
         {},
         "engrais",
         2020y / October / 27,
         3,
         150,
         IntervalSource::Tree,
         Day{2020y / October / 27} + days{150}},
        {"one line: the collection's median gap, types matched loosely",
         worksLines({{"01/06/2024", "Ligature"}}),
         worksLines({{"01/01/2020", "ligature "},
                     {"31/03/2020", "LIGATURE"},
                     {"09/07/2020", "Ligâture"},
                     {"28/11/2020", "ligature"}}),  // 90, 100, 142
         "ligature", 2024y / June / 1, 1, 100, IntervalSource::Collection,
         Day{2024y / June / 1} + days{100}},
        {"fewer than three gaps in the collection: nothing guessed",
         worksLines({{"01/06/2024", "Ligature"}}),
         worksLines(
             {{"01/01/2020", "Ligature"}, {"31/03/2020", "Ligature"}, {"09/07/2020", "Ligature"}}),
         "ligature", 2024y / June / 1, 1, std::nullopt, IntervalSource::None, std::nullopt},
        {"lines closer than 14 days are one intervention, dated by its first line",
         worksLines({{"01/06/2023", "Ligature"},
                     {"05/06/2023", "Ligature"},
                     {"14/06/2023", "Ligature"},
                     {"01/09/2023", "Ligature"},
                     {"03/09/2023", "Ligature"}}),
         {},
         "ligature",
         2023y / September / 1,
         2,
         92,
         IntervalSource::Tree,
         Day{2023y / December / 2}},
        {"14 days apart: two interventions",
         worksLines({{"01/06/2023", "Engrais"}, {"15/06/2023", "Engrais"}}),
         {},
         "engrais",
         2023y / June / 15,
         2,
         14,
         IntervalSource::Tree,
         Day{2023y / June / 29}},
        {"an interval over ten years gives no next date",
         worksLines({{"01/01/1990", "Racines"}, {"01/01/2005", "Racines"}}),
         {},
         "racines",
         2005y / January / 1,
         2,
         5479,
         IntervalSource::Tree,
         std::nullopt},
        {"invalid dates are left out",
         worksLines({{"01/01/2020", "Taille"},
                     {"31/04/2020", "Taille"},
                     {"", "Taille"},
                     {"1/5/2020", "Taille"},
                     {"01/07/2020", "Taille"}}),
         {},
         "taille",
         2020y / July / 1,
         2,
         182,
         IntervalSource::Tree,
         Day{2020y / July / 1} + days{182}},
    };
    for (const auto& c : cases) {
        const CarePlan plan =
            computeCarePlan({{"A", "Pin", c.tree}, {"B", "Orme", c.others}}, kToday);
        const CareItem* item = find(plan, "A", c.key);
        ASSERT_NE(item, nullptr) << c.name;
        EXPECT_EQ(item->last, c.last) << c.name;
        EXPECT_EQ(item->interventions, c.interventions) << c.name;
        EXPECT_EQ(item->intervalDays, c.interval) << c.name;
        EXPECT_EQ(item->source, c.source) << c.name;
        EXPECT_EQ(item->next, c.next) << c.name;
        EXPECT_EQ(item->state == DueState::None, !c.next) << c.name;
    }
    const CarePlan withBad = computeCarePlan({{"A", "Pin", cases[8].tree}}, kToday);
    EXPECT_EQ(withBad.invalidDates, 3u);
}

TEST(CarePlan, OneTypeWhateverItsCaseAccentsAndBlanks) {
    const CarePlan plan = computeCarePlan({{"A", "Pin",
                                            worksLines({{"01/03/2021", "Rempotage"},
                                                        {"01/03/2022", " rempôtage"},
                                                        {"01/03/2023", "REMPOTAGE "},
                                                        {"02/03/2023", ""}})}},
                                          kToday);
    ASSERT_EQ(plan.items.size(), 1u);
    EXPECT_EQ(plan.items[0].interventions, 3u);
    EXPECT_EQ(plan.items[0].type, "REMPOTAGE ");  // as last written
    EXPECT_EQ(plan.invalidDates, 0u);             // a line without a type is no intervention
}

TEST(CarePlan, StatesAtTheirBoundaries) {
    const int interval = 365;
    const struct {
        int daysAhead;  // expected date - today
        DueState want;
    } cases[] = {
        {31, DueState::Later}, {30, DueState::Soon},  {1, DueState::Soon},
        {0, DueState::Due},    {-365, DueState::Due}, {-366, DueState::LongOverdue},
    };
    for (const auto& c : cases)
        EXPECT_EQ(stateOn(kToday + days{c.daysAhead}, interval, kToday), c.want) << c.daysAhead;
}

TEST(CarePlan, DueListIsSortedAndBounded) {
    // Yearly types whose next dates fall 40 days ahead, 10 days ahead and 400 days ago.
    const auto yearly = [](Day last, const char* type) {
        return std::vector<WorksLine>{{dayText(last - days{365}), type, ""},
                                      {dayText(last), type, ""}};
    };
    std::vector<TreeLog> logs = {
        {"1", "Pin", yearly(kToday + days{40} - days{365}, "Taille")},
        {"2", "Orme", yearly(kToday + days{10} - days{365}, "Engrais")},
        {"3", "Buis", yearly(kToday - days{400} - days{365}, "Ligature")},
        {"4", "érable", yearly(kToday + days{10} - days{365}, "Taille")},
    };
    const CarePlan plan = computeCarePlan(logs, kToday);
    const auto ids = [](const std::vector<CareItem>& items) {
        std::string s;
        for (const CareItem& i : items) s += i.treeId;
        return s;
    };
    EXPECT_EQ(ids(dueWithin(plan, kToday)), "342");
    EXPECT_EQ(ids(dueWithin(plan, kToday, 60)), "3421");
    EXPECT_EQ(ids(dueWithin(plan, kToday, -500)), "");
    EXPECT_EQ(dueWithin(plan, kToday)[0].state, DueState::LongOverdue);
    EXPECT_EQ(nextForTree(plan, "2")->type, "Engrais");
    EXPECT_FALSE(nextForTree(plan, "9"));
}

TEST(CarePlan, SaysIntervalsAndTheNextLineAsPeopleDo) {
    const CareWords fr = french();
    const struct {
        int days;
        const char* want;
    } cases[] = {{14, "tous les 14 jours"}, {30, "tous les mois"},     {91, "tous les 3 mois"},
                 {365, "tous les ans"},     {547, "tous les 18 mois"}, {731, "tous les 2 ans"},
                 {1095, "tous les 3 ans"}};
    for (const auto& c : cases) EXPECT_EQ(intervalText(c.days, fr), c.want) << c.days;
    EXPECT_EQ(fr.eventDescription, "Dernière fois : %1\nIntervalle habituel : %2");

    const CarePlan plan = computeCarePlan({{"A", "Pin",
                                            worksLines({{"10/04/2022", "Rempotage"},
                                                        {"10/04/2024", "Rempotage"},
                                                        {"01/05/2024", "Taille"}})}},
                                          kToday);
    EXPECT_EQ(nextLineText(plan, "A", fr), "Prochain : Rempotage vers 04/2026 (tous les 2 ans)");
    EXPECT_EQ(nextLineText(plan, "B", fr), "");
}

TEST(CarePlan, ThisMonthInPastYearsByTree) {
    const std::vector<TreeLog> logs = {
        {"2", "Pin",
         worksLines({{"03/03/2023", "Taille"},
                     {"20/03/2024", "Engrais"},
                     {"05/04/2024", "Ligature"},
                     {"02/03/2025", "Taille"}})},
        {"1", "Érable", worksLines({{"31/03/2019", "Rempotage"}, {"31/04/2019", "Bad"}})},
    };
    std::string got;
    for (const PastLine& p : thisMonthInPastYears(logs, kToday))
        got += p.treeName + " " + p.line.date + " " + p.line.type + "; ";
    EXPECT_EQ(got, "Érable 31/03/2019 Rempotage; Pin 20/03/2024 Engrais; Pin 03/03/2023 Taille; ");
}
