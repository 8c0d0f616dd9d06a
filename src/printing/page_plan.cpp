#include "printing/page_plan.h"

#include <algorithm>

#include "common/cp1252.h"

namespace tavo {

namespace {

using namespace page_layout;

// Splits `text` into lines no wider than `width`: at spaces where it can, inside a word (between
// two characters, never inside one) when a word alone is too wide.
std::vector<std::string> wrapText(const std::string& text, TextStyle style, int width,
                                  const TextMeasure& measure) {
    if (!measure || measure(text, style) <= width) return {text};
    std::vector<std::string> out;
    std::string line;
    std::size_t i = 0;
    while (i < text.size()) {
        // The next piece: a word with the spaces before it.
        std::size_t j = i;
        while (j < text.size() && text[j] == ' ') ++j;
        while (j < text.size() && text[j] != ' ') ++j;
        const std::string piece = text.substr(i, j - i);
        if (measure(line + piece, style) <= width) {
            line += piece;
        } else if (!line.empty() &&
                   measure(piece.substr(piece.find_first_not_of(' ')), style) <= width) {
            out.push_back(line);
            line = piece.substr(piece.find_first_not_of(' '));
        } else {
            // Too wide even alone: fill the line character by character.
            for (std::size_t k = 0; k < piece.size();) {
                std::size_t n = 1;
                while (k + n < piece.size() &&
                       (static_cast<unsigned char>(piece[k + n]) & 0xC0) == 0x80)
                    ++n;
                const std::string ch = piece.substr(k, n);
                if (!line.empty() && measure(line + ch, style) > width) {
                    out.push_back(line);
                    line.clear();
                    if (ch == " ") {
                        k += n;
                        continue;
                    }
                }
                line += ch;
                k += n;
            }
        }
        i = j;
    }
    if (!line.empty()) out.push_back(line);
    return out;
}

// Adds the texts one after the other at the running y, wrapping them within the frame; a text
// whose lines do not fit above the foot of the page moves to a new page.
class PageWriter {
  public:
    PageWriter(const PageInput& in, const MessageLookup& message, std::vector<PagePlan>& pages)
        : in_(in), message_(message), pages_(pages) {
        pages_.push_back(framedPage());
        y_ = kTextStart + kUnitsPerPhotoPixel * in.photoHeight;
        // The foot keeps room for the page number: one step and one line above the margin.
        bottom_ = in.page.height - kMargin - kLineStep - in.lineHeight;
        if (bottom_ <= y_) bottom_ = in.page.height;  // a page too small for a foot
        width_ = in.page.width - 2 * kTextLeft;
    }

    void line(const std::string& text) { add(kLineStep, text, TextStyle::Regular); }
    void label(const std::string& label, const std::string& value) { line(label + " : " + value); }
    void section(const std::string& title) {
        add(kSectionStep, "--- " + title + " ---", TextStyle::Bold);
    }

    // Numbers the pages once all are laid out.
    void finish() {
        if (pages_.size() < 2) return;
        const std::size_t count = pages_.size();
        for (std::size_t n = 0; n < count; ++n) {
            std::string text = message_(Msg::PageNumber);
            replace(text, "%1", std::to_string(n + 1));
            replace(text, "%2", std::to_string(count));
            int x = kTextLeft;
            if (in_.measure)
                x = std::max(kTextLeft,
                             (in_.page.width - in_.measure(text, TextStyle::Regular)) / 2);
            pages_[n].lines.push_back(
                PlanText{x, in_.page.height - kMargin - in_.lineHeight, text, TextStyle::Regular});
        }
    }

  private:
    static void replace(std::string& text, const std::string& what, const std::string& by) {
        if (const auto at = text.find(what); at != std::string::npos)
            text.replace(at, what.size(), by);
    }

    PagePlan framedPage() const {
        PagePlan page;
        page.frame = PlanRect{0, 0, in_.page.width, in_.page.height};
        return page;
    }

    bool fits(int y, std::size_t lineCount) const {
        return y + kLineStep * static_cast<int>(lineCount - 1) + in_.lineHeight <= bottom_;
    }

    void add(int step, const std::string& text, TextStyle style) {
        const std::vector<std::string> lines =
            wrapText(singleLine(text), style, width_, in_.measure);
        int y = y_ + step;
        if (!fits(y, lines.size()) && !atPageTop_) {
            newPage();
            y = y_ + step;
        }
        for (const std::string& l : lines) {
            if (!fits(y, 1) && !atPageTop_) {  // longer than a whole page: goes on over the next
                newPage();
                y = y_ + step;
            }
            pages_.back().lines.push_back(PlanText{kTextLeft, y, l, style});
            y_ = y;
            y += kLineStep;
            atPageTop_ = false;
        }
    }

    // A further page, headed by the tree's name and identifier.
    void newPage() {
        pages_.push_back(framedPage());
        const std::string head = (in_.treeName.empty() ? "" : in_.treeName + " - ") +
                                 message_(Msg::TreeIdentifier) + " : " + in_.treeId;
        pages_.back().lines.push_back(
            PlanText{kTextLeft, kMargin, singleLine(head), TextStyle::Bold});
        y_ = kMargin + kLineStep;
        atPageTop_ = true;
    }

    const PageInput& in_;
    const MessageLookup& message_;
    std::vector<PagePlan>& pages_;
    int y_ = 0;
    int bottom_ = 0;
    int width_ = 0;
    bool atPageTop_ = false;
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

std::vector<PagePlan> layoutPages(const PageInput& in, const MessageLookup& message) {
    std::vector<PagePlan> pages;
    PageWriter w(in, message, pages);
    pages.front().photo =
        PlanRect{kPhotoCorner, kPhotoCorner, kPhotoFarCorner + kUnitsPerPhotoPixel * in.photoWidth,
                 kPhotoFarCorner + kUnitsPerPhotoPixel * in.photoHeight};
    w.label(message(Msg::TreeIdentifier), in.treeId);

    if (in.choice.card) {
        const TreeCard& c = in.card;
        w.section(message(Msg::Identification));
        w.label(message(Msg::TreeName), c.treeName);
        w.label(message(Msg::BotanicalName), c.botanicalName);
        w.label(message(Msg::CommonName), c.commonName);
        w.label(message(Msg::EnglishName), c.englishName);
        w.section(message(Msg::Acquisition));
        w.label(message(Msg::StateAtAcquisition), c.state);
        w.label(message(Msg::Provenance), c.provenance);
        w.label(message(Msg::AcquisitionDate), c.acquisitionDate);
        w.label(message(Msg::AgeAtAcquisition), c.age);
        w.label(message(Msg::EstimatedAge), c.ageEstimated);
        w.label(message(Msg::Price), c.price);
        w.section(message(Msg::Notes));
        // The notes print as their two stored parts, each on its own line.
        w.line(cp1252::left(c.notes, kNotesPart));
        w.line(cp1252::left(cp1252::mid(c.notes, kNotesPart), kNotesPart));
    }

    if (in.choice.works) {
        w.section(message(Msg::WorksLog));
        for (const WorksLine& l : in.works) w.line(l.date + " *** " + l.type + " *** " + l.comment);
    }
    w.finish();
    return pages;
}

std::vector<PagePlan> planPrintout(PageInput in, const PrintSources& sources,
                                   const MessageLookup& message) {
    if (in.choice.card) in.card = sources.readCard();
    if (in.choice.works) in.works = sources.readWorks();
    return layoutPages(in, message);
}

}  // namespace tavo
