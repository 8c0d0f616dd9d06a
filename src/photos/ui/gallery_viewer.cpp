#include "photos/ui/gallery_viewer.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <future>

#include "photos/gallery_file.h"
#include "photos/gallery_pictures.h"
#include "photos/growth_sources.h"
#include "photos/ui/compare_window.h"
#include "photos/ui/photo_editor.h"
#include "photos/ui/timeline_strip.h"
#include "ui_kit/app.h"
#include "ui_kit/controls.h"
#include "ui_kit/qt_image.h"
#include "ui_kit/qt_text.h"
#include "ui_kit/timage.h"

namespace tavo {

namespace {

constexpr int kThumbnailLeft = 10, kThumbnailGap = 10;
// The window widens for the timeline; the command column stays at its right.
constexpr int kWidth = 400, kTimelineWidth = 1000, kHeight = 609;

// The commands stand in a column right of the thumbnails.
QRect commandAt(int y, int windowWidth = kWidth) {
    return {windowWidth - 80, y, 65, 25};
}

}  // namespace

TF_Galerie::TF_Galerie(App& app) : TavoDialog(app, "TF_Galerie", 400, QStringLiteral("Galerie")) {
    setClientSize(400, 609);

    Panel1 = placeControl(new QFrame(this), "Panel1", 0, QString(), {16, 16, 369, 33});
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    // The panel's caption is this label's text, so the translation reaches it here.
    Label2 = makeLabel(Panel1, "Label2", 403,
                       QStringLiteral("Double cliquez sur une photo pour éditer ses informations."),
                       {2, 2, 365, 29});
    Label2->setAlignment(Qt::AlignCenter);

    ZoneImages =
        placeControl(new QScrollArea(this), "ZoneImages", 0, QString(), {16, 64, 289, 529});
    ZoneImages->setFrameShape(QFrame::NoFrame);
    ZoneImages->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ZoneImages->setWidgetResizable(false);
    zoneContent_ = new QWidget;
    zoneContent_->setObjectName(QStringLiteral("ZoneImagesContent"));
    zoneContent_->resize(kThumbnailLeft + kGalleryCell, 0);
    ZoneImages->setWidget(zoneContent_);
    fillTimer_ = new QTimer(this);
    fillTimer_->setInterval(0);
    connect(fillTimer_, &QTimer::timeout, this, &TF_Galerie::fillSomeThumbnails);
    connect(ZoneImages->verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this] { fillVisibleThumbnails(); });

    B_Ajouter = makeButton(this, "B_Ajouter", 401, QStringLiteral("Ajouter"),
                           QStringLiteral("Pour ajouter une photo à la galerie de l'arbre."),
                           commandAt(64));
    B_Fermer = makeButton(this, "B_Fermer", 402, QStringLiteral("Fermer"),
                          QStringLiteral("Ferme la galerie."), commandAt(104));
    L_NomFic = makeLabel(this, "L_NomFic", 0, QString());
    L_NomFic->hide();

    B_Frise = makeButton(this, "B_Frise", 2140, QStringLiteral("Frise chronologique"),
                         QStringLiteral("Montre les photos le long du temps ; la molette fait "
                                        "défiler, Ctrl+molette zoome."),
                         {16, 64, 289, 25});
    B_Frise->setCheckable(true);
    ZoneImages->setGeometry(16, 96, 289, 497);
    B_Comparer = makeButton(this, "B_Comparer", 2141, QStringLiteral("Comparer"),
                            QStringLiteral("Comparer cette photo à une autre : choisissez-en une, "
                                           "puis l'autre (ou Ctrl+clic sur les deux)."),
                            commandAt(144));
    B_Comparer->setEnabled(false);
    ZoneFrise = placeControl(new TimelineStrip(this), "ZoneFrise", 0, QString(),
                             {16, 96, kTimelineWidth - 111, 462});
    ZoneFrise->hide();
    L_SansDate = makeLabel(this, "L_SansDate", 0, QString(), {16, 562, kTimelineWidth - 111, 40});
    L_SansDate->setWordWrap(true);
    L_SansDate->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    L_SansDate->hide();
    onClick(B_Frise, [this] { B_FriseClick(); });
    onClick(B_Comparer, [this] { B_ComparerClick(); });
    connect(ZoneFrise, &TimelineStrip::photoActivated, this, [this](std::size_t index) {
        app_.guard(this, [this, index] { openTimelinePhoto(index); });
    });
    connect(ZoneFrise, &TimelineStrip::compareRequested, this,
            [this](std::size_t earlier, std::size_t later) {
                app_.guard(this, [=, this] { comparePhotos(earlier, later); });
            });

    markWriting({B_Ajouter});
    onClick(B_Ajouter, [this] { B_AjouterClick(); });
    onClick(B_Fermer, [this] { B_FermerClick(); });
}

void TF_Galerie::fillThumbnail(int index) {
    filled_[static_cast<std::size_t>(index)] = true;
    // A photo that cannot be read keeps its empty frame; the reasons are told once, when every
    // thumbnail was tried.
    try {
        thumbnails_[index]->setPicture(
            galleryThumbnail(photoPaths_[static_cast<std::size_t>(index)], windowBackground()));
    } catch (const std::exception& e) {
        failures_.append(app_.errorText(e));
    }
}

void TF_Galerie::fillVisibleThumbnails() {
    const QRect view(-zoneContent_->pos(), ZoneImages->viewport()->size());
    std::vector<int> visible;
    for (int i = 0; i < thumbnails_.size(); ++i)
        if (!filled_[static_cast<std::size_t>(i)] && thumbnails_[i]->geometry().intersects(view))
            visible.push_back(i);
    // The photos in view are decoded side by side, one per processor: a camera-size file takes
    // a good part of the time the window may take to show.
    const Rgb background = windowBackground();
    std::vector<std::future<Image>> decoded;
    for (int i : visible)
        decoded.push_back(std::async(std::launch::async, galleryThumbnail,
                                     photoPaths_[static_cast<std::size_t>(i)], background));
    for (std::size_t k = 0; k < visible.size(); ++k) {
        const int i = visible[k];
        filled_[static_cast<std::size_t>(i)] = true;
        try {
            thumbnails_[i]->setPicture(decoded[k].get());
        } catch (const std::exception& e) {
            failures_.append(app_.errorText(e));
        }
    }
}

void TF_Galerie::fillSomeThumbnails() {
    // One thumbnail per turn of the event loop, those in view first: the window keeps
    // answering while large photos are decoded.
    fillVisibleThumbnails();
    const auto next = std::find(filled_.begin(), filled_.end(), false);
    if (next != filled_.end()) {
        fillThumbnail(static_cast<int>(next - filled_.begin()));
        return;
    }
    fillTimer_->stop();
    reportFailures();
}

void TF_Galerie::reportFailures() {
    if (failures_.isEmpty()) return;
    const QString text = failures_.join(QStringLiteral("\n\n"));
    failures_.clear();
    app_.ui.error(this, text);
}

void TF_Galerie::completeThumbnails() {
    fillTimer_->stop();
    for (int i = 0; i < thumbnails_.size(); ++i)
        if (!filled_[static_cast<std::size_t>(i)]) fillThumbnail(i);
    reportFailures();
}

void TF_Galerie::freeThumbnails() {
    // A thumbnail may be the very control whose double click is running: it leaves the window
    // now and is destroyed once its event is over.
    for (TImage* t : thumbnails_) {
        t->hide();
        t->setParent(nullptr);
        t->deleteLater();
    }
    thumbnails_.clear();
    photoPaths_.clear();
    filled_.clear();
    failures_.clear();
    fillTimer_->stop();
}

void TF_Galerie::FormActivate() {
    freeThumbnails();
    const Session& s = app_.session;
    L_NomFic->setText(toQString(s.openTreeId));
    const GalleryFile gallery(app_.data(), s.openTreeId);
    const std::vector<PhotoRecord> records = gallery.readAll();
    const int count = static_cast<int>(records.size());
    photoCount_ = count;
    // The timeline decodes its own small thumbnails as they come into view; the column,
    // hidden meanwhile, is built when the user switches back to it.
    const bool timeline = B_Frise->isChecked();
    if (timeline) fillTimeline();
    const int step = kGalleryCell + kThumbnailGap;
    zoneContent_->resize(kThumbnailLeft + kGalleryCell, count * step);
    if (count > 0 && !timeline) {
        // Every thumbnail starts as an empty frame (one picture shared by all); the photos in
        // view are decoded before the window shows, the others behind it, so a gallery of large
        // photos opens at once.
        const QPixmap empty =
            QPixmap::fromImage(toQImage(emptyGalleryThumbnail(windowBackground())));
        int top = kThumbnailGap;
        for (int i = 0; i < count; ++i) {
            const PhotoRecord& r = records[static_cast<std::size_t>(i)];
            auto* t = new TImage(zoneContent_);
            t->setObjectName(QStringLiteral("Thumbnail%1").arg(i + 1));
            t->setGeometry(kThumbnailLeft, top, kGalleryCell, kGalleryCell);
            t->setToolTip(QString::number(i + 1) + QStringLiteral(".\n") + toQString(r.date) +
                          QStringLiteral("\n") + toQString(r.fileName) + QStringLiteral("\n") +
                          toQString(r.comment));
            connect(t, &TImage::doubleClicked, this,
                    [this, t] { app_.guard(this, [this, t] { ThumbnailDblClick(t); }); });
            t->setPixmap(empty);
            thumbnails_.append(t);
            photoPaths_.push_back(gallery.photoPath(r));
            t->show();
            top += step;
        }
        filled_.assign(thumbnails_.size(), false);
        fillVisibleThumbnails();
        if (std::find(filled_.begin(), filled_.end(), false) == filled_.end())
            reportFailures();
        else
            fillTimer_->start();
    }
    if (count >= 2)
        setWindowTitle(app_.msg(Msg::GalleryTitle) + QStringLiteral(" [") + QString::number(count) +
                       QStringLiteral(" ") + app_.msg(Msg::GalleryPhotos) + QStringLiteral("]"));
    else
        setWindowTitle(app_.msg(count == 1 ? Msg::GalleryOnePhoto : Msg::GalleryNoPhoto));
}

void TF_Galerie::runEditor(PhotoEditorMode mode) {
    app_.session.photoEditorMode = mode;
    if (app_.showModal(app_.windows.photo) == QDialog::Accepted) {
        accept();
        return;
    }
    FormActivate();
}

void TF_Galerie::ThumbnailDblClick(TImage* thumbnail) {
    const QString hint = thumbnail->toolTip();
    app_.session.selectedPhoto = hint.left(hint.indexOf(QLatin1Char('.'))).toInt();
    runEditor(PhotoEditorMode::Browse);
}

void TF_Galerie::B_AjouterClick() {
    if (!app_.writable(this)) return;
    runEditor(PhotoEditorMode::Add);
}

void TF_Galerie::B_FermerClick() {
    reject();
}

}  // namespace tavo

namespace tavo {

void TF_Galerie::showTimeline(bool on) {
    const int width = on ? kTimelineWidth : kWidth;
    setClientSize(width, kHeight);
    ZoneImages->setVisible(!on);
    ZoneFrise->setVisible(on);
    B_Comparer->setEnabled(on);
    B_Ajouter->setGeometry(commandAt(64, width));
    B_Fermer->setGeometry(commandAt(104, width));
    B_Comparer->setGeometry(commandAt(144, width));
    if (!on) L_SansDate->hide();
}

void TF_Galerie::fillTimeline() {
    const DataPaths data = app_.data();
    const std::string id = app_.session.openTreeId;
    Timeline timeline = readTimeline(data, id);

    QStringList undated;
    for (const UndatedEntry& e : timeline.undated) {
        const QString date = QStringLiteral("« %1 »").arg(toQString(e.date));
        switch (e.kind) {
            case UndatedEntry::Kind::Photo:
                undated << QStringLiteral("%1. %2").arg(e.number).arg(date);
                break;
            case UndatedEntry::Kind::Work:
                undated << toQString(e.name) + QStringLiteral(" ") + date;
                break;
            case UndatedEntry::Kind::Acquisition:
                undated << app_.msg(Msg::AcquisitionDate) + QStringLiteral(" ") + date;
                break;
        }
    }
    L_SansDate->setText(app_.msg(Msg::UndatedPhotos) + QStringLiteral(" ") +
                        undated.join(QStringLiteral("; ")));
    L_SansDate->setVisible(!undated.isEmpty());

    ZoneFrise->setTexts(app_.msg(Msg::Year), app_.msg(Msg::Years), B_Comparer->text());
    ZoneFrise->setTimeline(std::move(timeline), [data, id](const TimelinePhoto& photo, int side) {
        return timelineThumbnail(data, id, photo.record, side);
    });
}

void TF_Galerie::B_FriseClick() {
    showTimeline(B_Frise->isChecked());
    FormActivate();
}

void TF_Galerie::B_ComparerClick() {
    if (ZoneFrise->currentPhoto() >= 0)
        ZoneFrise->markForCompare(static_cast<std::size_t>(ZoneFrise->currentPhoto()));
    ZoneFrise->setFocus();
}

void TF_Galerie::openTimelinePhoto(std::size_t index) {
    app_.session.selectedPhoto = static_cast<int>(ZoneFrise->timeline().photos.at(index).position);
    runEditor(PhotoEditorMode::Browse);
}

void TF_Galerie::comparePhotos(std::size_t earlier, std::size_t later) {
    app_.windows.compare->setPair(ZoneFrise->timeline(), {earlier, later});
    app_.showModal(app_.windows.compare);
}

}  // namespace tavo
