#include "common/clock.h"

#include <ctime>
#include <mutex>

namespace tavo {
namespace {

std::mutex fixedMutex;
std::optional<LocalTime> fixedTime;

std::optional<LocalTime> fixed() {
    const std::lock_guard lock(fixedMutex);
    return fixedTime;
}

}  // namespace

Date LocalTime::date() const {
    return Date{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                std::chrono::day{static_cast<unsigned>(day)}};
}

LocalTime localNow() {
    if (const auto t = fixed()) return *t;
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t secs = system_clock::to_time_t(now);
    std::tm tm{};
    ::localtime_r(&secs, &tm);
    LocalTime t;
    t.year = tm.tm_year + 1900;
    t.month = tm.tm_mon + 1;
    t.day = tm.tm_mday;
    t.hour = tm.tm_hour;
    t.minute = tm.tm_min;
    t.second = tm.tm_sec;
    t.millisecond =
        static_cast<int>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
    return t;
}

Date localToday() {
    return localNow().date();
}

std::chrono::sys_seconds utcNow() {
    using namespace std::chrono;
    const auto t = fixed();
    if (!t) return floor<seconds>(system_clock::now());
    std::tm tm{};
    tm.tm_year = t->year - 1900;
    tm.tm_mon = t->month - 1;
    tm.tm_mday = t->day;
    tm.tm_hour = t->hour;
    tm.tm_min = t->minute;
    tm.tm_sec = t->second;
    tm.tm_isdst = -1;
    return sys_seconds{seconds{std::mktime(&tm)}};
}

std::string shortDate(const LocalTime& t) {
    return formatDate(t.date());
}

void fixClock(std::optional<LocalTime> time) {
    const std::lock_guard lock(fixedMutex);
    fixedTime = time;
}

FixedClock::FixedClock(const LocalTime& time) : previous_(fixed()) {
    fixClock(time);
}

FixedClock::~FixedClock() {
    fixClock(previous_);
}

}  // namespace tavo
