// tavo-cli due: the interventions the works logs suggest are due, as the care window lists them.
#include <ostream>

#include "care/due_report.h"
#include "cli/cli.h"
#include "common/clock.h"

namespace tavo::cli {

namespace {

int runDue(const Context& ctx, const Args& args) {
    DueOptions options;
    options.json = args.has("json");
    if (const auto within = args.value("within")) {
        try {
            std::size_t used = 0;
            options.withinDays = std::stoi(*within, &used);
            if (used != within->size() || options.withinDays < 0) throw std::invalid_argument("");
        } catch (const std::exception&) {
            throw UsageError("--within takes a number of days, not \"" + *within + "\"");
        }
    }
    if (const auto ics = args.value("ics")) options.icsFile = fs::absolute(*ics);
    const DueReport report = runDue(ctx.data(), options, localDay(), utcNow());
    ctx.out << report.output;
    for (const std::string& warning : report.warnings) ctx.report(warning);
    return report.problem ? kProblem : kOk;
}

}  // namespace

Command dueCommand() {
    return {"due",
            "[--within DAYS] [--json] [--ics FILE]",
            "List the care the works logs suggest is due",
            "For each tree and intervention type, the usual interval learned from the works log\n"
            "(the tree's own, else the whole collection's) and the next expected date. Lists\n"
            "what is overdue or expected within DAYS (30 unless given), by expected date.\n"
            "\n"
            "  --within DAYS  how far ahead to look\n"
            "  --json         one JSON array of objects with the members id, name, type, last,\n"
            "                 next (yyyy-mm-dd), intervalDays, intervalSource and state\n"
            "  --ics FILE     write every expected intervention to FILE as an iCalendar file\n"
            "                 instead (importing it again updates the same events)\n",
            {{"within", true}, {"json", false}, {"ics", true}},
            0,
            0,
            FolderNeed::DataSet,
            false,
            runDue};
}

}  // namespace tavo::cli
