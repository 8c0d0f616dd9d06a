#include "printing/growth_sheet_plan.h"

#include <gtest/gtest.h>

#include "common/errors.h"

using namespace tavo;

namespace {

const PageSize kA4At600{4960, 7016};

std::string msg(Msg m) {
    return "M" + std::to_string(messageKey(m));
}

bool overlap(const PlanRect& a, const PlanRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// `count` photos dated one year apart, landscape and portrait in turn; every third has no age.
GrowthSheetInput sheet(std::size_t count, PageSize page = kA4At600) {
    GrowthSheetInput in;
    in.treeId = "26034140509042";
    in.treeName = "Mon érable";
    in.page = page;
    for (std::size_t i = 0; i < count; ++i) {
        SheetPhoto p;
        p.date = "01/06/" + std::to_string(2010 + i);
        if (i % 3 != 2) p.age = TreeAge{static_cast<int>(5 + i), i % 2 == 0};
        p.picture = i % 2 == 0 ? Size{600, 450} : Size{450, 600};
        in.photos.push_back(p);
    }
    return in;
}

}  // namespace

TEST(GrowthSheetPlan, FitInsideKeepsProportions) {
    struct Case {
        Size picture, box, fitted;
    } cases[] = {
        {{600, 450}, {1000, 1000}, {1000, 750}}, {{450, 600}, {1000, 1000}, {750, 1000}},
        {{600, 450}, {400, 300}, {400, 300}},    {{600, 450}, {1000, 300}, {400, 300}},
        {{3, 1000}, {10, 10}, {1, 10}},          {{0, 450}, {100, 100}, {0, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fitInside(c.picture, c.box), c.fitted)
            << c.picture.width << "x" << c.picture.height << " in " << c.box.width << "x"
            << c.box.height;
}

TEST(GrowthSheetPlan, PhotosFillTheGridWithTheirCaptionsUnder) {
    struct Case {
        std::size_t count;
        PageSize page;
        int columns, rows;
    } cases[] = {
        {1, kA4At600, 1, 1},
        {5, kA4At600, 2, 3},
        {12, kA4At600, 3, 4},
        {12, {7016, 4960}, 4, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.count) + " photos on " + std::to_string(c.page.width));
        const GrowthSheetInput in = sheet(c.count, c.page);
        const GrowthSheetPlan plan = layoutGrowthSheet(in, msg);
        EXPECT_EQ(plan.columns, c.columns);
        EXPECT_EQ(plan.rows, c.rows);
        ASSERT_EQ(plan.heading.size(), 2u);
        EXPECT_EQ(plan.heading[0].text, "M182 : Mon érable");
        EXPECT_EQ(plan.heading[0].style, TextStyle::Bold);
        EXPECT_EQ(plan.heading[1].text, "M31 : 26034140509042");
        ASSERT_EQ(plan.photos.size(), c.count);

        std::size_t caption = 0;
        for (std::size_t i = 0; i < c.count; ++i) {
            const PlanRect& r = plan.photos[i];
            EXPECT_GT(r.top, plan.heading[1].y + in.lineHeight);
            EXPECT_GE(r.left, 0);
            EXPECT_LE(r.right, c.page.width);
            EXPECT_LE(r.bottom, c.page.height);
            // Proportions kept to the pixel.
            EXPECT_NEAR(static_cast<double>(r.width()) * in.photos[i].picture.height /
                            in.photos[i].picture.width,
                        r.height(), 1.0);
            for (std::size_t j = 0; j < i; ++j) EXPECT_FALSE(overlap(r, plan.photos[j])) << j;

            ASSERT_LT(caption, plan.captions.size());
            EXPECT_EQ(plan.captions[caption].text, in.photos[i].date);
            EXPECT_EQ(plan.captions[caption].x, r.left);
            EXPECT_GE(plan.captions[caption].y, r.bottom);
            ++caption;
            if (in.photos[i].age) {
                ASSERT_LT(caption, plan.captions.size());
                EXPECT_EQ(plan.captions[caption].text, ageText(*in.photos[i].age, "M180", "M181"));
                ++caption;
            }
            // The next row's photos start below this photo's captions.
            const std::size_t below = i + static_cast<std::size_t>(plan.columns);
            if (below < c.count) {
                EXPECT_GT(plan.photos[below].top, plan.captions[caption - 1].y + in.lineHeight);
            }
        }
        EXPECT_EQ(caption, plan.captions.size());
    }
    EXPECT_THROW(layoutGrowthSheet(sheet(13), msg), RefusedError);
}
