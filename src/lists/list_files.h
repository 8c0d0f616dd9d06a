#pragma once
// The three reference lists of the data folder, headerless files of fixed-size entries in the
// order of their creation (nothing sorts them):
//   Types.LIB  intervention types      label entries, 51 bytes
//   Etats.LIB  acquisition states      label entries, 51 bytes
//   NomsA.LIB  botanical names         botanical name entries, 704 bytes
// Entries are addressed by their 0-based index (the grid row of the list windows). Every
// operation opens the file, works and closes it; nothing is cached. Failures throw IoError;
// reading a missing list is an error (only the list windows create a missing list).
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/fixed_string.h"
#include "common/paths.h"
#include "common/record_file.h"

namespace tavo {

// Label entry: one fixed string of capacity 50 at offset 0.
inline constexpr std::size_t kLabelEntrySize = 51;
inline constexpr std::size_t kLabelCapacity = 50;

Bytes encodeLabelEntry(std::string_view label);
std::string decodeLabelEntry(std::span<const std::uint8_t> record);

// Botanical name entry: three fixed strings of capacity 150 at offsets 0, 151 and 302, then
// 251 reserved bytes (offset 453) that the program never reads and writes as zeros.
struct BotanicalName {
    std::string latin;
    std::string common;
    std::string english;

    static constexpr std::size_t kSize = 704;
    static constexpr std::size_t kCapacity = 150;
    static constexpr std::size_t kLatinOffset = 0, kCommonOffset = 151, kEnglishOffset = 302;
    static constexpr std::size_t kReservedOffset = 453, kReservedSize = 251;
    bool operator==(const BotanicalName&) const = default;
};

Bytes encodeBotanicalName(const BotanicalName& entry);
BotanicalName decodeBotanicalName(std::span<const std::uint8_t> record);

// What both kinds of list share: a file, its record size and DATA.TMP for removals.
class ListFileBase {
  public:
    // Creates the list empty (0 bytes) when it does not exist; true when it was created.
    bool createIfMissing() const;
    // Number of entries (whole records only).
    std::size_t count() const;
    // Removes entry `index` through DATA.TMP; the others keep their order. An index beyond
    // the end removes nothing.
    void remove(std::size_t index) const;

    const std::filesystem::path& path() const { return file_; }

  protected:
    ListFileBase(std::filesystem::path file, std::filesystem::path dataTmp, std::size_t recordSize);
    // Every entry, in file order, as `decode` makes it from the entry's bytes.
    template <class Decode>
    auto readEntries(Decode&& decode) const {
        return readEveryRecord(file_, recordSize_, decode);
    }
    void appendRecord(const Bytes& record) const;
    void overwriteRecord(std::size_t index, const Bytes& record) const;
    std::size_t recordSize() const { return recordSize_; }

  private:
    std::filesystem::path file_;
    std::filesystem::path dataTmp_;
    std::size_t recordSize_;
};

// Types.LIB or Etats.LIB.
class LabelListFile : public ListFileBase {
  public:
    static LabelListFile interventionTypes(const DataPaths& paths);  // Types.LIB
    static LabelListFile acquisitionStates(const DataPaths& paths);  // Etats.LIB

    // Every label in file order.
    std::vector<std::string> readAll() const;
    // Adds a label at the end, cut to 50 characters.
    void append(std::string_view label) const;
    // Replaces entry `index` (which must exist) in place; the file keeps its length.
    void overwrite(std::size_t index, std::string_view label) const;

  private:
    using ListFileBase::ListFileBase;
};

// NomsA.LIB.
class BotanicalNameListFile : public ListFileBase {
  public:
    explicit BotanicalNameListFile(const DataPaths& paths);

    // Every entry in file order.
    std::vector<BotanicalName> readAll() const;
    // Adds an entry at the end, each name cut to 150 characters.
    void append(const BotanicalName& entry) const;
    // Replaces entry `index` (which must exist) in place; the file keeps its length.
    void overwrite(std::size_t index, const BotanicalName& entry) const;
};

}  // namespace tavo
