#pragma once
// Prints a tree's growth sheet through the printer path of the card printout: the chosen photos
// are read and decoded first, then the page is laid out for the printer and drawn on it.
#include <QImage>
#include <QString>
#include <cstddef>
#include <string>
#include <vector>

#include "common/paths.h"
#include "printing/growth_sheet_plan.h"

class QPainter;
class QPrinter;

namespace tavo {

// Draws `plan` in the painter's device units: the heading, each photo stretched into its
// rectangle (photos[i] into plan.photos[i]; a null image is left out) and the captions, every
// text with its top at its y, in the painter's font with only its weight switched for bold.
void renderGrowthSheet(QPainter& painter, const GrowthSheetPlan& plan,
                       const std::vector<QImage>& photos);

struct GrowthSheetRequest {
    DataPaths data;
    std::string treeId;
    // Indices into the tree's timeline photos; empty takes the default choice (the latest photo
    // of each year).
    std::vector<std::size_t> chosen;
    MessageLookup message;
    QString title;  // name of the print job
};

// Prints the growth sheet of the tree of `request` on `printer` (already pointed at its
// target). The card, the gallery, the works log and every chosen photo are read before the
// document starts, so a missing or unreadable file stops with nothing sent to the printer.
// Returns the plan that was drawn. Errors: the core's IoError / CodecError / RefusedError, and
// IoError when the printer refuses the document.
GrowthSheetPlan printGrowthSheet(QPrinter& printer, const GrowthSheetRequest& request);

}  // namespace tavo
