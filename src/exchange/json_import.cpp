// Builds a data folder from a collection document. The whole document is checked and every
// file planned before the first byte is written, so a refused document leaves nothing behind.
#include <set>

#include "cards/card_file.h"
#include "common/cp1252.h"
#include "common/file_io.h"
#include "common/json_reader.h"
#include "common/paths.h"
#include "exchange/collection_data.h"
#include "exchange/exchange.h"
#include "exchange/exchange_texts.h"
#include "exchange/formats.h"
#include "exchange/output_folder.h"
#include "exchange/record_fidelity.h"
#include "lists/list_files.h"
#include "photos/gallery_file.h"
#include "works/works_line.h"

namespace tavo {

namespace fs = std::filesystem;

namespace {

// The files of the new data folder, named relative to it: the output folder writes below its
// own root.
const DataPaths kNew{};

// A document holds texts only (photos are copied from their files), so the cap every data file
// has is ample; one cap, so the refusal states the limit that applies.
constexpr std::uint64_t kMaxDocument = io::kMaxDataFileBytes;

using Filler = std::vector<std::pair<std::string, std::string>>;

struct Plan {
    std::vector<std::pair<fs::path, Bytes>> files;      // relative path -> content
    std::vector<std::pair<fs::path, fs::path>> copies;  // source -> relative path
    std::size_t trees = 0, photos = 0;
};

class Reader {
  public:
    explicit Reader(fs::path folder) : folder_(std::move(folder)) {}

    Plan plan(const JsonValue& doc) {
        Plan p;
        object(doc, "", {"format", "version", "trees", "lists", "settings"});
        const JsonValue& format = need(doc, "", "format");
        if (!format.isString() || format.text != "tavo-collection")
            fail("format", "not a Tavo collection");
        const JsonValue& version = need(doc, "", "version");
        if (version.kind != JsonValue::Kind::Number || version.text != "1")
            fail("version", "unsupported version");

        const JsonValue& trees = array(need(doc, "", "trees"), "trees");
        std::set<std::string> ids, photoNames;
        for (std::size_t i = 0; i < trees.elements.size(); ++i)
            tree(trees.elements[i], "trees[" + std::to_string(i) + "]", p, ids, photoNames);
        p.trees = trees.elements.size();
        lists(need(doc, "", "lists"), p);
        settings(need(doc, "", "settings"), p);
        return p;
    }

  private:
    [[noreturn]] static void fail(const std::string& where, const std::string& why) {
        throw ImportRefused(where, why);
    }
    static std::string at(const std::string& path, const std::string& name) {
        return path.empty() ? name : path + "." + name;
    }

    static void object(const JsonValue& v, const std::string& path,
                       std::initializer_list<const char*> allowed) {
        if (!v.isObject()) fail(path.empty() ? "document" : path, "not an object");
        for (const auto& [name, value] : v.members) {
            (void)value;
            bool known = false;
            for (const char* a : allowed) known = known || name == a;
            if (!known) fail(at(path, name), "unknown member");
        }
    }
    static const JsonValue& need(const JsonValue& obj, const std::string& path, const char* name) {
        const JsonValue* v = obj.find(name);
        if (!v) fail(at(path, name), "missing");
        return *v;
    }
    static const JsonValue& array(const JsonValue& v, const std::string& path) {
        if (!v.isArray()) fail(path, "not an array");
        return v;
    }

    // A text that a field of `capacity` Windows-1252 characters holds exactly.
    static std::string text(const JsonValue& obj, const std::string& path, const char* name,
                            std::size_t capacity) {
        const JsonValue& v = need(obj, path, name);
        if (!v.isString()) fail(at(path, name), "not a text");
        const std::string stored = cp1252::fromUtf8(v.text);
        if (cp1252::toUtf8(stored) != v.text)
            fail(at(path, name), "holds a character Windows-1252 cannot store");
        if (stored.size() > capacity)
            fail(at(path, name), "longer than " + std::to_string(capacity) + " characters");
        return v.text;
    }

    // A date: the stored text in "<name>_text", and "<name>", its ISO form or null.
    static std::string date(const JsonValue& obj, const std::string& path, const char* name) {
        const std::string textName = std::string(name) + "_text";
        const std::string stored = text(obj, path, textName.c_str(), 10);
        const JsonValue& iso = need(obj, path, name);
        if (!iso.isNull() && !(iso.isString() && isIsoDate(iso.text)))
            fail(at(path, name), "not a date");
        const auto expected = isoDate(stored);
        if (iso.isNull() != !expected || (expected && *expected != iso.text))
            fail(at(path, name), "does not match " + textName);
        return stored;
    }

    // The record's bytes: the texts encoded, then the filler or the raw bytes laid over them.
    static Bytes record(const JsonValue& obj, const std::string& path,
                        std::span<const FieldArea> areas, const Bytes& rebuilt,
                        const std::function<Bytes(const Bytes&)>& reencode) {
        Filler filler;
        if (const JsonValue* f = obj.find("filler")) {
            if (!f->isObject()) fail(at(path, "filler"), "not an object");
            for (const auto& [name, hex] : f->members) {
                Bytes b;
                if (!hex.isString() || hex.text.empty() || !fromHex(hex.text, b))
                    fail(at(path, "filler." + name), "not hex bytes");
                filler.emplace_back(name, hex.text);
            }
        }
        Bytes out;
        try {
            out = applyFiller(areas, rebuilt, filler);
        } catch (const RefusedError& e) {
            fail(at(path, "filler"), e.what());
        }
        if (const JsonValue* r = obj.find("raw")) {
            Bytes raw;
            if (!r->isString() || !fromHex(r->text, raw) || raw.size() != rebuilt.size())
                fail(at(path, "raw"),
                     "not a record of " + std::to_string(rebuilt.size()) + " bytes");
            if (!filler.empty()) fail(at(path, "raw"), "given with a filler");
            if (reencode(raw) != rebuilt) fail(at(path, "raw"), "does not match the texts");
            out = std::move(raw);
        }
        return out;
    }

    fs::path existing(const std::string& link, const std::string& where) const {
        const fs::path p = folder_ / link;
        std::error_code ec;
        // A link could carry the import to any file of the machine; plain files only.
        if (!fs::is_regular_file(fs::symlink_status(p, ec))) fail(where, "file not found: " + link);
        return p;
    }

    void tree(const JsonValue& t, const std::string& path, Plan& p, std::set<std::string>& ids,
              std::set<std::string>& photoNames) {
        object(t, path,
               {"id",
                "creation_date",
                "creation_date_text",
                "name",
                "botanical_name",
                "cultivar",
                "common_name",
                "english_name",
                "provenance",
                "acquisition_date",
                "acquisition_date_text",
                "age",
                "age_estimated",
                "state",
                "price",
                "notes",
                "reserved",
                "reference_photo",
                "filler",
                "raw",
                "works",
                "photos"});
        const JsonValue& idValue = need(t, path, "id");
        if (!idValue.isString() || !isTreeId(idValue.text))
            fail(at(path, "id"), "not a tree identifier");
        const std::string id = idValue.text;
        if (!ids.insert(id).second) fail(at(path, "id"), "given twice");

        TreeCard c;
        c.creationDate = date(t, path, "creation_date");
        c.treeName = text(t, path, "name", 100);
        c.botanicalName = text(t, path, "botanical_name", 100);
        c.cultivar = text(t, path, "cultivar", 100);
        c.commonName = text(t, path, "common_name", 100);
        c.englishName = text(t, path, "english_name", 100);
        c.provenance = text(t, path, "provenance", 100);
        c.acquisitionDate = date(t, path, "acquisition_date");
        c.age = text(t, path, "age", 3);
        c.ageEstimated = text(t, path, "age_estimated", 1);
        c.state = text(t, path, "state", 40);
        c.price = text(t, path, "price", 15);
        c.notes = text(t, path, "notes", kNotesCap);
        c.reserved = text(t, path, "reserved", 40);
        const Bytes rebuiltCard = encodeCard(c);
        p.files.emplace_back(kNew.card(id),
                             record(t, path, cardAreas(), rebuiltCard,
                                    [](const Bytes& r) { return encodeCard(decodeCard(r)); }));

        const JsonValue& ref = need(t, path, "reference_photo");
        if (!ref.isNull()) {
            if (!ref.isString() || ref.text != referencePhotoLink(id))
                fail(at(path, "reference_photo"), "must be " + referencePhotoLink(id) + " or null");
            p.copies.emplace_back(existing(ref.text, at(path, "reference_photo")),
                                  kNew.referencePhoto(id));
        }

        Bytes works;
        const JsonValue& lines = array(need(t, path, "works"), at(path, "works"));
        for (std::size_t i = 0; i < lines.elements.size(); ++i) {
            const JsonValue& l = lines.elements[i];
            const std::string lp = at(path, "works[" + std::to_string(i) + "]");
            object(l, lp, {"date", "date_text", "type", "comment", "filler", "raw"});
            WorksLine w;
            w.date = date(l, lp, "date");
            w.type = text(l, lp, "type", WorksLine::kTypeCapacity);
            w.comment = text(l, lp, "comment", WorksLine::kCommentCapacity);
            const Bytes r = record(l, lp, worksLineAreas(), encodeWorksLine(w), [](const Bytes& b) {
                return encodeWorksLine(decodeWorksLine(b));
            });
            works.insert(works.end(), r.begin(), r.end());
        }
        p.files.emplace_back(kNew.works(id), std::move(works));

        Bytes gallery;
        const JsonValue& photos = array(need(t, path, "photos"), at(path, "photos"));
        if (photos.elements.size() > static_cast<std::size_t>(kMaxPhotoNumber))
            fail(at(path, "photos"), "more than " + std::to_string(kMaxPhotoNumber) + " photos");
        for (std::size_t i = 0; i < photos.elements.size(); ++i) {
            const JsonValue& ph = photos.elements[i];
            const std::string pp = at(path, "photos[" + std::to_string(i) + "]");
            object(ph, pp, {"file", "file_name", "date", "date_text", "comment", "filler", "raw"});
            PhotoRecord r;
            r.fileName = text(ph, pp, "file_name", PhotoRecord::kFileNameCapacity);
            r.date = date(ph, pp, "date");
            r.comment = text(ph, pp, "comment", PhotoRecord::kCommentCapacity);
            const JsonValue& file = need(ph, pp, "file");
            if (!file.isNull()) {
                if (!isSafePhotoName(r.fileName))
                    fail(at(pp, "file_name"), "not a plain file name");
                if (!file.isString() || file.text != galleryPhotoLink(r.fileName))
                    fail(at(pp, "file"), "must be " + galleryPhotoLink(r.fileName) + " or null");
                if (photoNames.insert(r.fileName).second) {
                    p.copies.emplace_back(existing(file.text, at(pp, "file")),
                                          kNew.galeries() / r.fileName);
                    ++p.photos;
                }
            }
            const Bytes b = record(ph, pp, photoAreas(), encodePhotoRecord(r), [](const Bytes& x) {
                return encodePhotoRecord(decodePhotoRecord(x));
            });
            gallery.insert(gallery.end(), b.begin(), b.end());
        }
        p.files.emplace_back(kNew.gallery(id), std::move(gallery));
    }

    static void lists(const JsonValue& l, Plan& p) {
        object(l, "lists", {"types", "states", "botanical_names"});
        for (const auto& [name, file] :
             {std::pair{"types", kNew.typesList()}, std::pair{"states", kNew.statesList()}}) {
            const std::string lp = std::string("lists.") + name;
            const JsonValue& v = need(l, "lists", name);
            if (v.isNull()) continue;
            array(v, lp);
            Bytes out;
            for (std::size_t i = 0; i < v.elements.size(); ++i) {
                const std::string ep = lp + "[" + std::to_string(i) + "]";
                object(v.elements[i], ep, {"label", "filler", "raw"});
                const std::string label = text(v.elements[i], ep, "label", kLabelCapacity);
                const Bytes b =
                    record(v.elements[i], ep, labelAreas(), encodeLabelEntry(label),
                           [](const Bytes& x) { return encodeLabelEntry(decodeLabelEntry(x)); });
                out.insert(out.end(), b.begin(), b.end());
            }
            p.files.emplace_back(file, std::move(out));
        }
        const JsonValue& names = need(l, "lists", "botanical_names");
        if (names.isNull()) return;
        array(names, "lists.botanical_names");
        Bytes out;
        for (std::size_t i = 0; i < names.elements.size(); ++i) {
            const JsonValue& e = names.elements[i];
            const std::string ep = "lists.botanical_names[" + std::to_string(i) + "]";
            object(e, ep, {"latin", "common", "english", "filler", "raw"});
            BotanicalName n;
            n.latin = text(e, ep, "latin", BotanicalName::kCapacity);
            n.common = text(e, ep, "common", BotanicalName::kCapacity);
            n.english = text(e, ep, "english", BotanicalName::kCapacity);
            const Bytes b =
                record(e, ep, botanicalNameAreas(), encodeBotanicalName(n),
                       [](const Bytes& x) { return encodeBotanicalName(decodeBotanicalName(x)); });
            out.insert(out.end(), b.begin(), b.end());
        }
        p.files.emplace_back(kNew.namesList(), std::move(out));
    }

    static void settings(const JsonValue& s, Plan& p) {
        if (s.isNull()) return;
        object(s, "settings", {"sections", "text"});
        const JsonValue& sections = need(s, "settings", "sections");
        if (!sections.isObject()) fail("settings.sections", "not an object");
        std::vector<std::pair<std::string, std::vector<std::pair<std::string, std::string>>>> all;
        for (const auto& [name, keys] : sections.members) {
            const std::string sp = "settings.sections." + name;
            if (!keys.isObject()) fail(sp, "not an object");
            // A line break or bracket would slip other sections and keys into the file.
            if (name.find_first_of("\r\n[]") != std::string::npos) fail(sp, "not a section name");
            all.emplace_back(name, std::vector<std::pair<std::string, std::string>>{});
            for (const auto& [k, v] : keys.members) {
                if (k.empty() || k.find_first_of("\r\n=[") != std::string::npos)
                    fail(sp + "." + k, "not a key name");
                if (!v.isString()) fail(sp + "." + k, "not a text");
                if (v.text.find_first_of("\r\n") != std::string::npos)
                    fail(sp + "." + k, "holds a line break");
                all.back().second.emplace_back(k, v.text);
            }
        }
        std::string text = settingsText(all);
        if (const JsonValue* t = s.find("text")) {
            if (!t->isString()) fail("settings.text", "not a text");
            text = t->text;
        }
        const std::string stored = cp1252::fromUtf8(text);
        if (cp1252::toUtf8(stored) != text)
            fail("settings", "holds a character Windows-1252 cannot store");
        p.files.emplace_back(kNew.settings(), Bytes(stored.begin(), stored.end()));
    }

    fs::path folder_;
};

}  // namespace

ImportResult importCollection(const fs::path& jsonFile, const fs::path& intoFolder,
                              const Progress& progress) {
    std::error_code ec;
    if (!fs::is_regular_file(fs::status(jsonFile, ec)))
        throw IoError("read", jsonFile, "not a regular file");
    const Bytes bytes = io::readFile(jsonFile, kMaxDocument);
    JsonValue doc;
    try {
        doc =
            parseJson(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    } catch (const JsonSyntaxError& e) {
        const std::string m = e.what();
        const auto colon = m.find(": ");
        throw ImportRefused(m.substr(0, colon),
                            colon == std::string::npos ? m : m.substr(colon + 2));
    }
    const Plan plan = Reader(jsonFile.parent_path()).plan(doc);

    OutputFolder out(intoFolder, OutputFolder::Durability::DataFolder);
    for (const fs::path& d : {kNew.fiches(), kNew.galeries(), kNew.imgref()}) out.makeFolder(d);
    const std::size_t total = plan.files.size() + plan.copies.size();
    std::size_t done = 0;
    // The folder takes back what it holds when the run stops before commit().
    const auto goOn = [&] { return !progress || progress(++done, total); };
    for (const auto& [rel, content] : plan.files) {
        out.write(rel, content);
        if (!goOn()) return {true, 0, 0};
    }
    for (const auto& [source, rel] : plan.copies) {
        out.copy(source, rel);
        if (!goOn()) return {true, 0, 0};
    }
    out.commit();
    return {false, plan.trees, plan.photos};
}

}  // namespace tavo
