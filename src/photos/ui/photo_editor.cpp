#include "photos/ui/photo_editor.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "common/dates.h"
#include "common/errors.h"
#include "common/file_io.h"
#include "common/paths.h"
#include "imaging/picture_decoders.h"
#include "photos/gallery_file.h"
#include "photos/gallery_pictures.h"
#include "ui_kit/app.h"
#include "ui_kit/busy_cursor.h"
#include "ui_kit/controls.h"
#include "ui_kit/qt_image.h"
#include "ui_kit/qt_text.h"
#include "ui_kit/timage.h"

namespace tavo {

namespace {

// Every command button of the window is 25 pixels high.
QRect commandAt(int x, int y, int width) {
    return {x, y, width, 25};
}

const QString kPictureDialogTitle = QStringLiteral("Sélectionner une photo pour la galerie");

}  // namespace

TF_Photo::TF_Photo(App& app)
    : TavoDialog(app, "TF_Photo", 500, QStringLiteral("Ajouter une photo")) {
    setClientSize(433, 336);

    GB_Photo = makeGroup(this, "GB_Photo", 505, QStringLiteral("Photo "), {16, 16, 281, 201});
    I_Photo = placeControl(new TImage(GB_Photo), "I_Photo", 507, QString(), {16, 24, 161, 161});
    I_Photo->setAlignment(Qt::AlignCenter);
    B_Parcourir = makeButton(GB_Photo, "B_Parcourir", 506, QStringLiteral("Parcourir"),
                             QStringLiteral("Pour rechercher une photo sur les disques."),
                             commandAt(192, 24, 75));
    L_NomFic = makeLabel(GB_Photo, "L_NomFic", 0, QString(), QPoint(192, 64));
    L_NomFic->hide();
    L_Resolution = makeLabel(GB_Photo, "L_Resolution", 0, QString(), QPoint(192, 84));
    L_Resolution->hide();

    GB_Signalement = makeGroup(this, "GB_Signalement", 508,
                               QStringLiteral("Informations complémentaires "), {16, 232, 401, 89});
    L_Date = makeLabel(GB_Signalement, "L_Date", 512, QStringLiteral("Date"), QPoint(16, 24));
    E_DatPhoto = makeEdit(GB_Signalement, "E_DatPhoto", 510,
                          QStringLiteral("Donnée obligatoire - Date de la photo : au format "
                                         "jj/mm/aaaa."),
                          10, {16, 42, 81, 23});
    L_Comment = makeLabel(GB_Signalement, "L_Comment", 511, QStringLiteral("Commentaires"),
                          QPoint(112, 24));
    E_Comment = makeEdit(GB_Signalement, "E_Comment", 509,
                         QStringLiteral("Commentaire de la photo."), 100, {112, 42, 273, 23});

    B_Ajouter = makeButton(this, "B_Ajouter", 501, QStringLiteral("Ajouter"),
                           QStringLiteral("Pour ajouter la photo à la galerie de l'arbre."),
                           commandAt(328, 24, 89));
    B_Modifier = makeButton(this, "B_Modifier", 503, QStringLiteral("Modifier"),
                            QStringLiteral("Pour prendre en compte les modifications."),
                            commandAt(328, 56, 89));
    B_Modifier->setEnabled(false);
    B_Supprimer = makeButton(this, "B_Supprimer", 504, QStringLiteral("Supprimer"),
                             QStringLiteral("Pour supprimer la photo de la Galerie."),
                             commandAt(328, 88, 89));
    B_Supprimer->setEnabled(false);
    B_Fermer = makeButton(this, "B_Fermer", 502, QStringLiteral("Fermer"),
                          QStringLiteral("Ferme la fenêtre."), commandAt(328, 136, 89));

    const auto run = [this](void (TF_Photo::*handler)()) {
        return guarded([this, handler] { (this->*handler)(); });
    };
    connect(B_Parcourir, &QPushButton::clicked, this, run(&TF_Photo::B_ParcourirClick));
    markWriting({B_Ajouter, B_Modifier, B_Supprimer});
    connect(B_Ajouter, &QPushButton::clicked, this, run(&TF_Photo::B_AjouterClick));
    connect(B_Modifier, &QPushButton::clicked, this, run(&TF_Photo::B_ModifierClick));
    connect(B_Supprimer, &QPushButton::clicked, this, run(&TF_Photo::B_SupprimerClick));
    connect(B_Fermer, &QPushButton::clicked, this, run(&TF_Photo::B_FermerClick));
}

void TF_Photo::FormActivate() {
    photoChosen_ = false;
    const Session& s = app_.session;
    const bool adding = s.photoEditorMode == PhotoEditorMode::Add;
    B_Ajouter->setEnabled(adding);
    B_Parcourir->setEnabled(adding);
    E_DatPhoto->setEnabled(adding);
    B_Modifier->setEnabled(!adding);
    B_Supprimer->setEnabled(!adding);
    if (adding) {
        // The boxes are emptied first, so a missing default picture leaves no old text behind.
        L_NomFic->clear();
        L_Resolution->clear();
        E_DatPhoto->clear();
        E_Comment->clear();
        I_Photo->clearPicture();
        I_Photo->setPicture(loadBmp(app_.data().defaultPicture()));
        return;
    }
    const GalleryFile gallery(app_.data(), s.openTreeId);
    const PhotoRecord record = gallery.readAt(static_cast<std::size_t>(s.selectedPhoto));
    // Date and comment come first: when the photo cannot be shown, the boxes must still hold
    // this record's texts, or "Modifier" would write another photo's comment into it.
    E_DatPhoto->setText(toQString(record.date));
    E_Comment->setText(toQString(record.comment));
    showPreview(toQString(gallery.photoPath(record).string()));
}

void TF_Photo::showPreview(const QString& path) {
    const Rgb background = windowBackground();
    I_Photo->setPicture(framedPicture(Image(), background));
    BusyCursor busy;
    I_Photo->setPicture(photoPreview(toPath(path), background));
}

void TF_Photo::B_ParcourirClick() {
    const QString path =
        app_.ui.openPicture(this, kPictureDialogTitle, toQString(app_.session.dataFolder.string()));
    if (path.isEmpty()) return;
    chosenPicture_ = path;
    // The flag follows the last choice: "Ajouter" must never store a picture other than the
    // one shown, so an unreadable choice withdraws an earlier one.
    photoChosen_ = false;
    try {
        showPreview(path);
    } catch (const CodecError& e) {
        // One box in the user's language, naming the file; the preview stays an empty frame.
        app_.ui.error(this, app_.msg(Msg::PictureUnusable).arg(toQString(e.path().string())));
        return;
    }
    // The picture was read whole: EXIF trouble only leaves the date to be typed.
    if (const auto date = exifPhotoDate(toPath(path))) E_DatPhoto->setText(toQString(*date));
    photoChosen_ = true;
}

void TF_Photo::B_AjouterClick() {
    if (!app_.writable(this)) return;
    const std::string date = toUtf8String(E_DatPhoto->text());
    if (!isValidDate(date)) {
        app_.ui.message(this, app_.msg(Msg::InvalidDate));
        return;
    }
    if (!photoChosen_) {
        app_.ui.message(this, app_.msg(Msg::ChoosePhotoFirst));
        return;
    }
    const Session& s = app_.session;
    GalleryFile gallery(app_.data(), s.openTreeId);
    const NewPhoto plan = planNewPhoto(gallery, date, toUtf8String(E_Comment->text()));
    // The stored photo is made before anything is written: a picture that cannot be read
    // stops the add here, with the gallery untouched.
    Bytes photo;
    {
        BusyCursor busy;
        photo = storedGalleryPhoto(toPath(chosenPicture_));
    }
    app_.ui.message(this, QStringLiteral("Numéro de la photo à insérer :") +
                              QString::number(plan.number) + QStringLiteral(":"));
    app_.ui.message(this, QStringLiteral("Insertion enreg :") + toQString(plan.record.fileName) +
                              QStringLiteral(":") + toQString(plan.record.date) +
                              QStringLiteral(":") + toQString(plan.record.comment) +
                              QStringLiteral(":"));
    {
        BusyCursor busy;
        // The photo is on disk before its record; a failure removes it again.
        commitNewPhoto(gallery, plan, photo);
    }
    accept();
}

void TF_Photo::B_ModifierClick() {
    if (!app_.writable(this)) return;
    const Session& s = app_.session;
    GalleryFile gallery(app_.data(), s.openTreeId);
    gallery.changeComment(static_cast<std::size_t>(s.selectedPhoto),
                          toUtf8String(E_Comment->text()));
    accept();
}

void TF_Photo::B_SupprimerClick() {
    if (!app_.writable(this)) return;
    const Session& s = app_.session;
    GalleryFile gallery(app_.data(), s.openTreeId);
    const std::string name = gallery.remove(static_cast<std::size_t>(s.selectedPhoto));
    // The record is gone: the window closes with OK whatever happens to the file, so the
    // positions the viewer handed out are never used again.
    try {
        const std::filesystem::path photo = gallery.ownedPhotoPath(name);
        app_.ui.message(this, QStringLiteral("Nom du fichier supprimé :") +
                                  toQString(photo.string()) + QStringLiteral(":"));
        io::removeIfExists(photo);
    } catch (...) {
        accept();
        throw;
    }
    accept();
}

void TF_Photo::B_FermerClick() {
    reject();
}

}  // namespace tavo
