#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "common/dates.h"

using namespace tavo;

TEST(DateCheck, LeapDaysFollowTheCalendar) {
    for (const char* d : {"29/02/2024", "29/02/2000", "29/02/2004", "29/02/2096", "29/02/1904",
                          "28/02/2000", "28/02/1900"})
        EXPECT_TRUE(isValidDate(d)) << d;
    for (const char* d : {"29/02/2023", "29/02/1900", "30/02/2024", "29/02/2100"})
        EXPECT_FALSE(isValidDate(d)) << d;
}

TEST(DateCheck, MonthLengthsAndYearRange) {
    for (const char* d : {"30/04/2020", "31/12/2099", "01/01/1900", "31/01/2020", "31/08/2020",
                          "31/10/2020", "31/07/1950"})
        EXPECT_TRUE(isValidDate(d)) << d;
    for (const char* d : {"31/04/2020", "31/06/2020", "31/09/2020", "31/11/2020", "32/01/2020",
                          "01/01/2100", "31/12/1899", "00/05/2020", "12/00/2020", "12/13/2020"})
        EXPECT_FALSE(isValidDate(d)) << d;
}

// "é" and "ß" are one character each in the stored code page; leading blanks are skipped.
TEST(DateCheck, SeparatorsAreNotExaminedAndOnlyTenCharactersCount) {
    for (const char* typed :
         {"05-03-2020", "05.03.2020", "05é03ß2020", "05/03/2020 and", " 5/ 3/2020"}) {
        const auto date = parseDate(typed);
        ASSERT_TRUE(date) << typed;
        EXPECT_EQ(formatDate(*date), "05/03/2020");
        EXPECT_EQ(parseDate(formatDate(*date, DateForm::Iso), DateForm::Iso), date);
    }
}

TEST(DateCheck, RefusesEmptyShortAndNonNumericTexts) {
    for (const char* d : {"", "12/05/", "01/01/20", "1/5/2020", "12/05/20xy", "+1/05/2020",
                          "1a/05/2020", "12/05/2O20", "ab/cd/efgh", "  /05/2020"})
        EXPECT_FALSE(isValidDate(d)) << '"' << d << '"';
}

TEST(SortableKey, YearMonthDayCopiedAsTyped) {
    EXPECT_EQ(sortableDateKey("25/12/2019"), "20191225");
    EXPECT_EQ(sortableDateKey("07/03/1998"), "19980307");
    EXPECT_EQ(sortableDateKey("12-05-2020 and more"), "20200512");
    EXPECT_EQ(sortableDateKey("é5/03/1998"), "199803é5");  // no test, character by character
    EXPECT_EQ(sortableDateKey(""), "");
    EXPECT_EQ(sortableDateKey("01/02"), "0201");  // missing positions are empty
}

TEST(SortableKey, KeysSortInDateOrder) {
    std::vector<std::string> dates{"01/01/2000", "31/12/1999", "15/06/2020", "14/06/2020",
                                   "01/07/2020"};
    std::vector<std::string> keys;
    for (const auto& d : dates) keys.push_back(sortableDateKey(d));
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(keys, (std::vector<std::string>{"19991231", "20000101", "20200614", "20200615",
                                              "20200701"}));
}
