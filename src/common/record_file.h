#pragma once
// A typed file of fixed-size records with no header. The file is closed when the object dies;
// no file stays open between two user commands.
#include <cstddef>
#include <filesystem>
#include <span>
#include <type_traits>
#include <vector>

#include "common/file_io.h"
#include "common/fixed_string.h"

namespace tavo {

class RecordFile {
  public:
    enum class Mode {
        Create,     // create or truncate, read and write
        Read,       // existing file, read only
        ReadWrite,  // existing file, read and write
    };

    RecordFile(const std::filesystem::path& path, std::size_t recordSize, Mode mode);
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    // Whole records only: a damaged tail shorter than a record is not counted.
    std::size_t count() const;
    Bytes read(std::size_t index) const;
    std::vector<Bytes> readAll() const;
    void write(std::size_t index, const Bytes& record);
    // Writes `record` behind the last whole record and flushes it to disk. When that fails (a
    // disk that fills up in the middle of the write), the file is put back to its former length
    // and bytes, so no torn record stays behind. A damaged tail shorter than a record is
    // overwritten by a successful append.
    void append(const Bytes& record);
    // Writes `record` over record `index`, which must exist, and flushes it to disk. When that
    // fails part way, the record's former bytes are written back, so no record is left half old
    // and half new.
    void overwrite(std::size_t index, const Bytes& record);
    void truncate(std::size_t records);
    // Flushes to disk and closes, reporting a failure of either.
    void close();

    const std::filesystem::path& path() const { return path_; }
    std::size_t recordSize() const { return recordSize_; }

  private:
    std::filesystem::path path_;
    std::size_t recordSize_;
    io::Fd fd_;
    bool writable_ = false;
};

// Number of whole records of a file; IoError when it cannot be examined.
std::size_t countRecords(const std::filesystem::path& path, std::size_t recordSize);

// Removes record `index` (0-based) from a typed file through the temporary file `tmp`
// (DATA.TMP of the data folder); an index beyond the end rewrites the file unchanged. A damaged
// tail shorter than one record is dropped.
void removeRecordThroughTmp(const std::filesystem::path& file, const std::filesystem::path& tmp,
                            std::size_t recordSize, std::size_t index);

// Record `index` of a buffer of whole records of `size` bytes each.
inline std::span<const std::uint8_t> recordAt(const Bytes& all, std::size_t size,
                                              std::size_t index) {
    return std::span<const std::uint8_t>(all).subspan(index * size, size);
}

// The whole records of a file as one byte buffer. A damaged tail shorter than a record is left
// out; its length goes to `tailBytes` when asked for.
Bytes readWholeRecords(const std::filesystem::path& path, std::size_t recordSize,
                       std::size_t* tailBytes = nullptr);

// Every whole record of a file, in file order, as `decode` makes it from the record's bytes (a
// std::span<const std::uint8_t>). The file is read in one go, as readWholeRecords does.
template <class Decode>
auto readEveryRecord(const std::filesystem::path& path, std::size_t recordSize, Decode&& decode,
                     std::size_t* tailBytes = nullptr) {
    using Record = std::decay_t<std::invoke_result_t<Decode&, std::span<const std::uint8_t>>>;
    const Bytes all = readWholeRecords(path, recordSize, tailBytes);
    const std::size_t n = all.size() / recordSize;
    std::vector<Record> records;
    records.reserve(n);
    for (std::size_t i = 0; i < n; ++i) records.push_back(decode(recordAt(all, recordSize, i)));
    return records;
}

}  // namespace tavo
