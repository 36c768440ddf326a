#include "platform/datetime.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace ff {
namespace {

TEST(DateTime, TicksAndDateTimeConvertByTheFileTimeFormula) {
  // 1899-12-30 00:00 is 109205 days after 1601-01-01.
  EXPECT_DOUBLE_EQ(TicksToDateTime(kDaysFrom1601To1899 * kTicksPerDay), 0.0);
  EXPECT_EQ(DateTimeToTicks(0.5), kDaysFrom1601To1899 * kTicksPerDay + kTicksPerDay / 2);
  // Unix epoch: 1970-01-01 is date-time 25569.
  EXPECT_DOUBLE_EQ(InstantToDateTime(Instant{0, 0}), 25'569.0);
}

TEST(DateTime, InstantTicksRoundTripToTheTick) {
  const Instant t = test::UtcInstant(2008, 5, 7, 9, 5, 3, 123'456'700);
  EXPECT_EQ(TicksToInstant(InstantToTicks(t)), t);
  const Instant before1970 = test::UtcInstant(1965, 2, 1, 23, 59, 59, 900);
  EXPECT_EQ(TicksToInstant(InstantToTicks(before1970)), before1970);
}

TEST(DateTime, DecodeGivesCalendarFieldsAndRoundsToMilliseconds) {
  struct Case {
    CalendarTime in;
  };
  const CalendarTime cases[] = {
      {2008, 5, 7, 9, 5, 3, 250}, {2000, 2, 29, 23, 59, 59, 999}, {1899, 12, 30, 0, 0, 0, 0},
      {1601, 1, 1, 12, 0, 0, 1},  {9999, 12, 31, 0, 0, 1, 0},     {2024, 12, 31, 0, 0, 0, 0},
  };
  for (const CalendarTime& c : cases) {
    const CalendarTime out = DecodeDateTime(EncodeDateTime(c));
    EXPECT_EQ(out.year, c.year);
    EXPECT_EQ(out.month, c.month);
    EXPECT_EQ(out.day, c.day);
    EXPECT_EQ(out.hour, c.hour);
    EXPECT_EQ(out.minute, c.minute);
    EXPECT_EQ(out.second, c.second);
    EXPECT_EQ(out.millisecond, c.millisecond) << c.year;
  }
}

TEST(DateTime, DecodeOfNonsenseValuesDoesNotFail) {
  for (double v : {1e300, -1e300, std::numeric_limits<double>::quiet_NaN(),
                   std::numeric_limits<double>::infinity()}) {
    const CalendarTime t = DecodeDateTime(v);
    EXPECT_GE(t.month, 1);
  }
}

}  // namespace
}  // namespace ff
