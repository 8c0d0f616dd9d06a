#include "photos/ui/compare_view.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

#include "photos/growth_timeline.h"

namespace tavo {

namespace {

constexpr int kGap = 8;

// The largest rectangle of `picture`'s proportions inside `box`, centred in it.
QRect fitted(QSize picture, QRect box) {
    if (picture.isEmpty() || box.isEmpty()) return {};
    const QSize size = picture.scaled(box.size(), Qt::KeepAspectRatio);
    return QRect(box.left() + (box.width() - size.width()) / 2,
                 box.top() + (box.height() - size.height()) / 2, size.width(), size.height());
}

}  // namespace

CompareView::CompareView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CompareView::setPhotos(const QImage& earlier, const QImage& later) {
    earlier_ = earlier;
    later_ = later;
    update();
}

void CompareView::setSliderMode(bool on) {
    slider_ = on;
    update();
}

void CompareView::setReveal(int thousandths) {
    reveal_ = std::clamp(thousandths, 0, 1000);
    update();
}

QRect CompareView::earlierRect() const {
    if (slider_) return fitted(earlier_.size(), rect());
    // Side by side at one height: the pair scaled together to fit the width.
    const SideBySide s = sideBySide({earlier_.width(), earlier_.height()},
                                    {later_.width(), later_.height()}, 1000, 0, 0);
    const QRect pair = fitted(QSize(s.canvas.width + kGap, s.canvas.height),
                              rect().adjusted(kGap, kGap, -kGap, -kGap));
    if (pair.isEmpty()) return {};
    const int w = pair.width() * s.first.width() / (s.canvas.width + kGap);
    return QRect(pair.left(), pair.top(), w, pair.height());
}

QRect CompareView::laterRect() const {
    if (slider_) return fitted(later_.size(), rect());
    const QRect first = earlierRect();
    if (first.isEmpty()) return {};
    const int w = later_.height() > 0 ? first.height() * later_.width() / later_.height() : 0;
    return QRect(first.right() + 1 + kGap, first.top(), w, first.height());
}

void CompareView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    if (!earlier_.isNull()) p.drawImage(earlierRect(), earlier_);
    if (later_.isNull()) return;
    if (!slider_) {
        p.drawImage(laterRect(), later_);
        return;
    }
    const QRect area = laterRect();
    const int split = area.left() + area.width() * reveal_ / 1000;
    p.save();
    p.setClipRect(QRect(area.left(), area.top(), split - area.left(), area.height()));
    p.drawImage(area, later_);
    p.restore();
    p.setPen(QPen(Qt::white, 2));
    p.drawLine(split, area.top(), split, area.bottom());
}

Image thenAndNowPicture(const Image& earlier, const Image& later, const QStringList& earlierCaption,
                        const QStringList& laterCaption, const QFont& font) {
    const QFontMetrics metrics(font);
    const int lines = static_cast<int>(std::max(earlierCaption.size(), laterCaption.size()));
    const int height = std::min(earlier.height, later.height);
    const SideBySide s = sideBySide(earlier.size(), later.size(), height, 2 * kGap,
                                    lines * metrics.lineSpacing() + kGap);
    Image canvas = composeSideBySide(earlier, later, s, kWhite);

    // Painted in Qt's own 32-bit format, then copied back row by row into the core picture.
    QImage drawn = QImage(canvas.data(), canvas.width, canvas.height,
                          static_cast<qsizetype>(canvas.stride()), QImage::Format_RGB888)
                       .convertToFormat(QImage::Format_RGB32);
    QPainter p(&drawn);
    p.setFont(font);
    p.setPen(Qt::black);
    auto caption = [&](const QStringList& text, const Rect& area) {
        int y = area.top + kGap / 2 + metrics.ascent();
        for (const QString& line : text) {
            p.drawText(area.left, y, metrics.elidedText(line, Qt::ElideRight, area.width()));
            y += metrics.lineSpacing();
        }
    };
    caption(earlierCaption, s.firstCaption);
    caption(laterCaption, s.secondCaption);
    p.end();
    const QImage back = drawn.convertToFormat(QImage::Format_RGB888);
    for (int y = 0; y < canvas.height; ++y)
        std::copy_n(back.constScanLine(y), canvas.stride(),
                    canvas.pixels.begin() + static_cast<std::ptrdiff_t>(y * canvas.stride()));
    return canvas;
}

}  // namespace tavo
