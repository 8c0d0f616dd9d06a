#pragma once
// The growth sheet: one printed page with up to 12 photos of a tree in date order, each with its
// date and the tree's age then, under a heading with the tree's name and identifier. Pure
// layout in the printer's device units, like the card printout's plan; the renderer draws it.
#include <optional>
#include <string>
#include <vector>

#include "imaging/imaging.h"
#include "photos/growth_timeline.h"
#include "printing/page_plan.h"

namespace tavo {

struct SheetPhoto {
    std::string date;            // as stored
    std::optional<TreeAge> age;  // none: the caption shows the date alone
    Size picture;                // the photo's size in pixels
};

struct GrowthSheetInput {
    std::string treeId;
    std::string treeName;
    std::vector<SheetPhoto> photos;  // in date order, at most 12
    PageSize page;
    int lineHeight = 100;  // one line of the printer font, in device units
};

struct GrowthSheetPlan {
    std::vector<PlanText> heading;   // tree name (bold), then identifier
    std::vector<PlanRect> photos;    // one per input photo (none on a page with no room)
    std::vector<PlanText> captions;  // per photo: its date, then its age when known
    int columns = 0;
    int rows = 0;
};

// Lays the sheet out. The grid takes the number of columns (1 to 4) that gives the photos the
// largest room; each photo keeps its proportions inside its cell, centred across it, and the
// captions of one row line up under the cells. Uses Msg::GrowthOfTheTree (heading),
// Msg::TreeIdentifier, Msg::Year and Msg::Years. RefusedError for more than 12 photos.
GrowthSheetPlan layoutGrowthSheet(const GrowthSheetInput& input, const MessageLookup& message);

// The largest size of `picture`'s proportions that fits inside `box` (halves to even; at least
// one pixel each way for a picture that has any).
Size fitInside(Size picture, Size box);

}  // namespace tavo
