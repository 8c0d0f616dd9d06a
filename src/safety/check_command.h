#pragma once
// The command "check [--repair] [--json] [--backup-to <folder>]" over the checker, so that the
// command line only parses its options and prints what comes back.
//
// Exit status: 0 the folder is whole (after the repair, with --repair); 1 problems found, or the
// repair refused (the folder is in use, the backup failed); 2 a usage error or a folder that is
// not there.
#include <filesystem>
#include <string>

#include "safety/backup.h"

namespace tavo {

struct CheckCommand {
    std::filesystem::path dataFolder;
    bool repair = false;
    bool json = false;
    std::filesystem::path backupTo;  // required with repair
};

struct CommandResult {
    int exitStatus = 0;
    std::string out;  // the report, for standard output
    std::string err;  // one line, for standard error; empty when none
};

// Runs the check (and the repair, under the folder lock). Never throws: failures come back in
// `err` with their exit status.
CommandResult runCheckCommand(const CheckCommand& command, const LocalTime& now);

}  // namespace tavo
