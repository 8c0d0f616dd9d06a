#pragma once
// tavo-cli: the data folder's commands for scripts, timers and terminals, over the same core
// functions as the windows. Results go to standard output, one line per error to standard error.
//
// Exit statuses: kOk, kProblem when the command ran and found or did something wrong (a refused
// input, a picture skipped, a failed backup), kUsage for a bad command line or a data folder that
// cannot be used.
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/errors.h"
#include "common/paths.h"

namespace tavo::cli {

namespace fs = std::filesystem;

inline constexpr int kOk = 0;
inline constexpr int kProblem = 1;
inline constexpr int kUsage = 2;

// A command line the program cannot follow: exit kUsage.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// An input the command refuses (unknown tree, missing folder, existing archive): exit kProblem.
class RefusedInput : public Error {
  public:
    using Error::Error;
};

struct OptionSpec {
    const char* name;  // without the leading "--"
    bool takesValue;
};

// The options and operands given after the command name.
class Args {
  public:
    std::vector<std::string> operands;

    bool has(const std::string& name) const;
    // The value of the last `--name VALUE` given.
    std::optional<std::string> value(const std::string& name) const;
    // The value of an option the command cannot do without; UsageError when it is missing.
    std::string required(const std::string& name) const;

    std::vector<std::pair<std::string, std::string>> options;  // name, value ("" for flags)
};

// What a command needs to run.
struct Context {
    fs::path dataFolder;  // absolute
    std::ostream& out;
    std::ostream& err;

    DataPaths data() const { return DataPaths{dataFolder}; }
    // Writes one problem line to standard error: "tavo-cli: <text>".
    void report(const std::string& text) const;
};

// What the data folder must be before a command runs.
enum class FolderNeed {
    DataSet,    // an existing folder holding FICHES
    AnyFolder,  // an existing folder (restore may fill an empty one)
};

struct Command {
    const char* name;
    const char* synopsis;  // operands and options, after "tavo-cli COMMAND"
    const char* summary;   // one line for the program's --help
    const char* details;   // the rest of the command's --help
    std::vector<OptionSpec> options;
    std::size_t minOperands;
    std::size_t maxOperands;  // kAnyNumber for no limit
    FolderNeed folder;
    // Changes the data folder: an interrupted restore is finished first, and this is where the
    // one-writer lock of the data folder is to be taken.
    bool writes;
    int (*run)(const Context&, const Args&);
};

inline constexpr std::size_t kAnyNumber = static_cast<std::size_t>(-1);

// The commands, in the order the help lists them.
const std::vector<Command>& commands();

// Runs the program on `args` (args[0] is the program name); returns the exit status.
int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// ---- Helpers shared by the commands ------------------------------------------------------

// The identifier of a tree of the data folder: a bare name whose card FICHES/<id>.SIG exists.
// RefusedInput otherwise.
std::string existingTree(const Context& ctx, const std::string& id);

// An existing folder named by an option; RefusedInput otherwise.
fs::path existingFolder(const std::string& option, const std::string& folder);

// `text` on one line: line breaks and tabs become spaces.
std::string oneLine(const std::string& text);

}  // namespace tavo::cli
