#include "safety/integrity_check.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <span>
#include <system_error>

#include "cards/card_file.h"
#include "common/clock.h"
#include "common/dates.h"
#include "common/errors.h"
#include "common/file_io.h"
#include "common/folder_lock.h"
#include "common/json_writer.h"
#include "common/paths.h"
#include "common/record_file.h"
#include "imaging/imaging.h"
#include "photos/gallery_file.h"
#include "safety/file_copy.h"
#include "safety/restore.h"
#include "startup/settings.h"
#include "works/works_file.h"

namespace tavo {
namespace {

// One text field of a record: where its length byte sits and how many characters it holds.
struct Field {
    std::size_t offset;
    std::size_t capacity;
    enum { Text, Date, DateOrEmpty } kind = Text;
};

// The layout of one kind of record file.
struct Layout {
    std::size_t recordSize;
    std::vector<Field> fields;
};

const Layout kCard{1234,
                   {{0, 10, Field::Date},
                    {11, 100},
                    {112, 100},
                    {213, 100},
                    {314, 100},
                    {415, 100},
                    {516, 100},
                    {617, 10, Field::DateOrEmpty},
                    {628, 3},
                    {632, 1},
                    {634, 40},
                    {675, 15},
                    {691, 250},
                    {942, 250},
                    {1193, 40}}};
const Layout kWorks{318, {{0, 10, Field::Date}, {11, 50}, {62, 255}}};
const Layout kGallery{135, {{0, 22}, {23, 10, Field::Date}, {34, 100}}};
const Layout kLabel{51, {{0, 50}}};
const Layout kBotanical{704, {{0, 150}, {151, 150}, {302, 150}}};

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

bool hasExtension(const fs::path& p, const char* ext) {
    return lower(p.extension().string()) == ext;
}

bool isJpegName(const fs::path& p) {
    return hasExtension(p, ".jpg") || hasExtension(p, ".jpeg");
}

bool isTreeId(const std::string& s) {
    return s.size() == 14 &&
           std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
}

std::string typeName(fs::file_type t) {
    switch (t) {
        case fs::file_type::symlink:
            return "a link";
        case fs::file_type::fifo:
            return "a FIFO";
        case fs::file_type::character:
        case fs::file_type::block:
            return "a device";
        case fs::file_type::socket:
            return "a socket";
        default:
            return "not a regular file";
    }
}

// The walk of one check: collects problems and what the cross-checks need.
class Checker {
  public:
    explicit Checker(const DataPaths& data) : paths_(data) {}

    std::vector<Problem> run() {
        walkFolder(paths_.root, true);
        for (const fs::path& sub : {paths_.fiches(), paths_.galeries(), paths_.imgref()})
            if (isRealFolder(sub)) walkFolder(sub, false);
        checkRecordFile(paths_.typesList(), kLabel);
        checkRecordFile(paths_.statesList(), kLabel);
        checkRecordFile(paths_.namesList(), kBotanical);
        checkTrees();
        checkPhotos();
        checkCounter();
        std::sort(problems_.begin(), problems_.end(), [](const Problem& a, const Problem& b) {
            return a.path != b.path ? a.path < b.path : a.kind < b.kind;
        });
        return std::move(problems_);
    }

  private:
    void add(ProblemKind kind, const fs::path& abs, std::string detail, std::string id = {}) {
        problems_.push_back(
            {kind, abs.lexically_relative(paths_.root), std::move(detail), std::move(id)});
    }

    static bool isRealFolder(const fs::path& p) {
        std::error_code ec;
        return fs::symlink_status(p, ec).type() == fs::file_type::directory;
    }

    // Every entry of one folder: links and other odd files, conflict copies, leftovers, and the
    // tree files it holds.
    void walkFolder(const fs::path& folder, bool top) {
        std::error_code ec;
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
            const fs::path p = it->path();
            const std::string name = p.filename().string();
            if (top && name == DataPaths::kLostAndFoundName) continue;
            const fs::file_type type = it->symlink_status(ec).type();
            if (ec) break;
            // The lock is no data, but a lock that is no plain file stops every writer.
            if (top && name == DataPaths::kLockFileName && type == fs::file_type::regular) continue;
            if (lower(name).find("conflict") != std::string::npos)
                add(ProblemKind::SyncConflict, p,
                    "looks like a copy made by a file-sync engine in a conflict; compare it with "
                    "the file it doubles and keep one");
            if (top && (name == DataPaths::kRestoreStagingName ||
                        name == DataPaths::kRestoreReplacedName)) {
                add(ProblemKind::LeftoverTemp, p, "left by a restore that was interrupted");
                continue;
            }
            if (type == fs::file_type::directory) continue;
            if (type != fs::file_type::regular) {
                add(ProblemKind::NotRegular, p,
                    "is " + typeName(type) + " where only plain files belong; it is not read");
                continue;
            }
            if (hasExtension(p, ".tmp")) {
                add(ProblemKind::LeftoverTemp, p, "temporary file left by an interrupted command");
                continue;
            }
            if (top) continue;
            const std::string stem = p.stem().string();
            const bool inFiches = folder == paths_.fiches();
            const bool inGaleries = folder == paths_.galeries();
            const bool inImgref = folder == paths_.imgref();
            // Only a tree identifier makes a tree: a record file under any other name ("..SIG",
            // a name with a line break) is checked but never completed, or every repair would
            // complete it again.
            const bool tree = isTreeId(stem);
            if (inFiches && p == paths_.card(stem)) {
                if (tree) cards_.insert(stem);
                checkRecordFile(p, kCard);
            } else if (inFiches && p == paths_.works(stem)) {
                if (tree) works_.insert(stem);
                checkRecordFile(p, kWorks);
            } else if (inGaleries && p == paths_.gallery(stem)) {
                if (tree) galleries_.insert(stem);
                checkRecordFile(p, kGallery);
            } else if (inGaleries && isJpegName(p)) {
                galleryPhotos_.insert(name);
            } else if (inImgref && p == paths_.referencePhoto(stem) && tree) {
                references_.insert(stem);
            } else if (inImgref && isJpegName(p)) {
                add(ProblemKind::OrphanPhoto, p,
                    "photo that names no tree (a reference photo is <identifier>.JPG)");
            }
        }
        if (ec) add(ProblemKind::Unreadable, folder, "cannot be listed: " + ec.message());
    }

    // Size, length bytes and dates of one record file; for works logs the order, for galleries
    // the photos they name.
    void checkRecordFile(const fs::path& p, const Layout& layout) {
        std::error_code ec;
        if (fs::symlink_status(p, ec).type() != fs::file_type::regular) return;  // reported
        Bytes bytes;
        try {
            bytes = io::readFile(p);
        } catch (const Error& e) {
            if (&layout == &kGallery) unreadableGalleries_.insert(p.stem().string());
            add(ProblemKind::Unreadable, p, std::string("cannot be read: ") + e.what());
            return;
        }
        // A card holds one record at least: an empty card is as damaged as a cut one.
        if (&layout == &kCard && bytes.size() < layout.recordSize)
            add(ProblemKind::RecordSize, p,
                "holds " + std::to_string(bytes.size()) + " bytes; a card is " +
                    std::to_string(layout.recordSize) + " bytes");
        else if (bytes.size() % layout.recordSize != 0)
            add(ProblemKind::RecordSize, p,
                "holds " + std::to_string(bytes.size()) + " bytes, not a whole number of " +
                    std::to_string(layout.recordSize) + "-byte records (a damaged tail of " +
                    std::to_string(bytes.size() % layout.recordSize) + " bytes)");
        const std::size_t n = bytes.size() / layout.recordSize;
        std::string firstLength, firstDate, previousKey, order;
        std::size_t badLengths = 0, badDates = 0;
        for (std::size_t r = 0; r < n; ++r) {
            const auto rec = std::span(bytes).subspan(r * layout.recordSize, layout.recordSize);
            for (const Field& f : layout.fields) {
                const std::size_t length = rec[f.offset];
                if (length > f.capacity) {
                    if (badLengths++ == 0)
                        firstLength = "record " + std::to_string(r + 1) + " says " +
                                      std::to_string(length) + " characters in a field of " +
                                      std::to_string(f.capacity);
                    continue;
                }
                const std::string text(reinterpret_cast<const char*>(&rec[f.offset + 1]), length);
                if (f.kind == Field::Text || (f.kind == Field::DateOrEmpty && text.empty()))
                    continue;
                if (!isValidDate(text) && badDates++ == 0)
                    firstDate = "record " + std::to_string(r + 1) + " holds \"" + text +
                                "\" where a date belongs";
            }
            if (&layout == &kWorks && rec[0] <= 10 && order.empty()) {
                const std::string key =
                    storedDateKey(std::string_view(reinterpret_cast<const char*>(&rec[1]), rec[0]));
                if (r > 0 && key < previousKey)
                    order = "line " + std::to_string(r + 1) + " is dated before the line above it";
                previousKey = key;
            }
            if (&layout == &kGallery && rec[0] <= 22) {
                const std::string name(reinterpret_cast<const char*>(&rec[1]), rec[0]);
                namedPhotos_.insert(name);
                std::error_code e2;
                if (!isBareFileName(name))
                    add(ProblemKind::MissingPhoto, p,
                        "record " + std::to_string(r + 1) + " names \"" + name +
                            "\", which is not a plain file name");
                else if (fs::symlink_status(paths_.galeries() / name, e2).type() ==
                         fs::file_type::not_found)
                    add(ProblemKind::MissingPhoto, paths_.galeries() / name,
                        "photo named by record " + std::to_string(r + 1) + " of " +
                            p.filename().string() + " is missing");
            }
        }
        const auto more = [](std::size_t count) {
            return count > 1 ? " (and " + std::to_string(count - 1) + " more)" : std::string();
        };
        if (badLengths > 0) add(ProblemKind::FieldLength, p, firstLength + more(badLengths));
        if (badDates > 0) add(ProblemKind::BadDate, p, firstDate + more(badDates));
        if (!order.empty())
            add(ProblemKind::WorksOrder, p, "works lines out of date order: " + order);
    }

    // The four files of each tree go together.
    void checkTrees() {
        std::set<std::string> ids = cards_;
        ids.insert(works_.begin(), works_.end());
        ids.insert(galleries_.begin(), galleries_.end());
        ids.insert(references_.begin(), references_.end());
        std::error_code ec;
        const auto present = [&](const fs::path& p) {
            return fs::symlink_status(p, ec).type() != fs::file_type::not_found;
        };
        for (const std::string& id : ids) {
            std::vector<std::string> missing;
            if (!present(paths_.card(id))) missing.push_back("card");
            if (!present(paths_.works(id))) missing.push_back("works log");
            if (!present(paths_.gallery(id))) missing.push_back("gallery");
            if (!present(paths_.referencePhoto(id))) missing.push_back("reference photo");
            if (missing.empty()) continue;
            if (missing.size() == 3 && present(paths_.referencePhoto(id))) {
                add(ProblemKind::OrphanPhoto, paths_.referencePhoto(id),
                    "reference photo of a tree that has no card");
                continue;
            }
            std::string list;
            for (const auto& m : missing) list += (list.empty() ? "" : ", ") + m;
            const fs::path at = present(paths_.card(id))    ? paths_.card(id)
                                : present(paths_.works(id)) ? paths_.works(id)
                                                            : paths_.gallery(id);
            add(ProblemKind::HalfMadeTree, at, "tree " + id + " lacks its " + list, id);
        }
    }

    // Photos of GALERIES that no gallery record names.
    void checkPhotos() {
        for (const std::string& name : galleryPhotos_) {
            if (namedPhotos_.count(name)) continue;
            // A gallery we could not read may well name it.
            const bool maybeNamed =
                std::any_of(unreadableGalleries_.begin(), unreadableGalleries_.end(),
                            [&](const std::string& id) { return name.rfind(id, 0) == 0; });
            if (!maybeNamed)
                add(ProblemKind::OrphanPhoto, paths_.galeries() / name,
                    "gallery photo that no gallery record names");
        }
    }

    void checkCounter() {
        std::error_code ec;
        if (fs::symlink_status(paths_.settings(), ec).type() != fs::file_type::regular) return;
        try {
            io::readFile(paths_.settings());
        } catch (const Error& e) {
            add(ProblemKind::Unreadable, paths_.settings(),
                std::string("cannot be read: ") + e.what());
            return;
        }
        const long counter = settings::cardCounter(paths_);
        const long expected = static_cast<long>(cards_.size()) + 1;
        if (counter != expected)
            add(ProblemKind::CardCounter, paths_.settings(),
                "the card counter (Fichiers/Fiche) is " + std::to_string(counter) + " but " +
                    std::to_string(cards_.size()) + " cards exist; it should be " +
                    std::to_string(expected));
    }

    DataPaths paths_;
    std::vector<Problem> problems_;
    std::set<std::string> cards_, works_, galleries_, references_;
    std::set<std::string> galleryPhotos_, namedPhotos_, unreadableGalleries_;
};

// A free name in `folder` for `name`: the name itself, or "<stem>-<n><ext>".
fs::path freeName(const fs::path& folder, const fs::path& name) {
    fs::path p = folder / name;
    for (int n = 1; entryExists(p); ++n)
        p = folder / (name.stem().string() + "-" + std::to_string(n) + name.extension().string());
    return p;
}

void makeFolders(const fs::path& p) {
    std::error_code ec;
    fs::create_directories(p, ec);
    if (ec) throw IoError("create folder", p, ec.message());
}

// Mends one problem; false when it turned out not to be safe after all.
bool mend(const Problem& problem, const DataPaths& paths) {
    const fs::path abs = paths.root / problem.path;
    std::error_code ec;
    switch (problem.kind) {
        case ProblemKind::LeftoverTemp:
            if (problem.path == DataPaths::kRestoreStagingName ||
                problem.path == DataPaths::kRestoreReplacedName) {
                recoverInterruptedRestore(paths);
                return true;
            }
            io::removeIfExists(abs);
            io::syncFolder(abs.parent_path());
            return true;
        case ProblemKind::WorksOrder: {
            // A damaged tail would be lost by the rewrite: that file waits for a person.
            if (fs::file_size(abs, ec) % WorksLine::kSize != 0 || ec) return false;
            WorksFile(paths, problem.path.stem().string()).resortByDate();
            return true;
        }
        case ProblemKind::OrphanPhoto: {
            const fs::path folder = paths.lostAndFound() / problem.path.parent_path();
            makeFolders(folder);
            renameEntry(abs, freeName(folder, problem.path.filename()));
            return true;
        }
        case ProblemKind::HalfMadeTree: {
            const std::string& id = problem.treeId;
            const auto missing = [&](const fs::path& p) {
                return fs::symlink_status(p, ec).type() == fs::file_type::not_found;
            };
            if (missing(paths.card(id))) {
                TreeCard blank;
                blank.creationDate = formatDate(localToday());
                blank.treeName = id;
                blank.ageEstimated = "N";
                createCard(paths, id, blank);
            }
            if (missing(paths.works(id)))
                RecordFile(paths.works(id), 318, RecordFile::Mode::Create).close();
            if (missing(paths.gallery(id)))
                RecordFile(paths.gallery(id), 135, RecordFile::Mode::Create).close();
            if (missing(paths.referencePhoto(id))) {
                const Bytes plain =
                    encodeJpeg(Image(kReferencePhotoSide, kReferencePhotoSide, Rgb{192, 192, 192}));
                io::writeFile(paths.referencePhoto(id), plain);
            }
            return true;
        }
        case ProblemKind::CardCounter:
            return true;  // set once every tree is complete
        default:
            return false;
    }
}

void writeProblems(JsonWriter& w, const std::vector<Problem>& problems) {
    w.beginArray();
    for (const Problem& p : problems) {
        w.beginObject()
            .member("kind", problemKey(p.kind))
            .member("path", p.path.string())
            .member("detail", p.detail)
            .member("repairable", isRepairable(p.kind))
            .endObject();
    }
    w.endArray();
}

}  // namespace

const char* problemKey(ProblemKind kind) {
    switch (kind) {
        case ProblemKind::RecordSize:
            return "record-size";
        case ProblemKind::FieldLength:
            return "field-length";
        case ProblemKind::BadDate:
            return "bad-date";
        case ProblemKind::WorksOrder:
            return "works-order";
        case ProblemKind::MissingPhoto:
            return "missing-photo";
        case ProblemKind::OrphanPhoto:
            return "orphan-photo";
        case ProblemKind::HalfMadeTree:
            return "half-made-tree";
        case ProblemKind::LeftoverTemp:
            return "leftover-temp";
        case ProblemKind::CardCounter:
            return "card-counter";
        case ProblemKind::NotRegular:
            return "not-regular";
        case ProblemKind::SyncConflict:
            return "sync-conflict";
        case ProblemKind::Unreadable:
            return "unreadable";
    }
    return "?";
}

bool isRepairable(ProblemKind kind) {
    switch (kind) {
        case ProblemKind::WorksOrder:
        case ProblemKind::OrphanPhoto:
        case ProblemKind::HalfMadeTree:
        case ProblemKind::LeftoverTemp:
        case ProblemKind::CardCounter:
            return true;
        default:
            return false;
    }
}

std::vector<Problem> checkDataFolder(const DataPaths& data) {
    return Checker(data).run();
}

RepairOutcome repairDataFolder(const FolderLock& lock, const fs::path& backupParent,
                               const LocalTime& now) {
    const DataPaths& data = lock.data();
    RepairOutcome outcome;
    std::vector<Problem> problems = checkDataFolder(data);
    if (std::none_of(problems.begin(), problems.end(),
                     [](const Problem& p) { return isRepairable(p.kind); })) {
        outcome.remaining = std::move(problems);
        return outcome;
    }

    outcome.backupFolder = backupParent / backupName(now);
    const BackupOutcome backup = runBackup(data, outcome.backupFolder, {});
    if (!backup.succeeded())
        throw Error("Nothing was repaired: the backup into " + outcome.backupFolder.string() +
                    " failed: " + backup.failure);

    // Leftovers first: finishing an interrupted restore changes what the rest finds.
    for (int pass = 0; pass < 2; ++pass) {
        for (const Problem& p : problems) {
            const bool leftover = p.kind == ProblemKind::LeftoverTemp;
            if (isRepairable(p.kind) && leftover == (pass == 0) && mend(p, data))
                outcome.repaired.push_back(p);
        }
        if (pass == 0) {
            problems = checkDataFolder(data);
            // Trees are completed before photos are judged orphans of a tree without a card.
            std::stable_partition(problems.begin(), problems.end(), [](const Problem& p) {
                return p.kind == ProblemKind::HalfMadeTree;
            });
        }
    }
    // The counter from the cards as they are now, when the settings file can take it.
    const bool counterWrong = std::any_of(problems.begin(), problems.end(), [](const Problem& p) {
        return p.kind == ProblemKind::CardCounter || p.kind == ProblemKind::HalfMadeTree;
    });
    long cards = 0;
    std::error_code ec;
    for (fs::directory_iterator it(data.fiches(), ec), end; !ec && it != end; it.increment(ec))
        // Counted as the check counts them: plain card files named by a tree identifier.
        if (it->path().extension() == ".SIG" && isTreeId(it->path().stem().string()) &&
            it->symlink_status(ec).type() == fs::file_type::regular)
            ++cards;
    if (counterWrong && settings::cardCounter(data) != cards + 1)
        settings::setCardCounter(data, cards + 1);

    outcome.remaining = checkDataFolder(data);
    return outcome;
}

std::string reportText(const std::vector<Problem>& problems) {
    std::string out;
    for (const Problem& p : problems) out += p.path.string() + ": " + p.detail + "\n";
    return out;
}

std::string reportJson(const std::vector<Problem>& problems) {
    JsonWriter w(2);
    w.beginObject().member("whole", problems.empty()).key("problems");
    writeProblems(w, problems);
    w.endObject();
    return w.str() + "\n";
}

std::string repairText(const RepairOutcome& outcome) {
    std::string out;
    if (!outcome.backupFolder.empty())
        out += "backup made in " + outcome.backupFolder.string() + "\n";
    for (const Problem& p : outcome.repaired)
        out += "repaired " + p.path.string() + ": " + p.detail + "\n";
    for (const Problem& p : outcome.remaining)
        out += "needs a person: " + p.path.string() + ": " + p.detail + "\n";
    return out;
}

std::string repairJson(const RepairOutcome& outcome) {
    JsonWriter w(2);
    w.beginObject().member("backup", outcome.backupFolder.string()).key("repaired");
    writeProblems(w, outcome.repaired);
    w.key("remaining");
    writeProblems(w, outcome.remaining);
    w.member("whole", outcome.remaining.empty()).endObject();
    return w.str() + "\n";
}

}  // namespace tavo
