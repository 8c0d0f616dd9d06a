#include "collection/collection_index.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <span>
#include <system_error>

#include <sys/stat.h>

#include "cards/card_file.h"
#include "common/cp1252.h"
#include "common/dates.h"
#include "common/errors.h"
#include "common/record_file.h"
#include "common/text_fold.h"
#include "photos/gallery_file.h"
#include "works/works_line.h"

namespace tavo {
namespace {

namespace fs = std::filesystem;

// The key that puts a date in order; a date that does not pass the check sorts before every
// real date, so it is never taken for the latest one.
std::string dateKeyOrEmpty(const std::string& date) {
    return isValidDate(date) ? sortableDateKey(date) : std::string();
}

// A text of the card (one with no date of its own).
void addSpan(TreeEntry& e, Field field, const std::string& text) {
    if (text.empty()) return;
    TreeEntry::Span s{};
    s.field = field;
    s.textBegin = static_cast<std::uint32_t>(e.text.size());
    s.textSize = static_cast<std::uint32_t>(text.size());
    e.text += text;
    const std::string folded = foldForCompare(text);
    s.foldBegin = static_cast<std::uint32_t>(e.folded.size());
    s.foldSize = static_cast<std::uint32_t>(folded.size());
    e.folded += folded;
    e.folded += '\n';
    e.spans.push_back(s);
}

// Windows-1252 byte -> its UTF-8 text and its fold. The works logs and galleries of a large
// collection hold hundreds of thousands of short texts; decoding them straight from the records
// into the entry, without a string per field, keeps opening the collection quick.
struct ByteTables {
    std::array<std::string, 256> utf8, fold;
};
const ByteTables& byteTables() {
    static const ByteTables tables = [] {
        ByteTables t;
        for (int b = 0; b < 256; ++b) {
            t.utf8[b] = cp1252::toUtf8(std::string(1, static_cast<char>(b)));
            t.fold[b] = foldForCompare(t.utf8[b]);
        }
        return t;
    }();
    return tables;
}

// The significant bytes of the fixed string at `offset` (a damaged length clamped).
std::string_view storedField(std::span<const std::uint8_t> record, std::size_t offset,
                             std::size_t capacity) {
    const std::size_t len = std::min<std::size_t>(record[offset], capacity);
    return {reinterpret_cast<const char*>(record.data() + offset + 1), len};
}

std::string utf8Of(std::string_view stored) {
    if (std::all_of(stored.begin(), stored.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return std::string(stored);
    const ByteTables& t = byteTables();
    std::string out;
    for (char c : stored) out += t.utf8[static_cast<unsigned char>(c)];
    return out;
}

// As addSpan, for texts as stored; `dateAt` is where the record's date already stands in
// e.text (its UTF-8 form, `dateSize` bytes).
void addStoredSpan(TreeEntry& e, Field field, std::string_view stored, std::uint32_t dateAt,
                   std::uint32_t dateSize) {
    if (stored.empty()) return;
    const ByteTables& t = byteTables();
    TreeEntry::Span s{};
    s.field = field;
    s.dateBegin = dateAt;
    s.dateSize = dateSize;
    s.textBegin = static_cast<std::uint32_t>(e.text.size());
    s.foldBegin = static_cast<std::uint32_t>(e.folded.size());
    for (std::size_t i = 0; i < stored.size();) {
        // Runs of plain ASCII, the bulk of every text, are copied whole and lowercased in place.
        std::size_t j = i;
        while (j < stored.size() && static_cast<unsigned char>(stored[j]) < 0x80) ++j;
        if (j > i) {
            e.text.append(stored, i, j - i);
            const std::size_t at = e.folded.size();
            e.folded.append(stored, i, j - i);
            for (std::size_t k = at; k < e.folded.size(); ++k)
                if (e.folded[k] >= 'A' && e.folded[k] <= 'Z') e.folded[k] += 'a' - 'A';
            i = j;
            continue;
        }
        const auto b = static_cast<unsigned char>(stored[i++]);
        e.text += t.utf8[b];
        e.folded += t.fold[b];
    }
    s.textSize = static_cast<std::uint32_t>(e.text.size() - s.textBegin);
    s.foldSize = static_cast<std::uint32_t>(e.folded.size() - s.foldBegin);
    e.folded += '\n';
    e.spans.push_back(s);
}

// Puts a record's date into e.text once, for the texts of that record to point at.
std::pair<std::uint32_t, std::uint32_t> storeDate(TreeEntry& e, const std::string& date) {
    const auto at = static_cast<std::uint32_t>(e.text.size());
    e.text += date;
    return {at, static_cast<std::uint32_t>(date.size())};
}

void addProblem(TreeEntry& e, const std::string& what) {
    if (!e.problem.empty()) e.problem += "; ";
    e.problem += what;
}

bool present(const fs::path& p) {
    std::error_code ec;
    return fs::exists(p, ec);
}

TreeEntry::FileStamp stampOf(const fs::path& file) {
    TreeEntry::FileStamp s;
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) return s;
    s.present = true;
    s.size = static_cast<std::uint64_t>(st.st_size);
    s.inode = static_cast<std::uint64_t>(st.st_ino);
    s.modified = st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec;
    s.changed = st.st_ctim.tv_sec * 1000000000LL + st.st_ctim.tv_nsec;
    return s;
}

std::array<TreeEntry::FileStamp, 4> stampsOf(const DataPaths& data, const std::string& id) {
    return {stampOf(data.card(id)), stampOf(data.works(id)), stampOf(data.gallery(id)),
            stampOf(data.referencePhoto(id))};
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// Start offsets of the UTF-8 characters of `s`, and s.size() at the end.
std::vector<std::size_t> charStarts(std::string_view s) {
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < s.size(); ++i)
        if (i == 0 || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) starts.push_back(i);
    starts.push_back(s.size());
    return starts;
}

// The excerpt of one text with its words in bold.
Match makeMatch(Field field, std::string date, std::string_view text,
                const std::vector<std::string>& words) {
    // Fold character by character, remembering which original character each folded byte
    // comes from, so a word found in the fold can be shown in bold in the original text.
    const std::vector<std::size_t> starts = charStarts(text);
    std::string folded;
    std::vector<std::size_t> owner;  // folded byte -> index in `starts`
    folded.reserve(text.size());
    owner.reserve(text.size());
    for (std::size_t c = 0; c + 1 < starts.size(); ++c) {
        const std::size_t len = starts[c + 1] - starts[c];
        const auto b = static_cast<unsigned char>(text[starts[c]]);
        if (len == 1 && b < 0x80) {  // plain ASCII, the common case
            folded.push_back(b >= 'A' && b <= 'Z' ? static_cast<char>(b + ('a' - 'A'))
                                                  : static_cast<char>(b));
            owner.push_back(c);
            continue;
        }
        const std::string f = foldForCompare(text.substr(starts[c], len));
        folded += f;
        owner.insert(owner.end(), f.size(), c);
    }

    Match m{field, std::move(date), {}, {}, 0};
    std::vector<std::pair<std::size_t, std::size_t>> hits;  // in characters
    for (const std::string& w : words) {
        if (w.empty()) continue;
        bool found = false;
        for (std::size_t at = folded.find(w); at != std::string::npos;
             at = folded.find(w, at + 1)) {
            hits.emplace_back(owner[at], owner[at + w.size() - 1] + 1);
            found = true;
        }
        if (found) ++m.wordCount;
    }
    std::sort(hits.begin(), hits.end());

    const std::size_t chars = starts.size() - 1;
    std::size_t from = 0, to = chars;
    if (chars > kExcerptChars) {
        // Some context before the first word, then as much as fits.
        const std::size_t first = hits.empty() ? 0 : hits.front().first;
        from = first > kExcerptChars / 3 ? first - kExcerptChars / 3 : 0;
        to = std::min(chars, from + kExcerptChars);
        from = to - kExcerptChars;
    }
    const std::string ellipsis = "\u2026";
    if (from > 0) m.text = ellipsis;
    const std::size_t shift = m.text.size();
    m.text.append(text.substr(starts[from], starts[to] - starts[from]));
    if (to < chars) m.text += ellipsis;
    // One line under the row: line breaks of the notes become blanks, byte for byte.
    std::replace_if(
        m.text.begin(), m.text.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');

    for (auto [a, b] : hits) {
        a = std::max(a, from);
        b = std::min(b, to);
        if (a >= b) continue;
        const std::size_t begin = starts[a] - starts[from] + shift;
        const std::size_t end = starts[b] - starts[from] + shift;
        if (!m.bold.empty() && begin <= m.bold.back().second)
            m.bold.back().second = std::max(m.bold.back().second, end);
        else
            m.bold.emplace_back(begin, end);
    }
    return m;
}

}  // namespace

const char* fieldName(Field field) {
    switch (field) {
        case Field::TreeName:
            return "treeName";
        case Field::BotanicalName:
            return "botanicalName";
        case Field::Cultivar:
            return "cultivar";
        case Field::CommonName:
            return "commonName";
        case Field::EnglishName:
            return "englishName";
        case Field::Provenance:
            return "provenance";
        case Field::AcquisitionDate:
            return "acquisitionDate";
        case Field::State:
            return "state";
        case Field::Price:
            return "price";
        case Field::Notes:
            return "notes";
        case Field::WorksType:
            return "worksType";
        case Field::WorksComment:
            return "worksComment";
        case Field::PhotoComment:
            return "photoComment";
    }
    return "";
}

TreeEntry readTree(const DataPaths& data, const std::string& id) {
    TreeEntry e;
    e.id = id;
    // Taken before reading, so a change made while the files are read shows next time.
    e.stamps = stampsOf(data, id);
    try {
        e.card = readCard(data, id);
    } catch (const Error& x) {
        addProblem(e, x.what());
    }
    const TreeCard& c = e.card;
    addSpan(e, Field::TreeName, c.treeName);
    addSpan(e, Field::BotanicalName, c.botanicalName);
    addSpan(e, Field::Cultivar, c.cultivar);
    addSpan(e, Field::CommonName, c.commonName);
    addSpan(e, Field::EnglishName, c.englishName);
    addSpan(e, Field::Provenance, c.provenance);
    addSpan(e, Field::AcquisitionDate, c.acquisitionDate);
    addSpan(e, Field::State, c.state);
    addSpan(e, Field::Price, c.price);
    addSpan(e, Field::Notes, c.notes);

    try {
        if (present(data.works(id))) {
            constexpr std::size_t kLine = WorksLine::kSize;
            const Bytes all = readWholeRecords(data.works(id), kLine);
            e.worksCount = all.size() / kLine;
            // Most lines are far shorter than their fields.
            e.text.reserve(e.text.size() + all.size() / 3);
            e.folded.reserve(e.folded.size() + all.size() / 3);
            std::string latest;
            for (std::size_t i = 0; i < e.worksCount; ++i) {
                const std::span<const std::uint8_t> r(all.data() + i * kLine, kLine);
                const std::string date =
                    utf8Of(storedField(r, WorksLine::kDateOffset, WorksLine::kDateCapacity));
                const std::string_view type =
                    storedField(r, WorksLine::kTypeOffset, WorksLine::kTypeCapacity);
                const std::string key = dateKeyOrEmpty(date);
                if (key >= latest) {
                    latest = key;
                    e.lastWorksDate = date;
                    e.lastWorksType = utf8Of(type);
                }
                const auto [at, size] = storeDate(e, date);
                addStoredSpan(e, Field::WorksType, type, at, size);
                addStoredSpan(
                    e, Field::WorksComment,
                    storedField(r, WorksLine::kCommentOffset, WorksLine::kCommentCapacity), at,
                    size);
            }
        }
    } catch (const Error& x) {
        addProblem(e, x.what());
    }

    try {
        if (present(data.gallery(id))) {
            constexpr std::size_t kRecord = PhotoRecord::kSize;
            const Bytes all = readWholeRecords(data.gallery(id), kRecord);
            e.photoCount = all.size() / kRecord;
            std::string latest;
            for (std::size_t i = 0; i < e.photoCount; ++i) {
                const std::span<const std::uint8_t> r(all.data() + i * kRecord, kRecord);
                const std::string date =
                    utf8Of(storedField(r, PhotoRecord::kDateOffset, PhotoRecord::kDateCapacity));
                const std::string key = dateKeyOrEmpty(date);
                if (key >= latest) {
                    latest = key;
                    e.lastPhotoDate = date;
                }
                const auto [at, size] = storeDate(e, date);
                addStoredSpan(
                    e, Field::PhotoComment,
                    storedField(r, PhotoRecord::kCommentOffset, PhotoRecord::kCommentCapacity), at,
                    size);
            }
        }
    } catch (const Error& x) {
        addProblem(e, x.what());
    }
    e.text.shrink_to_fit();
    e.folded.shrink_to_fit();
    e.spans.shrink_to_fit();
    return e;
}

std::vector<std::string> listTreeIds(const DataPaths& data) {
    std::vector<std::string> ids;
    const fs::path folder = data.fiches();
    if (!present(folder)) return ids;
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() <= 4 || name.compare(name.size() - 4, 4, ".SIG") != 0) continue;
        std::error_code typeEc;
        if (!it->is_regular_file(typeEc)) continue;
        const std::string id = name.substr(0, name.size() - 4);
        if (isBareFileName(id)) ids.push_back(id);
    }
    if (ec) throw IoError("list", folder, ec.message());
    std::sort(ids.begin(), ids.end());
    return ids;
}

std::vector<std::string> searchWords(std::string_view query) {
    const std::string folded = foldForCompare(query);
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < folded.size()) {
        while (i < folded.size() && isBlank(folded[i])) ++i;
        std::size_t j = i;
        while (j < folded.size() && !isBlank(folded[j])) ++j;
        if (j > i) words.push_back(folded.substr(i, j - i));
        i = j;
    }
    return words;
}

namespace {
bool contains(std::string_view text, std::string_view word) {
    // glibc's memmem is several times quicker than a plain find over the long folded texts.
    return ::memmem(text.data(), text.size(), word.data(), word.size()) != nullptr;
}
}  // namespace

bool matchesAll(const TreeEntry& tree, const std::vector<std::string>& words) {
    return std::all_of(words.begin(), words.end(),
                       [&](const std::string& w) { return contains(tree.folded, w); });
}

bool narrows(const std::vector<std::string>& before, const std::vector<std::string>& now) {
    return std::all_of(before.begin(), before.end(), [&](const std::string& b) {
        return std::any_of(now.begin(), now.end(),
                           [&](const std::string& n) { return n.find(b) != std::string::npos; });
    });
}

std::vector<Match> matchesOf(const TreeEntry& tree, const std::vector<std::string>& words) {
    std::vector<Match> out;
    if (words.empty()) return out;
    const std::string_view folded(tree.folded), text(tree.text);
    for (const TreeEntry::Span& s : tree.spans) {
        const std::string_view f = folded.substr(s.foldBegin, s.foldSize);
        const bool any = std::any_of(words.begin(), words.end(),
                                     [&](const std::string& w) { return contains(f, w); });
        if (!any) continue;
        out.push_back(makeMatch(s.field, std::string(text.substr(s.dateBegin, s.dateSize)),
                                text.substr(s.textBegin, s.textSize), words));
    }
    return out;
}

std::optional<Match> bestMatch(const TreeEntry& tree, const std::vector<std::string>& words) {
    if (words.empty()) return std::nullopt;
    // Count the words of each text on the fold first; only the winner gets its excerpt made.
    const std::string_view folded(tree.folded), text(tree.text);
    const TreeEntry::Span* best = nullptr;
    std::size_t bestCount = 0;
    for (const TreeEntry::Span& s : tree.spans) {
        const std::string_view f = folded.substr(s.foldBegin, s.foldSize);
        const auto count = static_cast<std::size_t>(std::count_if(
            words.begin(), words.end(), [&](const auto& w) { return contains(f, w); }));
        if (count > bestCount) {
            best = &s;
            bestCount = count;
            if (count == words.size()) break;
        }
    }
    if (!best) return std::nullopt;
    return makeMatch(best->field, std::string(text.substr(best->dateBegin, best->dateSize)),
                     text.substr(best->textBegin, best->textSize), words);
}

CollectionIndex CollectionIndex::build(const DataPaths& data) {
    CollectionIndex index;
    index.data_ = data;
    const std::vector<std::string> ids = listTreeIds(data);
    index.trees_.reserve(ids.size());
    for (const std::string& id : ids) {
        TreeEntry e = readTree(data, id);
        // A tree deleted while the folder was being read is simply gone.
        if (!e.problem.empty() && !present(data.card(id))) continue;
        index.trees_.push_back(std::move(e));
    }
    return index;
}

void CollectionIndex::refresh(const std::string& id) {
    auto it = std::lower_bound(trees_.begin(), trees_.end(), id,
                               [](const TreeEntry& e, const std::string& v) { return e.id < v; });
    const bool known = it != trees_.end() && it->id == id;
    if (!isBareFileName(id) || !present(data_.card(id))) {
        if (known) trees_.erase(it);
        return;
    }
    TreeEntry fresh = readTree(data_, id);
    if (known)
        *it = std::move(fresh);
    else
        trees_.insert(it, std::move(fresh));
}

std::vector<std::string> CollectionIndex::update(const std::string& always) {
    const std::vector<std::string> ids = listTreeIds(data_);
    std::vector<std::string> changed;
    auto known = trees_.begin();
    auto listed = ids.begin();
    while (known != trees_.end() || listed != ids.end()) {
        if (listed == ids.end() || (known != trees_.end() && known->id < *listed)) {
            changed.push_back((known++)->id);  // gone
        } else if (known == trees_.end() || *listed < known->id) {
            changed.push_back(*listed++);  // new
        } else {
            if (known->id == always || known->stamps != stampsOf(data_, known->id))
                changed.push_back(known->id);
            ++known;
            ++listed;
        }
    }
    for (const std::string& id : changed) refresh(id);
    return changed;
}

std::vector<std::size_t> CollectionIndex::filter(const std::vector<std::string>& words) const {
    std::vector<std::size_t> all(trees_.size());
    for (std::size_t i = 0; i < all.size(); ++i) all[i] = i;
    return filter(words, all);
}

std::vector<std::size_t> CollectionIndex::filter(const std::vector<std::string>& words,
                                                 const std::vector<std::size_t>& among) const {
    // The longest word first: it is the likeliest to rule a tree out at once.
    std::vector<std::string> ordered = words;
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const auto& a, const auto& b) { return a.size() > b.size(); });
    std::vector<std::size_t> out;
    out.reserve(among.size());
    for (std::size_t i : among)
        if (i < trees_.size() && matchesAll(trees_[i], ordered)) out.push_back(i);
    return out;
}

}  // namespace tavo
