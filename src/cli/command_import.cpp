// tavo-cli import: a new data folder built from a JSON export, byte for byte as exported.
#include <ostream>

#include "cli/cli.h"
#include "exchange/exchange.h"

namespace tavo::cli {

namespace {

int runImport(const Context& ctx, const Args& args) {
    const fs::path into = fs::absolute(args.required("into"));
    const fs::path document = fs::absolute(args.operands.at(0));
    try {
        importCollection(document, into);
    } catch (const ImportRefused& e) {
        throw RefusedInput(document.string() + ": " + e.what() + "; nothing was written");
    }
    ctx.out << into.string() << "\n";
    return kOk;
}

}  // namespace

Command importCommand() {
    return {"import",
            "FILE.json --into DIR",
            "Build a data folder from a JSON export",
            "Builds the data folder DIR (new or empty) from a collection.json written by\n"
            "`tavo-cli export --format json`, photos included; the files are those the export\n"
            "was made from, byte for byte. A document that does not match its schema is refused\n"
            "with the first offending place, and nothing is written. Prints the folder made.\n",
            {{"into", true}},
            1,
            1,
            FolderNeed::AnyFolder,
            false,
            runImport};
}

}  // namespace tavo::cli
