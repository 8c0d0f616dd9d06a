#include "printing/growth_sheet_plan.h"

#include <algorithm>

#include "common/errors.h"

namespace tavo {

Size fitInside(Size picture, Size box) {
    if (picture.width <= 0 || picture.height <= 0 || box.width <= 0 || box.height <= 0)
        return {0, 0};
    Size out;
    // Compared as products so that a box of the picture's own proportions fits exactly.
    if (static_cast<long long>(picture.width) * box.height >=
        static_cast<long long>(picture.height) * box.width) {
        out = {box.width,
               roundHalfEven(static_cast<long double>(box.width) * picture.height / picture.width)};
    } else {
        out = {roundHalfEven(static_cast<long double>(box.height) * picture.width / picture.height),
               box.height};
    }
    return {std::max(out.width, 1), std::max(out.height, 1)};
}

GrowthSheetPlan layoutGrowthSheet(const GrowthSheetInput& in, const MessageLookup& message) {
    if (in.photos.size() > kMaxSheetPhotos)
        throw RefusedError("A growth sheet holds at most 12 photos.");

    GrowthSheetPlan plan;
    const int lh = std::max(in.lineHeight, 1);
    const int margin = std::min(in.page.width, in.page.height) / 20;
    plan.heading.push_back({margin, margin,
                            singleLine(message(Msg::GrowthOfTheTree) + " : " + in.treeName),
                            TextStyle::Bold});
    plan.heading.push_back({margin, margin + lh * 3 / 2,
                            singleLine(message(Msg::TreeIdentifier) + " : " + in.treeId),
                            TextStyle::Regular});
    if (in.photos.empty()) return plan;

    const int gridTop = margin + 4 * lh;
    const int gap = lh;
    const int captionHeight = lh / 2 + 2 * lh;
    const int availWidth = in.page.width - 2 * margin;
    const int availHeight = in.page.height - margin - gridTop;
    const int n = static_cast<int>(in.photos.size());

    // The column count whose cells give the photos, as they are shaped, the most area.
    long long bestArea = -1;
    int cellWidth = 0, boxHeight = 0;
    for (int cols = 1; cols <= std::min(n, 4); ++cols) {
        const int rows = (n + cols - 1) / cols;
        const int w = (availWidth - (cols - 1) * gap) / cols;
        const int h = (availHeight - (rows - 1) * gap) / rows - captionHeight;
        if (w <= 0 || h <= 0) continue;
        long long area = 0;
        for (const SheetPhoto& p : in.photos) {
            const Size f = fitInside(p.picture, {w, h});
            area += static_cast<long long>(f.width) * f.height;
        }
        if (area > bestArea) {
            bestArea = area;
            plan.columns = cols;
            plan.rows = rows;
            cellWidth = w;
            boxHeight = h;
        }
    }
    if (plan.columns == 0) return plan;  // a page too small for any photo prints the heading

    for (int i = 0; i < n; ++i) {
        const SheetPhoto& p = in.photos[i];
        const int cellLeft = margin + (i % plan.columns) * (cellWidth + gap);
        const int cellTop = gridTop + (i / plan.columns) * (boxHeight + captionHeight + gap);
        const Size f = fitInside(p.picture, {cellWidth, boxHeight});
        const int left = cellLeft + (cellWidth - f.width) / 2;
        plan.photos.push_back({left, cellTop, left + f.width, cellTop + f.height});

        const int captionTop = cellTop + boxHeight + lh / 2;
        plan.captions.push_back({left, captionTop, singleLine(p.date), TextStyle::Regular});
        if (p.age)
            plan.captions.push_back({left, captionTop + lh,
                                     ageText(*p.age, message(Msg::Year), message(Msg::Years)),
                                     TextStyle::Regular});
    }
    return plan;
}

}  // namespace tavo
