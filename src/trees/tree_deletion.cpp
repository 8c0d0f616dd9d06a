#include "trees/tree_deletion.h"

#include "common/errors.h"
#include "common/file_io.h"
#include "common/paths.h"
#include "photos/gallery_file.h"
#include "startup/settings.h"

namespace tavo {
namespace {

// Removes a file; true when it was there.
bool removePresent(const std::filesystem::path& path) {
    std::error_code ec;
    const bool present = std::filesystem::exists(std::filesystem::symlink_status(path, ec));
    io::removeIfExists(path);
    return present;
}

}  // namespace

TreeDeletionResult deleteTree(const DataPaths& paths, const std::string& treeId) {
    // An empty identifier would make every photo name look like one of this tree's.
    if (treeId.empty() || !isBareFileName(treeId))
        throw RefusedError("\"" + treeId + "\" is not a tree identifier; nothing was deleted.");

    const GalleryFile gallery(paths, treeId);
    // Read first: a gallery we cannot read must not leave a half-deleted tree behind. A missing
    // one (a tree whose creation was cut short) has no photos, and must stay deletable.
    std::error_code ec;
    const bool galleryMissing = std::filesystem::symlink_status(gallery.path(), ec).type() ==
                                std::filesystem::file_type::not_found;
    const std::vector<PhotoRecord> records =
        galleryMissing ? std::vector<PhotoRecord>{} : gallery.readAll();

    TreeDeletionResult result;
    std::vector<std::filesystem::path> photos;
    for (const PhotoRecord& r : records) {
        try {
            photos.push_back(gallery.ownedPhotoPath(r.fileName));
        } catch (const RefusedError&) {
            result.skippedPhotoNames.push_back(r.fileName);
        }
    }

    const bool hadCard = removePresent(paths.card(treeId));
    io::removeIfExists(paths.works(treeId));
    io::removeIfExists(paths.referencePhoto(treeId));
    // The gallery file goes before its photos: a deletion cut short then leaves photos no
    // record names (moved aside by the checker's repair), never records naming missing photos.
    io::removeIfExists(gallery.path());
    io::syncFolder(paths.galeries());
    for (const auto& photo : photos)
        if (removePresent(photo)) result.deletedPhotos.push_back(photo);

    // The counter comes last: deleting the files frees the room its write needs on a full disk.
    // It counts cards: what was left of a tree without one (a stray reference photo) is cleared
    // without lowering it.
    const long counter = settings::cardCounter(paths);
    result.cardCounter = counter;
    if (!hadCard || counter <= 0) return result;
    try {
        settings::setCardCounter(paths, counter - 1);
        result.cardCounter = counter - 1;
    } catch (const std::exception& e) {
        // The tree is gone all the same, and the counter names nothing: the caller shows the
        // tree as deleted and reports why the counter stayed.
        result.cardCounter = counter;
        result.counterFailure = e.what();
    }
    return result;
}

}  // namespace tavo
