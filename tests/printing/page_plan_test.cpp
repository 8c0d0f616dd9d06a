#include <gtest/gtest.h>

#include <set>

#include "common/errors.h"
#include "printing/page_plan.h"
#include "support/cards.h"

using namespace tavo;

namespace {

const std::string kId = "26034140509042";
const PageSize kA4At600{4960, 7016};

std::string msg(int n) {
    return "M" + std::to_string(n);
}

TreeCard sampleCard() {
    return test::sampleCard();
}

std::vector<WorksLine> sampleWorks(int count) {
    std::vector<WorksLine> w;
    for (int i = 1; i <= count; ++i)
        w.push_back({"01/03/2020", "Taille", "ligne " + std::to_string(i)});
    return w;
}

struct Readers {
    int cardReads = 0;
    int worksReads = 0;
    std::vector<std::string> order;
    TreeCard card = sampleCard();
    std::vector<WorksLine> works = sampleWorks(2);

    PrintSources sources() {
        return PrintSources{[this] {
                                ++cardReads;
                                order.push_back("card");
                                return card;
                            },
                            [this] {
                                ++worksReads;
                                order.push_back("works");
                                return works;
                            }};
    }
};

std::vector<int> ys(const PagePlan& p) {
    std::vector<int> v;
    for (const auto& l : p.lines) v.push_back(l.y);
    return v;
}

}  // namespace

TEST(PagePlan, BothPartsWithTallPhotoFollowTheFixedPositions) {
    Readers r;
    const PagePlan p = planPrintout(kId, 120, 159, {true, true}, kA4At600, r.sources(), msg);

    EXPECT_EQ(p.frame, (PlanRect{0, 0, 4960, 7016}));
    EXPECT_EQ(p.photo, (PlanRect{201, 201, 199 + 7 * 120, 199 + 7 * 159}));
    EXPECT_EQ(r.order, (std::vector<std::string>{"card", "works"}));

    // 7 x 159 = 1113: identifier 1413, card title 1663, notes 3263/3363, works 3613, 3713, ...
    const std::vector<int> expectedY = {1413, 1663, 1763, 1863, 1963, 2063, 2313, 2413, 2513, 2613,
                                        2713, 2813, 2913, 3163, 3263, 3363, 3613, 3713, 3813};
    EXPECT_EQ(ys(p), expectedY);

    const std::vector<std::string> expectedText = {
        "M31 : 26034140509042",
        "--- M32 ---",
        "M33 : Mon érable",
        "M34 : Acer palmatum",
        "M35 : Érable du Japon",
        "M36 : Japanese maple",
        "--- M37 ---",
        "M38 : Prébonsaï",
        "M39 : Pépinière",
        "M40 : 12/04/2019",
        "M41 : 8",
        "M42 : O",
        "M43 : 45 €",
        "--- M44 ---",
        "Rempotage prévu.",
        "",
        "--- M45 ---",
        "01/03/2020 *** Taille *** ligne 1",
        "01/03/2020 *** Taille *** ligne 2",
    };
    ASSERT_EQ(p.lines.size(), expectedText.size());
    for (std::size_t i = 0; i < p.lines.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(p.lines[i].text, expectedText[i]);
        EXPECT_EQ(p.lines[i].x, 200);
        const bool title = expectedText[i].starts_with("--- ");
        EXPECT_EQ(p.lines[i].style, title ? TextStyle::Bold : TextStyle::Regular);
    }
}

TEST(PagePlan, OnlyWorksSkipsTheCardFileAndMovesTheWorksUp) {
    Readers r;
    const PagePlan p = planPrintout(kId, 159, 100, {false, true}, kA4At600, r.sources(), msg);
    EXPECT_EQ(r.cardReads, 0);
    EXPECT_EQ(r.worksReads, 1);
    EXPECT_EQ(ys(p), (std::vector<int>{700 + 300, 700 + 550, 700 + 650, 700 + 750}));
    EXPECT_EQ(p.lines[1].text, "--- M45 ---");
    EXPECT_EQ(p.photo, (PlanRect{201, 201, 199 + 7 * 159, 199 + 700}));
}

TEST(PagePlan, OnlyCardNeverOpensTheWorksFile) {
    Readers r;
    const PagePlan p = planPrintout(kId, 159, 159, {true, false}, kA4At600, r.sources(), msg);
    EXPECT_EQ(r.cardReads, 1);
    EXPECT_EQ(r.worksReads, 0);
    ASSERT_EQ(p.lines.size(), 16u);
    EXPECT_EQ(p.lines.back().y, 3363);
    for (const auto& l : p.lines) EXPECT_NE(l.text, "--- M45 ---");
}

TEST(PagePlan, AReaderFailureStopsThePlanBeforeTheNextRead) {
    Readers r;
    PrintSources s = r.sources();
    s.readCard = [&]() -> TreeCard { throw IoError("open", "FICHES/x.SIG", "missing"); };
    EXPECT_THROW(planPrintout(kId, 159, 159, {true, true}, kA4At600, s, msg), IoError);
    EXPECT_EQ(r.worksReads, 0);
}

TEST(PagePlan, EmptyWorksFieldsKeepBothSeparators) {
    PageInput in;
    in.treeId = kId;
    in.photoWidth = in.photoHeight = 159;
    in.choice = {false, true};
    in.page = kA4At600;
    in.works = {{"05/05/2021", "Rempotage", ""}, {"06/05/2021", "", "vu"}, {}};
    const PagePlan p = layoutPage(in, msg);
    ASSERT_EQ(p.lines.size(), 5u);
    EXPECT_EQ(p.lines[2].text, "05/05/2021 *** Rempotage *** ");
    EXPECT_EQ(p.lines[3].text, "06/05/2021 ***  *** vu");
    EXPECT_EQ(p.lines[4].text, " ***  *** ");
}

TEST(PagePlan, AnEmptyWorksFileLeavesTheTitleAlone) {
    PageInput in;
    in.treeId = kId;
    in.photoWidth = in.photoHeight = 159;
    in.choice = {true, true};
    in.page = kA4At600;
    in.card = sampleCard();
    const PagePlan p = layoutPage(in, msg);
    ASSERT_EQ(p.lines.size(), 17u);
    EXPECT_EQ(p.lines.back().text, "--- M45 ---");
    EXPECT_EQ(p.lines.back().y, 3613);
}

TEST(PagePlan, LinesBelowThePageAreLeftOutNotMovedToASecondPage) {
    Readers r;
    r.works = sampleWorks(40);
    const PagePlan p = planPrintout(kId, 159, 159, {true, true}, {4960, 7000}, r.sources(), msg);
    // Works line k is at 3613 + 100 k: line 33 at 6913 fits, line 34 at 7013 does not.
    ASSERT_EQ(p.lines.size(), 17u + 33u);
    EXPECT_EQ(p.lines.back().text, "01/03/2020 *** Taille *** ligne 33");
    EXPECT_EQ(p.lines.back().y, 6913);
    for (const auto& l : p.lines) EXPECT_LT(l.y, 7000);

    // A line starting exactly at the bottom edge would show nothing: left out too.
    const PagePlan edge = planPrintout(kId, 159, 159, {true, true}, {4960, 6913}, r.sources(), msg);
    EXPECT_EQ(edge.lines.back().y, 6813);
}

TEST(PagePlan, LabelsComeFromTheMessageTable) {
    std::set<int> asked;
    const MessageLookup lookup = [&](int n) {
        asked.insert(n);
        return n == 33 ? std::string("Nom de l'arbre") : "#" + std::to_string(n);
    };
    Readers r;
    const PagePlan p = planPrintout(kId, 159, 159, {true, true}, kA4At600, r.sources(), lookup);
    std::set<int> all;
    for (int n = 31; n <= 45; ++n) all.insert(n);
    EXPECT_EQ(asked, all);
    EXPECT_EQ(p.lines[2].text, "Nom de l'arbre : Mon érable");
    EXPECT_EQ(p.lines[6].text, "--- #37 ---");

    asked.clear();
    planPrintout(kId, 159, 159, {false, true}, kA4At600, r.sources(), lookup);
    EXPECT_EQ(asked, (std::set<int>{31, 45}));
}

TEST(PagePlan, NotesPrintAsTheirTwoStoredPartsOnSingleLines) {
    PageInput in;
    in.treeId = kId;
    in.photoWidth = in.photoHeight = 159;
    in.choice = {true, false};
    in.page = kA4At600;
    // 249 'é' then a line break: the part boundary falls between CR and LF, as stored.
    for (int i = 0; i < 249; ++i) in.card.notes += "é";
    in.card.notes += "\r\nsuite\tfin";
    in.card.treeName = "deux\nlignes";
    const PagePlan p = layoutPage(in, msg);
    ASSERT_EQ(p.lines.size(), 16u);
    std::string first;
    for (int i = 0; i < 249; ++i) first += "é";
    EXPECT_EQ(p.lines[14].text, first + " ");
    EXPECT_EQ(p.lines[15].text, " suite fin");
    EXPECT_EQ(p.lines[2].text, "M33 : deux lignes");
}

TEST(PagePlan, SingleLineTurnsEachBreakIntoOneSpace) {
    EXPECT_EQ(singleLine("a\r\nb\nc\rd"), "a b c d");
    EXPECT_EQ(singleLine("\x01x\x7F"), " x ");
    EXPECT_EQ(singleLine("Érable"), "Érable");
}
