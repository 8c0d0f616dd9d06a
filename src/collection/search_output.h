#pragma once
// The search of the whole collection from the command line: `search WORDS... [--json]` prints
// the matching trees sorted by name, each with the texts where the words were found.
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "collection/collection_index.h"

namespace tavo {

struct SearchHit {
    std::string id;
    std::string name;
    std::vector<Match> matches;
};

// The trees of `index` matching every word of `query`, sorted by name as the collection table
// sorts them (accents and letter case folded), with every text holding a word.
std::vector<SearchHit> searchCollection(const CollectionIndex& index, std::string_view query);

// Matches shown per tree in the text output; the JSON output gives them all.
inline constexpr std::size_t kTextMatchesShown = 5;

// One line per tree ("<id>  <name>"), then one indented line per match ("<field> [<date>]:
// <text>").
std::string searchText(const std::vector<SearchHit>& hits);

// An array of objects {"id", "name", "matches": [{"field", "date" (works lines and photos only),
// "text"}]}.
std::string searchJson(const std::vector<SearchHit>& hits);

// The whole command over the data folder: prints the results on `out` and gives `report` one
// line per tree that could not be read whole. Returns the exit status: 0 done, 1 when some tree
// could not be read (the results are still printed), 2 when no word was given (reported). IoError
// when the data folder cannot be listed.
int runSearch(const DataPaths& data, const std::vector<std::string>& words, bool json,
              std::ostream& out, const std::function<void(const std::string&)>& report);

}  // namespace tavo
