#pragma once
// The care plan as an iCalendar file (RFC 5545) that any calendar program imports: one all-day
// event per expected intervention. Importing a later export again updates the events instead of
// adding copies, because each event keeps its UID (tree + type). No alarm is ever set.
#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "care/care_plan.h"

namespace tavo {

// `utf8` as an iCalendar TEXT value: backslash, semicolon and comma escaped, line breaks as
// "\n", other control characters as spaces, malformed UTF-8 as U+FFFD.
std::string icsText(std::string_view utf8);

// One content line folded to at most 75 octets per physical line (continuations start with a
// space), never inside a UTF-8 character, each physical line ended by CR LF.
std::string icsFold(std::string_view line);

// The event UID of an item: the tree identifier and the folded type, the type's bytes other than
// letters and digits written as _XX (hexadecimal) so that two types never share a UID; no
// percent sign, which some readers decode.
std::string icsUid(const CareItem& item);

// The calendar of every item that has an expected date, stamped with `now`.
std::string icsCalendar(const std::vector<CareItem>& items, std::chrono::sys_seconds now,
                        const CareWords& words);

// Writes `calendar` to `file`, replacing an existing file whole (a temporary file beside it is
// renamed over it). IoError on failure, the former file left as it was.
void writeIcsFile(const std::filesystem::path& file, const std::string& calendar);

}  // namespace tavo
