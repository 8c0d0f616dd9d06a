// tavo-cli show: one tree's card, works log and gallery records.
#include <ostream>

#include "cards/card_file.h"
#include "cli/cli.h"
#include "common/json_writer.h"
#include "photos/gallery_file.h"
#include "works/works_file.h"

namespace tavo::cli {

namespace {

void writeJson(const Context& ctx, const std::string& id, const TreeCard& card,
               const std::vector<WorksLine>& works, const std::vector<PhotoRecord>& photos) {
    JsonWriter json(2);
    json.beginObject()
        .member("id", id)
        .member("name", card.treeName)
        .member("botanicalName", card.botanicalName)
        .member("cultivar", card.cultivar)
        .member("commonName", card.commonName)
        .member("englishName", card.englishName)
        .member("provenance", card.provenance)
        .member("acquired", card.acquisitionDate)
        .member("age", card.age)
        .member("ageEstimated", card.ageEstimated == "O")
        .member("state", card.state)
        .member("price", card.price)
        .member("notes", card.notes)
        .member("created", card.creationDate);
    json.key("works").beginArray();
    for (const WorksLine& w : works)
        json.beginObject()
            .member("date", w.date)
            .member("type", w.type)
            .member("comment", w.comment)
            .endObject();
    json.endArray();
    json.key("photos").beginArray();
    std::size_t position = 0;
    for (const PhotoRecord& p : photos)
        json.beginObject()
            .member("position", ++position)
            .member("file", p.fileName)
            .member("date", p.date)
            .member("comment", p.comment)
            .endObject();
    json.endArray();
    json.endObject();
    ctx.out << json.str() << "\n";
}

void writeText(const Context& ctx, const std::string& id, const TreeCard& card,
               const std::vector<WorksLine>& works, const std::vector<PhotoRecord>& photos) {
    std::ostream& o = ctx.out;
    const auto field = [&o](const char* label, const std::string& text) {
        o << label << oneLine(text) << '\n';
    };
    field("Identifier:     ", id);
    field("Tree name:      ", card.treeName);
    field("Botanical name: ", card.botanicalName);
    field("Cultivar:       ", card.cultivar);
    field("Common name:    ", card.commonName);
    field("English name:   ", card.englishName);
    field("Provenance:     ", card.provenance);
    field("Acquired:       ", card.acquisitionDate);
    field("Age:            ", card.age + (card.ageEstimated == "O" ? " (estimated)" : ""));
    field("State:          ", card.state);
    field("Price:          ", card.price);
    field("Created:        ", card.creationDate);
    o << "Notes:\n";
    // The notes keep their line breaks, each line indented under the heading.
    std::string line;
    for (char ch : card.notes + "\n") {
        if (ch == '\r') continue;
        if (ch != '\n') {
            line += ch;
        } else if (!line.empty()) {
            o << "  " << line << '\n';
            line.clear();
        }
    }
    o << "Works (" << works.size() << "):\n";
    for (const WorksLine& w : works)
        o << "  " << w.date << '\t' << oneLine(w.type) << '\t' << oneLine(w.comment) << '\n';
    o << "Photos (" << photos.size() << "):\n";
    std::size_t position = 0;
    for (const PhotoRecord& p : photos)
        o << "  " << ++position << '\t' << oneLine(p.fileName) << '\t' << p.date << '\t'
          << oneLine(p.comment) << '\n';
}

int runShow(const Context& ctx, const Args& args) {
    const std::string id = existingTree(ctx, args.operands[0]);
    const DataPaths data = ctx.data();
    // Everything is read before anything is printed, so a damaged file prints no half card.
    const TreeCard card = readCard(data, id);
    const std::vector<WorksLine> works = WorksFile(data, id).readAll();
    const std::vector<PhotoRecord> photos = GalleryFile(ctx.data(), id).readAll();
    if (args.has("json"))
        writeJson(ctx, id, card, works, photos);
    else
        writeText(ctx, id, card, works, photos);
    return kOk;
}

}  // namespace

Command showCommand() {
    return {"show",
            "ID [--json]",
            "Show one tree's card, works log and gallery",
            "ID is the tree's 14-digit identifier, as `tavo-cli list` shows it.\n"
            "\n"
            "  --json  one JSON object: the card's fields (id, name, botanicalName, cultivar,\n"
            "          commonName, englishName, provenance, acquired, age, ageEstimated,\n"
            "          state, price, notes, created), `works` (date, type, comment) and\n"
            "          `photos` (position, file, date, comment), both in date order\n",
            {{"json", false}},
            1,
            1,
            FolderNeed::DataSet,
            false,
            runShow};
}

}  // namespace tavo::cli
