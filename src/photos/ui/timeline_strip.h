#pragma once
// The gallery's second view: the tree's photos along a horizontal time axis, years marked,
// works lines as small marks under the axis. Thumbnails are decoded only when they come into
// view, a few at a time between repaints, so a strip of hundreds of photos opens and scrolls
// at once. The wheel scrolls along the axis; Ctrl+wheel zooms it around the pointer.
#include <QAbstractScrollArea>
#include <QHash>
#include <QImage>
#include <QSet>
#include <QString>
#include <QTimer>
#include <functional>
#include <optional>
#include <vector>

#include "photos/growth_timeline.h"

namespace tavo {

class TimelineStrip : public QAbstractScrollArea {
    Q_OBJECT
  public:
    // Decodes the thumbnail of a photo of the strip, box-fitted to the side it is given.
    using ThumbnailLoader = std::function<Image(const TimelinePhoto& photo, int side)>;

    explicit TimelineStrip(QWidget* parent = nullptr);

    // Shows `timeline`, zoomed to fit the view; thumbnails come from `loader`.
    void setTimeline(Timeline timeline, ThumbnailLoader loader);
    // The words of the captions and of the card menu, in the interface language.
    void setTexts(const QString& year, const QString& years, const QString& compare);

    const Timeline& timeline() const { return timeline_; }
    const TimelineLayout& layout() const { return layout_; }
    double zoom() const { return geometry_.pixelsPerDay; }
    // Zooms by wheel notches keeping the day under view x `anchor` in place.
    void zoomAround(int steps, int anchor);

    // The photo (index into timeline().photos) whose card holds the view point, if any.
    std::optional<std::size_t> photoAt(QPoint viewPoint) const;
    // Where the card of photo `index` stands in the view.
    QRect cardRect(std::size_t index) const;
    // The works line (index into timeline().works) whose mark is at the view point, if any.
    std::optional<std::size_t> workAt(QPoint viewPoint) const;

    // The photo the keyboard is on (-1 when none) and the one marked to be compared.
    int currentPhoto() const { return current_; }
    void setCurrentPhoto(int index);
    std::optional<std::size_t> markedPhoto() const { return marked_; }
    // Marks a photo to be compared; marking a second one asks for the comparison.
    void markForCompare(std::size_t index);

    // Decodes every thumbnail waiting to be shown now (the strip also does it by itself).
    void decodePending();
    bool hasThumbnail(std::size_t index) const { return thumbnails_.contains(index); }
    int thumbnailsDecoded() const { return static_cast<int>(thumbnails_.size()); }

    static constexpr int kThumbnailSide = 112;

  signals:
    // A click on a photo: open it in the photo editor.
    void photoActivated(std::size_t index);
    // Two photos chosen for a then-and-now comparison (indices, earlier first).
    void compareRequested(std::size_t earlier, std::size_t later);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    void relayout();
    void updateScrollBars();
    void scrollToPhoto(std::size_t index);
    void decodeSome();
    int laneTop(int lane) const;
    int axisY() const;
    int contentHeight() const;
    QString caption(const TimelinePhoto& photo) const;

    Timeline timeline_;
    TimelineGeometry geometry_;
    TimelineLayout layout_;
    ThumbnailLoader loader_;
    QHash<std::size_t, QImage> thumbnails_;
    QSet<std::size_t> failed_;
    std::vector<std::size_t> pending_;
    QTimer decodeTimer_;
    int current_ = -1;
    std::optional<std::size_t> marked_;
    QString year_ = QStringLiteral("an"), years_ = QStringLiteral("ans");
    QString compare_ = QStringLiteral("Comparer");
};

}  // namespace tavo
