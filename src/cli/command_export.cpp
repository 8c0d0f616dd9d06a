// tavo-cli export: the collection as an HTML album, CSV tables or a JSON document.
#include <ostream>
#include <sstream>

#include "cli/cli.h"
#include "exchange/exchange.h"
#include "startup/settings.h"
#include "translation/language_table.h"

namespace tavo::cli {

namespace {

int runExport(const Context& ctx, const Args& args) {
    ExportOptions options;
    const std::string format = args.required("format");
    if (!parseFormat(format, options.format))
        throw UsageError("--format is html, csv or json, not \"" + format + "\"");
    if (const auto trees = args.value("trees")) {
        std::istringstream list(*trees);
        for (std::string id; std::getline(list, id, ',');)
            if (!id.empty()) options.trees.push_back(existingTree(ctx, id));
    }
    // The album speaks the interface language of the data folder.
    LanguageTable table;
    const std::string language = settings::readLanguageName(ctx.data());
    if (table.load(ctx.data().languageFile(language))) {
        const std::string code = table.find(990, 0).value_or("fr_FR").substr(0, 2);
        options.labels = albumLabels(table, code);
    }
    const fs::path out = fs::absolute(args.required("out"));
    const ExportResult result = exportCollection(ctx.data(), out, options);
    for (const std::string& warning : result.warnings) ctx.report(warning);
    ctx.out << out.string() << "\n";
    return result.warnings.empty() ? kOk : kProblem;
}

}  // namespace

Command exportCommand() {
    return {"export",
            "--format html|csv|json --out DIR [--trees ID,...]",
            "Export the collection as an HTML album, CSV tables or JSON",
            "Writes the collection (or the trees named) into DIR, which must be new or empty;\n"
            "nothing is written in the data folder, and a failed export removes what it wrote.\n"
            "Prints the folder written.\n"
            "\n"
            "  --format html  index.html and one page per tree, with the photos\n"
            "  --format csv   trees.csv, works.csv, photos.csv and lists.csv (UTF-8)\n"
            "  --format json  collection.json with its photos; `tavo-cli import` reads it back\n"
            "  --trees IDS    only these trees, identifiers separated by commas\n",
            {{"format", true}, {"out", true}, {"trees", true}},
            0,
            0,
            FolderNeed::DataSet,
            false,
            runExport};
}

}  // namespace tavo::cli
