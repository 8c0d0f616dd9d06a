// The whole road of one tree through the real windows, from the first start in a fresh data
// folder to the deletion of the tree, with every file on disk checked after each step: what
// changed is exactly what the step should change, byte for byte everywhere else, and the files
// it wrote hold the right records and pictures.
#include <zip.h>

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <cstdio>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "cards/ui/card_form.h"
#include "cards/ui/card_properties_window.h"
#include "cards/ui/thumbnail_chooser.h"
#include "common/cp1252.h"
#include "common/file_io.h"
#include "imaging/exif_samples.h"
#include "imaging/imaging.h"
#include "lists/ui/label_list_editor.h"
#include "lists/ui/names_editor.h"
#include "photos/ui/gallery_viewer.h"
#include "photos/ui/photo_editor.h"
#include "printing/print_test_support.h"
#include "printing/ui/print_dialog.h"
#include "safety/backup.h"
#include "safety/ui/backup_window.h"
#include "safety/ui/restore_window.h"
#include "support/program_fixture.h"
#include "support/zip_reading.h"
#include "translation/language_table.h"
#include "translation/ui/language_chooser.h"
#include "ui_kit/app.h"
#include "ui_kit/tags.h"
#include "ui_kit/timage.h"
#include "works/ui/works_editor.h"
#include "works/ui/works_grid.h"

using namespace tavo;
using namespace tavo::test;
namespace fs = std::filesystem;

namespace {

// The first tree: made on 3 February 2026 at 14:05:09.042.
const std::string kTree = "26034140509042";
const LocalTime kTreeTime{2026, 2, 3, 14, 5, 9, 42};
// A second tree, made after the backup: 6 March 2026 (day 65) at 09:30:00.500.
const std::string kLateTree = "26065093000500";
const LocalTime kLateTreeTime{2026, 3, 6, 9, 30, 0, 500};
// The moment the backup folder is chosen.
const LocalTime kBackupTime{2026, 3, 5, 14, 3, 9};
const std::string kBackupName = "Tavo-20260305-140309";

const std::string kPhotoLate = kTree + "001.JPG";   // EXIF-dated 14/05/2021, added first
const std::string kPhotoEarly = kTree + "002.JPG";  // dated 02/03/2020 by hand, added second

std::string fiches(const std::string& id, const char* ext) {
    return "FICHES/" + id + ext;
}
std::string imgref(const std::string& id) {
    return "IMGREF/" + id + ".JPG";
}
std::string galeries(const std::string& name) {
    return "GALERIES/" + name;
}

// ---- Files on disk ---------------------------------------------------------------------------

// Every entry under a folder: relative path -> content; folders end with "/" and hold nothing.
using Snapshot = std::map<std::string, std::string>;

Snapshot snapshot(const fs::path& root) {
    Snapshot s;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        const std::string rel = fs::relative(e.path(), root).generic_string();
        if (e.is_directory())
            s[rel + "/"] = "";
        else
            s[rel] = readText(e.path());
    }
    return s;
}

// The entries of `s` that belong to the data set a backup holds.
Snapshot dataSetPart(const Snapshot& s) {
    Snapshot out;
    for (const auto& [path, content] : s)
        for (const char* entry :
             {"FICHES/", "GALERIES/", "IMGREF/", "Tavo.ini", "Types.LIB", "Etats.LIB", "NomsA.LIB"})
            if (path.rfind(entry, 0) == 0) out[path] = content;
    return out;
}

using Names = std::set<std::string>;

// One fixed string of a record as stored: the length byte (never above the capacity), then that
// many Windows-1252 characters, returned in UTF-8.
std::string field(const std::string& file, std::size_t at, std::size_t capacity) {
    if (at + 1 + capacity > file.size()) {
        ADD_FAILURE() << "field at " << at << " lies beyond the file (" << file.size() << ")";
        return {};
    }
    const auto length = static_cast<unsigned char>(file[at]);
    EXPECT_LE(length, capacity) << "length byte at " << at;
    return cp1252::toUtf8(file.substr(at + 1, std::min<std::size_t>(length, capacity)));
}

// The sortable key yyyymmdd of a stored date, from fixed character positions.
std::string dateKey(const std::string& date) {
    const std::string d = date + std::string(10, ' ');
    return d.substr(6, 4) + d.substr(3, 2) + d.substr(0, 2);
}

struct CardFields {
    std::string creationDate, treeName, botanicalName, cultivar, commonName, englishName,
        provenance, acquisitionDate, age, ageEstimated, state, price, notes1, notes2, reserved;
};

void expectCard(const std::string& file, const CardFields& c) {
    ASSERT_EQ(file.size(), 1234u);
    EXPECT_EQ(field(file, 0, 10), c.creationDate);
    EXPECT_EQ(field(file, 11, 100), c.treeName);
    EXPECT_EQ(field(file, 112, 100), c.botanicalName);
    EXPECT_EQ(field(file, 213, 100), c.cultivar);
    EXPECT_EQ(field(file, 314, 100), c.commonName);
    EXPECT_EQ(field(file, 415, 100), c.englishName);
    EXPECT_EQ(field(file, 516, 100), c.provenance);
    EXPECT_EQ(field(file, 617, 10), c.acquisitionDate);
    EXPECT_EQ(field(file, 628, 3), c.age);
    EXPECT_EQ(field(file, 632, 1), c.ageEstimated);
    EXPECT_EQ(field(file, 634, 40), c.state);
    EXPECT_EQ(field(file, 675, 15), c.price);
    EXPECT_EQ(field(file, 691, 250), c.notes1);
    EXPECT_EQ(field(file, 942, 250), c.notes2);
    EXPECT_EQ(field(file, 1193, 40), c.reserved);
}

struct Line {
    std::string date, type, comment;
};

void expectWorks(const std::string& file, const std::vector<Line>& lines) {
    ASSERT_EQ(file.size(), lines.size() * 318);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE("works line " + std::to_string(i + 1));
        const std::size_t r = i * 318;
        EXPECT_EQ(field(file, r, 10), lines[i].date);
        EXPECT_EQ(field(file, r + 11, 50), lines[i].type);
        EXPECT_EQ(field(file, r + 62, 255), lines[i].comment);
    }
}

struct Photo {
    std::string name, date, comment;
};

void expectGallery(const std::string& file, const std::vector<Photo>& photos) {
    ASSERT_EQ(file.size(), photos.size() * 135);
    for (std::size_t i = 0; i < photos.size(); ++i) {
        SCOPED_TRACE("photo record " + std::to_string(i + 1));
        const std::size_t r = i * 135;
        EXPECT_EQ(field(file, r, 22), photos[i].name);
        EXPECT_EQ(field(file, r + 23, 10), photos[i].date);
        EXPECT_EQ(field(file, r + 34, 100), photos[i].comment);
    }
}

void expectLabels(const std::string& file, const std::vector<std::string>& labels) {
    ASSERT_EQ(file.size(), labels.size() * 51);
    for (std::size_t i = 0; i < labels.size(); ++i) EXPECT_EQ(field(file, i * 51, 50), labels[i]);
}

void expectNames(const std::string& file, const std::vector<std::vector<std::string>>& names) {
    ASSERT_EQ(file.size(), names.size() * 704);
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::size_t r = i * 704;
        EXPECT_EQ(field(file, r, 150), names[i][0]);
        EXPECT_EQ(field(file, r + 151, 150), names[i][1]);
        EXPECT_EQ(field(file, r + 302, 150), names[i][2]);
        // The reserved bytes are never set by the program.
        EXPECT_EQ(file.substr(r + 453, 251), std::string(251, '\0')) << "entry " << i;
    }
}

// What the frame header of a JPEG says: the start-of-frame marker (0xC0 for baseline), the size
// and the number of colour components.
struct JpegHeader {
    int marker = -1;
    int width = 0, height = 0, components = 0;
    bool endsWithEoi = false;
};

JpegHeader jpegHeader(const std::string& f) {
    JpegHeader h;
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(f[i]); };
    if (f.size() < 4 || byte(0) != 0xFF || byte(1) != 0xD8) return h;
    h.endsWithEoi = byte(f.size() - 2) == 0xFF && byte(f.size() - 1) == 0xD9;
    std::size_t i = 2;
    while (i + 4 <= f.size()) {
        if (byte(i) != 0xFF) return h;
        const int m = byte(i + 1);
        if (m == 0xFF) {
            ++i;
            continue;
        }
        const std::size_t length = (byte(i + 2) << 8) | byte(i + 3);
        const bool frame = m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
        if (frame && i + 10 <= f.size()) {
            h.marker = m;
            h.height = (byte(i + 5) << 8) | byte(i + 6);
            h.width = (byte(i + 7) << 8) | byte(i + 8);
            h.components = byte(i + 9);
            return h;
        }
        i += 2 + length;
    }
    return h;
}

void expectJpeg(const std::string& file, int width, int height) {
    const JpegHeader h = jpegHeader(file);
    EXPECT_EQ(h.marker, 0xC0) << "not a baseline JPEG";
    EXPECT_EQ(h.width, width);
    EXPECT_EQ(h.height, height);
    EXPECT_EQ(h.components, 3);
    EXPECT_TRUE(h.endsWithEoi);
}

bool near(Rgb a, Rgb b) {
    const auto d = [](int x, int y) { return std::abs(x - y); };
    return d(a.r, b.r) < 40 && d(a.g, b.g) < 40 && d(a.b, b.b) < 40;
}

// The picture a file holds shows `first` near its top-left corner and `second` near its
// bottom-right corner: it is the photo that was chosen, not another one.
void expectTwoColours(const fs::path& file, Rgb first, Rgb second) {
    const Image img = loadJpeg(file);
    const Rgb a = img.pixel(img.width / 5, img.height / 5);
    const Rgb b = img.pixel(img.width * 4 / 5, img.height * 4 / 5);
    EXPECT_TRUE(near(a, first)) << file << " " << int(a.r) << "," << int(a.g) << "," << int(a.b);
    EXPECT_TRUE(near(b, second)) << file << " " << int(b.r) << "," << int(b.g) << "," << int(b.b);
}

// A picture split in two colours: left and right halves when wider than high, upper and lower
// halves otherwise.
Image twoColours(int width, int height, Rgb first, Rgb second) {
    Image img(width, height, first);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (width > height ? x >= width / 2 : y >= height / 2) img.setPixel(x, y, second);
    return img;
}

// A camera picture: the JPEG with an EXIF APP1 segment right behind its start marker.
Bytes cameraPicture(const Image& img, const std::string& dateTimeOriginal) {
    const Bytes plain = encodeJpeg(img);
    exif::Tiff tiff(false);
    tiff.text(exif::Ifd::Zero, exif::kMake, "Canon")
        .text(exif::Ifd::Zero, exif::kDateTime, "2021:05:20 18:00:00")
        .text(exif::Ifd::Exif, exif::kDateTimeOriginal, dateTimeOriginal);
    Bytes out(plain.begin(), plain.begin() + 2);
    exif::append(out, exif::app1(tiff.build()));
    out.insert(out.end(), plain.begin() + 2, plain.end());
    return out;
}

// Types `text` into `w` key by key, as a person would; letters beyond ASCII come as the text of
// a key the keyboard has no code for.
void type(QWidget* w, const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() < 128)
            QTest::keyClick(w, static_cast<char>(c.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// Whether a control shows its whole caption in the place its window gives it: a label or a
// check box within its width, a button's text inside its frame, a group box's title inside
// its frame.
// Whole means as wide and as tall as the text drawn in the control's font.
bool showsWholeCaption(const QObject* c) {
    const auto fits = [](const QWidget* w, int width) {
        return width <= w->width() && w->fontMetrics().height() <= w->height();
    };
    if (auto* label = qobject_cast<const QLabel*>(c))
        return label->wordWrap() ? label->heightForWidth(label->width()) <= label->height()
                                 : fits(label, label->sizeHint().width());
    if (auto* box = qobject_cast<const QCheckBox*>(c)) return fits(box, box->sizeHint().width());
    if (auto* radio = qobject_cast<const QRadioButton*>(c))
        return fits(radio, radio->sizeHint().width());
    if (auto* button = qobject_cast<const QPushButton*>(c))
        return fits(button, button->fontMetrics().horizontalAdvance(button->text()) + 4);
    if (auto* group = qobject_cast<const QGroupBox*>(c))
        return group->fontMetrics().horizontalAdvance(group->title()) + 16 <= group->width();
    return true;
}

QString cellText(const QTableWidget& grid, int column, int row) {
    const QTableWidgetItem* item = grid.item(row, column);
    return item ? item->text() : QString();
}

class RoadOfATree : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        ASSERT_TRUE(french.load(dir / "Fran\xC3\xA7"
                                      "ais.lng"));
        ASSERT_TRUE(english.load(dir / "English.lng"));
        ui.printerNames = {"Bureau"};
        ui.currentPrinter = "Bureau";
        ui.pdfOutput = QString::fromStdString((outside / "fiche.pdf").string());
        fs::create_directories(outside / "Sauvegardes");
        fs::create_directories(outside / "Archives");
        writePictures();
        disk = snapshot(dir.path());
    }

    // ---- Helpers ---------------------------------------------------------------------------

    static QString text(const LanguageTable& table, int section, int key = 0) {
        return QString::fromStdString(table.find(section, key).value_or(std::string()));
    }
    QString msg(Msg m) const { return text(french, kMessageSection, messageKey(m)); }
    std::string file(const std::string& rel) const { return readText(dir / rel); }
    DataPaths data() const { return DataPaths{dir.path()}; }
    Windows& windows() { return program->windows(); }

    // Runs `script` in window `className` the next time it is shown.
    template <class W>
    void when(const char* className, std::function<void(W&)> script) {
        ui.modal[className].push_back([script](QDialog* d) { script(*static_cast<W*>(d)); });
    }

    // The plain message boxes shown since the step began.
    std::vector<QString> messages() const { return ui.texts("message"); }
    // No error box, no warning (a missing translation shows one), and every window scripted for
    // the step was shown.
    void expectNoTrouble() {
        EXPECT_EQ(ui.texts("error"), std::vector<QString>{});
        EXPECT_EQ(ui.texts("warning"), std::vector<QString>{});
        for (const auto& [name, scripts] : ui.modal)
            EXPECT_TRUE(scripts.empty()) << name.toStdString() << " was not shown";
    }

    // Compares the data folder with its state after the previous step: exactly the named
    // entries were added, changed and removed, every other one is byte for byte as it was; and
    // the data set as a whole is sound.
    void expectDiskChanges(const Names& added, const Names& changed, const Names& removed) {
        const Snapshot now = snapshot(dir.path());
        Names a, c, r;
        for (const auto& [path, content] : now) {
            const auto was = disk.find(path);
            if (was == disk.end())
                a.insert(path);
            else if (was->second != content)
                c.insert(path);
        }
        for (const auto& [path, content] : disk)
            if (!now.count(path)) r.insert(path);
        EXPECT_EQ(a, added) << "added";
        EXPECT_EQ(c, changed) << "changed";
        EXPECT_EQ(r, removed) << "removed";
        disk = now;
        checkDataSet();
    }

    // Tavo.ini as the program writes it, but for the date of the first start.
    std::string settingsText(long cardCounter) const {
        return "[Intro]\r\nAuteur=Vendrane\r\n[Creation]\r\nDate=" + firstStartDate +
               "\r\nVersionC=" + App::version().toStdString() +
               "\r\nVersionN=" + App::version().toStdString() +
               "\r\n[Fichiers]\r\nFiche=" + std::to_string(cardCounter) +
               "\r\nPhoto=1\r\n[Interface]\r\nLangage=Fran\xE7" + "ais\r\n";
    }

    // What holds for the data set after every step, whatever the step did: whole records in
    // every file, works lines and photos in date order, each tree with its four files, every
    // gallery photo named by one record, baseline pictures of the right size, and no leftover
    // temporary file.
    void checkDataSet() {
        SCOPED_TRACE("data set");
        const Snapshot s = snapshot(dir.path());
        Names cards, works, galleries, references, galleryPhotos, namedPhotos;
        for (const auto& [path, content] : s) {
            EXPECT_EQ(path.find(".TMP"), std::string::npos) << path;
            EXPECT_EQ(path.find(".tmp"), std::string::npos) << path;
            EXPECT_EQ(path.find("RESTORE."), std::string::npos) << path;
            const auto id = [&p = path](std::size_t from) { return p.substr(from, 14); };
            if (path.rfind("FICHES/", 0) == 0 && path.size() > 7 && path.back() != '/') {
                if (path.ends_with(".SIG")) {
                    cards.insert(id(7));
                    EXPECT_EQ(content.size(), 1234u) << path;
                } else if (path.ends_with(".TRX")) {
                    works.insert(id(7));
                    ASSERT_EQ(content.size() % 318, 0u) << path;
                    for (std::size_t r = 318; r < content.size(); r += 318)
                        EXPECT_LE(dateKey(field(content, r - 318, 10)),
                                  dateKey(field(content, r, 10)))
                            << path << " record " << r / 318;
                } else {
                    ADD_FAILURE() << "unexpected file " << path;
                }
            } else if (path.rfind("IMGREF/", 0) == 0 && path.back() != '/') {
                references.insert(id(7));
                const JpegHeader h = jpegHeader(content);
                EXPECT_EQ(h.marker, 0xC0) << path;
                EXPECT_EQ(std::max(h.width, h.height), 159) << path;
            } else if (path.rfind("GALERIES/", 0) == 0 && path.back() != '/') {
                if (path.ends_with(".GAL")) {
                    galleries.insert(id(9));
                    ASSERT_EQ(content.size() % 135, 0u) << path;
                    for (std::size_t r = 0; r < content.size(); r += 135) {
                        const std::string name = field(content, r, 22);
                        EXPECT_EQ(name.substr(0, 14), id(9)) << path;
                        EXPECT_TRUE(namedPhotos.insert(name).second) << name << " named twice";
                        if (r > 0) {
                            EXPECT_LE(dateKey(field(content, r - 135 + 23, 10)),
                                      dateKey(field(content, r + 23, 10)))
                                << path;
                        }
                    }
                } else {
                    galleryPhotos.insert(path.substr(9));
                    const JpegHeader h = jpegHeader(content);
                    EXPECT_EQ(h.marker, 0xC0) << path;
                    EXPECT_EQ(std::max(h.width, h.height), 600) << path;
                }
            }
        }
        EXPECT_EQ(works, cards);
        EXPECT_EQ(galleries, cards);
        EXPECT_EQ(references, cards);
        EXPECT_EQ(galleryPhotos, namedPhotos);
        for (const char* list : {"Types.LIB", "Etats.LIB"})
            if (s.count(list)) {
                EXPECT_EQ(s.at(list).size() % 51, 0u) << list;
            }
        if (s.count("NomsA.LIB")) {
            EXPECT_EQ(s.at("NomsA.LIB").size() % 704, 0u);
        }
    }

    // ---- The road --------------------------------------------------------------------------

    void writePictures() {
        // Reference photo: 300 x 200, green then orange from left to right.
        saveJpeg(twoColours(300, 200, green, orange), outside / "erable.jpg");
        // First gallery photo: 800 x 400 from a camera that dated it 14 May 2021.
        io::writeFile(outside / "printemps.jpg",
                      cameraPicture(twoColours(800, 400, blue, yellow), "2021:05:14 10:20:30"));
        // Second gallery photo: 300 x 600, no EXIF data; its date is typed.
        saveJpeg(twoColours(300, 600, yellow, blue), outside / "hiver.jpg");
        // The second tree's photo: 200 x 300.
        saveJpeg(twoColours(200, 300, orange, green), outside / "genevrier.jpg");
    }

    void firstStart() {
        SCOPED_TRACE("first start");
        const FixedClock firstDay({2026, 2, 1});
        start();
        const std::string ini = file("Tavo.ini");
        const std::size_t at = ini.find("Date=");
        ASSERT_NE(at, std::string::npos) << ini;
        firstStartDate = ini.substr(at + 5, 10);
        EXPECT_EQ(firstStartDate, "01/02/2026");
        EXPECT_EQ(ini, settingsText(1));
        EXPECT_EQ(app().session.languageName, "Français");
        EXPECT_EQ(main().windowTitle(), text(french, 1));
        EXPECT_EQ(worksGrid().horizontalHeaderItem(0)->text(), msg(DateHeading));
        EXPECT_FALSE(enabled(&main(), "OuvrirVign"));
        EXPECT_FALSE(enabled(&main(), "FermerFiche"));
        EXPECT_FALSE(child(&main(), "GB_Arbre")->isVisibleTo(&main()));
        EXPECT_TRUE(ui.shown.empty());
        // The settings, and the lock that says this program uses the folder.
        expectDiskChanges({"Tavo.ini", "Tavo.lock"}, {}, {});
    }

    // Opens one label list from its menu command on an empty list and creates `labels`.
    template <class W, class D>
    void createLabels(QAction* command, const char* window, const char* dialog,
                      const std::vector<QString>& labels,
                      const std::function<void(W&)>& more = {}) {
        when<W>(window, [=, this](W& w) {
            EXPECT_EQ(w.entryCount(), 0);
            for (const QString& label : labels) {
                when<D>(dialog, [=, this](D& d) {
                    EXPECT_EQ(textOf(&d, "Edit1"), "");
                    EXPECT_EQ(child<QPushButton>(&d, "Btn_OK")->text(), msg(Msg::Create));
                    EXPECT_FALSE(enabled(&d, "Btn_OK"));
                    type(child<QLineEdit>(&d, "Edit1"), label);
                    EXPECT_TRUE(enabled(&d, "Btn_OK"));
                    click(&d, "Btn_OK");
                });
                click(&w, "BtnCreer");
            }
            EXPECT_EQ(w.entryCount(), static_cast<int>(labels.size()));
            for (int r = 0; r < static_cast<int>(labels.size()); ++r)
                EXPECT_EQ(cellText(*child<QTableWidget>(&w, "SGrid"), 0, r),
                          labels[static_cast<std::size_t>(r)]);
            if (more) more(w);
            click(&w, "Btn_OK");
        });
        command->trigger();
    }

    void fillReferenceLists() {
        SCOPED_TRACE("reference lists");
        ui.clear();
        using Types = TF_LIB_TypesIntervention;
        using Types2 = TF_LIB_TypesIntervention2;
        createLabels<Types, Types2>(
            child<QAction>(&main(), "TypesIntervention1"), "TF_LIB_TypesIntervention",
            "TF_LIB_TypesIntervention2", {"Rempotage", "Taile", "Ligature", "Arrosage"},
            [this](Types& w) {
                // A typo mended in place, then an entry that is not wanted after all.
                child<QTableWidget>(&w, "SGrid")->setCurrentCell(1, 0);
                when<Types2>("TF_LIB_TypesIntervention2", [this](Types2& d) {
                    EXPECT_EQ(textOf(&d, "Edit1"), "Taile");
                    EXPECT_EQ(child<QPushButton>(&d, "Btn_OK")->text(), msg(Msg::Change));
                    EXPECT_FALSE(enabled(&d, "Btn_OK"));
                    child<QLineEdit>(&d, "Edit1")->selectAll();
                    type(child<QLineEdit>(&d, "Edit1"), "Taille");
                    click(&d, "Btn_OK");
                });
                click(&w, "BtnModifier");
                EXPECT_EQ(cellText(*child<QTableWidget>(&w, "SGrid"), 0, 1), "Taille");
                child<QTableWidget>(&w, "SGrid")->setCurrentCell(3, 0);
                when<Types2>("TF_LIB_TypesIntervention2", [this](Types2& d) {
                    EXPECT_EQ(textOf(&d, "Edit1"), "Arrosage");
                    EXPECT_EQ(child<QPushButton>(&d, "Btn_OK")->text(), msg(Msg::Delete));
                    EXPECT_TRUE(enabled(&d, "Btn_OK"));
                    click(&d, "Btn_OK");
                });
                click(&w, "BtnSupprimer");
                EXPECT_EQ(w.entryCount(), 3);
                EXPECT_EQ(cellText(*child<QTableWidget>(&w, "SGrid"), 0, 3), "");
            });
        createLabels<TF_LIB_EtatsAcquisition, TF_LIB_EtatsAcquisition2>(
            child<QAction>(&main(), "Etatslacquisition1"), "TF_LIB_EtatsAcquisition",
            "TF_LIB_EtatsAcquisition2", {"Prébonsaï", "Yamadori", "Bonsaï"});

        when<TF_LIB_NomsArbres>("TF_LIB_NomsArbres", [this](TF_LIB_NomsArbres& w) {
            const std::vector<QStringList> entries = {
                {"Acer palmatum", "Érable du Japon", "Japanese maple"},
                {"Juniperus chinensis", "Genévrier de Chine", "Chinese juniper"}};
            for (const QStringList& e : entries) {
                when<TF_LIB_NomsArbres2>("TF_LIB_NomsArbres2", [=, this](TF_LIB_NomsArbres2& d) {
                    EXPECT_EQ(child<QPushButton>(&d, "BtnOK")->text(), msg(Msg::Create));
                    EXPECT_FALSE(enabled(&d, "BtnOK"));
                    type(child<QLineEdit>(&d, "EdtNomLatin"), e[0]);
                    type(child<QLineEdit>(&d, "EdtNomCommun"), e[1]);
                    type(child<QLineEdit>(&d, "EdtNomAnglais"), e[2]);
                    click(&d, "BtnOK");
                });
                click(&w, "BtnCreer");
            }
            EXPECT_EQ(w.entryCount(), 2);
            EXPECT_EQ(cellText(*child<QTableWidget>(&w, "SGrid"), 1, 1), "Genévrier de Chine");
            click(&w, "BtnOK");
        });
        trigger(&main(), "Nomsdesarbres1");

        // Each list window opened on a list it had just created empty.
        EXPECT_EQ(messages(), std::vector<QString>(3, msg(ListEmpty)));
        expectNoTrouble();
        expectLabels(file("Types.LIB"), {"Rempotage", "Taille", "Ligature"});
        expectLabels(file("Etats.LIB"), {"Prébonsaï", "Yamadori", "Bonsaï"});
        expectNames(file("NomsA.LIB"),
                    {{"Acer palmatum", "Érable du Japon", "Japanese maple"},
                     {"Juniperus chinensis", "Genévrier de Chine", "Chinese juniper"}});
        expectDiskChanges({"Types.LIB", "Etats.LIB", "NomsA.LIB"}, {}, {});
    }

    void createTree() {
        SCOPED_TRACE("tree created");
        ui.clear();
        windows().fiche->clock = [] { return kTreeTime; };
        ui.pictures.push_back(QString::fromStdString((outside / "erable.jpg").string()));
        when<TF_Fiche>("TF_Fiche", [this](TF_Fiche& f) {
            // The choice lists come from the list files, in file order.
            ASSERT_EQ(child<QComboBox>(&f, "ComboBox_Etat")->count(), 3);
            EXPECT_EQ(child<QComboBox>(&f, "ComboBox_Etat")->itemText(0), "Prébonsaï");
            ASSERT_EQ(child<QComboBox>(&f, "ComboBox_NomLatin")->count(), 2);
            EXPECT_EQ(child<QComboBox>(&f, "ComboBox_NomLatin")->itemText(1),
                      "Juniperus chinensis");
            EXPECT_FALSE(enabled(&f, "B_Modification"));

            type(child<QLineEdit>(&f, "E_NomArbre"), "Mon érable");
            child<QComboBox>(&f, "ComboBox_NomLatin")->setCurrentIndex(0);
            // The names that go with the Latin name fill themselves in.
            EXPECT_EQ(textOf(&f, "E_NomCommun"), "Érable du Japon");
            EXPECT_EQ(textOf(&f, "E_NomAnglais"), "Japanese maple");
            setText(&f, "E_Cultivar", "Deshojo");
            child<QComboBox>(&f, "ComboBox_Etat")->setCurrentIndex(0);
            setText(&f, "E_Provenance", "Pépinière Kaede");
            setText(&f, "E_AgeAchat", "8");
            click(&f, "ChB_AgeEstime");
            setText(&f, "E_Prix", "45");
            child<QPlainTextEdit>(&f, "MM_Notes")->setPlainText(QString::fromStdString(notesTyped));
            // A date that does not exist is refused before anything is written.
            setText(&f, "E_DateAchat", "31/04/2020");
            click(&f, "B_Parcourir");
            EXPECT_TRUE(enabled(&f, "B_Creation"));
            click(&f, "B_Creation");
            EXPECT_TRUE(f.isVisible());
            EXPECT_FALSE(fs::exists(data().card(kTree)));
            setText(&f, "E_DateAchat", "12/04/2019");
            click(&f, "B_Creation");
        });
        trigger(&main(), "CreerFiche");

        EXPECT_EQ(messages(), (std::vector<QString>{
                                  msg(InvalidDate), ":26:034:14:05:09:042:", ":26034140509042:",
                                  "Nombre de fiche (1) : 1:", "Nombre de fiche (2) : 2:"}));
        expectNoTrouble();
        EXPECT_EQ(app().session.openTreeId, kTree);
        expectShown("Mon érable", "Acer palmatum");
        EXPECT_FALSE(enabled(&main(), "ProprietesFiche"));
        EXPECT_TRUE(enabled(&main(), "OuvrirVign"));
        for (int r = 0; r < worksGrid().rowCount(); ++r) EXPECT_EQ(cellText(worksGrid(), 0, r), "");

        expectCard(file(fiches(kTree, ".SIG")), card);
        EXPECT_EQ(file(fiches(kTree, ".TRX")), "");
        EXPECT_EQ(file(galeries(kTree + ".GAL")), "");
        // 300 x 200 fitted to a longer side of 159.
        expectJpeg(file(imgref(kTree)), 159, 106);
        expectTwoColours(data().referencePhoto(kTree), green, orange);
        EXPECT_EQ(file("Tavo.ini"), settingsText(2));
        expectDiskChanges(
            {fiches(kTree, ".SIG"), fiches(kTree, ".TRX"), galeries(kTree + ".GAL"), imgref(kTree)},
            {"Tavo.ini"}, {});
    }

    // The main window shows tree kTree with its names and framed reference photo.
    void expectShown(const QString& name, const QString& botanical) {
        EXPECT_TRUE(child(&main(), "GB_Arbre")->isVisibleTo(&main()));
        EXPECT_TRUE(child(&main(), "GB_Travaux")->isVisibleTo(&main()));
        EXPECT_EQ(textOf(&main(), "L_NomArbre"), name + " (" + QString::fromStdString(kTree) + ")");
        EXPECT_EQ(textOf(&main(), "L_NomBotanique"), botanical);
        expectFramedPhoto(child<QLabel>(&main(), "I_PhotoRef")->pixmap().toImage());
    }

    // A 161 x 161 picture control showing the first tree's reference photo in its black frame:
    // 159 x 106, drawn from (1, 28).
    void expectFramedPhoto(const QImage& shown) const {
        ASSERT_EQ(shown.size(), QSize(161, 161));
        const auto at = [&](int x, int y) {
            const QColor c = shown.pixelColor(x, y);
            return Rgb{static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
                       static_cast<std::uint8_t>(c.blue())};
        };
        EXPECT_TRUE(near(at(30, 80), green));
        EXPECT_TRUE(near(at(130, 80), orange));
        EXPECT_EQ(at(0, 80), kBlack);
        EXPECT_EQ(at(80, 160), kBlack);
    }

    // Adds one works line through the editor: date, type chosen in the list (index) or typed.
    void addLine(const QString& date, int typeIndex, const QString& typed, const QString& comment,
                 const QString& refusedDate = {}) {
        when<TF_Ligne>("TF_Ligne", [=](TF_Ligne& l) {
            ASSERT_EQ(child<QComboBox>(&l, "ComboBox1")->count(), 3);
            EXPECT_EQ(child<QComboBox>(&l, "ComboBox1")->itemText(0), "Rempotage");
            EXPECT_EQ(child<QComboBox>(&l, "ComboBox1")->itemText(2), "Ligature");
            EXPECT_EQ(textOf(&l, "E_DatTra"), "");
            EXPECT_FALSE(enabled(&l, "B_Modifier"));
            if (!refusedDate.isEmpty()) {
                type(child<QLineEdit>(&l, "E_DatTra"), refusedDate);
                click(&l, "B_Creer");
                EXPECT_TRUE(l.isVisible());
                child<QLineEdit>(&l, "E_DatTra")->clear();
            }
            type(child<QLineEdit>(&l, "E_DatTra"), date);
            if (typeIndex >= 0)
                child<QComboBox>(&l, "ComboBox1")->setCurrentIndex(typeIndex);
            else
                type(child<QComboBox>(&l, "ComboBox1")->lineEdit(), typed);
            type(child<QLineEdit>(&l, "E_LibTra"), comment);
            click(&l, "B_Creer");
        });
        click(&main(), "B_AjoutLigneTravail");
    }

    void expectGrid(const std::vector<Line>& lines) {
        const QTableWidget& grid = worksGrid();
        EXPECT_GE(works_grid::rowCount(grid), 10);
        for (int r = 1; r < works_grid::rowCount(grid); ++r) {
            const std::size_t i = static_cast<std::size_t>(r - 1);
            const Line expected = i < lines.size() ? lines[i] : Line{};
            EXPECT_EQ(works_grid::cellText(grid, 0, r).toStdString(), expected.date) << "row " << r;
            EXPECT_EQ(works_grid::cellText(grid, 1, r).toStdString(), expected.type) << "row " << r;
            EXPECT_EQ(works_grid::cellText(grid, 2, r).toStdString(), expected.comment)
                << "row " << r;
        }
        EXPECT_EQ(grid.horizontalHeaderItem(1)->text(), msg(InterventionTypeHeading));
    }

    void addWorksLinesOutOfOrder() {
        SCOPED_TRACE("works lines");
        ui.clear();
        addLine("15/06/2021", 1, {}, "branches basses");
        expectWorks(file(fiches(kTree, ".TRX")), {{"15/06/2021", "Taille", "branches basses"}});
        // Earlier than every line: it goes first.
        addLine("01/03/2020", 0, {}, "terre akadama");
        expectWorks(file(fiches(kTree, ".TRX")), {{"01/03/2020", "Rempotage", "terre akadama"},
                                                  {"15/06/2021", "Taille", "branches basses"}});
        // A date that does not exist is refused first; the line goes last, without comment.
        addLine("20/09/2022", 2, {}, "", "31/04/2020");
        // Same date as a line already there: after it. A type typed by hand, not in the list.
        addLine("15/06/2021", -1, "Pincement", "deuxième passage");
        expectWorks(file(fiches(kTree, ".TRX")), works);
        expectGrid(works);
        EXPECT_EQ(messages(), std::vector<QString>{msg(InvalidDate)});
        expectNoTrouble();
        expectDiskChanges({}, {fiches(kTree, ".TRX")}, {});
    }

    // Adds one photo through the gallery viewer and the photo editor.
    void addPhoto(const char* picture, const QString& typedDate, const QString& shownDate,
                  const QString& comment, const QString& caption) {
        ui.pictures.push_back(QString::fromStdString((outside / picture).string()));
        when<TF_Galerie>("TF_Galerie", [=, this](TF_Galerie& g) {
            EXPECT_EQ(g.windowTitle(), caption);
            when<TF_Photo>("TF_Photo", [=](TF_Photo& p) {
                EXPECT_TRUE(enabled(&p, "B_Ajouter"));
                EXPECT_FALSE(enabled(&p, "B_Supprimer"));
                click(&p, "B_Parcourir");
                EXPECT_TRUE(p.photoChosen());
                EXPECT_EQ(textOf(&p, "E_DatPhoto"), shownDate);
                if (!typedDate.isEmpty()) type(child<QLineEdit>(&p, "E_DatPhoto"), typedDate);
                type(child<QLineEdit>(&p, "E_Comment"), comment);
                click(&p, "B_Ajouter");
            });
            click(&g, "B_Ajouter");
            EXPECT_FALSE(g.isVisible());  // the viewer closes after an add
        });
        click(&main(), "B_Evolution");
    }

    void addGalleryPhotos() {
        SCOPED_TRACE("gallery photos");
        ui.clear();
        // The camera's date fills the date box: 2021:05:14 becomes 14/05/2021.
        addPhoto("printemps.jpg", {}, "14/05/2021", "première ramification", msg(GalleryNoPhoto));
        expectGallery(file(galeries(kTree + ".GAL")),
                      {{kPhotoLate, "14/05/2021", "première ramification"}});
        expectJpeg(file(galeries(kPhotoLate)), 600, 300);
        expectTwoColours(dir / galeries(kPhotoLate), blue, yellow);
        // No EXIF data: the box stays empty and the date is typed. Earlier: it goes first.
        addPhoto("hiver.jpg", "02/03/2020", "", "avant la taille", msg(GalleryOnePhoto));
        expectGallery(file(galeries(kTree + ".GAL")), gallery);
        expectJpeg(file(galeries(kPhotoEarly)), 300, 600);
        expectTwoColours(dir / galeries(kPhotoEarly), yellow, blue);
        EXPECT_EQ(messages(), (std::vector<QString>{
                                  "Numéro de la photo à insérer :1:",
                                  QString::fromStdString("Insertion enreg :" + kPhotoLate +
                                                         ":14/05/2021:première ramification:"),
                                  "Numéro de la photo à insérer :2:",
                                  QString::fromStdString("Insertion enreg :" + kPhotoEarly +
                                                         ":02/03/2020:avant la taille:")}));

        // The viewer shows both, oldest first.
        when<TF_Galerie>("TF_Galerie", [this](TF_Galerie& g) {
            EXPECT_EQ(g.windowTitle(), msg(GalleryTitle) + " [2 " + msg(GalleryPhotos) + "]");
            ASSERT_EQ(g.thumbnails().size(), 2);
            EXPECT_EQ(
                g.thumbnails()[0]->toolTip(),
                QString::fromStdString("1.\n02/03/2020\n" + kPhotoEarly + "\navant la taille"));
            click(&g, "B_Fermer");
        });
        trigger(&main(), "Galerie1");
        expectNoTrouble();
        expectDiskChanges({galeries(kPhotoLate), galeries(kPhotoEarly)}, {galeries(kTree + ".GAL")},
                          {});
    }

    void endAndStartAgain() {
        SCOPED_TRACE("program ended and started again");
        ui.clear();
        main().FormDestroy();
        program.reset();
        EXPECT_EQ(file("Tavo.ini"), settingsText(2));
        // The lock goes with the program, and comes back with the next one.
        EXPECT_FALSE(fs::exists(dir / "Tavo.lock"));
        disk.erase("Tavo.lock");
        start();
        EXPECT_EQ(app().session.openTreeId, "");
        EXPECT_EQ(app().session.languageName, "Français");
        EXPECT_TRUE(enabled(&main(), "OuvrirVign"));
        EXPECT_FALSE(child(&main(), "GB_Arbre")->isVisibleTo(&main()));
        EXPECT_FALSE(enabled(&main(), "FermerFiche"));
        EXPECT_TRUE(ui.shown.empty());
        expectDiskChanges({"Tavo.lock"}, {}, {});
    }

    // "Ouvrir": the chooser lists `photos`; a double click on the thumbnail of kTree opens it.
    void openThroughChooser(const std::vector<std::string>& photos) {
        when<TF_Vignette>("TF_Vignette", [=](TF_Vignette& v) {
            ASSERT_EQ(v.photoNames(), photos);
            v.completeThumbnails();
            std::size_t at = 0;
            while (at < photos.size() && photos[at] != kTree + ".JPG") ++at;
            ASSERT_LT(at, photos.size());
            ThumbnailImage* t = v.thumbnails()[at];
            EXPECT_FALSE(t->picture().isNull());
            QTest::mouseDClick(t, Qt::LeftButton, {}, QPoint(78, 78));
            EXPECT_FALSE(v.isVisible());
        });
        trigger(&main(), "OuvrirVign");
        EXPECT_EQ(app().session.openTreeId, kTree);
    }

    void reopenTree() {
        SCOPED_TRACE("tree reopened");
        ui.clear();
        openThroughChooser({kTree + ".JPG"});
        expectShown("Mon érable", "Acer palmatum");
        EXPECT_TRUE(enabled(&main(), "ProprietesFiche"));
        EXPECT_TRUE(enabled(&main(), "Fichierarchive1"));
        expectGrid(works);
        when<TF_ProprietesFiche>("TF_ProprietesFiche", [](TF_ProprietesFiche& p) {
            EXPECT_EQ(textOf(&p, "L_DatCre"), "03/02/2026");
            EXPECT_EQ(textOf(&p, "L_NbLigTra"), "4");
            EXPECT_EQ(textOf(&p, "L_NbPhoto"), "2");
            click(&p, "Button1");
        });
        trigger(&main(), "ProprietesFiche");
        EXPECT_TRUE(ui.shown.empty());
        expectNoTrouble();
        expectDiskChanges({}, {}, {});
    }

    void modifyCard() {
        SCOPED_TRACE("card modified");
        ui.clear();
        when<TF_Fiche>("TF_Fiche", [this](TF_Fiche& f) {
            EXPECT_EQ(textOf(&f, "E_NomArbre"), "Mon érable");
            EXPECT_EQ(textOf(&f, "ComboBox_NomLatin"), "Acer palmatum");
            EXPECT_EQ(textOf(&f, "E_NomCommun"), "Érable du Japon");
            EXPECT_EQ(textOf(&f, "E_Cultivar"), "Deshojo");
            EXPECT_EQ(textOf(&f, "ComboBox_Etat"), "Prébonsaï");
            EXPECT_EQ(textOf(&f, "E_DateAchat"), "12/04/2019");
            EXPECT_TRUE(checked(&f, "ChB_AgeEstime"));
            EXPECT_EQ(f.notesText().toStdString(), notesStored);
            EXPECT_EQ(textOf(&f, "L_NomFic"), QString::fromStdString(kTree));
            EXPECT_EQ(textOf(&f, "L_DateCrea"), "03/02/2026");
            EXPECT_FALSE(enabled(&f, "B_Creation"));
            EXPECT_TRUE(enabled(&f, "B_Modification"));
            expectFramedPhoto(child<TImage>(&f, "I_PhotoRef")->picture());
            child<QLineEdit>(&f, "E_Provenance")->selectAll();
            type(child<QLineEdit>(&f, "E_Provenance"), "Pépinière Kaede, Anjou");
            setText(&f, "E_Prix", "60");
            click(&f, "ChB_AgeEstime");
            click(&f, "B_Modification");
        });
        click(&main(), "B_Fiche");
        card.provenance = "Pépinière Kaede, Anjou";
        card.price = "60";
        card.ageEstimated = "N";
        expectCard(file(fiches(kTree, ".SIG")), card);
        expectShown("Mon érable", "Acer palmatum");
        EXPECT_TRUE(ui.shown.empty());
        expectNoTrouble();
        // The reference photo and everything else stay as they were.
        expectDiskChanges({}, {fiches(kTree, ".SIG")}, {});
    }

    void printCard() {
        SCOPED_TRACE("card printed");
        ui.clear();
        when<TF_ImprimerFiche>("TF_ImprimerFiche", [](TF_ImprimerFiche& p) {
            EXPECT_EQ(textOf(&p, "CB_Imprimante"), "Bureau");
            click(&p, "CB_ImpFiche");
            click(&p, "CB_ImpTravaux");
            click(&p, "Btn_Imprimer");
            EXPECT_FALSE(p.isVisible());
        });
        trigger(&main(), "ImprimerFiche");
        EXPECT_TRUE(ui.shown.empty());
        expectNoTrouble();
        EXPECT_EQ(ui.targeted, QStringList{"Bureau"});
        const fs::path pdf = outside / "fiche.pdf";
        ASSERT_TRUE(fs::exists(pdf));
        EXPECT_EQ(pdfPages(pdf), 1);
        const std::vector<QString> lines = textLines(pdfText(pdf));
        // The lines in their printed order, labels from the language file.
        const std::vector<QString> wanted = {
            msg(TreeIdentifier) + " : " + QString::fromStdString(kTree),
            "--- " + msg(Identification) + " ---", msg(TreeName) + " : Mon érable",
            msg(BotanicalName) + " : Acer palmatum", msg(CommonName) + " : Érable du Japon",
            msg(EnglishName) + " : Japanese maple", "--- " + msg(Acquisition) + " ---",
            msg(StateAtAcquisition) + " : Prébonsaï", msg(Provenance) + " : Pépinière Kaede, Anjou",
            msg(AcquisitionDate) + " : 12/04/2019", msg(AgeAtAcquisition) + " : 8",
            msg(EstimatedAge) + " : N", msg(Price) + " : 60", "--- " + msg(Notes) + " ---",
            // The two stored parts of the notes, each on one line.
            QString::fromStdString(notesFirstLine), QString::fromStdString(card.notes2),
            "--- " + msg(WorksLog) + " ---", "01/03/2020 *** Rempotage *** terre akadama",
            "15/06/2021 *** Taille *** branches basses",
            "15/06/2021 *** Pincement *** deuxième passage", "20/09/2022 *** Ligature ***"};
        int at = 0;
        for (const QString& w : wanted) {
            const int found = findLine(lines, w, at);
            EXPECT_GE(found, 0) << "not printed in order: " << w.toStdString();
            if (found >= 0) at = found + 1;
        }
        expectDiskChanges({}, {}, {});
    }

    fs::path backupFolder() const { return outside / "Sauvegardes" / kBackupName; }

    void backUp() {
        SCOPED_TRACE("backup");
        ui.clear();
        windows().dataSave->clock = [] { return kBackupTime; };
        ui.folders.push_back(QString::fromStdString((outside / "Sauvegardes").string()));
        when<TF_DataSave>("TF_DataSave", [this](TF_DataSave& s) {
            EXPECT_FALSE(enabled(&s, "btn_Sauvegarde"));
            click(&s, "btn_parcourir1");
            EXPECT_EQ(textOf(&s, "Edit1"), QString::fromStdString(backupFolder().string()));
            EXPECT_TRUE(enabled(&s, "btn_Sauvegarde"));
            click(&s, "btn_Sauvegarde");
            EXPECT_FALSE(s.isVisible());
        });
        trigger(&main(), "Sauvegarder1");
        std::vector<QString> wanted;
        for (const char* f : {"Tavo.ini", "Etats.LIB", "Types.LIB", "NomsA.LIB"})
            wanted.push_back(QString::fromStdString(copyNoticeText(dir / f, backupFolder() / f)));
        wanted.push_back(msg(BackupDone));
        EXPECT_EQ(messages(), wanted);
        EXPECT_EQ(ui.shown.front().title, msg(ChooseBackupFolder));
        expectNoTrouble();
        // The backup holds the seven entries of the data set, byte for byte, and nothing else.
        EXPECT_EQ(listFolder(outside / "Sauvegardes"), std::vector<std::string>{kBackupName});
        EXPECT_EQ(listFolder(backupFolder()),
                  (std::vector<std::string>{"Etats.LIB", "FICHES", "GALERIES", "IMGREF",
                                            "NomsA.LIB", "Tavo.ini", "Types.LIB"}));
        backedUp = snapshot(backupFolder());
        EXPECT_EQ(backedUp, dataSetPart(snapshot(dir.path())));
        EXPECT_EQ(backedUp.count(galeries(kPhotoEarly)), 1u);
        expectDiskChanges({}, {}, {});
        dataAtBackup = disk;
    }

    void changeAfterBackup() {
        SCOPED_TRACE("data changed after the backup");
        ui.clear();
        // One more works line for the open tree.
        addLine("05/01/2024", 0, {}, "");
        // One more intervention type.
        when<TF_LIB_TypesIntervention>("TF_LIB_TypesIntervention", [this](auto& w) {
            EXPECT_EQ(w.entryCount(), 3);
            when<TF_LIB_TypesIntervention2>("TF_LIB_TypesIntervention2", [](auto& d) {
                type(child<QLineEdit>(&d, "Edit1"), "Défoliation");
                click(&d, "Btn_OK");
            });
            click(&w, "BtnCreer");
            click(&w, "Btn_OK");
        });
        trigger(&main(), "TypesIntervention1");
        // A second tree.
        windows().fiche->clock = [] { return kLateTreeTime; };
        ui.pictures.push_back(QString::fromStdString((outside / "genevrier.jpg").string()));
        when<TF_Fiche>("TF_Fiche", [](TF_Fiche& f) {
            EXPECT_EQ(textOf(&f, "E_NomArbre"), "");
            type(child<QLineEdit>(&f, "E_NomArbre"), "Genévrier");
            child<QComboBox>(&f, "ComboBox_NomLatin")->setCurrentIndex(1);
            click(&f, "B_Parcourir");
            click(&f, "B_Creation");
        });
        trigger(&main(), "CreerFiche");
        EXPECT_EQ(app().session.openTreeId, kLateTree);
        expectNoTrouble();
        std::vector<Line> more = works;
        more.push_back({"05/01/2024", "Rempotage", ""});
        expectWorks(file(fiches(kTree, ".TRX")), more);
        expectLabels(file("Types.LIB"), {"Rempotage", "Taille", "Ligature", "Défoliation"});
        expectJpeg(file(imgref(kLateTree)), 106, 159);
        const std::string late = file(fiches(kLateTree, ".SIG"));
        ASSERT_EQ(late.size(), 1234u);
        EXPECT_EQ(field(late, 11, 100), "Genévrier");
        EXPECT_EQ(field(late, 314, 100), "Genévrier de Chine");
        EXPECT_EQ(file("Tavo.ini"), settingsText(3));
        expectDiskChanges({fiches(kLateTree, ".SIG"), fiches(kLateTree, ".TRX"),
                           galeries(kLateTree + ".GAL"), imgref(kLateTree)},
                          {fiches(kTree, ".TRX"), "Types.LIB", "Tavo.ini"}, {});
    }

    void restore() {
        SCOPED_TRACE("restore");
        ui.clear();
        ui.folders.push_back(QString::fromStdString(backupFolder().string()));
        when<TF_DataRestore>("TF_DataRestore", [this](TF_DataRestore& r) {
            EXPECT_FALSE(enabled(&r, "btn_Restaurer"));
            click(&r, "btn_parcourir1");
            EXPECT_EQ(textOf(&r, "Edit1"), QString::fromStdString(backupFolder().string()));
            EXPECT_TRUE(enabled(&r, "btn_Restaurer"));
            click(&r, "btn_Restaurer");
            EXPECT_FALSE(r.isVisible());
        });
        trigger(&main(), "Restaurer1");
        EXPECT_EQ(messages(), std::vector<QString>{msg(RestoreDone)});
        EXPECT_EQ(ui.shown.front().title, msg(ChooseBackupToRestore));
        expectNoTrouble();
        // The data folder is again exactly as it was backed up; the backup is untouched.
        EXPECT_EQ(snapshot(dir.path()), dataAtBackup);
        EXPECT_EQ(snapshot(backupFolder()), backedUp);
        expectDiskChanges({}, {fiches(kTree, ".TRX"), "Types.LIB", "Tavo.ini"},
                          {fiches(kLateTree, ".SIG"), fiches(kLateTree, ".TRX"),
                           galeries(kLateTree + ".GAL"), imgref(kLateTree)});

        // The second tree is gone from the chooser; the first one opens as before.
        ui.clear();
        openThroughChooser({kTree + ".JPG"});
        expectShown("Mon érable", "Acer palmatum");
        expectGrid(works);
        expectNoTrouble();
        expectDiskChanges({}, {}, {});
    }

    void archiveTree() {
        SCOPED_TRACE("tree archived");
        ui.clear();
        ui.answers.push_back(true);
        ui.folders.push_back(QString::fromStdString((outside / "Archives").string()));
        trigger(&main(), "Fichierarchive1");
        ASSERT_EQ(ui.shown.size(), 2u);
        EXPECT_EQ(ui.shown[0].kind, "question");
        EXPECT_EQ(ui.shown[0].text, msg(ConfirmArchive) + "\n" + msg(ArchiveContents));
        EXPECT_EQ(ui.shown[1].kind, "browse");
        EXPECT_EQ(ui.shown[1].title, msg(ChooseArchiveFolder));
        EXPECT_EQ(ui.shown[1].text, "");  // opens on nothing
        const std::string zipName = "Tavo-" + kTree + ".zip";
        EXPECT_EQ(listFolder(outside / "Archives"), std::vector<std::string>{zipName});
        const fs::path zipFile = outside / "Archives" / zipName;
        // Bare names, the card files first, then the photos in the order of the gallery file.
        const std::vector<std::string> names = {kTree + ".JPG", kTree + ".SIG", kTree + ".TRX",
                                                kTree + ".GAL", kPhotoEarly,    kPhotoLate};
        EXPECT_EQ(unzipListNames(zipFile), names);
        const std::vector<std::string> sources = {imgref(kTree),         fiches(kTree, ".SIG"),
                                                  fiches(kTree, ".TRX"), galeries(kTree + ".GAL"),
                                                  galeries(kPhotoEarly), galeries(kPhotoLate)};
        const auto entries = readZip(zipFile);
        ASSERT_EQ(entries.size(), names.size());
        for (std::size_t i = 0; i < names.size(); ++i) {
            EXPECT_EQ(entries[i].name, names[i]);
            EXPECT_TRUE(entries[i].content == file(sources[i])) << names[i] << " differs";
        }
        expectNoTrouble();
        expectDiskChanges({}, {}, {});
    }

    // Every window's title and every tagged label, button, group box and check box show their
    // texts from `table`, whole, and so does every tagged menu item. Edit boxes and combo boxes are
    // refilled by their windows; the other tagged components take no text.
    void expectTexts(const LanguageTable& table) {
        // The main window places its panels when it gets its size, as showing it would do.
        main().layout()->activate();
        QResizeEvent resized(main().size(), main().size());
        QCoreApplication::sendEvent(&main(), &resized);
        Names untranslated;
        int checked = 0;
        for (QWidget* w : windows().all) {
            const QString window = w->objectName();
            EXPECT_EQ(w->windowTitle(), text(table, tagOf(w))) << window.toStdString();
            for (QObject* c : w->findChildren<QObject*>()) {
                const int tag = tagOf(c);
                if (tag == 0 || qobject_cast<QAction*>(c)) continue;
                const std::string where = (window + "/" + c->objectName()).toStdString();
                const QMetaObject* kind = c->metaObject();
                QString caption, hint;
                if (kind == &QLabel::staticMetaObject) {
                    caption = static_cast<QLabel*>(c)->text();
                    hint = static_cast<QLabel*>(c)->toolTip();
                } else if (kind == &QPushButton::staticMetaObject ||
                           kind == &QCheckBox::staticMetaObject ||
                           kind == &QRadioButton::staticMetaObject) {
                    caption = static_cast<QAbstractButton*>(c)->text();
                    hint = static_cast<QAbstractButton*>(c)->toolTip();
                } else if (kind == &QGroupBox::staticMetaObject) {
                    caption = static_cast<QGroupBox*>(c)->title();
                    hint = static_cast<QGroupBox*>(c)->toolTip();
                } else if (kind == &QTabWidget::staticMetaObject) {
                    // A tab widget's captions are its keys, one per tab.
                    const auto* tabs = static_cast<QTabWidget*>(c);
                    for (int i = 0; i < tabs->count(); ++i)
                        EXPECT_EQ(tabs->tabText(i), text(table, tag, i)) << where << " tab " << i;
                    ++checked;
                    continue;
                } else {
                    if (kind != &QLineEdit::staticMetaObject &&
                        kind != &QComboBox::staticMetaObject)
                        untranslated.insert(where);
                    continue;
                }
                EXPECT_EQ(caption, text(table, tag, 0)) << where;
                EXPECT_EQ(hint, text(table, tag, 1)) << where << " hint";
                EXPECT_TRUE(showsWholeCaption(c)) << where << " cuts off " << caption.toStdString();
                ++checked;
            }
        }
        const std::function<void(const QList<QAction*>&)> menu = [&](const QList<QAction*>& items) {
            for (QAction* item : items) {
                if (tagOf(item) == 0) continue;
                EXPECT_EQ(item->text(), text(table, tagOf(item)))
                    << item->objectName().toStdString();
                ++checked;
                if (item->menu()) menu(item->menu()->actions());
            }
        };
        menu(main().menuBar()->actions());
        // 142 controls and 28 menu items: a window or control that loses its Tag shows here.
        EXPECT_EQ(checked, 170);
        EXPECT_EQ(untranslated, (Names{"TF_Fiche/I_PhotoRef", "TF_Fiche/MM_Notes",
                                       "TF_Fiche/OpenPictureDialog1", "TF_Photo/I_Photo"}));
        const QTableWidget& grid = worksGrid();
        for (int c = 0; c < 3; ++c) {
            const QString heading = grid.horizontalHeaderItem(c)->text();
            EXPECT_EQ(heading, text(table, 9999, 8 + c));
            EXPECT_LE(grid.horizontalHeader()->fontMetrics().horizontalAdvance(heading) + 4,
                      grid.columnWidth(c))
                << "the works grid cuts off " << heading.toStdString();
        }
    }

    void chooseLanguage(const QString& language) {
        when<TF_ChoixLangue>("TF_ChoixLangue", [=](TF_ChoixLangue& c) {
            QStringList listed;
            for (int i = 0; i < child<QComboBox>(&c, "CB_ListeLangues")->count(); ++i)
                listed << child<QComboBox>(&c, "CB_ListeLangues")->itemText(i);
            listed.sort();
            EXPECT_EQ(listed, (QStringList{"Deutsch", "English", "Español", "Français", "Italiano",
                                           "Nederlands", "Português"}));
            child<QComboBox>(&c, "CB_ListeLangues")
                ->setCurrentIndex(child<QComboBox>(&c, "CB_ListeLangues")->findText(language));
            click(&c, "Btn_Traduire");
            EXPECT_FALSE(c.isVisible());
        });
        trigger(&main(), "Langue1");
        EXPECT_EQ(app().session.languageName, language.toStdString());
    }

    static QString qtNo() { return QCoreApplication::translate("QPlatformTheme", "&No"); }

    void switchLanguageAndBack() {
        SCOPED_TRACE("language switched to every other language and back");
        ui.clear();
        ASSERT_FALSE(text(english, 1).isEmpty());
        ASSERT_NE(text(english, 1), text(french, 1));
        chooseLanguage("English");
        {
            SCOPED_TRACE("English");
            expectTexts(english);
            // The pass filled the tagged lists and edit boxes with texts of the file; the
            // windows fill them again from the data when they are shown.
            when<TF_Ligne>("TF_Ligne", [this](TF_Ligne& l) {
                EXPECT_EQ(l.windowTitle(), text(english, 200));
                ASSERT_EQ(child<QComboBox>(&l, "ComboBox1")->count(), 3);
                EXPECT_EQ(child<QComboBox>(&l, "ComboBox1")->itemText(1), "Taille");
                EXPECT_EQ(textOf(&l, "ComboBox1"), "");
                EXPECT_EQ(textOf(&l, "E_DatTra"), "");
                click(&l, "B_Annuler");
            });
            click(&main(), "B_AjoutLigneTravail");
            when<TF_Fiche>("TF_Fiche", [](TF_Fiche& f) {
                EXPECT_EQ(textOf(&f, "E_NomArbre"), "Mon érable");
                EXPECT_EQ(textOf(&f, "E_NomCommun"), "Érable du Japon");
                ASSERT_EQ(child<QComboBox>(&f, "ComboBox_Etat")->count(), 3);
                EXPECT_EQ(textOf(&f, "ComboBox_Etat"), "Prébonsaï");
                click(&f, "B_Annuler");
            });
            click(&main(), "B_Fiche");
            expectTexts(english);
        }
        for (const char* language : {"Deutsch", "Español", "Italiano", "Nederlands", "Português"}) {
            SCOPED_TRACE(language);
            LanguageTable table;
            ASSERT_TRUE(table.load(dir / (std::string(language) + ".lng")));
            ASSERT_NE(text(table, 1), text(french, 1));
            chooseLanguage(QString::fromUtf8(language));
            expectTexts(table);
        }
        chooseLanguage("Français");
        {
            SCOPED_TRACE("Français");
            expectTexts(french);
        }
        // Qt's own texts (the Yes and No of every question) follow the language.
        EXPECT_EQ(qtNo(), "&Non");
        chooseLanguage("English");
        EXPECT_EQ(qtNo(), "&No");
        chooseLanguage("Deutsch");
        EXPECT_EQ(qtNo(), "&Nein");
        chooseLanguage("Français");
        EXPECT_TRUE(ui.shown.empty());
        expectNoTrouble();
        // The language reaches the settings file only at program end.
        expectDiskChanges({}, {}, {});
    }

    void deleteTree() {
        SCOPED_TRACE("tree deleted");
        ui.clear();
        ui.answers.push_back(true);
        trigger(&main(), "SupprimerFiche");
        EXPECT_EQ(ui.texts("question"), std::vector<QString>{msg(ConfirmTreeDeletion)});
        expectNoTrouble();
        EXPECT_FALSE(child(&main(), "GB_Arbre")->isVisibleTo(&main()));
        EXPECT_FALSE(enabled(&main(), "SupprimerFiche"));
        EXPECT_FALSE(enabled(&main(), "Galerie1"));
        // The counter is still 1: "Ouvrir" stays until the next activation finds no card.
        EXPECT_TRUE(enabled(&main(), "OuvrirVign"));
        EXPECT_EQ(file("Tavo.ini"), settingsText(1));
        expectDiskChanges({}, {"Tavo.ini"},
                          {fiches(kTree, ".SIG"), fiches(kTree, ".TRX"), imgref(kTree),
                           galeries(kTree + ".GAL"), galeries(kPhotoEarly), galeries(kPhotoLate)});
        for (const char* folder : {"FICHES", "GALERIES", "IMGREF"})
            EXPECT_TRUE(fs::is_empty(dir / folder)) << folder;
        main().FormActivate();
        EXPECT_FALSE(enabled(&main(), "OuvrirVign"));

        main().FormDestroy();
        EXPECT_EQ(file("Tavo.ini"), settingsText(1));
        expectDiskChanges({}, {}, {});
    }

    TempDir outside;  // where pictures come from and backups, archives and printouts go
    LanguageTable french, english;
    Snapshot disk;          // the data folder after the last step
    Snapshot dataAtBackup;  // the data folder when it was backed up
    Snapshot backedUp;      // the backup folder
    std::string firstStartDate;

    const Rgb green{30, 150, 40}, orange{240, 140, 20}, blue{30, 60, 200}, yellow{240, 220, 40};

    // Notes of two lines, longer than the first notes field: the memo's line break is stored as
    // CR LF and the text is split at the 250th character.
    const std::string notesFirstLine = "Première ligne : rempotage prévu au printemps.";
    const std::string notesTyped = notesFirstLine + "\n" + std::string(220, 'n');
    const std::string notesStored = notesFirstLine + "\r\n" + std::string(220, 'n');
    CardFields card{"03/02/2026",
                    "Mon érable",
                    "Acer palmatum",
                    "Deshojo",
                    "Érable du Japon",
                    "Japanese maple",
                    "Pépinière Kaede",
                    "12/04/2019",
                    "8",
                    "O",
                    "Prébonsaï",
                    "45",
                    cp1252::toUtf8(cp1252::fromUtf8(notesStored).substr(0, 250)),
                    cp1252::toUtf8(cp1252::fromUtf8(notesStored).substr(250)),
                    ""};
    // The works lines in file (date) order.
    const std::vector<Line> works = {{"01/03/2020", "Rempotage", "terre akadama"},
                                     {"15/06/2021", "Taille", "branches basses"},
                                     {"15/06/2021", "Pincement", "deuxième passage"},
                                     {"20/09/2022", "Ligature", ""}};
    const std::vector<Photo> gallery = {{kPhotoEarly, "02/03/2020", "avant la taille"},
                                        {kPhotoLate, "14/05/2021", "première ramification"}};
};

}  // namespace

TEST_F(RoadOfATree, FromFirstStartToDeletion) {
    ASSERT_NO_FATAL_FAILURE(firstStart());
    ASSERT_NO_FATAL_FAILURE(fillReferenceLists());
    ASSERT_NO_FATAL_FAILURE(createTree());
    ASSERT_NO_FATAL_FAILURE(addWorksLinesOutOfOrder());
    ASSERT_NO_FATAL_FAILURE(addGalleryPhotos());
    ASSERT_NO_FATAL_FAILURE(endAndStartAgain());
    ASSERT_NO_FATAL_FAILURE(reopenTree());
    ASSERT_NO_FATAL_FAILURE(modifyCard());
    ASSERT_NO_FATAL_FAILURE(printCard());
    ASSERT_NO_FATAL_FAILURE(backUp());
    ASSERT_NO_FATAL_FAILURE(changeAfterBackup());
    ASSERT_NO_FATAL_FAILURE(restore());
    ASSERT_NO_FATAL_FAILURE(archiveTree());
    ASSERT_NO_FATAL_FAILURE(switchLanguageAndBack());
    ASSERT_NO_FATAL_FAILURE(deleteTree());
}
