#pragma once
// Draws the page plan of a tree printout on a printer, in the printer's own device units, and
// prints a tree: reads its photo, card and works log, lays the page out and sends it.
#include <QImage>
#include <QRect>
#include <QString>
#include <functional>
#include <string>

#include "common/paths.h"
#include "printing/page_plan.h"

class QPainter;
class QPrinter;

namespace tavo {

// Draws `plan` on the painter's device exactly where the plan says, nothing scaled: the frame
// with the painter's pen and brush as they are, `photo` stretched into the photo rectangle (a
// null photo is left out), and every text line with its top at the line's y, in the painter's
// font with only its weight switched for bold lines.
void renderPage(QPainter& painter, const PagePlan& plan, const QImage& photo);

// Sends one document to `printer`: `draw` paints it between the start and the end of the
// document; a failure of either, or of `draw`, throws (IoError naming the printer's target) and
// abandons the document.
void printDocument(QPrinter& printer, const QString& title,
                   const std::function<void(QPainter&)>& draw);

// How wide `printer` draws a text in its default font (bold for bold lines), and its line height.
TextMeasure printerMeasure(QPrinter& printer);
int printerLineHeight(QPrinter& printer);

// A core rectangle of a plan as a Qt one.
QRect toQRect(const PlanRect& r);

struct TreePrintRequest {
    DataPaths data;
    std::string treeId;
    std::string treeName;  // heads the pages after the first
    PrintChoice choice;
    MessageLookup message;
    QString title;  // name of the print job
};

// Prints the pages for the tree of `request` on `printer` (already pointed at its target). The
// reference photo, the card (when "Fiche" is ticked) and the works log (when "Travaux" is
// ticked) are all read before the document starts, so a missing or unreadable file stops the
// printout with nothing sent to the printer. Returns the plans of the pages that were drawn.
// Errors: the core's IoError / CodecError of the readers, IoError when the printer refuses the
// document. `cardRead`, when given, receives the card as it was read.
std::vector<PagePlan> printTree(QPrinter& printer, const TreePrintRequest& request,
                                TreeCard* cardRead = nullptr);

}  // namespace tavo
