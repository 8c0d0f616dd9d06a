// tavo-cli archive: one tree's files in Tavo-<id>.zip, as the menu's tree archive makes it.
#include <ostream>
#include <system_error>

#include "cli/cli.h"
#include "safety/tree_archive.h"

namespace tavo::cli {

namespace {

int runArchive(const Context& ctx, const Args& args) {
    const std::string id = existingTree(ctx, args.operands[0]);
    const fs::path folder = existingFolder("to", args.required("to"));
    const fs::path target = folder / treeArchiveName(id);
    std::error_code ec;
    if (!args.has("force") && fs::exists(fs::symlink_status(target, ec)))
        throw RefusedInput("\"" + target.string() + "\" already exists; --force replaces it");
    ctx.out << makeTreeArchive(ctx.data(), id, folder).string() << '\n';
    return kOk;
}

}  // namespace

Command archiveCommand() {
    return {"archive",
            "ID --to DIR [--force]",
            "Pack one tree's files into a ZIP archive",
            "Writes DIR/Tavo-<ID>.zip with the tree's reference photo, card, works log,\n"
            "gallery file and gallery photos, as Options > Fichier archive does, and prints its\n"
            "path. DIR must exist.\n"
            "\n"
            "  --to DIR  the folder that receives the archive\n"
            "  --force   replace an archive of the same name (otherwise refused)\n",
            {{"to", true}, {"force", false}},
            1,
            1,
            FolderNeed::DataSet,
            false,
            runArchive};
}

}  // namespace tavo::cli
