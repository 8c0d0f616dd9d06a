#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <map>

#include "cards/card_file.h"
#include "cards/ui/card_properties_window.h"
#include "imaging/imaging.h"
#include "photos/gallery_file.h"
#include "startup/settings.h"
#include "support/program_fixture.h"
#include "support/ui_driving.h"
#include "works/works_file.h"

using namespace tavo;
using namespace tavo::test;
namespace fs = std::filesystem;

namespace {

const std::string kTree = "26034140509042";
const std::string kOther = "26035101112013";

// Every file of the data folder and its bytes, keyed "FOLDER/name".
using Snapshot = std::map<std::string, std::vector<std::uint8_t>>;

class TreeWindowTest : public ProgramTest {
  protected:
    // A tree as the program stores it: card, empty works file, real reference photo and
    // `photos` real gallery photos with their records.
    void makeTree(const std::string& id, int photos, const std::string& created = "03/02/2026") {
        const DataPaths paths{dir.path()};
        TreeCard card;
        card.creationDate = created;
        card.treeName = "Pin " + id;
        createCard(paths, id, card);
        createEmptyTreeFiles(paths, id);
        saveJpeg(Image(40, 30, Rgb{30, 120, 40}), paths.referencePhoto(id));
        GalleryFile gallery(DataPaths{dir.path()}, id);
        for (int n = 1; n <= photos; ++n) {
            const NewPhoto plan = planNewPhoto(gallery, "0" + std::to_string(n) + "/03/2026", "");
            commitNewPhoto(gallery, plan, encodeJpeg(Image(60, 45, Rgb{90, 60, 20})));
        }
    }
    void openTree(const std::string& id) {
        app().session.openTreeId = id;
        app().session.currentCard = readCard(DataPaths{dir.path()}, id);
        main().treeOpened();
    }
    Snapshot snapshot() const {
        Snapshot s;
        for (const auto& e : fs::recursive_directory_iterator(dir.path()))
            if (e.is_regular_file())
                s[fs::relative(e.path(), dir.path()).string()] = readBytes(e.path());
        return s;
    }
    // Names present before and gone now; every file still present must be byte for byte as
    // it was, except the settings file that holds the counter.
    std::vector<std::string> removedOnly(const Snapshot& before) const {
        const Snapshot now = snapshot();
        std::vector<std::string> gone;
        for (const auto& [name, bytes] : before) {
            auto it = now.find(name);
            if (it == now.end()) {
                gone.push_back(name);
            } else if (name != "Tavo.ini") {
                EXPECT_EQ(it->second, bytes) << name << " changed";
            }
        }
        for (const auto& [name, bytes] : now)
            EXPECT_TRUE(before.count(name)) << name << " appeared";
        return gone;
    }
    std::vector<std::string> treeFiles(const std::string& id, int photos) const {
        std::vector<std::string> names{"FICHES/" + id + ".SIG", "FICHES/" + id + ".TRX",
                                       "GALERIES/" + id + ".GAL", "IMGREF/" + id + ".JPG"};
        for (int n = 1; n <= photos; ++n) names.push_back("GALERIES/" + photoFileName(id, n));
        std::sort(names.begin(), names.end());
        return names;
    }
    // Panel shown and the seven tree commands, in one list.
    std::vector<bool> treeState() {
        TF_Main& m = main();
        return {child(&m, "GB_Arbre")->isVisibleTo(&m),
                child(&m, "GB_Travaux")->isVisibleTo(&m),
                enabled(&m, "FermerFiche"),
                enabled(&m, "SupprimerFiche"),
                enabled(&m, "ProprietesFiche"),
                enabled(&m, "ImprimerFiche"),
                enabled(&m, "Fichierarchive1"),
                enabled(&m, "Ligne1"),
                enabled(&m, "Galerie1")};
    }
    long counter() const { return settings::cardCounter(DataPaths{dir.path()}); }
};

const std::vector<bool> kOpen(9, true), kClosed(9, false);

TEST_F(TreeWindowTest, DeletingRemovesExactlyTheTreesFilesAndFollowsTheCounter) {
    start();
    makeTree(kTree, 3);
    makeTree(kOther, 0);
    settings::setCardCounter(DataPaths{dir.path()}, 2);
    main().FormActivate();
    ASSERT_TRUE(enabled(&main(), "OuvrirVign"));

    openTree(kTree);
    Snapshot before = snapshot();
    ui.answers = {true};
    trigger(&main(), "SupprimerFiche");
    ASSERT_EQ(ui.texts("question"), std::vector<QString>{msg(ConfirmTreeDeletion)});
    EXPECT_TRUE(msg(ConfirmTreeDeletion).contains(QStringLiteral("supprimer cet arbre")));
    EXPECT_EQ(removedOnly(before), treeFiles(kTree, 3));  // seven files
    EXPECT_EQ(counter(), 1);
    EXPECT_EQ(treeState(), kClosed);
    EXPECT_TRUE(enabled(&main(), "OuvrirVign"));  // 2 -> 1

    openTree(kOther);
    before = snapshot();
    ui.answers = {true};
    trigger(&main(), "SupprimerFiche");
    EXPECT_EQ(removedOnly(before), treeFiles(kOther, 0));  // four files
    EXPECT_EQ(counter(), 0);
    EXPECT_EQ(treeState(), kClosed);
    EXPECT_FALSE(enabled(&main(), "OuvrirVign"));  // 1 -> 0
    for (const char* folder : {"FICHES", "GALERIES", "IMGREF"})
        EXPECT_TRUE(listFolder(dir / folder).empty()) << folder;
    EXPECT_TRUE(ui.texts("error").empty());
}

TEST_F(TreeWindowTest, AnsweringNoDeletesNothing) {
    start();
    makeTree(kTree, 2);
    settings::setCardCounter(DataPaths{dir.path()}, 2);
    openTree(kTree);
    const Snapshot before = snapshot();
    ui.answers = {false};
    trigger(&main(), "SupprimerFiche");
    EXPECT_EQ(ui.texts("question").size(), 1u);
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(treeState(), kOpen);
}

TEST_F(TreeWindowTest, UnreadableGalleryDeletesNothingAndShowsTheErrorAMissingOneIsEmpty) {
    start();
    makeTree(kTree, 2);
    settings::setCardCounter(DataPaths{dir.path()}, 2);
    openTree(kTree);
    // A folder where the gallery file should be cannot be read as one.
    const fs::path gal = dir / ("GALERIES/" + kTree + ".GAL");
    fs::remove(gal);
    fs::create_directory(gal);
    const Snapshot before = snapshot();
    ui.answers = {true};
    trigger(&main(), "SupprimerFiche");
    ASSERT_EQ(ui.texts("error").size(), 1u);
    EXPECT_TRUE(ui.texts("error")[0].contains(QString::fromStdString(kTree + ".GAL")));
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(treeState(), kOpen);

    // A missing gallery file (a creation cut short) is an empty gallery: the tree goes, and the
    // photos no record names any more stay for the checker to set aside.
    fs::remove(gal);
    ui.clear();
    ui.answers = {true};
    trigger(&main(), "SupprimerFiche");
    EXPECT_TRUE(ui.texts("error").empty());
    EXPECT_FALSE(fs::exists(dir / ("FICHES/" + kTree + ".SIG")));
    EXPECT_TRUE(fs::exists(dir / ("GALERIES/" + photoFileName(kTree, 1))));
    EXPECT_EQ(treeState(), kClosed);
}

TEST_F(TreeWindowTest, GalleryRecordsNamingOtherFilesDeleteNothingOutsideTheTree) {
    start();
    makeTree(kOther, 1);
    makeTree(kTree, 1);
    settings::setCardCounter(DataPaths{dir.path()}, 2);
    // Hand-edited records: one climbs out of GALERIES, one names the other tree's photo.
    GalleryFile gallery(DataPaths{dir.path()}, kTree);
    gallery.add({"../Tavo.ini", "05/03/2026", ""});
    gallery.add({photoFileName(kOther, 1), "06/03/2026", ""});
    openTree(kTree);
    const Snapshot before = snapshot();
    ui.answers = {true};
    trigger(&main(), "SupprimerFiche");
    EXPECT_EQ(removedOnly(before), treeFiles(kTree, 1));
    EXPECT_EQ(counter(), 1);
    EXPECT_TRUE(ui.texts("error").empty());
}

// What the properties window shows, read while it is on screen.
struct Shown {
    QString date, works, photos;
    bool operator==(const Shown&) const = default;
};

class PropertiesWindowTest : public TreeWindowTest {
  protected:
    TF_ProprietesFiche* window() { return program->windows().proprietes; }
    Shown labels() {
        return {textOf(window(), "L_DatCre"), textOf(window(), "L_NbLigTra"),
                textOf(window(), "L_NbPhoto")};
    }
    // Shows the window through the menu and closes it with `close`; returns what it showed.
    Shown showAndClose(const std::function<void(TF_ProprietesFiche*)>& close) {
        Shown seen;
        ui.modal["TF_ProprietesFiche"].push_back([&](QDialog* d) {
            seen = labels();
            close(static_cast<TF_ProprietesFiche*>(d));
            EXPECT_FALSE(d->isVisible());
        });
        trigger(&main(), "ProprietesFiche");
        return seen;
    }
};

TEST_F(PropertiesWindowTest, ShowsCreationDateAndCountsReadAfreshAtEachShowing) {
    start();
    makeTree(kTree, 0, "17/11/2025");
    openTree(kTree);
    app().session.currentCard = TreeCard{};  // the window reads the card itself
    const auto ok = [](TF_ProprietesFiche* w) { click(w, "Button1"); };
    EXPECT_EQ(showAndClose(ok), (Shown{"17/11/2025", "0", "0"}));
    EXPECT_EQ(app().session.currentCard.treeName, "Pin " + kTree);

    WorksFile works(DataPaths{dir.path()}, kTree);
    for (int day = 10; day < 20; ++day) works.add({std::to_string(day) + "/04/2026", "Taille", ""});
    GalleryFile gallery(DataPaths{dir.path()}, kTree);
    for (int n = 1; n <= 3; ++n)
        commitNewPhoto(gallery, planNewPhoto(gallery, "01/05/2026", ""),
                       encodeJpeg(Image(20, 20, Rgb{1, 2, 3})));
    ASSERT_EQ(fs::file_size(dir / ("FICHES/" + kTree + ".TRX")), 3180u);
    ASSERT_EQ(fs::file_size(dir / ("GALERIES/" + kTree + ".GAL")), 405u);
    const auto escape = [](TF_ProprietesFiche* w) {
        QTest::keyClick(child<QPushButton>(w, "Button1"), Qt::Key_Escape);
    };
    EXPECT_EQ(showAndClose(escape), (Shown{"17/11/2025", "10", "3"}));
    EXPECT_TRUE(ui.texts("error").empty());
}

TEST_F(PropertiesWindowTest, MissingFileShowsTheErrorAndKeepsTheLabels) {
    start();
    makeTree(kTree, 1);
    openTree(kTree);
    const auto ok = [](TF_ProprietesFiche* w) { click(w, "Button1"); };
    const Shown first = showAndClose(ok);
    ASSERT_EQ(first, (Shown{"03/02/2026", "0", "1"}));

    // The files now hold other values, so a label filled before the failure would show.
    TreeCard later;
    later.creationDate = "01/01/2000";
    const Bytes card = encodeCard(later);
    writeBytes(dir / ("FICHES/" + kTree + ".SIG"), std::string(card.begin(), card.end()));
    WorksFile(DataPaths{dir.path()}, kTree).add({"01/06/2026", "Rempotage", ""});

    // Each of the three files in turn: one error box, labels as they were.
    for (const char* file : {"GALERIES/%1.GAL", "FICHES/%1.TRX", "FICHES/%1.SIG"}) {
        const fs::path path =
            dir / QString::fromLatin1(file).arg(QString::fromStdString(kTree)).toStdString();
        const auto saved = readBytes(path);
        fs::remove(path);
        ui.clear();
        EXPECT_EQ(showAndClose(ok), first) << file;
        ASSERT_EQ(ui.texts("error").size(), 1u) << file;
        EXPECT_TRUE(ui.texts("error")[0].contains(QString::fromStdString(path.filename().string())))
            << ui.texts("error")[0].toStdString();
        writeBytes(path, std::string(saved.begin(), saved.end()));
    }
}

TEST_F(PropertiesWindowTest, TextsFollowTheLanguage) {
    start();
    makeTree(kTree, 0);
    openTree(kTree);
    EXPECT_EQ(textOf(window(), "Label1"), "Date de création de la fiche");
    app().session.languageName = "English";
    main().FormActivate();
    EXPECT_EQ(window()->windowTitle(), "Properties");
    EXPECT_EQ(textOf(window(), "Label1"), "Card created on");
    EXPECT_EQ(textOf(window(), "Label3"), "Works lines");
    EXPECT_EQ(textOf(window(), "Label4"), "Photos in the gallery");
    EXPECT_EQ(child<QPushButton>(window(), "Button1")->text(), "OK");
}

}  // namespace
