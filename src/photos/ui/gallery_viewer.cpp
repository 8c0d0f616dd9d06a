#include "photos/ui/gallery_viewer.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>

#include "app/app.h"
#include "app/busy_cursor.h"
#include "app/controls.h"
#include "app/qt_image.h"
#include "app/qt_text.h"
#include "app/timage.h"
#include "photos/gallery_file.h"
#include "photos/gallery_pictures.h"
#include "photos/ui/photo_editor.h"

namespace tavo {

namespace {

constexpr int kThumbnailLeft = 10, kThumbnailGap = 10;

// The commands stand in a column right of the thumbnails.
QRect commandAt(int y) {
    return {320, y, 65, 25};
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

    B_Ajouter = makeButton(this, "B_Ajouter", 401, QStringLiteral("Ajouter"),
                           QStringLiteral("Pour ajouter une photo à la galerie de l'arbre."),
                           commandAt(64));
    B_Fermer = makeButton(this, "B_Fermer", 402, QStringLiteral("Fermer"),
                          QStringLiteral("Ferme la galerie."), commandAt(104));
    L_NomFic = makeLabel(this, "L_NomFic", 0, QString());
    L_NomFic->hide();

    connect(B_Ajouter, &QPushButton::clicked, this,
            [this] { app_.guard(this, [this] { B_AjouterClick(); }); });
    connect(B_Fermer, &QPushButton::clicked, this,
            [this] { app_.guard(this, [this] { B_FermerClick(); }); });
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
}

void TF_Galerie::FormActivate() {
    freeThumbnails();
    const Session& s = app_.session;
    L_NomFic->setText(toQString(s.openTreeId));
    const GalleryFile gallery(s.dataFolder, s.openTreeId);
    const std::vector<PhotoRecord> records = gallery.readAll();
    const int count = static_cast<int>(records.size());
    photoCount_ = count;
    const int step = kGalleryCell + kThumbnailGap;
    zoneContent_->resize(kThumbnailLeft + kGalleryCell, count * step);
    if (count > 0) {
        BusyCursor busy;
        const Rgb background = windowBackground();
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
            // Kept at once, so a photo that fails to load leaves an empty frame that the next
            // activation frees with the others.
            thumbnails_.append(t);
            t->show();
            Image cell;
            try {
                cell = galleryThumbnail(gallery.photoPath(r), background);
            } catch (...) {
                t->setPicture(emptyGalleryThumbnail(background));
                throw;
            }
            t->setPicture(cell);
            top += step;
        }
    }
    if (count >= 2)
        setWindowTitle(app_.msg(46) + QStringLiteral(" [") + QString::number(count) +
                       QStringLiteral(" ") + app_.msg(47) + QStringLiteral("]"));
    else
        setWindowTitle(app_.msg(count == 1 ? 48 : 49));
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
    runEditor(PhotoEditorMode::Add);
}

void TF_Galerie::B_FermerClick() {
    reject();
}

}  // namespace tavo
