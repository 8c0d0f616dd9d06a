#include "photos/gallery_file.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <string_view>

#include "common/cp1252.h"
#include "common/dates.h"
#include "common/errors.h"
#include "common/file_io.h"
#include "common/paths.h"
#include "common/record_file.h"
#include "common/safe_replace.h"

namespace tavo {
namespace {

constexpr std::size_t kSize = PhotoRecord::kSize;

// The significant characters of a field, as stored (Windows-1252), length clamped.
std::string_view rawField(std::span<const std::uint8_t> rec, std::size_t offset,
                          std::size_t capacity) {
    const std::size_t len = std::min<std::size_t>(rec[offset], capacity);
    return {reinterpret_cast<const char*>(rec.data() + offset + 1), len};
}

// Keys compare byte by byte on the stored characters.
std::string dateKeyOf(std::span<const std::uint8_t> rec) {
    return storedDateKey(rawField(rec, PhotoRecord::kDateOffset, PhotoRecord::kDateCapacity));
}

// Throws unless 1 <= position <= count.
void checkPosition(const std::filesystem::path& path, std::size_t position, std::size_t count) {
    if (position < 1 || position > count)
        throw IoError("read", path,
                      "no photo at position " + std::to_string(position) + " (the gallery holds " +
                          std::to_string(count) + ")");
}

}  // namespace

Bytes encodePhotoRecord(const PhotoRecord& record) {
    Bytes out(kSize, 0);
    writeFixed(out, PhotoRecord::kFileNameOffset, PhotoRecord::kFileNameCapacity, record.fileName);
    writeFixed(out, PhotoRecord::kDateOffset, PhotoRecord::kDateCapacity, record.date);
    writeFixed(out, PhotoRecord::kCommentOffset, PhotoRecord::kCommentCapacity, record.comment);
    return out;
}

PhotoRecord decodePhotoRecord(std::span<const std::uint8_t> bytes) {
    PhotoRecord r;
    r.fileName = readFixed(bytes, PhotoRecord::kFileNameOffset, PhotoRecord::kFileNameCapacity);
    r.date = readFixed(bytes, PhotoRecord::kDateOffset, PhotoRecord::kDateCapacity);
    r.comment = readFixed(bytes, PhotoRecord::kCommentOffset, PhotoRecord::kCommentCapacity);
    return r;
}

std::string photoFileName(const std::string& treeId, int number) {
    std::string digits = std::to_string(number);
    if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
    return treeId + digits + ".JPG";
}

GalleryFile::GalleryFile(DataPaths data, std::string treeId)
    : data_(std::move(data)), treeId_(std::move(treeId)), path_(data_.gallery(treeId_)) {}

std::size_t GalleryFile::count() const {
    return countRecords(path_, kSize);
}

std::vector<PhotoRecord> GalleryFile::readAll() const {
    return readEveryRecord(path_, kSize, decodePhotoRecord);
}

PhotoRecord GalleryFile::readAt(std::size_t position) const {
    RecordFile f(path_, kSize, RecordFile::Mode::Read);
    checkPosition(path_, position, f.count());
    return decodePhotoRecord(f.read(position - 1));
}

int GalleryFile::nextPhotoNumber() const {
    const Bytes all = readWholeRecords(path_, kSize);
    int highest = 0;
    for (std::size_t i = 0; i < all.size() / kSize; ++i) {
        const std::string_view name = rawField(
            recordAt(all, kSize, i), PhotoRecord::kFileNameOffset, PhotoRecord::kFileNameCapacity);
        const std::string_view digits = name.size() > 14 ? name.substr(14, 3) : std::string_view{};
        const bool isNumber =
            digits.size() == 3 &&
            std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
        if (!isNumber)
            throw ConversionError("The photo file name \"" + cp1252::toUtf8(name) + "\" of " +
                                  path_.string() +
                                  " holds no photo number at characters 15 to 17.");
        const int n = (digits[0] - '0') * 100 + (digits[1] - '0') * 10 + (digits[2] - '0');
        highest = std::max(highest, n);
    }
    return highest + 1;
}

std::size_t GalleryFile::add(const PhotoRecord& record) {
    const Bytes rec = encodePhotoRecord(record);
    const std::string key = dateKeyOf(rec);
    Bytes all = readWholeRecords(path_, kSize);
    const std::size_t n = all.size() / kSize;

    if (n == 0 || key >= dateKeyOf(recordAt(all, kSize, n - 1))) {
        // Same date as the last record or later: append in place.
        // A failed append leaves no part of the record behind.
        RecordFile f(path_, kSize, RecordFile::Mode::ReadWrite);
        f.append(rec);
        f.close();
        return n + 1;
    }

    // Earlier: goes before the first record with a later date.
    std::size_t at = 0;
    while (at < n && dateKeyOf(recordAt(all, kSize, at)) <= key) ++at;
    all.insert(all.begin() + static_cast<std::ptrdiff_t>(at * kSize), rec.begin(), rec.end());
    replaceFile(path_, all, data_.dataTmp());
    return at + 1;
}

void GalleryFile::changeComment(std::size_t position, const std::string& comment) {
    RecordFile f(path_, kSize, RecordFile::Mode::ReadWrite);
    checkPosition(path_, position, f.count());
    Bytes rec = f.read(position - 1);
    writeFixed(rec, PhotoRecord::kCommentOffset, PhotoRecord::kCommentCapacity, comment);
    f.overwrite(position - 1, rec);
    f.close();
}

std::string GalleryFile::remove(std::size_t position) {
    const PhotoRecord removed = readAt(position);
    removeRecordThroughTmp(path_, data_.dataTmp(), kSize, position - 1);
    return removed.fileName;
}

std::filesystem::path GalleryFile::photoPath(const std::string& photoFileName) const {
    if (!isBareFileName(photoFileName))
        throw RefusedError("The gallery " + path_.string() + " names the photo \"" + photoFileName +
                           "\", which is not a plain file name; it is not used as a path.");
    return data_.galeries() / photoFileName;
}

bool isTreePhotoName(std::string_view name, std::string_view treeId) {
    if (treeId.empty() || name.size() != treeId.size() + 7 ||
        name.substr(0, treeId.size()) != treeId)
        return false;
    const std::string_view tail = name.substr(treeId.size());
    for (std::size_t i = 0; i < 3; ++i)
        if (tail[i] < '0' || tail[i] > '9') return false;
    return tail.substr(3) == ".JPG";
}

std::filesystem::path GalleryFile::ownedPhotoPath(const std::string& photoFileName) const {
    auto p = photoPath(photoFileName);
    // Exactly identifier + three digits + ".JPG": any looser rule lets a record name the
    // gallery file itself, or another file of the tree, for deletion.
    if (!isTreePhotoName(photoFileName, treeId_))
        throw RefusedError("The gallery " + path_.string() + " names the photo \"" + photoFileName +
                           "\", which is not a photo of tree " + treeId_ + "; it is left alone.");
    return p;
}

namespace {
// True when anything at all stands at `path`, a link included, or it cannot be told.
bool nameTaken(const std::filesystem::path& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0 || errno != ENOENT;
}

// The number after the highest recorded one, passing over every number whose file already
// stands in the folder: a photo that outlived its record (a cut or older gallery file) is the
// keeper's until they decide, and a new photo never takes its place.
int firstFreePhotoNumber(const GalleryFile& gallery) {
    int number = gallery.nextPhotoNumber();
    while (number <= kMaxPhotoNumber &&
           nameTaken(gallery.photoPath(photoFileName(gallery.treeId(), number))))
        ++number;
    return number;
}
}  // namespace

NewPhoto planNewPhoto(const GalleryFile& gallery, const std::string& date,
                      const std::string& comment) {
    const int number = firstFreePhotoNumber(gallery);
    if (number > kMaxPhotoNumber)
        throw RefusedError("The gallery of tree " + gallery.treeId() +
                           " already uses photo number " + std::to_string(kMaxPhotoNumber) +
                           ", the highest a photo file name can hold; no photo was added.");
    NewPhoto plan;
    plan.number = number;
    plan.record.fileName = photoFileName(gallery.treeId(), number);
    if (cp1252::fromUtf8(plan.record.fileName).size() > PhotoRecord::kFileNameCapacity)
        throw RefusedError("The photo file name \"" + plan.record.fileName +
                           "\" is longer than a gallery record can hold; no photo was added.");
    plan.record.date = fitFixed(date, PhotoRecord::kDateCapacity);
    plan.record.comment = fitFixed(comment, PhotoRecord::kCommentCapacity);
    plan.photoPath = gallery.ownedPhotoPath(plan.record.fileName);
    return plan;
}

std::size_t commitNewPhoto(GalleryFile& gallery, const NewPhoto& plan,
                           const PhotoWriter& writePhoto) {
    // A stale plan would reuse a number already in the gallery.
    if (firstFreePhotoNumber(gallery) != plan.number ||
        plan.photoPath != gallery.ownedPhotoPath(plan.record.fileName))
        throw RefusedError("The gallery of tree " + gallery.treeId() +
                           " changed since the photo was prepared; no photo was added.");
    try {
        writePhoto(plan.photoPath);
        return gallery.add(plan.record);
    } catch (...) {
        std::error_code ec;
        std::filesystem::remove(plan.photoPath, ec);
        throw;
    }
}

std::size_t commitNewPhoto(GalleryFile& gallery, const NewPhoto& plan, const Bytes& jpeg) {
    return commitNewPhoto(
        gallery, plan, [&](const std::filesystem::path& target) { io::createFile(target, jpeg); });
}

std::filesystem::path removePhoto(GalleryFile& gallery, std::size_t position) {
    const std::string name = gallery.remove(position);
    std::filesystem::path photo;
    try {
        photo = gallery.ownedPhotoPath(name);
    } catch (const RefusedError& e) {
        throw RefusedError(std::string(e.what()) +
                           " The photo record was removed; no file was deleted.");
    }
    io::removeIfExists(photo);
    return photo;
}

}  // namespace tavo
