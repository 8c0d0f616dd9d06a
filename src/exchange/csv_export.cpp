// Four CSV tables (RFC 4180) for spreadsheets: trees, works, photos and the reference lists.
// Dates are ISO 8601; a stored date that is not a valid date keeps its text in the column
// beside it, so nothing typed is lost.
#include "cards/card_file.h"
#include "exchange/exchange_texts.h"
#include "exchange/formats.h"
#include "lists/list_files.h"
#include "photos/gallery_file.h"
#include "works/works_line.h"

namespace tavo {

namespace {

constexpr const char* kBom = "\xEF\xBB\xBF";

void row(std::string& out, std::initializer_list<std::string> fields) {
    bool first = true;
    for (const auto& f : fields) {
        if (!first) out += ',';
        out += csvField(f);
        first = false;
    }
    out += "\r\n";
}

// The ISO date, and the stored text when it is not a date.
std::pair<std::string, std::string> dateColumns(const std::string& text) {
    const auto iso = isoDate(text);
    return iso ? std::pair{*iso, std::string()} : std::pair{std::string(), text};
}

}  // namespace

std::string csvField(const std::string& value) {
    if (value.find_first_of(",\"\r\n") == std::string::npos) return value;
    std::string out = "\"";
    for (char c : value) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

CsvFiles collectionCsv(const CollectionData& data) {
    CsvFiles f;
    f.trees = f.works = f.photos = f.lists = kBom;
    row(f.trees, {"id", "name", "botanical_name", "cultivar", "common_name", "english_name",
                  "provenance", "acquisition_date", "acquisition_date_text", "age", "age_estimated",
                  "state", "price", "notes", "creation_date", "creation_date_text"});
    row(f.works, {"tree_id", "line", "date", "date_text", "type", "comment"});
    row(f.photos, {"tree_id", "position", "file_name", "date", "date_text", "comment"});
    row(f.lists, {"list", "position", "label", "common_name", "english_name"});
    for (const auto& t : data.trees) {
        const TreeCard c = decodeCard(t.card);
        const auto [acq, acqText] = dateColumns(c.acquisitionDate);
        const auto [made, madeText] = dateColumns(c.creationDate);
        row(f.trees, {t.id, c.treeName, c.botanicalName, c.cultivar, c.commonName, c.englishName,
                      c.provenance, acq, acqText, c.age, c.ageEstimated, c.state, c.price, c.notes,
                      made, madeText});
        std::size_t n = 0;
        for (const auto& raw : t.works) {
            const WorksLine l = decodeWorksLine(raw);
            const auto [d, dText] = dateColumns(l.date);
            row(f.works, {t.id, std::to_string(++n), d, dText, l.type, l.comment});
        }
        n = 0;
        for (const auto& raw : t.photos) {
            const PhotoRecord p = decodePhotoRecord(raw);
            const auto [d, dText] = dateColumns(p.date);
            row(f.photos, {t.id, std::to_string(++n), p.fileName, d, dText, p.comment});
        }
    }
    for (const auto& [name, list] :
         {std::pair{"types", &data.types}, std::pair{"states", &data.states}}) {
        if (!*list) continue;
        std::size_t n = 0;
        for (const auto& raw : **list)
            row(f.lists, {name, std::to_string(++n), decodeLabelEntry(raw), "", ""});
    }
    if (data.names) {
        std::size_t n = 0;
        for (const auto& raw : *data.names) {
            const BotanicalName b = decodeBotanicalName(raw);
            row(f.lists, {"botanical_names", std::to_string(++n), b.latin, b.common, b.english});
        }
    }
    return f;
}

}  // namespace tavo
