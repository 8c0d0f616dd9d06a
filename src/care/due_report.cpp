#include "care/due_report.h"

#include "care/care_collection.h"
#include "care/ical.h"
#include "common/clock.h"
#include "common/json_writer.h"

namespace tavo {

Day localDay() {
    return Day{tavo::localToday()};
}

std::string dueText(const std::vector<CareItem>& items, const CareWords& words) {
    std::string out;
    for (const CareItem& i : items) {
        const std::string& tree = i.treeName.empty() ? i.treeId : i.treeName;
        out += isoDay(*i.next) + "  " + std::string(stateName(i.state)) + "  " + tree + ": " +
               i.type + " (last " + dayText(i.last) + ", " + intervalText(*i.intervalDays, words) +
               ") [" + i.treeId + "]\n";
    }
    return out;
}

std::string dueJson(const std::vector<CareItem>& items) {
    JsonWriter w(2);
    w.beginArray();
    for (const CareItem& i : items) {
        w.beginObject()
            .member("id", i.treeId)
            .member("name", i.treeName)
            .member("type", i.type)
            .member("last", isoDay(i.last));
        w.key("next");
        if (i.next)
            w.value(isoDay(*i.next));
        else
            w.null();
        w.key("intervalDays");
        if (i.intervalDays)
            w.value(*i.intervalDays);
        else
            w.null();
        w.member("intervalSource",
                 std::string_view(i.source == IntervalSource::Tree         ? "tree"
                                  : i.source == IntervalSource::Collection ? "collection"
                                                                           : "none"))
            .member("state", stateName(i.state))
            .endObject();
    }
    w.endArray();
    return w.str() + "\n";
}

DueReport runDue(const DataPaths& data, const DueOptions& options, Day today,
                 std::chrono::sys_seconds now, const CareWords& words) {
    const CollectionLogs logs = readCollectionLogs(data);
    const CarePlan plan = computeCarePlan(logs.trees, today);
    DueReport report;
    for (const std::string& p : logs.problems) report.warnings.push_back("cannot read tree " + p);
    report.problem = !logs.problems.empty();
    if (plan.invalidDates > 0)
        report.warnings.push_back(std::to_string(plan.invalidDates) +
                                  " works line(s) left out: their date is not a valid date");
    if (options.icsFile) {
        std::vector<CareItem> expected;
        for (const CareItem& i : plan.items)
            if (i.next) expected.push_back(i);
        writeIcsFile(*options.icsFile, icsCalendar(expected, now, words));
        report.output = std::to_string(expected.size()) + " event(s) written to " +
                        options.icsFile->string() + "\n";
        return report;
    }
    const std::vector<CareItem> due = dueWithin(plan, today, options.withinDays);
    report.output = options.json ? dueJson(due) : dueText(due, words);
    return report;
}

}  // namespace tavo
