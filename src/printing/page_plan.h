#pragma once
// The printed pages of a tree: where the frame, the reference photo and every text line go, in
// the printer's own device units. Pure layout: no drawing, no files; the Qt renderer draws
// exactly what this plan says. The first page holds the photo and the card; a works log too long
// for it goes on over further pages, so no line is ever cut at the bottom or lost.
#include <functional>
#include <string>
#include <vector>

#include "cards/card_record.h"
#include "translation/messages.h"
#include "works/works_line.h"

namespace tavo {

// A rectangle given by its corners as the page layout names them: right and bottom are the
// edges just past the last pixel, so width() = right - left. The frame (0, 0)-(page width,
// page height) thus covers the pixels 0 .. width - 1 and is drawn whole on the page.
struct PlanRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const PlanRect&) const = default;
};

enum class TextStyle { Regular, Bold };

// One text line: its left end at x, the TOP of the text at y (not the baseline), one line of
// text that is never wrapped or clipped by the plan.
struct PlanText {
    int x = 0;
    int y = 0;
    std::string text;  // UTF-8, single line
    TextStyle style = TextStyle::Regular;

    bool operator==(const PlanText&) const = default;
};

struct PagePlan {
    PlanRect frame;
    PlanRect photo;               // stretch the reference photo into this
    std::vector<PlanText> lines;  // in print order; every line fits whole on the page
};

// What the user ticked in the print dialog.
struct PrintChoice {
    bool card = false;   // "Fiche"
    bool works = false;  // "Travaux"
};

// Size of the printable page in device units.
struct PageSize {
    int width = 0;
    int height = 0;
};

// A message of the current language (the printed labels run from Msg::TreeIdentifier to
// Msg::WorksLog, and the page number is Msg::PageNumber).
using MessageLookup = std::function<std::string(Msg)>;

// Width of a text in device units, as the printer's font draws it.
using TextMeasure = std::function<int(const std::string& text, TextStyle style)>;

struct PageInput {
    std::string treeId;
    std::string treeName;          // heads the pages after the first
    TreeCard card;                 // read only when choice.card
    std::vector<WorksLine> works;  // read only when choice.works; file order
    int photoWidth = 0;            // reference photo in pixels (at most 159 x 159)
    int photoHeight = 0;
    PrintChoice choice;
    PageSize page;
    // How wide the printer draws a text, and how tall a line is. Without a measure texts are
    // never wrapped (each is taken to fit across the page).
    TextMeasure measure;
    int lineHeight = 0;
};

// Device-unit constants of the layout.
namespace page_layout {
inline constexpr int kUnitsPerPhotoPixel = 7;
inline constexpr int kPhotoCorner = 201;        // left-top corner of the photo
inline constexpr int kPhotoFarCorner = 199;     // right-bottom = this + 7 x size
inline constexpr int kTextLeft = 200;           // x of every text line
inline constexpr int kTextStart = 200;          // running y starts at this + 7 x H
inline constexpr int kLineStep = 100;           // step before an ordinary line
inline constexpr int kSectionStep = 250;        // step before a section title
inline constexpr std::size_t kNotesPart = 250;  // characters per stored part of the notes
inline constexpr int kMargin = 200;             // inside the frame, around the texts
}  // namespace page_layout

// Lays the pages out from data already in memory. The card and the works lines are used only
// when their part is ticked. With neither part ticked the page holds the identifier line alone
// (the dialog refuses that case before printing).
//
// The first page keeps the fixed positions below the photo. A text wider than the frame wraps
// at spaces (inside a word when a word alone is too wide) onto lines of its own. A text whose
// lines do not all fit above the foot of the page starts the next page, which is headed by the
// tree's name and identifier; with more than one page each page shows "page n/N" at its foot.
std::vector<PagePlan> layoutPages(const PageInput& input, const MessageLookup& message);

// Reads what the ticked parts need, and nothing else. Each reader is called at most once: the
// card reader only when "Fiche" is ticked, before the works reader, which is called only when
// "Travaux" is ticked. A reader's exception propagates unchanged and no plan is made.
struct PrintSources {
    std::function<TreeCard()> readCard;
    std::function<std::vector<WorksLine>()> readWorks;
};

std::vector<PagePlan> planPrintout(PageInput input, const PrintSources& sources,
                                   const MessageLookup& message);

// A field as one printable line: every line break (CR LF, CR or LF) and every other control
// character becomes one space, so a stored multi-line text cannot spill over the next lines.
std::string singleLine(const std::string& text);

}  // namespace tavo
