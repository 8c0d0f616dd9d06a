#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "cards/card_file.h"
#include "cards/ui/card_form.h"
#include "imaging/imaging.h"
#include "lists/list_files.h"
#include "startup/settings.h"
#include "support/program_fixture.h"
#include "support/ui_driving.h"
#include "ui_kit/qt_text.h"
#include "ui_kit/timage.h"

using namespace tavo;
using namespace tavo::test;

namespace {

namespace L = card_layout;

const LocalTime kFirst{2026, 2, 3, 14, 5, 9, 42};
const std::string kFirstId = "26034140509042";
const LocalTime kSecond{2026, 3, 10, 8, 30, 0, 5};
const std::string kSecondId = "26069083000005";

// The text of a fixed-string field as stored: the length byte and the Windows-1252 bytes.
std::string field(const std::vector<std::uint8_t>& rec, std::size_t offset) {
    const auto begin = rec.begin() + static_cast<std::ptrdiff_t>(offset) + 1;
    return std::string(begin, begin + rec.at(offset));
}

// True when the JPEG holds a baseline frame header and no progressive one.
bool isBaselineJpeg(const std::vector<std::uint8_t>& jpeg) {
    bool baseline = false;
    for (std::size_t i = 2; i + 1 < jpeg.size(); ++i) {
        if (jpeg[i] != 0xFF) continue;
        if (jpeg[i + 1] == 0xC2) return false;
        if (jpeg[i + 1] == 0xC0) baseline = true;
        if (jpeg[i + 1] == 0xDA) break;  // picture data follows
    }
    return jpeg.size() > 2 && jpeg[0] == 0xFF && jpeg[1] == 0xD8 && baseline;
}

class CardFormTest : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        start();
        form().clock = [this] { return now; };
        ui.clear();
    }

    TF_Fiche& form() { return *program->windows().fiche; }
    DataPaths data() const { return DataPaths{dir.path()}; }

    // A JPEG of the given size whose colours vary across the picture.
    QString writePhoto(const std::string& name, int width, int height) {
        Image img(width, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                img.setPixel(x, y,
                             {static_cast<std::uint8_t>(x * 255 / width),
                              static_cast<std::uint8_t>(y * 255 / height), 90});
        const auto bytes = encodeJpeg(img);
        writeBytes(dir / name, std::string(bytes.begin(), bytes.end()));
        return toQString((dir / name).string());
    }

    // Creates a tree through the menu with a name and a photo; returns the form's result.
    void createTree(const QString& name, const QString& photo,
                    const std::function<void(TF_Fiche&)>& fill = {}) {
        ui.pictures.push_back(photo);
        ui.modal["TF_Fiche"].push_back([=](QDialog* d) {
            auto& f = *static_cast<TF_Fiche*>(d);
            setText(&f, "E_NomArbre", name);
            if (fill) fill(f);
            click(&f, "B_Parcourir");
            click(&f, "B_Creation");
        });
        trigger(&main(), "CreerFiche");
    }

    // Every file of the three tree folders, sorted by folder.
    std::vector<std::string> treeFiles() {
        std::vector<std::string> all;
        for (const char* folder : {"FICHES", "GALERIES", "IMGREF"})
            for (const auto& name : listFolder(dir / folder))
                all.push_back(std::string(folder) + "/" + name);
        return all;
    }

    std::vector<std::vector<std::uint8_t>> filesOf(const std::string& id) {
        const DataPaths d = data();
        return {readBytes(d.card(id)), readBytes(d.works(id)), readBytes(d.gallery(id)),
                readBytes(d.referencePhoto(id))};
    }

    LocalTime now = kFirst;
};

}  // namespace

TEST_F(CardFormTest, CreatingWritesTheFourFilesAndShowsTheTree) {
    const QString photo = writePhoto("pin.jpg", 300, 200);
    const QString notes = QString(200, QLatin1Char('a')) + QStringLiteral("\nb") +
                          QString(57, QLatin1Char('c'));  // 260 characters once stored
    createTree(QStringLiteral("Érable du jardin"), photo, [&](TF_Fiche& f) {
        EXPECT_FALSE(enabled(&f, "B_Creation"));  // no photo yet
        child<QComboBox>(&f, "ComboBox_NomLatin")->setEditText(QStringLiteral("Acer palmatum"));
        setText(&f, "E_Cultivar", QStringLiteral("Deshojo"));
        setText(&f, "E_NomCommun", QStringLiteral("Érable"));
        setText(&f, "E_NomAnglais", QStringLiteral("Japanese maple"));
        setText(&f, "E_Provenance", QStringLiteral("Pépinière"));
        setText(&f, "E_DateAchat", QStringLiteral("29/02/2000"));
        setText(&f, "E_AgeAchat", QStringLiteral("12"));
        child<QCheckBox>(&f, "ChB_AgeEstime")->setChecked(true);
        child<QComboBox>(&f, "ComboBox_Etat")->setEditText(QStringLiteral("Pré-bonsaï"));
        setText(&f, "E_Prix", QStringLiteral("45 €"));
        child<QPlainTextEdit>(&f, "MM_Notes")->setPlainText(notes);
    });

    // The lists are missing in a fresh data folder: nothing to offer, no error.
    EXPECT_TRUE(ui.texts("error").empty());
    EXPECT_EQ(ui.texts("message"),
              (std::vector<QString>{":26:034:14:05:09:042:", ":26034140509042:",
                                    "Nombre de fiche (1) : 1:", "Nombre de fiche (2) : 2:"}));
    EXPECT_EQ(settings::cardCounter(DataPaths{dir.path()}), 2);
    EXPECT_EQ(app().session.openTreeId, kFirstId);
    EXPECT_EQ(treeFiles(), (std::vector<std::string>{
                               "FICHES/" + kFirstId + ".SIG", "FICHES/" + kFirstId + ".TRX",
                               "GALERIES/" + kFirstId + ".GAL", "IMGREF/" + kFirstId + ".JPG"}));

    const auto files = filesOf(kFirstId);
    const auto& rec = files[0];
    ASSERT_EQ(rec.size(), 1234u);
    EXPECT_TRUE(files[1].empty());
    EXPECT_TRUE(files[2].empty());
    EXPECT_EQ(field(rec, L::kCreationDate), "03/02/2026");
    EXPECT_EQ(field(rec, L::kTreeName), "\xC9rable du jardin");
    EXPECT_EQ(field(rec, L::kBotanicalName), "Acer palmatum");
    EXPECT_EQ(field(rec, L::kCultivar), "Deshojo");
    EXPECT_EQ(field(rec, L::kCommonName), "\xC9rable");
    EXPECT_EQ(field(rec, L::kEnglishName), "Japanese maple");
    EXPECT_EQ(field(rec, L::kProvenance), "P\xE9pini\xE8re");
    EXPECT_EQ(field(rec, L::kAcquisitionDate), "29/02/2000");
    EXPECT_EQ(field(rec, L::kAge), "12");
    EXPECT_EQ(field(rec, L::kAgeEstimated), "O");
    EXPECT_EQ(field(rec, L::kState), "Pr\xE9-bonsa\xEF");
    EXPECT_EQ(field(rec, L::kPrice), "45 \x80");
    // Line breaks are stored as the two characters CR LF.
    const std::string stored = std::string(200, 'a') + "\r\nb" + std::string(57, 'c');
    EXPECT_EQ(field(rec, L::kNotes1), stored.substr(0, 250));
    EXPECT_EQ(field(rec, L::kNotes2), stored.substr(250));
    EXPECT_EQ(rec[L::kReserved], 0);

    // The reference photo: baseline JPEG, box-fitted to 159.
    EXPECT_TRUE(isBaselineJpeg(files[3]));
    const Image ref = loadJpeg(data().referencePhoto(kFirstId));
    EXPECT_EQ(ref.size(), (Size{159, 106}));

    // The main window shows the new tree.
    TF_Main& m = main();
    EXPECT_TRUE(child(&m, "GB_Arbre")->isVisibleTo(&m));
    EXPECT_TRUE(child(&m, "GB_Travaux")->isVisibleTo(&m));
    EXPECT_TRUE(enabled(&m, "FermerFiche"));
    EXPECT_TRUE(enabled(&m, "Ligne1"));
    EXPECT_TRUE(enabled(&m, "OuvrirVign"));
    EXPECT_FALSE(enabled(&m, "ProprietesFiche"));
    EXPECT_EQ(textOf(&m, "L_NomArbre"), "Érable du jardin (26034140509042)");
    EXPECT_EQ(textOf(&m, "L_NomBotanique"), "Acer palmatum");
    const QImage shown =
        child<QLabel>(&m, "I_PhotoRef")->pixmap().toImage().convertToFormat(QImage::Format_RGB888);
    EXPECT_EQ(shown, toQImage(framedPicture(ref, backgroundOf(&m))));
    EXPECT_EQ(shown.pixelColor(0, 0), QColor(Qt::black));
    EXPECT_EQ(child<QTableWidget>(&m, "SG_LignesTravaux")->horizontalHeaderItem(1)->text(),
              msg(InterventionTypeHeading));
}

TEST_F(CardFormTest, RefusedInputWritesNothing) {
    const QString photo = writePhoto("pin.jpg", 200, 300);
    writeBytes(dir / "notes.jpg", "not a picture at all");
    const QString notJpeg = toQString((dir / "notes.jpg").string());
    ui.pictures = {photo, notJpeg};
    ui.modal["TF_Fiche"].push_back([&](QDialog* d) {
        auto& f = *static_cast<TF_Fiche*>(d);
        // A photo chosen before the name: "Créer" waits for the name.
        click(&f, "B_Parcourir");
        EXPECT_FALSE(enabled(&f, "B_Creation"));
        // A name typed and erased again: "Créer" wakes up but still wants the name.
        setText(&f, "E_NomArbre", QStringLiteral("P"));
        setText(&f, "E_NomArbre", QString());
        click(&f, "B_Creation");
        setText(&f, "E_NomArbre", QStringLiteral("Pin"));
        EXPECT_TRUE(enabled(&f, "B_Creation"));

        setText(&f, "E_DateAchat", QStringLiteral("31/04/2020"));
        click(&f, "B_Creation");
        setText(&f, "E_DateAchat", QStringLiteral("29/02/2023"));
        click(&f, "B_Creation");
        EXPECT_TRUE(f.isVisible());

        // A file that is not a JPEG: the error box, and the earlier photo stays chosen.
        child<QLineEdit>(&f, "E_DateAchat")->clear();
        const QImage before = child<TImage>(&f, "I_PhotoRef")->picture();
        click(&f, "B_Parcourir");
        EXPECT_EQ(child<TImage>(&f, "I_PhotoRef")->picture(), before);
        EXPECT_TRUE(f.photoChanged());

        QTest::keyClick(child<QLineEdit>(&f, "E_NomArbre"), Qt::Key_Escape);
        EXPECT_FALSE(f.isVisible());
    });
    trigger(&main(), "CreerFiche");

    EXPECT_EQ(ui.texts("message"), (std::vector<QString>{msg(CardNeedsNameAndPhoto),
                                                         msg(InvalidDate), msg(InvalidDate)}));
    ASSERT_EQ(ui.texts("error").size(), 1u);
    EXPECT_TRUE(ui.texts("error")[0].contains("notes.jpg"));
    EXPECT_TRUE(treeFiles().empty());
    EXPECT_EQ(settings::cardCounter(DataPaths{dir.path()}), 1);
    EXPECT_FALSE(child(&main(), "GB_Arbre")->isVisibleTo(&main()));
    EXPECT_TRUE(app().session.openTreeId.empty());
}

TEST_F(CardFormTest, NotJpegAsOnlyPhotoLeavesNothingToCreate) {
    writeBytes(dir / "photo.jpg", std::string(100, 'x'));
    ui.pictures = {toQString((dir / "photo.jpg").string())};
    ui.modal["TF_Fiche"].push_back([&](QDialog* d) {
        auto& f = *static_cast<TF_Fiche*>(d);
        setText(&f, "E_NomArbre", QStringLiteral("Pin"));
        click(&f, "B_Parcourir");
        EXPECT_FALSE(enabled(&f, "B_Creation"));
        click(&f, "B_Creation");
    });
    trigger(&main(), "CreerFiche");
    EXPECT_EQ(ui.texts("error").size(), 1u);
    EXPECT_TRUE(ui.texts("message").empty());
    EXPECT_TRUE(treeFiles().empty());
}

TEST_F(CardFormTest, ModifyingKeepsCreationDateIdentifierAndPhoto) {
    createTree(QStringLiteral("Pin"), writePhoto("pin.jpg", 300, 200), [](TF_Fiche& f) {
        child<QPlainTextEdit>(&f, "MM_Notes")->setPlainText(QString(300, QLatin1Char('n')));
    });
    const auto created = filesOf(kFirstId);
    now = kSecond;
    ui.clear();

    ui.modal["TF_Fiche"].push_back([&](QDialog* d) {
        auto& f = *static_cast<TF_Fiche*>(d);
        EXPECT_EQ(textOf(&f, "E_NomArbre"), "Pin");
        EXPECT_EQ(f.notesText(), QString(300, QLatin1Char('n')));
        EXPECT_FALSE(checked(&f, "ChB_AgeEstime"));
        EXPECT_EQ(textOf(&f, "L_NomFic"), QString::fromStdString(kFirstId));
        EXPECT_EQ(textOf(&f, "L_DateCrea"), "03/02/2026");
        EXPECT_FALSE(enabled(&f, "B_Creation"));
        EXPECT_TRUE(enabled(&f, "B_Modification"));
        setText(&f, "E_NomArbre", QStringLiteral("Pin noir"));
        child<QCheckBox>(&f, "ChB_AgeEstime")->setChecked(true);
        f.setNotesText(QStringLiteral("ligne 1\r\nligne 2"));
        click(&f, "B_Modification");
    });
    click(&main(), "B_Fiche");

    const auto modified = filesOf(kFirstId);
    ASSERT_EQ(modified[0].size(), 1234u);
    EXPECT_EQ(field(modified[0], L::kCreationDate), "03/02/2026");
    EXPECT_EQ(field(modified[0], L::kTreeName), "Pin noir");
    EXPECT_EQ(field(modified[0], L::kAgeEstimated), "O");
    EXPECT_EQ(field(modified[0], L::kNotes1), "ligne 1\r\nligne 2");
    EXPECT_EQ(field(modified[0], L::kNotes2), "");
    EXPECT_EQ(modified[3], created[3]);  // same photo, byte for byte
    EXPECT_EQ(treeFiles().size(), 4u);
    EXPECT_EQ(settings::cardCounter(DataPaths{dir.path()}), 2);
    EXPECT_TRUE(ui.texts("message").empty());
    EXPECT_EQ(textOf(&main(), "L_NomArbre"), "Pin noir (26034140509042)");

    // With "Parcourir", the same tree gets the new photo.
    ui.pictures.push_back(writePhoto("tall.jpg", 200, 300));
    ui.modal["TF_Fiche"].push_back([&](QDialog* d) {
        auto& f = *static_cast<TF_Fiche*>(d);
        EXPECT_EQ(f.notesText(), "ligne 1\r\nligne 2");
        click(&f, "B_Parcourir");
        click(&f, "B_Modification");
    });
    click(&main(), "B_Fiche");
    EXPECT_EQ(loadJpeg(data().referencePhoto(kFirstId)).size(), (Size{106, 159}));
    EXPECT_EQ(treeFiles().size(), 4u);
    EXPECT_EQ(field(filesOf(kFirstId)[0], L::kCreationDate), "03/02/2026");
    EXPECT_EQ(
        child<QLabel>(&main(), "I_PhotoRef")
            ->pixmap()
            .toImage()
            .convertToFormat(QImage::Format_RGB888),
        toQImage(framedPicture(loadJpeg(data().referencePhoto(kFirstId)), backgroundOf(&main()))));
}

TEST_F(CardFormTest, ModifierRefusesAnInvalidAcquisitionDate) {
    createTree(QStringLiteral("Pin"), writePhoto("pin.jpg", 300, 200));
    const auto before = filesOf(kFirstId);
    ui.clear();
    ui.modal["TF_Fiche"].push_back([&](QDialog* d) {
        auto& f = *static_cast<TF_Fiche*>(d);
        setText(&f, "E_NomArbre", QStringLiteral("Changé"));
        setText(&f, "E_DateAchat", QStringLiteral("31/04/2020"));
        click(&f, "B_Modification");
        EXPECT_TRUE(f.isVisible());
        EXPECT_EQ(filesOf(kFirstId), before);
        setText(&f, "E_DateAchat", QStringLiteral("30/04/2020"));
        click(&f, "B_Modification");
    });
    click(&main(), "B_Fiche");
    EXPECT_EQ(ui.texts("message"), std::vector<QString>{msg(InvalidDate)});
    EXPECT_EQ(field(filesOf(kFirstId)[0], L::kAcquisitionDate), "30/04/2020");
}

TEST_F(CardFormTest, CreerInModifyModeMakesANewTreeAndLeavesTheOldOne) {
    createTree(QStringLiteral("Pin"), writePhoto("pin.jpg", 300, 200));
    const auto old = filesOf(kFirstId);
    worksGrid().setItem(0, 0, new QTableWidgetItem(QStringLiteral("01/01/2024")));
    ui.clear();

    // Same clock instant: the new tree takes the next free identifier.
    ui.pictures.push_back(writePhoto("other.jpg", 120, 120));
    ui.modal["TF_Fiche"].push_back([&](QDialog* d) {
        auto& f = *static_cast<TF_Fiche*>(d);
        setText(&f, "E_NomArbre", QStringLiteral("Genévrier"));
        EXPECT_FALSE(enabled(&f, "B_Creation"));
        click(&f, "B_Parcourir");
        EXPECT_TRUE(enabled(&f, "B_Creation"));
        click(&f, "B_Creation");
    });
    click(&main(), "B_Fiche");

    const std::string newId = "26034140509043";
    EXPECT_EQ(filesOf(kFirstId), old);
    EXPECT_EQ(app().session.openTreeId, newId);
    EXPECT_EQ(treeFiles().size(), 8u);
    const auto created = filesOf(newId);
    EXPECT_EQ(field(created[0], L::kTreeName), "Gen\xE9vrier");
    EXPECT_EQ(loadJpeg(data().referencePhoto(newId)).size(), (Size{159, 159}));
    EXPECT_EQ(settings::cardCounter(DataPaths{dir.path()}), 3);
    EXPECT_EQ(textOf(&main(), "L_NomArbre"), "Genévrier (26034140509043)");
    // The works grid no longer shows the other tree's lines.
    EXPECT_EQ(worksGrid().item(0, 0), nullptr);
}

TEST_F(CardFormTest, ListsFillTheBoxesAndABotanicalNameFillsTheOtherNames) {
    const DataPaths d = data();
    const LabelListFile states = LabelListFile::acquisitionStates(d);
    states.createIfMissing();
    states.append("Pré-bonsaï");
    const std::string longState(50, 's');
    states.append(longState);
    const BotanicalNameListFile names(d);
    names.createIfMissing();
    names.append({"Pinus thunbergii", "Pin noir du Japon", "Japanese black pine"});
    names.append({"Acer palmatum", "Érable du Japon", "Japanese maple"});

    createTree(QStringLiteral("Pin"), writePhoto("pin.jpg", 300, 200), [&](TF_Fiche& f) {
        ASSERT_EQ(child<QComboBox>(&f, "ComboBox_Etat")->count(), 2);
        EXPECT_EQ(child<QComboBox>(&f, "ComboBox_Etat")->itemText(0), "Pré-bonsaï");
        EXPECT_EQ(textOf(&f, "ComboBox_Etat"), "");
        ASSERT_EQ(child<QComboBox>(&f, "ComboBox_NomLatin")->count(), 2);
        EXPECT_EQ(textOf(&f, "ComboBox_NomLatin"), "");
        EXPECT_EQ(textOf(&f, "E_NomCommun"), "");

        child<QComboBox>(&f, "ComboBox_NomLatin")->setCurrentIndex(1);
        EXPECT_EQ(textOf(&f, "E_NomCommun"), "Érable du Japon");
        EXPECT_EQ(textOf(&f, "E_NomAnglais"), "Japanese maple");
        // A typed name that selects nothing changes nothing else.
        setText(&f, "E_NomCommun", QStringLiteral("Momiji"));
        child<QComboBox>(&f, "ComboBox_NomLatin")->setEditText(QStringLiteral("Acer"));
        EXPECT_EQ(textOf(&f, "E_NomCommun"), "Momiji");
        child<QComboBox>(&f, "ComboBox_NomLatin")->setCurrentIndex(0);
        EXPECT_EQ(textOf(&f, "E_NomAnglais"), "Japanese black pine");

        child<QComboBox>(&f, "ComboBox_Etat")->setCurrentIndex(1);
    });
    const auto rec = filesOf(kFirstId)[0];
    EXPECT_EQ(field(rec, L::kBotanicalName), "Pinus thunbergii");
    EXPECT_EQ(field(rec, L::kCommonName), "Pin noir du Japon");
    EXPECT_EQ(field(rec, L::kState), longState.substr(0, 40));
}

TEST_F(CardFormTest, CreateModeStartsEmptyWithTheDefaultPicture) {
    createTree(QStringLiteral("Pin"), writePhoto("pin.jpg", 300, 200), [](TF_Fiche& f) {
        setText(&f, "E_Prix", QStringLiteral("10"));
        child<QCheckBox>(&f, "ChB_AgeEstime")->setChecked(true);
    });
    ui.modal["TF_Fiche"].push_back([&](QDialog* d) {
        auto& f = *static_cast<TF_Fiche*>(d);
        for (QLineEdit* e : {child<QLineEdit>(&f, "E_NomArbre"), child<QLineEdit>(&f, "E_Prix"),
                             child<QLineEdit>(&f, "E_DateAchat")})
            EXPECT_EQ(e->text(), "");
        EXPECT_FALSE(checked(&f, "ChB_AgeEstime"));
        EXPECT_EQ(textOf(&f, "L_NomFic"), "");
        EXPECT_FALSE(enabled(&f, "B_Creation"));
        EXPECT_FALSE(enabled(&f, "B_Modification"));
        EXPECT_FALSE(f.photoChanged());
        EXPECT_EQ(child<TImage>(&f, "I_PhotoRef")->picture().convertToFormat(QImage::Format_RGB888),
                  toQImage(loadBmp(data().defaultPicture())));
        // The memo takes 500 stored characters, a line break counting two.
        child<QPlainTextEdit>(&f, "MM_Notes")
            ->setPlainText(QString(300, QLatin1Char('x')) + QStringLiteral("\n") +
                           QString(300, QLatin1Char('y')));
        EXPECT_EQ(f.notesText().size(), 500);
        EXPECT_TRUE(
            f.notesText().endsWith(QStringLiteral("\r\n") + QString(198, QLatin1Char('y'))));
        click(&f, "B_Annuler");
    });
    trigger(&main(), "CreerFiche");
    EXPECT_EQ(treeFiles().size(), 4u);
    EXPECT_EQ(app().session.openTreeId, kFirstId);
}
