// tavo-cli check: the data-folder checker of Options > Données > Vérifier.
#include <ostream>

#include "cli/cli.h"
#include "common/clock.h"
#include "safety/check_command.h"

namespace tavo::cli {

namespace {

int runCheck(const Context& ctx, const Args& args) {
    CheckCommand command{ctx.dataFolder, args.has("repair"), args.has("json"), {}};
    if (command.repair) command.backupTo = existingFolder("backup-to", args.required("backup-to"));
    const CommandResult result = runCheckCommand(command, localNow());
    ctx.out << result.out;
    if (!result.err.empty()) ctx.err << "tavo-cli " << result.err;
    return result.exitStatus;
}

}  // namespace

Command checkCommand() {
    return {"check",
            "[--repair --backup-to DIR] [--json]",
            "Check the whole data folder; repair what is safe",
            "Walks the data folder and prints one line per problem: record files that are not a\n"
            "whole number of records, length bytes beyond their field, invalid dates, works logs\n"
            "out of date order, gallery records whose photo is missing, orphan photos, half-made\n"
            "trees, leftover temporary files, a card counter that does not match the cards,\n"
            "links and other non-regular files, and file-sync conflict copies. Exit status 0\n"
            "when the folder is whole, 1 when problems are found.\n"
            "\n"
            "  --repair         first make a verified backup into DIR, then mend what is safe:\n"
            "                   re-sort works logs, remove temporary files, move orphan photos to\n"
            "                   LOST+FOUND, complete half-made trees, set the card counter; what\n"
            "                   is left is printed as needing a person\n"
            "  --backup-to DIR  the folder that receives the backup (required with --repair)\n"
            "  --json           print the report as JSON\n",
            {{"repair", false}, {"backup-to", true}, {"json", false}},
            0,
            0,
            FolderNeed::DataSet,
            false,  // the repair takes the folder's lock itself; a check only reads
            runCheck};
}

}  // namespace tavo::cli
