#include "platform/datetime.h"

#include <cmath>

namespace ff {
namespace {

constexpr std::int64_t kMillisecondsPerDay = 86'400'000;
// Days from 1970-01-01 back to 1899-12-30.
constexpr std::int64_t kDaysFrom1899To1970 = 25'569;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

// Civil date from days since 1970-01-01 (Howard Hinnant's algorithm).
void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
  z += 719'468;
  const std::int64_t era = FloorDiv(z, 146'097);
  const std::int64_t doe = z - era * 146'097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36'524 - doe / 146'096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  const std::int64_t d = doy - (153 * mp + 2) / 5 + 1;
  const std::int64_t m = mp < 10 ? mp + 3 : mp - 9;
  year = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
  month = static_cast<int>(m);
  day = static_cast<int>(d);
}

}  // namespace

std::int64_t DaysFromCivil(int year, int month, int day) {
  const std::int64_t y = static_cast<std::int64_t>(year) - (month <= 2 ? 1 : 0);
  const std::int64_t era = FloorDiv(y, 400);
  const std::int64_t yoe = y - era * 400;
  const std::int64_t mp = month > 2 ? month - 3 : month + 9;
  const std::int64_t doy = (153 * mp + 2) / 5 + day - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146'097 + doe - 719'468 + kDaysFrom1899To1970;
}

std::int64_t InstantToTicks(Instant instant) {
  return (instant.seconds + kSecondsFrom1601To1970) * 10'000'000 + instant.nanoseconds / 100;
}

Instant TicksToInstant(std::int64_t ticks) {
  const std::int64_t seconds = FloorDiv(ticks, 10'000'000);
  const std::int64_t rest = ticks - seconds * 10'000'000;
  return Instant{seconds - kSecondsFrom1601To1970, static_cast<std::int32_t>(rest * 100)};
}

DateTime TicksToDateTime(std::int64_t ticks) {
  return static_cast<double>(ticks) / static_cast<double>(kTicksPerDay) -
         static_cast<double>(kDaysFrom1601To1899);
}

std::int64_t DateTimeToTicks(DateTime value) {
  return std::llround((value + static_cast<double>(kDaysFrom1601To1899)) *
                      static_cast<double>(kTicksPerDay));
}

DateTime InstantToDateTime(Instant instant) { return TicksToDateTime(InstantToTicks(instant)); }

CalendarTime DecodeDateTime(DateTime value) {
  CalendarTime t;
  if (!std::isfinite(value) || std::fabs(value) > 3.0e6) return t;  // out of calendar range
  const std::int64_t ms = std::llround(value * static_cast<double>(kMillisecondsPerDay));
  const std::int64_t days = FloorDiv(ms, kMillisecondsPerDay);
  std::int64_t rest = ms - days * kMillisecondsPerDay;
  CivilFromDays(days - kDaysFrom1899To1970, t.year, t.month, t.day);
  t.hour = static_cast<int>(rest / 3'600'000);
  rest %= 3'600'000;
  t.minute = static_cast<int>(rest / 60'000);
  rest %= 60'000;
  t.second = static_cast<int>(rest / 1000);
  t.millisecond = static_cast<int>(rest % 1000);
  return t;
}

DateTime EncodeDateTime(const CalendarTime& t) {
  const double days = static_cast<double>(DaysFromCivil(t.year, t.month, t.day));
  const double ms = ((t.hour * 60.0 + t.minute) * 60.0 + t.second) * 1000.0 + t.millisecond;
  return days + ms / static_cast<double>(kMillisecondsPerDay);
}

}  // namespace ff
