#include "safety/backup.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "common/errors.h"
#include "common/file_io.h"
#include "safety/file_copy.h"

namespace tavo {

std::string backupName(const LocalTime& t) {
    char text[64];
    std::snprintf(text, sizeof text, "Tavo-%d%02d%02d-%02d%02d%02d", t.year, t.month, t.day, t.hour,
                  t.minute, t.second);
    return text;
}

fs::path browserStartFolder(const fs::path& remembered) {
    std::error_code ec;
    if (remembered.empty() || !fs::is_directory(remembered, ec)) return {};
    return remembered;
}

std::string copyNoticeText(const fs::path& source, const fs::path& dest) {
    return "fichier source \"" + source.string() + " --- Fichier dest \"" + dest.string() + "\"";
}

BackupOutcome runBackup(const DataPaths& data, const fs::path& backupFolder,
                        const CopyNotice& notice) {
    // A backup inside the folders it copies would copy itself without end.
    for (const fs::path& folder : {data.fiches(), data.galeries(), data.imgref()}) {
        if (isSameOrInside(backupFolder, folder))
            throw RefusedError("Une sauvegarde ne peut pas être placée dans le répertoire " +
                               folder.string());
    }

    // The copies go into "<name>.partial", renamed to the real name only once every copy is
    // verified: a backup cut short (a crash, a full disk) never carries a backup's name.
    // An empty folder of that name is taken: the rename replaces it.
    std::error_code ec;
    if (entryExists(backupFolder) &&
        !(fs::is_directory(backupFolder, ec) && fs::is_empty(backupFolder, ec) && !ec))
        throw Error("Impossible de créer le répertoire " + backupFolder.string() +
                    " : il existe déjà");
    const fs::path partial = partialBackupFolder(backupFolder);
    if (!fs::is_directory(partial, ec)) {
        if (::mkdir(partial.c_str(), 0777) != 0)
            throw Error("Impossible de créer le répertoire " + backupFolder.string());
        io::syncFolder(partial.parent_path());
    }

    const DataPaths copy{partial}, backup{backupFolder};
    BackupOutcome outcome;
    for (const BackupEntry& entry : kBackupEntries) {
        const fs::path from = entry.in(data);
        const fs::path to = entry.in(copy);
        CopyResult result;
        if (entry.isFolder) {
            result = copyFolder(from, to);
        } else {
            if (notice) notice(from, entry.in(backup));
            result = copyFile(from, to);
        }
        if (!result) {
            outcome.message = entry.failureMessage;
            outcome.failure = result.error;
            return outcome;
        }
        ++outcome.entriesCopied;
    }
    io::syncFolder(partial);
    renameEntry(partial, backupFolder);
    return outcome;
}

fs::path partialBackupFolder(const fs::path& backupFolder) {
    fs::path p = backupFolder;
    if (!p.has_filename()) p = p.parent_path();  // a trailing separator
    return p.string() + kPartialSuffix;
}

}  // namespace tavo
