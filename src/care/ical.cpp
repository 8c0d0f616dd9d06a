#include "care/ical.h"

#include <cstdio>

#include "common/fixed_string.h"
#include "common/safe_replace.h"

namespace tavo {
namespace {

constexpr std::size_t kLineOctets = 75;

bool isContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Length of the well-formed UTF-8 sequence at `s[i]`, 0 when malformed.
std::size_t sequenceLength(std::string_view s, std::size_t i) {
    const auto c = static_cast<unsigned char>(s[i]);
    std::size_t n = c < 0x80             ? 1
                    : (c & 0xE0) == 0xC0 ? 2
                    : (c & 0xF0) == 0xE0 ? 3
                    : (c & 0xF8) == 0xF0 ? 4
                                         : 0;
    if (n == 0 || i + n > s.size()) return 0;
    if (n == 2 && c < 0xC2) return 0;  // overlong
    for (std::size_t k = 1; k < n; ++k)
        if (!isContinuation(s[i + k])) return 0;
    return n;
}

std::string compactDate(Day day) {
    std::string iso = isoDay(day);
    return iso.substr(0, 4) + iso.substr(5, 2) + iso.substr(8, 2);
}

std::string stamp(std::chrono::sys_seconds now) {
    const auto day = std::chrono::floor<std::chrono::days>(now);
    const std::chrono::hh_mm_ss hms{now - day};
    char buf[16];
    std::snprintf(buf, sizeof buf, "T%02d%02d%02dZ", static_cast<int>(hms.hours().count()),
                  static_cast<int>(hms.minutes().count()), static_cast<int>(hms.seconds().count()));
    return compactDate(day) + buf;
}

}  // namespace

std::string icsText(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t n = sequenceLength(utf8, i);
        if (n == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
            continue;
        }
        const char c = utf8[i];
        if (n > 1)
            out.append(utf8.substr(i, n));
        else if (c == '\\' || c == ';' || c == ',')
            out += {'\\', c};
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += (i + 1 < utf8.size() && utf8[i + 1] == '\n') ? "" : "\\n";
        else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            out += ' ';
        else
            out += c;
        i += n;
    }
    return out;
}

std::string icsFold(std::string_view line) {
    std::string out;
    std::size_t room = kLineOctets;
    while (line.size() > room) {
        std::size_t cut = room;
        while (cut > 0 && isContinuation(line[cut])) --cut;
        if (cut == 0) cut = room;  // not UTF-8 at all: cut anywhere rather than loop
        out.append(line.substr(0, cut));
        out += "\r\n ";
        line.remove_prefix(cut);
        room = kLineOctets - 1;  // the leading space counts
    }
    out.append(line);
    out += "\r\n";
    return out;
}

std::string icsUid(const CareItem& item) {
    std::string uid = item.treeId + "-";
    for (const char c : item.typeKey) {
        const auto b = static_cast<unsigned char>(c);
        if ((b >= 'a' && b <= 'z') || (b >= '0' && b <= '9')) {
            uid += c;
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "_%02X", b);
            uid += hex;
        }
    }
    return uid + "@care.tavo";
}

std::string icsCalendar(const std::vector<CareItem>& items, std::chrono::sys_seconds now,
                        const CareWords& words) {
    std::string out;
    const auto line = [&](std::string_view l) { out += icsFold(l); };
    line("BEGIN:VCALENDAR");
    line("VERSION:2.0");
    line("PRODID:-//Tavo//Care calendar//EN");
    line("CALSCALE:GREGORIAN");
    line("METHOD:PUBLISH");
    const std::string dtstamp = stamp(now);
    for (const CareItem& item : items) {
        if (!item.next) continue;
        const std::string& tree = item.treeName.empty() ? item.treeId : item.treeName;
        const std::string description = fillIn(words.eventDescription, dayText(item.last),
                                               intervalText(*item.intervalDays, words));
        line("BEGIN:VEVENT");
        line("UID:" + icsText(icsUid(item)));
        line("DTSTAMP:" + dtstamp);
        line("DTSTART;VALUE=DATE:" + compactDate(*item.next));
        line("DTEND;VALUE=DATE:" + compactDate(*item.next + std::chrono::days{1}));
        line("SUMMARY:" + icsText(tree + ": " + item.type));
        line("DESCRIPTION:" + icsText(description));
        // A reminder of what usually comes, not an appointment: the day stays free.
        line("TRANSP:TRANSPARENT");
        line("END:VEVENT");
    }
    line("END:VCALENDAR");
    return out;
}

void writeIcsFile(const std::filesystem::path& file, const std::string& calendar) {
    replaceFile(file, Bytes(calendar.begin(), calendar.end()));
}

}  // namespace tavo
