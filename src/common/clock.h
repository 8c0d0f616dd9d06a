#pragma once
// The one place the program reads "now". Everything that stamps, names or counts by today's date
// asks here, so a test or a benchmark can fix the date and time for the whole program.
#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "common/dates.h"

namespace tavo {

// A local date and time, as the clock gives it.
struct LocalTime {
    int year = 2000;  // 4 digits
    int month = 1;    // 1..12
    int day = 1;      // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;

    Date date() const;
};

// The local date and time now: the machine's clock, unless a test fixed it.
LocalTime localNow();

// A source of the local time, for the few places that take one as a parameter.
using Clock = std::function<LocalTime()>;

// Today's local date.
Date localToday();

// Now as a system time (UTC), to the second: what calendar stamps carry. When the clock is
// fixed, the fixed local time read in the machine's time zone.
std::chrono::sys_seconds utcNow();

// The date in the short date format the program uses: "dd/mm/yyyy".
std::string shortDate(const LocalTime& t);

// Fixes the clock at `time` (nothing: the machine's clock again). For tests and benchmarks.
void fixClock(std::optional<LocalTime> time);

// Fixes the clock for its lifetime, then gives back the clock as it was.
class FixedClock {
  public:
    explicit FixedClock(const LocalTime& time);
    ~FixedClock();
    FixedClock(const FixedClock&) = delete;
    FixedClock& operator=(const FixedClock&) = delete;

  private:
    std::optional<LocalTime> previous_;
};

}  // namespace tavo
