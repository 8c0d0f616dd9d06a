#pragma once
// The "due" listing for the command line: the whole work of the command, so the program itself
// only parses its options and prints.
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "care/care_plan.h"
#include "common/paths.h"

namespace tavo {

struct DueOptions {
    bool json = false;
    int withinDays = kSoonDays;  // items expected at most this many days ahead (overdue ones too)
    std::optional<std::filesystem::path> icsFile;  // write the calendar instead of listing
};

struct DueReport {
    std::string output;                 // for standard output
    std::vector<std::string> warnings;  // one line each, for standard error
    bool problem = false;               // a file could not be read: exit status 1
};

// Today's local date on the program's clock.
Day localDay();

// One line per item: "2026-04-12  due  Juniperus: Rempotage (last 12/04/2024, every 2 years)
// [26034140509042]".
std::string dueText(const std::vector<CareItem>& items, const CareWords& words = {});

// A JSON array of objects: id, name, type, last, next (yyyy-mm-dd), intervalDays,
// intervalSource ("tree" or "collection"), state.
std::string dueJson(const std::vector<CareItem>& items);

// Reads the collection of `data` and makes the listing (or writes the calendar of every
// expected intervention, when options.icsFile is set) as it stands on `today`; `now` stamps the
// calendar. Lines with an invalid date and unreadable trees give warnings.
DueReport runDue(const DataPaths& data, const DueOptions& options, Day today,
                 std::chrono::sys_seconds now, const CareWords& words = {});

}  // namespace tavo
