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

namespace tavo {
namespace {

struct RestoreEntry {
    EntryPath path;
    bool isFolder;

    fs::path in(const DataPaths& folder) const { return (folder.*path)(); }
};
// The order in which the entries are copied and swapped in.
constexpr RestoreEntry kRestoreEntries[] = {
    {&DataPaths::settings, false},  {&DataPaths::statesList, false}, {&DataPaths::typesList, false},
    {&DataPaths::namesList, false}, {&DataPaths::fiches, true},      {&DataPaths::galeries, true},
    {&DataPaths::imgref, true},
};

// An entry swapped in, and whether the data folder had one that went into RESTORE.OLD.
struct Swapped {
    const RestoreEntry* entry;
    bool hadCurrent;
};

Msg copyFailure(const RestoreEntry& e) {
    return e.isFolder ? Msg::RestoreCopyFolderFailed : Msg::RestoreCopyFileFailed;
}
Msg swapFailure(const RestoreEntry& e) {
    return e.isFolder ? Msg::RestoreDeleteFolderFailed : Msg::RestoreDeleteFileFailed;
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
void rollBack(const std::vector<Swapped>& swapped, const DataPaths& data, RestoreOutcome& outcome) {
    const DataPaths staging{data.restoreStaging()}, replaced{data.restoreReplaced()};
    try {
        for (auto it = swapped.rbegin(); it != swapped.rend(); ++it) {
            const fs::path current = it->entry->in(data);
            renameEntry(current, it->entry->in(staging));
            if (it->hadCurrent) renameEntry(it->entry->in(replaced), current);
        }
        // Only an empty folder is removed here: it held nothing but what was just put back.
        std::error_code ec;
        if (!fs::remove(replaced.root, ec) || ec)
            throw IoError("delete", replaced.root, ec.message());
        discardStaging(staging.root);
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

bool isValidBackup(const DataPaths& backup) {
    if (isPartialBackup(backup.root)) return false;
    std::error_code ec;
    for (const RestoreEntry& e : kRestoreEntries) {
        const bool there =
            e.isFolder ? fs::is_directory(e.in(backup), ec) : fs::is_regular_file(e.in(backup), ec);
        if (!there) return false;
    }
    return true;
}

std::vector<fs::path> brokenRecordFiles(const DataPaths& backup) {
    std::vector<fs::path> bad;
    const auto check = [&](const fs::path& file, std::uintmax_t recordSize) {
        std::error_code ec;
        const auto size = fs::file_size(file, ec);
        if (!ec && size % recordSize != 0) bad.push_back(file);
    };
    check(backup.typesList(), 51);
    check(backup.statesList(), 51);
    check(backup.namesList(), 704);
    const std::pair<fs::path, std::pair<const char*, std::uintmax_t>> perTree[] = {
        {backup.fiches(), {".SIG", 1234}},
        {backup.fiches(), {".TRX", 318}},
        {backup.galeries(), {".GAL", 135}}};
    for (const auto& [sub, kind] : perTree) {
        std::error_code ec;
        for (fs::directory_iterator it(sub, ec), end; !ec && it != end; it.increment(ec))
            if (it->path().extension() == kind.first) check(it->path(), kind.second);
    }
    std::sort(bad.begin(), bad.end());
    return bad;
}

bool recoverInterruptedRestore(const DataPaths& data) {
    const fs::path staging = data.restoreStaging();
    const fs::path replaced = data.restoreReplaced();
    const bool stagingThere = entryExists(staging);
    const bool replacedThere = entryExists(replaced);
    if (!stagingThere && !replacedThere) return false;

    if (stagingThere && entryExists(staging / kStagingReadyMarker)) {
        // The staged copy is complete: finish the swap.
        for (const RestoreEntry& e : kRestoreEntries) {
            const fs::path staged = e.in(DataPaths{staging});
            if (!entryExists(staged)) continue;
            const fs::path current = e.in(data);
            if (entryExists(current)) {
                const fs::path aside = e.in(DataPaths{replaced});
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
            const fs::path aside = e.in(DataPaths{replaced});
            const fs::path current = e.in(data);
            if (entryExists(aside) && !entryExists(current)) renameEntry(aside, current);
        }
        if (!isEmptyFolder(replaced))
            throw IoError("recover", replaced,
                          "holds entries that the data folder also has; left for inspection");
        removeTree(replaced);
    }
    return true;
}

RestoreOutcome restoreBackup(const DataPaths& source, const DataPaths& data) {
    for (const fs::path& folder : {data.fiches(), data.galeries(), data.imgref(),
                                   data.restoreStaging(), data.restoreReplaced()}) {
        if (isSameOrInside(source.root, folder))
            throw RefusedError("Une sauvegarde placée dans le répertoire " + folder.string() +
                               " ne peut pas être restaurée");
    }
    if (isPartialBackup(source.root)) throw RefusedError(kNotABackupText);
    if (const auto bad = brokenRecordFiles(source); !bad.empty()) {
        std::string list;
        for (const auto& p : bad) {
            list += '\n';
            list += p.string();
        }
        throw RefusedError(std::string(kNotABackupText) +
                           " : these files do not hold a whole number of records:" + list);
    }
    recoverInterruptedRestore(data);

    const fs::path staging = data.restoreStaging();
    const fs::path replaced = data.restoreReplaced();
    RestoreOutcome outcome;

    // 1. The whole backup into the staging folder; the data folder is not touched yet.
    try {
        makeFolder(staging);
    } catch (const Error& e) {
        return {copyFailure(kRestoreEntries[0]), e.what()};
    }
    for (const RestoreEntry& e : kRestoreEntries) {
        const fs::path from = e.in(source), to = e.in(DataPaths{staging});
        const CopyResult r = e.isFolder ? copyFolder(from, to) : copyFile(from, to);
        if (!r) {
            outcome = {copyFailure(e), r.error};
            discardStagingAfterFailure(staging, outcome);
            return outcome;
        }
    }
    // The marker completes the staged copy; the folder for the replaced entries opens the swap.
    Msg failureMessage = copyFailure(kRestoreEntries[0]);
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
        const fs::path current = e.in(data);
        const fs::path aside = e.in(DataPaths{replaced});
        const bool hadCurrent = entryExists(current);
        bool whole = true;  // every entry is in its place or in the staging folder
        try {
            if (hadCurrent) renameEntry(current, aside);
            try {
                renameEntry(e.in(DataPaths{staging}), current);
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
            if (whole) rollBack(swapped, data, outcome);
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

}  // namespace tavo
