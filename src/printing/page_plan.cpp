#include "printing/page_plan.h"

#include "common/cp1252.h"

namespace tavo {

namespace {

using namespace page_layout;

// Adds the lines one after the other at the running y; a line that would start at or below the
// bottom of the page is left out, since the printout has one page only.
class LineWriter {
  public:
    LineWriter(std::vector<PlanText>& lines, int startY, int pageHeight)
        : lines_(lines), y_(startY), pageHeight_(pageHeight) {}

    void line(const std::string& text) { add(kLineStep, text, TextStyle::Regular); }
    void label(const std::string& label, const std::string& value) { line(label + " : " + value); }
    void section(const std::string& title) {
        add(kSectionStep, "--- " + title + " ---", TextStyle::Bold);
    }

  private:
    void add(int step, const std::string& text, TextStyle style) {
        y_ += step;
        if (y_ >= pageHeight_) return;
        lines_.push_back(PlanText{kTextLeft, y_, singleLine(text), style});
    }

    std::vector<PlanText>& lines_;
    int y_;
    int pageHeight_;
};

}  // namespace

std::string singleLine(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            out += ' ';
            ++i;
        } else if (c < 0x20 || c == 0x7F) {
            out += ' ';
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

PagePlan layoutPage(const PageInput& in, const MessageLookup& message) {
    PagePlan plan;
    plan.frame = PlanRect{0, 0, in.page.width, in.page.height};
    plan.photo =
        PlanRect{kPhotoCorner, kPhotoCorner, kPhotoFarCorner + kUnitsPerPhotoPixel * in.photoWidth,
                 kPhotoFarCorner + kUnitsPerPhotoPixel * in.photoHeight};

    LineWriter w(plan.lines, kTextStart + kUnitsPerPhotoPixel * in.photoHeight, in.page.height);
    w.label(message(31), in.treeId);

    if (in.choice.card) {
        const TreeCard& c = in.card;
        w.section(message(32));
        w.label(message(33), c.treeName);
        w.label(message(34), c.botanicalName);
        w.label(message(35), c.commonName);
        w.label(message(36), c.englishName);
        w.section(message(37));
        w.label(message(38), c.state);
        w.label(message(39), c.provenance);
        w.label(message(40), c.acquisitionDate);
        w.label(message(41), c.age);
        w.label(message(42), c.ageEstimated);
        w.label(message(43), c.price);
        w.section(message(44));
        // The notes print as their two stored parts, each on its own line.
        w.line(cp1252::left(c.notes, kNotesPart));
        w.line(cp1252::left(cp1252::mid(c.notes, kNotesPart), kNotesPart));
    }

    if (in.choice.works) {
        w.section(message(45));
        for (const WorksLine& l : in.works) w.line(l.date + " *** " + l.type + " *** " + l.comment);
    }
    return plan;
}

PagePlan planPrintout(const std::string& treeId, int photoWidth, int photoHeight,
                      PrintChoice choice, PageSize page, const PrintSources& sources,
                      const MessageLookup& message) {
    PageInput in;
    in.treeId = treeId;
    in.photoWidth = photoWidth;
    in.photoHeight = photoHeight;
    in.choice = choice;
    in.page = page;
    if (choice.card) in.card = sources.readCard();
    if (choice.works) in.works = sources.readWorks();
    return layoutPage(in, message);
}

}  // namespace tavo
