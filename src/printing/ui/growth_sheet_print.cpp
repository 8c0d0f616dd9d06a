#include "printing/ui/growth_sheet_print.h"

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPrinter>

#include "cards/card_file.h"
#include "common/errors.h"
#include "photos/growth_sources.h"
#include "printing/ui/page_renderer.h"

namespace tavo {

namespace {

void drawTexts(QPainter& painter, const std::vector<PlanText>& lines, const QFont& regular,
               const QFont& bold) {
    for (const PlanText& line : lines) {
        painter.setFont(line.style == TextStyle::Bold ? bold : regular);
        // Qt places a text by its baseline; the plan gives the top of the text.
        painter.drawText(QPoint(line.x, line.y + painter.fontMetrics().ascent()),
                         QString::fromStdString(line.text));
    }
}

}  // namespace

void renderGrowthSheet(QPainter& painter, const GrowthSheetPlan& plan,
                       const std::vector<QImage>& photos) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (std::size_t i = 0; i < plan.photos.size() && i < photos.size(); ++i)
        if (!photos[i].isNull()) painter.drawImage(toQRect(plan.photos[i]), photos[i]);
    const QFont regular = painter.font();
    QFont bold = regular;
    bold.setBold(true);
    drawTexts(painter, plan.heading, regular, bold);
    drawTexts(painter, plan.captions, regular, bold);
    painter.setFont(regular);
}

GrowthSheetPlan printGrowthSheet(QPrinter& printer, const GrowthSheetRequest& request) {
    const DataPaths& data = request.data;
    TreeCard card;
    const Timeline timeline = readTimeline(data, request.treeId, &card);
    const std::vector<std::size_t> chosen = request.chosen.empty()
                                                ? defaultSheetPhotos(timeline)
                                                : chosenSheetPhotos(timeline, request.chosen);

    GrowthSheetInput input;
    input.treeId = request.treeId;
    input.treeName = card.treeName;
    input.page = PageSize{printer.width(), printer.height()};
    // The painter draws in the printer's default font: measure that font on that device.
    input.lineHeight = QFontMetrics(QGuiApplication::font(), &printer).lineSpacing();
    std::vector<QImage> pictures;
    for (std::size_t index : chosen) {
        const TimelinePhoto& photo = timeline.photos[index];
        const Image image = galleryPhoto(data, request.treeId, photo.record);
        input.photos.push_back({photo.record.date, photo.age, image.size()});
        pictures.push_back(QImage(image.data(), image.width, image.height,
                                  static_cast<qsizetype>(image.stride()), QImage::Format_RGB888)
                               .copy());
    }
    const GrowthSheetPlan plan = layoutGrowthSheet(input, request.message);

    printDocument(printer, request.title,
                  [&](QPainter& painter) { renderGrowthSheet(painter, plan, pictures); });
    return plan;
}

}  // namespace tavo
