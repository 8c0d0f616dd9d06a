#include <gtest/gtest.h>

#include "works/works_line.h"

using namespace tavo;

TEST(WorksLineRecord, FieldsSitAtTheirOffsetsWithZerosBehind) {
    const Bytes r = encodeWorksLine({"25/12/2019", "Rempotage", "Terre: akadama été"});
    ASSERT_EQ(r.size(), 318u);
    EXPECT_EQ(r[0], 10);
    EXPECT_EQ(std::string(r.begin() + 1, r.begin() + 11), "25/12/2019");
    EXPECT_EQ(r[11], 9);
    EXPECT_EQ(std::string(r.begin() + 12, r.begin() + 21), "Rempotage");
    EXPECT_EQ(r[21], 0);
    EXPECT_EQ(r[62], 18);  // Windows-1252: one byte per character
    EXPECT_EQ(r[62 + 1 + 15], 0xE9);
    EXPECT_EQ(r[62 + 1 + 17], 0xE9);
    for (std::size_t i = 62 + 1 + 18; i < 318; ++i) ASSERT_EQ(r[i], 0) << i;
}

TEST(WorksLineRecord, LongTextsAreCutToTheirCapacities) {
    const WorksLine line{"01/01/2020 et plus", std::string(60, 't'), std::string(300, 'c')};
    const Bytes r = encodeWorksLine(line);
    EXPECT_EQ(r[0], 10);
    EXPECT_EQ(r[11], 50);
    EXPECT_EQ(r[62], 255);
    const WorksLine back = decodeWorksLine(r);
    EXPECT_EQ(back.date, "01/01/2020");
    EXPECT_EQ(back.type, std::string(50, 't'));
    EXPECT_EQ(back.comment, std::string(255, 'c'));
}

TEST(WorksLineRecord, ReadsHandMadeBytes) {
    // Bytes behind the significant characters are whatever the writer held.
    Bytes r(318, 'x');
    r[0] = 10;
    std::string date = "07/03/1998";
    std::copy(date.begin(), date.end(), r.begin() + 1);
    r[11] = 3;
    r[12] = 'F';
    r[13] = 0xEA;  // ê
    r[14] = 't';
    r[62] = 0;
    EXPECT_EQ(decodeWorksLine(r), (WorksLine{"07/03/1998", "Fêt", ""}));
}
