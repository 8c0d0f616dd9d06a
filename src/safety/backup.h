#pragma once
// Backup of the data set into a dated folder.
//
// The data set is the three data folders FICHES, GALERIES and IMGREF, the settings file and the
// three list files. A backup folder is named "Tavo-" + yyyymmdd + "-" + hhmmss, the time being
// taken when the user chooses the parent folder (not when the copy runs).
//
// The window drives it like this:
//   1. "Parcourir...": folder browser opened on browserStartFolder(remembered parent); on a
//      choice, name := backupName(clock()).
//   2. "Sauvegarder": outcome := runBackup(data folder, parent / name, notice), where `notice`
//      shows copyNoticeText(source, dest) and returns once the user pressed OK; then the window
//      shows outcome.failure (if any) in the error box, then message outcome.message, and closes.
//   runBackup throws (general error box, window stays open) when the backup folder cannot be made
//   or lies inside the data folders.
#include <filesystem>
#include <string>

#include "common/clock.h"
#include "common/paths.h"
#include "translation/messages.h"

namespace tavo {

namespace fs = std::filesystem;

// "Tavo-" + year + month + day + "-" + hour + minute + second, every part but the year on two
// digits: 5 March 2009 14:03:09 gives "Tavo-20090305-140309".
std::string backupName(const LocalTime& t);

// The folder the browser opens on: the remembered one when it still is an existing folder,
// otherwise nothing (empty path).
fs::path browserStartFolder(const fs::path& remembered);

// Where an entry of the data set lies in a folder laid out like the data folder (a backup too).
using EntryPath = fs::path (DataPaths::*)() const;

// One entry of the data set, in backup order, with the message shown when its copy fails.
struct BackupEntry {
    EntryPath path;
    bool isFolder;
    Msg failureMessage;

    // The entry in `folder`; in DataPaths{} it is the bare name.
    fs::path in(const DataPaths& folder) const { return (folder.*path)(); }
};
inline constexpr BackupEntry kBackupEntries[] = {
    {&DataPaths::fiches, true, Msg::BackupFichesFailed},
    {&DataPaths::galeries, true, Msg::BackupGaleriesFailed},
    {&DataPaths::imgref, true, Msg::BackupImgrefFailed},
    {&DataPaths::settings, false, Msg::BackupSettingsFailed},
    {&DataPaths::statesList, false, Msg::BackupStatesListFailed},
    {&DataPaths::typesList, false, Msg::BackupTypesListFailed},
    {&DataPaths::namesList, false, Msg::BackupNamesListFailed},
};

struct BackupOutcome {
    Msg message = Msg::BackupDone;  // or the failure message of the entry that failed
    std::string failure;            // why that entry failed; empty on success
    int entriesCopied = 0;          // entries copied and verified, in backup order
    bool succeeded() const { return message == Msg::BackupDone; }
};

// Suffix of the folder a backup is built in until every copy is verified; the restore refuses
// such a folder.
inline constexpr const char* kPartialSuffix = ".partial";
fs::path partialBackupFolder(const fs::path& backupFolder);

// Called before each single-file copy with its source and destination paths; returns when the
// copy may go on.
using CopyNotice = std::function<void(const fs::path& source, const fs::path& dest)>;

// The text of the notice shown before a single-file copy.
std::string copyNoticeText(const fs::path& source, const fs::path& dest);

// Copies the data set of the data folder `data` into partialBackupFolder(backupFolder) (created,
// one level, when missing; reused when an earlier attempt left it) in backup order, stopping at the
// first entry that fails: a missing entry, a failed write, or a copy that does not read back equal
// to its source. Entries copied before a failure stay in the partial folder. Once all seven are
// copied and verified the partial folder is renamed to `backupFolder`. Never changes the data
// folder. The notices name the files at their final place.
// Throws RefusedError, before anything is made, when `backupFolder` is or lies inside FICHES,
// GALERIES or IMGREF of the data folder; throws Error "Impossible de créer le répertoire <folder>"
// when the folder cannot be created or already exists with content (an empty one is taken);
// IoError when the final rename fails.
BackupOutcome runBackup(const DataPaths& data, const fs::path& backupFolder,
                        const CopyNotice& notice);

}  // namespace tavo
