#pragma once
// Restore of the data set from a backup folder.
//
// The window drives it like this:
//   1. "Parcourir...": folder browser; when isValidBackup(choice) the choice becomes the restore
//      source, otherwise the window shows kNotABackupText and keeps its state.
//   2. "Restaurer": outcome := restoreBackup(source, data folder); the window shows
//      outcome.failure (if any) in the error box, then message outcome.message, and closes.
//
// How the data set is replaced, so that no failure and no crash loses data:
//   a. Recover what an earlier, interrupted restore left (see recoverInterruptedRestore).
//   b. Copy the seven entries of the backup into the staging folder RESTORE.TMP of the data
//      folder; every copy is flushed and read back. On a failure the staging folder is removed and
//      the data folder is exactly as before (Msg::RestoreCopyFileFailed or
//      RestoreCopyFolderFailed).
//   c. Write the marker RESTORE.TMP/READY: from now on the staged copy is complete.
//   d. For each entry in turn: rename the current entry (when there is one) into RESTORE.OLD,
//      then rename the staged entry into the data folder. A failed rename puts back the entries
//      already swapped (Msg::RestoreDeleteFileFailed or RestoreDeleteFolderFailed).
//   e. Delete RESTORE.OLD, then RESTORE.TMP with its marker.
// Every step is a rename inside the data folder's file system or a removal of a copy, and every
// folder touched is flushed after the step, so at any instant each entry exists whole in the data
// folder, in RESTORE.OLD or in RESTORE.TMP.
#include <filesystem>
#include <string>
#include <vector>

#include "common/paths.h"
#include "translation/messages.h"

namespace tavo {

namespace fs = std::filesystem;

// Shown, untranslated, when a chosen folder is not a backup.
inline constexpr const char* kNotABackupText =
    "Ce répertoire ne contient pas une sauvegarde valide";

// Names of the staging folder, of the folder that holds the replaced entries during the swap,
// and of the marker of a complete staged copy.
inline constexpr const char* kStagingFolder = DataPaths::kRestoreStagingName;
inline constexpr const char* kReplacedFolder = DataPaths::kRestoreReplacedName;
inline constexpr const char* kStagingReadyMarker = "READY";

// True when the folder `backup` holds the folders FICHES, GALERIES and IMGREF and the files
// Tavo.ini, Types.LIB, Etats.LIB and NomsA.LIB, and its name does not end in ".partial" (a backup
// that never finished). Nothing else is looked at.
bool isValidBackup(const DataPaths& backup);

// The record files of a backup (list files, cards, works logs, galleries) whose size is not a
// whole number of records, sorted; empty when all are whole.
std::vector<fs::path> brokenRecordFiles(const DataPaths& backup);

struct RestoreOutcome {
    Msg message = Msg::RestoreDone;  // or one of the four failure messages
    // Why it failed. On success, empty, or a note that the replaced entries could not all be
    // removed yet (the recovery removes them later).
    std::string failure;
    bool succeeded() const { return message == Msg::RestoreDone; }
};

// Replaces the seven entries of the data set in the data folder `data` with those of the backup
// `source`.
// On any failure reported in the outcome, the data folder is as it was before the call. Other
// files of the data folder are left alone. Throws RefusedError, with nothing changed, when
// `source` lies inside the data folders or the restore's own folders (the swap would move or
// delete the backup being read), is not a valid backup (a ".partial" folder) or holds a record
// file that is not a whole number of records; IoError when the leftovers of an interrupted
// restore cannot be cleared.
RestoreOutcome restoreBackup(const DataPaths& source, const DataPaths& data);

// Brings the data folder back to a whole state after a restore was interrupted (the program was
// killed, the machine stopped). Call at start-up; restoreBackup calls it first too.
//  - Marker present: the staged copy was complete, so the restore is carried to its end: entries
//    still in RESTORE.TMP are swapped in, then RESTORE.OLD and RESTORE.TMP are removed.
//  - No marker: the copy was not finished and the data folder was not touched: RESTORE.TMP is
//    removed. An entry found in RESTORE.OLD (never left there by this program) is moved back when
//    the data folder lacks it; RESTORE.OLD is removed only once it is empty.
// Returns true when there was something to recover. Throws IoError when a step fails; what is
// left is then still recoverable by a later call.
bool recoverInterruptedRestore(const DataPaths& data);

}  // namespace tavo
