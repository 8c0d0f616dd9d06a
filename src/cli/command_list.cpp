// tavo-cli list: every tree of the data folder, one line (or JSON object) each.
#include <algorithm>
#include <ostream>
#include <system_error>
#include <tuple>

#include "cards/card_file.h"
#include "cli/cli.h"
#include "common/json_writer.h"
#include "photos/gallery_file.h"
#include "works/works_file.h"

namespace tavo::cli {

namespace {

struct TreeRow {
    std::string id;
    TreeCard card;
    std::size_t works = 0;
    std::size_t photos = 0;
};

// The trees are the cards of FICHES: a tree whose reference photo was lost still has records.
std::vector<std::string> cardIds(const DataPaths& data) {
    std::vector<std::string> ids;
    std::error_code ec;
    for (fs::directory_iterator it(data.fiches(), ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path& p = it->path();
        if (p.extension() == ".SIG" && !p.stem().empty() && it->is_regular_file(ec))
            ids.push_back(p.stem().string());
    }
    if (ec) throw IoError("list folder", data.fiches(), ec.message());
    return ids;
}

int runList(const Context& ctx, const Args& args) {
    const DataPaths data = ctx.data();
    std::vector<TreeRow> rows;
    int status = kOk;
    for (const std::string& id : cardIds(data)) {
        // A damaged tree is reported and the others are still listed.
        try {
            rows.push_back({id, readCard(data, id), WorksFile(data, id).count(),
                            GalleryFile(ctx.data(), id).count()});
        } catch (const Error& e) {
            ctx.report(e.what());
            status = kProblem;
        }
    }
    std::sort(rows.begin(), rows.end(), [](const TreeRow& a, const TreeRow& b) {
        return std::tie(a.card.treeName, a.id) < std::tie(b.card.treeName, b.id);
    });
    if (args.has("json")) {
        JsonWriter json(2);
        json.beginArray();
        for (const TreeRow& r : rows) {
            json.beginObject()
                .member("id", r.id)
                .member("name", r.card.treeName)
                .member("botanicalName", r.card.botanicalName)
                .member("acquired", r.card.acquisitionDate)
                .member("works", r.works)
                .member("photos", r.photos)
                .endObject();
        }
        json.endArray();
        ctx.out << json.str() << "\n";
    } else {
        for (const TreeRow& r : rows)
            ctx.out << r.id << '\t' << oneLine(r.card.treeName) << '\t'
                    << oneLine(r.card.botanicalName) << '\t' << r.card.acquisitionDate << '\t'
                    << r.works << '\t' << r.photos << '\n';
    }
    return status;
}

}  // namespace

Command listCommand() {
    return {"list",
            "[--json]",
            "List every tree of the collection",
            "One line per tree, sorted by tree name then identifier, with tab-separated fields:\n"
            "identifier, tree name, botanical name, acquisition date, number of works lines,\n"
            "number of photos.\n"
            "\n"
            "  --json  one JSON array of objects with the members id, name, botanicalName,\n"
            "          acquired, works and photos\n",
            {{"json", false}},
            0,
            0,
            FolderNeed::DataSet,
            false,
            runList};
}

}  // namespace tavo::cli
