// The command table of tavo-cli.
#include "cli/cli.h"

namespace tavo::cli {

// Each command lives in its own file, command_<name>.cpp, as a function returning its Command
// (name, synopsis, help texts, options, operand counts, what it needs of the data folder, and
// its run function). To add one: write that file, add it to src/cli/CMakeLists.txt, declare
// its function below and add one line to the table; parsing, --help, the data-folder checks and
// the error path come from cli.cpp. Listing commands take --json and write their document
// with JsonWriter (common/json_writer.h).
Command listCommand();
Command showCommand();
Command addPhotoCommand();
Command backupCommand();
Command restoreCommand();
Command archiveCommand();
Command checkCommand();
Command searchCommand();
Command dueCommand();
Command exportCommand();
Command importCommand();

const std::vector<Command>& commands() {
    static const std::vector<Command> table = {
        listCommand(),    showCommand(),    addPhotoCommand(), backupCommand(),
        restoreCommand(), archiveCommand(), checkCommand(),    searchCommand(),
        dueCommand(),     exportCommand(),  importCommand(),
    };
    return table;
}

}  // namespace tavo::cli
