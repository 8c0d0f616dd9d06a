#pragma once
// The whole collection in memory: one entry per tree, read from its card, works log and gallery,
// and the search over every text a person wrote about the trees.
//
// Search words are matched after folding (lowercase, accents removed), so "erable fontainebleau"
// finds "Érable de Fontainebleau". A tree matches when every word appears in at least one of its
// texts (the words may sit in different texts).
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cards/card_record.h"
#include "common/paths.h"

namespace tavo {

// The texts the search looks into.
enum class Field : std::uint8_t {
    TreeName,
    BotanicalName,
    Cultivar,
    CommonName,
    EnglishName,
    Provenance,
    AcquisitionDate,
    State,
    Price,
    Notes,
    WorksType,
    WorksComment,
    PhotoComment,
};

// A stable English name of the field for machine-readable output: "treeName", "worksComment"...
const char* fieldName(Field field);

// One tree as the collection shows it.
struct TreeEntry {
    std::string id;
    TreeCard card;
    std::size_t worksCount = 0;
    std::string lastWorksDate;  // the works line with the latest date (the last of equal dates)
    std::string lastWorksType;
    std::size_t photoCount = 0;
    std::string lastPhotoDate;
    // Why some of the tree's files could not be read (empty when all were read). A tree whose
    // card cannot be read is still listed, under its identifier, so it is not silently lost.
    std::string problem;

    // A file as it stood when read: a file rewritten or replaced since shows another stamp
    // (a rewrite of the same size within the clock's step may not, see CollectionIndex::update).
    struct FileStamp {
        bool present = false;
        std::uint64_t size = 0, inode = 0;
        std::int64_t modified = 0, changed = 0;  // nanoseconds
        bool operator==(const FileStamp&) const = default;
    };
    std::array<FileStamp, 4> stamps;  // card, works log, gallery, reference photo

    // The searchable texts: `text` holds them one after the other, `folded` their folds, each
    // followed by a line feed so that no word is found across two texts.
    struct Span {
        Field field;
        std::uint32_t textBegin, textSize;
        std::uint32_t foldBegin, foldSize;
        std::uint32_t dateBegin, dateSize;  // the works line's or photo's date, inside `text`
    };
    std::string text;
    std::string folded;
    std::vector<Span> spans;

    // The name the tree is shown under: the tree name, or the identifier when it has none.
    const std::string& displayName() const { return card.treeName.empty() ? id : card.treeName; }
};

// Reads tree `id` from its files. A missing works log or gallery counts as empty; any failure to
// read one of the three files is told in `problem`.
TreeEntry readTree(const DataPaths& data, const std::string& id);

// The identifiers of every tree: the card files FICHES/<id>.SIG, sorted. A missing FICHES folder
// holds no tree; IoError when the folder cannot be listed.
std::vector<std::string> listTreeIds(const DataPaths& data);

// The words of a search, folded, split at blanks. An empty list matches every tree.
std::vector<std::string> searchWords(std::string_view query);

// True when every word appears in one of the tree's texts.
bool matchesAll(const TreeEntry& tree, const std::vector<std::string>& words);

// True when every tree matching the words `now` also matches `before`: each earlier word is
// part of a word typed now. A search typed letter by letter then looks only among the trees
// it already found.
bool narrows(const std::vector<std::string>& before, const std::vector<std::string>& now);

// One text of a tree that holds at least one of the words, cut to an excerpt around the first
// word found.
struct Match {
    Field field;
    std::string date;  // for a works line or a photo: its date
    std::string text;  // the excerpt, "…" where it was cut
    // Byte ranges [first, second) of `text` that hold a word, in order, never overlapping.
    std::vector<std::pair<std::size_t, std::size_t>> bold;
    std::size_t wordCount = 0;  // how many different words the text holds
};

// Longest excerpt, in characters (the ellipses not counted).
inline constexpr std::size_t kExcerptChars = 90;

// Every text of `tree` that holds at least one of the words, in the tree's order (card, then
// works lines, then photos).
std::vector<Match> matchesOf(const TreeEntry& tree, const std::vector<std::string>& words);

// The text to show under the tree's row: the one holding the most different words, the first
// of them on a tie. Empty when no text holds a word.
std::optional<Match> bestMatch(const TreeEntry& tree, const std::vector<std::string>& words);

class CollectionIndex {
  public:
    // Reads every tree of the data folder.
    static CollectionIndex build(const DataPaths& data);

    // Reads tree `id` again after a change made elsewhere: a tree whose card no longer exists
    // leaves the index, a new one enters it.
    void refresh(const std::string& id);

    // Reads again every tree whose files changed since they were read, enters the trees added
    // and drops those removed. `always` is read again whatever its stamps say: the tree just
    // changed by the program, whose card may have been rewritten at the same size within the
    // clock's step. Returns the identifiers read again, entered or dropped, sorted.
    std::vector<std::string> update(const std::string& always = {});

    const std::vector<TreeEntry>& trees() const { return trees_; }
    const DataPaths& data() const { return data_; }

    // Positions in trees() of the trees matching every word, in index order.
    std::vector<std::size_t> filter(const std::vector<std::string>& words) const;
    // The same among `among` (positions in trees()), kept in their order: a table sorted once
    // stays sorted while the search narrows it.
    std::vector<std::size_t> filter(const std::vector<std::string>& words,
                                    const std::vector<std::size_t>& among) const;

  private:
    DataPaths data_;
    std::vector<TreeEntry> trees_;  // sorted by identifier
};

}  // namespace tavo
