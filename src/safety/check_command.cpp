#include "safety/check_command.h"

#include <system_error>

#include "common/errors.h"
#include "common/folder_lock.h"
#include "safety/integrity_check.h"

namespace tavo {

CommandResult runCheckCommand(const CheckCommand& command, const LocalTime& now) {
    std::error_code ec;
    if (!std::filesystem::is_directory(command.dataFolder, ec))
        return {2, "", "check: " + command.dataFolder.string() + " is not a folder\n"};
    if (command.repair && command.backupTo.empty())
        return {2, "", "check: --repair needs --backup-to <folder> for the backup made first\n"};
    try {
        if (!command.repair) {
            const auto problems = checkDataFolder(DataPaths{command.dataFolder});
            return {problems.empty() ? 0 : 1,
                    command.json ? reportJson(problems) : reportText(problems), ""};
        }
        const auto attempt = FolderLock::take(DataPaths{command.dataFolder});
        if (!attempt.lock)
            return {1, "",
                    "check: the data folder is in use by " + attempt.holder.describe() +
                        "; nothing was repaired\n"};
        const RepairOutcome outcome = repairDataFolder(*attempt.lock, command.backupTo, now);
        return {outcome.remaining.empty() ? 0 : 1,
                command.json ? repairJson(outcome) : repairText(outcome), ""};
    } catch (const std::exception& e) {
        return {1, "", std::string("check: ") + e.what() + "\n"};
    }
}

}  // namespace tavo
