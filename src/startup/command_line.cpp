#include "startup/command_line.h"

#include <array>
#include <ostream>
#include <string_view>
#include <system_error>

#include "tavo_version.h"

namespace tavo {
namespace {

// Long options of the windowing toolkit that take a value, then those that take none. The
// toolkit accepts them with one dash or two.
constexpr std::array<std::string_view, 11> kToolkitWithValue = {
    "platform",        "platformpluginpath", "platformtheme", "plugin",
    "qwindowgeometry", "qwindowicon",        "qwindowtitle",  "session",
    "style",           "stylesheet",         "display"};
constexpr std::array<std::string_view, 5> kToolkitFlags = {"reverse", "widgetcount", "nograb",
                                                           "dograb", "sync"};

template <std::size_t N>
bool among(const std::array<std::string_view, N>& names, std::string_view name) {
    for (std::string_view n : names)
        if (n == name) return true;
    return false;
}

StartOptions refuse(std::string error) {
    StartOptions o;
    o.action = StartOptions::Action::Usage;
    o.error = std::move(error);
    return o;
}

}  // namespace

StartOptions parseStartOptions(const std::vector<std::string>& args) {
    StartOptions o;
    o.toolkitArgs.push_back(args.empty() ? std::string("tavo") : args[0]);
    bool help = false, version = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--") {
            o.toolkitArgs.insert(o.toolkitArgs.end(), args.begin() + static_cast<long>(i) + 1,
                                 args.end());
            break;
        }
        if (a == "--help" || a == "-h") {
            help = true;
        } else if (a == "--version") {
            version = true;
        } else if (a == "--data-folder" || a.starts_with("--data-folder=")) {
            std::string value;
            if (a == "--data-folder") {
                if (i + 1 >= args.size()) return refuse("--data-folder needs a folder");
                value = args[++i];
            } else {
                value = a.substr(std::string_view("--data-folder=").size());
            }
            if (value.empty()) return refuse("--data-folder needs a folder");
            o.dataFolder = value;
        } else if (a.starts_with("--")) {
            const std::size_t eq = a.find('=');
            const std::string name = a.substr(2, eq == std::string::npos ? eq : eq - 2);
            const bool withValue = among(kToolkitWithValue, name);
            if (!withValue && !among(kToolkitFlags, name)) return refuse("unknown option " + a);
            o.toolkitArgs.push_back(a);
            if (withValue && eq == std::string::npos && i + 1 < args.size())
                o.toolkitArgs.push_back(args[++i]);
        } else {
            // Single-dash options and their values belong to the toolkit.
            o.toolkitArgs.push_back(a);
        }
    }
    if (help)
        o.action = StartOptions::Action::Help;
    else if (version)
        o.action = StartOptions::Action::Version;
    return o;
}

std::string helpText(const std::string& program) {
    return "Usage: " + program +
           " [--data-folder DIR]\n"
           "Keeps the records of a bonsai collection: tree cards, works logs, photo galleries.\n"
           "\n"
           "The data folder is the current directory unless --data-folder names another one.\n"
           "\n"
           "  --data-folder DIR  use DIR as the data folder (it must exist)\n"
           "  -h, --help         show this help and exit\n"
           "  --version          show the program's version and exit\n"
           "\n"
           "Other options are those of the Qt toolkit (for example -platform, -style).\n";
}

int applyStartOptions(const StartOptions& options, std::ostream& out, std::ostream& err) {
    const std::string program =
        options.toolkitArgs.empty() || options.toolkitArgs[0].empty()
            ? std::string("tavo")
            : std::filesystem::path(options.toolkitArgs[0]).filename().string();
    switch (options.action) {
        case StartOptions::Action::Help:
            out << helpText(program);
            return 0;
        case StartOptions::Action::Version:
            out << "Tavo " << TAVO_VERSION << "\n";
            return 0;
        case StartOptions::Action::Usage:
            err << program << ": " << options.error << "\nTry '" << program
                << " --help' for more information.\n";
            return 2;
        case StartOptions::Action::Run:
            break;
    }
    if (!options.dataFolder.empty()) {
        std::error_code ec;
        if (!std::filesystem::is_directory(options.dataFolder, ec)) {
            err << program << ": the data folder \"" << options.dataFolder.string()
                << "\" is not a folder\n";
            return 1;
        }
        std::filesystem::current_path(options.dataFolder, ec);
        if (ec) {
            err << program << ": cannot enter the data folder \"" << options.dataFolder.string()
                << "\": " << ec.message() << "\n";
            return 1;
        }
    }
    return -1;
}

}  // namespace tavo
