#include "cli/cli.h"

#include <memory>
#include <ostream>
#include <system_error>

#include "common/folder_lock.h"
#include "safety/restore.h"
#include "tavo_version.h"

namespace tavo::cli {

namespace {

constexpr const char* kProgram = "tavo-cli";

std::string programHelp() {
    std::string s =
        "Usage: tavo-cli [--data-folder DIR] COMMAND [OPTIONS]\n"
        "Reads and changes the records of a bonsai collection kept by Tavo, from a terminal.\n"
        "\n"
        "The data folder is the current directory unless --data-folder names another one.\n"
        "\n"
        "Commands:\n";
    for (const Command& c : commands()) {
        std::string name = c.name;
        name.resize(std::max<std::size_t>(name.size() + 2, 12), ' ');
        s += "  " + name + c.summary + "\n";
    }
    s += "\n"
         "Options:\n"
         "  --data-folder DIR  use DIR as the data folder\n"
         "  -h, --help         show this help, or a command's help after its name\n"
         "  --version          show the program's version\n"
         "\n"
         "Exit status: 0 success, 1 the command found or did something wrong (a problem\n"
         "reported, an input refused), 2 a usage error or a data folder that cannot be used.\n";
    return s;
}

std::string commandHelp(const Command& c) {
    std::string s = std::string("Usage: tavo-cli [--data-folder DIR] ") + c.name;
    if (*c.synopsis) s += std::string(" ") + c.synopsis;
    return s + "\n" + c.summary + ".\n\n" + c.details;
}

const Command* findCommand(const std::string& name) {
    for (const Command& c : commands())
        if (name == c.name) return &c;
    return nullptr;
}

// Takes `--data-folder DIR` or `--data-folder=DIR` at args[i]; false when args[i] is another
// argument.
bool takeDataFolder(const std::vector<std::string>& args, std::size_t& i,
                    std::optional<std::string>& folder) {
    const std::string& a = args[i];
    std::string value;
    if (a == "--data-folder") {
        if (i + 1 >= args.size()) throw UsageError("--data-folder needs a folder");
        value = args[++i];
    } else if (a.starts_with("--data-folder=")) {
        value = a.substr(std::string_view("--data-folder=").size());
    } else {
        return false;
    }
    if (value.empty()) throw UsageError("--data-folder needs a folder");
    folder = value;
    return true;
}

const OptionSpec* findOption(const Command& c, const std::string& name) {
    for (const OptionSpec& o : c.options)
        if (name == o.name) return &o;
    return nullptr;
}

// Options and operands after the command name. Returns false when --help was asked for.
bool parseCommandArgs(const Command& c, const std::vector<std::string>& args, std::size_t i,
                      Args& parsed, std::optional<std::string>& folder) {
    bool help = false, operandsOnly = false;
    for (; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (operandsOnly || a == "-" || !a.starts_with("-")) {
            parsed.operands.push_back(a);
        } else if (a == "--") {
            operandsOnly = true;
        } else if (a == "-h" || a == "--help") {
            help = true;
        } else if (takeDataFolder(args, i, folder)) {
        } else if (a.starts_with("--")) {
            const std::size_t eq = a.find('=');
            const std::string name = a.substr(2, eq == std::string::npos ? eq : eq - 2);
            const OptionSpec* o = findOption(c, name);
            if (!o) throw UsageError("unknown option " + a + " for " + c.name);
            std::string value;
            if (o->takesValue) {
                if (eq != std::string::npos) {
                    value = a.substr(eq + 1);
                } else {
                    if (i + 1 >= args.size()) throw UsageError("--" + name + " needs a value");
                    value = args[++i];
                }
            } else if (eq != std::string::npos) {
                throw UsageError("--" + name + " takes no value");
            }
            parsed.options.emplace_back(name, value);
        } else {
            throw UsageError("unknown option " + a + " for " + c.name);
        }
    }
    if (help) return false;
    if (parsed.operands.size() < c.minOperands)
        throw UsageError(std::string(c.name) + " needs " + c.synopsis);
    if (parsed.operands.size() > c.maxOperands)
        throw UsageError("too many operands for " + std::string(c.name));
    return true;
}

// A data folder the command cannot use: exit kUsage, without the help hint of a usage error.
class UnusableFolder : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The data folder, made absolute, once it is known to be usable for the command.
fs::path usableDataFolder(const Command& c, const std::optional<std::string>& given) {
    std::error_code ec;
    fs::path folder = given ? fs::path(*given) : fs::current_path(ec);
    if (ec) throw UnusableFolder("cannot find the current directory: " + ec.message());
    folder = fs::absolute(folder, ec);
    if (!fs::is_directory(folder, ec))
        throw UnusableFolder("the data folder \"" + folder.string() + "\" is not a folder");
    if (c.folder == FolderNeed::DataSet) {
        const fs::file_status fiches = fs::status(DataPaths{folder}.fiches(), ec);
        // A folder we may not look into is not the same as a folder without FICHES.
        if (ec && ec != std::errc::no_such_file_or_directory)
            throw UnusableFolder("the data folder \"" + folder.string() +
                                 "\" cannot be read: " + ec.message());
        if (!fs::is_directory(fiches))
            throw UnusableFolder("\"" + folder.string() +
                                 "\" is not a Tavo data folder (it has no FICHES folder)");
    }
    return folder.lexically_normal();
}

}  // namespace

bool Args::has(const std::string& name) const {
    for (const auto& [n, v] : options)
        if (n == name) return true;
    return false;
}

std::optional<std::string> Args::value(const std::string& name) const {
    std::optional<std::string> found;
    for (const auto& [n, v] : options)
        if (n == name) found = v;
    return found;
}

std::string Args::required(const std::string& name) const {
    const std::optional<std::string> v = value(name);
    if (!v) throw UsageError("--" + name + " is needed");
    return *v;
}

void Context::report(const std::string& text) const {
    err << kProgram << ": " << oneLine(text) << "\n";
}

std::string oneLine(const std::string& text) {
    std::string s = text;
    for (char& ch : s)
        if (ch == '\n' || ch == '\r' || ch == '\t') ch = ' ';
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

std::string existingTree(const Context& ctx, const std::string& id) {
    if (!isBareFileName(id)) throw RefusedInput("\"" + id + "\" is not a tree identifier");
    std::error_code ec;
    const fs::path card = ctx.data().card(id);
    const fs::file_status status = fs::status(card, ec);
    if (status.type() == fs::file_type::not_found)
        throw RefusedInput("no tree " + id + " in this data folder: \"" + card.string() +
                           "\" does not exist");
    // Something stands there that no reader takes: say what, not that it is missing.
    if (ec)
        throw RefusedInput("the card \"" + card.string() + "\" cannot be read: " + ec.message());
    if (!fs::is_regular_file(status))
        throw RefusedInput("the card \"" + card.string() + "\" is not a regular file");
    return id;
}

fs::path existingFolder(const std::string& option, const std::string& folder) {
    std::error_code ec;
    const fs::path path = fs::absolute(folder, ec).lexically_normal();
    if (folder.empty() || !fs::is_directory(path, ec))
        throw RefusedInput("--" + option + " \"" + folder + "\": no such folder");
    return path;
}

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const Command* command = nullptr;
    try {
        std::optional<std::string> folder;
        std::size_t i = 1;
        bool help = false, version = false;
        for (; i < args.size() && !command; ++i) {
            const std::string& a = args[i];
            if (a == "-h" || a == "--help") {
                help = true;
            } else if (a == "--version") {
                version = true;
            } else if (takeDataFolder(args, i, folder)) {
            } else if (a.starts_with("-")) {
                throw UsageError("unknown option " + a);
            } else {
                command = findCommand(a);
                if (!command) throw UsageError("unknown command " + a);
            }
        }
        if (help) {
            out << (command ? commandHelp(*command) : programHelp());
            return kOk;
        }
        if (version) {
            out << kProgram << " (Tavo) " << TAVO_VERSION << "\n";
            return kOk;
        }
        if (!command) throw UsageError("no command given");
        Args parsed;
        if (!parseCommandArgs(*command, args, i, parsed, folder)) {
            out << commandHelp(*command);
            return kOk;
        }
        const Context ctx{usableDataFolder(*command, folder), out, err};
        // Nothing may change a data folder that an interrupted restore left half swapped; the
        // windows finish such a restore at start-up, and so do the commands that write.
        // One writer at a time: a command that writes holds the folder's lock while it runs.
        std::unique_ptr<FolderLock> lock;
        if (command->writes) {
            auto attempt = FolderLock::take(ctx.data());
            if (!attempt.lock)
                throw RefusedInput("the data folder is in use by " + attempt.holder.describe() +
                                   "; nothing was changed");
            lock = std::move(attempt.lock);
            recoverInterruptedRestore(ctx.data());
        }
        return command->run(ctx, parsed);
    } catch (const UsageError& e) {
        err << kProgram << ": " << oneLine(e.what()) << " (see '" << kProgram
            << (command ? std::string(" ") + command->name : std::string()) << " --help')\n";
        return kUsage;
    } catch (const UnusableFolder& e) {
        err << kProgram << ": " << oneLine(e.what()) << "\n";
        return kUsage;
    } catch (const std::exception& e) {
        err << kProgram << ": " << oneLine(e.what()) << "\n";
        return kProblem;
    }
}

}  // namespace tavo::cli
