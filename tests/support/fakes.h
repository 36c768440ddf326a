// Fixed clock and environment for tests.
#pragma once

#include <string>

#include "platform/clock.h"
#include "platform/environment.h"

namespace ff::test {

class FakeClock : public Clock {
 public:
  explicit FakeClock(Instant now = {}) : now_(now) {}
  Instant Now() const override { return now_; }
  void Set(Instant now) { now_ = now; }

 private:
  Instant now_;
};

// Names fixed; local time is UTC plus a fixed offset. Short date 07.05.2008,
// or 5/7/2008 with usDates; long time 14:05:09, or 3:04:05 PM with
// twelveHour.
class FakeEnvironment : public Environment {
 public:
  std::string domain = "WORKGROUP";
  std::string computer = "DARKROOM";
  std::string user = "ansel";
  bool usDates = false;
  bool twelveHour = false;
  int offsetMinutes = 0;

  std::string DomainName() const override { return domain; }
  std::string ComputerName() const override { return computer; }
  std::string UserName() const override { return user; }
  std::string ShortDate(const CalendarTime& t) const override;
  std::string LongTime(const CalendarTime& t) const override;
  CalendarTime ToLocal(Instant instant) const override;
};

}  // namespace ff::test
