#pragma once
// The program's own command-line options, read before any window exists. Everything else on the
// command line belongs to the windowing toolkit and is handed to it unchanged.
#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

namespace tavo {

struct StartOptions {
    enum class Action { Run, Help, Version, Usage };
    Action action = Action::Run;
    // --data-folder DIR; empty when not given (the current directory is the data folder).
    std::filesystem::path dataFolder;
    // The program name and every argument left for the windowing toolkit, in order.
    std::vector<std::string> toolkitArgs;
    // Why the command line was refused (Action::Usage).
    std::string error;
};

// Reads --data-folder DIR (or --data-folder=DIR), --help (-h) and --version. Single-dash
// arguments and the toolkit's own long options (--platform, --style, ...) with their values
// are left for the toolkit; an unknown long option is refused, so a mistyped option is not
// silently ignored. "--" hands everything after it to the toolkit.
StartOptions parseStartOptions(const std::vector<std::string>& args);

// Does what the options ask before the windows are made: prints the help, the version or the
// refusal, or changes the current directory to the data folder. Returns the exit code when the
// program must stop there, or -1 to go on and open the windows.
int applyStartOptions(const StartOptions& options, std::ostream& out, std::ostream& err);

// The text of --help for a program started as `program`.
std::string helpText(const std::string& program);

}  // namespace tavo
