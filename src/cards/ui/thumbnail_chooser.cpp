#include "cards/ui/thumbnail_chooser.h"

#include <algorithm>

#include <QElapsedTimer>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>

#include "cards/card_file.h"
#include "imaging/imaging.h"
#include "trees/tree_chooser.h"
#include "ui_kit/app.h"
#include "ui_kit/busy_cursor.h"
#include "ui_kit/controls.h"
#include "ui_kit/qt_image.h"
#include "ui_kit/qt_text.h"

namespace tavo {

namespace {

// A wheel turns in steps of this many eighths of a degree (one notch).
constexpr int kWheelNotch = 120;
// Longest piece of thumbnail work between two turns of the event loop.
constexpr qint64 kFillSliceMs = 30;

}  // namespace

// ---- ThumbnailImage ----------------------------------------------------------------------

ThumbnailImage::ThumbnailImage(QWidget* parent, std::size_t index, const QString& hint)
    : QWidget(parent), hint_(hint), index_(index) {
    setFixedSize(kChooserCell, kChooserCell);
    setToolTip(hint);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ThumbnailImage::setPicture(const QImage& picture) {
    picture_ = picture;
    photo_ = {};
    update();
}

void ThumbnailImage::setPhoto(CompactThumbnail photo) {
    photo_ = std::move(photo);
    update();
}

QImage ThumbnailImage::picture() const {
    if (photo_.jpeg.empty()) return picture_;
    QImage composed = picture_.isNull() ? QImage(size(), QImage::Format_RGB32) : picture_.copy();
    QPainter painter(&composed);
    painter.drawImage(photo_.at.left, photo_.at.top, toQImage(decodeJpeg(photo_.jpeg, {})));
    return composed;
}

void ThumbnailImage::setCaption(const QString& caption) {
    caption_ = caption;
    const QFontMetrics fm(font());
    const bool cut = fm.horizontalAdvance(caption_) > width() - 8;
    setToolTip(cut ? caption_ + QLatin1Char('\n') + hint_ : hint_);
    update();
}

void ThumbnailImage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (picture_.isNull())
        painter.fillRect(rect(), palette().window());
    else
        painter.drawImage(0, 0, picture_);
    if (!photo_.jpeg.empty()) {
        try {
            painter.drawImage(photo_.at.left, photo_.at.top, toQImage(decodeJpeg(photo_.jpeg, {})));
        } catch (const std::exception&) {  // made here from good pixels: cannot fail to decode
        }
    }
    if (caption_.isEmpty()) return;
    // Along the bottom, inside the frame: under a landscape photo it sits in the margin, over a
    // tall one it covers only the photo's lower edge.
    const QFontMetrics fm(font());
    const QRect band(1, height() - fm.height() - 5, width() - 2, fm.height() + 4);
    QColor shade = palette().color(QPalette::Window);
    shade.setAlpha(210);
    painter.fillRect(band, shade);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(band.adjusted(3, 0, -3, 0), Qt::AlignCenter,
                     fm.elidedText(caption_, Qt::ElideRight, band.width() - 6));
}

void ThumbnailImage::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit doubleClicked(index_);
}

// ---- TF_Vignette -------------------------------------------------------------------------

TF_Vignette::TF_Vignette(App& app) : TavoDialog(app, "TF_Vignette", 300, QStringLiteral("Ouvrir")) {
    setClientSize(537, 577);

    Label2 =
        makeLabel(this, "Label2", 301,
                  QStringLiteral("Double cliquez sur une vignette pour ouvrir la fiche de l'arbre"),
                  {16, 12, 505, 20});
    Label2->setAlignment(Qt::AlignCenter);

    ZoneImages =
        placeControl(new QScrollArea(this), "ZoneImages", 0, QString(), {16, 40, 505, 489});
    ZoneImages->setFrameShape(QFrame::NoFrame);
    ZoneImages->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ZoneImages->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    ZoneImages->setWidgetResizable(false);
    ZoneImages->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ZoneImages->setFocusPolicy(Qt::StrongFocus);
    ZoneImages->setWidget(new QWidget);
    ZoneImages->viewport()->installEventFilter(this);
    connect(ZoneImages->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (!thumbnails_.empty()) fillVisibleThumbnails();
    });

    fillTimer_ = new QTimer(this);
    fillTimer_->setInterval(0);
    connect(fillTimer_, &QTimer::timeout, this, guarded([this] { fillSomeThumbnails(); }));

    B_Annuler = makeButton(this, "B_Annuler", 302, QStringLiteral("Annuler"),
                           QStringLiteral("Annule et ferme la fenêtre."), {231, 541, 75, 25});
    onClick(B_Annuler, [this] { B_AnnulerClick(); });
}

void TF_Vignette::FormActivate() {
    ZoneImages->setFocus();
    // The thumbnails of the last showing go first, whether or not that showing finished, so
    // photos added or removed since are taken into account and none is listed twice.
    fillTimer_->stop();
    thumbnails_.clear();
    filled_.clear();
    failures_.clear();
    names_.clear();
    ZoneImages->setWidget(new QWidget);  // frees the old content and its thumbnails
    wheelRest_ = 0;

    names_ = listReferencePhotos(app_.data());
    if (names_.empty()) {
        app_.ui.message(this, app_.msg(Msg::NoTreeToOpen));
        return;
    }
    ZoneImages->verticalScrollBar()->setValue(0);
    buildThumbnails();
}

void TF_Vignette::buildThumbnails() {
    BusyCursor busy;
    background_ = windowBackground();
    const QImage empty = toQImage(emptyChooserThumbnail(background_));  // shared by all
    const int columns = chooserColumns(ZoneImages->width());

    // Built apart and handed to the box at the end, so the box lays out its content once.
    // Every thumbnail starts as its empty frame and gets its photo below.
    auto* content = new QWidget;
    content->resize(
        std::max(ZoneImages->viewport()->width(), columns * kChooserPitch + kChooserGap),
        chooserContentHeight(names_.size(), columns));
    thumbnails_.reserve(names_.size());
    for (std::size_t i = 0; i < names_.size(); ++i) {
        auto* thumb = new ThumbnailImage(content, i, toQString(names_[i]));
        const CellPosition at = chooserCellPosition(i, columns);
        thumb->move(at.left, at.top);
        thumb->installEventFilter(this);  // the wheel over a thumbnail scrolls the box too
        connect(thumb, &ThumbnailImage::doubleClicked, this, [this](std::size_t index) {
            app_.guard(this, [this, index] { ImageDblClick(index); });
        });
        thumb->setPicture(empty);
        thumbnails_.push_back(thumb);
    }
    filled_.assign(names_.size(), false);
    ZoneImages->setWidget(content);
    ZoneImages->verticalScrollBar()->setValue(0);

    // The thumbnails in view are drawn before the window shows; a large collection fills in
    // behind them while the window already answers the user.
    fillVisibleThumbnails();
    if (thumbnailsComplete())
        reportFailures();
    else
        fillTimer_->start();
}

bool TF_Vignette::thumbnailsComplete() const {
    return std::find(filled_.begin(), filled_.end(), false) == filled_.end();
}

void TF_Vignette::fillThumbnail(std::size_t index) {
    filled_[index] = true;
    // A photo that cannot be read keeps its empty frame; the others still show, and the
    // reasons are told once, when every thumbnail was tried.
    try {
        const DataPaths data = app_.data();
        thumbnails_[index]->setPhoto(
            compactChooserThumbnail(data.imgref() / names_[index], background_));
    } catch (const std::exception& e) {
        failures_.push_back(toUtf8String(app_.errorText(e)));
    }
    // A photo that names no tree, or a card that cannot be read, leaves the name out; choosing
    // that photo tells why.
    try {
        const DataPaths data = app_.data();
        thumbnails_[index]->setCaption(
            toQString(readCard(data, chosenTreeId(names_[index])).treeName));
    } catch (const std::exception&) {
    }
}

void TF_Vignette::fillVisibleThumbnails() {
    const QRect view(-ZoneImages->widget()->pos(), ZoneImages->viewport()->size());
    for (std::size_t i = 0; i < thumbnails_.size(); ++i)
        if (!filled_[i] && thumbnails_[i]->geometry().intersects(view)) fillThumbnail(i);
}

void TF_Vignette::fillSomeThumbnails() {
    // A slice of work per turn of the event loop: what is in view first, then list order.
    QElapsedTimer slice;
    slice.start();
    fillVisibleThumbnails();
    for (std::size_t i = 0; i < thumbnails_.size() && slice.elapsed() < kFillSliceMs; ++i)
        if (!filled_[i]) fillThumbnail(i);
    if (thumbnailsComplete()) {
        fillTimer_->stop();
        reportFailures();
    }
}

void TF_Vignette::completeThumbnails() {
    fillTimer_->stop();
    if (thumbnailsComplete()) return;
    for (std::size_t i = 0; i < thumbnails_.size(); ++i)
        if (!filled_[i]) fillThumbnail(i);
    reportFailures();
}

void TF_Vignette::reportFailures() {
    if (failures_.empty()) return;
    QString text;
    for (const std::string& f : failures_) {
        if (!text.isEmpty()) text += QStringLiteral("\n\n");
        text += toQString(f);
    }
    failures_.clear();
    app_.ui.error(this, text);
}

void TF_Vignette::hideEvent(QHideEvent* event) {
    // A closed chooser draws nothing more; its next showing starts afresh.
    fillTimer_->stop();
    TavoDialog::hideEvent(event);
}

void TF_Vignette::ImageDblClick(std::size_t index) {
    if (index >= names_.size()) return;
    app_.session.openTreeId = chosenTreeId(names_[index]);
    accept();
}

void TF_Vignette::B_AnnulerClick() {
    reject();
}

void TF_Vignette::ZoneImagesMouseWheelDown() {
    ZoneImages->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
}

void TF_Vignette::ZoneImagesMouseWheelUp() {
    ZoneImages->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
}

bool TF_Vignette::eventFilter(QObject* watched, QEvent* event) {
    const bool inBox =
        watched == ZoneImages->viewport() || qobject_cast<ThumbnailImage*>(watched) != nullptr;
    if (inBox && event->type() == QEvent::Wheel) {
        wheelRest_ += static_cast<QWheelEvent*>(event)->angleDelta().y();
        while (wheelRest_ <= -kWheelNotch) {
            ZoneImagesMouseWheelDown();
            wheelRest_ += kWheelNotch;
        }
        while (wheelRest_ >= kWheelNotch) {
            ZoneImagesMouseWheelUp();
            wheelRest_ -= kWheelNotch;
        }
        return true;
    }
    return TavoDialog::eventFilter(watched, event);
}

}  // namespace tavo
