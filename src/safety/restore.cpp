#include "safety/restore.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>
#include <vector>

#include "common/errors.h"
#include "common/file_io.h"
#include "safety/backup.h"
#include "safety/file_copy.h"

namespace tavo::safety {
namespace {

struct RestoreEntry {
    const char* name;
    bool isFolder;
};
// The order in which the entries are copied and swapped in.
constexpr RestoreEntry kRestoreEntries[] = {
    {"Tavo.ini", false}, {"Etats.LIB", false}, {"Types.LIB", false}, {"NomsA.LIB", false},
    {"FICHES", true},    {"GALERIES", true},   {"IMGREF", true},
};

// An entry swapped in, and whether the data folder had one that went into RESTORE.OLD.
struct Swapped {
    const RestoreEntry* entry;
    bool hadCurrent;
};

int copyFailure(const RestoreEntry& e) {
    return e.isFolder ? kRestoreCopyFolderFailed : kRestoreCopyFileFailed;
}
int swapFailure(const RestoreEntry& e) {
    return e.isFolder ? kRestoreDeleteFolderFailed : kRestoreDeleteFileFailed;
}

void removeTree(const fs::path& p) {
    std::error_code ec;
    fs::remove_all(p, ec);
    if (ec) throw IoError("delete", p, ec.message());
    io::syncFolder(p.parent_path());
}

void makeFolder(const fs::path& p) {
    if (::mkdir(p.c_str(), 0777) != 0) throw IoError("create folder", p, std::strerror(errno));
    io::syncFolder(p.parent_path());
}

// Removes a staging folder. The marker goes first: a staging folder half removed must never
// look like a complete copy to the recovery.
void discardStaging(const fs::path& staging) {
    io::removeIfExists(staging / kStagingReadyMarker);
    io::syncFolder(staging);
    removeTree(staging);
}

// Removes the staging folder after a failure, keeping the first failure as the one reported.
void discardStagingAfterFailure(const fs::path& staging, RestoreOutcome& outcome) {
    try {
        discardStaging(staging);
    } catch (const Error& e) {
        outcome.failure += "\n";
        outcome.failure += e.what();
    }
}

bool isEmptyFolder(const fs::path& p) {
    std::error_code ec;
    return fs::is_empty(p, ec) && !ec;
}

// Puts back the entries already swapped in, last first, then clears the restore's folders. Should
// a step fail, the marker stays and nothing is deleted: the recovery then completes the restore.
void rollBack(const std::vector<Swapped>& swapped, const fs::path& dataFolder,
              RestoreOutcome& outcome) {
    const fs::path staging = dataFolder / kStagingFolder;
    const fs::path replaced = dataFolder / kReplacedFolder;
    try {
        for (auto it = swapped.rbegin(); it != swapped.rend(); ++it) {
            const fs::path current = dataFolder / it->entry->name;
            renameEntry(current, staging / it->entry->name);
            if (it->hadCurrent) renameEntry(replaced / it->entry->name, current);
        }
        // Only an empty folder is removed here: it held nothing but what was just put back.
        std::error_code ec;
        if (!fs::remove(replaced, ec) || ec) throw IoError("delete", replaced, ec.message());
        discardStaging(staging);
    } catch (const Error& again) {
        outcome.failure += "\n";
        outcome.failure += again.what();
    }
}

// A folder still carrying the partial suffix is a backup that never finished.
bool isPartialBackup(const fs::path& folder) {
    const fs::path name =
        folder.has_filename() ? folder.filename() : folder.parent_path().filename();
    const std::string n = name.string();
    const std::string suffix = kPartialSuffix;
    return n.size() >= suffix.size() &&
           n.compare(n.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

bool isValidBackup(const fs::path& folder) {
    if (isPartialBackup(folder)) return false;
    std::error_code ec;
    for (const char* sub : {"FICHES", "GALERIES", "IMGREF"})
        if (!fs::is_directory(folder / sub, ec)) return false;
    for (const char* file : {"Tavo.ini", "Types.LIB", "Etats.LIB", "NomsA.LIB"})
        if (!fs::is_regular_file(folder / file, ec)) return false;
    return true;
}

std::vector<fs::path> brokenRecordFiles(const fs::path& folder) {
    std::vector<fs::path> bad;
    const auto check = [&](const fs::path& file, std::uintmax_t recordSize) {
        std::error_code ec;
        const auto size = fs::file_size(file, ec);
        if (!ec && size % recordSize != 0) bad.push_back(file);
    };
    check(folder / "Types.LIB", 51);
    check(folder / "Etats.LIB", 51);
    check(folder / "NomsA.LIB", 704);
    const std::pair<const char*, std::pair<const char*, std::uintmax_t>> perTree[] = {
        {"FICHES", {".SIG", 1234}}, {"FICHES", {".TRX", 318}}, {"GALERIES", {".GAL", 135}}};
    for (const auto& [sub, kind] : perTree) {
        std::error_code ec;
        for (fs::directory_iterator it(folder / sub, ec), end; !ec && it != end; it.increment(ec))
            if (it->path().extension() == kind.first) check(it->path(), kind.second);
    }
    std::sort(bad.begin(), bad.end());
    return bad;
}

bool recoverInterruptedRestore(const fs::path& dataFolder) {
    const fs::path staging = dataFolder / kStagingFolder;
    const fs::path replaced = dataFolder / kReplacedFolder;
    const bool stagingThere = entryExists(staging);
    const bool replacedThere = entryExists(replaced);
    if (!stagingThere && !replacedThere) return false;

    if (stagingThere && entryExists(staging / kStagingReadyMarker)) {
        // The staged copy is complete: finish the swap.
        for (const RestoreEntry& e : kRestoreEntries) {
            const fs::path staged = staging / e.name;
            if (!entryExists(staged)) continue;
            const fs::path current = dataFolder / e.name;
            if (entryExists(current)) {
                const fs::path aside = replaced / e.name;
                if (entryExists(aside))
                    throw IoError("recover", current,
                                  "found in the data folder, in " + std::string(kStagingFolder) +
                                      " and in " + kReplacedFolder);
                if (!entryExists(replaced)) makeFolder(replaced);
                renameEntry(current, aside);
            }
            renameEntry(staged, current);
        }
        if (entryExists(replaced)) removeTree(replaced);
        discardStaging(staging);
        return true;
    }

    // The copy never finished, so the data folder was never touched: the staged part is a
    // partial copy of the backup and goes.
    if (stagingThere) discardStaging(staging);
    if (replacedThere) {
        std::error_code ec;
        for (const RestoreEntry& e : kRestoreEntries) {
            const fs::path aside = replaced / e.name;
            const fs::path current = dataFolder / e.name;
            if (entryExists(aside) && !entryExists(current)) renameEntry(aside, current);
        }
        if (!isEmptyFolder(replaced))
            throw IoError("recover", replaced,
                          "holds entries that the data folder also has; left for inspection");
        removeTree(replaced);
    }
    return true;
}

RestoreOutcome restoreBackup(const fs::path& source, const fs::path& dataFolder) {
    for (const char* folder : {"FICHES", "GALERIES", "IMGREF", kStagingFolder, kReplacedFolder}) {
        if (isSameOrInside(source, dataFolder / folder))
            throw RefusedError("Une sauvegarde placée dans le répertoire " +
                               (dataFolder / folder).string() + " ne peut pas être restaurée");
    }
    if (isPartialBackup(source)) throw RefusedError(kNotABackupText);
    if (const auto bad = brokenRecordFiles(source); !bad.empty()) {
        std::string list;
        for (const auto& p : bad) list += "\n" + p.string();
        throw RefusedError(std::string(kNotABackupText) +
                           " : these files do not hold a whole number of records:" + list);
    }
    recoverInterruptedRestore(dataFolder);

    const fs::path staging = dataFolder / kStagingFolder;
    const fs::path replaced = dataFolder / kReplacedFolder;
    RestoreOutcome outcome;

    // 1. The whole backup into the staging folder; the data folder is not touched yet.
    try {
        makeFolder(staging);
    } catch (const Error& e) {
        return {copyFailure(kRestoreEntries[0]), e.what()};
    }
    for (const RestoreEntry& e : kRestoreEntries) {
        const CopyResult r = e.isFolder ? copyFolder(source / e.name, staging / e.name)
                                        : copyFile(source / e.name, staging / e.name);
        if (!r) {
            outcome = {copyFailure(e), r.error};
            discardStagingAfterFailure(staging, outcome);
            return outcome;
        }
    }
    // The marker completes the staged copy; the folder for the replaced entries opens the swap.
    int failureMessage = copyFailure(kRestoreEntries[0]);
    try {
        io::syncFolder(staging);
        io::writeFile(staging / kStagingReadyMarker, "", 0);
        io::syncFolder(staging);
        failureMessage = swapFailure(kRestoreEntries[0]);
        makeFolder(replaced);
    } catch (const Error& e) {
        outcome = {failureMessage, e.what()};
        discardStagingAfterFailure(staging, outcome);
        return outcome;
    }

    // 2. Swap the entries in, one by one.
    std::vector<Swapped> swapped;
    for (const RestoreEntry& e : kRestoreEntries) {
        const fs::path current = dataFolder / e.name;
        const fs::path aside = replaced / e.name;
        const bool hadCurrent = entryExists(current);
        bool whole = true;  // every entry is in its place or in the staging folder
        try {
            if (hadCurrent) renameEntry(current, aside);
            try {
                renameEntry(staging / e.name, current);
            } catch (const Error&) {
                if (hadCurrent) {
                    whole = false;
                    renameEntry(aside, current);
                    whole = true;
                }
                throw;
            }
            swapped.push_back({&e, hadCurrent});
        } catch (const Error& err) {
            outcome = {swapFailure(e), err.what()};
            if (whole) rollBack(swapped, dataFolder, outcome);
            return outcome;
        }
    }

    // 3. The replaced entries go; the marker stays until then so that a crash here still ends
    //    in the restored state.
    try {
        removeTree(replaced);
        discardStaging(staging);
    } catch (const Error& e) {
        outcome.failure = e.what();  // restored; the recovery clears the rest later
    }
    return outcome;
}

}  // namespace tavo::safety
