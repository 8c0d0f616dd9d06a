// tavo-cli restore: the staged restore of a backup folder over the data set.
#include <ostream>

#include "cli/cli.h"
#include "safety/restore.h"

namespace tavo::cli {

namespace {

int runRestore(const Context& ctx, const Args& args) {
    // The window asks before it replaces the whole data set; here the question is --yes.
    if (!args.has("yes"))
        throw UsageError("restore replaces the whole data set; add --yes to confirm");
    const fs::path source = existingFolder("from", args.required("from"));
    if (!isValidBackup(DataPaths{source}))
        throw RefusedInput("\"" + source.string() +
                           "\" is not a backup (FICHES, GALERIES, IMGREF, Tavo.ini, Types.LIB, "
                           "Etats.LIB and NomsA.LIB are needed); nothing was changed");
    const RestoreOutcome outcome = restoreBackup(DataPaths{source}, ctx.data());
    if (!outcome.succeeded()) {
        ctx.report("restore from \"" + source.string() + "\" failed: " + outcome.failure +
                   "; the data folder is as it was");
        return kProblem;
    }
    // A success may still leave replaced entries to clear; the next start does it.
    if (!outcome.failure.empty()) ctx.report(outcome.failure);
    ctx.out << source.string() << '\n';
    return kOk;
}

}  // namespace

Command restoreCommand() {
    return {"restore",
            "--from BACKUP_FOLDER --yes",
            "Replace the data set by a backup",
            "Replaces the data set of the data folder (FICHES, GALERIES, IMGREF, Tavo.ini and\n"
            "the three list files) by the one of BACKUP_FOLDER, a folder made by `backup` or\n"
            "by Options > Données > Sauvegarder. The copy is staged in the data folder first\n"
            "and swapped in only once complete: on a failure the data folder stays as it was.\n"
            "Prints the backup folder restored.\n"
            "\n"
            "  --from BACKUP_FOLDER  the backup to restore\n"
            "  --yes                 confirm the replacement (required: nothing is asked)\n",
            {{"from", true}, {"yes", false}},
            0,
            0,
            FolderNeed::AnyFolder,
            true,
            runRestore};
}

}  // namespace tavo::cli
