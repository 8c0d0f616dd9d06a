#include "photos/gallery_viewer.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>

#include "app/app_context.h"
#include "app/main_window.h"
#include "photos/gallery_file.h"
#include "photos/gallery_pictures.h"
#include "photos/photo_editor.h"
#include "app/picture_box.h"

namespace tavo {

namespace {

constexpr int kThumbnailLeft = 10, kThumbnailGap = 10;

QPushButton* commandButton(QWidget* parent, const char* name, int tag, const QString& caption,
                           const QString& hint, int y) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    setTag(b, tag);
    b->setToolTip(hint);
    b->setGeometry(320, y, 65, 25);
    return b;
}

}  // namespace

TF_Galerie::TF_Galerie(App& app) : TavoDialog(app, "TF_Galerie", 400, QStringLiteral("Galerie")) {
    setClientSize(400, 609);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setGeometry(16, 16, 369, 33);
    Label2 = new QLabel(
        QStringLiteral("Double cliquez sur une photo pour éditer ses informations."), Panel1);
    Label2->setObjectName(QStringLiteral("Label2"));
    // The panel's caption is this label's text, so the translation reaches it here.
    setTag(Label2, 403);
    Label2->setAlignment(Qt::AlignCenter);
    Label2->setGeometry(2, 2, 365, 29);

    ZoneImages = new QScrollArea(this);
    ZoneImages->setObjectName(QStringLiteral("ZoneImages"));
    ZoneImages->setFrameShape(QFrame::NoFrame);
    ZoneImages->setGeometry(16, 64, 289, 529);
    ZoneImages->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ZoneImages->setWidgetResizable(false);
    zoneContent_ = new QWidget;
    zoneContent_->setObjectName(QStringLiteral("ZoneImagesContent"));
    zoneContent_->resize(kThumbnailLeft + kGalleryCell, 0);
    ZoneImages->setWidget(zoneContent_);

    B_Ajouter =
        commandButton(this, "B_Ajouter", 401, QStringLiteral("Ajouter"),
                      QStringLiteral("Pour ajouter une photo à la galerie de l'arbre."), 64);
    B_Fermer = commandButton(this, "B_Fermer", 402, QStringLiteral("Fermer"),
                             QStringLiteral("Ferme la galerie."), 104);
    L_NomFic = new QLabel(this);
    L_NomFic->setObjectName(QStringLiteral("L_NomFic"));
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
    L_NomFic->setText(qs(s.openTreeId));
    const GalleryFile gallery(s.dataFolder, s.openTreeId);
    const std::vector<PhotoRecord> records = gallery.readAll();
    const int count = static_cast<int>(records.size());
    photoCount_ = count;
    const int step = kGalleryCell + kThumbnailGap;
    zoneContent_->resize(kThumbnailLeft + kGalleryCell, count * step);
    if (count > 0) {
        BusyCursor busy;
        const Rgb background = backgroundOf(app_.windows.main);
        int top = kThumbnailGap;
        for (int i = 0; i < count; ++i) {
            const PhotoRecord& r = records[static_cast<std::size_t>(i)];
            auto* t = new TImage(zoneContent_);
            t->setObjectName(QStringLiteral("Thumbnail%1").arg(i + 1));
            t->setGeometry(kThumbnailLeft, top, kGalleryCell, kGalleryCell);
            t->setToolTip(QString::number(i + 1) + QStringLiteral(".\n") + qs(r.date) +
                          QStringLiteral("\n") + qs(r.fileName) + QStringLiteral("\n") +
                          qs(r.comment));
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

void TF_Galerie::runEditor(char mode) {
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
    runEditor('M');
}

void TF_Galerie::B_AjouterClick() {
    runEditor('C');
}

void TF_Galerie::B_FermerClick() {
    reject();
}

}  // namespace tavo
