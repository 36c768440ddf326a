// Date-time values as the program names and logs them, and their conversion
// from and to file-system instants.
#pragma once

#include <cstdint>
#include <ctime>

namespace ff {

// Days since 1899-12-30 as a double; the fraction is the time of day.
using DateTime = double;

// An exact instant: seconds and nanoseconds since the Unix epoch, UTC.
struct Instant {
  std::int64_t seconds = 0;
  std::int32_t nanoseconds = 0;

  friend auto operator<=>(const Instant&, const Instant&) = default;
};

// A broken-down calendar time (proleptic Gregorian), month 1-12, day 1-31.
struct CalendarTime {
  int year = 1899;
  int month = 12;
  int day = 30;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

// 100-nanosecond ticks in one day, and days from 1601-01-01 to 1899-12-30.
inline constexpr std::int64_t kTicksPerDay = 864'000'000'000;
inline constexpr std::int64_t kDaysFrom1601To1899 = 109'205;
// Seconds from 1601-01-01 to 1970-01-01.
inline constexpr std::int64_t kSecondsFrom1601To1970 = 11'644'473'600;

// Ticks of 100 ns since 1601-01-01 (the platform's FILETIME) for an instant;
// nanoseconds below one tick are dropped.
std::int64_t InstantToTicks(Instant instant);
Instant TicksToInstant(std::int64_t ticks);

// date-time = ticks / kTicksPerDay - kDaysFrom1601To1899, and back, rounded
// to the nearest tick. No time-zone conversion in either direction.
DateTime TicksToDateTime(std::int64_t ticks);
std::int64_t DateTimeToTicks(DateTime value);
DateTime InstantToDateTime(Instant instant);

// Calendar fields of a date-time value, rounded to the nearest millisecond.
CalendarTime DecodeDateTime(DateTime value);
DateTime EncodeDateTime(const CalendarTime& time);

// Days since 1899-12-30 for a proleptic Gregorian date.
std::int64_t DaysFromCivil(int year, int month, int day);

}  // namespace ff
