#include "cards/ui/card_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <filesystem>

#include "common/dates.h"
#include "common/errors.h"
#include "imaging/picture_decoders.h"
#include "lists/list_files.h"
#include "trees/tree_creation.h"
#include "ui_kit/app.h"
#include "ui_kit/busy_cursor.h"
#include "ui_kit/controls.h"
#include "ui_kit/qt_image.h"
#include "ui_kit/qt_text.h"
#include "ui_kit/tags.h"
#include "ui_kit/timage.h"

namespace tavo {
namespace {

// Widths of the two columns of labels and fields inside the left group boxes.
constexpr int kLabelX = 12, kLabelW = 98, kFieldX = 112, kFieldW = 252, kRowH = 24;

// A row of the left group boxes: its label, then its field.
QRect labelAt(int y) {
    return {kLabelX, y, kLabelW, kRowH};
}
QRect fieldAt(int y, int width = kFieldW) {
    return {kFieldX, y, width, kRowH};
}

// The list windows create the lists; until one of them ran there is simply nothing to offer.
bool listPresent(const ListFileBase& list) {
    return std::filesystem::exists(list.path());
}

const QString kCrLf = QStringLiteral("\r\n");

}  // namespace

TF_Fiche::TF_Fiche(App& app) : TavoDialog(app, "TF_Fiche", 100, QStringLiteral("Fiche \"Arbre\"")) {
    setClientSize(577, 475);
    buildControls();
}

void TF_Fiche::buildControls() {
    // Left: the names, then the acquisition. Right: the photo, then the card's own data.
    GB_Signalement =
        makeGroup(this, "GB_Signalement", 101, QStringLiteral("Signalement "), {8, 6, 376, 176});
    Label1 = makeLabel(GB_Signalement, "Label1", 102, QStringLiteral("Nom de l'Arbre     "),
                       labelAt(22));
    E_NomArbre = makeEdit(GB_Signalement, "E_NomArbre", 103,
                          QStringLiteral("Donnée obligatoire - Nom de l'arbre dans la collection."),
                          100, fieldAt(22));
    Label2 = makeLabel(GB_Signalement, "Label2", 104, QStringLiteral("Nom botanique"), labelAt(52));
    ComboBox_NomLatin = makeCombo(GB_Signalement, "ComboBox_NomLatin", 0, QString(), fieldAt(52));
    ComboBox_NomLatin->lineEdit()->setMaxLength(100);
    Label11 = makeLabel(GB_Signalement, "Label11", 0, QStringLiteral("Cultivar"), labelAt(82));
    E_Cultivar = makeEdit(GB_Signalement, "E_Cultivar", 0,
                          QStringLiteral("Nom du cultivar s'il existe"), 100, fieldAt(82));
    Label3 = makeLabel(GB_Signalement, "Label3", 106, QStringLiteral("Nom commun"), labelAt(112));
    E_NomCommun = makeEdit(GB_Signalement, "E_NomCommun", 107,
                           QStringLiteral("Nom vernaculaire s'il existe"), 100, fieldAt(112));
    Label4 = makeLabel(GB_Signalement, "Label4", 108, QStringLiteral("Nom anglais"), labelAt(142));
    E_NomAnglais =
        makeEdit(GB_Signalement, "E_NomAnglais", 109,
                 QStringLiteral("Nom vernaculaire en anglais s'il existe"), 100, fieldAt(142));

    GB_Acquisition =
        makeGroup(this, "GB_Acquisition", 110, QStringLiteral("Acquisition "), {8, 188, 376, 146});
    Label8 = makeLabel(GB_Acquisition, "Label8", 111, QStringLiteral("Etat"), labelAt(22));
    ComboBox_Etat = makeCombo(GB_Acquisition, "ComboBox_Etat", 112,
                              QStringLiteral("Saisissez l'état de l'arbre à l'acquisition, ou "
                                             "choisissez un état dans la liste."),
                              fieldAt(22));
    Label5 =
        makeLabel(GB_Acquisition, "Label5", 113, QStringLiteral("Provenance       "), labelAt(52));
    E_Provenance =
        makeEdit(GB_Acquisition, "E_Provenance", 114,
                 QStringLiteral("Magasin, lieu géographique, arbre origine..."), 100, fieldAt(52));
    Label6 = makeLabel(GB_Acquisition, "Label6", 115, QStringLiteral("Date"), labelAt(82));
    E_DateAchat = makeEdit(GB_Acquisition, "E_DateAchat", 116,
                           QStringLiteral("Date de l'acquisition : au format jj/mm/aaaa"), 10,
                           fieldAt(82, 80));
    // Wide enough for "Alter", "Edad" and the like, not only "Age".
    Label7 = makeLabel(GB_Acquisition, "Label7", 117, QStringLiteral("Age"), {195, 82, 32, kRowH});
    E_AgeAchat = makeEdit(GB_Acquisition, "E_AgeAchat", 118, QStringLiteral("Age à l'acquisition"),
                          3, {228, 82, 32, kRowH});
    ChB_AgeEstime =
        makeCheckBox(GB_Acquisition, "ChB_AgeEstime", 119, QStringLiteral("Age estimé ?"),
                     QStringLiteral("Si l'âge est juste estimé"), {268, 82, 104, kRowH});
    Label9 = makeLabel(GB_Acquisition, "Label9", 120, QStringLiteral("Prix    "), labelAt(112));
    E_Prix = makeEdit(GB_Acquisition, "E_Prix", 121, QStringLiteral("Si achat..."), 15,
                      fieldAt(112, 120));

    GB_PhotoRef =
        makeGroup(this, "GB_PhotoRef", 122, QStringLiteral("Photo référence "), {392, 6, 177, 232});
    I_PhotoRef =
        placeControl(new TImage(GB_PhotoRef), "I_PhotoRef", 123,
                     QStringLiteral("[]La photo référence est obligatoire"), {8, 22, 161, 161});
    B_Parcourir =
        makeButton(GB_PhotoRef, "B_Parcourir", 124, QStringLiteral("Parcourir"),
                   QStringLiteral("Pour rechercher une photo sur les disques."), {8, 192, 161, 28});

    // The card's identifier, creation date and reserved field: shown, never typed, and
    // never read as markup since they come from a file.
    L_NomFic = makeLabel(this, "L_NomFic", 0, QString(), {400, 250, 169, 20});
    L_DateCrea = makeLabel(this, "L_DateCrea", 0, QString(), {400, 272, 169, 20});
    Label10 = makeLabel(this, "Label10", 0, QString(), {400, 294, 169, 20});
    for (QLabel* shown : {L_NomFic, L_DateCrea, Label10}) shown->setTextFormat(Qt::PlainText);

    GB_Notes = makeGroup(this, "GB_Notes", 125, QStringLiteral("Notes"), {8, 340, 561, 88});
    MM_Notes = placeControl(new QPlainTextEdit(GB_Notes), "MM_Notes", 126,
                            QStringLiteral("Commentaires généraux sur l'arbre"), {10, 22, 541, 56});
    MM_Notes->setTabChangesFocus(true);

    B_Creation = makeButton(this, "B_Creation", 127, QStringLiteral("Créer"),
                            QStringLiteral("Pour créer la fiche de l'arbre."), {279, 438, 92, 28});
    B_Modification = makeButton(
        this, "B_Modification", 128, QStringLiteral("Modifier"),
        QStringLiteral("Pour prendre en compte les modifications apportées à la fiche de l'arbre."),
        {375, 438, 92, 28});
    B_Annuler =
        makeButton(this, "B_Annuler", 129, QStringLiteral("Annuler"),
                   QStringLiteral("Pour annuler les modifications apportées."), {477, 438, 92, 28});

    OpenPictureDialog1 = new QObject(this);
    OpenPictureDialog1->setObjectName(QStringLiteral("OpenPictureDialog1"));
    setTag(OpenPictureDialog1, 130);
    OpenPictureDialog1->setProperty("Title", QStringLiteral("Sélectionner une photo référence"));

    markWriting({B_Creation, B_Modification});
    onClick(B_Creation, [this] { B_CreationClick(); });
    onClick(B_Modification, [this] { B_ModificationClick(); });
    onClick(B_Parcourir, [this] { B_ParcourirClick(); });
    onClick(B_Annuler, [this] { B_AnnulerClick(); });
    connect(E_NomArbre, &QLineEdit::textChanged, this, [this] { E_NomArbreChange(); });
    connect(ComboBox_NomLatin, &QComboBox::currentIndexChanged, this,
            [this] { ComboBox_NomLatinChange(); });
    connect(ComboBox_NomLatin, &QComboBox::activated, this, [this] { ComboBox_NomLatinChange(); });
    connect(MM_Notes, &QPlainTextEdit::textChanged, this, [this] { limitNotes(); });
}

QString TF_Fiche::notesText() const {
    return MM_Notes->toPlainText().replace(QLatin1Char('\n'), kCrLf);
}

void TF_Fiche::setNotesText(const QString& stored) {
    QString text = stored;
    text.replace(kCrLf, QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    MM_Notes->setPlainText(text);
}

void TF_Fiche::limitNotes() {
    // The limit counts what the card stores, where a line break takes two characters.
    const QString text = MM_Notes->toPlainText();
    qsizetype stored = 0, keep = 0;
    for (; keep < text.size(); ++keep) {
        stored += text[keep] == QLatin1Char('\n') ? 2 : 1;
        if (stored > static_cast<qsizetype>(kNotesCap)) break;
    }
    if (keep == text.size()) return;
    const int cursor = MM_Notes->textCursor().position();
    const QSignalBlocker block(MM_Notes);
    MM_Notes->setPlainText(text.left(keep));
    QTextCursor c = MM_Notes->textCursor();
    c.setPosition(std::min<int>(cursor, static_cast<int>(keep)));
    MM_Notes->setTextCursor(c);
}

void TF_Fiche::FormActivate() {
    Session& s = app_.session;
    const DataPaths data = app_.data();
    // Nothing can be saved until the form is filled: a file that fails to read below must not
    // leave "Modifier" ready to write another showing's content over the open tree's card.
    B_Creation->setEnabled(false);
    B_Modification->setEnabled(false);
    const QSignalBlocker blockStates(ComboBox_Etat);
    const QSignalBlocker blockNames(ComboBox_NomLatin);

    ComboBox_Etat->clear();
    ComboBox_Etat->clearEditText();
    const LabelListFile states = LabelListFile::acquisitionStates(data);
    if (listPresent(states))
        for (const std::string& state : states.readAll()) ComboBox_Etat->addItem(toQString(state));
    ComboBox_Etat->setCurrentIndex(-1);

    ComboBox_NomLatin->clear();
    ComboBox_NomLatin->clearEditText();
    commonNames_.clear();
    englishNames_.clear();
    const BotanicalNameListFile names(data);
    if (listPresent(names))
        for (const BotanicalName& entry : names.readAll()) {
            ComboBox_NomLatin->addItem(toQString(entry.latin));
            commonNames_.append(toQString(entry.common));
            englishNames_.append(toQString(entry.english));
        }
    ComboBox_NomLatin->setCurrentIndex(-1);

    photoChanged_ = false;
    workingPhoto_ = Image();

    if (s.cardFormMode == CardFormMode::Modify) {
        s.currentCard = readCard(data, s.openTreeId);
        const TreeCard& c = s.currentCard;
        E_NomArbre->setText(toQString(c.treeName));
        ComboBox_NomLatin->setEditText(toQString(c.botanicalName));
        E_Cultivar->setText(toQString(c.cultivar));
        E_NomCommun->setText(toQString(c.commonName));
        E_NomAnglais->setText(toQString(c.englishName));
        E_Provenance->setText(toQString(c.provenance));
        E_DateAchat->setText(toQString(c.acquisitionDate));
        E_AgeAchat->setText(toQString(c.age));
        ChB_AgeEstime->setChecked(c.ageEstimated == "O");
        ComboBox_Etat->setEditText(toQString(c.state));
        E_Prix->setText(toQString(c.price));
        setNotesText(toQString(c.notes));
        L_NomFic->setText(toQString(s.openTreeId));
        Label10->setText(toQString(c.reserved));
        L_DateCrea->setText(toQString(c.creationDate));
        // The card can be changed even when its photo is missing ("Parcourir" replaces it).
        B_Modification->setEnabled(true);
        const Rgb background = windowBackground();
        I_PhotoRef->setPicture(framedPicture(Image(), background));
        I_PhotoRef->setPicture(
            framedPicture(loadJpeg(data.referencePhoto(s.openTreeId)), background));
    } else {
        for (QLineEdit* e : {E_NomArbre, E_Cultivar, E_NomCommun, E_NomAnglais, E_Provenance,
                             E_DateAchat, E_AgeAchat, E_Prix})
            e->clear();
        ComboBox_NomLatin->clearEditText();
        ComboBox_Etat->clearEditText();
        MM_Notes->clear();
        ChB_AgeEstime->setChecked(false);
        // A new card has no identifier, creation date or reserved text yet.
        L_NomFic->clear();
        L_DateCrea->clear();
        Label10->clear();
        I_PhotoRef->clearPicture();
        I_PhotoRef->setPicture(loadBmp(data.defaultPicture()));
    }
}

void TF_Fiche::E_NomArbreChange() {
    B_Creation->setEnabled(photoChanged_);
}

void TF_Fiche::ComboBox_NomLatinChange() {
    const int index = ComboBox_NomLatin->currentIndex();
    if (index < 0 || index >= commonNames_.size()) return;
    E_NomCommun->setText(commonNames_[index]);
    E_NomAnglais->setText(englishNames_[index]);
}

void TF_Fiche::B_ParcourirClick() {
    const QString file = app_.ui.openPicture(this, OpenPictureDialog1->property("Title").toString(),
                                             toQString(app_.data().root.string()));
    if (file.isEmpty()) return;
    // The photo is taken only once it has been read whole: a file that is not a picture leaves
    // the form as it was, so "Créer" cannot store a photo that does not exist.
    Image fitted;
    QString refused;
    {
        BusyCursor busy;
        try {
            fitted = loadFittedPicture(toPath(file), kReferencePhotoSide).image;
        } catch (const CodecError& e) {
            refused = toQString(e.path().string());
        }
    }
    if (!refused.isNull()) {
        // One box in the user's language, naming the file, once the busy pointer is gone.
        app_.ui.error(this, app_.msg(Msg::PictureUnusable).arg(refused));
        return;
    }
    workingPhoto_ = std::move(fitted);
    photoChanged_ = true;
    I_PhotoRef->setPicture(framedPicture(workingPhoto_, windowBackground()));
    B_Creation->setEnabled(!E_NomArbre->text().isEmpty());
}

TreeCard TF_Fiche::cardFromControls() const {
    TreeCard c;
    c.treeName = toUtf8String(E_NomArbre->text());
    c.botanicalName = toUtf8String(ComboBox_NomLatin->currentText());
    c.cultivar = toUtf8String(E_Cultivar->text());
    c.commonName = toUtf8String(E_NomCommun->text());
    c.englishName = toUtf8String(E_NomAnglais->text());
    c.provenance = toUtf8String(E_Provenance->text());
    c.acquisitionDate = toUtf8String(E_DateAchat->text());
    c.age = toUtf8String(E_AgeAchat->text());
    c.ageEstimated.assign(1, ChB_AgeEstime->isChecked() ? 'O' : 'N');
    c.state = toUtf8String(ComboBox_Etat->currentText());
    c.price = toUtf8String(E_Prix->text());
    c.notes = toUtf8String(notesText());
    return c;
}

void TF_Fiche::B_CreationClick() {
    if (!app_.writable(this)) return;
    const QString date = E_DateAchat->text();
    if (!date.isEmpty() && !isValidDate(toUtf8String(date))) {
        app_.ui.message(this, app_.msg(Msg::InvalidDate));
        return;
    }
    if (!photoChanged_ || E_NomArbre->text().isEmpty()) {
        app_.ui.message(this, app_.msg(Msg::CardNeedsNameAndPhoto));
        return;
    }
    Session& s = app_.session;
    const DataPaths data = app_.data();
    const NewTreeId made = newTreeId(data, clock);
    const std::string& id = made.id;
    app_.ui.message(this, toQString(treeIdPartsText(id)));

    // Until the new tree is whole, the main window still shows the tree it had open.
    const std::string previousId = s.openTreeId;
    const TreeCard previousCard = s.currentCard;
    s.openTreeId = id;
    try {
        app_.ui.message(this, QStringLiteral(":%1:").arg(toQString(id)));
        L_NomFic->setText(toQString(id));

        TreeCard card = cardFromControls();
        card.creationDate = shortDate(made.time);
        card.reserved.clear();
        s.currentCard = fitCard(card);

        // The four files and the counter are written all or nothing: a failure leaves no part
        // of the new tree behind.
        createTree(data, id, s.currentCard, encodeJpeg(workingPhoto_), [this](long counter) {
            app_.ui.message(this, QStringLiteral("Nombre de fiche (1) :%1:").arg(counter, 2));
            app_.ui.message(this, QStringLiteral("Nombre de fiche (2) :%1:").arg(counter + 1, 2));
        });
    } catch (...) {
        s.openTreeId = previousId;
        s.currentCard = previousCard;
        throw;
    }
    accept();
}

void TF_Fiche::B_ModificationClick() {
    if (!app_.writable(this)) return;
    // A date that would be refused at creation is refused here too.
    const QString date = E_DateAchat->text();
    if (!date.isEmpty() && !isValidDate(toUtf8String(date))) {
        app_.ui.message(this, app_.msg(Msg::InvalidDate));
        return;
    }
    Session& s = app_.session;
    const DataPaths data = app_.data();
    TreeCard card = cardFromControls();
    card.creationDate = s.currentCard.creationDate;
    card.reserved = s.currentCard.reserved;
    // The card and a new photo are saved both or neither.
    const Bytes photo = photoChanged_ ? encodeJpeg(workingPhoto_) : Bytes();
    saveCardChanges(data, s.openTreeId, card, photoChanged_ ? &photo : nullptr);
    s.currentCard = fitCard(card);
    accept();
}

void TF_Fiche::B_AnnulerClick() {
    reject();
}

}  // namespace tavo
