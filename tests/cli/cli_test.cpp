#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <ctime>
#include <regex>

#include "common/file_io.h"
#include "common/folder_lock.h"
#include "imaging/exif_samples.h"
#include "photos/gallery_pictures.h"
#include "safety/backup.h"
#include "safety/data_set.h"
#include "safety/tree_archive.h"
#include "support/data_folder.h"
#include "support/run_program.h"
#include "support/zip_reading.h"

namespace tavo::test {
namespace {

const std::string kPine = "24032101500001", kMaple = "24032101500002", kPine2 = "24032101500003";

// Three trees: two of the same name, one with works lines and photos.
void makeThreeTrees(const std::filesystem::path& root) {
    DataFolder(root)
        .lists({""}, {""}, {})
        .settings(
            "[Interface]\r\nLangage=Fran\xe7"
            "ais\r\n")
        .tree({kPine2, cardOf({{"name", "Pin"}, {"botanical", "Pinus sylvestris"}})})
        .tree(
            {kPine,
             cardOf(
                 {{"name", "Pin"}, {"botanical", "Pinus parviflora"}, {"acquired", "12/04/2019"}}),
             {{"01/03/2020", "Rempotage", "substrat neuf"}, {"15/06/2020", "Taille", ""}},
             {{"", "10/10/2020", "automne"}}})
        .tree({kMaple, cardOf({{"name", "Érable"},
                               {"botanical", "Acer palmatum"},
                               {"acquired", "03/05/2018"}})});
}

// The two folders hold the same files, byte for byte; on a difference, names the files only.
testing::AssertionResult sameFiles(const std::filesystem::path& a, const std::filesystem::path& b) {
    const auto left = snapshot(a), right = snapshot(b);
    if (left == right) return testing::AssertionSuccess();
    std::string differ;
    for (const auto& [name, content] : left)
        if (!right.contains(name) || right.at(name) != content) differ += " " + name;
    for (const auto& [name, content] : right)
        if (!left.contains(name)) differ += " " + name;
    return testing::AssertionFailure() << "files differ:" << differ;
}

ProgramRun cli(const std::filesystem::path& cwd, const std::vector<std::string>& args) {
    return runProgram(TAVO_CLI, args, cwd);
}

TEST(CliListing, ListAndShowPrintTheRecords) {
    const TempDir data;
    makeThreeTrees(data.path());
    const struct {
        std::vector<std::string> args;
        std::string out;
    } cases[] = {
        {{"list"},
         // Sorted by tree name (bytes of UTF-8), then identifier.
         kPine + "\tPin\tPinus parviflora\t12/04/2019\t2\t1\n" + kPine2 +
             "\tPin\tPinus sylvestris\t\t0\t0\n" + kMaple +
             "\tÉrable\tAcer palmatum\t03/05/2018\t0\t0\n"},
        {{"list", "--json"},
         "[\n  {\n    \"id\": \"" + kPine +
             "\",\n    \"name\": \"Pin\",\n    \"botanicalName\": \"Pinus parviflora\",\n"
             "    \"acquired\": \"12/04/2019\",\n    \"works\": 2,\n    \"photos\": 1\n  },\n"
             "  {\n    \"id\": \"" +
             kPine2 +
             "\",\n    \"name\": \"Pin\",\n    \"botanicalName\": \"Pinus sylvestris\",\n"
             "    \"acquired\": \"\",\n    \"works\": 0,\n    \"photos\": 0\n  },\n"
             "  {\n    \"id\": \"" +
             kMaple +
             "\",\n    \"name\": \"Érable\",\n    \"botanicalName\": \"Acer palmatum\",\n"
             "    \"acquired\": \"03/05/2018\",\n    \"works\": 0,\n    \"photos\": 0\n  }\n]\n"},
        {{"show", kPine},
         "Identifier:     " + kPine +
             "\nTree name:      Pin\nBotanical name: Pinus parviflora\nCultivar:       \n"
             "Common name:    \nEnglish name:   \nProvenance:     \nAcquired:       12/04/2019\n"
             "Age:            \nState:          \nPrice:          \nCreated:        03/02/2026\n"
             "Notes:\nWorks (2):\n  01/03/2020\tRempotage\tsubstrat neuf\n  15/06/2020\tTaille\t\n"
             "Photos (1):\n  1\t" +
             kPine + "001.JPG\t10/10/2020\tautomne\n"},
        {{"search", "ERABLE"}, kMaple + "  Érable\n    treeName: Érable\n"},
        {{"search", "substrat", "pin"},
         kPine + "  Pin\n    treeName: Pin\n    botanicalName: Pinus parviflora\n"
                 "    worksComment 01/03/2020: substrat neuf\n"},
    };
    for (const auto& c : cases) {
        const ProgramRun r = cli(data.path(), c.args);
        EXPECT_EQ(r.status, 0) << c.args[0] << r.err;
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(r.out, c.out);
    }
    const ProgramRun json = cli(data.path(), {"show", kPine, "--json"});
    EXPECT_NE(json.out.find("\"works\": [\n    {\n      \"date\": \"01/03/2020\",\n      \"type\": "
                            "\"Rempotage\",\n      \"comment\": \"substrat neuf\"\n    },"),
              std::string::npos)
        << json.out;
    EXPECT_NE(json.out.find("\"photos\": [\n    {\n      \"position\": 1,\n      \"file\": \"" +
                            kPine + "001.JPG\",\n      \"date\": \"10/10/2020\""),
              std::string::npos)
        << json.out;
}

// A JPEG camera picture of the given size: a colour ramp, so that scaling and turning show.
Bytes cameraPicture(int width, int height) {
    Image img(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            img.setPixel(x, y,
                         Rgb{static_cast<std::uint8_t>(x * 255 / width),
                             static_cast<std::uint8_t>(y * 255 / height), 90});
    return encodeJpeg(img);
}

// A camera JPEG with the EXIF data `tiff`.
Bytes exifPicture(const exif::Tiff& tiff) {
    const Bytes jpeg = cameraPicture(900, 1200);
    Bytes withExif(jpeg.begin(), jpeg.begin() + 2);
    exif::append(withExif, exif::app1(tiff.build()));
    withExif.insert(withExif.end(), jpeg.begin() + 2, jpeg.end());
    return withExif;
}

// Sets the file's modification time to noon, local time, of the given day.
void touch(const std::filesystem::path& file, int day, int month, int year) {
    std::tm tm{};
    tm.tm_mday = day;
    tm.tm_mon = month - 1;
    tm.tm_year = year - 1900;
    tm.tm_hour = 12;
    tm.tm_isdst = -1;
    const utimbuf times{std::mktime(&tm), std::mktime(&tm)};
    ASSERT_EQ(::utime(file.c_str(), &times), 0);
}

TEST(CliAddPhoto, StoresWhatThePhotoEditorStores) {
    const TempDir pictures;
    const auto exifJpg = pictures / "exif.jpg", plainJpg = pictures / "plain.JPG",
               undated = pictures / "undated.jpg", broken = pictures / "broken.jpg";
    // The camera says 14/07/2005.
    io::writeFile(exifJpg, exifPicture(exif::typicalCamera(false)));
    io::writeFile(plainJpg, cameraPicture(2000, 1000));
    touch(plainJpg, 5, 3, 2021);
    // EXIF data without the date taken: the file's date is used, not an invalid "//".
    io::writeFile(undated,
                  exifPicture(exif::Tiff(true).text(exif::Ifd::Zero, exif::kMake, "Canon")));
    touch(undated, 29, 2, 2024);
    writeBytes(broken, "not a picture");
    const struct {
        std::vector<std::string> args;  // after "add-photo <tree>"
        std::vector<std::pair<std::filesystem::path, std::string>> added;  // picture, date
        std::string comment;
        int status;
    } cases[] = {
        {{exifJpg}, {{exifJpg, "14/07/2005"}}, "", 0},
        {{plainJpg, undated}, {{plainJpg, "05/03/2021"}, {undated, "29/02/2024"}}, "", 0},
        {{plainJpg, broken, exifJpg, "--date", "01/01/2020", "--comment", "vu de face"},
         {{plainJpg, "01/01/2020"}, {exifJpg, "01/01/2020"}},
         "vu de face",
         1},
    };
    for (const auto& c : cases) {
        const TempDir byCli, byEditor;
        makeThreeTrees(byCli.path());
        makeThreeTrees(byEditor.path());
        std::vector<std::string> args{"add-photo", kPine};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const ProgramRun r = cli(byCli.path(), args);
        // The photo editor's "Ajouter": plan, stored 600-pixel photo, commit.
        GalleryFile gallery(DataPaths{byEditor.path()}, kPine);
        std::string expectedOut;
        for (const auto& [picture, date] : c.added) {
            const NewPhoto plan = planNewPhoto(gallery, date, c.comment);
            commitNewPhoto(gallery, plan, storedGalleryPhoto(picture));
            expectedOut +=
                "GALERIES/" + plan.record.fileName + "\t" + date + "\t" + picture.string() + "\n";
        }
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_EQ(r.out, expectedOut);
        EXPECT_TRUE(sameFiles(byCli.path(), byEditor.path())) << r.err;
        if (c.status != 0) {
            EXPECT_NE(r.err.find("broken.jpg"), std::string::npos) << r.err;
        }
    }
}

TEST(CliSafety, BackupRestoreAndArchiveWriteWhatTheWindowsWrite) {
    const TempDir data, target, reference;
    makeThreeTrees(data.path());

    const ProgramRun backup = cli(data.path(), {"backup", "--to", target.path()});
    ASSERT_EQ(backup.status, 0) << backup.err;
    ASSERT_TRUE(std::regex_match(backup.out, std::regex(".*/Tavo-[0-9]{8}-[0-9]{6}\n")))
        << backup.out;
    const std::filesystem::path made = backup.out.substr(0, backup.out.size() - 1);
    EXPECT_EQ(made.parent_path(), target.path());
    ASSERT_TRUE(runBackup(DataPaths{data.path()}, reference / "backup", nullptr).succeeded());
    EXPECT_TRUE(sameFiles(made, reference / "backup"));

    const ProgramRun archive = cli(data.path(), {"archive", kPine, "--to", target.path()});
    ASSERT_EQ(archive.status, 0) << archive.err;
    const auto zip = target / treeArchiveName(kPine);
    EXPECT_EQ(archive.out, zip.string() + "\n");
    makeTreeArchive(DataPaths{data.path()}, kPine, {kPine + "001.JPG"}, reference.path());
    const auto entries = readZip(zip), expected = readZip(reference / treeArchiveName(kPine));
    ASSERT_EQ(entries.size(), 5u);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].name, expected[i].name);
        EXPECT_EQ(entries[i].content, expected[i].content);
    }
    EXPECT_EQ(cli(data.path(), {"archive", kPine, "--to", target.path(), "--force"}).status, 0);

    // A tree added after the backup disappears again with the restore.
    DataFolder(data.path()).tree({"24032101500009", cardOf({{"name", "Genévrier"}})});
    const ProgramRun restore = cli(data.path(), {"restore", "--from", made, "--yes"});
    ASSERT_EQ(restore.status, 0) << restore.err;
    EXPECT_EQ(restore.out, made.string() + "\n");
    EXPECT_TRUE(dataSetPart(snapshot(data.path())) == snapshot(made));
}

TEST(CliBadInput, RefusesWithOneLineAndChangesNothing) {
    const TempDir data, target, empty, odd;
    makeThreeTrees(data.path());
    fs::create_directory(odd / "FICHES");
    ASSERT_EQ(::mkfifo((odd / "FICHES/99999999999999.SIG").c_str(), 0644), 0);
    const auto existing = target / treeArchiveName(kPine);
    writeBytes(existing, "an older archive");
    writeBytes(target / "broken.jpg", "not a picture");
    const std::string missing = (target / "missing").string();
    const struct {
        std::vector<std::string> args;
        int status;
        std::string says;
    } cases[] = {
        {{"show", "99999999999999"}, 1, "no tree 99999999999999"},
        {{"archive", "../Tavo", "--to", target.path()}, 1, "not a tree identifier"},
        {{"add-photo", "99999999999999", target / "broken.jpg"}, 1, "no tree"},
        {{"add-photo", kPine, target / "broken.jpg"}, 1, "broken.jpg"},
        {{"add-photo", kPine, missing + ".jpg"}, 1, "missing.jpg"},
        {{"add-photo", kPine, target / "broken.jpg", "--date", "31/02/2020"}, 1, "31/02/2020"},
        {{"add-photo", kPine, target / "broken.jpg", "--comment", std::string(101, 'c')},
         1,
         "at most 100"},
        {{"add-photo", kPine}, 2, "add-photo needs"},
        {{"--data-folder", missing, "list"}, 2, "is not a folder"},
        {{"--data-folder", empty.path(), "list"}, 2, "no FICHES"},
        {{"--data-folder", odd.path(), "show", "99999999999999"}, 1, "is not a regular file"},
        {{"backup", "--to", missing}, 1, "no such folder"},
        {{"backup"}, 2, "--to is needed"},
        {{"restore", "--from", empty.path()}, 2, "--yes"},
        {{"restore", "--from", empty.path(), "--yes"}, 1, "is not a backup"},
        {{"archive", kPine, "--to", target.path()}, 1, "already exists"},
        {{"due", "--within", "soon"}, 2, "--within takes a number"},
        {{"export", "--out", missing}, 2, "--format is needed"},
        {{"export", "--format", "pdf", "--out", missing}, 2, "not \"pdf\""},
        {{"export", "--format", "csv", "--out", target.path()}, 1, "is not empty"},
        {{"import", target / "broken.jpg", "--into", missing}, 1, "broken.jpg"},
        {{"prune"}, 2, "unknown command prune"},
        {{"list", "--colour"}, 2, "unknown option --colour"},
        {{}, 2, "no command"},
    };
    const auto before = snapshot(data.path());
    const auto targetBefore = snapshot(target.path());
    for (const auto& c : cases) {
        const ProgramRun r = cli(data.path(), c.args);
        const std::string what = c.args.empty() ? "" : c.args[0] + " " + c.args.back();
        EXPECT_EQ(r.status, c.status) << what << ": " << r.err;
        EXPECT_EQ(r.out, "") << what;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << what << ": " << r.err;
        EXPECT_TRUE(r.err.starts_with("tavo-cli: ")) << r.err;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << what << ": " << r.err;
    }
    EXPECT_TRUE(snapshot(data.path()) == before);
    EXPECT_TRUE(snapshot(target.path()) == targetBefore);
    EXPECT_TRUE(listFolder(empty.path()).empty());
}

TEST(CliCheck, ReportsRepairsAndWaitsForTheFolderLock) {
    const TempDir data, backups;
    const DataPaths paths = DataFolder(data.path())
                                .tree(kPine, {"01/03/2020"}, {"10/10/2020"})
                                .lists()
                                .cardCounter(2)
                                .paths();
    writeBytes(paths.dataTmp(), "left by a kill");

    struct Case {
        std::vector<std::string> args;
        int status;
        std::string inOut, inErr;
    };
    const std::string to = backups.path().string();
    const Case cases[] = {
        {{"check"}, 1, "DATA.TMP: temporary file", ""},
        {{"check", "--json"}, 1, "\"kind\": \"leftover-temp\"", ""},
        {{"check", "--repair"}, 2, "", "--backup-to"},
        {{"check", "--repair", "--backup-to", to}, 0, "repaired DATA.TMP", ""},
        {{"check"}, 0, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.size());
        const ProgramRun run = cli(data.path(), c.args);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_NE(run.out.find(c.inOut), std::string::npos) << run.out;
        EXPECT_NE(run.err.find(c.inErr), std::string::npos) << run.err;
    }

    // While another program holds the folder, nothing that writes runs.
    const auto held = FolderLock::take(DataPaths{data.path()});
    ASSERT_NE(held.lock, nullptr);
    const auto before = snapshot(data.path());
    const std::string backup = (backups / listFolder(backups.path()).at(0)).string();
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"restore", "--from", backup, "--yes"},
          std::vector<std::string>{"check", "--repair", "--backup-to", to}}) {
        const ProgramRun run = cli(data.path(), args);
        EXPECT_EQ(run.status, 1) << args[0];
        EXPECT_NE(run.err.find("in use by process " + std::to_string(::getpid())),
                  std::string::npos)
            << run.err;
    }
    EXPECT_EQ(snapshot(data.path()), before);
}

}  // namespace
}  // namespace tavo::test
