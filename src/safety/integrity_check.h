#pragma once
// The checker of a data folder: walks every data file and reports, one item per problem, what a
// crash, a hostile hand or a file-sync engine left behind; and the repair of what is safe to
// mend, after a verified backup.
//
// Each problem has a kind (with a stable key for scripts and translations), the path it is about
// (relative to the data folder) and a plain English description. Nothing here shows anything.
#include <filesystem>
#include <string>
#include <vector>

#include "common/paths.h"
#include "safety/backup.h"

namespace tavo {
class FolderLock;
}

namespace tavo {

namespace fs = std::filesystem;

enum class ProblemKind {
    RecordSize,    // size not a whole number of records
    FieldLength,   // a length byte beyond its field
    BadDate,       // a text that is not a valid date where a date belongs
    WorksOrder,    // works lines not in date order
    MissingPhoto,  // a gallery record whose photo is missing
    OrphanPhoto,   // a photo in GALERIES or IMGREF that no record names
    HalfMadeTree,  // a card without works log, gallery or reference photo, or the reverse
    LeftoverTemp,  // a temporary file or folder of an interrupted command
    CardCounter,   // the card counter does not match the number of cards
    NotRegular,    // a link, FIFO, device or socket where files belong
    SyncConflict,  // a conflict copy made by a file-sync engine
    Unreadable,    // a data file that cannot be read at all
};

struct Problem {
    ProblemKind kind;
    fs::path path;       // relative to the data folder
    std::string detail;  // plain English, without the path
    std::string treeId;  // the tree concerned, for half-made trees
};

// Stable key of a kind ("record-size", "works-order", ...), for JSON and language files.
const char* problemKey(ProblemKind kind);
// True for the kinds the repair mends by itself; the others need a person.
bool isRepairable(ProblemKind kind);

// Walks the data folder `data` and returns its problems, in a stable order (by path, then kind).
// Reads only; never follows a link, never blocks on a FIFO. An empty list means the folder is
// whole.
std::vector<Problem> checkDataFolder(const DataPaths& data);

struct RepairOutcome {
    fs::path backupFolder;           // the verified backup made first; empty when none was needed
    std::vector<Problem> repaired;   // what was mended
    std::vector<Problem> remaining;  // the check after the repair: what needs a person
};

// Mends what is safe in the data folder `lock` holds: re-sorts works logs, removes temporary
// files (no other program runs: the lock says so), finishes or undoes an interrupted restore,
// moves orphan photos to LOST+FOUND, completes half-made trees with empty files (a blank card, a
// plain reference photo) so they can be opened or deleted, and sets the card counter. First, when
// anything is to be mended, a verified backup is made in `backupParent` under the name
// backupName(now). Error, with nothing changed, when that backup fails.
RepairOutcome repairDataFolder(const FolderLock& lock, const fs::path& backupParent,
                               const LocalTime& now);

// The report as text: one line per problem, "<path>: <description>", nothing when whole.
std::string reportText(const std::vector<Problem>& problems);
// The check as JSON: {"whole": bool, "problems": [{"kind", "path", "detail", "repairable"}]}.
std::string reportJson(const std::vector<Problem>& problems);
// The repair as text (one line per mended problem, "repaired <path>: ...", then the lines of
// what remains) and as JSON ({"backup", "repaired": [...], "remaining": [...], "whole"}).
std::string repairText(const RepairOutcome& outcome);
std::string repairJson(const RepairOutcome& outcome);

}  // namespace tavo
