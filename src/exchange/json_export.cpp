// collection.json: every tree with its card, works and photos, the three lists and the settings.
// Texts are UTF-8; dates are given as stored and as ISO 8601. What the texts alone cannot
// rebuild byte for byte travels as "filler" or "raw" (see record_fidelity.h).
#include <algorithm>
#include <functional>

#include "cards/card_file.h"
#include "common/cp1252.h"
#include "common/json_writer.h"
#include "exchange/exchange_texts.h"
#include "exchange/formats.h"
#include "exchange/record_fidelity.h"
#include "lists/list_files.h"
#include "photos/gallery_file.h"
#include "works/works_line.h"

namespace tavo {

namespace {

using Sections =
    std::vector<std::pair<std::string, std::vector<std::pair<std::string, std::string>>>>;

void date(JsonWriter& w, const char* name, const std::string& text) {
    const auto iso = isoDate(text);
    w.key(name);
    if (iso)
        w.value(*iso);
    else
        w.null();
    w.member(std::string(name) + "_text", text);
}

void fidelity(JsonWriter& w, std::span<const FieldArea> areas, const Bytes& rebuilt,
              const Bytes& actual) {
    const Fidelity f = fidelityOf(areas, rebuilt, actual);
    if (!f.filler.empty()) {
        w.key("filler").beginObject();
        for (const auto& [name, hex] : f.filler) w.member(name, hex);
        w.endObject();
    }
    if (!f.raw.empty()) w.member("raw", f.raw);
}

std::string trim(const std::string& s) {
    const auto b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

// Sections and keys of an INI text, first occurrence of each, in file order.
Sections parseSettings(const std::string& utf8) {
    Sections out;
    std::vector<std::pair<std::string, std::string>>* current = nullptr;
    std::size_t at = 0;
    while (at < utf8.size()) {
        std::size_t end = utf8.find('\n', at);
        if (end == std::string::npos) end = utf8.size();
        std::string line = utf8.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        line = trim(line);
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            const std::string name = line.substr(1, line.size() - 2);
            const auto same = std::find_if(out.begin(), out.end(),
                                           [&](const auto& s) { return s.first == name; });
            if (same == out.end()) {
                out.emplace_back(name, std::vector<std::pair<std::string, std::string>>{});
                current = &out.back().second;
            } else {
                current = nullptr;
            }
            continue;
        }
        const auto eq = line.find('=');
        if (!current || eq == std::string::npos) continue;
        const std::string key = trim(line.substr(0, eq));
        if (std::none_of(current->begin(), current->end(),
                         [&](const auto& kv) { return kv.first == key; }))
            current->emplace_back(key, trim(line.substr(eq + 1)));
    }
    return out;
}

}  // namespace

std::string galleryPhotoLink(const std::string& fileName) {
    return "photos/" + fileName;
}
std::string referencePhotoLink(const std::string& id) {
    return "references/" + id + ".JPG";
}

bool isSafePhotoName(const std::string& fileName) {
    return isBareFileName(fileName);
}

std::string settingsText(const Sections& sections) {
    std::string text;
    for (const auto& [name, keys] : sections) {
        text += "[" + name + "]\r\n";
        for (const auto& [k, v] : keys) text += k + "=" + v + "\r\n";
    }
    return text;
}

std::string collectionJson(const CollectionData& data,
                           const std::function<bool(const std::string&)>& present) {
    JsonWriter w(1);
    w.beginObject().member("format", "tavo-collection").member("version", 1);
    w.key("trees").beginArray();
    for (const auto& t : data.trees) {
        const TreeCard c = decodeCard(t.card);
        w.beginObject().member("id", t.id);
        date(w, "creation_date", c.creationDate);
        w.member("name", c.treeName)
            .member("botanical_name", c.botanicalName)
            .member("cultivar", c.cultivar)
            .member("common_name", c.commonName)
            .member("english_name", c.englishName)
            .member("provenance", c.provenance);
        date(w, "acquisition_date", c.acquisitionDate);
        w.member("age", c.age)
            .member("age_estimated", c.ageEstimated)
            .member("state", c.state)
            .member("price", c.price)
            .member("notes", c.notes)
            .member("reserved", c.reserved);
        w.key("reference_photo");
        if (t.referencePhoto)
            w.value(referencePhotoLink(t.id));
        else
            w.null();
        fidelity(w, cardAreas(), encodeCard(c), t.card);

        w.key("works").beginArray();
        for (const auto& raw : t.works) {
            const WorksLine l = decodeWorksLine(raw);
            w.beginObject();
            date(w, "date", l.date);
            w.member("type", l.type).member("comment", l.comment);
            fidelity(w, worksLineAreas(), encodeWorksLine(l), raw);
            w.endObject();
        }
        w.endArray();

        w.key("photos").beginArray();
        for (const auto& raw : t.photos) {
            const PhotoRecord p = decodePhotoRecord(raw);
            w.beginObject().key("file");
            if (present(p.fileName))
                w.value(galleryPhotoLink(p.fileName));
            else
                w.null();
            w.member("file_name", p.fileName);
            date(w, "date", p.date);
            w.member("comment", p.comment);
            fidelity(w, photoAreas(), encodePhotoRecord(p), raw);
            w.endObject();
        }
        w.endArray().endObject();
    }
    w.endArray();

    w.key("lists").beginObject();
    for (const auto& [name, list] :
         {std::pair{"types", &data.types}, std::pair{"states", &data.states}}) {
        w.key(name);
        if (!*list) {
            w.null();
            continue;
        }
        w.beginArray();
        for (const auto& raw : **list) {
            const std::string label = decodeLabelEntry(raw);
            w.beginObject().member("label", label);
            fidelity(w, labelAreas(), encodeLabelEntry(label), raw);
            w.endObject();
        }
        w.endArray();
    }
    w.key("botanical_names");
    if (!data.names) {
        w.null();
    } else {
        w.beginArray();
        for (const auto& raw : *data.names) {
            const BotanicalName n = decodeBotanicalName(raw);
            w.beginObject()
                .member("latin", n.latin)
                .member("common", n.common)
                .member("english", n.english);
            fidelity(w, botanicalNameAreas(), encodeBotanicalName(n), raw);
            w.endObject();
        }
        w.endArray();
    }
    w.endObject();

    w.key("settings");
    if (!data.settings) {
        w.null();
    } else {
        const std::string text = cp1252::toUtf8(*data.settings);
        const Sections sections = parseSettings(text);
        w.beginObject().key("sections").beginObject();
        for (const auto& [name, keys] : sections) {
            w.key(name).beginObject();
            for (const auto& [k, v] : keys) w.member(k, v);
            w.endObject();
        }
        w.endObject();
        if (settingsText(sections) != text) w.member("text", text);
        w.endObject();
    }
    w.endObject();
    return w.str() + "\n";
}

}  // namespace tavo
