#include "support/fakes.h"

namespace ff::test {

std::string FakeEnvironment::ShortDate(const CalendarTime& t) const {
  if (usDates)
    return std::to_string(t.month) + "/" + std::to_string(t.day) + "/" + PadNumber(t.year, 4);
  return PadNumber(t.day, 2) + "." + PadNumber(t.month, 2) + "." + PadNumber(t.year, 4);
}

std::string FakeEnvironment::LongTime(const CalendarTime& t) const {
  if (twelveHour) {
    const int hour = t.hour % 12 == 0 ? 12 : t.hour % 12;
    return std::to_string(hour) + ":" + PadNumber(t.minute, 2) + ":" + PadNumber(t.second, 2) +
           (t.hour < 12 ? " AM" : " PM");
  }
  return PadNumber(t.hour, 2) + ":" + PadNumber(t.minute, 2) + ":" + PadNumber(t.second, 2);
}

CalendarTime FakeEnvironment::ToLocal(Instant instant) const {
  const std::int64_t seconds = instant.seconds + offsetMinutes * 60;
  const std::int64_t daySeconds = ((seconds % 86'400) + 86'400) % 86'400;
  CalendarTime t = DecodeDateTime(static_cast<double>((seconds - daySeconds) / 86'400 + 25'569));
  t.hour = static_cast<int>(daySeconds / 3600);
  t.minute = static_cast<int>(daySeconds / 60 % 60);
  t.second = static_cast<int>(daySeconds % 60);
  t.millisecond = instant.nanoseconds / 1'000'000;
  return t;
}

}  // namespace ff::test
