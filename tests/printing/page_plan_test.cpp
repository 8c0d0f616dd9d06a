#include <gtest/gtest.h>

#include <set>

#include "common/errors.h"
#include "printing/page_plan.h"
#include "support/cards.h"

using namespace tavo;
using test::sampleCard;

namespace {

const std::string kId = "26034140509042";
const PageSize kA4At600{4960, 7016};

std::string msg(Msg m) {
    return "M" + std::to_string(messageKey(m));
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

// The pages of a printout, as the print dialog plans them, without a text measure.
std::vector<PagePlan> pagesOf(int photoWidth, int photoHeight, PrintChoice choice, PageSize page,
                              const PrintSources& sources, const MessageLookup& lookup = msg) {
    PageInput in;
    in.treeId = kId;
    in.treeName = "Mon érable";
    in.photoWidth = photoWidth;
    in.photoHeight = photoHeight;
    in.choice = choice;
    in.page = page;
    return planPrintout(in, sources, lookup);
}

PagePlan firstPage(int photoWidth, int photoHeight, PrintChoice choice, PageSize page,
                   const PrintSources& sources, const MessageLookup& lookup = msg) {
    return pagesOf(photoWidth, photoHeight, choice, page, sources, lookup).front();
}

std::vector<int> ys(const PagePlan& p) {
    std::vector<int> v;
    for (const auto& l : p.lines) v.push_back(l.y);
    return v;
}

}  // namespace

TEST(PagePlan, BothPartsWithTallPhotoFollowTheFixedPositions) {
    Readers r;
    const PagePlan p = firstPage(120, 159, {true, true}, kA4At600, r.sources(), msg);

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
    const PagePlan p = firstPage(159, 100, {false, true}, kA4At600, r.sources(), msg);
    EXPECT_EQ(r.cardReads, 0);
    EXPECT_EQ(r.worksReads, 1);
    EXPECT_EQ(ys(p), (std::vector<int>{700 + 300, 700 + 550, 700 + 650, 700 + 750}));
    EXPECT_EQ(p.lines[1].text, "--- M45 ---");
    EXPECT_EQ(p.photo, (PlanRect{201, 201, 199 + 7 * 159, 199 + 700}));
}

TEST(PagePlan, OnlyCardNeverOpensTheWorksFile) {
    Readers r;
    const PagePlan p = firstPage(159, 159, {true, false}, kA4At600, r.sources(), msg);
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
    EXPECT_THROW(firstPage(159, 159, {true, true}, kA4At600, s, msg), IoError);
    EXPECT_EQ(r.worksReads, 0);
}

TEST(PagePlan, EmptyWorksFieldsKeepBothSeparators) {
    PageInput in;
    in.treeId = kId;
    in.photoWidth = in.photoHeight = 159;
    in.choice = {false, true};
    in.page = kA4At600;
    in.works = {{"05/05/2021", "Rempotage", ""}, {"06/05/2021", "", "vu"}, {}};
    const PagePlan p = layoutPages(in, msg).front();
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
    const PagePlan p = layoutPages(in, msg).front();
    ASSERT_EQ(p.lines.size(), 17u);
    EXPECT_EQ(p.lines.back().text, "--- M45 ---");
    EXPECT_EQ(p.lines.back().y, 3613);
}

TEST(PagePlan, ALongWorksLogGoesOnOverNumberedPagesWithNoLineCut) {
    const MessageLookup lookup = [](Msg m) { return m == Msg::PageNumber ? "page %1/%2" : msg(m); };
    struct Case {
        int works;
        PageSize page;
        std::size_t pages;
    };
    for (const Case c : {Case{2, kA4At600, 1}, Case{33, {4960, 7000}, 2}, Case{100, kA4At600, 3}}) {
        SCOPED_TRACE(c.works);
        Readers r;
        r.works = sampleWorks(c.works);
        const std::vector<PagePlan> pages =
            pagesOf(159, 159, {true, true}, c.page, r.sources(), lookup);
        ASSERT_EQ(pages.size(), c.pages);
        std::vector<std::string> printed;
        for (std::size_t n = 0; n < pages.size(); ++n) {
            const PagePlan& page = pages[n];
            EXPECT_EQ(page.frame, (PlanRect{0, 0, c.page.width, c.page.height}));
            EXPECT_EQ(page.photo.width() > 0, n == 0);
            std::vector<PlanText> body = page.lines;
            if (pages.size() > 1) {
                EXPECT_EQ(body.back().text,
                          "page " + std::to_string(n + 1) + "/" + std::to_string(pages.size()));
                EXPECT_EQ(body.back().y, c.page.height - 200);
                body.pop_back();
            }
            if (n > 0) {
                EXPECT_EQ(body.front().text, "Mon érable - M31 : " + kId);
                EXPECT_EQ(body.front().y, 200);
                body.erase(body.begin());
            }
            // Every line starts a step above the page number's room.
            for (const PlanText& l : body) EXPECT_LE(l.y, c.page.height - 300) << l.text;
            for (const PlanText& l : body) printed.push_back(l.text);
        }
        // The first page keeps its fixed positions; no works line is lost or repeated.
        EXPECT_EQ(pages[0].lines[17].y, 3713);
        std::vector<std::string> works(printed.begin() + 17, printed.end());
        ASSERT_EQ(works.size(), static_cast<std::size_t>(c.works));
        for (int k = 1; k <= c.works; ++k)
            EXPECT_EQ(works[k - 1], "01/03/2020 *** Taille *** ligne " + std::to_string(k));
    }
}

TEST(PagePlan, WideTextsWrapWithinTheFrame) {
    // Ten units per byte on a page 1400 wide: 1000 units, 100 bytes, fit between the margins.
    const TextMeasure measure = [](const std::string& t, TextStyle) {
        return static_cast<int>(t.size()) * 10;
    };
    std::string words;
    for (int i = 0; i < 40; ++i) words += "branche" + std::to_string(i) + " ";
    std::string accents;
    for (int i = 0; i < 120; ++i) accents += "é";
    for (const std::string& comment : {words, accents}) {
        PageInput in;
        in.treeId = kId;
        in.choice = {false, true};
        in.page = {1400, 7016};
        in.measure = measure;
        in.lineHeight = 50;
        in.works = {{"01/03/2020", "Ligature", comment}};
        const std::vector<PagePlan> pages = layoutPages(in, msg);
        ASSERT_EQ(pages.size(), 1u);
        const std::vector<PlanText>& lines = pages[0].lines;
        ASSERT_GE(lines.size(), 4u);
        std::string joined;
        for (std::size_t i = 2; i < lines.size(); ++i) {
            EXPECT_LE(measure(lines[i].text, lines[i].style), 1000) << lines[i].text;
            EXPECT_EQ(lines[i].y, lines[i - 1].y + 100);
            // Never cut inside a character.
            EXPECT_NE(static_cast<unsigned char>(lines[i].text[0]) & 0xC0, 0x80);
            joined += (joined.empty() || comment == accents ? "" : " ") + lines[i].text;
        }
        EXPECT_EQ(joined, "01/03/2020 *** Ligature *** " + comment);
    }
}

TEST(PagePlan, LabelsComeFromTheMessageTable) {
    std::set<int> asked;
    const MessageLookup lookup = [&](Msg m) {
        asked.insert(messageKey(m));
        return m == Msg::TreeName ? std::string("Nom de l'arbre") : "#" + msg(m).substr(1);
    };
    Readers r;
    const PagePlan p = firstPage(159, 159, {true, true}, kA4At600, r.sources(), lookup);
    std::set<int> all;
    for (int n = 31; n <= 45; ++n) all.insert(n);
    EXPECT_EQ(asked, all);
    EXPECT_EQ(p.lines[2].text, "Nom de l'arbre : Mon érable");
    EXPECT_EQ(p.lines[6].text, "--- #37 ---");

    asked.clear();
    firstPage(159, 159, {false, true}, kA4At600, r.sources(), lookup);
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
    const PagePlan p = layoutPages(in, msg).front();
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
