// The photo editor and the gallery viewer driven through their buttons, with the files they
// leave in GALERIES checked byte for byte.
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <optional>

#include "cards/card_file.h"
#include "common/file_io.h"
#include "common/paths.h"
#include "imaging/exif_samples.h"
#include "imaging/imaging.h"
#include "photos/gallery_file.h"
#include "photos/ui/gallery_viewer.h"
#include "photos/ui/photo_editor.h"
#include "support/faults.h"
#include "support/picture_samples.h"
#include "support/program_fixture.h"
#include "support/ui_driving.h"
#include "ui_kit/timage.h"

using namespace tavo;
using namespace tavo::test;
namespace fs = std::filesystem;

namespace {

const std::string kTree = "20240315143005";
constexpr Rgb kRed{200, 30, 30};
constexpr Rgb kBlue{30, 40, 210};

bool near(QRgb pixel, Rgb c) {
    return std::abs(qRed(pixel) - c.r) <= 16 && std::abs(qGreen(pixel) - c.g) <= 16 &&
           std::abs(qBlue(pixel) - c.b) <= 16;
}
bool same(QRgb pixel, Rgb c) {
    return qRed(pixel) == c.r && qGreen(pixel) == c.g && qBlue(pixel) == c.b;
}

// What a stored JPEG says about itself, read from its markers.
struct JpegFacts {
    bool baseline = false;
    bool progressive = false;
    std::vector<int> lumaTable;  // quantization table 0, zigzag order
    Size size;
};

JpegFacts inspectJpeg(const fs::path& path) {
    const std::vector<std::uint8_t> b = readBytes(path);
    JpegFacts f;
    std::size_t i = 2;
    while (i + 4 <= b.size() && b[i] == 0xFF) {
        const std::uint8_t marker = b[i + 1];
        const std::size_t length = (std::size_t{b[i + 2]} << 8) | b[i + 3];
        if (marker == 0xC0) f.baseline = true;
        if (marker == 0xC2) f.progressive = true;
        if (marker == 0xDB) {
            for (std::size_t p = i + 4; p < i + 2 + length;) {
                const bool wide = b[p] >> 4, table0 = (b[p] & 15) == 0;
                ++p;
                for (int k = 0; k < 64; ++k, p += wide ? 2 : 1)
                    if (table0) f.lumaTable.push_back(wide ? (b[p] << 8 | b[p + 1]) : b[p]);
            }
        }
        if (marker == 0xDA) break;
        i += 2 + length;
    }
    f.size = decodeJpegScaled(b, path, 0).original;
    return f;
}

class GalleryWindowsTest : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        start();
        // The caption as the user saw it: the main window's activation re-translates every
        // window once the viewer has closed.
        QObject::connect(&viewer(), &QDialog::finished,
                         [this](int) { viewerTitle = viewer().windowTitle(); });
        const DataPaths data{dir.path()};
        TreeCard card;
        card.treeName = "Pin noir";
        createCard(data, kTree, card);
        createEmptyTreeFiles(data, kTree);
        app().session.openTreeId = kTree;
        main().treeOpened();
        ui.clear();
    }
    void TearDown() override {
        test::failNthWrite(0);
        ProgramTest::TearDown();
    }

    TF_Photo& editor() { return *program->windows().photo; }
    TF_Galerie& viewer() { return *program->windows().galerie; }
    QString viewerTitle;
    GalleryFile gallery() { return GalleryFile(DataPaths{dir.path()}, kTree); }
    fs::path photo(int number) { return dir / "GALERIES" / photoFileName(kTree, number); }
    Rgb background() { return backgroundOf(&main()); }

    // A JPEG picture file, with an EXIF APP1 segment made of `tiff` right after its start.
    fs::path jpegFile(const std::string& name, const Image& picture,
                      const std::optional<exif::Bytes>& tiff = std::nullopt) {
        std::vector<std::uint8_t> bytes = encodeJpeg(picture);
        if (tiff) {
            const exif::Bytes segment = exif::app1(*tiff);
            bytes.insert(bytes.begin() + 2, segment.begin(), segment.end());
        }
        const fs::path path = pictures / name;
        fs::create_directories(pictures);
        io::writeFile(path, bytes);
        return path;
    }
    static exif::Bytes takenOn(const std::string& exifDate) {
        return exif::Tiff(false)
            .text(exif::Ifd::Zero, exif::kMake, "Canon")
            .text(exif::Ifd::Exif, exif::kDateTimeOriginal, exifDate)
            .build();
    }

    // Opens the gallery and adds `picture` through the editor: "Parcourir", then the date
    // (when given) and the comment, then "Ajouter". `check` looks at the editor before "Ajouter".
    void addThroughWindows(const fs::path& picture, const std::optional<QString>& typedDate,
                           const QString& comment,
                           const std::function<void(TF_Photo&)>& check = nullptr) {
        ui.modal["TF_Galerie"].push_back([this](QDialog*) { click(&viewer(), "B_Ajouter"); });
        ui.modal["TF_Photo"].push_back([=, this](QDialog*) {
            ui.pictures.push_back(QString::fromStdString(picture.string()));
            click(&editor(), "B_Parcourir");
            if (typedDate) setText(&editor(), "E_DatPhoto", *typedDate);
            setText(&editor(), "E_Comment", comment);
            if (check) check(editor());
            click(&editor(), "B_Ajouter");
        });
        click(&main(), "B_Evolution");
    }

    // Adds a photo straight through the gallery core, for viewer tests.
    void addDirect(const std::string& date, const std::string& comment, const Image& picture) {
        GalleryFile g = gallery();
        commitNewPhoto(g, planNewPhoto(g, date, comment), encodeJpeg(picture));
    }

    fs::path pictures = dir / "pictures";
};

}  // namespace

TEST_F(GalleryWindowsTest, PhotosFromJpegsWithAndWithoutExifLandInDateOrder) {
    // A camera picture dated by its EXIF data.
    const fs::path camera =
        jpegFile("camera.jpg", Image(2000, 1000, kRed), takenOn("2005:07:14 10:20:30"));
    addThroughWindows(camera, std::nullopt, QStringLiteral("premier rempotage"), [&](TF_Photo& e) {
        EXPECT_EQ(textOf(&e, "E_DatPhoto"), "14/07/2005");
        EXPECT_TRUE(e.photoChosen());
        // The 2000 x 1000 picture is previewed at 159 x 80, drawn at x 1, y 40 inside the frame.
        const QImage p = child<TImage>(&e, "I_Photo")->picture();
        ASSERT_EQ(p.size(), QSize(161, 161));
        EXPECT_TRUE(same(p.pixel(0, 0), kBlack) && same(p.pixel(160, 160), kBlack));
        EXPECT_TRUE(same(p.pixel(80, 39), background()));
        EXPECT_TRUE(near(p.pixel(1, 40), kRed) && near(p.pixel(159, 119), kRed));
        EXPECT_TRUE(same(p.pixel(80, 120), background()));
    });
    EXPECT_EQ(ui.modalShown, (std::vector<QString>{"TF_Galerie", "TF_Photo"}));
    EXPECT_FALSE(viewer().isVisible());  // the viewer closed after the editor's OK
    EXPECT_EQ(
        ui.texts("message"),
        (std::vector<QString>{"Numéro de la photo à insérer :1:",
                              QString::fromStdString("Insertion enreg :" + kTree +
                                                     "001.JPG:14/07/2005:premier rempotage:")}));

    // A picture without EXIF data keeps the typed date; it is older, so it goes first.
    const fs::path scan = jpegFile("scan.jpg", Image(1000, 2000, kBlue));
    ui.modal["TF_Galerie"].push_back([this](QDialog*) { click(&viewer(), "B_Ajouter"); });
    ui.modal["TF_Photo"].push_back([&](QDialog*) {
        setText(&editor(), "E_DatPhoto", "03/04/2004");
        ui.pictures.push_back(QString::fromStdString(scan.string()));
        click(&editor(), "B_Parcourir");
        EXPECT_EQ(textOf(&editor(), "E_DatPhoto"), "03/04/2004");
        click(&editor(), "B_Ajouter");
    });
    trigger(&main(), "Galerie1");

    // EXIF without a shooting date gives "//", refused until a date is typed.
    const fs::path edited =
        jpegFile("edited.jpg", Image(100, 50, kRed),
                 exif::Tiff(true).text(exif::Ifd::Zero, exif::kMake, "X").build());
    ui.clear();
    addThroughWindows(edited, std::nullopt, QString(), [&](TF_Photo& e) {
        EXPECT_EQ(textOf(&e, "E_DatPhoto"), "//");
        click(&e, "B_Ajouter");
        EXPECT_EQ(ui.texts("message"), std::vector<QString>{msg(InvalidDate)});
        EXPECT_TRUE(e.isVisible());
        setText(&e, "E_DatPhoto", "14/07/2005");
    });
    EXPECT_TRUE(ui.texts("error").empty());

    // Records in date order; same-day photos in the order added.
    const auto records = gallery().readAll();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].fileName, kTree + "002.JPG");
    EXPECT_EQ(records[1].fileName, kTree + "001.JPG");
    EXPECT_EQ(records[2].fileName, kTree + "003.JPG");
    const auto gal = readBytes(gallery().path());
    ASSERT_EQ(gal.size(), 3 * 135u);
    std::vector<std::uint8_t> second(gal.begin() + 135, gal.begin() + 270);
    std::vector<std::uint8_t> expected(135, 0);
    const std::string name = kTree + "001.JPG", date = "14/07/2005", comment = "premier rempotage";
    expected[0] = 21;
    std::copy(name.begin(), name.end(), expected.begin() + 1);
    expected[23] = 10;
    std::copy(date.begin(), date.end(), expected.begin() + 24);
    expected[34] = static_cast<std::uint8_t>(comment.size());
    std::copy(comment.begin(), comment.end(), expected.begin() + 35);
    EXPECT_EQ(second, expected);

    // Stored photos: baseline JPEGs of quality 90, longer side 600, small pictures enlarged.
    const std::vector<Size> sizes{{600, 300}, {300, 600}, {600, 300}};
    for (int n = 1; n <= 3; ++n) {
        const JpegFacts f = inspectJpeg(photo(n));
        EXPECT_TRUE(f.baseline) << n;
        EXPECT_FALSE(f.progressive) << n;
        EXPECT_EQ(f.size, sizes[static_cast<std::size_t>(n - 1)]) << n;
        ASSERT_GE(f.lumaTable.size(), 8u);
        EXPECT_EQ(std::vector<int>(f.lumaTable.begin(), f.lumaTable.begin() + 8),
                  (std::vector<int>{3, 2, 2, 3, 2, 2, 3, 3}));
    }
    const Image enlarged = loadJpeg(photo(3));
    EXPECT_TRUE(near(
        qRgb(enlarged.pixel(599, 299).r, enlarged.pixel(599, 299).g, enlarged.pixel(599, 299).b),
        kRed));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "GALERIES"), fs::directory_iterator()), 4);

    // The viewer shows them, oldest first.
    click(&main(), "B_Evolution");
    ASSERT_EQ(viewer().thumbnails().size(), 3);
    EXPECT_TRUE(viewer().thumbnails()[0]->toolTip().startsWith(
        QString::fromStdString("1.\n03/04/2004\n" + kTree + "002.JPG")));
}

// Pictures as phones and cameras give them: damaged EXIF data only leaves the date to type, a
// portrait is stored upright, a screen capture is taken; a damaged one gets one box naming it.
TEST_F(GalleryWindowsTest, PicturesFromAnyCameraOrPhoneAreAdded) {
    const exif::Bytes brokenExif =
        exif::Tiff(true).text(exif::Ifd::Zero, exif::kMake, "Kodak").ifd0Offset(0xFFFFFFF0).build();
    const exif::Bytes portraitExif =
        exif::Tiff(true)
            .shortValue(exif::Ifd::Zero, exif::kOrientation, 6)
            .text(exif::Ifd::Exif, exif::kDateTimeOriginal, "2024:05:17 09:41:07")
            .build();
    fs::create_directories(pictures);
    io::writeFile(pictures / "capture.png", test::pngBytes(Image(300, 200, kBlue)));
    std::vector<std::uint8_t> cut = test::pngBytes(Image(300, 200, kBlue));
    cut.resize(cut.size() / 2);
    io::writeFile(pictures / "cut.png", cut);
    const struct {
        fs::path picture;
        std::optional<QString> typed;
        QString date;  // in the box before "Ajouter"
        Size stored;
    } cases[] = {
        {jpegFile("broken.jpg", Image(400, 200, kRed), brokenExif),
         "02/03/2020",
         "02/03/2020",
         {600, 300}},
        {jpegFile("portrait.jpg", Image(400, 200, kRed), portraitExif),
         std::nullopt,
         "17/05/2024",
         {300, 600}},
        {pictures / "capture.png", "03/03/2020", "03/03/2020", {600, 400}},
    };
    int n = 0;
    for (const auto& c : cases) {
        ui.clear();
        addThroughWindows(c.picture, c.typed, QString(), [&](TF_Photo& e) {
            EXPECT_TRUE(e.photoChosen()) << c.picture;
            EXPECT_EQ(textOf(&e, "E_DatPhoto"), c.date) << c.picture;
        });
        EXPECT_TRUE(ui.texts("error").empty()) << c.picture;
        EXPECT_EQ(inspectJpeg(photo(++n)).size, c.stored) << c.picture;
    }

    ui.clear();
    ui.modal["TF_Galerie"].push_back([this](QDialog*) { click(&viewer(), "B_Ajouter"); });
    ui.modal["TF_Photo"].push_back([&](QDialog*) {
        ui.pictures.push_back(QString::fromStdString((pictures / "cut.png").string()));
        click(&editor(), "B_Parcourir");
        EXPECT_FALSE(editor().photoChosen());
        click(&editor(), "B_Fermer");
    });
    click(&main(), "B_Evolution");
    const QString path = QString::fromStdString((pictures / "cut.png").string());
    EXPECT_EQ(ui.texts("error"), std::vector<QString>{msg(PictureUnusable).arg(path)});
}

TEST_F(GalleryWindowsTest, AddChecksTheDateFirstThenTheChosenPicture) {
    ui.modal["TF_Galerie"].push_back([this](QDialog*) { click(&viewer(), "B_Ajouter"); });
    ui.modal["TF_Photo"].push_back([this](QDialog*) {
        setText(&editor(), "E_DatPhoto", "31/02/2020");
        click(&editor(), "B_Ajouter");
        setText(&editor(), "E_DatPhoto", "28/02/2020");
        click(&editor(), "B_Ajouter");
        EXPECT_TRUE(editor().isVisible());
    });
    click(&main(), "B_Evolution");
    EXPECT_EQ(ui.texts("message"), (std::vector<QString>{msg(InvalidDate), msg(ChoosePhotoFirst)}));
    EXPECT_EQ(fs::file_size(gallery().path()), 0u);
    // The editor's Cancel brought the viewer back to life: rebuilt, still open for the user.
    EXPECT_EQ(ui.modalShown, (std::vector<QString>{"TF_Galerie", "TF_Photo"}));
    EXPECT_EQ(viewerTitle, msg(GalleryNoPhoto));
}

TEST_F(GalleryWindowsTest, AnUnreadableChoiceWithdrawsTheEarlierOne) {
    const fs::path good = jpegFile("good.jpg", Image(400, 300, kRed));
    fs::create_directories(pictures);
    writeBytes(pictures / "broken.jpg", "not a picture at all");
    ui.modal["TF_Galerie"].push_back([this](QDialog*) { click(&viewer(), "B_Ajouter"); });
    ui.modal["TF_Photo"].push_back([&](QDialog*) {
        setText(&editor(), "E_DatPhoto", "01/05/2021");
        ui.pictures.push_back(QString::fromStdString(good.string()));
        click(&editor(), "B_Parcourir");
        EXPECT_TRUE(editor().photoChosen());
        ui.pictures.push_back(QString::fromStdString((pictures / "broken.jpg").string()));
        click(&editor(), "B_Parcourir");
        EXPECT_FALSE(editor().photoChosen());
        // The preview is left empty, frame only.
        const QImage p = child<TImage>(&editor(), "I_Photo")->picture();
        EXPECT_TRUE(same(p.pixel(0, 80), kBlack) && same(p.pixel(80, 80), background()));
        click(&editor(), "B_Ajouter");
    });
    click(&main(), "B_Evolution");
    EXPECT_EQ(ui.texts("error").size(), 1u);
    EXPECT_EQ(ui.texts("message"), std::vector<QString>{msg(ChoosePhotoFirst)});
    EXPECT_EQ(fs::file_size(gallery().path()), 0u);
    EXPECT_FALSE(fs::exists(photo(1)));
    // A cancelled dialog changes nothing.
    ui.modal["TF_Galerie"].push_back([this](QDialog*) { click(&viewer(), "B_Ajouter"); });
    ui.modal["TF_Photo"].push_back([&](QDialog*) {
        ui.pictures.push_back(QString::fromStdString(good.string()));
        click(&editor(), "B_Parcourir");
        click(&editor(), "B_Parcourir");  // cancelled
        EXPECT_TRUE(editor().photoChosen());
    });
    click(&main(), "B_Evolution");
}

TEST_F(GalleryWindowsTest, AFailedSaveLeavesNoRecordAndNoPhoto) {
    addDirect("10/10/2010", "existant", Image(600, 400, kBlue));
    const auto before = readBytes(gallery().path());
    const fs::path picture = jpegFile("p.jpg", Image(800, 600, kRed));
    // Write 1 stores the photo, write 2 inserts the older record through DATA.TMP.
    for (int failing = 1; failing <= 2; ++failing) {
        ui.clear();
        ui.modal["TF_Galerie"].push_back([this](QDialog*) { click(&viewer(), "B_Ajouter"); });
        ui.modal["TF_Photo"].push_back([&, failing](QDialog*) {
            ui.pictures.push_back(QString::fromStdString(picture.string()));
            click(&editor(), "B_Parcourir");
            setText(&editor(), "E_DatPhoto", "01/01/2001");
            test::failNthWrite(failing);
            click(&editor(), "B_Ajouter");
            test::failNthWrite(0);
            EXPECT_TRUE(editor().isVisible()) << failing;
        });
        click(&main(), "B_Evolution");
        EXPECT_EQ(ui.texts("error").size(), 1u) << failing;
        EXPECT_EQ(readBytes(gallery().path()), before) << failing;
        EXPECT_FALSE(fs::exists(photo(2))) << failing;
        EXPECT_FALSE(fs::exists(dir / "DATA.TMP")) << failing;
    }
    // Nothing is left behind that would spoil the next add.
    addThroughWindows(picture, QStringLiteral("01/01/2001"), QString());
    EXPECT_EQ(gallery().readAll().front().fileName, kTree + "002.JPG");
    EXPECT_TRUE(fs::exists(photo(2)));
}

TEST_F(GalleryWindowsTest, ViewerGeometryAndCaptionFollowThePhotoCount) {
    click(&main(), "B_Evolution");
    EXPECT_TRUE(viewer().thumbnails().isEmpty());
    EXPECT_EQ(viewerTitle, msg(GalleryNoPhoto));
    EXPECT_EQ(textOf(&viewer(), "L_NomFic"), QString::fromStdString(kTree));

    addDirect("01/03/2020", "paysage", Image(600, 300, kRed));
    click(&main(), "B_Evolution");
    ASSERT_EQ(viewer().thumbnails().size(), 1);
    EXPECT_EQ(viewer().thumbnails()[0]->geometry(), QRect(10, 10, 250, 250));
    EXPECT_EQ(viewerTitle, msg(GalleryOnePhoto));
    // The 600 x 300 photo fills (0, 62) to (250, 188), framed white top-left, black
    // bottom-right.
    const QImage cell = viewer().thumbnails()[0]->picture();
    EXPECT_TRUE(same(cell.pixel(125, 61), background()));
    EXPECT_TRUE(near(cell.pixel(125, 62), kRed) && near(cell.pixel(125, 187), kRed));
    EXPECT_TRUE(same(cell.pixel(125, 188), background()));
    EXPECT_TRUE(same(cell.pixel(0, 125), kWhite) && same(cell.pixel(125, 0), kWhite));
    EXPECT_TRUE(same(cell.pixel(249, 125), kBlack) && same(cell.pixel(125, 249), kBlack));

    addDirect("02/03/2020", "portrait", Image(300, 600, kBlue));
    addDirect("03/03/2020", "carré", Image(500, 500, kBlue));
    addDirect("04/03/2020", "", Image(640, 480, kRed));
    addDirect("05/03/2020", "dernier", Image(480, 640, kRed));
    click(&main(), "B_Evolution");
    // Only the photos in view were decoded before the window showed.
    const auto& t = viewer().thumbnails();
    ASSERT_EQ(t.size(), 5);
    EXPECT_TRUE(t[4]->picture().pixel(125, 125) == t[3]->picture().pixel(125, 125));
    viewer().completeThumbnails();
    EXPECT_TRUE(near(t[4]->picture().pixel(125, 125), kRed));
    for (int p = 1; p <= 5; ++p) {
        EXPECT_EQ(t[p - 1]->geometry(), QRect(10, 10 + (p - 1) * 260, 250, 250)) << p;
        EXPECT_EQ(t[p - 1]->parentWidget(), child<QScrollArea>(&viewer(), "ZoneImages")->widget());
    }
    EXPECT_GT(child<QScrollArea>(&viewer(), "ZoneImages")->verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(viewerTitle, msg(GalleryTitle) + " [5 " + msg(GalleryPhotos) + "]");
    EXPECT_EQ(t[1]->toolTip(),
              QString::fromStdString("2.\n02/03/2020\n" + kTree + "002.JPG\nportrait"));
    const QImage portrait = t[1]->picture();
    EXPECT_TRUE(same(portrait.pixel(61, 125), background()));
    EXPECT_TRUE(near(portrait.pixel(62, 125), kBlue) && near(portrait.pixel(187, 125), kBlue));
    EXPECT_TRUE(near(t[2]->picture().pixel(1, 1), kBlue));  // the square fills its cell
    // Rebuilt, not stacked, at every showing.
    click(&main(), "B_Evolution");
    EXPECT_EQ(child<QScrollArea>(&viewer(), "ZoneImages")->widget()->findChildren<TImage*>().size(),
              5);
}

TEST_F(GalleryWindowsTest, DoubleClickBrowsesThatPhotoAndClosesTheViewerOnlyAfterAChange) {
    for (int d = 1; d <= 4; ++d)
        addDirect("0" + std::to_string(d) + "/06/2019", "photo " + std::to_string(d),
                  Image(600, 400, kRed));
    const auto before = readBytes(gallery().path());
    ui.modal["TF_Galerie"].push_back([this](QDialog*) {
        QTest::mouseDClick(viewer().thumbnails()[2], Qt::LeftButton);
        // Fermer in the editor: the viewer stays, rebuilt.
        EXPECT_TRUE(viewer().isVisible());
        EXPECT_EQ(viewer().thumbnails().size(), 4);
        QTest::mouseDClick(viewer().thumbnails()[2], Qt::LeftButton);
        EXPECT_FALSE(viewer().isVisible());
    });
    ui.modal["TF_Photo"].push_back([this](QDialog*) {
        EXPECT_EQ(app().session.photoEditorMode, PhotoEditorMode::Browse);
        EXPECT_EQ(app().session.selectedPhoto, 3);
        EXPECT_EQ(textOf(&editor(), "E_DatPhoto"), "03/06/2019");
        EXPECT_EQ(textOf(&editor(), "E_Comment"), "photo 3");
        EXPECT_FALSE(enabled(&editor(), "E_DatPhoto"));
        EXPECT_FALSE(enabled(&editor(), "B_Ajouter") || enabled(&editor(), "B_Parcourir"));
        EXPECT_TRUE(enabled(&editor(), "B_Modifier") && enabled(&editor(), "B_Supprimer"));
        EXPECT_TRUE(near(child<TImage>(&editor(), "I_Photo")->picture().pixel(80, 80), kRed));
        setText(&editor(), "E_Comment", "changed, then abandoned");
        QTest::keyClick(child<QLineEdit>(&editor(), "E_Comment"), Qt::Key_Escape);
    });
    ui.modal["TF_Photo"].push_back([this](QDialog*) {
        setText(&editor(), "E_Comment", "ligatures retirées");
        click(&editor(), "B_Modifier");
    });
    click(&main(), "B_Evolution");
    EXPECT_EQ(ui.modalShown.size(), 3u);
    auto after = readBytes(gallery().path());
    EXPECT_EQ(gallery().readAt(3).comment, "ligatures retirées");
    // Only the comment field of record 3 changed.
    for (std::size_t i = 0; i < before.size(); ++i)
        if (i < 2 * 135 + 34 || i >= 3 * 135) {
            ASSERT_EQ(after[i], before[i]) << i;
        }
}

TEST_F(GalleryWindowsTest, DeleteRemovesTheRecordAndItsFile) {
    for (int d = 1; d <= 3; ++d)
        addDirect("0" + std::to_string(d) + "/06/2019", "", Image(600, 400, kRed));
    ui.modal["TF_Galerie"].push_back(
        [this](QDialog*) { QTest::mouseDClick(viewer().thumbnails()[1], Qt::LeftButton); });
    ui.modal["TF_Photo"].push_back([this](QDialog*) { click(&editor(), "B_Supprimer"); });
    click(&main(), "B_Evolution");
    EXPECT_EQ(ui.texts("message"),
              std::vector<QString>{
                  "Nom du fichier supprimé :" + QString::fromStdString(photo(2).string()) + ":"});
    EXPECT_FALSE(fs::exists(photo(2)));
    EXPECT_TRUE(fs::exists(photo(1)) && fs::exists(photo(3)));
    EXPECT_FALSE(viewer().isVisible());
    click(&main(), "B_Evolution");
    EXPECT_EQ(viewer().thumbnails().size(), 2);
    EXPECT_TRUE(
        viewer().thumbnails()[1]->toolTip().contains(QString::fromStdString(kTree + "003.JPG")));
}

TEST_F(GalleryWindowsTest, ARecordNamingAFileOutsideTheGalleryNeverDeletesIt) {
    GalleryFile g = gallery();
    g.add({"../Tavo.ini", "01/01/2020", "piège"});
    ASSERT_TRUE(fs::exists(dir / "Tavo.ini"));
    app().session.selectedPhoto = 1;
    app().session.photoEditorMode = PhotoEditorMode::Browse;
    ui.modal["TF_Photo"].push_back([this](QDialog*) {
        // The picture is refused, yet the record's texts are shown.
        EXPECT_EQ(textOf(&editor(), "E_DatPhoto"), "01/01/2020");
        EXPECT_EQ(textOf(&editor(), "E_Comment"), "piège");
        click(&editor(), "B_Supprimer");
    });
    EXPECT_EQ(app().showModal(&editor()), QDialog::Accepted);
    EXPECT_EQ(ui.texts("error").size(), 2u);
    EXPECT_TRUE(ui.texts("message").empty());
    EXPECT_TRUE(fs::exists(dir / "Tavo.ini"));
    EXPECT_EQ(fs::file_size(gallery().path()), 0u);
}

TEST_F(GalleryWindowsTest, BrowsingAPhotoWhoseFileIsMissingKeepsItsOwnTexts) {
    addDirect("01/06/2019", "premier", Image(600, 400, kRed));
    addDirect("02/06/2019", "second", Image(600, 400, kRed));
    fs::remove(photo(2));
    ui.modal["TF_Galerie"].push_back([this](QDialog*) { click(&viewer(), "B_Ajouter"); });
    // The viewer shows photo 2 as an empty frame with the error, still offers "Ajouter", and
    // says so again when it is rebuilt after the editor's Cancel.
    click(&main(), "B_Evolution");
    EXPECT_EQ(ui.modalShown, (std::vector<QString>{"TF_Galerie", "TF_Photo"}));
    EXPECT_EQ(ui.texts("error").size(), 2u);
    EXPECT_EQ(viewer().thumbnails().size(), 2);  // the second one stays an empty frame
    EXPECT_EQ(viewerTitle, msg(GalleryTitle) + " [2 " + msg(GalleryPhotos) + "]");

    ui.clear();
    app().session.photoEditorMode = PhotoEditorMode::Browse;
    app().session.selectedPhoto = 1;
    ui.modal["TF_Photo"].push_back([](QDialog*) {});
    app().showModal(&editor());
    app().session.selectedPhoto = 2;
    ui.modal["TF_Photo"].push_back([this](QDialog*) {
        EXPECT_EQ(textOf(&editor(), "E_Comment"), "second");
        click(&editor(), "B_Modifier");
    });
    app().showModal(&editor());
    EXPECT_EQ(ui.texts("error").size(), 1u);
    EXPECT_EQ(gallery().readAt(2).comment, "second");
    EXPECT_EQ(gallery().readAt(1).comment, "premier");
}
