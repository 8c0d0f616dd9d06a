#include "printing/ui/page_renderer.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>

#include "cards/card_file.h"
#include "common/errors.h"
#include "imaging/imaging.h"
#include "works/works_file.h"

namespace tavo {

namespace {

// What the printer writes to, to name it in errors.
std::filesystem::path targetName(const QPrinter& printer) {
    const QString name =
        printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
    return std::filesystem::path(name.toStdString());
}

}  // namespace

QRect toQRect(const PlanRect& r) {
    return QRect(r.left, r.top, r.width(), r.height());
}

void printDocument(QPrinter& printer, const QString& title,
                   const std::function<void(QPainter&)>& draw) {
    if (!title.isEmpty()) printer.setDocName(title);
    QPainter painter;
    if (!painter.begin(&printer)) throw IoError("start the print document on", targetName(printer));
    try {
        draw(painter);
    } catch (...) {
        printer.abort();
        painter.end();
        throw;
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        throw IoError("send the page to", targetName(printer));
}

void renderPage(QPainter& painter, const PagePlan& plan, const QImage& photo) {
    // A one-pixel outline of QRect(x, y, w, h) covers w + 1 pixels; the frame must cover the
    // plan's pixels left .. right - 1, as the plan's right and bottom are the edges just past it.
    const QRect frame = toQRect(plan.frame);
    if (frame.width() > 0 && frame.height() > 0) painter.drawRect(frame.adjusted(0, 0, -1, -1));

    if (!photo.isNull() && plan.photo.width() > 0 && plan.photo.height() > 0)
        painter.drawImage(toQRect(plan.photo), photo);

    const QFont regular = painter.font();
    QFont bold = regular;
    bold.setBold(true);
    for (const PlanText& line : plan.lines) {
        painter.setFont(line.style == TextStyle::Bold ? bold : regular);
        // Qt places a text by its baseline; the plan gives the top of the text.
        const int baseline = line.y + painter.fontMetrics().ascent();
        painter.drawText(QPoint(line.x, baseline), QString::fromStdString(line.text));
    }
    painter.setFont(regular);
}

TextMeasure printerMeasure(QPrinter& printer) {
    QFont bold;
    bold.setBold(true);
    const QFontMetrics regular(QFont(), &printer);
    const QFontMetrics heavy(bold, &printer);
    return [regular, heavy](const std::string& text, TextStyle style) {
        return (style == TextStyle::Bold ? heavy : regular)
            .horizontalAdvance(QString::fromStdString(text));
    };
}

int printerLineHeight(QPrinter& printer) {
    return QFontMetrics(QFont(), &printer).height();
}

std::vector<PagePlan> printTree(QPrinter& printer, const TreePrintRequest& request,
                                TreeCard* cardRead) {
    const DataPaths& data = request.data;
    const std::string& id = request.treeId;

    // Everything the page needs is read first: the printer offers no reliable way to withdraw
    // a document once started, so a failure must come before it.
    const Image photo = loadJpeg(data.referencePhoto(id));
    PrintSources sources;
    sources.readCard = [&] {
        TreeCard card = readCard(data, id);
        if (cardRead) *cardRead = card;
        return card;
    };
    sources.readWorks = [&] { return WorksFile(data, id).readAll(); };
    PageInput input;
    input.treeId = id;
    input.treeName = request.treeName;
    input.photoWidth = photo.width;
    input.photoHeight = photo.height;
    input.choice = request.choice;
    input.page = PageSize{printer.width(), printer.height()};
    input.measure = printerMeasure(printer);
    input.lineHeight = printerLineHeight(printer);
    const std::vector<PagePlan> pages = planPrintout(input, sources, request.message);
    const QImage picture(photo.data(), photo.width, photo.height,
                         static_cast<qsizetype>(photo.stride()), QImage::Format_RGB888);

    printDocument(printer, request.title, [&](QPainter& painter) {
        for (std::size_t n = 0; n < pages.size(); ++n) {
            if (n > 0 && !printer.newPage()) throw IoError("send the page to", targetName(printer));
            renderPage(painter, pages[n], n == 0 ? picture : QImage());
        }
    });
    return pages;
}

}  // namespace tavo
