#pragma once
// The tree archive: one tree's files packed into a ZIP file that the user places anywhere.
//
// The command's window part asks for confirmation (Msg::ConfirmArchive and ArchiveContents), runs
// the folder browser (Msg::ChooseArchiveFolder, opened on nothing), reads the gallery file's photo
// names, then calls makeTreeArchive under the busy cursor. No message is shown on success; an
// exception goes to the general error box.
#include <filesystem>
#include <string>
#include <vector>

#include "common/paths.h"

namespace tavo {

namespace fs = std::filesystem;

// "Tavo-" + tree identifier + ".zip".
std::string treeArchiveName(const std::string& treeId);

// One file to pack: where it is read from and the bare name it is stored under.
struct ArchiveEntry {
    fs::path source;
    std::string name;
};

// The entries of a tree's archive, in order: IMGREF/<id>.JPG, FICHES/<id>.SIG, FICHES/<id>.TRX,
// GALERIES/<id>.GAL, then GALERIES/<photo> for each name of `galleryPhotos` (gallery order).
// Files that do not exist are left out, so are photo names that are not bare file names (they
// could reach outside GALERIES) and a name already packed.
// Throws RefusedError when `treeId` is not a bare file name.
std::vector<ArchiveEntry> treeArchiveEntries(const DataPaths& data, const std::string& treeId,
                                             const std::vector<std::string>& galleryPhotos);

// Writes targetFolder/Tavo-<id>.zip afresh with the entries above, each compressed with Deflate
// at the normal level, and returns its path. The archive is written under a temporary name in
// the target folder, flushed and renamed at the end: an archive already there is replaced only
// by a complete new one, and a failed run leaves no partial archive behind. The data folder is
// only read and the current directory never changes.
// Throws IoError (a file that cannot be read, a target folder that cannot be written) or
// RefusedError (unsafe tree identifier).
fs::path makeTreeArchive(const DataPaths& data, const std::string& treeId,
                         const std::vector<std::string>& galleryPhotos,
                         const fs::path& targetFolder);

// The archive the menu command makes: the photo names are read from the tree's gallery file
// first, so a gallery that cannot be read (IoError) leaves no archive behind; then as above.
fs::path makeTreeArchive(const DataPaths& data, const std::string& treeId,
                         const fs::path& targetFolder);

}  // namespace tavo
