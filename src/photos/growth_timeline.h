#pragma once
// A tree's story along a time axis: its photos and works lines placed by date, the tree's age at
// each photo, the photos a growth sheet takes by default and the pairs a then-and-now comparison
// steps through. Pure: it reads no file and decodes no picture; the windows draw what it plans.
//
// Only dates that pass the date check stand on the axis. A record whose stored date does not
// (a hand-edited or damaged file) is kept off it and listed in Timeline::undated, so the window
// can say which records it could not place instead of putting them at a made-up day.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cards/card_record.h"
#include "common/dates.h"
#include "imaging/imaging.h"
#include "photos/gallery_file.h"
#include "works/works_line.h"

namespace tavo {

// ---- Dates and ages ------------------------------------------------------------------------

// The tree's age in whole years; `estimated` when the card says its age is only estimated.
struct TreeAge {
    int years = 0;
    bool estimated = false;
    friend bool operator==(const TreeAge&, const TreeAge&) = default;
};

// What the card says about the tree's age. Both the acquisition date and the age must be
// usable for any age to be shown: the age field is free text of three characters, and only a
// whole number (blanks around it allowed) counts; anything else gives no age at all rather
// than a guess.
struct AgeBasis {
    std::optional<Date> acquired;
    std::optional<int> ageAtAcquisition;
    bool estimated = false;

    bool known() const { return acquired && ageAtAcquisition; }
};
AgeBasis ageBasis(const TreeCard& card);

// The age at `date`: the age at acquisition plus the whole years from the acquisition to that
// date. The age goes up on each anniversary of the acquisition (a tree acquired on 29 February
// ages on 1 March in other years). Before the acquisition the same anniversaries count back, so
// a seller's photo shows the age the tree had then: one year less a month before, two years
// less 18 months before. No age when the basis is unknown or when counting back would give a
// negative age: the dates then contradict the card.
std::optional<TreeAge> ageAt(const AgeBasis& basis, Date date);

// "12 ans", "~1 an": the years, a space and the unit, "~" in front when estimated. `singular`
// serves 0 and 1 (the French rule), `plural` every other count.
std::string ageText(const TreeAge& age, const std::string& singular, const std::string& plural);

// ---- The timeline --------------------------------------------------------------------------

struct TimelinePhoto {
    std::size_t position = 0;  // in the gallery file, from 1: what the photo editor is given
    PhotoRecord record;
    Date date;
    int day = 0;
    std::optional<TreeAge> age;
};

struct TimelineWork {
    std::size_t line = 0;  // in the works file, from 1
    WorksLine work;
    int day = 0;
};

// A record left off the axis because its stored date is not a date.
struct UndatedEntry {
    enum class Kind { Photo, Work, Acquisition };
    Kind kind = Kind::Photo;
    std::size_t number = 0;  // photo position or works line, from 1; 0 for the acquisition
    std::string date;        // the stored text, as it is
    std::string name;        // photo file name, intervention type, or empty
    friend bool operator==(const UndatedEntry&, const UndatedEntry&) = default;
};

struct Timeline {
    std::vector<TimelinePhoto> photos;  // by day; same day: gallery order
    std::vector<TimelineWork> works;    // by day; same day: file order
    std::optional<int> acquisitionDay;
    std::vector<UndatedEntry> undated;  // photos first (gallery order), then works, then the card
    int firstDay = 0;                   // span of everything on the axis; 0..0 when nothing is
    int lastDay = 0;

    bool emptyAxis() const { return photos.empty() && works.empty() && !acquisitionDay; }
};

// The timeline of one tree from its records as read (gallery and works file order). An empty
// acquisition date is simply absent; a filled one that is not a date is listed in `undated`.
Timeline buildTimeline(const TreeCard& card, const std::vector<PhotoRecord>& photos,
                       const std::vector<WorksLine>& works);

// ---- Placing it at a zoom ------------------------------------------------------------------

// Zoom limits, in pixels per day: about 7 pixels per year up to a photo's width per day.
inline constexpr double kMinPixelsPerDay = 0.02;
inline constexpr double kMaxPixelsPerDay = 16.0;

struct TimelineGeometry {
    double pixelsPerDay = 0.5;
    int margin = 80;        // before the first day and after the last; at least half a card
    int cardWidth = 120;    // a photo's place on the strip: thumbnail and caption
    int cardGap = 8;        // between two cards of one lane
    int lanes = 3;          // cards stacked above one another before they are pushed along
    int yearLabelGap = 48;  // least distance between two labelled years
};

struct PlacedPhoto {
    int anchorX = 0;  // the photo's date on the axis
    int left = 0;     // its card: centred on the anchor when there is room, else pushed right
    int lane = 0;     // 0 nearest the axis
};

struct YearMark {
    int year = 0;
    int x = 0;
    bool labelled = false;  // every year gets a tick; labels thin out as the zoom shrinks
    friend bool operator==(const YearMark&, const YearMark&) = default;
};

struct TimelineLayout {
    int width = 0;      // of the whole strip, cards included
    int lanesUsed = 0;  // lanes holding at least one card
    int firstDay = 0;
    int margin = 0;
    double pixelsPerDay = 1;
    std::vector<PlacedPhoto> photos;  // one per Timeline::photos, same order
    std::vector<int> worksX;          // one per Timeline::works
    std::vector<YearMark> years;
    std::optional<int> acquisitionX;

    int xOfDay(double day) const;
    double dayAtX(double x) const;
};

// Places every item for `geometry`. Cards are centred on their date; a card that would overlap
// the card before it in every lane goes to the lane that frees first, pushed right just enough,
// so no two cards ever overlap and their left edges never go backwards in time order. The zoom
// is clamped to the limits above.
TimelineLayout layoutTimeline(const Timeline& timeline, const TimelineGeometry& geometry);

// The zoom that shows the whole span in `viewWidth` pixels, within the limits.
double fitZoom(const Timeline& timeline, int viewWidth, const TimelineGeometry& geometry);

// The zoom after `steps` wheel notches (positive zooms in), 1.25 per notch, within the limits.
double zoomBy(double pixelsPerDay, int steps);

// The photos (indices into Timeline::photos, a half-open range) whose cards meet the band of
// x from `left` to `right`: the ones a scrolled window must draw, so only they are decoded.
std::pair<std::size_t, std::size_t> photosInBand(const TimelineLayout& layout, int cardWidth,
                                                 int left, int right);

// ---- Then and now --------------------------------------------------------------------------

// Two photos compared, as indices into Timeline::photos; `earlier` < `later`.
struct ComparePair {
    std::size_t earlier = 0;
    std::size_t later = 0;
    friend bool operator==(const ComparePair&, const ComparePair&) = default;
};

// The pair of two different photos among `count`, earlier first; nullopt when they are the same
// photo or one is out of range.
std::optional<ComparePair> makeComparePair(std::size_t a, std::size_t b, std::size_t count);

// The pair moved one photo back (`step` < 0) or forward in time: both photos move, so the two
// stay as far apart as the user chose them. At either end the pair stays where it is.
ComparePair stepComparePair(ComparePair pair, int step, std::size_t count);

// Where two photos stand side by side at the same height `height` in a picture saved for
// sharing: `gap` around and between them, `captionHeight` below for their captions.
struct SideBySide {
    Size canvas;
    Rect first;
    Rect second;
    Rect firstCaption;
    Rect secondCaption;
};
SideBySide sideBySide(Size first, Size second, int height, int gap, int captionHeight);

// The two pictures drawn side by side on `background` as `layout` says, caption areas left
// empty for the window to write in.
Image composeSideBySide(const Image& first, const Image& second, const SideBySide& layout,
                        Rgb background);

// ---- Growth sheet --------------------------------------------------------------------------

inline constexpr std::size_t kMaxSheetPhotos = 12;

// The photos a growth sheet takes by default: the latest photo of each year, in date order.
// With more than 12 years, 12 of them spread evenly over the whole span, first and last year
// always among them, so the sheet still tells the whole story.
std::vector<std::size_t> defaultSheetPhotos(const Timeline& timeline);

// The photos the user chose, in date order and each once. RefusedError for more than 12 or for
// an index that is not a photo of the timeline.
std::vector<std::size_t> chosenSheetPhotos(const Timeline& timeline,
                                           std::vector<std::size_t> chosen);

}  // namespace tavo
