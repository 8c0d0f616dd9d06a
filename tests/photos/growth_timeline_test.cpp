#include "photos/growth_timeline.h"

#include <gtest/gtest.h>

#include "common/errors.h"
#include "photos/growth_sources.h"
#include "support/growth_records.h"
#include "support/temp_dir.h"

using namespace tavo;
using namespace std::chrono_literals;
using test::acquiredCard;
using test::datedPhotos;
using test::datedWorks;

namespace {

std::vector<std::size_t> positions(const Timeline& t) {
    std::vector<std::size_t> p;
    for (const auto& photo : t.photos) p.push_back(photo.position);
    return p;
}

std::string shownAge(const TimelinePhoto& p) {
    return p.age ? ageText(*p.age, "an", "ans") : "";
}

}  // namespace

TEST(GrowthTimeline, AgeAtEachPhotoCountsAnniversariesOfTheAcquisition) {
    struct Case {
        const char* acquired;
        const char* age;
        bool estimated;
        const char* photo;
        const char* shown;
    } cases[] = {
        {"12/04/2019", "8", false, "12/04/2019", "8 ans"},
        {"12/04/2019", "8", true, "11/04/2024", "~12 ans"},  // the day before the anniversary
        {"12/04/2019", "8", true, "12/04/2024", "~13 ans"},
        {"12/04/2019", "0", false, "01/06/2020", "1 an"},
        {"12/04/2019", "8", false, "12/03/2019", "7 ans"},  // before the acquisition
        {"12/04/2019", "8", false, "12/10/2017", "6 ans"},
        {"12/04/2019", "1", false, "01/01/2017", ""},  // would be negative
        {"29/02/2020", "5", false, "28/02/2021", "5 ans"},
        {"29/02/2020", "5", false, "01/03/2021", "6 ans"},
        {"", "8", false, "01/06/2020", ""},            // no acquisition date
        {"31/02/2019", "8", false, "01/06/2020", ""},  // a stored date that is none
        {"12/04/2019", " 8 ", false, "12/04/2020", "9 ans"},
        {"12·04·2019", "8", false, " 1/ 6/2020", "9 ans"},  // any separator, blanks in groups
        {"12/04/2019", "10+", false, "12/04/2020", ""},     // not a number of years
        {"12/04/2019", "", false, "12/04/2020", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.acquired) + " age " + c.age + " photo " + c.photo);
        const Timeline t =
            buildTimeline(acquiredCard(c.acquired, c.age, c.estimated), datedPhotos({c.photo}), {});
        ASSERT_EQ(t.photos.size(), 1u);
        EXPECT_EQ(shownAge(t.photos[0]), c.shown);
    }
}

TEST(GrowthTimeline, OrdersByDayAndListsWhatHasNoDate) {
    // A hand-edited gallery: out of order, two photos on one day, three dates that are none.
    const auto photos = datedPhotos(
        {"05/06/2021", "31/02/2020", "01/03/2020", "05/06/2021", "", "ab/cd/efgh", "14/07/2019"});
    const auto works = datedWorks({"02/03/2020", "32/01/2020", "01/01/2018"});
    const Timeline t = buildTimeline(acquiredCard("3/5/2010", "8"), photos, works);

    EXPECT_EQ(positions(t), (std::vector<std::size_t>{7, 3, 1, 4}));
    EXPECT_EQ(t.photos[2].day, t.photos[3].day);
    ASSERT_EQ(t.works.size(), 2u);
    EXPECT_EQ(t.works[0].line, 3u);
    EXPECT_EQ(t.firstDay, dayNumber(2018y / 1 / 1));
    EXPECT_EQ(t.lastDay, dayNumber(2021y / 6 / 5));
    using K = UndatedEntry::Kind;
    EXPECT_EQ(t.undated, (std::vector<UndatedEntry>{
                             {K::Photo, 2, "31/02/2020", photos[1].fileName},
                             {K::Photo, 5, "", photos[4].fileName},
                             {K::Photo, 6, "ab/cd/efgh", photos[5].fileName},
                             {K::Work, 2, "32/01/2020", "Taille 2"},
                             {K::Acquisition, 0, "3/5/2010", ""},
                         }));

    const Timeline empty = buildTimeline(acquiredCard("", ""), {}, {});
    EXPECT_TRUE(empty.emptyAxis());
    EXPECT_TRUE(empty.undated.empty());
    EXPECT_EQ(layoutTimeline(empty, {}).photos.size(), 0u);
}

TEST(TimelineLayout, CardsNeverOverlapAndStayByTheirDates) {
    // Same-day photos, a crowded month, and a photo alone years later.
    const Timeline t =
        buildTimeline(acquiredCard("01/01/2015", "3"),
                      datedPhotos({"01/05/2015", "01/05/2015", "01/05/2015", "02/05/2015",
                                   "10/05/2015", "20/05/2015", "01/06/2015", "01/06/2020"}),
                      {});
    struct Case {
        double zoom;
        int lanes;
    } cases[] = {{0.02, 3}, {0.5, 3}, {0.5, 1}, {4, 2}, {16, 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE("zoom " + std::to_string(c.zoom) + " lanes " + std::to_string(c.lanes));
        TimelineGeometry g;
        g.pixelsPerDay = c.zoom;
        g.lanes = c.lanes;
        const TimelineLayout l = layoutTimeline(t, g);
        ASSERT_EQ(l.photos.size(), t.photos.size());
        EXPECT_LE(l.lanesUsed, c.lanes);
        for (std::size_t i = 0; i < l.photos.size(); ++i) {
            const PlacedPhoto& p = l.photos[i];
            EXPECT_EQ(p.anchorX, l.xOfDay(t.photos[i].day));
            EXPECT_GE(p.left, p.anchorX - g.cardWidth / 2) << i;
            EXPECT_GE(p.left, 0);
            EXPECT_LE(p.left + g.cardWidth, l.width);
            if (i > 0) {
                EXPECT_GE(p.left, l.photos[i - 1].left) << i;
            }
            for (std::size_t j = 0; j < i; ++j) {
                if (l.photos[j].lane == p.lane) {
                    EXPECT_GE(p.left, l.photos[j].left + g.cardWidth + g.cardGap) << j << i;
                }
            }
        }
        // The first photo stands centred on its date, and so does the one alone once the
        // zoom leaves room for it.
        EXPECT_EQ(l.photos.front().left, l.photos.front().anchorX - g.cardWidth / 2);
        if (c.zoom >= 0.5) {
            EXPECT_EQ(l.photos.back().left, l.photos.back().anchorX - g.cardWidth / 2);
        }
        if (c.lanes >= 3) {
            EXPECT_EQ(l.photos[2].lane, 2);  // stacked, not pushed along
        }

        // The band query finds exactly the cards a brute-force scan finds.
        for (int left = -200; left < l.width + 200; left += 97) {
            const int right = left + 300;
            std::size_t first = l.photos.size(), last = 0;
            for (std::size_t i = 0; i < l.photos.size(); ++i)
                if (l.photos[i].left < right && l.photos[i].left + g.cardWidth > left)
                    first = std::min(first, i), last = i + 1;
            const auto band = photosInBand(l, g.cardWidth, left, right);
            if (first == l.photos.size()) {
                EXPECT_EQ(band.first, band.second) << left;
            } else {
                EXPECT_EQ(band, std::make_pair(first, last)) << left;
            }
        }
    }
}

TEST(TimelineLayout, YearsWorksAndZoomSitOnOneAxis) {
    const Timeline t =
        buildTimeline(acquiredCard("15/03/2001", "5"), datedPhotos({"01/07/2003", "30/06/2024"}),
                      datedWorks({"10/10/2010"}));
    TimelineGeometry g;
    g.pixelsPerDay = 1.0;
    TimelineLayout l = layoutTimeline(t, g);
    EXPECT_EQ(l.acquisitionX, l.margin);
    EXPECT_EQ(l.worksX, (std::vector<int>{l.xOfDay(dayNumber(2010y / 10 / 10))}));
    ASSERT_FALSE(l.years.empty());
    EXPECT_EQ(l.years.front(), (YearMark{2001, l.xOfDay(dayNumber(2001y / 1 / 1)), true}));
    EXPECT_EQ(l.years[1].year, 2002);
    EXPECT_EQ(l.years.back().year, 2024);
    EXPECT_DOUBLE_EQ(l.dayAtX(l.xOfDay(dayNumber(2010y / 10 / 10))), dayNumber(2010y / 10 / 10));

    // Zoomed far out, only every 5th (then 10th) year keeps its label.
    for (auto [zoom, step] : {std::pair{0.05, 5}, std::pair{0.02, 10}}) {
        g.pixelsPerDay = zoom;
        l = layoutTimeline(t, g);
        for (const YearMark& y : l.years) EXPECT_EQ(y.labelled, y.year % step == 0) << y.year;
    }

    EXPECT_DOUBLE_EQ(zoomBy(1.0, 2), 1.5625);
    EXPECT_DOUBLE_EQ(zoomBy(1.0, -100), kMinPixelsPerDay);
    EXPECT_DOUBLE_EQ(zoomBy(10.0, 5), kMaxPixelsPerDay);
    g.pixelsPerDay = fitZoom(t, 1200, g);
    l = layoutTimeline(t, g);
    EXPECT_LE(l.xOfDay(t.lastDay) + l.margin, 1200);
    EXPECT_GE(l.xOfDay(t.lastDay) + l.margin, 1195);
}

TEST(ComparePair, StepsThroughTimeKeepingTheGap) {
    EXPECT_EQ(makeComparePair(4, 1, 6), (ComparePair{1, 4}));
    EXPECT_FALSE(makeComparePair(2, 2, 6));
    EXPECT_FALSE(makeComparePair(2, 6, 6));

    struct Case {
        ComparePair from;
        int step;
        ComparePair to;
    } cases[] = {
        {{1, 4}, +1, {2, 5}}, {{1, 4}, -1, {0, 3}}, {{0, 3}, -1, {0, 3}},
        {{2, 5}, +1, {2, 5}}, {{0, 5}, +1, {0, 5}}, {{0, 5}, -1, {0, 5}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(stepComparePair(c.from, c.step, 6), c.to)
            << c.from.earlier << "," << c.from.later << " step " << c.step;
}

TEST(ComparePair, SideBySideKeepsBothPhotosAtOneHeight) {
    const SideBySide s = sideBySide({600, 450}, {450, 600}, 300, 10, 40);
    EXPECT_EQ(s.first, (Rect{10, 10, 410, 310}));
    EXPECT_EQ(s.second, (Rect{420, 10, 645, 310}));
    EXPECT_EQ(s.secondCaption, (Rect{420, 310, 645, 350}));
    EXPECT_EQ(s.canvas, (Size{655, 360}));

    const Image picture =
        composeSideBySide(Image(60, 45, Rgb{200, 0, 0}), Image(45, 60, Rgb{0, 0, 200}), s, kWhite);
    EXPECT_EQ(picture.size(), s.canvas);
    EXPECT_EQ(picture.pixel(200, 150), (Rgb{200, 0, 0}));
    EXPECT_EQ(picture.pixel(530, 150), (Rgb{0, 0, 200}));
    EXPECT_EQ(picture.pixel(415, 150), kWhite);
    EXPECT_EQ(picture.pixel(200, 330), kWhite);
}

TEST(GrowthSheetChoice, TakesTheLatestPhotoOfEachYear) {
    const Timeline t = buildTimeline(
        acquiredCard("", ""),
        datedPhotos({"01/02/2019", "30/12/2019", "05/05/2020", "01/01/2022", "31/12/2022"}), {});
    EXPECT_EQ(defaultSheetPhotos(t), (std::vector<std::size_t>{1, 2, 4}));
    EXPECT_EQ(chosenSheetPhotos(t, {4, 0, 4, 2}), (std::vector<std::size_t>{0, 2, 4}));
    EXPECT_THROW(chosenSheetPhotos(t, {5}), RefusedError);

    // Thirty years, two photos each: twelve spread over the whole span, first and last kept.
    std::vector<std::string> dates;
    for (int y = 1990; y < 2020; ++y)
        for (const char* d : {"01/03/", "01/09/"}) dates.push_back(d + std::to_string(y));
    const Timeline decades = buildTimeline(acquiredCard("", ""), datedPhotos(dates), {});
    const auto chosen = defaultSheetPhotos(decades);
    ASSERT_EQ(chosen.size(), kMaxSheetPhotos);
    EXPECT_EQ(decades.photos[chosen.front()].record.date, "01/09/1990");
    EXPECT_EQ(decades.photos[chosen.back()].record.date, "01/09/2019");
    for (std::size_t i = 1; i < chosen.size(); ++i) {
        const int gap =
            (decades.photos[chosen[i]].date.year() - decades.photos[chosen[i - 1]].date.year())
                .count();
        EXPECT_TRUE(gap == 2 || gap == 3) << gap;
    }
    std::vector<std::size_t> thirteen(13);
    for (std::size_t i = 0; i < 13; ++i) thirteen[i] = i;
    EXPECT_THROW(chosenSheetPhotos(decades, thirteen), RefusedError);
}

TEST(GrowthTimeline, ReadsTheTreeFromItsFilesAndShrinksItsPhotos) {
    test::TempDir dir;
    Image photo(600, 450, Rgb{30, 140, 60});
    for (int y = 0; y < 450; ++y)
        for (int x = 300; x < 600; ++x) photo.setPixel(x, y, Rgb{230, 200, 20});
    test::writeGrowthTree(dir.path(), acquiredCard("12/04/2019", "8", true),
                          {"01/05/2020", "xx/05/2020", "01/05/2019"}, {"15/04/2019"}, photo);
    const DataPaths data{dir.path()};

    const Timeline t = readTimeline(data, test::kGrowthTreeId);
    EXPECT_EQ(positions(t), (std::vector<std::size_t>{3, 1}));
    EXPECT_EQ(shownAge(t.photos[1]), "~9 ans");
    ASSERT_EQ(t.works.size(), 1u);
    EXPECT_EQ(t.undated.size(), 1u);

    const Image thumb = timelineThumbnail(data, test::kGrowthTreeId, t.photos[0].record, 96);
    EXPECT_EQ(thumb.size(), (Size{96, 72}));
    EXPECT_EQ(galleryPhoto(data, test::kGrowthTreeId, t.photos[0].record).size(), photo.size());
    for (auto [x, colour] : {std::pair{20, Rgb{30, 140, 60}}, std::pair{76, Rgb{230, 200, 20}}}) {
        const Rgb got = thumb.pixel(x, 36);
        EXPECT_NEAR(got.r, colour.r, 12) << x;
        EXPECT_NEAR(got.g, colour.g, 12) << x;
        EXPECT_NEAR(got.b, colour.b, 12) << x;
    }

    PhotoRecord outside = t.photos[0].record;
    outside.fileName = "../FICHES/" + test::kGrowthTreeId + ".SIG";
    EXPECT_THROW(timelineThumbnail(data, test::kGrowthTreeId, outside, 96), RefusedError);
    std::filesystem::remove(data.galeries() / t.photos[0].record.fileName);
    EXPECT_THROW(timelineThumbnail(data, test::kGrowthTreeId, t.photos[0].record, 96), IoError);
    std::filesystem::remove(data.works(test::kGrowthTreeId));
    EXPECT_THROW(readTimeline(data, test::kGrowthTreeId), IoError);
}
