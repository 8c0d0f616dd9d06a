// What the program does when the system itself refuses writes: a full disk and a read-only data
// folder, every command that writes data driven through its window. A refused command shows the
// error box and leaves every file of the data folder as it was, byte for byte, with no temporary
// file behind; the same command run again once the fault is gone goes through.
//
// The faults are real where the system allows them: the data folder lives on a small tmpfs that
// is filled up, and a read-only bind mount is laid over it, both in a private mount namespace
// (root with CAP_SYS_ADMIN, as the CI sandbox runs). Where mounting is refused, the full disk
// falls back to the injected write error, which runs in every case anyway: each write of each
// command fails in turn. The read-only folder falls back to acting as "nobody" (root ignores
// permission bits), then to write bits taken away (an ordinary user), then to the injected
// error. Each test prints the path it took.
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <functional>
#include <iostream>
#include <map>

#include "app/about_box.h"
#include "cards/card_file.h"
#include "cards/ui/card_form.h"
#include "common/errors.h"
#include "common/file_io.h"
#include "common/ini_file.h"
#include "imaging/imaging.h"
#include "lists/list_files.h"
#include "photos/gallery_file.h"
#include "photos/gallery_pictures.h"
#include "photos/ui/gallery_viewer.h"
#include "photos/ui/photo_editor.h"
#include "safety/backup.h"
#include "safety/data_set.h"
#include "safety/restore.h"
#include "safety/ui/backup_window.h"
#include "safety/ui/restore_window.h"
#include "startup/settings.h"
#include "support/faults.h"
#include "support/program_fixture.h"
#include "support/system_faults.h"
#include "support/ui_driving.h"
#include "trees/tree_creation.h"
#include "ui_kit/qt_text.h"
#include "ui_kit/timage.h"
#include "works/ui/works_editor.h"
#include "works/works_file.h"

using namespace tavo;
using namespace tavo::test;
namespace fs = std::filesystem;

namespace {

using Snapshot = std::map<std::string, std::string>;

const std::string kTree = "26034140509042";
constexpr std::size_t kDiskSize = 4 * 1024 * 1024;

// How a read-only data folder was made.
enum class ReadOnlyPath { BindMount, ActAsNobody, WriteBitsRemoved, Injected };

const char* describe(ReadOnlyPath p) {
    switch (p) {
        case ReadOnlyPath::BindMount:
            return "read-only bind mount";
        case ReadOnlyPath::ActAsNobody:
            return "file-system user switched to nobody";
        case ReadOnlyPath::WriteBitsRemoved:
            return "write bits removed";
        case ReadOnlyPath::Injected:
            return "injected write error";
    }
    return "";
}

// What differs between two snapshots of a folder, one entry by line: "+ added", "- removed",
// "~ changed (old size -> new size)". Empty when they are equal byte for byte.
std::string changes(const Snapshot& before, const Snapshot& after) {
    std::string out;
    for (const auto& [rel, content] : before) {
        const auto now = after.find(rel);
        if (now == after.end())
            out += "- " + rel + "\n";
        else if (now->second != content)
            out += "~ " + rel + " (" + std::to_string(content.size()) + " -> " +
                   std::to_string(now->second.size()) + " bytes)\n";
    }
    for (const auto& [rel, content] : after)
        if (!before.count(rel)) out += "+ " + rel + "\n";
    return out;
}

void PrintTo(ReadOnlyPath p, std::ostream* os) {
    *os << describe(p);
}

void report(const std::string& what) {
    std::cout << "[ fault path ] " << what << std::endl;
    ::testing::Test::RecordProperty("fault_path", what);
}

// A picture with colours that vary, so its JPEG is of a realistic size.
Bytes pictureJpeg(int width, int height, std::uint8_t blue) {
    Image img(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            img.setPixel(x, y,
                         {static_cast<std::uint8_t>(x * 255 / width),
                          static_cast<std::uint8_t>(y * 255 / height), blue});
    return encodeJpeg(img);
}

void setWriteBits(const fs::path& root, bool on) {
    const auto change = [on](const fs::path& p) {
        fs::permissions(p,
                        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        on ? fs::perm_options::add : fs::perm_options::remove);
    };
    for (const auto& e : fs::recursive_directory_iterator(root)) change(e.path());
    change(root);
}

// One command a user gives, driven through its windows. `run` gets a new number at every call so
// that each run asks for a change the files do not hold yet.
struct Command {
    std::string name;
    std::function<void(int)> run;
    // True when the command goes through on a disk with no free block left: it rewrites bytes
    // the files already hold, or frees room before it writes.
    bool fitsOnAFullDisk = false;
};

class SystemFaults : public ::testing::Test {
  protected:
    void SetUp() override {
        // Readable by "nobody", for the read-only fallback of a process run as root.
        fs::permissions(root.path(), fs::perms::owner_all | fs::perms::group_read |
                                         fs::perms::group_exec | fs::perms::others_read |
                                         fs::perms::others_exec);
        disk = root / "disk";
        fs::create_directory(disk);
        smallDisk = mountSmallDisk(disk, kDiskSize);
        data = disk / "data";
        copyTemplate(data);
        pictures = root / "pictures";
        fs::create_directory(pictures);
        io::writeFile(pictures / "gallery.jpg", pictureJpeg(900, 700, 160));
        io::writeFile(pictures / "other.jpg", pictureJpeg(200, 320, 90));

        previous = fs::current_path();
        fs::current_path(data);
        program = std::make_unique<Program>(ui);
        main().FormActivate();
        makeDataSet();
        ui.clear();
    }

    void TearDown() override {
        test::failNthWrite(0);
        program.reset();
        fs::current_path(previous);
        if (readOnlyMounted) unmount(data);
        if (smallDisk) unmount(disk);
    }

    // One tree with twelve works lines (the log ends 280 bytes short of a 4096-byte block, so the
    // next line has to take a new block) and two gallery photos; the three lists, the
    // intervention types and the botanical names also ending less than one entry short of a
    // block. The tree is open in the main window.
    void makeDataSet() {
        const DataPaths paths{data};
        TreeCard card;
        card.treeName = "Pin noir";
        card.creationDate = "03/02/2026";
        card.ageEstimated = "N";
        createTree(paths, kTree, card, pictureJpeg(159, 106, 40));
        const WorksFile works(paths, kTree);
        for (int d = 1; d <= 12; ++d)
            works.add({"0" + std::to_string(d % 9 + 1) + "/0" + std::to_string(d % 9 + 1) + "/20" +
                           std::to_string(10 + d),
                       "Taille", "ligne " + std::to_string(d)});
        GalleryFile gallery(paths, kTree);
        for (const char* date : {"01/05/2019", "01/05/2021"}) {
            const NewPhoto plan = planNewPhoto(gallery, date, "photo");
            commitNewPhoto(gallery, plan, storedGalleryPhoto(pictures / "gallery.jpg"));
        }
        const LabelListFile types = LabelListFile::interventionTypes(paths);
        types.createIfMissing();
        for (int i = 0; i < 80; ++i) types.append("Type " + std::to_string(i));
        const LabelListFile states = LabelListFile::acquisitionStates(paths);
        states.createIfMissing();
        states.append("Pré-bonsaï");
        states.append("Yamadori");
        const BotanicalNameListFile names(paths);
        names.createIfMissing();
        for (int i = 0; i < 5; ++i) names.append({"Pinus " + std::to_string(i), "Pin", "Pine"});
        ASSERT_EQ(fs::file_size(paths.works(kTree)), 12u * 318);

        openTree(kTree);
        // A backup of this data set, kept outside the disk, for the restore.
        savedBackup = root / "saved" / "Tavo-20260101-120000";
        fs::create_directories(savedBackup.parent_path());
        ASSERT_TRUE(runBackup(paths, savedBackup, {}).succeeded());
    }

    TF_Main& main() { return program->main(); }
    QTableWidget& worksGrid() { return *child<QTableWidget>(&main(), "SG_LignesTravaux"); }

    void openTree(const std::string& id) {
        app().session.openTreeId = id;
        app().session.currentCard = readCard(DataPaths{data}, id);
        main().treeOpened();
        main().refillWorks(false);
    }
    App& app() { return program->app; }
    Windows& windows() { return program->windows(); }
    int backUpThroughWindow(const fs::path& parent) {
        return test::backUpThroughWindow(ui, *program, parent);
    }
    int restoreThroughWindow(const fs::path& source) {
        return test::restoreThroughWindow(ui, *program, source);
    }

    // ---- the commands ----------------------------------------------------------------------

    std::vector<Command> commands() {
        std::vector<Command> c;
        c.push_back({"card modification with a new photo", [this](int n) {
                         ui.pictures.push_back(toQString((pictures / "other.jpg").string()));
                         ui.modal["TF_Fiche"].push_back([n](QDialog* d) {
                             auto& f = *static_cast<TF_Fiche*>(d);
                             setText(&f, "E_NomArbre", QStringLiteral("Pin noir %1").arg(n));
                             click(&f, "B_Parcourir");
                             click(&f, "B_Modification");
                         });
                         click(&main(), "B_Fiche");
                     }});
        // First of the works commands: the log then needs a new block for the appended line.
        c.push_back({"works line added at the end",
                     [this](int n) { addWorksLine(QStringLiteral("01/01/2030"), n); }});
        c.push_back({"works line added before the others",
                     [this](int n) { addWorksLine(QStringLiteral("01/01/2001"), n); }});
        c.push_back({"works line comment changed",
                     [this](int n) {
                         changeWorksLine(3, [n](TF_Ligne& l) {
                             setText(&l, "E_LibTra", QStringLiteral("commentaire %1").arg(n));
                             click(&l, "B_Modifier");
                         });
                     },
                     true});
        c.push_back({"works line date changed", [this](int n) {
                         changeWorksLine(2, [n](TF_Ligne& l) {
                             setText(&l, "E_DatTra", QStringLiteral("%1/06/2040").arg(10 + n % 18));
                             click(&l, "B_Modifier");
                         });
                     }});
        c.push_back({"works line deleted", [this](int) {
                         changeWorksLine(1, [](TF_Ligne& l) { click(&l, "B_Supprimer"); });
                     }});
        c.push_back({"gallery photo added", [this](int n) {
                         ui.modal["TF_Galerie"].push_back(
                             [this](QDialog*) { click(windows().galerie, "B_Ajouter"); });
                         ui.modal["TF_Photo"].push_back([this, n](QDialog*) {
                             TF_Photo& e = *windows().photo;
                             ui.pictures.push_back(toQString((pictures / "gallery.jpg").string()));
                             click(&e, "B_Parcourir");
                             setText(&e, "E_DatPhoto", QStringLiteral("01/01/2020"));
                             setText(&e, "E_Comment", QStringLiteral("ajout %1").arg(n));
                             click(&e, "B_Ajouter");
                         });
                         click(&main(), "B_Evolution");
                     }});
        c.push_back({"gallery photo comment changed",
                     [this](int n) {
                         editPhoto(1, [n](TF_Photo& e) {
                             setText(&e, "E_Comment", QStringLiteral("commentaire %1").arg(n));
                             click(&e, "B_Modifier");
                         });
                     },
                     true});
        c.push_back({"gallery photo deleted",
                     [this](int) { editPhoto(0, [](TF_Photo& e) { click(&e, "B_Supprimer"); }); }});
        // Last: the new tree becomes the open one.
        c.push_back({"card creation", [this](int n) {
                         ui.pictures.push_back(toQString((pictures / "other.jpg").string()));
                         ui.modal["TF_Fiche"].push_back([n](QDialog* d) {
                             auto& f = *static_cast<TF_Fiche*>(d);
                             setText(&f, "E_NomArbre", QStringLiteral("Genévrier %1").arg(n));
                             click(&f, "B_Parcourir");
                             click(&f, "B_Creation");
                         });
                         trigger(&main(), "CreerFiche");
                     }});
        return c;
    }

    void addWorksLine(const QString& date, int n) {
        ui.modal["TF_Ligne"].push_back([date, n](QDialog* d) {
            auto& l = *static_cast<TF_Ligne*>(d);
            setText(&l, "E_DatTra", date);
            child<QComboBox>(&l, "ComboBox1")->setEditText(QStringLiteral("Rempotage"));
            setText(&l, "E_LibTra", QStringLiteral("ajout %1").arg(n));
            click(&l, "B_Creer");
        });
        click(&main(), "B_AjoutLigneTravail");
    }

    // Double-clicks works line `line` (1-based) and lets `act` click in the editor.
    void changeWorksLine(int line, const std::function<void(TF_Ligne&)>& act) {
        worksGrid().setCurrentCell(line - 1, 0);
        ui.modal["TF_Ligne"].push_back([act](QDialog* d) { act(*static_cast<TF_Ligne*>(d)); });
        test::doubleClick(&main(), "SG_LignesTravaux");
    }

    // Double-clicks gallery thumbnail `index` (0-based) and lets `act` click in the editor.
    void editPhoto(int index, const std::function<void(TF_Photo&)>& act) {
        ui.modal["TF_Galerie"].push_back([this, index](QDialog*) {
            ASSERT_GT(windows().galerie->thumbnails().size(), index);
            QTest::mouseDClick(windows().galerie->thumbnails()[index], Qt::LeftButton);
        });
        ui.modal["TF_Photo"].push_back([this, act](QDialog*) { act(*windows().photo); });
        click(&main(), "B_Evolution");
    }

    void archiveThroughMenu(const fs::path& target) {
        ui.answers.push_back(true);
        ui.folders.push_back(toQString(target.string()));
        trigger(&main(), "Fichierarchive1");
    }

    // ---- checks ----------------------------------------------------------------------------

    // Runs `command` and checks that it was refused: one error box, the data folder unchanged.
    void expectRefused(const std::string& what, const std::function<void()>& command) {
        const Snapshot before = snapshot(data);
        ui.clear();
        command();
        EXPECT_EQ(ui.texts("error").size(), 1u) << what;
        EXPECT_EQ(changes(before, snapshot(data)), "") << what;
    }

    // Runs `command` and checks that it went through: no error box, the data folder changed.
    void expectDone(const std::string& what, const std::function<void()>& command) {
        const Snapshot before = snapshot(data);
        ui.clear();
        command();
        EXPECT_TRUE(ui.texts("error").empty()) << what << ": " << firstError();
        EXPECT_NE(changes(before, snapshot(data)), "") << what;
    }

    std::string firstError() const {
        const auto errors = ui.texts("error");
        return errors.empty() ? std::string() : errors.front().toStdString();
    }

    // Makes each write of `command` fail in turn, before any of its bytes and then in the middle
    // of them, until a run needs no more writes than were let through; each failed run must
    // have been refused, the last one must have gone through. Returns the number of refused
    // runs.
    int failEachWriteInTurn(const Command& command, int& attempt) {
        for (int run = 0; run < 200; ++run) {
            const int n = run / 2 + 1;
            const Snapshot before = snapshot(data);
            ui.clear();
            test::failNthWrite(n, run % 2 == 0 ? 0 : 100);
            command.run(++attempt);
            test::failNthWrite(0);
            if (ui.texts("error").empty()) {
                EXPECT_NE(changes(before, snapshot(data)), "")
                    << command.name << " went through at write " << n;
                return run;
            }
            EXPECT_EQ(ui.texts("error").size(), 1u) << command.name << ", write " << n;
            EXPECT_EQ(changes(before, snapshot(data)), "") << command.name << ", write " << n;
        }
        ADD_FAILURE() << command.name << " never went through";
        return 0;
    }

    // Makes the data folder read only, the first way that works from `first` on; returns how.
    ReadOnlyPath makeReadOnly(ReadOnlyPath first) {
        if (first == ReadOnlyPath::BindMount && privateMountNamespace() &&
            ::mount(data.c_str(), data.c_str(), nullptr, MS_BIND, nullptr) == 0) {
            readOnlyMounted = true;
            if (::mount(nullptr, data.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY,
                        nullptr) == 0) {
                fs::current_path(data);  // the program's current directory is the data folder
                return ReadOnlyPath::BindMount;
            }
            unmount(data);
            readOnlyMounted = false;
        }
        if (::geteuid() == 0) {
            ActAsNobody probe;
            if (probe.active()) return ReadOnlyPath::ActAsNobody;
            return ReadOnlyPath::Injected;
        }
        setWriteBits(data, false);
        return ReadOnlyPath::WriteBitsRemoved;
    }

    void endReadOnly(ReadOnlyPath how) {
        if (how == ReadOnlyPath::BindMount) {
            fs::current_path(root.path());
            unmount(data);
            readOnlyMounted = false;
            fs::current_path(data);
        }
        if (how == ReadOnlyPath::WriteBitsRemoved) setWriteBits(data, true);
    }

    // Runs `command` with the data folder read only in the way `how` says.
    void underReadOnly(ReadOnlyPath how, const std::function<void()>& command) {
        if (how == ReadOnlyPath::ActAsNobody) {
            ActAsNobody nobody;
            command();
        } else if (how == ReadOnlyPath::Injected) {
            test::failNthWrite(1);
            command();
            test::failNthWrite(0);
        } else {
            command();
        }
    }

    TempDir root;
    fs::path disk, data, pictures, previous, savedBackup;
    bool smallDisk = false;
    bool readOnlyMounted = false;
    FakeUiSeam ui;
    std::unique_ptr<Program> program;
};

}  // namespace

TEST_F(SystemFaults, AFullDiskRefusesEveryCommandAndChangesNoFile) {
    report(smallDisk ? "full tmpfs, then injected write errors" : "injected write errors only");
    const fs::path filler = disk / "filler";
    int attempt = 0;
    for (const Command& command : commands()) {
        if (smallDisk) {
            ASSERT_GT(fillDisk(filler), 0u);
            if (command.fitsOnAFullDisk)
                expectDone(command.name + " on a full disk", [&] { command.run(++attempt); });
            else
                expectRefused(command.name + " on a full disk", [&] { command.run(++attempt); });
            fs::remove(filler);
        }
        // Every write the command makes; a command with no write of its own would be a
        // command this test does not reach.
        EXPECT_GT(failEachWriteInTurn(command, attempt), 0) << command.name;
    }

    // The backup goes to a folder the user chooses: a full disk there leaves the data folder
    // alone and no folder that the restore would take for a backup.
    const fs::path backups = smallDisk ? disk / "backups" : root / "backups";
    fs::create_directories(backups);
    const auto backupFolders = [&] { return listFolder(backups); };
    if (smallDisk) {
        ASSERT_GT(fillDisk(filler), 0u);
        expectRefused("backup on a full disk", [&] { backUpThroughWindow(backups); });
        for (const auto& made : backupFolders())
            EXPECT_FALSE(isValidBackup(DataPaths{backups / made})) << made;
        fs::remove_all(backups);
        fs::create_directories(backups);
        fs::remove(filler);
    }
    int backupWrites = 0;
    for (int n = 1;; ++n) {
        ASSERT_LT(n, 200);
        windows().dataSave->clock = [n] { return LocalTime{2026, 1, 2, 3, 4, n % 60}; };
        const Snapshot before = snapshot(data);
        ui.clear();
        test::failNthWrite(n, 50);
        const int result = backUpThroughWindow(backups);
        test::failNthWrite(0);
        EXPECT_EQ(changes(before, snapshot(data)), "");
        const fs::path made = backups / backupFolders().back();
        if (result == QDialog::Accepted) {
            EXPECT_TRUE(ui.texts("error").empty());
            EXPECT_TRUE(isValidBackup(DataPaths{made}));
            break;
        }
        ++backupWrites;
        EXPECT_EQ(ui.texts("error").size(), 1u) << "backup, write " << n;
        EXPECT_FALSE(isValidBackup(DataPaths{made})) << "backup, write " << n;
        fs::remove_all(made);
    }
    EXPECT_GE(backupWrites, 7);  // at least one write per entry of the data set

    // The restore copies the backup beside the data first: a full disk stops it there.
    if (smallDisk) {
        ASSERT_GT(fillDisk(filler), 0u);
        expectRefused("restore on a full disk", [&] { restoreThroughWindow(savedBackup); });
        fs::remove(filler);
    }
    const Command restore{"restore", [&](int) { restoreThroughWindow(savedBackup); }};
    EXPECT_GE(failEachWriteInTurn(restore, attempt), 7);
    EXPECT_EQ(changes(snapshot(savedBackup), dataSetPart(snapshot(data))), "");
    openTree(kTree);  // the tree created above is not in the backup

    // The archive is written by the ZIP library, out of the reach of the injected error: a real
    // full disk here, a read-only folder in the read-only tests.
    if (smallDisk) {
        fs::create_directories(disk / "archives");
        ASSERT_GT(fillDisk(filler), 0u);
        expectRefused("tree archive on a full disk",
                      [&] { archiveThroughMenu(disk / "archives"); });
        EXPECT_EQ(listFolder(disk / "archives"), std::vector<std::string>{});
        fs::remove(filler);
        expectDone("tree archive", [&] { archiveThroughMenu(data); });
        fs::remove(data / ("Tavo-" + kTree + ".zip"));
    }

    // Deleting a tree frees room before the counter is written: it goes through on a full
    // disk.
    const DataPaths paths{data};
    if (smallDisk) {
        const std::string other = "26034140509043";
        createTree(paths, other, readCard(paths, kTree), pictureJpeg(159, 159, 0));
        openTree(other);
        const long counter = settings::cardCounter(paths);
        ASSERT_GT(fillDisk(filler), 0u);
        ui.answers.push_back(true);
        expectDone("tree deletion on a full disk", [&] { trigger(&main(), "SupprimerFiche"); });
        EXPECT_FALSE(child(&main(), "GB_Arbre")->isVisibleTo(&main()));
        EXPECT_FALSE(fs::exists(paths.card(other)));
        EXPECT_EQ(settings::cardCounter(paths), counter - 1);
        fs::remove(filler);
    }
    // Should the counter write fail all the same, the tree is shown deleted and the error box
    // says why the counter stayed.
    openTree(kTree);
    const long counter = settings::cardCounter(paths);
    const Snapshot before = snapshot(data);
    ui.clear();
    ui.answers.push_back(true);
    test::failNthWrite(1);
    trigger(&main(), "SupprimerFiche");
    test::failNthWrite(0);
    EXPECT_EQ(ui.texts("error").size(), 1u);
    EXPECT_FALSE(child(&main(), "GB_Arbre")->isVisibleTo(&main()));
    EXPECT_FALSE(fs::exists(paths.card(kTree)));
    EXPECT_EQ(settings::cardCounter(paths), counter);
    // The files of the tree are gone; nothing else changed.
    for (const auto& line : QString::fromStdString(changes(before, snapshot(data))).split('\n'))
        EXPECT_TRUE(line.isEmpty() ||
                    (line.startsWith("- ") && line.contains(QString::fromStdString(kTree))))
            << line.toStdString();
}

TEST_F(SystemFaults, AFullDiskLeavesTheListsAsTheyWere) {
    // The list editors are plain appends, overwrites and removals of these files.
    const DataPaths paths{data};
    const LabelListFile types = LabelListFile::interventionTypes(paths);
    const LabelListFile states = LabelListFile::acquisitionStates(paths);
    const BotanicalNameListFile names(paths);
    const std::vector<std::pair<std::string, std::function<void()>>> listChanges = {
        {"type added", [&] { types.append("Défoliation"); }},
        {"botanical name added",
         [&] {
             names.append({"Juniperus", "Genévrier", "Juniper"});
         }},
        {"type removed", [&] { types.remove(3); }},
        {"state changed", [&] { states.overwrite(0, "Pré-bonsaï cultivé"); }},
    };
    report(smallDisk ? "full tmpfs, then injected write errors" : "injected write errors only");
    for (const auto& [what, change] : listChanges) {
        const Snapshot before = snapshot(data);
        if (smallDisk) {
            ASSERT_GT(fillDisk(disk / "filler"), 0u);
            if (what == "state changed") {
                change();  // rewrites bytes already on the disk
                EXPECT_NE(changes(before, snapshot(data)), "");
            } else {
                EXPECT_THROW(change(), IoError) << what;
                EXPECT_EQ(changes(before, snapshot(data)), "") << what;
            }
            fs::remove(disk / "filler");
        }
        const Snapshot now = snapshot(data);
        for (const std::size_t written : {std::size_t{0}, std::size_t{20}}) {
            test::failNthWrite(1, written);
            EXPECT_THROW(change(), IoError) << what;
            test::failNthWrite(0);
            EXPECT_EQ(changes(now, snapshot(data)), "") << what;
        }
    }
}

TEST_F(SystemFaults, AFolderThatRefusesOnlyTheLockOpensReadOnly) {
    // The folder itself read only, its subfolders writable: no lock can be made, yet the
    // records could be written, so a second program could write beside this one.
    program.reset();
    if (makeReadOnly(ReadOnlyPath::BindMount) != ReadOnlyPath::BindMount)
        GTEST_SKIP() << "no read-only bind mount here";
    const fs::path fiches = data / "FICHES";
    ASSERT_EQ(::mount(fiches.c_str(), fiches.c_str(), nullptr, MS_BIND, nullptr), 0);
    ASSERT_EQ(::mount(nullptr, fiches.c_str(), nullptr, MS_REMOUNT | MS_BIND, nullptr), 0);
    program = std::make_unique<Program>(ui);
    main().FormActivate();
    EXPECT_TRUE(app().readOnly());
    EXPECT_FALSE(enabled(&main(), "CreerFiche"));
    EXPECT_EQ(ui.texts("error").size(), 1u);
    program.reset();
    unmount(fiches);
    endReadOnly(ReadOnlyPath::BindMount);
}

// Each read-only test runs once from each way of making the folder read only, so that a machine
// where mounting works (the CI sandbox) checks both.
class ReadOnlyFolder : public SystemFaults, public ::testing::WithParamInterface<ReadOnlyPath> {};

INSTANTIATE_TEST_SUITE_P(, ReadOnlyFolder,
                         ::testing::Values(ReadOnlyPath::BindMount, ReadOnlyPath::ActAsNobody),
                         [](const auto& info) {
                             return info.param == ReadOnlyPath::BindMount ? "BindMount"
                                                                          : "ActAsNobody";
                         });

TEST_P(ReadOnlyFolder, RefusesEveryCommandAndChangesNoFile) {
    const ReadOnlyPath how = makeReadOnly(GetParam());
    report(describe(how));
    int attempt = 0;
    std::vector<Command> all = commands();
    // The backup and the archive go where the user says: here, the read-only folder itself.
    all.push_back({"backup into the folder", [&](int) { backUpThroughWindow(data); }});
    all.push_back({"tree archive into the folder", [&](int) { archiveThroughMenu(data); }});
    all.push_back({"restore", [&](int) { restoreThroughWindow(savedBackup); }});
    all.push_back({"tree deletion", [&](int) {
                       openTree(kTree);
                       ui.answers.push_back(true);
                       trigger(&main(), "SupprimerFiche");
                   }});
    for (const Command& command : all) {
        // An injected write error strikes the deletion only at the counter, once the files are
        // deleted (that case is the full-disk test's); it never reaches the folders the backup
        // makes nor the ZIP library.
        if (how == ReadOnlyPath::Injected &&
            (command.name == "tree deletion" ||
             command.name.find("into the folder") != std::string::npos))
            continue;
        expectRefused(command.name + " in a read-only folder",
                      [&] { underReadOnly(how, [&] { command.run(++attempt); }); });
    }
    EXPECT_TRUE(child(&main(), "GB_Arbre")->isVisibleTo(&main()));

    // A read-only folder can still be saved elsewhere and its tree archived elsewhere.
    if (how != ReadOnlyPath::Injected) {
        const fs::path elsewhere = root / "elsewhere";
        fs::create_directories(elsewhere);
        fs::permissions(elsewhere, fs::perms::all);
        underReadOnly(how, [&] {
            ui.clear();
            EXPECT_EQ(backUpThroughWindow(elsewhere), QDialog::Accepted) << firstError();
            archiveThroughMenu(elsewhere);
            EXPECT_TRUE(ui.texts("error").empty()) << firstError();
        });
        EXPECT_EQ(listFolder(elsewhere).size(), 2u);
    }
    endReadOnly(how);
    // Every command goes through again once the folder accepts writes.
    for (const Command& command : all) expectDone(command.name, [&] { command.run(++attempt); });
}

TEST_P(ReadOnlyFolder, SettingsWritesOfTheActivation) {
    const fs::path ini = data / "Tavo.ini";
    const ReadOnlyPath how = makeReadOnly(GetParam());
    report(describe(how));
    const Snapshot before = snapshot(data);

    // The settings already hold what the activation writes: nothing to write, nothing shown.
    underReadOnly(how, [&] {
        ui.clear();
        main().FormActivate();
        EXPECT_TRUE(ui.shown.empty()) << firstError();
        app().showModal(windows().aPropos);  // its closing activates the main window again
        EXPECT_TRUE(ui.texts("error").empty()) << firstError();
    });
    endReadOnly(how);

    // A newer program's version to write: the activation shows why it could not, once per
    // run, and still finishes: the language, the grid heads and "Ouvrir" are set.
    std::string settingsText = readText(ini);
    settingsText.replace(settingsText.find("VersionN="), 9, "VersionN=0.0.");
    writeBytes(ini, settingsText);
    const Snapshot stale = snapshot(data);
    const ReadOnlyPath again = makeReadOnly(GetParam());
    underReadOnly(again, [&] {
        ui.clear();
        worksGrid().setHorizontalHeaderLabels({"", "", ""});
        child<QAction>(&main(), "OuvrirVign")->setEnabled(false);
        main().FormActivate();
        EXPECT_EQ(ui.texts("error").size(), 1u);
        EXPECT_EQ(worksGrid().horizontalHeaderItem(0)->text(), app().msg(Msg::DateHeading));
        EXPECT_FALSE(app().msg(Msg::DateHeading).isEmpty());
        EXPECT_TRUE(enabled(&main(), "OuvrirVign"));
        app().showModal(windows().aPropos);
        main().FormActivate();
        EXPECT_EQ(ui.texts("error").size(), 1u);  // not again

        // Program end: the language name is the one stored, so nothing is written or shown;
        // a language changed in this run cannot be stored, and the error box says so.
        main().FormDestroy();
        EXPECT_EQ(ui.texts("error").size(), 1u);
        app().session.languageName = "English";
        EXPECT_FALSE(app().guard(&main(), [&] { main().FormDestroy(); }));
        EXPECT_EQ(ui.texts("error").size(), 2u);
    });
    EXPECT_EQ(changes(stale, snapshot(data)), "");
    endReadOnly(again);
}

TEST_P(ReadOnlyFolder, AFirstStartStillShowsTheProgram) {
    program.reset();
    fs::remove(data / "Tavo.ini");
    const ReadOnlyPath how = makeReadOnly(GetParam());
    report(describe(how));
    const Snapshot before = snapshot(data);
    underReadOnly(how, [&] {
        program = std::make_unique<Program>(ui);
        main().FormActivate();
        // The settings file could not be made: said once; the program speaks French all the same.
        EXPECT_EQ(ui.texts("error").size(), 1u);
        EXPECT_EQ(app().session.languageName, "Français");
        EXPECT_EQ(worksGrid().horizontalHeaderItem(0)->text(), app().msg(Msg::DateHeading));
        EXPECT_FALSE(app().msg(Msg::DateHeading).isEmpty());
        main().FormActivate();
        EXPECT_EQ(ui.texts("error").size(), 1u);
    });
    EXPECT_EQ(changes(before, snapshot(data)), "");
    endReadOnly(how);
}
