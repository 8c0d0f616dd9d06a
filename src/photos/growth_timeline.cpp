#include "photos/growth_timeline.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "common/errors.h"

namespace tavo {

namespace {

std::optional<int> wholeNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    std::size_t end = text.size();
    while (end > i && text[end - 1] == ' ') --end;
    if (i == end) return std::nullopt;
    int value = 0;
    for (; i < end; ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

double clampZoom(double pixelsPerDay) {
    if (!(pixelsPerDay > kMinPixelsPerDay)) return kMinPixelsPerDay;  // NaN too
    return std::min(pixelsPerDay, kMaxPixelsPerDay);
}

// Years between two labels: the smallest of these steps whose labels stand far enough apart.
int yearLabelStep(double pixelsPerDay, int labelGap) {
    for (int step : {1, 2, 5, 10, 20, 50, 100})
        if (step * 365.25 * pixelsPerDay >= labelGap) return step;
    return 200;
}

}  // namespace

AgeBasis ageBasis(const TreeCard& card) {
    AgeBasis basis;
    basis.acquired = parseDate(card.acquisitionDate);
    basis.ageAtAcquisition = wholeNumber(card.age);
    basis.estimated = card.ageEstimated == "O";
    return basis;
}

std::optional<TreeAge> ageAt(const AgeBasis& basis, Date date) {
    if (!basis.known()) return std::nullopt;
    const int years = *basis.ageAtAcquisition + wholeYears(*basis.acquired, date);
    if (years < 0) return std::nullopt;
    return TreeAge{years, basis.estimated};
}

std::string ageText(const TreeAge& age, const std::string& singular, const std::string& plural) {
    std::string text = age.estimated ? "~" : "";
    text += std::to_string(age.years) + " " + (age.years <= 1 ? singular : plural);
    return text;
}

Timeline buildTimeline(const TreeCard& card, const std::vector<PhotoRecord>& photos,
                       const std::vector<WorksLine>& works) {
    Timeline t;
    const AgeBasis basis = ageBasis(card);

    for (std::size_t i = 0; i < photos.size(); ++i) {
        const auto date = parseDate(photos[i].date);
        if (!date) {
            t.undated.push_back(
                {UndatedEntry::Kind::Photo, i + 1, photos[i].date, photos[i].fileName});
            continue;
        }
        t.photos.push_back({i + 1, photos[i], *date, dayNumber(*date), ageAt(basis, *date)});
    }
    for (std::size_t i = 0; i < works.size(); ++i) {
        const auto date = parseDate(works[i].date);
        if (!date) {
            t.undated.push_back({UndatedEntry::Kind::Work, i + 1, works[i].date, works[i].type});
            continue;
        }
        t.works.push_back({i + 1, works[i], dayNumber(*date)});
    }
    if (basis.acquired) {
        t.acquisitionDay = dayNumber(*basis.acquired);
    } else if (!card.acquisitionDate.empty()) {
        t.undated.push_back({UndatedEntry::Kind::Acquisition, 0, card.acquisitionDate, ""});
    }

    // The files are kept in date order, but a hand-edited one may not be: order by day here,
    // keeping the file order within a day.
    std::stable_sort(t.photos.begin(), t.photos.end(),
                     [](const auto& a, const auto& b) { return a.day < b.day; });
    std::stable_sort(t.works.begin(), t.works.end(),
                     [](const auto& a, const auto& b) { return a.day < b.day; });

    int first = std::numeric_limits<int>::max(), last = std::numeric_limits<int>::min();
    auto span = [&](int day) {
        first = std::min(first, day);
        last = std::max(last, day);
    };
    if (!t.photos.empty()) span(t.photos.front().day), span(t.photos.back().day);
    if (!t.works.empty()) span(t.works.front().day), span(t.works.back().day);
    if (t.acquisitionDay) span(*t.acquisitionDay);
    if (!t.emptyAxis()) t.firstDay = first, t.lastDay = last;
    return t;
}

int TimelineLayout::xOfDay(double day) const {
    return margin + static_cast<int>(std::lround((day - firstDay) * pixelsPerDay));
}

double TimelineLayout::dayAtX(double x) const {
    return firstDay + (x - margin) / pixelsPerDay;
}

TimelineLayout layoutTimeline(const Timeline& t, const TimelineGeometry& g) {
    TimelineLayout l;
    l.firstDay = t.firstDay;
    l.margin = std::max(g.margin, g.cardWidth / 2);
    l.pixelsPerDay = clampZoom(g.pixelsPerDay);
    const int lanes = std::max(g.lanes, 1);
    const int axisEnd = l.xOfDay(t.lastDay);
    int right = axisEnd;

    // laneEnd[k]: the first x a new card of lane k may take.
    std::vector<int> laneEnd(lanes, std::numeric_limits<int>::min());
    l.photos.reserve(t.photos.size());
    for (const TimelinePhoto& p : t.photos) {
        PlacedPhoto placed;
        placed.anchorX = l.xOfDay(p.day);
        const int wanted = placed.anchorX - g.cardWidth / 2;
        const auto free =
            std::find_if(laneEnd.begin(), laneEnd.end(), [&](int end) { return end <= wanted; });
        const auto lane =
            free != laneEnd.end() ? free : std::min_element(laneEnd.begin(), laneEnd.end());
        placed.lane = static_cast<int>(lane - laneEnd.begin());
        placed.left = std::max(wanted, *lane);
        *lane = placed.left + g.cardWidth + g.cardGap;
        l.lanesUsed = std::max(l.lanesUsed, placed.lane + 1);
        right = std::max(right, placed.left + g.cardWidth);
        l.photos.push_back(placed);
    }
    l.worksX.reserve(t.works.size());
    for (const TimelineWork& w : t.works) l.worksX.push_back(l.xOfDay(w.day));
    if (t.acquisitionDay) l.acquisitionX = l.xOfDay(*t.acquisitionDay);
    l.width = right + l.margin;

    if (!t.emptyAxis()) {
        const int step = yearLabelStep(l.pixelsPerDay, g.yearLabelGap);
        const auto newYear = [](int year) { return dayNumber(std::chrono::year{year} / 1 / 1); };
        int year = 1970 + static_cast<int>(std::floor(t.firstDay / 365.2425));
        while (newYear(year) > t.firstDay) --year;
        while (newYear(year + 1) <= t.firstDay) ++year;
        for (;; ++year) {
            const int day = newYear(year);
            if (day > t.lastDay + 366) break;
            const int x = l.xOfDay(day);
            if (x < 0) continue;
            if (x > l.width) break;
            l.years.push_back({year, x, year % step == 0});
        }
    }
    return l;
}

double fitZoom(const Timeline& t, int viewWidth, const TimelineGeometry& g) {
    const int margin = std::max(g.margin, g.cardWidth / 2);
    const int days = std::max(t.lastDay - t.firstDay, 1);
    return clampZoom(static_cast<double>(viewWidth - 2 * margin) / days);
}

double zoomBy(double pixelsPerDay, int steps) {
    return clampZoom(pixelsPerDay * std::pow(1.25, steps));
}

std::pair<std::size_t, std::size_t> photosInBand(const TimelineLayout& l, int cardWidth, int left,
                                                 int right) {
    // Card left edges never go backwards, so both ends of the band are a binary search.
    const auto begin =
        std::partition_point(l.photos.begin(), l.photos.end(),
                             [&](const PlacedPhoto& p) { return p.left + cardWidth <= left; });
    const auto end = std::partition_point(begin, l.photos.end(),
                                          [&](const PlacedPhoto& p) { return p.left < right; });
    return {static_cast<std::size_t>(begin - l.photos.begin()),
            static_cast<std::size_t>(end - l.photos.begin())};
}

std::optional<ComparePair> makeComparePair(std::size_t a, std::size_t b, std::size_t count) {
    if (a == b || a >= count || b >= count) return std::nullopt;
    return ComparePair{std::min(a, b), std::max(a, b)};
}

ComparePair stepComparePair(ComparePair pair, int step, std::size_t count) {
    if (step < 0 && pair.earlier > 0) return {pair.earlier - 1, pair.later - 1};
    if (step > 0 && pair.later + 1 < count) return {pair.earlier + 1, pair.later + 1};
    return pair;
}

SideBySide sideBySide(Size first, Size second, int height, int gap, int captionHeight) {
    auto widthAt = [height](Size s) {
        if (s.width <= 0 || s.height <= 0) return 0;
        return std::max(1, roundHalfEven(static_cast<long double>(s.width) * height / s.height));
    };
    const int w1 = widthAt(first), w2 = widthAt(second);
    SideBySide out;
    out.first = {gap, gap, gap + w1, gap + height};
    out.second = {out.first.right + gap, gap, out.first.right + gap + w2, gap + height};
    out.firstCaption = {out.first.left, out.first.bottom, out.first.right,
                        out.first.bottom + captionHeight};
    out.secondCaption = {out.second.left, out.second.bottom, out.second.right,
                         out.second.bottom + captionHeight};
    out.canvas = {out.second.right + gap, out.firstCaption.bottom + gap};
    return out;
}

Image composeSideBySide(const Image& first, const Image& second, const SideBySide& layout,
                        Rgb background) {
    Image canvas(layout.canvas.width, layout.canvas.height, background);
    stretchInto(canvas, first, layout.first);
    stretchInto(canvas, second, layout.second);
    return canvas;
}

std::vector<std::size_t> defaultSheetPhotos(const Timeline& t) {
    std::vector<std::size_t> latestOfYear;
    for (std::size_t i = 0; i < t.photos.size(); ++i) {
        const bool lastOfItsYear =
            i + 1 == t.photos.size() || t.photos[i + 1].date.year() != t.photos[i].date.year();
        if (lastOfItsYear) latestOfYear.push_back(i);
    }
    if (latestOfYear.size() <= kMaxSheetPhotos) return latestOfYear;

    std::vector<std::size_t> spread;
    const std::size_t n = latestOfYear.size() - 1, k = kMaxSheetPhotos - 1;
    for (std::size_t j = 0; j <= k; ++j)
        spread.push_back(latestOfYear[static_cast<std::size_t>(
            std::lround(static_cast<double>(j) * static_cast<double>(n) / k))]);
    return spread;
}

std::vector<std::size_t> chosenSheetPhotos(const Timeline& t, std::vector<std::size_t> chosen) {
    std::sort(chosen.begin(), chosen.end());
    chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
    if (chosen.size() > kMaxSheetPhotos)
        throw RefusedError("A growth sheet holds at most 12 photos.");
    if (!chosen.empty() && chosen.back() >= t.photos.size())
        throw RefusedError("A chosen photo is not on the timeline.");
    return chosen;
}

}  // namespace tavo
