#include "collection/search_output.h"

#include <ostream>

#include "collection/collection_table.h"
#include "common/json_writer.h"

namespace tavo {

std::vector<SearchHit> searchCollection(const CollectionIndex& index, std::string_view query) {
    const std::vector<std::string> words = searchWords(query);
    const auto& trees = index.trees();
    // The name order does not depend on the date.
    const std::vector<std::size_t> rows =
        sortRows(trees, index.filter(words), Column::TreeName, true, LocalTime{});
    std::vector<SearchHit> hits;
    hits.reserve(rows.size());
    for (std::size_t r : rows)
        hits.push_back({trees[r].id, trees[r].displayName(), matchesOf(trees[r], words)});
    return hits;
}

std::string searchText(const std::vector<SearchHit>& hits) {
    std::string out;
    for (const SearchHit& h : hits) {
        out += h.id + "  " + h.name + "\n";
        for (std::size_t k = 0; k < h.matches.size() && k < kTextMatchesShown; ++k) {
            const Match& m = h.matches[k];
            out += "    ";
            out += fieldName(m.field);
            if (!m.date.empty()) out += " " + m.date;
            out += ": " + m.text + "\n";
        }
        if (h.matches.size() > kTextMatchesShown)
            out += "    (+" + std::to_string(h.matches.size() - kTextMatchesShown) + ")\n";
    }
    return out;
}

std::string searchJson(const std::vector<SearchHit>& hits) {
    JsonWriter w(2);
    w.beginArray();
    for (const SearchHit& h : hits) {
        w.beginObject().member("id", h.id).member("name", h.name).key("matches").beginArray();
        for (const Match& m : h.matches) {
            w.beginObject().member("field", fieldName(m.field));
            if (!m.date.empty()) w.member("date", m.date);
            w.member("text", m.text).endObject();
        }
        w.endArray().endObject();
    }
    w.endArray();
    return w.str() + "\n";
}

int runSearch(const DataPaths& data, const std::vector<std::string>& words, bool json,
              std::ostream& out, const std::function<void(const std::string&)>& report) {
    std::string query;
    for (const std::string& w : words) query += w + " ";
    if (searchWords(query).empty()) {
        report("search: give at least one word to look for");
        return 2;
    }
    const CollectionIndex index = CollectionIndex::build(data);
    int status = 0;
    for (const TreeEntry& t : index.trees()) {
        if (t.problem.empty()) continue;
        report("tree " + t.id + ": " + t.problem);
        status = 1;
    }
    const std::vector<SearchHit> hits = searchCollection(index, query);
    out << (json ? searchJson(hits) : searchText(hits));
    return status;
}

}  // namespace tavo
