// tavo-cli backup: the verified backup of Options > Données > Sauvegarder.
#include <ostream>
#include <system_error>

#include "cli/cli.h"
#include "common/clock.h"
#include "safety/backup.h"

namespace tavo::cli {

namespace {

int runBackup(const Context& ctx, const Args& args) {
    const fs::path parent = existingFolder("to", args.required("to"));
    const fs::path target = parent / backupName(localNow());
    // Two runs within one second would otherwise mix their copies in one folder.
    std::error_code ec;
    if (fs::exists(fs::symlink_status(target, ec)))
        throw RefusedInput("\"" + target.string() + "\" already exists; nothing was copied");
    const BackupOutcome outcome = runBackup(ctx.data(), target, nullptr);
    if (!outcome.succeeded()) {
        const BackupEntry& failed = kBackupEntries[outcome.entriesCopied];
        ctx.report("backup into \"" + target.string() + "\" failed at " + failed.in({}).string() +
                   ": " + outcome.failure + "; the folder is incomplete");
        return kProblem;
    }
    ctx.out << target.string() << '\n';
    return kOk;
}

}  // namespace

Command backupCommand() {
    return {"backup",
            "--to DIR",
            "Back the data set up into a new dated folder",
            "Copies the data set (FICHES, GALERIES, IMGREF, Tavo.ini and the three list files)\n"
            "into DIR/Tavo-yyyymmdd-hhmmss, each copy read back and compared, as\n"
            "Options > Données > Sauvegarder does, and prints the folder made. DIR must exist.\n"
            "\n"
            "  --to DIR  the folder that receives the backup folder\n",
            {{"to", true}},
            0,
            0,
            FolderNeed::DataSet,
            false,
            runBackup};
}

}  // namespace tavo::cli
