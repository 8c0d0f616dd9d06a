#pragma once
// Deleting a tree for good: its card, works file, reference photo, every gallery photo named in
// its gallery file, the gallery file itself, and one less on the card counter of Tavo.ini.
#include <filesystem>
#include <string>
#include <vector>

#include "common/paths.h"

namespace tavo {

struct TreeDeletionResult {
    // Fichiers/Fiche after the decrease; below 1 the main window disables "Ouvrir".
    long cardCounter = 0;
    // Gallery photos actually deleted (those already missing are not listed).
    std::vector<std::filesystem::path> deletedPhotos;
    // Names found in the gallery records that were not used to delete anything: not a bare file
    // name, or not a photo of this tree.
    std::vector<std::string> skippedPhotoNames;
    // Why the lowered counter could not be written once the files were deleted; empty when it
    // was. cardCounter is then the counter as it stays.
    std::string counterFailure;
};

// Deletes tree `treeId` of the data folder `paths`.
//
// The gallery file is read before anything is deleted: when it is unreadable the IoError is
// thrown and every file of the tree, and the counter, stay as they were; a missing gallery file
// counts as an empty gallery. Then the
// card, the works file, the reference photo, the gallery file and the gallery photos are deleted
// in that order (so a deletion cut short never leaves records naming deleted photos); a file
// already missing is skipped. Any other failure to delete throws IoError and leaves the counter
// unchanged; photos left behind then are orphans that the data-folder checker moves aside. The
// counter is written last; a failure of that write does not throw (the tree is deleted) but is
// returned in counterFailure. RefusedError, with nothing deleted, when `treeId` cannot name a file.
TreeDeletionResult deleteTree(const DataPaths& paths, const std::string& treeId);

}  // namespace tavo
