#pragma once
// The gallery of a tree: GALERIES/<id>.GAL, a typed file of 135-byte photo records with no
// header, kept in date order, plus one JPEG per record in the same GALERIES folder.
//
// Positions: a photo's position is its place in the file counted from 1 (the first record is
// position 1). Positions are not stored; they shift when a record is inserted before or removed.
//
// Safety rules kept by every function here:
//   - a photo file name read from a record builds a path only when it is a bare file name
//     (photoPath); a name that is not is refused with RefusedError, so nothing outside GALERIES is
//     ever read, written or deleted because of a record's content;
//   - a file is deleted because of a record only when its name is exactly the tree's identifier
//     + three digits + ".JPG" (ownedPhotoPath), so neither the photos of other trees nor the
//     tree's own other files are ever touched;
//   - every whole-file rewrite goes through DATA.TMP and a rename, so a failure leaves the old
//     gallery whole.
//
// Every operation opens the gallery file, does its work and closes it again. Failures throw the
// tavo exception family (IoError for a missing or unwritable file, ConversionError, RefusedError).
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/fixed_string.h"
#include "common/paths.h"

namespace tavo {

// One photo record, 135 bytes, no gaps.
struct PhotoRecord {
    std::string fileName;  // offset 0, capacity 22: tree identifier + 3-digit number + ".JPG"
    std::string date;      // offset 23, capacity 10: dd/mm/yyyy, never changed after the add
    std::string comment;   // offset 34, capacity 100: the only field that may change

    static constexpr std::size_t kSize = 135;
    static constexpr std::size_t kFileNameOffset = 0, kFileNameCapacity = 22;
    static constexpr std::size_t kDateOffset = 23, kDateCapacity = 10;
    static constexpr std::size_t kCommentOffset = 34, kCommentCapacity = 100;

    bool operator==(const PhotoRecord&) const = default;
};

// The record's bytes: texts converted to Windows-1252 and cut to their capacity, zero bytes
// behind each text.
Bytes encodePhotoRecord(const PhotoRecord& record);
// The record held by 135 bytes; a damaged length byte is clamped to its field's capacity.
PhotoRecord decodePhotoRecord(std::span<const std::uint8_t> bytes);

// Photo numbers run from 1 to this; the file name has room for three digits only.
inline constexpr int kMaxPhotoNumber = 999;

// The file name of photo `number` of a tree: identifier + number on three digits + ".JPG"
// ("26034140509042" and 1 give "26034140509042001.JPG").
std::string photoFileName(const std::string& treeId, int number);

class GalleryFile {
  public:
    // The gallery of tree `treeId` in the data folder `data`. Opens nothing yet.
    GalleryFile(DataPaths data, std::string treeId);

    const std::filesystem::path& path() const { return path_; }
    const DataPaths& dataFolder() const { return data_; }
    const std::string& treeId() const { return treeId_; }

    // Number of photo records (whole records only).
    std::size_t count() const;
    // Every record, in file order (oldest photo first).
    std::vector<PhotoRecord> readAll() const;
    // The record at `position` (1-based); IoError when there is no record there.
    PhotoRecord readAt(std::size_t position) const;

    // One more than the highest number found at characters 15 to 17 of the records' file names,
    // or 1 for an empty gallery. May return kMaxPhotoNumber + 1: callers that add a photo go
    // through planNewPhoto, which refuses that. ConversionError when a name holds no number there.
    int nextPhotoNumber() const;

    // Adds `record` in date order and returns its position. A record dated the same day as the
    // last record or later is appended; an earlier one is inserted before the first record with
    // a later date (after every record of the same date) by a rewrite through DATA.TMP. The
    // caller has checked the date. Prefer planNewPhoto + commitNewPhoto, which also store the
    // photo file.
    std::size_t add(const PhotoRecord& record);

    // Replaces the comment of the record at `position` (cut to 100 characters) in place; every
    // byte outside the comment field stays as it was on disk. IoError when there is no record
    // there.
    void changeComment(std::size_t position, const std::string& comment);

    // Removes the record at `position` through DATA.TMP and returns its photo file name, as
    // stored (not checked: it builds no path here). IoError when there is no record there;
    // nothing is then changed.
    std::string remove(std::size_t position);

    // GALERIES/<name> for a photo file name taken from a record; RefusedError when the name is
    // not a bare file name. Use it for every path built from a record.
    std::filesystem::path photoPath(const std::string& photoFileName) const;
    std::filesystem::path photoPath(const PhotoRecord& record) const {
        return photoPath(record.fileName);
    }
    // As photoPath, and the name must also be a photo name of this tree (isTreePhotoName): the
    // check made before a file is deleted or replaced because of a record.
    std::filesystem::path ownedPhotoPath(const std::string& photoFileName) const;

  private:
    DataPaths data_;
    std::string treeId_;
    std::filesystem::path path_;
};

// True when `name` is exactly `treeId` + three digits + ".JPG", the only names of this tree's
// photos that may be deleted or replaced because of a record.
bool isTreePhotoName(std::string_view name, std::string_view treeId);

// A new photo about to enter a gallery: what planNewPhoto decided and commitNewPhoto stores.
struct NewPhoto {
    int number = 0;                   // 1 to kMaxPhotoNumber
    PhotoRecord record;               // texts as they will read back from the file
    std::filesystem::path photoPath;  // GALERIES/<record.fileName>
};

// Picks the number and name of the next photo of `gallery` and builds its record from `date`
// and `comment` (cut to their capacities). Writes nothing. RefusedError when the gallery already
// uses number 999 (or the name would not fit its field); ConversionError as nextPhotoNumber.
NewPhoto planNewPhoto(const GalleryFile& gallery, const std::string& date,
                      const std::string& comment);

// Writes the stored gallery photo at the path it is given; throws on failure.
using PhotoWriter = std::function<void(const std::filesystem::path& target)>;

// Adds a planned photo: first `writePhoto` stores the picture at plan.photoPath, then the record
// is added in date order. When anything fails the photo file is removed again and the gallery
// file is left as it was, so neither a record without its photo nor an orphan photo remains.
// RefusedError when the gallery changed since the plan. Returns the new record's position.
std::size_t commitNewPhoto(GalleryFile& gallery, const NewPhoto& plan,
                           const PhotoWriter& writePhoto);
// The same with the encoded JPEG bytes, written and flushed to disk before the record.
std::size_t commitNewPhoto(GalleryFile& gallery, const NewPhoto& plan, const Bytes& jpeg);

// Removes the record at `position` and deletes its photo file (a missing file is skipped).
// Returns the path of the deleted photo. The record is removed first; when its name is unsafe
// or names another tree's photo, RefusedError says so and no file is deleted; any other failure
// to delete the file throws IoError (the record stays removed).
std::filesystem::path removePhoto(GalleryFile& gallery, std::size_t position);

}  // namespace tavo
