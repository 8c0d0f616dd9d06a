#include "photos/ui/timeline_strip.h"

#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>

namespace tavo {

namespace {

constexpr int kTop = 10;             // above the farthest lane
constexpr int kCardSpacing = 8;      // between two lanes
constexpr int kThumbnailTop = 4;     // inside a card
constexpr int kDecodeBudgetMs = 12;  // per pass between two repaints
constexpr int kMarkHalfWidth = 4;    // a works mark, and how near the pointer must come to it

QImage toQImage(const Image& image) {
    if (image.empty()) return {};
    return QImage(image.data(), image.width, image.height, static_cast<qsizetype>(image.stride()),
                  QImage::Format_RGB888)
        .copy();
}

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

TimelineStrip::TimelineStrip(QWidget* parent) : QAbstractScrollArea(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setMouseTracking(true);
    decodeTimer_.setSingleShot(true);
    decodeTimer_.setInterval(0);
    connect(&decodeTimer_, &QTimer::timeout, this, &TimelineStrip::decodeSome);
}

void TimelineStrip::setTimeline(Timeline timeline, ThumbnailLoader loader) {
    timeline_ = std::move(timeline);
    loader_ = std::move(loader);
    thumbnails_.clear();
    failed_.clear();
    pending_.clear();
    marked_.reset();
    current_ = timeline_.photos.empty() ? -1 : 0;
    geometry_.pixelsPerDay = fitZoom(timeline_, viewport()->width(), geometry_);
    relayout();
    horizontalScrollBar()->setValue(0);
}

void TimelineStrip::setTexts(const QString& year, const QString& years, const QString& compare) {
    year_ = year;
    years_ = years;
    compare_ = compare;
    viewport()->update();
}

void TimelineStrip::relayout() {
    layout_ = layoutTimeline(timeline_, geometry_);
    updateScrollBars();
    viewport()->update();
}

void TimelineStrip::updateScrollBars() {
    horizontalScrollBar()->setRange(0, std::max(0, layout_.width - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setSingleStep(geometry_.cardWidth / 2);
    verticalScrollBar()->setRange(0, std::max(0, contentHeight() - viewport()->height()));
    verticalScrollBar()->setPageStep(viewport()->height());
}

int TimelineStrip::laneTop(int lane) const {
    const int lanes = std::max(layout_.lanesUsed, 1);
    const int pitch =
        kThumbnailSide + kThumbnailTop + 2 * fontMetrics().height() + 6 + kCardSpacing;
    return kTop + (lanes - 1 - lane) * pitch;
}

int TimelineStrip::axisY() const {
    return laneTop(-1) + 12;
}

int TimelineStrip::contentHeight() const {
    return axisY() + 12 + fontMetrics().height() + 8;
}

QRect TimelineStrip::cardRect(std::size_t index) const {
    const PlacedPhoto& p = layout_.photos.at(index);
    const int top = laneTop(p.lane);
    const int height = laneTop(p.lane - 1) - top - kCardSpacing;
    return QRect(p.left, top, geometry_.cardWidth, height)
        .translated(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
}

std::optional<std::size_t> TimelineStrip::photoAt(QPoint viewPoint) const {
    const int x = viewPoint.x() + horizontalScrollBar()->value();
    const auto [first, last] = photosInBand(layout_, geometry_.cardWidth, x, x + 1);
    for (std::size_t i = first; i < last; ++i)
        if (cardRect(i).contains(viewPoint)) return i;
    return std::nullopt;
}

std::optional<std::size_t> TimelineStrip::workAt(QPoint viewPoint) const {
    const int x = viewPoint.x() + horizontalScrollBar()->value();
    const int y = viewPoint.y() + verticalScrollBar()->value();
    if (y < axisY() - kMarkHalfWidth || y > axisY() + 3 * kMarkHalfWidth) return std::nullopt;
    std::optional<std::size_t> nearest;
    int distance = kMarkHalfWidth + 1;
    for (std::size_t i = 0; i < layout_.worksX.size(); ++i) {
        const int d = std::abs(layout_.worksX[i] - x);
        if (d < distance) distance = d, nearest = i;
    }
    return nearest;
}

QString TimelineStrip::caption(const TimelinePhoto& photo) const {
    QString text = qs(photo.record.date);
    if (photo.age)
        text += QStringLiteral("\n") +
                qs(ageText(*photo.age, year_.toStdString(), years_.toStdString()));
    return text;
}

void TimelineStrip::paintEvent(QPaintEvent*) {
    QPainter p(viewport());
    p.fillRect(viewport()->rect(), palette().base());
    const int x0 = horizontalScrollBar()->value();
    const int y0 = verticalScrollBar()->value();
    const int viewWidth = viewport()->width();
    const QColor ink = palette().color(QPalette::Text);
    p.translate(-x0, -y0);

    const int axis = axisY();
    p.setPen(QPen(ink, 2));
    p.drawLine(0, axis, layout_.width, axis);
    p.setPen(ink);
    const int labelTop = axis + 8 + fontMetrics().ascent();
    for (const YearMark& y : layout_.years) {
        if (y.x < x0 - 60 || y.x > x0 + viewWidth + 60) continue;
        p.drawLine(y.x, axis - 5, y.x, axis + 5);
        if (y.labelled) p.drawText(y.x + 3, labelTop, QString::number(y.year));
    }
    if (layout_.acquisitionX) {
        p.setPen(QPen(QColor(40, 120, 40), 3));
        p.drawLine(*layout_.acquisitionX, axis - 8, *layout_.acquisitionX, axis + 8);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(150, 90, 30));
    for (int x : layout_.worksX) {
        if (x < x0 - kMarkHalfWidth || x > x0 + viewWidth + kMarkHalfWidth) continue;
        const QPoint mark[3] = {{x, axis + 2},
                                {x - kMarkHalfWidth, axis + 2 + 2 * kMarkHalfWidth},
                                {x + kMarkHalfWidth, axis + 2 + 2 * kMarkHalfWidth}};
        p.drawPolygon(mark, 3);
    }
    p.setBrush(Qt::NoBrush);
    p.translate(x0, y0);

    const auto [first, last] = photosInBand(layout_, geometry_.cardWidth, x0, x0 + viewWidth);
    const QColor highlight = palette().color(QPalette::Highlight);
    // Every stem first: a card stacked above another must not be joined to the axis across it.
    p.setPen(QPen(palette().color(QPalette::Mid), 1));
    for (std::size_t i = first; i < last; ++i) {
        const QRect card = cardRect(i);
        p.drawLine(layout_.photos[i].anchorX - x0, axis - y0, card.center().x(), card.bottom());
    }
    for (std::size_t i = first; i < last; ++i) {
        const TimelinePhoto& photo = timeline_.photos[i];
        const QRect card = cardRect(i);
        p.fillRect(card, palette().window());
        const QRect box(card.left() + (card.width() - kThumbnailSide) / 2,
                        card.top() + kThumbnailTop, kThumbnailSide, kThumbnailSide);
        if (const auto it = thumbnails_.constFind(i); it != thumbnails_.constEnd()) {
            const QImage& t = *it;
            p.drawImage(QPoint(box.left() + (box.width() - t.width()) / 2,
                               box.top() + (box.height() - t.height()) / 2),
                        t);
        } else {
            p.fillRect(box, palette().color(QPalette::Midlight));
            if (failed_.contains(i)) {
                p.setPen(QPen(Qt::red, 2));
                p.drawLine(box.topLeft(), box.bottomRight());
                p.drawLine(box.topRight(), box.bottomLeft());
            } else if (std::find(pending_.begin(), pending_.end(), i) == pending_.end()) {
                pending_.push_back(i);
            }
        }
        p.setPen(ink);
        const QRect text(card.left() + 2, box.bottom() + 3, card.width() - 4,
                         card.bottom() - box.bottom() - 3);
        p.drawText(text, Qt::AlignHCenter | Qt::AlignTop, caption(photo));
        if (static_cast<int>(i) == current_ || marked_ == i) {
            QPen pen(highlight, 2);
            if (marked_ == i) pen.setStyle(Qt::DashLine);
            p.setPen(pen);
            p.drawRect(card.adjusted(1, 1, -1, -1));
        } else {
            p.setPen(palette().color(QPalette::Mid));
            p.drawRect(card.adjusted(0, 0, -1, -1));
        }
    }
    if (!pending_.empty() && !decodeTimer_.isActive()) decodeTimer_.start();
}

void TimelineStrip::decodeSome() {
    QElapsedTimer clock;
    clock.start();
    const int x0 = horizontalScrollBar()->value();
    const auto [first, last] =
        photosInBand(layout_, geometry_.cardWidth, x0, x0 + viewport()->width());
    bool decoded = false;
    while (!pending_.empty() && clock.elapsed() < kDecodeBudgetMs) {
        const std::size_t i = pending_.front();
        pending_.erase(pending_.begin());
        // Scrolled past meanwhile: the next paint asks again if it comes back.
        if (i < first || i >= last || thumbnails_.contains(i)) continue;
        try {
            thumbnails_.insert(i, toQImage(loader_(timeline_.photos[i], kThumbnailSide)));
        } catch (...) {
            // A missing or damaged photo shows a crossed box; the rest of the strip goes on.
            failed_.insert(i);
        }
        decoded = true;
    }
    if (decoded) viewport()->update();
    if (!pending_.empty()) decodeTimer_.start();
}

void TimelineStrip::decodePending() {
    viewport()->repaint();
    while (!pending_.empty()) decodeSome();
    viewport()->repaint();
}

void TimelineStrip::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void TimelineStrip::zoomAround(int steps, int anchor) {
    const double day = layout_.dayAtX(horizontalScrollBar()->value() + anchor);
    geometry_.pixelsPerDay = zoomBy(geometry_.pixelsPerDay, steps);
    relayout();
    horizontalScrollBar()->setValue(layout_.xOfDay(day) - anchor);
}

void TimelineStrip::wheelEvent(QWheelEvent* event) {
    const QPoint delta = event->angleDelta();
    const int amount = delta.y() != 0 ? delta.y() : delta.x();
    if (amount == 0) return;
    if (event->modifiers() & Qt::ControlModifier) {
        const int steps = amount > 0 ? std::max(1, amount / 120) : std::min(-1, amount / 120);
        zoomAround(steps, static_cast<int>(event->position().x()));
    } else {
        QScrollBar* bar = horizontalScrollBar();
        bar->setValue(bar->value() - amount * geometry_.cardWidth / 120);
    }
    event->accept();
}

void TimelineStrip::setCurrentPhoto(int index) {
    if (timeline_.photos.empty()) return;
    current_ = std::clamp(index, 0, static_cast<int>(timeline_.photos.size()) - 1);
    scrollToPhoto(static_cast<std::size_t>(current_));
    viewport()->update();
}

void TimelineStrip::scrollToPhoto(std::size_t index) {
    const QRect card = cardRect(index);
    QScrollBar* bar = horizontalScrollBar();
    if (card.left() < 0)
        bar->setValue(bar->value() + card.left() - geometry_.cardGap);
    else if (card.right() >= viewport()->width())
        bar->setValue(bar->value() + card.right() - viewport()->width() + geometry_.cardGap);
}

void TimelineStrip::markForCompare(std::size_t index) {
    if (index >= timeline_.photos.size()) return;
    if (!marked_ || *marked_ == index) {
        marked_ = marked_ ? std::nullopt : std::optional<std::size_t>(index);
        viewport()->update();
        return;
    }
    const auto pair = makeComparePair(*marked_, index, timeline_.photos.size());
    marked_.reset();
    viewport()->update();
    if (pair) emit compareRequested(pair->earlier, pair->later);
}

void TimelineStrip::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mousePressEvent(event);
    const auto photo = photoAt(event->position().toPoint());
    if (!photo) return;
    setCurrentPhoto(static_cast<int>(*photo));
    if (event->modifiers() & Qt::ControlModifier)
        markForCompare(*photo);
    else
        emit photoActivated(*photo);
}

void TimelineStrip::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Left:
            setCurrentPhoto(current_ - 1);
            break;
        case Qt::Key_Right:
            setCurrentPhoto(current_ + 1);
            break;
        case Qt::Key_Home:
            setCurrentPhoto(0);
            break;
        case Qt::Key_End:
            setCurrentPhoto(static_cast<int>(timeline_.photos.size()) - 1);
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (current_ >= 0) emit photoActivated(static_cast<std::size_t>(current_));
            break;
        case Qt::Key_Space:
            if (current_ >= 0) markForCompare(static_cast<std::size_t>(current_));
            break;
        case Qt::Key_Plus:
        case Qt::Key_Minus:
            zoomAround(event->key() == Qt::Key_Plus ? 1 : -1, viewport()->width() / 2);
            break;
        default:
            // Escape and the rest go on to the window.
            return QAbstractScrollArea::keyPressEvent(event);
    }
    event->accept();
}

bool TimelineStrip::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        QString tip;
        if (const auto work = workAt(help->pos())) {
            const WorksLine& w = timeline_.works[*work].work;
            tip = qs(w.type) + QStringLiteral("\n") + qs(w.date);
            if (!w.comment.empty()) tip += QStringLiteral("\n") + qs(w.comment);
        } else if (const auto photo = photoAt(help->pos())) {
            const PhotoRecord& r = timeline_.photos[*photo].record;
            tip = qs(r.date) + QStringLiteral("\n") + qs(r.fileName);
            if (!r.comment.empty()) tip += QStringLiteral("\n") + qs(r.comment);
        }
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, viewport());
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void TimelineStrip::contextMenuEvent(QContextMenuEvent* event) {
    const auto photo = photoAt(viewport()->mapFrom(this, event->pos()));
    if (!photo) return;
    QMenu menu(this);
    QAction* compare = menu.addAction(compare_);
    if (menu.exec(event->globalPos()) == compare) markForCompare(*photo);
}

}  // namespace tavo
